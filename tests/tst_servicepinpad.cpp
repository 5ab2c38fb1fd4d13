// test-components: common screens
// The service PIN pad, tapped as a technician would: the digits shown only
// as dots, right and wrong PINs, the lock-out that closing the pad does not
// lift, and the pad left alone.
#include "fonts.h"
#include "servicepin.h"
#include "servicepinpad.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocumentFragment>
#include <QtTest>

namespace {
// Taps keys: digits, '<' backspace, '=' confirm, 'x' cancel.
void tap(ServicePinPad &pad, const QString &keys)
{
    for (const QChar k : keys) {
        const QString name = k == '<' ? "backspace" : k == '=' ? "confirm" : k == 'x' ? "cancel" : QString(k);
        QTest::mouseClick(child<QPushButton>(pad, qPrintable("pushButton_" + name)), Qt::LeftButton);
    }
}

QString head(ServicePinPad &pad)
{
    return QTextDocumentFragment::fromHtml(child<QLabel>(pad, "label_head")->text()).toPlainText();
}
} // namespace

class tst_ServicePinPad : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(registerRobotoFonts() > 0); }
    void init()
    {
        m_dir = std::make_unique<TestDataDir>();
        m_pin = std::make_unique<ServicePin>();
        QVERIFY(m_pin->set("2468"));
    }
    void cleanup() { m_pin.reset(), m_dir.reset(); }

    void entries_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("dots"); // shown before confirming
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shownHead");
        QTest::newRow("right") << "2468" << 4 << true << "Enter the service PIN";
        QTest::newRow("right after backspaces") << "<2467<8" << 4 << true << "Enter the service PIN";
        QTest::newRow("wrong") << "1357" << 4 << false << "Wrong PIN: 4 tries left";
        QTest::newRow("nothing typed") << "" << 0 << false << "Enter the service PIN";
        QTest::newRow("no more than twelve") << "24680246802468" << 12 << false << "Wrong PIN: 4 tries left";
    }
    void entries()
    {
        QFETCH(QString, keys);
        QFETCH(int, dots);
        QFETCH(bool, accepted);
        ServicePinPad pad(m_pin.get());
        QSignalSpy ok(&pad, &ServicePinPad::signal_pin_accepted);
        pad.page_show();
        tap(pad, keys);
        QLineEdit *entry = child<QLineEdit>(pad, "lineEdit");
        QCOMPARE(entry->displayText(), QString(dots, QChar(0x2022)));
        tap(pad, "=");
        QCOMPARE(ok.count(), accepted ? 1 : 0);
        QVERIFY(entry->text().isEmpty()); // a PIN never stays in the field
        QTEST(head(pad), "shownHead");
    }

    // Five wrong PINs: keys off, the time left counted down; closed and
    // opened again, or built anew, the pad is still locked.
    void lockOut()
    {
        auto pad = std::make_unique<ServicePinPad>(m_pin.get());
        pad->page_show();
        tap(*pad, "1111=1111=1111=1111=");
        QCOMPARE(head(*pad), QString("Wrong PIN: 1 try left"));
        tap(*pad, "1111=");
        QVERIFY2(head(*pad).startsWith("Locked: try again in "), qPrintable(head(*pad)));
        QVERIFY(!child<QPushButton>(*pad, "pushButton_2")->isEnabled());
        QVERIFY(!child<QPushButton>(*pad, "pushButton_confirm")->isEnabled());
        QTimer *countdown = pad->findChild<QTimer *>("lockCountdown");
        QVERIFY(countdown->isActive());
        tap(*pad, "x");
        QVERIFY(!countdown->isActive());
        pad->page_show();
        QVERIFY(head(*pad).startsWith("Locked"));
        pad.reset();
        ServicePinPad again(m_pin.get());
        again.page_show();
        QVERIFY(head(again).startsWith("Locked"));
        again.num_buttonClicked(2); // not even a direct key press types
        QVERIFY(child<QLineEdit>(again, "lineEdit")->text().isEmpty());
    }

    // Cancelled, or left alone for two minutes: closed, the entry gone.
    void closes_data()
    {
        QTest::addColumn<bool>("leftAlone");
        QTest::newRow("cancel") << false;
        QTest::newRow("left alone") << true;
    }
    void closes()
    {
        QFETCH(bool, leftAlone);
        ServicePinPad pad(m_pin.get());
        QSignalSpy back(&pad, &ServicePinPad::jump_back);
        pad.page_show();
        tap(pad, "24");
        QTimer *idle = pad.findChild<QTimer *>("idleCloseTimer");
        QCOMPARE(idle->interval(), 2 * 60 * 1000);
        if (leftAlone)
            QMetaObject::invokeMethod(idle, "timeout");
        else
            tap(pad, "x");
        QVERIFY(!pad.isVisible() && !idle->isActive());
        QCOMPARE(back.count(), 1);
        pad.page_show();
        QVERIFY(child<QLineEdit>(pad, "lineEdit")->text().isEmpty());
    }

private:
    std::unique_ptr<TestDataDir> m_dir;
    std::unique_ptr<ServicePin> m_pin;
};

QTEST_MAIN(tst_ServicePinPad)
#include "tst_servicepinpad.moc"
