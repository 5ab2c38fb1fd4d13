// test-components: core screens_b
#include "debugfun.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <sys/stat.h>

class tst_DebugFun : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void threeTapsWithIdTagFile();
    void threeTapsWithoutUsableFile_data();
    void threeTapsWithoutUsableFile();
    void fifoInPlaceOfTheFileDoesNotBlock();
    void editedFileGivesTheNextCard();
    void setRfidState_data();
    void setRfidState();
    void chargerBoxMirrorsPlugState();
    void cornerButtonHidesAndShowsTheControls();

private:
    // A touch on the box, where the driver's finger would land.
    static void tap(QCheckBox *box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(10, box->height() / 2)); }
};

void tst_DebugFun::init()
{
    gun_status[1] = Status();
    debug = Debug();
}

void tst_DebugFun::threeTapsWithIdTagFile()
{
    TestDataDir dir;
    QVERIFY(dir.write("IDtag.json", "{\n    \"IDtag\": \"04A1B2C3D4\"\n}\n"));
    DebugFun panel;
    panel.show();
    QSignalSpy authorize(&panel, &DebugFun::signal_authorize_req);
    QCheckBox *rfid = child<QCheckBox>(panel, "checkBox_RFID");
    QVERIFY(rfid->isTristate());

    tap(rfid); // start card
    QCOMPARE(rfid->checkState(), Qt::PartiallyChecked);
    QCOMPARE(gun_status[1].IDtag, QString("04A1B2C3D4"));
    QCOMPARE(gun_status[1].CardRead, quint16(1));
    QCOMPARE(authorize.count(), 1);
    QCOMPARE(authorize.at(0).at(0).value<ushort>(), ushort(1));

    tap(rfid); // stop card
    QCOMPARE(rfid->checkState(), Qt::Checked);
    QCOMPARE(gun_status[1].IDtag_stop, QString("04A1B2C3D4"));
    QCOMPARE(gun_status[1].IDtag, QString("04A1B2C3D4"));
    QCOMPARE(gun_status[1].CardRead, quint16(4));
    QCOMPARE(authorize.count(), 1);

    tap(rfid); // card taken away
    QCOMPARE(rfid->checkState(), Qt::Unchecked);
    QVERIFY(gun_status[1].IDtag.isEmpty());
    QVERIFY(gun_status[1].IDtag_stop.isEmpty());
    QCOMPARE(gun_status[1].CardRead, quint16(0));
    QCOMPARE(authorize.count(), 1);
}

void tst_DebugFun::threeTapsWithoutUsableFile_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::addColumn<bool>("directory");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("not json") << QByteArray("IDtag=1234") << false;
    QTest::newRow("truncated") << QByteArray("{\"IDtag\": \"12") << false;
    QTest::newRow("array") << QByteArray("[\"1234\"]") << false;
    QTest::newRow("no member") << QByteArray("{\"idTag\": \"1234\"}") << false;
    QTest::newRow("number") << QByteArray("{\"IDtag\": 1234}") << false;
    QTest::newRow("directory") << QByteArray() << true;
}

// An unusable file gives an empty identifier; the taps work all the same.
void tst_DebugFun::threeTapsWithoutUsableFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, directory);
    TestDataDir dir;
    if (directory)
        QVERIFY(QDir(dir.path()).mkdir("IDtag.json"));
    else if (!content.isEmpty())
        QVERIFY(dir.write("IDtag.json", content));
    gun_status[1].IDtag = "left over";
    DebugFun panel;
    panel.show();
    QSignalSpy authorize(&panel, &DebugFun::signal_authorize_req);
    QCheckBox *rfid = child<QCheckBox>(panel, "checkBox_RFID");
    tap(rfid);
    QCOMPARE(gun_status[1].IDtag, QString());
    QCOMPARE(gun_status[1].CardRead, quint16(1));
    QCOMPARE(authorize.count(), 1);
    tap(rfid);
    QCOMPARE(gun_status[1].IDtag_stop, QString());
    QCOMPARE(gun_status[1].CardRead, quint16(4));
    tap(rfid);
    QCOMPARE(gun_status[1].CardRead, quint16(0));
    QCOMPARE(authorize.count(), 1);
}

