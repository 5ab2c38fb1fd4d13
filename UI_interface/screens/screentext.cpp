#include "screentext.h"

#include "styletokens.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QRegularExpression>
#include <QTranslator>

#include <cmath>

QString screenText(const QString &text)
{
    static const QRegularExpression tag("<[^>]*>");
    QString out;
    out.reserve(text.size());
    int pos = 0;
    auto words = [&out](const QString &run) {
        int begin = 0, end = run.size();
        while (begin < end && run.at(begin).isSpace())
            ++begin;
        while (end > begin && run.at(end - 1).isSpace())
            --end;
        if (begin == end) {
            out += run;
            return;
        }
        out += run.left(begin);
        out += QCoreApplication::translate("screens", run.mid(begin, end - begin).toUtf8().constData());
        out += run.mid(end);
    };
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words(text.mid(pos, m.capturedStart() - pos));
        out += m.captured();
        pos = m.capturedEnd();
    }
    words(text.mid(pos));
    return out;
}

QString moneyText(double euros)
{
    // Rounded to the cent first, half up as a till rounds; an amount below
    // zero (a meter step back) or not a number shows as nothing owed.
    const double cents = std::isfinite(euros) && euros > 0 ? std::floor(euros * 100.0 + 0.5 + 1e-9) : 0.0;
    return QString::fromUtf8("€ ") + QString::number(cents / 100.0, 'f', 2);
}

namespace Language {
namespace {
const char *const codes[] = {"EN", "DE", "FR", "ES"};
int s_current = 0;
QTranslator *s_translator = nullptr;
} // namespace

int count() { return 4; }
int current() { return s_current; }

QString code(int index)
{
    return index >= 0 && index < count() ? QString::fromLatin1(codes[index]) : QString();
}

bool select(int index)
{
    if (index < 0 || index >= count())
        return false;
    if (index == s_current)
        return true;
    QCoreApplication *app = QCoreApplication::instance();
    if (index == 0) {
        QCoreApplication::removeTranslator(s_translator); // tells every widget
        delete s_translator;
        s_translator = nullptr;
    } else {
        const QString file = ":/translations/hmi_" + code(index).toLower() + ".qm";
        QTranslator probe; // a file that does not load leaves the language as it was
        if (!probe.load(file)) {
            qWarning().noquote() << "no translation " + file;
            return false;
        }
        if (!s_translator) {
            s_translator = new QTranslator(app);
            s_translator->load(file);
            QCoreApplication::installTranslator(s_translator); // tells every widget
        } else {
            // From one translation to another in place: the widgets are told
            // once, and never see two languages installed at the same time.
            s_translator->load(file);
            QEvent change(QEvent::LanguageChange);
            QCoreApplication::sendEvent(app, &change);
        }
    }
    s_current = index;
    // The application posts the change to every window; deliver it now, so
    // that whatever the caller shows next is already in the new language.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    return true;
}

void next() { select((s_current + 1) % count()); }

QString buttonImage()
{
    return "image: url(:/images/ico_Language_" + code(s_current).toLower() + ".png);";
}

QString buttonStyle()
{
    return "QPushButton{" + navigationbar_style + buttonImage() + "}" + navigation_pressed;
}
} // namespace Language
