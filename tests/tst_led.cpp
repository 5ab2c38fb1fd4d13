// test-components: common status core
#include "globalvariable.h"
#include "led.h"
#include "runtimeoptions.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QtTest>

#include <sys/stat.h>

// Lamps 1-4 as files <dir>/gpio1 ... <dir>/gpio4 of a private directory.
class GpioDir : public TestDataDir
{
public:
    GpioDir() : m_previous(GpioPrefix)
    {
        GpioPrefix = path() + "/gpio";
        for (int n = 1; n <= 4; ++n)
            write(QString("gpio%1").arg(n), "x");
    }
    ~GpioDir() { GpioPrefix = m_previous; }
    QString lamps() const { return QString::fromLatin1(read("gpio1") + read("gpio2") + read("gpio3") + read("gpio4")); }
    QString node(int n) const { return file(QString("gpio%1").arg(n)); }
    QString m_previous;
};

class tst_Led : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        timer_Led_Blink.stop();
        timenum = 0;
    }

    void patternSteps_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("lamps");
        QTest::addColumn<int>("next");
        QTest::newRow("0") << 0 << "1000" << 1;
        QTest::newRow("1") << 1 << "1100" << 2;
        QTest::newRow("2") << 2 << "1110" << 3;
        QTest::newRow("3") << 3 << "1111" << 4;
        QTest::newRow("4 dark, wraps") << 4 << "0000" << 0;
        // Never reached through the slot: writes nothing and starts over.
        QTest::newRow("beyond") << 7 << "xxxx" << 0;
    }
    void patternSteps()
    {
        QFETCH(int, step);
        QFETCH(QString, lamps);
        QFETCH(int, next);
        GpioDir gpio;
        LED led;
        timenum = step;
        led.LedBLinkContrl();
        QCOMPARE(gpio.lamps(), lamps);
        QCOMPARE(timenum, next);
    }

    void blinkStartsAndSteadyStops()
    {
        GpioDir gpio;
        LED led;
        led.setLedBlink();
        QCOMPARE(timer_Led_Blink.interval(), 500);
        QCOMPARE(gpio.lamps(), QString("1111"));
        timenum = 0;
        QVERIFY(QMetaObject::invokeMethod(&timer_Led_Blink, "timeout")); // the expiry drives the pattern
        QCOMPARE(gpio.lamps(), QString("1000"));
        led.setLedAllLow();
        QVERIFY(!timer_Led_Blink.isActive());
        QCOMPARE(gpio.lamps(), QString("0000"));
    }

    // A missing node is never created (the default prefix lies under /dev); a
    // directory or a FIFO nobody reads neither stalls nor stops the others.
    void oddNodesAreLeftAlone()
    {
        GpioDir gpio;
        QVERIFY(QFile::remove(gpio.node(1)));
        QVERIFY(QFile::remove(gpio.node(2)) && QDir().mkdir(gpio.node(2)));
        QVERIFY(QFile::remove(gpio.node(4)));
        QCOMPARE(::mkfifo(QFile::encodeName(gpio.node(4)).constData(), 0600), 0);
        LED led;
        QElapsedTimer t;
        t.start();
        led.setLedAllHigh();
        QVERIFY(t.elapsed() < 1000);
        QVERIFY(!QFile::exists(gpio.node(1)));
        QCOMPARE(gpio.read("gpio3"), QByteArray("1")); // the FIFO is not read: that would block here

        GpioPrefix = QDir::tempPath() + "/no-such-gpio-dir-for-led-test/gpio";
        led.setLedAllLow();
        QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/no-such-gpio-dir-for-led-test"));
    }
};

QTEST_MAIN(tst_Led)
#include "tst_led.moc"
