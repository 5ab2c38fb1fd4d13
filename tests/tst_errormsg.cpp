// test-components: core screens_b
#include "errormsg.h"
#include "globalvariable.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class tst_ErrorMsg : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void showsTheMessageForTenSeconds();
    void newMessageReplacesTextAndRestartsTimer();
    void closesItselfWhenTheTimeIsUp();
    void okClosesAtOnce();
    void messagesWrapInsideTheCard_data();
    void messagesWrapInsideTheCard();

private:
    static QLabel *label(ErrorMsg &w) { return w.findChild<QLabel *>("label"); }
};

void tst_ErrorMsg::cleanup() { timer_page_errpage.stop(); }

void tst_ErrorMsg::showsTheMessageForTenSeconds()
{
    ErrorMsg popup;
    QCOMPARE(label(popup)->text(), QString("Stop Reason:"));
    popup.page_show("Information: The cable is unpluged at car side!");
    QVERIFY(popup.isVisible());
    QCOMPARE(label(popup)->text(), QString("Information: The cable is unpluged at car side!"));
    QVERIFY(timer_page_errpage.isActive());
    QCOMPARE(timer_page_errpage.interval(), 10000);
}

void tst_ErrorMsg::newMessageReplacesTextAndRestartsTimer()
{
    ErrorMsg popup;
    popup.page_show("Information:The transaction is stopped by Remote command!");
    // The first message's period is nearly over ...
    timer_page_errpage.start(50);
    // ... when the next one arrives: it gets the full ten seconds.
    popup.page_show("Information:The transaction is rejected by the Centtral System!");
    QCOMPARE(label(popup)->text(), QString("Information:The transaction is rejected by the Centtral System!"));
    QCOMPARE(timer_page_errpage.interval(), 10000);
    QTest::qWait(150);
    QVERIFY(popup.isVisible());
    QVERIFY(timer_page_errpage.remainingTime() > 5000);
}

void tst_ErrorMsg::closesItselfWhenTheTimeIsUp()
{
    ErrorMsg popup;
    popup.page_show("Information: The cable is unpluged at car side!");
    // Shorten the period: the expiry itself is what is under test.
    timer_page_errpage.start(20);
    QTRY_VERIFY_WITH_TIMEOUT(popup.isHidden(), 2000);
    QVERIFY(!timer_page_errpage.isActive());
}

void tst_ErrorMsg::okClosesAtOnce()
{
    ErrorMsg popup;
    popup.page_show("Information: The cable is unpluged at car side!");
    QPushButton *ok = popup.findChild<QPushButton *>("pushButton");
    QCOMPARE(ok->text(), QString("OK"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QVERIFY(popup.isHidden());
    QVERIFY(!timer_page_errpage.isActive());
}

void tst_ErrorMsg::messagesWrapInsideTheCard_data()
{
    QTest::addColumn<QString>("message");
    QTest::newRow("card invalid")
        << "Information: The card is invalid on this charge point!!   Please change another one.";
    QTest::newRow("remote stop") << "Information:The transaction is stopped by Remote command!";
    QTest::newRow("unplugged at car") << "Information: The cable is unpluged at car side!";
    QTest::newRow("rejected") << "Information:The transaction is rejected by the Centtral System!";
    QTest::newRow("markup stays text") << "<b>Stop Reason:</b> 35-Communicate with CCU Failed";
}

void tst_ErrorMsg::messagesWrapInsideTheCard()
{
    QFETCH(QString, message);
    ErrorMsg popup;
    popup.page_show(message);
    QLabel *l = label(popup);
    QVERIFY(l->wordWrap());
    QCOMPARE(l->text(), message);
    QCOMPARE(l->geometry(), QRect(100, 60, 600, 160));
    QVERIFY2(l->heightForWidth(l->width()) <= l->height(), qPrintable(message));
}

QTEST_MAIN(tst_ErrorMsg)
#include "tst_errormsg.moc"
