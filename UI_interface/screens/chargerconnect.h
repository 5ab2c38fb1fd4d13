#ifndef CHARGERCONNECT_H
#define CHARGERCONNECT_H

#include "popupdialog.h"

namespace Ui {
class Chargerconnect;
}

// Plug-in prompt: a white card over the veil asking for the cable, with a
// "back" that abandons the session.
class Chargerconnect : public PopupDialog
{
    Q_OBJECT
public:
    explicit Chargerconnect(QWidget *parent = nullptr);
    ~Chargerconnect() override;

signals:
    void jump_home();

public slots:
    void page_show();
    void page_hide();
    void on_pushButton_clicked();

private:
    void retranslate();
    Ui::Chargerconnect *ui;
};

#endif // CHARGERCONNECT_H
