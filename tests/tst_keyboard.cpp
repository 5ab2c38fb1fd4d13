// test-components: core screens_a
#include "fixedcharge.h"
#include "fonts.h"
#include "globalvariable.h"
#include "keyboard.h"
#include "tst_home_look.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

// Key script: 0-9 and '.' are the keys, '<' is backspace, '@n' puts the
// cursor at n as a touch on the entry would, '!' is a key number that does
// not exist.
static void play(Keyboard &kb, const QString &script)
{
    auto *edit = kb.findChild<QLineEdit *>("lineEdit");
    for (int i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        if (c.isDigit())
            kb.num_buttonClicked(c.digitValue());
        else if (c == '.')
            kb.num_buttonClicked(10);
        else if (c == '<')
            kb.num_buttonClicked(11);
        else if (c == '!')
            kb.num_buttonClicked(12);
        else if (c == '@')
            edit->setCursorPosition(script.at(++i).digitValue());
    }
}

class tst_Keyboard : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void keys_data();
    void keys();
    void cursorStaysInDigits_data();
    void cursorStaysInDigits();
    void touchOnTheUnit();
    void modes();
    void confirm_data();
    void confirm();
    void confirmWithoutMode();
    void cancel();
    void clickingTheKeys();
    void look();
};

void tst_Keyboard::initTestCase()
{
    QVERIFY(registerRobotoFonts() > 0);
}

void tst_Keyboard::init()
{
    f_CusSetAmount = 0;
    f_CusSetkWh = 0;
    str_amount = "0.00";
    str_quantity = "0.00";
}

void tst_Keyboard::keys_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("cursor");

    QTest::newRow("fresh") << "" << "0" << 1;
    QTest::newRow("leading zero gives way") << "7" << "7" << 1;
    QTest::newRow("zero then seven") << "07" << "7" << 1;
    QTest::newRow("two digits") << "42" << "42" << 2;
    QTest::newRow("120 clamps") << "120" << "100" << 3;
    QTest::newRow("nothing after the clamp") << "1205" << "100" << 3;
    QTest::newRow("dot at the clamp ignored") << "120." << "100" << 3;
    QTest::newRow("exactly 100 stays") << "100" << "100" << 3;
    QTest::newRow("nothing after 100") << "1009" << "100" << 3;
    QTest::newRow("99.9") << "99.9" << "99.9" << 4;
    QTest::newRow("99.99") << "99.99" << "99.99" << 5;
    QTest::newRow("second dot ignored") << "99.99." << "99.99" << 5;
    QTest::newRow("second dot keeps cursor") << "12.5@1." << "12.5" << 1;
    QTest::newRow("dot after the zero") << "." << "0." << 2;
    QTest::newRow("0.5") << ".5" << "0.5" << 3;
    QTest::newRow("dot before the zero") << "@0." << "0.0" << 2;
    QTest::newRow("dot before a digit") << "5@0." << "0.5" << 2;
    QTest::newRow("digit before the zero") << "@05" << "50" << 1;
    QTest::newRow("insert in the middle clamps") << "99@05" << "100" << 1;
    QTest::newRow("insert in the middle") << "8.5@17" << "87.5" << 2;
    QTest::newRow("zero before the cursor replaced") << ".5@17" << "7.5" << 1;
    QTest::newRow("backspace empties") << "<" << "" << 0;
    QTest::newRow("backspace at start does nothing") << "<<" << "" << 0;
    QTest::newRow("digit after emptying") << "<5" << "5" << 1;
    QTest::newRow("zero after emptying is replaced") << "<07" << "7" << 1;
    QTest::newRow("dot after emptying") << "<." << "0." << 2;
    QTest::newRow("backspace in the middle") << "45@1<" << "5" << 0;
    QTest::newRow("backspace below the clamp") << "120<" << "10" << 2;
    QTest::newRow("typing after backspace at clamp") << "120<<5" << "15" << 2;
    QTest::newRow("unknown key") << "3!" << "3" << 1;
}

