#ifndef TIMER_H
#define TIMER_H

#include <QObject>

class QTimerEvent;

// The GUI thread's heartbeat: four coarse periodic timers turned into four
// signals (the 300 ms one only while it has a receiver), and the clock text of
// the status bar kept current.
class Mytimer : public QObject
{
    Q_OBJECT
public:
    explicit Mytimer(QObject *parent = nullptr);
    ~Mytimer() override;

    int nTimerId_1s = 0;
    int nTimerId_2s = 0;
    int nTimerId_5s = 0;
    int nTimerId_300ms = 0;

signals:
    void signal_1s_timerout();
    void signal_2s_timerout();
    void signal_5s_timerout();
    void signal_300ms_timerout();

public slots:
    void stop();

protected:
    void timerEvent(QTimerEvent *event) override;
    void connectNotify(const QMetaMethod &signal) override;

private:
    void killAll();
    bool m_stopped = false;
};

#endif // TIMER_H
