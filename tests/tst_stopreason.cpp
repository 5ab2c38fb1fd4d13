// test-components: core
#include "stopreason.h"

#include <QtTest>

class tst_StopReason : public QObject
{
    Q_OBJECT
private slots:
    void everyEntryBeginsWithItsCode();
    void lookup_data();
    void lookup();
};

void tst_StopReason::everyEntryBeginsWithItsCode()
{
    QCOMPARE(StopReason.size(), 36);
    for (int code = 0; code < StopReason.size(); ++code) {
        const QString number = QString::number(code);
        QVERIFY2(StopReason.at(code).startsWith(number), qPrintable(StopReason.at(code)));
        // The text after the number never starts with another digit, so the
        // number reads as the code.
        QVERIFY(!StopReason.at(code).at(number.size()).isDigit());
    }
}

void tst_StopReason::lookup_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::newRow("first") << 0 << "0NA";
    QTest::newRow("hyphen 5") << 5 << "5-Upper Controller Request Stop";
    QTest::newRow("bms") << 17 << "17(BMS)Hign Temperture";
    QTest::newRow("last, hyphen") << 35 << "35-Communicate with CCU Failed";
    QTest::newRow("one past the end") << 36 << "36Unknown Stop Reason";
    QTest::newRow("byte maximum") << 255 << "255Unknown Stop Reason";
    QTest::newRow("word maximum") << 65535 << "65535Unknown Stop Reason";
    QTest::newRow("negative") << -1 << "-1Unknown Stop Reason";
}

void tst_StopReason::lookup()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QCOMPARE(stopReasonText(code), text);
}

QTEST_APPLESS_MAIN(tst_StopReason)
#include "tst_stopreason.moc"
