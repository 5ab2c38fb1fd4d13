// test-components: common screens
// Every customer screen and popup, with representative and extreme data, in
// each of the driver's four languages, must draw in Roboto (rich-text runs
// included) and fit each text in its box; a popup's card is rounded with the
// see-through window showing around it. Each is built in English and then
// switched, as the status bar's language button does it: no word that has a
// translation may stay in English.
#include "authorization.h"
#include "ccu_records.h"
#include "chargerconnect.h"
#include "charging_child1.h"
#include "charging_child2.h"
#include "complete.h"
#include "complete_child.h"
#include "debugfun.h"
#include "energydelivery.h"
#include "errormsg.h"
#include "fixedcharge.h"
#include "fonts.h"
#include "globalvariable.h"
#include "help.h"
#include "home.h"
#include "keyboard.h"
#include "screensetup.h"
#include "screentext.h"
#include "servicepin.h"
#include "servicepinpad.h"
#include "standby.h"
#include "statusclock.h"
#include "styletokens.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

// Collects the regions a widget is asked to paint.
class PaintWatch : public QObject
{
public:
    PaintWatch(QWidget *w, QRegion *into) : m_into(into) { w->installEventFilter(this); }
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            *m_into += static_cast<QPaintEvent *>(e)->region();
        return false;
    }

private:
    QRegion *m_into;
};

static bool isRoboto(const QFont &f) { return QFontInfo(f).family().startsWith("Roboto"); }

// Ink on the label's outermost rows: a line's box may be taller than the
// label while its glyphs still fit.
static bool inkOnEdge(QLabel *l)
{
    QImage img(l->size(), QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    l->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    for (int x = 0; x < img.width(); ++x)
        if (qAlpha(img.pixel(x, 0)) > 128 || qAlpha(img.pixel(x, img.height() - 1)) > 128)
            return true;
    return false;
}

// Runs of words (between tags, without the blanks around them) that the
// language now chosen translates but the text still shows in English.
static QStringList untranslated(const QString &text)
{
    QStringList left;
    static const QRegularExpression tag("<[^>]*>");
    for (QString run : text.split(tag)) {
        run = run.trimmed();
        if (!run.isEmpty() && QCoreApplication::translate("screens", run.toUtf8().constData()) != run)
            left << run;
    }
    return left;
}

static QStringList lookFaults(QWidget *root, bool driverLanguage)
{
    QStringList faults;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : widgets) {
        auto *label = qobject_cast<QLabel *>(w);
        const bool list = qobject_cast<QAbstractItemView *>(w);
        if ((w != root && !w->isVisibleTo(root))
            || (!label && !list && !qobject_cast<QAbstractButton *>(w) && !qobject_cast<QLineEdit *>(w)))
            continue;
        w->ensurePolished();
        const QString text = list ? "items" : w->property("text").toString();
        if (text.isEmpty())
            continue;
        for (const QString &run : driverLanguage ? untranslated(text) : QStringList())
            faults << w->objectName() + ": '" + run + "' left in English";
        QSize need = list ? QSize() : QSize(QFontMetrics(w->font()).horizontalAdvance(text) + 8, QFontMetrics(w->font()).height());
        if (label) {
            need = label->wordWrap() ? QSize(0, label->heightForWidth(w->width())) : label->sizeHint();
            if (!label->wordWrap() && need.width() <= w->width() && !inkOnEdge(label))
                need.setHeight(0);
            QTextDocument doc;
            doc.setDefaultFont(w->font());
            doc.setHtml(Qt::mightBeRichText(text) ? text : QString());
            for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
                for (auto it = b.begin(); !it.atEnd(); ++it)
                    if (!isRoboto(it.fragment().charFormat().font()))
                        faults << w->objectName() + ": run '" + it.fragment().text() + "' not Roboto";
        }
        if (!isRoboto(w->font()))
            faults << w->objectName() + ": face " + QFontInfo(w->font()).family();
        if (need.width() > w->width() || need.height() > w->height())
            faults << QString("%1: '%2' needs %3x%4, has %5x%6")
                          .arg(w->objectName(), text.left(40))
                          .arg(need.width()).arg(need.height()).arg(w->width()).arg(w->height());
    }
    return faults;
}

// WCAG relative luminance and contrast ratio.
static double luminance(const QColor &c)
{
    auto lin = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}

