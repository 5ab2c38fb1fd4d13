// test-components: common screens
// Screen texts in the driver's language: the words of a rich-text token
// change and its markup stays; money reads the same way everywhere; the
// session's messages reach the screen with their spelling mended.
#include "errormsg.h"
#include "screentext.h"
#include "styletokens.h"

#include <QXmlStreamReader>
#include <QtTest>

class tst_ScreenText : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Language::select(0); }

    void money_data()
    {
        QTest::addColumn<double>("euros");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing") << 0.0 << "€ 0.00";
        QTest::newRow("one decimal given") << 1.1 << "€ 1.10";
        QTest::newRow("whole") << 30.0 << "€ 30.00";
        QTest::newRow("price as float") << double(0.65f) << "€ 0.65";
        QTest::newRow("cents round half up") << 0.125 << "€ 0.13";
        QTest::newRow("below a cent") << 0.004 << "€ 0.00";
        QTest::newRow("fixed amount of energy") << double(30.0f * 0.65f) << "€ 19.50";
        QTest::newRow("large") << 12345.678 << "€ 12345.68";
        QTest::newRow("negative never shown") << -0.004 << "€ 0.00";
        QTest::newRow("not a number") << qQNaN() << "€ 0.00";
        QTest::newRow("infinite") << qInf() << "€ 0.00";
    }
    void money()
    {
        QFETCH(double, euros);
        QFETCH(QString, shown);
        QCOMPARE(moneyText(euros), shown);
    }

    void words_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("english unchanged") << 0 << home_btn1_str << home_btn1_str;
        QTest::newRow("markup kept")
            << 1 << home_btn1_str
            << "<p style='" + font_H1 + font_color_basic + "text-align:center;'>Schnellladen</p>";
        // Each run keeps the blank after it, so the runs do not run together.
        QTest::newRow("runs of a line") << 1 << authorize_label2_str
                                        << QString(authorize_label2_str)
                                               .replace(">Use your <", ">Nutzen Sie Ihre <")
                                               .replace(">NFC <", ">NFC- <")
                                               .replace(">or <", ">oder <")
                                               .replace(">Credit Card <", ">Kreditkarte <")
                                               .replace(">on the<", ">am<")
                                               .replace(">Paypad in front of the Charger<",
                                                        ">Bezahlterminal vor der Ladesäule<");
        QTest::newRow("blanks around a run") << 3 << setdisplay_str2 << " kWh | Coste ";
        QTest::newRow("unknown words stay") << 2 << "<b>Kavex EV Charger</b>" << "<b>Kavex EV Charger</b>";
        QTest::newRow("plain text") << 2 << charging_head_str3 << "suspendu";
        QTest::newRow("empty") << 1 << QString() << QString();
    }
    void words()
    {
        QFETCH(int, language);
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QVERIFY(Language::select(language));
        QCOMPARE(screenText(text), shown);
    }

    // The session's messages keep their wording (other parts may match it);
    // only the driver reads them mended, and in the language chosen.
    void sessionMessages_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("shown");
        QTest::newRow("unplugged") << 0 << "Information: The cable is unpluged at car side!"
                                   << "Information: The cable is unplugged at car side!";
        QTest::newRow("central system")
            << 0 << "Information:The transaction is rejected by the Centtral System!"
            << "Information: The transaction is rejected by the Central System!";
        QTest::newRow("remote stop") << 0 << "Information:The transaction is stopped by Remote command!"
                                     << "Information: The transaction is stopped by Remote command!";
        QTest::newRow("unplugged, german") << 1 << "Information: The cable is unpluged at car side!"
                                           << "Hinweis: Das Kabel wurde am Fahrzeug abgezogen!";
        QTest::newRow("card refused, spanish")
            << 3 << "Information: The card is invalid on this charge point!!   Please change another one."
            << "Información: esta tarjeta no es válida en este punto de carga. Use otra, por favor.";
        QTest::newRow("a message of its own") << 1 << "5-Upper Controller Request Stop"
                                              << "5-Upper Controller Request Stop";
    }
    void sessionMessages()
    {
        QFETCH(int, language);
        QFETCH(QString, sent);
        QFETCH(QString, shown);
        QVERIFY(Language::select(language));
        QCOMPARE(errorMessageText(sent), shown);
    }

    // Every text marked for translation has its German, French and Spanish
    // words (translations_update adds new texts to the .ts unfinished).
    void translationsComplete_data()
    {
        QTest::addColumn<QString>("file");
        for (const char *lang : {"de", "fr", "es"})
            QTest::newRow(lang) << QString(HMI_SOURCE_DIR "/resources/translations/hmi_%1.ts").arg(lang);
    }
    void translationsComplete()
    {
        QFETCH(QString, file);
        QFile ts(file);
        QVERIFY(ts.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&ts);
        QStringList open;
        QString source;
        int messages = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
                ++messages;
            } else if (xml.name() == QLatin1String("translation")) {
                const bool unfinished = xml.attributes().value("type") == QLatin1String("unfinished");
                if (unfinished || xml.readElementText().isEmpty())
                    open << source;
            }
        }
        QVERIFY(!xml.hasError());
        QVERIFY(messages > 50);
        QVERIFY2(open.isEmpty(), qPrintable(open.join(" | ")));
    }

    // The button cycles through all four and back; its picture follows.
    void cycle()
    {
        QStringList seen;
        for (int i = 0; i <= Language::count(); ++i) {
            seen << Language::code(Language::current()) + " " + Language::buttonImage();
            Language::next();
        }
        QCOMPARE(seen, QStringList({"EN image: url(:/images/ico_Language_en.png);",
                                    "DE image: url(:/images/ico_Language_de.png);",
                                    "FR image: url(:/images/ico_Language_fr.png);",
                                    "ES image: url(:/images/ico_Language_es.png);",
                                    "EN image: url(:/images/ico_Language_en.png);"}));
        for (int i = 0; i < Language::count(); ++i) {
            const QString image = Language::buttonImage();
            QVERIFY2(QFile::exists(":/images/ico_Language_" + Language::code(i).toLower() + ".png"), qPrintable(image));
        }
        QVERIFY(!Language::select(4));
        QCOMPARE(Language::current(), 1);
    }
};

QTEST_MAIN(tst_ScreenText)
#include "tst_screentext.moc"
