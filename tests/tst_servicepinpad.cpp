// test-components: common screens
// The service PIN pad, tapped as a technician would: the digits shown only
// as dots, the right and wrong PINs, the lock-out that closing the pad does
// not lift, and the pad left alone.
#include "fonts.h"
#include "globalvariable.h"
#include "servicepin.h"
#include "servicepinpad.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTextDocumentFragment>
#include <QtTest>

namespace {
const QChar Dot(0x2022);

void tap(ServicePinPad &pad, const char *name)
{
    QTest::mouseClick(child<QPushButton>(pad, name), Qt::LeftButton);
}

// Taps the keys of a key string: digits, '<' for backspace, '=' for confirm.
void tapKeys(ServicePinPad &pad, const QString &keys)
{
    for (const QChar k : keys) {
        if (k == '<')
            tap(pad, "pushButton_backspace");
        else if (k == '=')
            tap(pad, "pushButton_confirm");
        else
            tap(pad, qPrintable("pushButton_" + QString(k)));
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
    void cleanup()
    {
        m_pin.reset();
        m_dir.reset();
    }

    void entries_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("dots");     // the entry as shown before confirming
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("shownHead");
        QTest::newRow("right") << "2468" << "4" << true << "Enter the service PIN";
        QTest::newRow("right after a backspace") << "2467<8" << "4" << true << "Enter the service PIN";
        QTest::newRow("wrong") << "1357" << "4" << false << "Wrong PIN: 4 tries left";
        QTest::newRow("right digits, one more") << "24680" << "5" << false << "Wrong PIN: 4 tries left";
        QTest::newRow("nothing typed") << "" << "0" << false << "Enter the service PIN";
        QTest::newRow("backspace on nothing") << "<<2468" << "4" << true << "Enter the service PIN";
        QTest::newRow("no more than twelve") << "12345678901234" << "12" << false << "Wrong PIN: 4 tries left";
    }
    void entries()
    {
        QFETCH(QString, keys);
        QFETCH(QString, dots);
        QFETCH(bool, accepted);
        ServicePinPad pad(m_pin.get());
        QSignalSpy ok(&pad, &ServicePinPad::signal_pin_accepted);
        pad.page_show();
        tapKeys(pad, keys);
        QLineEdit *entry = child<QLineEdit>(pad, "lineEdit");
        QCOMPARE(entry->displayText(), QString(dots.toInt(), Dot));
        tap(pad, "pushButton_confirm");
        QCOMPARE(ok.count(), accepted ? 1 : 0);
        QVERIFY(entry->text().isEmpty()); // a PIN never stays in the field
        QTEST(head(pad), "shownHead");
    }

    // Five wrong PINs: keys off, the time left shown and counted down; the
    // pad closed and opened again, or built anew, is still locked.
    void lockOut()
    {
        auto pad = std::make_unique<ServicePinPad>(m_pin.get());
        QSignalSpy ok(pad.get(), &ServicePinPad::signal_pin_accepted);
        pad->page_show();
        for (int i = 0; i < ServicePin::MaxAttempts - 1; ++i)
            tapKeys(*pad, "1111=");
        QCOMPARE(head(*pad), QString("Wrong PIN: 1 try left"));
        tapKeys(*pad, "1111=");
        QVERIFY2(head(*pad).startsWith("Locked: try again in "), qPrintable(head(*pad)));
        QVERIFY(!child<QPushButton>(*pad, "pushButton_2")->isEnabled());
        QVERIFY(!child<QPushButton>(*pad, "pushButton_confirm")->isEnabled());
        QVERIFY(child<QPushButton>(*pad, "pushButton_cancel")->isEnabled());
        QTimer *countdown = pad->findChild<QTimer *>("lockCountdown");
        QVERIFY(countdown && countdown->isActive());
        QCOMPARE(countdown->interval(), 1000);

        tap(*pad, "pushButton_cancel");
        QVERIFY(!countdown->isActive());
        pad->page_show();
        QVERIFY(head(*pad).startsWith("Locked"));
        pad.reset();
        ServicePinPad again(m_pin.get());
        again.page_show();
        QVERIFY(head(again).startsWith("Locked"));
        again.num_buttonClicked(2); // even a direct key press types nothing
        QVERIFY(child<QLineEdit>(again, "lineEdit")->text().isEmpty());
        QCOMPARE(ok.count(), 0);

        // The lock has run out (as a restart finds it): five new tries.
        const QJsonObject lock{
            {"salt", QJsonDocument::fromJson(m_dir->read("Service.json")).object().value("salt")},
            {"failedAttempts", ServicePin::MaxAttempts},
            {"lockedUntil", QDateTime::currentDateTimeUtc().addSecs(-1).toString(Qt::ISODate)}};
        QVERIFY(m_dir->write("ServiceLock.json", QJsonDocument(lock).toJson()));
        m_pin = std::make_unique<ServicePin>();
        ServicePinPad later(m_pin.get());
        QSignalSpy laterOk(&later, &ServicePinPad::signal_pin_accepted);
        later.page_show();
        QCOMPARE(head(later), QString("Enter the service PIN"));
        tapKeys(later, "2468=");
        QCOMPARE(laterOk.count(), 1);
    }

    // Cancelled, or left alone for two minutes: closed, back to where it was.
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
        tapKeys(pad, "24");
        QTimer *idle = pad.findChild<QTimer *>("idleCloseTimer");
        QVERIFY(idle && idle->isActive());
        QCOMPARE(idle->interval(), 2 * 60 * 1000);
        if (leftAlone)
            QMetaObject::invokeMethod(idle, "timeout");
        else
            tap(pad, "pushButton_cancel");
        QVERIFY(!pad.isVisible());
        QVERIFY(!idle->isActive());
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
