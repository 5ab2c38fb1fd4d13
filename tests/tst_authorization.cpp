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
    QCOMPARE(page.geometry(), QRect(0, 140, 1280, 660));
    QCOMPARE(QFontInfo(page.font()).family(), QString("Roboto"));
    auto *question = page.findChild<QLabel *>("label_1");
    auto *picture = page.findChild<QLabel *>("label_3");
    auto *how = page.findChild<QLabel *>("label_2");
    QCOMPARE(question->geometry(), QRect(0, 20, 1280, 60));
    QCOMPARE(picture->geometry(), QRect(340, 100, 600, 420));
    QCOMPARE(how->geometry(), QRect(0, 540, 1280, 120));
    QVERIFY(!picture->pixmap(Qt::ReturnByValue).isNull());
    QVERIFY(picture->hasScaledContents());

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
    QVERIFY(prompt.isWindow());
    QVERIFY(prompt.windowFlags() & Qt::Dialog);
    QVERIFY(prompt.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(prompt.testAttribute(Qt::WA_TranslucentBackground));
    QCOMPARE(prompt.palette().brush(QPalette::Window).color().alpha(), 0);
    QCOMPARE(prompt.geometry(), QRect(240, 200, 800, 400));
    QCOMPARE(prompt.findChild<QFrame *>("frame")->geometry(), QRect(0, 0, 800, 400));
    QCOMPARE(prompt.findChild<QLabel *>("label_icon")->geometry(), QRect(360, 40, 80, 80));
    QCOMPARE(prompt.findChild<QPushButton *>("pushButton")->geometry(), QRect(300, 280, 200, 80));

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
