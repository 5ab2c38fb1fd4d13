#ifndef MONKEY_PANEL_H
#define MONKEY_PANEL_H

// The panel as a finger and a technician's keyboard meet it: touches enter
// the toolkit as window-system mouse events on whichever window is on top at
// the point, keys as window-system key events on the active window.

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QVector>

class QWidget;
class QWindow;

namespace monkey {

class Panel : public QObject
{
public:
    explicit Panel(QWidget *mainWindow);
    ~Panel() override;

    // The window a touch at this point of the panel lands on: an open popup
    // list, then stay-on-top windows, then the other windows with the one
    // shown last on top, the main window at the bottom.
    QWidget *windowAt(const QPoint &point) const;

    // One finger. A press goes to the window on top at the point; moves and
    // the release follow that window while it is shown (the touch screen's
    // implicit grab). `quick` presses come within the double-tap interval of
    // the previous release.
    void press(const QPoint &point, bool quick = false);
    void moveTo(const QPoint &point);
    void release(const QPoint &point);
    bool isPressed() const { return m_down; }

    // A key press and release on the active window (or an open popup list).
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    // What a finger aims at: visible, enabled controls that a touch at their
    // centre really reaches, each with a weight (the exit corner gets none:
    // it ends the program, and plain touches find it often enough).
    struct Target
    {
        QWidget *widget;
        QPoint centre; // on the panel
        double weight;
    };
    QVector<Target> targets() const;

    // A point inside the widget, on the panel.
    static QPoint panelPoint(QWidget *widget, const QPoint &local);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void send(QWindow *window, const QPoint &point, int type, bool down);

    QWidget *m_main;
    QHash<QWidget *, quint64> m_shownAt;
    quint64 m_shows = 0;
    QPointer<QWidget> m_grab;
    bool m_down = false;
    ulong m_time = 1000;
};

} // namespace monkey

#endif // MONKEY_PANEL_H