static double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The lowest contrast between a button sheet's text colour and any colour of
// its background, over each of its states.
static double worstContrast(const QString &sheet)
{
    double worst = 1e9;
    const QStringList blocks = sheet.split('}', Qt::SkipEmptyParts);
    for (const QString &block : blocks) {
        const auto text = QRegularExpression("(?:^|[{;])color:\\s*([#\\w]+)").match(block);
        if (!text.hasMatch())
            continue;
        QList<QColor> backs;
        auto stops = QRegularExpression("stop:[\\d.]+\\s*(#[0-9A-Fa-f]{6})").globalMatch(block);
        while (stops.hasNext())
            backs << QColor(stops.next().captured(1));
        const auto plain = QRegularExpression("background-color:\\s*(#[0-9A-Fa-f]{6})").match(block);
        if (plain.hasMatch())
            backs << QColor(plain.captured(1));
        for (const QColor &back : backs)
            worst = std::min(worst, contrast(QColor(text.captured(1)), back));
    }
    return worst;
}

// Columns of the label that carry light ink, in the parent's coordinates.
static QPair<int, int> inkColumns(QLabel *l)
{
    QImage img(l->size(), QImage::Format_ARGB32);
    img.fill(Qt::black);
    l->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    int first = -1, last = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (qGray(img.pixel(x, y)) > 128) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {l->x() + first, l->x() + last};
}

struct Case
{
    QString name;
    std::function<QWidget *(QWidget *panel)> make;
    bool driverLanguage = true; // false: a service view, in English for the technician
};

// The largest figures a session shows.
static void setFigures(const QString &togo, const QString &remain)
{
    for (auto [var, v] : {std::pair<QString *, QString>{&str_chargedkWh, "88.8"}, {&str_chargedtime, "120"},
                          {&str_chargeVoltage, "750"}, {&str_chargeCurrent, "200"}, {&str_chargedMoney, "57.7"},
                          {&str_togokWh, togo}, {&str_remaintime, remain}, {&str_soc, "100"}})
        *var = v;
}

static QList<Case> cases()
{
    QList<Case> c = {
        {"home", [](QWidget *p) -> QWidget * { return new home(p); }},
        {"fixed amount, widest summary", [](QWidget *p) -> QWidget * {
             auto *s = new FixedCharge(p);
             f_CusSetkWh = 100;
             s->set_display(2);
             return s;
         }},
        {"authorization", [](QWidget *p) -> QWidget * { return new Authorization(p); }},
        {"plug-in prompt", [](QWidget *p) -> QWidget * { return new Chargerconnect(p); }},
        {"stop details", [](QWidget *p) -> QWidget * { return new Charging_child1(p); }},
        {"stop confirm", [](QWidget *p) -> QWidget * { return new Charging_child2(p); }},
        {"complete, long figures", [](QWidget *p) -> QWidget * {
             setFigures("-0.3", "12000");
             auto *s = new Complete(p);
             s->InfoUpdate();
             return s;
         }},
        {"complete popup", [](QWidget *p) -> QWidget * { return new Complete_child(p); }},
        {"home, out of order", [](QWidget *p) -> QWidget * {
             auto *s = new home(p);
             s->setOutOfOrder(true, "CCU link lost; DC meter not answering (PowerMeterFailure)");
             return s;
         }},
        {"authorization, card refused", [](QWidget *p) -> QWidget * {
             auto *s = new Authorization(p);
             s->showCardRefused();
             return s;
         }},
        {"error popup", [](QWidget *p) -> QWidget * {
             auto *s = new ErrorMsg(p);
             s->page_show("Information: The card is invalid on this charge point!!   Please change another one.");
             return s;
         }},
        {"debug panel", [](QWidget *p) -> QWidget * { return new DebugFun(p); }, false},
    };
    c << Case{"keypad, widest entry", [](QWidget *p) -> QWidget * {
                  auto *kb = new Keyboard(p);
                  kb->page_show(2);
                  for (int key : {9, 9, 10, 9, 9})
                      kb->num_buttonClicked(key);
                  return kb;
              }};
    // The PIN pad with its longest head, the lock-out's.
    c << Case{"service PIN pad, locked", [](QWidget *p) -> QWidget * {
                  static QTemporaryDir dir;
                  static ServicePin pin(dir.path() + '/');
                  pin.set("2468");
                  for (int i = 0; i < ServicePin::MaxAttempts; ++i)
                      pin.check("0000");
                  auto *pad = new ServicePinPad(&pin, p);
                  pad->page_show();
                  return pad;
              }, false};
    for (int style : {1, 2})
        c << Case{QString("standby style %1").arg(style), [style](QWidget *p) -> QWidget * {
                      gun_status[1].charge_style = quint16(style);
                      str_quantity = "100.00";
                      str_amount = "65.00";
                      charginfo.SOC_Current = 100;
                      auto *s = new Standby(p);
                      s->page_show();
                      return s;
                  }};
    for (int phase : {1, 3, 4, 5})
        c << Case{QString("charging phase %1").arg(phase), [phase](QWidget *p) -> QWidget * {
                      setFigures(phase == 3 ? "100.0" : "--", phase == 3 ? "12000" : "--");
                      auto *s = new EnergyDelivery(p);
                      Charging_phase = quint16(phase);
                      s->Soc_Refresh();
                      s->InfoUpdate();
                      return s;
                  }};
    // Every way a session can end, on the completion card.
    for (int end = int(SessionEnd::Paid); end <= int(SessionEnd::EvDisconnected); ++end)
        c << Case{QString("complete popup, end %1").arg(end), [end](QWidget *p) -> QWidget * {
                      auto *s = new Complete_child(p);
                      s->showOutcome(SessionEnd(end));
                      return s;
                  }};
    for (int topic = 0; topic < 5; ++topic)
        c << Case{QString("help topic %1").arg(topic), [topic](QWidget *p) -> QWidget * {
                      auto *s = new Help(p);
                      s->showTopic(topic);
                      s->setHealthDetail("CCU: link lost   |   Meter: not answering   |   OCPP client: not reading");
                      return s;
                  }};
    return c;
}

