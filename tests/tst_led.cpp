// test-components: core screens_a
#include "globalvariable.h"
#include "led.h"
#include "runtimeoptions.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QtTest>

#include <sys/stat.h>

// Lamps 1-4 as nodes <dir>/gpio1 ... <dir>/gpio4 of a private directory.
class GpioDir
{
public:
    GpioDir()
    {
        m_previous = GpioPrefix;
        GpioPrefix = m_dir.path() + "/gpio";
        for (int n = 1; n <= 4; ++n)
            m_dir.write(QString("gpio%1").arg(n), "x");
    }
    ~GpioDir() { GpioPrefix = m_previous; }
    QString lamp(int n) const
    {
        const QByteArray v = m_dir.read(QString("gpio%1").arg(n));
        return v.isEmpty() ? QString("-") : QString::fromLatin1(v);
    }
    QString lamps() const { return lamp(1) + lamp(2) + lamp(3) + lamp(4); }
    bool remove(int n) { return QFile::remove(m_dir.file(QString("gpio%1").arg(n))); }
    bool exists(int n) const { return QFile::exists(m_dir.file(QString("gpio%1").arg(n))); }

private:
    TestDataDir m_dir;
    QString m_previous;
};

class tst_Led : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void patternSteps_data();
    void patternSteps();
    void fullCycle();
    void allHighAndLow();
    void blinkStartsAndLowStops();
    void missingNodeIsNotCreated();
    void nodeThatIsNotAFile();
};

void tst_Led::cleanup()
{
    timer_Led_Blink.stop();
    timenum = 0;
}

void tst_Led::patternSteps_data()
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
    QTest::newRow("negative") << -1 << "xxxx" << 0;
}

void tst_Led::patternSteps()
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

void tst_Led::fullCycle()
{
    GpioDir gpio;
    LED led;
    timenum = 0;
    QStringList seen;
    for (int i = 0; i < 7; ++i) {
        // The timer's expiry drives the slot.
        QVERIFY(QMetaObject::invokeMethod(&timer_Led_Blink, "timeout"));
        seen << gpio.lamps();
    }
    QCOMPARE(seen, QStringList({"1000", "1100", "1110", "1111", "0000", "1000", "1100"}));
}

void tst_Led::allHighAndLow()
{
    GpioDir gpio;
    LED led;
    led.setLedAllHigh();
    QCOMPARE(gpio.lamps(), QString("1111"));
    led.setLedAllLow();
    QCOMPARE(gpio.lamps(), QString("0000"));
    led.LedInit();
    QCOMPARE(gpio.lamps(), QString("0000"));
}

void tst_Led::blinkStartsAndLowStops()
{
    GpioDir gpio;
    LED led;
    led.setLedBlink();
    QVERIFY(timer_Led_Blink.isActive());
    QCOMPARE(timer_Led_Blink.interval(), 500);
    QCOMPARE(gpio.lamps(), QString("1111"));
    led.setLedAllLow();
    QVERIFY(!timer_Led_Blink.isActive());
    QCOMPARE(gpio.lamps(), QString("0000"));
    led.setLedBlink();
    led.setLedAllHigh();
    QVERIFY(!timer_Led_Blink.isActive());
}

void tst_Led::missingNodeIsNotCreated()
{
    GpioDir gpio;
    QVERIFY(gpio.remove(3));
    LED led;
    led.setLedAllHigh();
    QVERIFY(!gpio.exists(3));
    QCOMPARE(gpio.lamps(), QString("11-1"));
    timenum = 3;
    led.LedBLinkContrl();
    QVERIFY(!gpio.exists(3));
    QCOMPARE(gpio.lamps(), QString("11-1"));

    // A prefix whose directory does not exist at all.
    GpioPrefix = QDir::tempPath() + "/no-such-gpio-dir-for-led-test/gpio";
    led.setLedAllLow();
    QVERIFY(!QFileInfo::exists(QDir::tempPath() + "/no-such-gpio-dir-for-led-test"));
}

void tst_Led::nodeThatIsNotAFile()
{
    // A directory or a FIFO nobody reads must neither stall nor break the others.
    GpioDir gpio;
    QVERIFY(gpio.remove(2));
    QVERIFY(QDir().mkpath(GpioPrefix + "2"));
    QVERIFY(gpio.remove(4));
    QVERIFY(::mkfifo(QFile::encodeName(GpioPrefix + "4").constData(), 0600) == 0);
    LED led;
    QElapsedTimer t;
    t.start();
    led.setLedAllHigh();
    QVERIFY(t.elapsed() < 1000);
    QCOMPARE(gpio.lamp(1) + gpio.lamp(3), QString("11"));
    QVERIFY(QFileInfo(GpioPrefix + "2").isDir());
}

QTEST_MAIN(tst_Led)
#include "tst_led.moc"
