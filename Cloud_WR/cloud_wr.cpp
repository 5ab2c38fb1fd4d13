#include "cloud_wr.h"
#include "logcategories.h"

#include "datafiles.h"
#include "globalvariable.h"
#include "runtimeoptions.h"

#include <QDebug>

// The toolkit's only online test is its bearer management, deprecated in
// Qt 5.15 but still present and without successor there.
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
#include <QNetworkConfigurationManager>

QJsonObject DynamicStatus_rootobj;

Cloud_WR::Cloud_WR(QObject *parent) : QObject(parent) {}

Cloud_WR::~Cloud_WR()
{
    if (m_lookupId >= 0)
        abortLookup(m_lookupId);
}

bool Cloud_WR::isOnline()
{
    // Created on first use: the writer's temporary instances never touch
    // the network layer.
    if (!m_networkManager)
        m_networkManager = new QNetworkConfigurationManager(this);
    return m_networkManager->isOnline();
}
QT_WARNING_POP

int Cloud_WR::startLookup(const QString &host)
{
    return QHostInfo::lookupHost(host, this, SLOT(onLookupHost(QHostInfo)));
}

void Cloud_WR::abortLookup(int id)
{
    QHostInfo::abortHostLookup(id);
}

void Cloud_WR::JsonWrite(const QStringList &keys, const QStringList &values)
{
    const QString path = dataFile(QStringLiteral("DynamicStatus.json"));
    // The file is a template installed with the charger: what it holds is
    // what gets published, so it is never created here. A valid document that
    // is not an object (a list) has no members to update; rewriting it would
    // replace it with an empty object.
    bool ok = false;
    QJsonParseError::ParseError error = QJsonParseError::NoError;
    const QJsonObject root = readJsonFile(path, &ok, &error);
    if (!ok) {
        if (error == QJsonParseError::NoError)
            qCInfo(lcStatus) << "open json file error.";
        else
            qCInfo(lcStatus) << "json error!" << int(error);
        return;
    }
    DynamicStatus_rootobj = root;

    if (keys.size() != values.size()) {
        qCInfo(lcStatus) << "valuelist wrong,size = " << values.size();
        return;
    }
    for (int i = 0; i < keys.size(); ++i) {
        if (DynamicStatus_rootobj.contains(keys.at(i)))
            DynamicStatus_rootobj.insert(keys.at(i), values.at(i));
    }
    // Volatile status: rewritten often, so renamed into place without fsync.
    if (!writeJsonFile(path, DynamicStatus_rootobj, FileSync::NoSync))
        qCWarning(lcStatus) << "DynamicStatus.json could not be rewritten; the previous content stays";
}

void Cloud_WR::checkNetWorkOnline()
{
    if (!isOnline()) {
        if (Network_State != 0) {
            Network_State = 0;
            qCInfo(lcStatus) << "The network is disconnected.";
        }
        // A lookup still under way may report once more; the next offline
        // tick puts the state back to 0.
        return;
    }

    // One lookup at a time: a resolver that hangs costs one pool thread, not
    // one per tick. Aborting and restarting on every tick instead would never
    // let a slow resolver (several seconds per timeout) finish at all.
    if (m_lookupId >= 0) {
        if (++m_lookupWaited < LookupPatienceTicks)
            return;
        abortLookup(m_lookupId);
        m_lookupId = -1;
        m_lookupWaited = 0;
        QHostInfo timedOut;
        timedOut.setError(QHostInfo::UnknownError);
        timedOut.setErrorString(QStringLiteral("no answer from the resolver"));
        onLookupHost(timedOut);
        return;
    }
    m_lookupWaited = 0;
    m_lookupId = startLookup(NetworkCheckHost);
}

void Cloud_WR::onLookupHost(const QHostInfo &info)
{
    if (m_lookupId >= 0 && info.lookupId() == m_lookupId) {
        m_lookupId = -1;
        m_lookupWaited = 0;
    }
    if (info.error() == QHostInfo::NoError) {
        if (Network_State != 2) {
            Network_State = 2;
            qCInfo(lcStatus) << "The Network State is good!";
        }
    } else if (Network_State != 1) {
        qCInfo(lcStatus).noquote() << "Network lookup host failed:" << info.errorString();
        Network_State = 1;
    }
}
