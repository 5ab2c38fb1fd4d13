#ifndef THREAD_RS485_H
#define THREAD_RS485_H

#include <QObject>

// Owner of the DC meter worker and its thread (placeholder until the meter link lands).
class Thread_rs485 : public QObject
{
    Q_OBJECT
public:
    explicit Thread_rs485(QObject *parent = nullptr) : QObject(parent) {}
    void start() {}

public slots:
    void stop() {}
};

#endif
