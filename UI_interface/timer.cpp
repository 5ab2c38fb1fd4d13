#include "timer.h"
#include "logcategories.h"

#include "globalvariable.h"
#include "localclock.h"

#include <QDebug>
#include <QMetaMethod>
#include <QTimerEvent>

Mytimer::Mytimer(QObject *parent) : QObject(parent)
{
    nTimerId_1s = startTimer(1000, Qt::CoarseTimer);
    nTimerId_2s = startTimer(2000, Qt::CoarseTimer);
    // The 300 ms timer runs only while something listens (connectNotify):
    // nothing in the charger does, and three wake-ups a second of an idle
    // panel for no receiver were about a quarter of its idle CPU.
    nTimerId_5s = startTimer(5000, Qt::CoarseTimer);
    str_datetime = localClockText();
}

Mytimer::~Mytimer()
{
    killAll();
    qCInfo(lcSession) << "Timer destroy";
}

void Mytimer::connectNotify(const QMetaMethod &signal)
{
    if (signal == QMetaMethod::fromSignal(&Mytimer::signal_300ms_timerout) && nTimerId_300ms == 0 && !m_stopped)
        nTimerId_300ms = startTimer(300, Qt::CoarseTimer);
}

void Mytimer::killAll()
{
    for (int *id : {&nTimerId_1s, &nTimerId_2s, &nTimerId_300ms, &nTimerId_5s}) {
        if (*id != 0) {
            killTimer(*id);
            *id = 0;
        }
    }
}

void Mytimer::stop()
{
    m_stopped = true;
    killAll();
    qCInfo(lcSession) << "Timer stop";
}

void Mytimer::timerEvent(QTimerEvent *event)
{
    const int id = event->timerId();
    if (id == 0)
        return;
    if (id == nTimerId_1s) {
        emit signal_1s_timerout();
        // Receivers of this tick still see the previous second's text. A
        // receiver may have stopped the service; the clock then stands still.
        if (nTimerId_1s != 0)
            str_datetime = localClockText();
    }
    if (id == nTimerId_2s)
        emit signal_2s_timerout();
    if (id == nTimerId_300ms) {
        // Receivers that went away are not announced; the first tick without
        // one puts the timer back to sleep.
        if (isSignalConnected(QMetaMethod::fromSignal(&Mytimer::signal_300ms_timerout))) {
            emit signal_300ms_timerout();
        } else {
            killTimer(nTimerId_300ms);
            nTimerId_300ms = 0;
        }
    }
    if (id == nTimerId_5s)
        emit signal_5s_timerout();
}
