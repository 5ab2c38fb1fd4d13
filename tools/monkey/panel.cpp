#include "panel.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace monkey {

Panel::Panel(QWidget *mainWindow) : m_main(mainWindow)
{
    qApp->installEventFilter(this);
}

Panel::~Panel()
{
    qApp->removeEventFilter(this);
}

// Stacking as a window system without a window manager keeps it: the window
// shown last is on top.
bool Panel::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        QWidget *w = static_cast<QWidget *>(watched);
        if (w->isWindow())
            m_shownAt.insert(w, ++m_shows);
    }
    return false;
}

QWidget *Panel::windowAt(const QPoint &point) const
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup; // a popup list takes every touch; one outside it closes it
    QVector<QWidget *> candidates;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowType() != Qt::ToolTip && w->windowHandle() && w->geometry().contains(point))
            candidates << w;
    }
    if (candidates.isEmpty())
        return m_main;
    std::sort(candidates.begin(), candidates.end(), [this](QWidget *a, QWidget *b) {
        const bool aTop = a->windowFlags() & Qt::WindowStaysOnTopHint;
        const bool bTop = b->windowFlags() & Qt::WindowStaysOnTopHint;
        if (aTop != bTop)
            return aTop;
        if ((a == m_main) != (b == m_main))
            return b == m_main;
        return m_shownAt.value(a) > m_shownAt.value(b);
    });
    return candidates.first();
}

QPoint Panel::panelPoint(QWidget *widget, const QPoint &local)
{
    return widget->mapToGlobal(local);
}

void Panel::send(QWindow *window, const QPoint &point, int type, bool down)
{
    const QPointF local = window->mapFromGlobal(point);
    const Qt::MouseButtons buttons = down ? Qt::LeftButton : Qt::NoButton;
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    qt_handleMouseEvent(window, local, point, buttons, button, QEvent::Type(type), Qt::NoModifier, int(m_time));
}

void Panel::press(const QPoint &point, bool quick)
{
    if (m_down)
        release(point);
    QWidget *target = windowAt(point);
    if (!target->windowHandle())
        return;
    // Presses further apart than the double-click interval are separate taps.
    m_time += quick ? 60 : 1500;
    m_grab = target;
    m_down = true;
    send(target->windowHandle(), point, QEvent::MouseButtonPress, true);

}

void Panel::moveTo(const QPoint &point)
{
    m_time += 16;
    QWidget *target = (m_down && m_grab && m_grab->isVisible()) ? m_grab.data() : windowAt(point);
    if (target->windowHandle())
        send(target->windowHandle(), point, QEvent::MouseMove, m_down);
}

void Panel::release(const QPoint &point)
{
    if (!m_down)
        return;
    m_time += 40;
    m_down = false;
    QWidget *target = (m_grab && m_grab->isVisible()) ? m_grab.data() : windowAt(point);
    m_grab.clear();
    if (target->windowHandle())
        send(target->windowHandle(), point, QEvent::MouseButtonRelease, false);
}

void Panel::key(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = QApplication::activePopupWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target || !target->isVisible())
        target = m_main;
    QWindow *window = target->window()->windowHandle();
    if (window)
        QTest::keyClick(window, Qt::Key(key), modifiers);
}

QVector<Panel::Target> Panel::targets() const
{
    QVector<Target> found;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible() || top->windowType() == Qt::ToolTip)
            continue;
        for (QWidget *w : top->findChildren<QWidget *>()) {
            QWidget *aim = w;
            if (auto *view = qobject_cast<QAbstractItemView *>(w))
                aim = view->viewport();
            else if (!qobject_cast<QAbstractButton *>(w) && !qobject_cast<QComboBox *>(w) &&
                     !qobject_cast<QLineEdit *>(w) && !qobject_cast<QAbstractSlider *>(w) &&
                     !qobject_cast<QTabBar *>(w))
                continue;
            if (!aim->isVisible() || !aim->isEnabled() || aim->width() < 2 || aim->height() < 2)
                continue;
            const QPoint centre = panelPoint(aim, aim->rect().center());
            // Covered by a veil, a popup or another window: the finger would
            // touch that instead.
            QWidget *window = windowAt(centre);
            QWidget *hit = window->childAt(window->mapFromGlobal(centre));
            if (!hit)
                hit = window;
            if (hit != aim && !aim->isAncestorOf(hit))
                continue;
            double weight = 1.0;
            if (w->objectName() == QLatin1String("pushButton_exit"))
                weight = 0.0;
            else if (w->objectName() == QLatin1String("pushButton_debug"))
                weight = 0.05; // hides the debug panel's boxes until touched again
            if (weight > 0)
                found.push_back({aim, centre, weight});
        }
    }
    return found;
}

} // namespace monkey
