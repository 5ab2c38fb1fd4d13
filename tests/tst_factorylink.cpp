// test-components: common ccu screens
// A technician's choice on the factory screen, through the CCU owner's relay
// and the worker's schedule, onto the serial line as a command frame.

#include "ccu_records.h"
#include "factorymode.h"
#include "globalvariable.h"
#include "ptysupport.h"
#include "rs232_ccu.h"
#include "runtimeoptions.h"
#include "thread_rs232_ccu1.h"
#include "tst_ccu_codec_frames.h"

#include <QComboBox>
#include <QTimer>
#include <QtTest>

class tst_FactoryLink : public QObject
{
    Q_OBJECT

private slots:
    void choiceReachesTheCcu_data()
    {
        QTest::addColumn<QString>("listName");
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("frameStart");
        // Floats travel least significant byte first: 8000.0 is 00 00 FA 45, 77.0 00 00 9A 42, 22.0 00 00 B0 41.
        QTest::newRow("voltage 800") << "comboBox_VolLimit_Para" << "800" << QByteArray("~21015044600A840000FA45");
        QTest::newRow("current 80") << "comboBox_CurrentLimit_Para" << "80" << QByteArray("~21015045600A8100009A42");
        QTest::newRow("power Max") << "comboBox_PowerLimit_Para" << "Max" << QByteArray("~21015045600A910000B041");
    }

    void choiceReachesTheCcu()
    {
        QFETCH(QString, listName);
        QFETCH(QString, item);
        QFETCH(QByteArray, frameStart);
        PtyLine line;
        QVERIFY(line.isValid());
        CcuPortName = line.path();
        bootupinfo.PowerLimit_enable = true;

        Thread_RS232_CCU1 ccu;
        FactoryMode screen;
        // The wiring start-up makes.
        connect(&screen, &FactoryMode::signal_setpara_Voltagelimit, &ccu, &Thread_RS232_CCU1::Set_VoltageLimit_Request);
        connect(&screen, &FactoryMode::signal_setpara_Currentlimit, &ccu, &Thread_RS232_CCU1::Set_CurrentLimit_Request);
        connect(&screen, &FactoryMode::signal_setpara_Powerlimit, &ccu, &Thread_RS232_CCU1::Set_PowerLimit_Request);
        screen.update();

        ccu.start();
        // Ticks are given by hand below, not by the clock.
        stopOnItsThread(timer_rs232_interval);
        const QByteArray bootRead = line.nextFrame();
        QVERIFY2(bootRead.startsWith("~21015041"), bootRead.constData());
        // Answered, so that it is not asked again ahead of the setting.
        QByteArray bootup(52, '\0');
        bootup[39] = 1;  // power limiting on
        bootup[48] = 7;  // CCU address
        QVERIFY(line.write(ccuResponse(0, bootup)));
        QTRY_COMPARE(bootupinfo.CCU_Adr.load(), quint16(7));

        QComboBox *list = screen.findChild<QComboBox *>(listName);
        QVERIFY(list && list->isEnabled());
        list->setCurrentIndex(list->findText(item));

        // The request was queued to the worker before this tick.
        QMetaObject::invokeMethod(&ccu.rs232_ccu, "Rs232_Contrl", Qt::QueuedConnection);
        const QByteArray frame = line.nextFrame();
        QVERIFY2(frame.startsWith(frameStart), frame.constData());
        QCOMPARE(frame.size(), frameStart.size() + 5); // then its checksum and carriage return
    }
};

QTEST_MAIN(tst_FactoryLink)
#include "tst_factorylink.moc"
