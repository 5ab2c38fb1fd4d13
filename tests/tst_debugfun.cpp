// test-components: common screens
#include "debugfun.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

// A touch on the box, where the driver's finger would land.
static void tap(QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10, box->height() / 2)); }

class tst_DebugFun : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        gun_status[1] = Status();
        debug = Debug();
    }

    void threeTaps_data()
    {
        QTest::addColumn<QByteArray>("content"); // "dir", "fifo" or the file; empty: no file
        QTest::addColumn<QByteArray>("second");  // written before the second tap
        QTest::addColumn<QString>("ids");        // start and stop card
        const QByteArray card = "{\n    \"IDtag\": \"04A1B2C3D4\"\n}\n";
        QTest::newRow("card") << card << QByteArray() << "04A1B2C3D4 04A1B2C3D4";
        QTest::newRow("edited between taps") << card << QByteArray("{\"IDtag\": \"SECOND\"}") << "04A1B2C3D4 SECOND";
        // An unusable file gives an empty identifier; the taps work all the same.
        QTest::newRow("missing") << QByteArray() << QByteArray() << " ";
        QTest::newRow("not json") << QByteArray("IDtag=1234") << QByteArray() << " ";
        QTest::newRow("directory") << QByteArray("dir") << QByteArray() << " ";
        QTest::newRow("fifo nobody writes") << QByteArray("fifo") << QByteArray() << " ";
    }
    void threeTaps()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, second);
        QFETCH(QString, ids);
        TestDataDir dir;
        if (content == "dir")
            QVERIFY(QDir(dir.path()).mkdir("IDtag.json"));
        else if (content == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(dir.file("IDtag.json")).constData(), 0600), 0);
        else if (!content.isEmpty())
            QVERIFY(dir.write("IDtag.json", content));
        gun_status[1].IDtag = "left over";
        DebugFun panel;
        panel.show();
        QSignalSpy authorize(&panel, &DebugFun::signal_authorize_req);
        QCheckBox *rfid = child<QCheckBox>(panel, "checkBox_RFID");
        QStringList seen; // box state, card read, identifiers after each tap
        auto note = [&] {
            const Status &s = gun_status[1];
            seen << QString("%1 %2 %3 %4").arg(rfid->checkState()).arg(s.CardRead).arg(s.IDtag, s.IDtag_stop);
        };
        for (int i = 0; i < 3; ++i) { // start card, stop card, card taken away
            if (i == 1 && !second.isEmpty())
                QVERIFY(dir.write("IDtag.json", second));
            tap(rfid);
            note();
        }
        const QString start = ids.section(' ', 0, 0), stop = ids.section(' ', 1, 1);
        QCOMPARE(seen, QStringList({"1 1 " + start + " ", "2 4 " + start + " " + stop, "0 0  "}));
        QCOMPARE(authorize.count(), 1);
        QCOMPARE(authorize.at(0).at(0).value<ushort>(), ushort(1));
    }

    void setRfidState_data()
    {
        QTest::addColumn<int>("start"); // Qt::CheckState before
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("after"); // check state, card read (9: left as it was), requests
        QTest::newRow("0 clears a start card") << int(Qt::PartiallyChecked) << 0 << "0 0 0";
        QTest::newRow("1 presents a start card") << int(Qt::Unchecked) << 1 << "1 1 1";
        QTest::newRow("2 over a stop card is a start") << int(Qt::Checked) << 2 << "1 1 1";
        QTest::newRow("1 when already in the middle") << int(Qt::PartiallyChecked) << 1 << "1 9 0";
        QTest::newRow("3 ignored") << int(Qt::Unchecked) << 3 << "0 9 0";
        QTest::newRow("-1 ignored") << int(Qt::Checked) << -1 << "2 9 0";
    }
    void setRfidState()
    {
        QFETCH(int, start);
        QFETCH(int, value);
        QFETCH(QString, after);
        TestDataDir dir;
        QVERIFY(dir.write("IDtag.json", "{\"IDtag\": \"CARD\"}"));
        DebugFun panel;
        QCheckBox *rfid = child<QCheckBox>(panel, "checkBox_RFID");
        rfid->setCheckState(Qt::CheckState(start));
        gun_status[1].CardRead = 9;
        QSignalSpy authorize(&panel, &DebugFun::signal_authorize_req);
        panel.set_checkBox_RFID_state(value);
        QCOMPARE(QString("%1 %2 %3").arg(rfid->checkState()).arg(gun_status[1].CardRead).arg(authorize.count()), after);
    }
};

QTEST_MAIN(tst_DebugFun)
#include "tst_debugfun.moc"
