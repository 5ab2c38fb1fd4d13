#ifndef SHUTDOWN_H
#define SHUTDOWN_H

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a signal on the GUI thread, so that a service
// manager or Ctrl-C ends the program along the same path as the exit button.
class ShutdownSignals : public QObject
{
    Q_OBJECT
public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

signals:
    void shutdownRequested();

private:
    void readSignal();
    QSocketNotifier *m_notifier = nullptr;
};

#endif // SHUTDOWN_H
