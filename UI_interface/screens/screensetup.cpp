#include "screensetup.h"

#include "globalvariable.h"
#include "styletokens.h"

#include <QAbstractButton>
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QPalette>
#include <QWidget>

namespace {
// A screen or popup that goes away while a finger still presses one of its
// buttons takes that touch with it: lifting the finger must not click a
// button that is no longer on show, it would navigate from a page that has
// gone (the Stop held while the charge ends opened the card dialog over the
// completion screen).
class DropTouchOnHide : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide) {
            for (QAbstractButton *button : watched->findChildren<QAbstractButton *>()) {
                if (button->isDown())
                    button->setDown(false);
            }
        }
        return false;
    }
};

void dropTouchOnHide(QWidget *widget)
{
    widget->installEventFilter(new DropTouchOnHide(widget));
}
} // namespace

void setRobotoFont(QWidget *widget)
{
    QFont f = widget->font();
    f.setFamily("Roboto");
    widget->setFont(f);
}

void setupScreenPage(QWidget *page)
{
    setRobotoFont(page);
    page->setGeometry(unitRect(0, 7, 64, 33));
    dropTouchOnHide(page);
}

void setupPopupWindow(QWidget *popup, QWidget *card, const QString &cardStyle, double x, double y, double w, double h,
                      Qt::WindowFlags flags)
{
    // Unchanged flags (a popup created as a window already) leave the window as it is.
    popup->setWindowFlags(flags);
    popup->setAttribute(Qt::WA_TranslucentBackground);
    QPalette pal = popup->palette();
    pal.setBrush(QPalette::Window, QColor(0, 0, 0, 0));
    popup->setPalette(pal);
    setRobotoFont(popup);
    popup->setGeometry(unitRect(x, y, w, h));

    card->setGeometry(unitRect(0, 0, w, h));
    card->setStyleSheet(cardStyle);
    dropTouchOnHide(popup);
}
