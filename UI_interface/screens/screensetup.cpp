#include "screensetup.h"

#include "globalvariable.h"
#include "styletokens.h"

#include <QAbstractButton>
#include <QColor>
#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>

#include <utility>

namespace {
// A screen or popup that goes away takes the input aimed at it along: a
// finger still pressing one of its buttons, and the keyboard's focus. Lifting
// the finger or pressing Space must not click a button that is no longer on
// show; it would navigate from a page that has gone (the Stop held while the
// charge ended opened the card dialog over the completion screen). The
// toolkit does neither by itself while another window is the active one.
// Letting the button up is not enough while the finger stays on the panel:
// the touch keeps going to the hidden button, and a finger that slides
// presses it again, so the button also gets the end of the press.
class DropInputOnHide : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide) {
            QWidget *screen = static_cast<QWidget *>(watched);
            const bool fingerDown = QGuiApplication::mouseButtons() & Qt::LeftButton;
            for (QAbstractButton *button : screen->findChildren<QAbstractButton *>()) {
                if (!button->isDown() && !fingerDown)
                    continue;
                button->setDown(false);
                // Up already, the button takes the release as the end of
                // its press and does not click.
                QMouseEvent up(QEvent::MouseButtonRelease, QPointF(-1, -1), Qt::LeftButton, Qt::NoButton,
                               Qt::NoModifier);
                QCoreApplication::sendEvent(button, &up);
            }
            QWidget *focus = screen->window()->focusWidget();
            if (focus && (focus == screen || screen->isAncestorOf(focus)))
                focus->clearFocus();
        }
        return false;
    }
};

void dropInputOnHide(QWidget *widget)
{
    widget->installEventFilter(new DropInputOnHide(widget));
}
} // namespace

void setRobotoFont(QWidget *widget)
{
    QFont f = widget->font();
    f.setFamily("Roboto");
    widget->setFont(f);
}

namespace {
class LanguageWatch : public QObject
{
public:
    LanguageWatch(QWidget *widget, std::function<void()> retranslate)
        : QObject(widget), m_retranslate(std::move(retranslate))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == parent() && event->type() == QEvent::LanguageChange)
            m_retranslate();
        return false;
    }

private:
    std::function<void()> m_retranslate;
};
} // namespace

void retranslateOnLanguageChange(QWidget *widget, std::function<void()> retranslate)
{
    new LanguageWatch(widget, std::move(retranslate));
}

void setupScreenPage(QWidget *page)
{
    setRobotoFont(page);
    page->setGeometry(unitRect(0, 7, 64, 33));
    dropInputOnHide(page);
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
    dropInputOnHide(popup);
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

namespace {
class RenderedText : public QObject
{
public:
    explicit RenderedText(QLabel *label) : QObject(label), m_label(label) { label->installEventFilter(this); }

    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Paint:
            break;
        case QEvent::StyleChange:
        case QEvent::FontChange:
        case QEvent::PaletteChange:
        case QEvent::LanguageChange:
        case QEvent::EnabledChange:
        case QEvent::Resize:
            m_image = QPixmap();
            return false;
        default:
            return false;
        }
        if (m_rendering)
            return false;
        const qreal ratio = m_label->devicePixelRatioF();
        if (m_image.isNull() || m_text != m_label->text() || m_image.size() != m_label->size() * ratio) {
            // This paint goes the ordinary way; the image is made right after,
            // outside any paint of the label.
            m_image = QPixmap();
            if (!m_pending) {
                m_pending = true;
                QMetaObject::invokeMethod(this, [this] { renderImage(); }, Qt::QueuedConnection);
            }
            return false;
        }
        // Only the part with ink: a large figure covers a fraction of its
        // box, and the rest would be blended in at every paint for nothing.
        if (!m_ink.isEmpty()) {
            QPainter painter(m_label);
            painter.drawPixmap(QRectF(QPointF(m_ink.topLeft()) / ratio, QSizeF(m_ink.size()) / ratio), m_image,
                               QRectF(m_ink));
        }
        return true;
    }

private:
    void renderImage()
    {
        m_pending = false;
        const qreal ratio = m_label->devicePixelRatioF();
        QPixmap image(m_label->size() * ratio);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
        m_rendering = true;
        m_label->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        m_rendering = false;
        m_image = image;
        m_text = m_label->text();
        m_ink = inkRect(image.toImage());
    }

    // The smallest rectangle holding every pixel that is not fully transparent.
    static QRect inkRect(const QImage &image)
    {
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        int left = argb.width(), right = -1, top = argb.height(), bottom = -1;
        for (int y = 0; y < argb.height(); ++y) {
            const QRgb *row = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                if (qAlpha(row[x]) == 0)
                    continue;
                left = qMin(left, x);
                right = qMax(right, x);
                top = qMin(top, y);
                bottom = y;
            }
        }
        return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
    }

    QLabel *m_label;
    QPixmap m_image;
    QRect m_ink; // in the image's pixels
    QString m_text;
    bool m_rendering = false;
    bool m_pending = false;
};
} // namespace

