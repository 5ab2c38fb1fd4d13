#ifndef COMPLETE_CHILD_H
#define COMPLETE_CHILD_H

// Thank-you popup over the completion screen; "OK" returns home.

#include "popupdialog.h"
#include "sessionend.h"

namespace Ui {
class Complete_child;
}

class Complete_child : public PopupDialog
{
    Q_OBJECT
public:
    explicit Complete_child(QWidget *parent = nullptr);
    ~Complete_child() override;

    // The thanks for a payment only for a paid session; any other end is a
    // neutral "Session ended" with its reason in words.
    void showOutcome(SessionEnd end);
    static QString reasonText(SessionEnd end);

signals:
    void jump_home();

public slots:
    void page_show();
    void page_hide();
    void on_pushButton_clicked();

private:
    void retranslate();
    void showText();
    Ui::Complete_child *ui;
    SessionEnd m_end = SessionEnd::Paid;
};

#endif // COMPLETE_CHILD_H
