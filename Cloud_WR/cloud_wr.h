#ifndef CLOUD_WR_H
#define CLOUD_WR_H

// Status publishing: the merge of status values into the DynamicStatus.json
// template that other programs on the charger read, and the network check
// behind the status bar's network icon.

#include <QHostInfo>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

class QNetworkConfigurationManager;

// The status file as last read and updated.
extern QJsonObject DynamicStatus_rootobj;

class Cloud_WR : public QObject
{
    Q_OBJECT
public:
    explicit Cloud_WR(QObject *parent = nullptr);
    ~Cloud_WR() override;

    // Sets each key already present in DynamicStatus.json to its value (as
    // text) and rewrites the file; keys the file lacks are not added. A
    // missing or unparsable file, or lists of unequal length, leave the file
    // as it was.
    void JsonWrite(const QStringList &keys, const QStringList &values);

    // Online ticks a lookup may stay unanswered before it is given up and
    // counted as failed (2 s each).
    static constexpr int LookupPatienceTicks = 10;

    bool lookupOutstanding() const { return m_lookupId >= 0; }

public slots:
    void onLookupHost(const QHostInfo &info);
    void checkNetWorkOnline();

protected:
    // Whether the platform reports an active network configuration.
    virtual bool isOnline();
    // Starts the asynchronous lookup whose result arrives in onLookupHost;
    // returns its id.
    virtual int startLookup(const QString &host);
    // Drops a lookup so that its result is never delivered.
    virtual void abortLookup(int id);

private:
    QNetworkConfigurationManager *m_networkManager = nullptr;
    int m_lookupId = -1;     // lookup under way, -1 when none
    int m_lookupWaited = 0;  // online ticks it has been under way
};

#endif // CLOUD_WR_H
