// test-components: core screens_a
#include "authorization.h"
#include "chargerconnect.h"
#include "fonts.h"
#include "globalvariable.h"
#include "tst_home_look.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

class tst_Authorization : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void paymentPrompt();
    void plugInPromptWindow();
    void backAbandonsTheSession();
    void look();
};

void tst_Authorization::initTestCase()
{
    QVERIFY(registerRobotoFonts() > 0);
}

void tst_Authorization::paymentPrompt()
{
    Authorization page;
    auto *question = page.findChild<QLabel *>("label_1");
    auto *how = page.findChild<QLabel *>("label_2");
    QVERIFY(!page.findChild<QLabel *>("label_3")->pixmap(Qt::ReturnByValue).isNull());

    QTextDocument doc;
    doc.setHtml(how->text());
    QCOMPARE(doc.toPlainText(), QString("User your NFC or Credit Card on the\nPaypad in front of the Charger"));
    doc.setHtml(question->text());
    QCOMPARE(doc.toPlainText(), QString("How would you lilke to pay?"));
}

void tst_Authorization::plugInPromptWindow()
{
    QWidget owner;
    Chargerconnect prompt(&owner);
    // A window of its own, so it stays above the main window and its veil.
    QVERIFY(prompt.isWindow());
    QCOMPARE(prompt.windowFlags() & (Qt::Dialog | Qt::FramelessWindowHint), Qt::Dialog | Qt::FramelessWindowHint);
    QVERIFY(!prompt.findChild<QLabel *>("label_icon")->pixmap(Qt::ReturnByValue).isNull());

    QTextDocument doc;
    doc.setHtml(prompt.findChild<QLabel *>("label")->text());
    QCOMPARE(doc.toPlainText(), QString("Please plug the charger cable into\nyour vehicle"));
}

void tst_Authorization::backAbandonsTheSession()
{
    Chargerconnect prompt;
    QSignalSpy home(&prompt, &Chargerconnect::jump_home);
    prompt.page_show();
    QVERIFY(prompt.isVisible());
    auto *back = prompt.findChild<QPushButton *>("pushButton");
    QCOMPARE(back->text(), QString("back"));
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(home.count(), 1);
    // Hiding is the main window's business on its way home; Enter does not touch "back".
    QVERIFY(prompt.isVisible());
    QTest::keyClick(&prompt, Qt::Key_Return);
    QCOMPARE(home.count(), 1);
    prompt.page_hide();
    QVERIFY(!prompt.isVisible());
}

void tst_Authorization::look()
{
    LookPanel panel;
    auto *page = new Authorization(&panel);
    panel.show();
    CHECK_LOOK(page);
    saveShot(renderPanel(&panel), "authorization");

    Chargerconnect prompt(&panel);
    prompt.page_show();
    CHECK_LOOK(&prompt);
    const QImage img = renderPanel(&panel, {&prompt});
    saveShot(img, "authorization_plugin");
    // The card is white and rounded: its very corner shows the veil.
    QCOMPARE(img.pixelColor(640, 210), QColor(Qt::white));
    QVERIFY(img.pixelColor(241, 201).lightness() < 40);
}

QTEST_MAIN(tst_Authorization)
#include "tst_authorization.moc"
