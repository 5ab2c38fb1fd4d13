#include "idleclose.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

IdleClose::IdleClose(QWidget *window, int ms) : QObject(window), m_window(window), m_timer(new QTimer(this))
{
    setObjectName("idleClose");
    m_timer->setObjectName("idleCloseTimer");
    m_timer->setSingleShot(true);
    m_timer->setInterval(ms);
    connect(m_timer, &QTimer::timeout, this, &IdleClose::idle);
}

void IdleClose::start()
{
    if (!m_watching) {
        qApp->installEventFilter(this);
        m_watching = true;
    }
    m_timer->start();
}

void IdleClose::stop()
{
    if (m_watching) {
        qApp->removeEventFilter(this);
        m_watching = false;
    }
    m_timer->stop();
}

bool IdleClose::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::TouchBegin:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        // A list's popup is a window of its own, whose parent chain still
        // leads to the view.
        for (QObject *o = watched; o; o = o->parent()) {
            if (o == m_window) {
                m_timer->start();
                break;
            }
        }
        break;
    default:
        break;
    }
    return false;
}
