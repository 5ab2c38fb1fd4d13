#ifndef COMPLETE_CHILD_H
#define COMPLETE_CHILD_H

// Thank-you popup over the completion screen; "OK" returns home.

#include "popupdialog.h"

namespace Ui {
class Complete_child;
}

class Complete_child : public PopupDialog
{
    Q_OBJECT
public:
    explicit Complete_child(QWidget *parent = nullptr);
    ~Complete_child() override;

signals:
    void jump_home();

public slots:
    void page_show();
    void page_hide();
    void on_pushButton_clicked();

private:
    Ui::Complete_child *ui;
};

#endif // COMPLETE_CHILD_H
