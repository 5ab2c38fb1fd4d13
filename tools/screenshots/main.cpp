// hmi-screenshots <outdir> [EN|DE|FR|ES]
//
// With a language, the whole set is rendered in it (to look over a
// translation); without, the English set plus home and energy delivery in
// the other languages.
//
// Builds every customer screen with representative session data and writes
// one PNG per screen, composed as the driver sees it on the 1280 x 800 panel:
// the main window's status and navigation bar on top, the screen below it,
// the veil over both when a popup is up, and the popup's rounded card on top.

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

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace {

// The frame the main window draws around every screen: background, status
// bar with clock and icons, the navigation buttons with their masks, and the
// full-window veil laid behind popups.
class Panel : public QWidget
{
public:
    Panel()
    {
        setRobotoFont(this);
        setGeometry(unitRect(0, 0, 64, 40));
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(Natural_Darker.chopped(1)));
        setPalette(pal);
        setAutoFillBackground(true);

        statusbar = label(unitRect(0, 0, 64, 2), statusbar_backgound + font_S + font_color_basic + alignment_C);
        statusbar->setText(statusbar_str);
        time = label(QRect(int(2 * dpX), 0, 200, int(2 * dpY)), font_color_basic + font_S);
        time->setText("06-14 10:42:17");
        factory = button(unitRect(52, 0, 2, 2), setting_style + image_setting);
        charger = label(unitRect(56, 0, 2, 2), QString());
        charger->setScaledContents(true);
        wifi = label(unitRect(60, 0, 2, 2), QString());
        wifi->setScaledContents(true);
        wifi->setPixmap(QPixmap(charger_signal_good));
        health = label(unitRect(58, 0, 2, 2), QString());
        setHealthy(true);
        home = button(unitRect(2, 3, 5, 4), "QPushButton{" + navigationbar_style + image_home + "}" + navigation_pressed);
        maskHome = label(unitRect(2, 3, 5, 4), disabled_mask);
        language = button(unitRect(53, 3, 4, 4), Language::buttonStyle());
        maskLanguage = label(unitRect(53, 3, 4, 4), disabled_mask);
        help = button(unitRect(58, 3, 4, 4), "QPushButton{" + navigationbar_style + image_help + "}" + navigation_pressed);
        maskHelp = label(unitRect(58, 3, 4, 4), disabled_mask);
        veil = label(unitRect(0, 0, 64, 40), popup_shadow);
        veil->hide();
        setPlugged(false);
        setLocks(true, false, false);
    }

    void setPlugged(bool plugged) { charger->setPixmap(QPixmap(plugged ? charger_con : charger_discon)); }
    void setHealthy(bool healthy) { health->setPixmap(healthIcon(health->size(), healthy)); }

    void setLocks(bool lockHome, bool lockLanguage, bool lockHelp)
    {
        lock(home, maskHome, lockHome);
        lock(language, maskLanguage, lockLanguage);
        lock(help, maskHelp, lockHelp);
    }

    // Screens sit under the bars' masks and the veil.
    void place(QWidget *screen)
    {
        screen->setGeometry(unitRect(0, 7, 64, 33));
        screen->lower();
    }

    void setVeil(bool on)
    {
        veil->setVisible(on);
        veil->raise();
    }

protected:
    // The language button names the language on show, as the main window's does.
    void changeEvent(QEvent *event) override
    {
        if (event->type() == QEvent::LanguageChange)
            language->setStyleSheet(Language::buttonStyle());
        QWidget::changeEvent(event);
    }

private:
    QLabel *label(const QRect &r, const QString &style)
    {
        auto *l = new QLabel(this);
        l->setGeometry(r);
        l->setStyleSheet(style);
        return l;
    }
    QPushButton *button(const QRect &r, const QString &style)
    {
        auto *b = new QPushButton(this);
        b->setGeometry(r);
        b->setStyleSheet(style);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    }
    static void lock(QPushButton *b, QLabel *mask, bool locked)
    {
        b->setEnabled(!locked);
        mask->setVisible(locked);
        mask->raise();
    }

    QLabel *statusbar, *time, *charger, *wifi, *health, *maskHome, *maskLanguage, *maskHelp, *veil;
    QPushButton *factory, *home, *language, *help;
};