class tst_ScreenLook : public QObject
{
    Q_OBJECT
private slots:
    // The faces the program registers at start are enough for every screen.
    void initTestCase() { QCOMPARE(registerRobotoFonts(RobotoFaces::Screens), 2); }
    void cleanup() { Language::select(0); }
    void screen_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("language");
        const QList<Case> all = cases();
        for (int lang = 0; lang < Language::count(); ++lang)
            for (int i = 0; i < all.size(); ++i)
                QTest::newRow(qPrintable(Language::code(lang) + ": " + all.at(i).name)) << i << lang;
    }
    void screen()
    {
        QFETCH(int, index);
        QFETCH(int, language);
        QWidget panel;
        panel.resize(ActScreenX, ActScreenY);
        QWidget *w = cases().at(index).make(&panel);
        panel.show();
        w->show();
        QVERIFY(Language::select(language));
        QCOMPARE(Language::current(), language);
        const QStringList faults = lookFaults(w, cases().at(index).driverLanguage);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        if (w->isWindow() && w->testAttribute(Qt::WA_TranslucentBackground)) {
            const QImage img = w->grab().toImage();
            QCOMPARE(img.pixelColor(1, 1).alpha(), 0);
            QCOMPARE(img.pixelColor(img.width() / 2, 10), QColor(Qt::white));
        }
    }

    // Button texts stay readable against their button in every state.
    void buttonContrast_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::newRow("standby Abort") << standby_pushbutton_abort_style;
        QTest::newRow("fixed-amount Confirm, disabled") << confirm_disabled_sty;
    }
    void buttonContrast()
    {
        QFETCH(QString, sheet);
        const double worst = worstContrast(sheet);
        QVERIFY2(worst >= 4.5, qPrintable(QString("contrast %1:1").arg(worst, 0, 'f', 2)));
    }

    // A popup's buttons sit in the middle of its card.
    void popupButtonsCentred_data()
    {
        QTest::addColumn<int>("which");
        const char *names[] = {"plug-in prompt", "stop details", "stop confirm", "completion", "error"};
        for (int i = 0; i < 5; ++i)
            QTest::newRow(names[i]) << i;
    }
    void popupButtonsCentred()
    {
        QFETCH(int, which);
        QWidget panel;
        QWidget *popup = nullptr;
        switch (which) {
        case 0: popup = new Chargerconnect(&panel); break;
        case 1: popup = new Charging_child1(&panel); break;
        case 2: popup = new Charging_child2(&panel); break;
        case 3: popup = new Complete_child(&panel); break;
        default: popup = new ErrorMsg(&panel); break;
        }
        auto *card = popup->findChild<QWidget *>("frame");
        QVERIFY(card);
        QRect buttons;
        for (QPushButton *b : popup->findChildren<QPushButton *>())
            buttons |= b->geometry();
        QVERIFY(!buttons.isEmpty());
        QVERIFY2(qAbs(buttons.center().x() - card->geometry().center().x()) <= 1,
                 qPrintable(QString("buttons %1..%2 on a card %3..%4")
                                .arg(buttons.left()).arg(buttons.right())
                                .arg(card->geometry().left()).arg(card->geometry().right())));
    }

    // The state of charge never runs into its "%", 100 included.
    void percentClearOfSoc_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<int>("soc");
        const char *names[] = {"standby", "charging", "complete"};
        for (int s = 0; s < 3; ++s)
            for (int soc : {0, 8, 50, 88, 100})
                QTest::newRow(qPrintable(QString("%1 %2").arg(names[s]).arg(soc))) << s << soc;
    }
    void percentClearOfSoc()
    {
        QFETCH(int, screen);
        QFETCH(int, soc);
        QWidget panel;
        panel.resize(ActScreenX, ActScreenY);
        QWidget *page = nullptr;
        str_soc = QString::number(soc);
        charginfo.SOC_Current = quint16(soc);
        int_soc = quint16(soc);
        if (screen == 0) {
            auto *s = new Standby(&panel);
            s->page_show();
            page = s;
        } else if (screen == 1) {
            auto *s = new EnergyDelivery(&panel);
            s->InfoUpdate();
            page = s;
        } else {
            auto *s = new Complete(&panel);
            s->InfoUpdate();
            page = s;
        }
        panel.show();
        auto *number = page->findChild<QLabel *>("label_soc");
        auto *percent = page->findChild<QLabel *>("label_percent");
        QCOMPARE(number->text(), QString::number(soc));
        const auto digits = inkColumns(number);
        const auto sign = inkColumns(percent);
        // A clear gap, not glyphs that nearly touch (old: 11 px at 100).
        const int clearGap = 20;
        QVERIFY2(digits.second + clearGap <= sign.first,
                 qPrintable(QString("digits end at %1, the % starts at %2").arg(digits.second).arg(sign.first)));
    }

    // A widget nobody gave a font (the debug panel's boxes, a text built in
    // code) still draws in Roboto: the system's face is never loaded.
    void unstyledWidgetsDrawInRoboto()
    {
        QLabel label("<b>Fast</b> charge");
        QCheckBox box("RFID");
        QTextDocument document;
        document.setHtml("<p>Kavex</p>");
        QCOMPARE(QFontInfo(label.font()).family(), QString("Roboto"));
        QCOMPARE(QFontInfo(box.font()).family(), QString("Roboto"));
        QCOMPARE(QFontInfo(document.defaultFont()).family(), QString("Roboto"));
    }

    // A label that keeps its rendering looks, after each change, like one
    // drawn afresh: the first paint after the change and the ones after it.
    void keptRenderingLikeDrawn_data()
    {
        QTest::addColumn<QString>("change");
        for (const char *change : {"text", "size", "style", "font", "rich text", "language"})
            QTest::newRow(change) << change;
    }
    void keptRenderingLikeDrawn()
    {
        QFETCH(QString, change);
        QWidget panel;
        panel.resize(900, 200);
        QLabel kept("42", &panel);
        QLabel drawn("42", &panel);
        for (QLabel *label : {&kept, &drawn}) {
            label->resize(400, 180);
            label->setStyleSheet(standby_label_soc_style);
        }
        drawn.move(450, 0);
        keepTextRendered(&kept);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCoreApplication::processEvents();
        QCOMPARE(kept.grab().toImage(), drawn.grab().toImage());
        for (QLabel *label : {&kept, &drawn}) {
            if (change == "text") {
                label->setText("100");
            } else if (change == "size") {
                label->resize(300, 150);
            } else if (change == "style") {
                label->setStyleSheet(standby_label_soc_style + "color:#ff8800;");
            } else if (change == "font") {
                label->setStyleSheet(QString());
                label->setFont(QFont(label->font().family(), 30));
            } else if (change == "rich text") {
                label->setText(standby_label_percent_style);
            } else {
                Language::select(1);
                label->setText(screenText(charging_head_str));
            }
        }
        for (int paint = 0; paint < 3; ++paint) {
            QCoreApplication::processEvents();
            QCOMPARE(kept.grab().toImage(), drawn.grab().toImage());
        }
    }

    // The clock looks like a label with its style showing the same text, after
    // any change, and a tick that changes one digit repaints that digit only.
    void statusClockLikeALabel_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("repaintedCharacters");
        QTest::newRow("next second") << "text" << "12-31 23:59:59" << 1;
        QTest::newRow("next minute") << "text" << "12-31 23:59:00" << 2;
        QTest::newRow("new year") << "text" << "01-01 00:00:00" << 9;
        QTest::newRow("shorter") << "text" << "--" << -1;
        QTest::newRow("colour") << "style" << "color:#ff8800;" << -1;
        QTest::newRow("font") << "style" << "font-size:30px;" << -1;
    }
    void statusClockLikeALabel()
    {
        QFETCH(QString, change);
        QFETCH(QString, to);
        QFETCH(int, repaintedCharacters);
        const auto look = [](QWidget *w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); };
        QWidget panel;
        panel.resize(500, 100);
        StatusClock clock(&panel);
        QLabel label(&panel);
        const QString style = statusbar_backgound + font_color_basic + font_S;
        clock.setGeometry(0, 0, 200, 40);
        label.setGeometry(250, 0, 200, 40);
        for (QWidget *w : {static_cast<QWidget *>(&clock), static_cast<QWidget *>(&label)})
            w->setStyleSheet(style);
        clock.setText("12-31 23:59:58");
        label.setText(clock.text());
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCoreApplication::processEvents();
        QCOMPARE(look(&clock), look(&label));

        QRegion repainted;
        PaintWatch watch(&clock, &repainted);
        if (change == "text") {
            clock.setText(to);
            label.setText(to);
        } else {
            clock.setStyleSheet(style + to);
            label.setStyleSheet(style + to);
        }
        QCoreApplication::processEvents();
        if (repaintedCharacters > 0) {
            int area = 0;
            for (const QRect &r : repainted)
                area += r.width() * r.height();
            const qreal digit = QFontMetricsF(clock.font()).horizontalAdvance('0');
            QVERIFY2(area >= repaintedCharacters * (digit - 1) * clock.height()
                         && area <= repaintedCharacters * (digit + 1) * clock.height(),
                     qPrintable(QString("%1 px repainted").arg(area)));
        }
        QCOMPARE(look(&clock), look(&label));
    }

    // The charging bar painted over a kept image of what lies under it (the
    // battery's outline reaches into its corners) looks as if painted the
    // usual way, at every value, and its change paints nothing under it.
    void barOverKeptBackgroundLikeDrawn_data()
    {
        QTest::addColumn<int>("value");
        for (int value : {0, 8, 50, 92, 100})
            QTest::newRow(qPrintable(QString::number(value))) << value;
    }
    void barOverKeptBackgroundLikeDrawn()
    {
        QFETCH(int, value);
        QWidget panel;
        QPalette pal = panel.palette();
        pal.setColor(QPalette::Window, QColor(0x00, 0x0D, 0x12));
        panel.setPalette(pal);
        panel.setAutoFillBackground(true);
        panel.resize(1200, 400);
        QWidget page(&panel); // like a screen: no background of its own
        page.resize(panel.size());
        QLabel outline(&page), otherOutline(&page);
        QProgressBar kept(&page), drawn(&page);
        for (QLabel *l : {&outline, &otherOutline}) {
            l->setPixmap(QPixmap(image_standby_bat));
            l->setScaledContents(true);
            l->resize(560, 200);
        }
        outline.move(0, 0);
        otherOutline.move(600, 0);
        for (QProgressBar *bar : {&kept, &drawn}) {
            bar->setTextVisible(false);
            bar->setStyleSheet(standby_pregrassbar_style);
            bar->resize(520, 180);
            bar->setValue(40);
        }
        kept.move(10, 10);
        drawn.move(610, 10);
        paintOverKeptBackground(&kept);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QCoreApplication::processEvents();
        QRegion paintedUnder;
        PaintWatch watch(&outline, &paintedUnder);
        kept.setValue(value);
        drawn.setValue(value);
        QCoreApplication::processEvents();
        QVERIFY(!paintedUnder.intersects(kept.geometry()));
        const QImage all = panel.grab().toImage();
        QCOMPARE(all.copy(outline.geometry()), all.copy(otherOutline.geometry()));
    }
};

QTEST_MAIN(tst_ScreenLook)
#include "tst_screenlook.moc"
