#ifndef IDLECLOSE_H
#define IDLECLOSE_H

// Closes a service view that nobody touches: a technician who walks away
// must not leave the charger's screen open to the next passer-by, nor
// covered. Any press, touch, key or wheel in the window (its drop-down lists
// included) starts the wait again.

#include <QObject>
#include <QTimer>

class QWidget;

class IdleClose : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultMs = 2 * 60 * 1000;

    explicit IdleClose(QWidget *window, int ms = DefaultMs);

    void start(); // the window is shown
    void stop();  // the window is hidden

signals:
    void idle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    QTimer *m_timer;
    bool m_watching = false;
};

#endif // IDLECLOSE_H
