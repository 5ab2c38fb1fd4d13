// test-components: common screens
#include "globalvariable.h"
#include "help.h"
#include "statusclock.h"
#include "testsupport.h"

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
    void touchesClockAndBack()
    {
        Help help;
        help.page_show();
        QListView *topics = child<QListView>(help, "listView_topics");
        QString all;
        for (int row = help.topicCount() - 1; row >= 0; --row) {
            const QRect r = topics->visualRect(topics->model()->index(row, 0));
            QVERIFY(topics->viewport()->rect().contains(r)); // reachable without scrolling
            QTest::mouseClick(topics->viewport(), Qt::LeftButton, {}, r.center());
            QCOMPARE(help.currentTopic(), row);
            all += child<QLabel>(help, "label_content")->text();
        }
        // What a driver needs: both modes, paying, stopping, the status-bar icons.
        for (const char *needle : {"Fast Charge", "Fixed Amount", "Paypad", "Stop", "Confirm", "Start", "€ 0.65/kWh",
                                   "ico_connected.png", "ico_dsiconnected.png", "ico_signal_good.png",
                                   "ico_signal_unsync.png", "ico_signal_lost.png"})
            QVERIFY2(all.contains(QString::fromUtf8(needle)), needle);
        QVERIFY(!all.contains("%1")); // every placeholder filled
        help.timerUpdate();
        QVERIFY(QRegularExpression("^\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d$")
                    .match(child<StatusClock>(help, "label_time")->text()).hasMatch());
        QSignalSpy home(&help, &Help::jump_home);
        QTest::mouseClick(child<QPushButton>(help, "pushButton_back"), Qt::LeftButton);
        QCOMPARE(home.count(), 1);
    }
};

QTEST_MAIN(tst_Help)
#include "tst_help.moc"
