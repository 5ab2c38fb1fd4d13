#ifndef CONNECTOR_H
#define CONNECTOR_H

// Publishes the charger's state to DynamicStatus.json for other programs on
// the charger: nine display values gathered from the session state and the
// CCU's records.

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>

// Member names of the status file, in the order of Connector::statusValues().
extern const QStringList objname;

class Connector : public QObject
{
    Q_OBJECT
public:
    explicit Connector(QObject *parent = nullptr) : QObject(parent) { m_clock.start(); }

    // The nine values for objname; also updates str_gun1sta and str_systa.
    static QStringList statusValues();

    // Longest time between two rewrites of an unchanged status: the time
    // stamp still shows other programs that the HMI is alive.
    static constexpr qint64 AliveIntervalMs = 60000;

    // Rewrites the file when a value other than the time stamp differs from
    // the last write, or when AliveIntervalMs have passed since it (nowMs on
    // a monotonic clock). True when it wrote.
    bool writeIfDue(qint64 nowMs);

public slots:
    // Called every 5 s; writes only when writeIfDue finds it due.
    void Json_Write();

private:
    QElapsedTimer m_clock;
    QStringList m_lastValues; // without the time stamp
    qint64 m_lastWriteMs = 0;
    bool m_written = false;
};

#endif // CONNECTOR_H
