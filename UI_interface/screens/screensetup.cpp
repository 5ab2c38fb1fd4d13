#include "screensetup.h"

#include "globalvariable.h"
#include "styletokens.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QWidget>

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
}
