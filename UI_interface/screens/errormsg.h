#ifndef ERRORMSG_H
#define ERRORMSG_H

// Small always-on-top card telling the driver why a session could not start
// or has stopped; it closes itself after 10 s or on "OK".

#include <QString>
#include <QTimer>
#include <QWidget>

namespace Ui {
class ErrorMsg;
}

extern QTimer timer_page_errpage; // the self-close period

class ErrorMsg : public QWidget
{
    Q_OBJECT
public:
    explicit ErrorMsg(QWidget *parent = nullptr);
    ~ErrorMsg() override;

public slots:
    void page_show(QString msg);
    void page_hide();
    void on_pushButton_clicked();

private:
    Ui::ErrorMsg *ui;
};

#endif // ERRORMSG_H
