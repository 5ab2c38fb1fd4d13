#ifndef CHARGING_CHILD2_H
#define CHARGING_CHILD2_H

// Popup asking the driver to confirm the end of the charging process; opened
// from the standby screen and after a stop card during charging.

#include "popupdialog.h"

namespace Ui {
class Charging_child2;
}

class Charging_child2 : public PopupDialog
{
    Q_OBJECT
public:
    explicit Charging_child2(QWidget *parent = nullptr);
    ~Charging_child2() override;

signals:
    void jump_complete();
    void jump_back();
    void signal_gun_stop(ushort ConnectorId);

public slots:
    void page_show();
    void page_hide();
    void on_pushButton_confirm_clicked();
    void on_pushButton_cancel_clicked();

private:
    void retranslate();
    Ui::Charging_child2 *ui;
};

#endif // CHARGING_CHILD2_H
