#include "timer.h"
#include "logcategories.h"

#include "globalvariable.h"

#include <QDateTime>
#include <QDebug>
#include <QTimerEvent>

static QString clockText()
{
    return QDateTime::currentDateTime().toString("MM-dd hh:mm:ss");
}

Mytimer::Mytimer(QObject *parent) : QObject(parent)
{
    nTimerId_1s = startTimer(1000, Qt::CoarseTimer);
    nTimerId_2s = startTimer(2000, Qt::CoarseTimer);
    nTimerId_300ms = startTimer(300, Qt::CoarseTimer);
    nTimerId_5s = startTimer(5000, Qt::CoarseTimer);
    str_datetime = clockText();
}

Mytimer::~Mytimer()
{
    killAll();
    qCInfo(lcSession) << "Timer destroy";
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
            str_datetime = clockText();
    }
    if (id == nTimerId_2s)
        emit signal_2s_timerout();
    if (id == nTimerId_300ms)
        emit signal_300ms_timerout();
    if (id == nTimerId_5s)
        emit signal_5s_timerout();
}
