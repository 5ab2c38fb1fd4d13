#ifndef FIXEDCHARGE_H
#define FIXEDCHARGE_H

#include <QString>
#include <QWidget>

namespace Ui {
class FixedCharge;
}

// Summary line of the fixed-amount screen, rebuilt whenever the values change.
extern QString fixedcharge_label_setdisplay_str;

// Fixed-amount screen: money and energy presets, the two custom keypads and
// the summary of the choice. Money and energy are tied by the price per kWh.
class FixedCharge : public QWidget
{
    Q_OBJECT
public:
    explicit FixedCharge(QWidget *parent = nullptr);
    ~FixedCharge() override;

signals:
    void jump_keyboard(int which); // 1 = money, 2 = energy
    void jump_authorize();

public slots:
    void page_show(int gun);
    void setAmount();
    void setQuantity();
    void on_pushButton_A_Cus_clicked();
    void on_pushButton_Q_Cus_clicked();
    void set_display(int which);
    void on_pushButton_confirm_clicked();

public:
    // Text of the preset shown as chosen, empty when none is.
    QString chosenPreset() const;

private:
    void reprint(int gun);
    void showSummary();
    void clearPreset();

    Ui::FixedCharge *ui;
    class QButtonGroup *m_presets = nullptr;
};

#endif // FIXEDCHARGE_H
