// test-components: core screens_b
#include "fonts.h"
#include "globalvariable.h"
#include "help.h"
#include "testsupport.h"

#include <QFontInfo>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

class tst_Help : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void clockShowsPlaceholderThenTime();
    void backButtonAsksForHome();
    void touchingATopicShowsItsPage();
    void pagesCoverWhatADriverNeeds();
    void everyPageFitsItsCard();
    void fontsResolveToRoboto();
};

void tst_Help::initTestCase() { QVERIFY(registerRobotoFonts() > 0); }

void tst_Help::clockShowsPlaceholderThenTime()
{
    Help help;
    QLabel *clock = child<QLabel>(help, "label_time");
    QCOMPARE(clock->text(), QString("02-10   11:08 "));
    help.timerUpdate();
    QVERIFY2(QRegularExpression("^\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$").match(clock->text()).hasMatch(),
             qPrintable(clock->text()));
}

void tst_Help::backButtonAsksForHome()
{
    Help help;
    help.page_show();
    QSignalSpy home(&help, &Help::jump_home);
    QTest::mouseClick(child<QPushButton>(help, "pushButton_back"), Qt::LeftButton);
    QCOMPARE(home.count(), 1);
    help.page_hide();
    QVERIFY(help.isHidden());
}

void tst_Help::touchingATopicShowsItsPage()
{
    Help help;
    help.page_show();
    QListView *topics = child<QListView>(help, "listView_topics");
    QLabel *page = child<QLabel>(help, "label_content");
    QCOMPARE(help.topicCount(), 5);
    QCOMPARE(help.currentTopic(), 0);
    const QString first = page->text();
    for (int row = help.topicCount() - 1; row >= 0; --row) {
        const QModelIndex index = topics->model()->index(row, 0);
        const QRect r = topics->visualRect(index);
        QVERIFY(!r.isEmpty());
        QVERIFY(topics->viewport()->rect().contains(r)); // every topic reachable without scrolling
        QTest::mouseClick(topics->viewport(), Qt::LeftButton, {}, r.center());
        QCOMPARE(help.currentTopic(), row);
        QCOMPARE(page->text(), index.data(Help::ContentRole).toString());
    }
    QCOMPARE(page->text(), first);
}

void tst_Help::pagesCoverWhatADriverNeeds()
{
    Help help;
    QLabel *page = child<QLabel>(help, "label_content");
    QString all;
    for (int row = 0; row < help.topicCount(); ++row) {
        help.showTopic(row);
        all += page->text();
    }
    for (const char *needle : {"Fast Charge", "Fixed Amount", "Paypad", "Stop", "Confirm", "Start", "€0.65/kWh",
                               "ico_connected.png", "ico_dsiconnected.png", "ico_signal_good.png",
                               "ico_signal_unsync.png", "ico_signal_lost.png"})
        QVERIFY2(all.contains(QString::fromUtf8(needle)), needle);
    QVERIFY(!all.contains("%1")); // every placeholder filled
}

void tst_Help::everyPageFitsItsCard()
{
    Help help;
    help.show();
    QLabel *page = child<QLabel>(help, "label_content");
    QVERIFY(page->parentWidget()->rect().contains(page->geometry()));
    for (int row = 0; row < help.topicCount(); ++row) {
        help.showTopic(row);
        QVERIFY2(page->heightForWidth(page->width()) <= page->height(), qPrintable(QString::number(row)));
    }
}

void tst_Help::fontsResolveToRoboto()
{
    Help help;
    help.show();
    for (const char *name : {"label_statusbar", "label_time", "label_content", "label_title"}) {
        QLabel *label = child<QLabel>(help, name);
        label->ensurePolished();
        QCOMPARE(QFontInfo(label->font()).family(), QString("Roboto"));
    }
    QListView *topics = child<QListView>(help, "listView_topics");
    topics->ensurePolished();
    QCOMPARE(QFontInfo(topics->font()).family(), QString("Roboto"));
}

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
