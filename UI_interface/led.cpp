#include "led.h"

#include "globalvariable.h"
#include "runtimeoptions.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

LED::LED(QObject *parent) : QObject(parent)
{
    gpioOutArray[0] = "1";
    gpioOutArray[1] = "2";
    gpioOutArray[2] = "3";
    gpioOutArray[3] = "4";
    connect(&timer_Led_Blink, &QTimer::timeout, this, &LED::LedBLinkContrl);
}

LED::~LED() = default;

// Writes the value straight into the output's node. The node must already
// exist (it is the driver's): without O_CREAT a missing node stays missing
// instead of becoming a stray file, and O_NONBLOCK keeps an odd node (a FIFO
// nobody reads) from stalling the GUI thread. Failures leave the lamp as it is.
void LED::setGPIOValue(QString gpio, QString value)
{
    const QByteArray path = QFile::encodeName(GpioPrefix + gpio);
    const int fd = ::open(path.constData(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return;
    const QByteArray data = value.toLocal8Bit();
    ssize_t n;
    do {
        n = ::write(fd, data.constData(), size_t(data.size()));
    } while (n < 0 && errno == EINTR);
    ::close(fd);
}

void LED::setLedAllHigh()
{
    timer_Led_Blink.stop();
    for (const QString &out : gpioOutArray)
        setGPIOValue(out, "1");
}

void LED::setLedAllLow()
{
    timer_Led_Blink.stop();
    for (const QString &out : gpioOutArray)
        setGPIOValue(out, "0");
}

void LED::setLedBlink()
{
    timer_Led_Blink.start(500);
    for (const QString &out : gpioOutArray)
        setGPIOValue(out, "1");
}

void LED::LedInit() {}

void LED::LedBLinkContrl()
{
    // Step s lights the first s + 1 lamps; step 4 is the dark pause.
    static const char pattern[5][4] = {
        {1, 0, 0, 0}, {1, 1, 0, 0}, {1, 1, 1, 0}, {1, 1, 1, 1}, {0, 0, 0, 0},
    };
    const int step = timenum;
    ++timenum;
    if (step >= 0 && step <= 4) {
        for (int i = 0; i < 4; ++i)
            setGPIOValue(gpioOutArray[i], pattern[step][i] ? "1" : "0");
    }
    if (timenum > 4)
        timenum = 0;
}
