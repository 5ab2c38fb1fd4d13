#include "statusclock.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPaintEvent>
#include <QPainter>

StatusClock::StatusClock(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_x = {0};
}

void StatusClock::setText(const QString &text)
{
    if (text == m_text)
        return;
    const QString before = m_text;
    m_text = text;
    bool samePlaces = before.size() == text.size();
    for (int i = 0; samePlaces && i < text.size(); ++i)
        samePlaces = before.at(i) == text.at(i) || advance(before.at(i)) == advance(text.at(i));
    if (!samePlaces) {
        placeCharacters();
        update();
        return;
    }
    QRegion changed;
    for (int i = 0; i < text.size(); ++i) {
        if (before.at(i) != text.at(i))
            changed += cell(i);
    }
    // Painted at once: a new second on an idle screen is all there is to
    // paint, and a posted update would wake the event loop once more for it.
    repaint(changed);
}

void StatusClock::forgetDrawing()
{
    m_advances.clear();
    m_glyphs.clear();
    placeCharacters();
    update();
}

void StatusClock::changeEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        forgetDrawing();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void StatusClock::resizeEvent(QResizeEvent *event)
{
    // The glyphs are as high as the clock.
    m_glyphs.clear();
    QWidget::resizeEvent(event);
}

qreal StatusClock::advance(QChar c)
{
    auto it = m_advances.constFind(c);
    if (it == m_advances.constEnd())
        it = m_advances.insert(c, QFontMetricsF(font()).horizontalAdvance(c));
    return it.value();
}

void StatusClock::placeCharacters()
{
    // The font comes from the style sheet, applied at polish.
    ensurePolished();
    // Each character starts where a label's line would put it, to the pixel.
    m_x.resize(m_text.size() + 1);
    m_shift.resize(m_text.size());
    qreal x = 0;
    for (int i = 0; i < m_text.size(); ++i) {
        m_x[i] = qRound(x);
        m_shift[i] = qRound((x - m_x[i]) * 64);
        x += advance(m_text.at(i));
    }
    m_x[m_text.size()] = qRound(x);
}

QRect StatusClock::cell(int i) const
{
    return QRect(m_x.at(i), 0, m_x.at(i + 1) - m_x.at(i), height());
}

const QImage &StatusClock::glyph(QChar c, int shift, int width)
{
    // A character drawn a fraction of a pixel off its cell is another image.
    const quint32 key = quint32(c.unicode()) << 8 | quint32(shift + 64);
    auto it = m_glyphs.constFind(key);
    if (it != m_glyphs.constEnd() && it->width() == qRound(width * devicePixelRatioF()))
        return it.value();
    const qreal ratio = devicePixelRatioF();
    QImage image(qRound(width * ratio), qRound(height() * ratio), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(palette().color(backgroundRole()));
    QPainter p(&image);
    p.setFont(font());
    p.setPen(palette().color(foregroundRole()));
    // Left and vertically centred, where a label would put its line.
    const QFontMetricsF fm(font());
    p.drawText(QPointF(shift / 64.0, (height() - fm.ascent() - fm.descent()) / 2 + fm.ascent()), QString(c));
    p.end();
    return *m_glyphs.insert(key, image);
}

void StatusClock::paintEvent(QPaintEvent *event)
{
    if (m_x.size() != m_text.size() + 1)
        placeCharacters();
    QPainter p(this);
    const QRegion &todo = event->region();
    for (int i = 0; i < m_text.size(); ++i) {
        const QRect r = cell(i);
        if (r.width() > 0 && todo.intersects(r))
            p.drawImage(r.topLeft(), glyph(m_text.at(i), m_shift.at(i), r.width()));
    }
    const QRect rest(m_x.last(), 0, width() - m_x.last(), height());
    if (rest.width() > 0 && todo.intersects(rest))
        p.fillRect(rest, palette().brush(backgroundRole()));
}
