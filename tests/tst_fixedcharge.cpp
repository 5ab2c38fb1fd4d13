// test-components: common screens
// The fixed-amount screen and its numeric keypad.
#include "fixedcharge.h"
#include "globalvariable.h"
#include "keyboard.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextDocument>
#include <QtTest>

static void press(QWidget &w, const QString &name)
{
    QTest::mouseClick(child<QPushButton>(w, qPrintable("pushButton_" + name)), Qt::LeftButton);
}

// Key script on the real keys: 0-9 and '.', '<' is backspace, '@n' puts the
// cursor at n as a touch on the entry would, '!' a key number that does not exist.
static void play(Keyboard &kb, const QString &script)
{
    for (int i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        if (c == '@')
            child<QLineEdit>(kb, "lineEdit")->setCursorPosition(script.at(++i).digitValue());
        else if (c == '!')
            kb.num_buttonClicked(12);
        else
            press(kb, c == '.' ? "dot" : c == '<' ? "backspace" : QString(c));
    }
}

// The summary line as the driver reads it.
static QString summary(FixedCharge &screen)
{
    QTextDocument doc;
    doc.setHtml(child<QLabel>(screen, "label_setdisplay")->text());
    return doc.toPlainText();
}

class tst_FixedCharge : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        f_price = 0.65f;
        gun_status[1].f_CusSetAmount = gun_status[1].f_CusSetkWh = 0;
    }

    void keys_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("cursor");
        QTest::newRow("fresh") << "" << "0" << 1;
        QTest::newRow("zero then seven") << "07" << "7" << 1;
        QTest::newRow("120 clamps") << "120" << "100" << 3;
        QTest::newRow("digit or dot at the clamp ignored") << "1205." << "100" << 3;
        QTest::newRow("second dot ignored") << "99.99." << "99.99" << 5;
        QTest::newRow("dot after the zero") << "." << "0." << 2;
        QTest::newRow("dot before a digit") << "5@0." << "0.5" << 2;
        QTest::newRow("insert in the middle") << "8.5@17" << "87.5" << 2;
        QTest::newRow("zero before the cursor replaced") << ".5@17" << "7.5" << 1;
        QTest::newRow("backspace at start does nothing") << "<<" << "" << 0;
        QTest::newRow("unknown key") << "3!" << "3" << 1;
        // A touch on the blanks or the unit stops at the digits, else the
        // entry would be padded with blanks and read as 0.
        QTest::newRow("touch on the blanks") << "1@45" << "15" << 2;
        QTest::newRow("touch on the unit, dot") << "12@8." << "12." << 3;
        QTest::newRow("touch on the unit, backspace") << "12@8<" << "1" << 1;
    }
    void keys()
    {
        QFETCH(QString, script);
        QFETCH(QString, content);
        QFETCH(int, cursor);
        Keyboard kb;
        kb.page_show(2);
        play(kb, script);
        auto *edit = child<QLineEdit>(kb, "lineEdit");
        QCOMPARE(edit->text(), content + "    kWh");
        QCOMPARE(strContent, content);
        QCOMPARE(edit->cursorPosition(), cursor);
    }

    void presets_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("chosen"); // amount and quantity
        QTest::newRow("€30") << "A1" << "€30" << "30.00 46.15";
        QTest::newRow("€20") << "A2" << "€20" << "20.00 30.77";
        QTest::newRow("€10") << "A3" << "€10" << "10.00 15.38";
        QTest::newRow("€5") << "A4" << "€5" << "5.00 7.69";
        QTest::newRow("30 kWh") << "Q1" << "30 kWh" << "19.50 30.00";
        QTest::newRow("20 kWh, two blanks") << "Q2" << "20  kWh" << "13.00 20.00";
        QTest::newRow("10 kWh") << "Q3" << "10 kWh" << "6.50 10.00";
        QTest::newRow("5 kWh") << "Q4" << "5 kWh" << "3.25 5.00";
    }
    void presets()
    {
        QFETCH(QString, button);
        QFETCH(QString, label);
        QFETCH(QString, chosen);
        FixedCharge screen;
        screen.show();
        auto *b = child<QPushButton>(screen, qPrintable("pushButton_" + button));
        QCOMPARE(b->text(), label);
        QTest::mousePress(b, Qt::LeftButton); // acts before the finger lifts
        QCOMPARE(QString::asprintf("%.2f %.2f", double(gun_status[1].f_CusSetAmount), double(gun_status[1].f_CusSetkWh)),
                 chosen);
        const QStringList v = chosen.split(' ');
        QCOMPARE(summary(screen), "You set to: Charge " + v.at(1) + " kWh | Cost € " + v.at(0));
        // The choice shows, alone, and can be confirmed.
        QTest::mouseRelease(b, Qt::LeftButton);
        QCOMPARE(screen.chosenPreset(), label);
        QVERIFY(b->isChecked());
        QTest::mouseClick(child<QPushButton>(screen, button.startsWith('A') ? "pushButton_Q1" : "pushButton_A1"),
                          Qt::LeftButton);
        QVERIFY(!b->isChecked());
        QVERIFY(child<QPushButton>(screen, "pushButton_confirm")->isEnabled());
    }

    // Nothing chosen, nothing to confirm: the session would charge 0.00.
    void confirmNeedsAnAmount()
    {
        FixedCharge screen;
        QSignalSpy next(&screen, &FixedCharge::jump_authorize);
        screen.page_show(1);
        auto *confirm = child<QPushButton>(screen, "pushButton_confirm");
        QVERIFY(!confirm->isEnabled());
        QCOMPARE(screen.chosenPreset(), QString());
        QTest::mouseClick(confirm, Qt::LeftButton);
        QCOMPARE(next.count(), 0);
        press(screen, "A4");
        QTest::mouseClick(confirm, Qt::LeftButton);
        QCOMPARE(next.count(), 1);
        // A new session (the home page reset the values) starts with nothing chosen.
        gun_status[1].f_CusSetAmount = gun_status[1].f_CusSetkWh = 0;
        screen.page_show(1);
        QCOMPARE(screen.chosenPreset(), QString());
        QVERIFY(!confirm->isEnabled());
    }

    // The screen opens the keypad, whose confirm and cancel reach it, as the
    // main window wires them.
    void keypadToSummary_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("preset"); // the preset still marked
        QTest::addColumn<bool>("confirmable");
        QTest::newRow("amount 13") << 1 << "13" << "confirm" << "Charge 20.00 kWh | Cost € 13.00" << "" << true;
        QTest::newRow("bare dot") << 2 << "." << "confirm" << "Charge 0.00 kWh | Cost € 0.00" << "" << false;
        QTest::newRow("emptied") << 1 << "<" << "confirm" << "Charge 0.00 kWh | Cost € 0.00" << "" << false;
        QTest::newRow("0.001 shows as 0.00") << 2 << "0.001" << "confirm" << "Charge 0.00 kWh | Cost € 0.00" << ""
                                               << false;
        QTest::newRow("clamped") << 2 << "250" << "confirm" << "Charge 100.00 kWh | Cost € 65.00" << "" << true;
        QTest::newRow("cancel") << 1 << "55" << "cancel" << "Charge 30.00 kWh | Cost € 19.50" << "30 kWh" << true;
    }
    void keypadToSummary()
    {
        QFETCH(int, which);
        QFETCH(QString, script);
        QFETCH(QString, button);
        QFETCH(QString, shown);
        QFETCH(QString, preset);
        QFETCH(bool, confirmable);
        FixedCharge screen;
        Keyboard kb;
        connect(&screen, &FixedCharge::jump_keyboard, &kb, &Keyboard::page_show);
        connect(&kb, &Keyboard::signal_cusconfirm, &screen, &FixedCharge::set_display);
        QStringList got;
        connect(&kb, &Keyboard::signal_cusconfirm, this, [&](int w) { got << QString::number(w); });
        connect(&kb, &Keyboard::jump_fixedcharge, this, [&] { got << "back"; });
        screen.show();
        press(screen, "Q1");
        press(screen, which == 1 ? "A_Cus" : "Q_Cus");
        play(kb, script);
        press(kb, button);
        QCOMPARE(got.join(' '), button == "cancel" ? "back" : QString("%1 back").arg(which));
        QCOMPARE(summary(screen), "You set to: " + shown);
        QVERIFY(gun_status[1].f_CusSetAmount == f_CusSetAmount && gun_status[1].f_CusSetkWh == f_CusSetkWh);
        QCOMPARE(screen.chosenPreset(), preset);
        QCOMPARE(child<QPushButton>(screen, "pushButton_confirm")->isEnabled(), confirmable);
    }
};

QTEST_MAIN(tst_FixedCharge)
#include "tst_fixedcharge.moc"
