// test-components: common screens
// Every customer screen and popup, with representative and extreme data,
// must draw in Roboto (rich-text runs included) and fit each text in its box;
// a popup's card is rounded with the see-through window showing around it.
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
#include "servicepin.h"
#include "servicepinpad.h"
#include "standby.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

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

static QStringList lookFaults(QWidget *root)
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

struct Case
{
    QString name;
    std::function<QWidget *(QWidget *panel)> make;
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
        {"error popup", [](QWidget *p) -> QWidget * {
             auto *s = new ErrorMsg(p);
             s->page_show("Information: The card is invalid on this charge point!!   Please change another one.");
             return s;
         }},
        {"debug panel", [](QWidget *p) -> QWidget * { return new DebugFun(p); }},
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
              }};
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
    for (int topic = 0; topic < 5; ++topic)
        c << Case{QString("help topic %1").arg(topic), [topic](QWidget *p) -> QWidget * {
                      auto *s = new Help(p);
                      s->showTopic(topic);
                      return s;
                  }};
    return c;
}

class tst_ScreenLook : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(registerRobotoFonts() > 0); }
    void screen_data()
    {
        QTest::addColumn<int>("index");
        const QList<Case> all = cases();
        for (int i = 0; i < all.size(); ++i)
            QTest::newRow(qPrintable(all.at(i).name)) << i;
    }
    void screen()
    {
        QFETCH(int, index);
        QWidget panel;
        panel.resize(ActScreenX, ActScreenY);
        QWidget *w = cases().at(index).make(&panel);
        panel.show();
        w->show();
        const QStringList faults = lookFaults(w);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
        if (w->isWindow() && w->testAttribute(Qt::WA_TranslucentBackground)) {
            const QImage img = w->grab().toImage();
            QCOMPARE(img.pixelColor(1, 1).alpha(), 0);
            QCOMPARE(img.pixelColor(img.width() / 2, 10), QColor(Qt::white));
        }
    }
};

QTEST_MAIN(tst_ScreenLook)
#include "tst_screenlook.moc"
