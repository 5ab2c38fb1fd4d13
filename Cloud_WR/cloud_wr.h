#ifndef CLOUD_WR_H
#define CLOUD_WR_H

#include <QHostInfo>
#include <QObject>

// Network check and dynamic status file (placeholder until status publishing lands).
class Cloud_WR : public QObject
{
    Q_OBJECT
public:
    explicit Cloud_WR(QObject *parent = nullptr) : QObject(parent) {}

public slots:
    void onLookupHost(const QHostInfo &) {}
    void checkNetWorkOnline() {}
};

#endif
