#ifndef LED_H
#define LED_H

#include <QObject>
#include <QString>

// The four indicator lamps on the panel's GPIO outputs: all on, all off, or
// a running pattern stepped by timer_Led_Blink every 500 ms.
class LED : public QObject
{
    Q_OBJECT
public:
    explicit LED(QObject *parent = nullptr);
    ~LED() override;

    void setGPIOValue(QString gpio, QString value);
    void setLedAllHigh();
    void setLedAllLow();
    void setLedBlink();
    void LedInit();

public slots:
    void LedBLinkContrl();

private:
    QString gpioOutArray[4];
};

#endif // LED_H
