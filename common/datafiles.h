#ifndef DATAFILES_H
#define DATAFILES_H

// The data files every part of the charger shares: JSON read whole and
// rewritten whole, the OCPP configuration keys as loaded at start, the HMI's
// own energy register and the connector's status snapshot.

#include <QFileDevice>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

// Intervals that replace a missing, zero or unreadable configuration key,
// which would otherwise start the session timers with 0 ms (a 0 ms periodic
// timer fires continuously).
constexpr quint32 MinConnectionTimeOutMs = 10000;
constexpr quint32 MinMeterValueSampleIntervalMs = 10000;
constexpr quint32 MinTransactionMessageRetryIntervalMs = 5000;
// How long an untouched page waits before it returns to the home page.
constexpr quint32 DefaultIdleReturnMs = 60 * 1000;
constexpr quint32 DefaultCompletionIdleReturnMs = 120 * 1000;
// Largest interval any timer is started with: one day. A configured value
// beyond it would overflow the int of milliseconds a timer takes.
constexpr quint32 MaxIntervalMs = 24 * 3600 * 1000;

// Text value of a configuration key; a key that is absent or not a JSON
// string gives an empty text.
QString configText(const QString &key);

// Writes a JSON object in the indented layout (four spaces, members in
// ascending order, line feed at the end). The old content stays intact until
// the new one is complete on disk. Billing data go ToDisk: the content and
// the rename are synced before the call returns. With permissions given, the
// file has exactly these from its first byte on (a secret is never readable by
// others, not even for a moment).
enum class FileSync { Normal, ToDisk };
bool writeJsonFile(const QString &path, const QJsonObject &object, FileSync sync = FileSync::Normal,
                   QFileDevice::Permissions permissions = {});
inline bool writeJsonFile(const QString &path, const QJsonObject &object, QFileDevice::Permissions permissions)
{
    return writeJsonFile(path, object, FileSync::Normal, permissions);
}
// Removes a file of the data directory, the removal synced to disk; true
// also when there was none.
bool removeDataFile(const QString &path);

// Reads a JSON object from a file; an absent, unreadable or non-object file
// gives an empty object and ok = false. error, when given, tells why: the
// parse error, MissingObject for a valid document that is no object, and
// NoError for a file that could not be opened.
QJsonObject readJsonFile(const QString &path, bool *ok = nullptr, QJsonParseError::ParseError *error = nullptr);

// The energy register file EnergyMeter_Lcd.json (kWh as text with one decimal).
double readEnergyRegister();
bool writeEnergyRegister(double kWh);

// The status snapshot StatusNotification.json of connector 1.
bool writeStatusNotificationFile();

#endif // DATAFILES_H
