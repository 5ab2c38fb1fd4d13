#include "screensetup.h"

#include "globalvariable.h"
#include "styletokens.h"

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
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

void placeKeypadKeys(QPushButton *const (&keys)[12], const QString &keySheet)
{
    for (int i = 0; i < 12; ++i) {
        if (!keys[i])
            continue;
        keys[i]->setGeometry(unitRect(4 + (i % 3) * 11, 9.5 + (i / 3) * 3.5, 10, 3));
        keys[i]->setStyleSheet(keySheet);
        keys[i]->setFocusPolicy(Qt::NoFocus);
    }
}

void placeKeypadButtons(QPushButton *cancel, const QString &cancelSheet, QPushButton *confirm,
                        const QString &confirmSheet)
{
    cancel->setGeometry(unitRect(4, 24, 15, 4));
    cancel->setStyleSheet(cancelSheet);
    cancel->setFocusPolicy(Qt::NoFocus);
    confirm->setGeometry(unitRect(21, 24, 15, 4));
    confirm->setStyleSheet(confirmSheet);
    confirm->setFocusPolicy(Qt::NoFocus);
}

// The status bar's health icon.
QPixmap healthIcon(const QSize &size, bool healthy)
{
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal d = qMin(size.width(), size.height()) * 0.8;
    const QRectF disc((size.width() - d) / 2, (size.height() - d) / 2, d, d);
    p.setPen(Qt::NoPen);
    p.setBrush(healthy ? QColor(0x1F, 0xD9, 0x75) : QColor(0xDA, 0x73, 0x00));
    p.drawEllipse(disc);
    QPen pen(Qt::white, d * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    const QPointF c = disc.center();
    const qreal u = d / 10;
    if (healthy) {
        const QPointF tick[] = {{c.x() - 2.6 * u, c.y() + 0.2 * u}, {c.x() - 0.8 * u, c.y() + 2.0 * u},
                                {c.x() + 2.8 * u, c.y() - 2.0 * u}};
        p.drawPolyline(tick, 3);
    } else {
        p.drawLine(QPointF(c.x(), c.y() - 2.8 * u), QPointF(c.x(), c.y() + 0.8 * u));
        p.drawPoint(QPointF(c.x(), c.y() + 2.8 * u));
    }
    return pm;
}