void tst_DebugFun::fifoInPlaceOfTheFileDoesNotBlock()
{
    TestDataDir dir;
    QCOMPARE(::mkfifo(QFile::encodeName(dir.file("IDtag.json")).constData(), 0600), 0);
    DebugFun panel;
    panel.show();
    QElapsedTimer clock;
    clock.start();
    tap(child<QCheckBox>(panel, "checkBox_RFID"));
    QVERIFY(clock.elapsed() < 1000);
    QCOMPARE(gun_status[1].CardRead, quint16(1));
    QVERIFY(gun_status[1].IDtag.isEmpty());
}

void tst_DebugFun::editedFileGivesTheNextCard()
{
    TestDataDir dir;
    QVERIFY(dir.write("IDtag.json", "{\"IDtag\": \"FIRST\"}"));
    DebugFun panel;
    panel.show();
    QCheckBox *rfid = child<QCheckBox>(panel, "checkBox_RFID");
    tap(rfid);
    QCOMPARE(gun_status[1].IDtag, QString("FIRST"));
    QVERIFY(dir.write("IDtag.json", "{\"IDtag\": \"SECOND\"}"));
    tap(rfid);
    QCOMPARE(gun_status[1].IDtag_stop, QString("SECOND"));
    QCOMPARE(gun_status[1].IDtag, QString("FIRST"));
}

void tst_DebugFun::setRfidState_data()
{
    QTest::addColumn<int>("start");  // Qt::CheckState before
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("state");  // Qt::CheckState after
    QTest::addColumn<int>("cardRead");
    QTest::addColumn<int>("requests");
    // cardRead 9 marks "left as it was"
    QTest::newRow("0 clears a start card") << int(Qt::PartiallyChecked) << 0 << int(Qt::Unchecked) << 0 << 0;
    QTest::newRow("0 clears a stop card") << int(Qt::Checked) << 0 << int(Qt::Unchecked) << 0 << 0;
    QTest::newRow("1 presents a start card") << int(Qt::Unchecked) << 1 << int(Qt::PartiallyChecked) << 1 << 1;
    QTest::newRow("2 is a start card, not a stop") << int(Qt::Unchecked) << 2 << int(Qt::PartiallyChecked) << 1 << 1;
    QTest::newRow("2 over a stop card") << int(Qt::Checked) << 2 << int(Qt::PartiallyChecked) << 1 << 1;
    QTest::newRow("1 when already in the middle") << int(Qt::PartiallyChecked) << 1 << int(Qt::PartiallyChecked) << 9 << 0;
    QTest::newRow("3 ignored") << int(Qt::Unchecked) << 3 << int(Qt::Unchecked) << 9 << 0;
    QTest::newRow("-1 ignored") << int(Qt::Checked) << -1 << int(Qt::Checked) << 9 << 0;
}

void tst_DebugFun::setRfidState()
{
    QFETCH(int, start);
    QFETCH(int, value);
    QFETCH(int, state);
    QFETCH(int, cardRead);
    QFETCH(int, requests);
    TestDataDir dir;
    QVERIFY(dir.write("IDtag.json", "{\"IDtag\": \"CARD\"}"));
    DebugFun panel;
    QCheckBox *rfid = child<QCheckBox>(panel, "checkBox_RFID");
    rfid->setCheckState(Qt::CheckState(start));
    gun_status[1].CardRead = 9;
    QSignalSpy authorize(&panel, &DebugFun::signal_authorize_req);
    panel.set_checkBox_RFID_state(value);
    QCOMPARE(int(rfid->checkState()), state);
    QCOMPARE(int(gun_status[1].CardRead), cardRead);
    QCOMPARE(authorize.count(), requests);
}

void tst_DebugFun::chargerBoxMirrorsPlugState()
{
    DebugFun panel;
    panel.show();
    QCheckBox *charger = child<QCheckBox>(panel, "checkBox_charger");
    QVERIFY(charger->isVisible());
    QVERIFY(!charger->isTristate());
    tap(charger);
    QVERIFY(debug.gun1_plugin);
    tap(charger);
    QVERIFY(!debug.gun1_plugin);
}

void tst_DebugFun::cornerButtonHidesAndShowsTheControls()
{
    DebugFun panel;
    panel.show();
    QGroupBox *group = child<QGroupBox>(panel, "groupBox_debug");
    QPushButton *corner = child<QPushButton>(panel, "pushButton_debug");
    QVERIFY(corner->isCheckable());
    QVERIFY(group->isVisible());
    QTest::mouseClick(corner, Qt::LeftButton);
    QVERIFY(!group->isVisible());
    QTest::mouseClick(corner, Qt::LeftButton);
    QVERIFY(group->isVisible());
}

QTEST_MAIN(tst_DebugFun)
#include "tst_debugfun.moc"
