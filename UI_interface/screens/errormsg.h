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

// The message in the driver's language, its spelling mended.
QString errorMessageText(const QString &message);

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
    void retranslate();
    Ui::ErrorMsg *ui;
    QString m_message; // as the session sent it
};

#endif // ERRORMSG_H
