#ifndef CONNECTOR_H
#define CONNECTOR_H

// Publishes the charger's state to DynamicStatus.json for other programs on
// the charger: nine display values gathered from the session state and the
// CCU's records.

#include <QObject>
#include <QStringList>

// Member names of the status file, in the order of Connector::statusValues().
extern const QStringList objname;

class Connector : public QObject
{
    Q_OBJECT
public:
    explicit Connector(QObject *parent = nullptr) : QObject(parent) {}

    // The nine values for objname; also updates str_gun1sta and str_systa.
    static QStringList statusValues();

public slots:
    void Json_Write();
};

#endif // CONNECTOR_H
