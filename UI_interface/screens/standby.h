#ifndef STANDBY_H
#define STANDBY_H

#include <QString>
#include <QWidget>

namespace Ui {
class Standby;
}

// Waiting to start: recalls the driver's choice, shows the vehicle's state of
// charge in the battery picture, and offers Start and Abort.
class Standby : public QWidget
{
    Q_OBJECT
public:
    explicit Standby(QWidget *parent = nullptr);
    ~Standby() override;

signals:
    void signal_req_start(ushort ConnectorId);
    void show_charing_child2(QString backpage);

public slots:
    void page_show();
    void on_pushButton_start_clicked();
    void on_pushButton_abort_clicked();

private:
    void retranslate();
    void showSetting();
    Ui::Standby *ui;
};

#endif // STANDBY_H
