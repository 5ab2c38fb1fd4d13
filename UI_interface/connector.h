#ifndef CONNECTOR_H
#define CONNECTOR_H

#include <QObject>

// Writer of the connector's dynamic status (placeholder until status publishing lands).
class Connector : public QObject
{
    Q_OBJECT
public:
    explicit Connector(QObject *parent = nullptr) : QObject(parent) {}

public slots:
    void Json_Write() {}
};

#endif