QString outDir;
int written = 0;

// The panel with its screens, then every popup window at its place on the panel.
bool save(const QString &name, QWidget *panel, const QList<QWidget *> &popups = {})
{
    panel->show();
    for (QWidget *p : popups)
        p->show();
    QApplication::processEvents();
    QPixmap shot = panel->grab();
    {
        QPainter painter(&shot);
        for (QWidget *p : popups)
            painter.drawPixmap(p->geometry().topLeft() - panel->geometry().topLeft(), p->grab());
    }
    const QString path = QDir(outDir).filePath(name + ".png");
    if (!shot.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    ++written;
    return true;
}

// Session figures as the charging data update formats them.
struct Figures
{
    const char *kwh, *minutes, *volts, *amps, *money, *togo, *remain;
    int soc;
};

const Figures midCharge = {"1.2", "2", "375", "60", "0.8", "14.2", "38", 80};

void setFigures(const Figures &f)
{
    str_chargedkWh = f.kwh;
    str_chargedtime = f.minutes;
    str_chargeVoltage = f.volts;
    str_chargeCurrent = f.amps;
    str_chargedMoney = f.money;
    str_togokWh = f.togo;
    str_remaintime = f.remain;
    int_soc = quint16(f.soc);
    str_soc = QString::number(f.soc);
}

// A fixed-amount session of €10 at the default price.
void chooseTenEuros()
{
    gun_status[1].charge_style = 2;
    f_CusSetAmount = 10.0f;
    f_CusSetkWh = 10.0f / f_price;
    gun_status[1].f_CusSetAmount = f_CusSetAmount;
    gun_status[1].f_CusSetkWh = f_CusSetkWh;
    str_amount = QString::number(double(f_CusSetAmount), 'f', 2);
    str_quantity = QString::number(double(f_CusSetkWh), 'f', 2);
}

// The home page as the driver first sees it.
void showHome(Panel &panel)
{
    auto *screen = new home(&panel);
    panel.place(screen);
    screen->page_show();
}

bool shootHome()
{
    Panel panel;
    showHome(panel);
    return save("home", &panel);
}

// The CCU link is down: the tiles take no touch and the band says why.
bool shootHomeOutOfOrder()
{
    Panel panel;
    panel.setHealthy(false);
    auto *screen = new home(&panel);
    panel.place(screen);
    screen->page_show();
    screen->setOutOfOrder(true, "CCU link lost");
    return save("home-out-of-order", &panel);
}

// The fast-charge tile under the finger.
bool shootHomePressed()
{
    Panel panel;
    auto *screen = new home(&panel);
    panel.place(screen);
    screen->page_show();
    if (auto *tile = screen->findChild<QPushButton *>("pushButton_fastcharging"))
        tile->setDown(true);
    return save("home-pressed", &panel);
}

// The €10 preset chosen (it stays marked); with nothing chosen, Confirm is off.
bool shootFixedAmount()
{
    bool ok = true;
    for (bool chosen : {true, false}) {
        Panel panel;
        panel.setLocks(false, false, false);
        gun_status[1].charge_style = 2;
        gun_status[1].f_CusSetAmount = gun_status[1].f_CusSetkWh = 0;
        auto *screen = new FixedCharge(&panel);
        panel.place(screen);
        screen->page_show(1);
        if (auto *preset = screen->findChild<QPushButton *>("pushButton_A3"); preset && chosen)
            preset->click(); // €10
        ok &= save(chosen ? "fixedcharge-chosen" : "fixedcharge-nothing-chosen", &panel);
    }
    return ok;
}

bool shootFixedAmountKeypad()
{
    Panel panel;
    panel.setLocks(false, false, false);
    auto *screen = new FixedCharge(&panel);
    panel.place(screen);
    auto *keypad = new Keyboard(&panel);
    gun_status[1].charge_style = 2;
    screen->page_show(1);
    if (auto *preset = screen->findChild<QPushButton *>("pushButton_A3"))
        preset->click(); // €10
    panel.setVeil(true);
    keypad->page_show(1);
    keypad->num_buttonClicked(2);
    keypad->num_buttonClicked(5);
    return save("fixedcharge-keypad", &panel, {keypad});
}

// The card request; without the cable, the plug-in prompt stands over it.
bool shootAuthorization(bool plugged)
{
    Panel panel;
    panel.setPlugged(plugged);
    panel.setLocks(false, false, false);
    auto *screen = new Authorization(&panel);
    panel.place(screen);
    screen->show();
    if (plugged)
        return save("authorization", &panel);
    auto *prompt = new Chargerconnect(&panel);
    panel.setVeil(true);
    return save("authorization-plugin", &panel, {prompt});
}

bool shootCardRefused()
{
    Panel panel;
    panel.setPlugged(true);
    panel.setLocks(false, false, false);
    auto *screen = new Authorization(&panel);
    panel.place(screen);
    screen->show();
    screen->showCardRefused();
    return save("authorization-card-refused", &panel);
}

bool shootStandby()
{
    Panel panel;
    panel.setPlugged(true);
    chooseTenEuros();
    charginfo.SOC_Current = 30;
    auto *screen = new Standby(&panel);
    panel.place(screen);
    screen->page_show();
    return save("standby", &panel);
}

// The energy delivery screen showing `figures` after `ticks` refreshes in
// `phase`, the dots from their first step and the sweeping bar from mid-way.
EnergyDelivery *charging(Panel &panel, const Figures &figures, int phase, int ticks)
{
    panel.setPlugged(true);
    panel.setLocks(true, true, true);
    setFigures(figures);
    propare_n = 0;
    soc_progressbar = 58;
    auto *screen = new EnergyDelivery(&panel);
    panel.place(screen);
    screen->show();
    Charging_phase = quint16(phase);
    for (int i = 0; i < ticks; ++i)
        screen->Soc_Refresh();
    screen->InfoUpdate();
    timer_SocRefresh.stop();
    return screen;
}

bool shootCharging()
{
    struct Shot
    {
        const char *name;
        Figures figures;
        int phase, ticks;
    };
    const Shot shots[] = {
        {"charging-preparing", {"0.0", "0", "0", "0", "0.0", "15.4", "--", 70}, 1, 4}, // three dots
        {"charging-charging", midCharge, 3, 2},
        {"charging-stopping", {"1.7", "5", "400", "20", "1.1", "13.7", "--", 95}, 4, 3},
        {"charging-suspended", {"1.5", "4", "390", "0", "1.0", "13.9", "--", 90}, 5, 1},
    };
    chooseTenEuros();
    bool ok = true;
    for (const Shot &shot : shots) {
        Panel panel;
        charging(panel, shot.figures, shot.phase, shot.ticks);
        ok &= save(shot.name, &panel);
    }
    return ok;
}

// A stop dialog over the energy delivery screen in mid-charge.
template <class Dialog>
bool shootStopDialog(const char *name)
{
    Panel panel;
    charging(panel, midCharge, 3, 2);
    panel.setVeil(true);
    auto *popup = new Dialog(&panel);
    return save(name, &panel, {popup});
}

bool shootStopDialogs()
{
    chooseTenEuros();
    bool ok = true;
    ok &= shootStopDialog<Charging_child1>("stop-dialog-card");
    ok &= shootStopDialog<Charging_child2>("stop-dialog-confirm");
    return ok;
}

Complete *completion(Panel &panel)
{
    panel.setPlugged(true);
    panel.setLocks(true, true, true);
    setFigures({"1.7", "6", "0", "0", "1.1", "0", "0", 95});
    auto *screen = new Complete(&panel);
    panel.place(screen);
    screen->InfoUpdate();
    screen->show();
    return screen;
}

bool shootCompletion()
{
    bool ok = true;
    {
        Panel panel;
        completion(panel);
        ok &= save("complete", &panel);
    }
    {
        Panel panel;
        completion(panel);
        panel.setVeil(true);
        auto *popup = new Complete_child(&panel);
        ok &= save("complete-popup", &panel, {popup});
    }
    {
        Panel panel;
        completion(panel);
        panel.setVeil(true);
        auto *popup = new Complete_child(&panel);
        popup->showOutcome(SessionEnd::Rejected);
        ok &= save("complete-popup-session-ended", &panel, {popup});
    }
    return ok;
}

// The error card floats over the page without a veil.
bool shootError()
{
    Panel panel;
    completion(panel);
    auto *popup = new ErrorMsg(&panel);
    popup->page_show("Information:The transaction is stopped by Remote command!");
    timer_page_errpage.stop();
    return save("error-popup", &panel, {popup});
}

bool shootHelp()
{
    bool ok = true;
    Help help;
    if (auto *clock = help.findChild<StatusClock *>("label_time"))
        clock->setText("06-14 10:42:17"); // the same moment on every page
    const char *const names[] = {"help", "help-fixed-amount", "help-paying", "help-stopping", "help-icons"};
    for (int i = 0; i < help.topicCount() && i < 5; ++i) {
        help.showTopic(i);
        ok &= save(names[i], &help);
    }
    return ok;
}

bool shootDebugPanel()
{
    Panel panel;
    showHome(panel);
    auto *debugset = new DebugFun(&panel);
    if (auto *box = debugset->findChild<QCheckBox *>("checkBox_charger"))
        box->setChecked(true);
    debugset->raise();
    return save("debug-panel", &panel);
}

// The service PIN pad over the home page: four digits typed; then the
// lock-out after five wrong PINs.
bool shootServicePin()
{
    ServicePin pin;
    pin.set("2468");
    bool ok = true;
    {
        Panel panel;
        showHome(panel);
        panel.setVeil(true);
        auto *pad = new ServicePinPad(&pin, &panel);
        pad->page_show();
        for (int key : {1, 3, 5, 7})
            pad->num_buttonClicked(key);
        ok &= save("service-pin", &panel, {pad});
    }
    for (int i = 0; i < ServicePin::MaxAttempts; ++i)
        pin.check("0000");
    {
        Panel panel;
        showHome(panel);
        panel.setVeil(true);
        auto *pad = new ServicePinPad(&pin, &panel);
        pad->page_show();
        ok &= save("service-pin-locked", &panel, {pad});
    }
    return ok;
}

// Home and energy delivery in each language besides English (home.png and
// charging-charging.png are the English ones), switched as the language
// button does it.
bool shootLanguages()
{
    bool ok = true;
    for (int lang = 1; lang < Language::count(); ++lang) {
        const QString code = Language::code(lang).toLower();
        Panel home;
        showHome(home);
        Panel charge;
        chooseTenEuros();
        charging(charge, midCharge, 3, 2);
        if (!Language::select(lang)) {
            std::fprintf(stderr, "no translation for %s\n", qPrintable(code));
            return false;
        }
        ok &= save("home-" + code, &home);
        ok &= save("charging-" + code, &charge);
        Language::select(0);
    }
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    int language = -1;
    for (int i = 0; args.size() == 3 && i < Language::count(); ++i)
        if (args.at(2).compare(Language::code(i), Qt::CaseInsensitive) == 0)
            language = i;
    if (args.size() < 2 || args.size() > 3 || args.at(1).startsWith('-') || (args.size() == 3 && language < 0)) {
        std::fprintf(stderr, "usage: hmi-screenshots <outdir> [EN|DE|FR|ES]\n");
        return 2;
    }
    outDir = args.at(1);
    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    if (registerRobotoFonts() == 0)
        std::fprintf(stderr, "warning: no Roboto face registered\n");
    // Nothing here should touch the panel's data directory.
    QTemporaryDir data;
    FilePath = data.path() + '/';

    if (language > 0 && !Language::select(language)) {
        std::fprintf(stderr, "no translation for %s\n", qPrintable(args.at(2)));
        return 1;
    }
    bool ok = true;
    ok &= shootHome();
    ok &= shootHomeOutOfOrder();
    ok &= shootHomePressed();
    ok &= shootFixedAmount();
    ok &= shootCardRefused();
    ok &= shootFixedAmountKeypad();
    ok &= shootAuthorization(true);
    ok &= shootAuthorization(false);
    ok &= shootStandby();
    ok &= shootCharging();
    ok &= shootStopDialogs();
    ok &= shootCompletion();
    ok &= shootError();
    ok &= shootHelp();
    ok &= shootDebugPanel();
    ok &= shootServicePin();
    if (language < 0)
        ok &= shootLanguages();
    std::printf("%d screenshots\n", written);
    return ok ? 0 : 1;
}