void keepTextRendered(QLabel *label)
{
    new RenderedText(label);
}

namespace {
class PaintedOver : public QObject
{
public:
    explicit PaintedOver(QWidget *widget) : QObject(widget), m_widget(widget) { widget->installEventFilter(this); }

    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::StyleChange:
            // Until what lies under it is kept again, it paints the usual way.
            // (Polishing by a style sheet takes the attribute away anyway.)
            m_under = QImage();
            m_widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
            if (!m_pending) {
                m_pending = true;
                QMetaObject::invokeMethod(this, [this] { keepUnder(); }, Qt::QueuedConnection);
            }
            break;
        case QEvent::Hide:
            m_under = QImage(); // no memory held for a screen not shown
            m_widget->setAttribute(Qt::WA_OpaquePaintEvent, false);
            break;
        case QEvent::Paint:
            if (!m_under.isNull() && m_widget->testAttribute(Qt::WA_OpaquePaintEvent)) {
                const QRect r = static_cast<QPaintEvent *>(event)->rect();
                QPainter p(m_widget);
                p.setCompositionMode(QPainter::CompositionMode_Source);
                p.drawImage(r, m_under, QRectF(QRectF(r).topLeft() * m_under.devicePixelRatio(),
                                               QSizeF(r.size()) * m_under.devicePixelRatio()));
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    // Outside any paint: the background of the nearest widget that fills one,
    // and the visible widgets stacked under this one, as the toolkit would
    // paint them there.
    void keepUnder()
    {
        m_pending = false;
        QWidget *parent = m_widget->parentWidget();
        if (!parent || !m_widget->isVisible())
            return;
        QWidget *filler = parent;
        while (!filler->isWindow() && !filler->autoFillBackground())
            filler = filler->parentWidget();
        const qreal ratio = m_widget->devicePixelRatioF();
        QImage under(m_widget->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        under.setDevicePixelRatio(ratio);
        under.fill(filler->palette().color(filler->backgroundRole()));
        QPainter p(&under);
        const QRect area = m_widget->geometry();
        for (QObject *child : parent->children()) {
            if (child == m_widget)
                break;
            QWidget *w = qobject_cast<QWidget *>(child);
            if (!w || w->isWindow() || !w->isVisible() || !w->geometry().intersects(area))
                continue;
            const QRect part = area.intersected(w->geometry()).translated(-w->pos());
            // The part's top left goes to the offset.
            w->render(&p, w->pos() + part.topLeft() - area.topLeft(), QRegion(part), QWidget::DrawChildren);
        }
        p.end();
        m_under = under;
        m_widget->setAttribute(Qt::WA_OpaquePaintEvent, true);
    }

    QWidget *m_widget;
    QImage m_under;
    bool m_pending = false;
};
} // namespace

void paintOverKeptBackground(QWidget *widget)
{
    new PaintedOver(widget);
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
