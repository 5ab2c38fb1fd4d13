#ifndef CHARGING_CHILD1_H
#define CHARGING_CHILD1_H

// Popup over the energy delivery screen: tells the driver to end the session
// with the payment card.

#include "popupdialog.h"

namespace Ui {
class Charging_child1;
}

class Charging_child1 : public PopupDialog
{
    Q_OBJECT
public:
    explicit Charging_child1(QWidget *parent = nullptr);
    ~Charging_child1() override;

signals:
    void jump_charging();
    void jump_charging_child2();

public slots:
    void page_show();
    void page_hide();
    void on_pushButton_clicked();

private:
    void retranslate();
    Ui::Charging_child1 *ui;
};

#endif // CHARGING_CHILD1_H