void tst_Keyboard::keys()
{
    QFETCH(QString, script);
    QFETCH(QString, content);
    QFETCH(int, cursor);

    Keyboard kb;
    kb.page_show(2);
    play(kb, script);
    auto *edit = kb.findChild<QLineEdit *>("lineEdit");
    QCOMPARE(strContent, content);
    QCOMPARE(edit->text(), content + "    kWh");
    QCOMPARE(edit->cursorPosition(), cursor);
}

void tst_Keyboard::cursorStaysInDigits_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("touchAt");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("content");

    // A touch on the blanks or the unit would have padded the entry with blanks.
    QTest::newRow("digit after a touch on the blanks") << "12" << 4 << "3" << "123";
    QTest::newRow("digit after a touch on the unit") << "1" << 7 << "5" << "15";
    QTest::newRow("dot after a touch on the unit") << "12" << 8 << "." << "12.";
    QTest::newRow("backspace after a touch on the unit") << "12" << 8 << "<" << "1";
    QTest::newRow("touch past the end of an emptied entry") << "<" << 5 << "4" << "4";
}

void tst_Keyboard::cursorStaysInDigits()
{
    QFETCH(QString, typed);
    QFETCH(int, touchAt);
    QFETCH(QString, key);
    QFETCH(QString, content);

    Keyboard kb;
    kb.page_show(2);
    play(kb, typed);
    auto *edit = kb.findChild<QLineEdit *>("lineEdit");
    edit->setCursorPosition(touchAt);
    QCOMPARE(edit->cursorPosition(), strContent.size());
    play(kb, key);
    const QString expected = content.toFloat() > 100 ? QString("100") : content;
    QCOMPARE(strContent, expected);
    QCOMPARE(edit->text(), expected + "    kWh");
    QVERIFY(edit->cursorPosition() <= strContent.size());
}

// Real touches and key events on the field itself.
void tst_Keyboard::touchOnTheUnit()
{
    Keyboard kb;
    kb.page_show(1);
    play(kb, "25");
    auto *edit = kb.findChild<QLineEdit *>("lineEdit");
    const QPoint onUnit(edit->width() - 20, edit->height() / 2);
    QTest::mouseClick(edit, Qt::LeftButton, {}, onUnit);
    QCOMPARE(edit->cursorPosition(), 2);
    QTest::mouseDClick(edit, Qt::LeftButton, {}, onUnit);
    edit->setSelection(0, 6);
    QVERIFY(!edit->hasSelectedText());
    QCOMPARE(edit->cursorPosition(), 2);
    // The keys are the only input.
    QTest::keyClicks(edit, "55");
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QString("25    €"));
}

void tst_Keyboard::modes()
{
    Keyboard kb;
    auto *head = kb.findChild<QLabel *>("label_head");
    auto *edit = kb.findChild<QLineEdit *>("lineEdit");

    kb.page_show(1);
    QCOMPARE(head->text(), keyboard_head_str1);
    QCOMPARE(edit->text(), QString("0    €"));
    play(kb, "42");
    kb.page_show(2);
    QCOMPARE(page_index, 2);
    QCOMPARE(head->text(), keyboard_head_str2);

    // Another number keeps the last mode but still starts a fresh entry.
    play(kb, "42");
    kb.page_show(7);
    QCOMPARE(page_index, 2);
    QCOMPARE(str_unit, QString("kWh"));
    QCOMPARE(edit->text(), QString("0    kWh"));
    QCOMPARE(edit->cursorPosition(), 1);
}

void tst_Keyboard::confirm_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<QString>("script");
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("amount") << 1 << "25" << 25.0f << "25";
    QTest::newRow("amount clamped") << 1 << "500" << 100.0f << "100";
    QTest::newRow("quantity with decimals") << 2 << "12.75" << 12.75f << "12.75";
    QTest::newRow("bare dot") << 2 << "." << 0.0f << "0.";
    QTest::newRow("emptied entry") << 2 << "<" << 0.0f << "";
    QTest::newRow("untouched") << 1 << "" << 0.0f << "0";
}

