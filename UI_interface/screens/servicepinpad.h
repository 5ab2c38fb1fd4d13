#ifndef SERVICEPINPAD_H
#define SERVICEPINPAD_H

// The service PIN pad before the factory screen: the keypad's white card and
// keys, the digits shown as dots. Five wrong PINs lock it for five minutes;
// the count lives in the PIN store, so closing and reopening the pad does not
// reset it.

#include <QString>
#include <QWidget>

class IdleClose;
class QButtonGroup;
class QTimer;
class ServicePin;

namespace Ui {
class ServicePinPad;
}

class ServicePinPad : public QWidget
{
    Q_OBJECT
public:
    explicit ServicePinPad(ServicePin *pin, QWidget *parent = nullptr);
    ~ServicePinPad() override;

signals:
    void signal_pin_accepted();
    void jump_back();

public slots:
    void page_show();
    void page_hide();
    void num_buttonClicked(int id); // 0-9 digits, 11 backspace
    void on_pushButton_confirm_clicked();
    void on_pushButton_cancel_clicked();

private:
    void showState();
    void showHead(const QString &text, bool warning);
    void showEntry();

    Ui::ServicePinPad *ui;
    ServicePin *m_pin;
    QButtonGroup *m_keys;
    QTimer *m_lockCountdown;
    IdleClose *m_idle;
    QString m_entry;
    bool m_locked = false;
};

#endif // SERVICEPINPAD_H
