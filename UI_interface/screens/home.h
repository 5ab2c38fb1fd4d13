#ifndef HOME_H
#define HOME_H

#include <QWidget>

namespace Ui {
class home;
}

// The idle page: the two charging-mode tiles with the price, the smart
// charging note, and the hidden exit corner.
class home : public QWidget
{
    Q_OBJECT
public:
    explicit home(QWidget *parent = nullptr);
    ~home() override;

    // While the charger cannot charge, the tiles take no touch and a band
    // says so, with the fault in words for the technician.
    void setOutOfOrder(bool out, const QString &detail);
    bool isOutOfOrder() const;

signals:
    void jump_authorize();
    void jump_fixedcharge();
    void UI_exit();

public slots:
    void page_show();
    void page_hide();
    void on_pushButton_fastcharging_clicked();
    void on_pushButton_fixamount_clicked();
    void on_pushButton_exit_clicked();

private:
    Ui::home *ui;
    class QLabel *m_band = nullptr;
    class QLabel *m_tileMask[2] = {nullptr, nullptr};
};

#endif // HOME_H