void tst_Keyboard::confirm()
{
    QFETCH(int, which);
    QFETCH(QString, script);
    QFETCH(float, value);
    QFETCH(QString, text);

    f_CusSetAmount = 3;
    f_CusSetkWh = 3;
    Keyboard kb;
    QList<QString> order;
    connect(&kb, &Keyboard::signal_cusconfirm, this, [&](int w) { order << QString("confirm %1").arg(w); });
    connect(&kb, &Keyboard::jump_fixedcharge, this, [&] { order << "back"; });
    kb.page_show(which);
    play(kb, script);
    QTest::mouseClick(kb.findChild<QPushButton *>("pushButton_confirm"), Qt::LeftButton);

    QCOMPARE(order, QList<QString>({QString("confirm %1").arg(which), "back"}));
    if (which == 1) {
        QCOMPARE(f_CusSetAmount, value);
        QCOMPARE(str_amount, text);
        QCOMPARE(f_CusSetkWh, 3.0f); // the other value is the screen's to derive
    } else {
        QCOMPARE(f_CusSetkWh, value);
        QCOMPARE(str_quantity, text);
        QCOMPARE(f_CusSetAmount, 3.0f);
    }
}

void tst_Keyboard::confirmWithoutMode()
{
    Keyboard kb;
    page_index = 0;
    QSignalSpy confirmed(&kb, &Keyboard::signal_cusconfirm);
    QSignalSpy back(&kb, &Keyboard::jump_fixedcharge);
    kb.on_pushButton_confirm_clicked();
    QCOMPARE(confirmed.count(), 0);
    QCOMPARE(back.count(), 1);
    QCOMPARE(str_amount, QString("0.00"));
    QCOMPARE(str_quantity, QString("0.00"));
}

void tst_Keyboard::cancel()
{
    f_CusSetAmount = 8;
    Keyboard kb;
    QSignalSpy confirmed(&kb, &Keyboard::signal_cusconfirm);
    QSignalSpy back(&kb, &Keyboard::jump_fixedcharge);
    kb.page_show(1);
    play(kb, "55");
    QTest::mouseClick(kb.findChild<QPushButton *>("pushButton_cancel"), Qt::LeftButton);
    QCOMPARE(back.count(), 1);
    QCOMPARE(confirmed.count(), 0);
    QCOMPARE(strContent, QString("0"));
    QCOMPARE(kb.findChild<QLineEdit *>("lineEdit")->text(), QString("0    €"));
    QCOMPARE(f_CusSetAmount, 8.0f);
}

void tst_Keyboard::clickingTheKeys()
{
    Keyboard kb;
    kb.page_show(2);
    const QStringList names = {"pushButton_1", "pushButton_2", "pushButton_dot", "pushButton_5",
                               "pushButton_backspace", "pushButton_7"};
    for (const QString &n : names) {
        auto *b = kb.findChild<QPushButton *>(n);
        QVERIFY2(b, qPrintable(n));
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QCOMPARE(kb.findChild<QLineEdit *>("lineEdit")->text(), QString("12.7    kWh"));
}

void tst_Keyboard::look()
{
    LookPanel panel;
    auto *page = new FixedCharge(&panel);
    Keyboard kb(&panel);
    QVERIFY(kb.isWindow()); // above the main window and its veil
    panel.show();
    page->page_show(1);
    kb.page_show(1);
    play(kb, "25.5");
    CHECK_LOOK(&kb);
    const QImage img = renderPanel(&panel, {&kb});
    saveShot(img, "keyboard");
    // White card inside, veil outside its rounded corner: the window itself is see-through.
    QCOMPARE(img.pixelColor(640, 130), QColor(Qt::white));
    QVERIFY(img.pixelColor(241, 121).lightness() < 40);

    kb.page_show(2);
    play(kb, "99.99");
    CHECK_LOOK(&kb);
    saveShot(renderPanel(&panel, {&kb}), "keyboard_quantity");
}

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
