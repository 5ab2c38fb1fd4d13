#ifndef CONFIGURATION_H
#define CONFIGURATION_H

// The data files of the charger: the OCPP configuration written by the OCPP
// client, the HMI's own energy register and the status snapshot, and the
// preparation of the session record whenever the home page is shown.

#include <QJsonObject>
#include <QString>

// Smallest intervals the configuration may give. A missing or zero key would
// otherwise start the session timers with 0 ms, and a 0 ms periodic timer
// fires continuously.
constexpr quint32 MinConnectionTimeOutMs = 10000;
constexpr quint32 MinMeterValueSampleIntervalMs = 10000;
constexpr quint32 MinTransactionMessageRetryIntervalMs = 5000;

// Loads configuration.json into ConfigObj and Config.
void ReadConfigration();

// Prepares the session record; the first call after start also does the
// cold-boot work (configuration, status snapshot, energy register).
void VariableInit();

// Text value of a configuration key; a key that is absent or not a JSON
// string gives an empty text.
QString configText(const QString &key);

// Writes a JSON object in the indented layout (four spaces, members in
// ascending order, line feed at the end). The old content stays intact until
// the new one is complete on disk.
bool writeJsonFile(const QString &path, const QJsonObject &object);

// Reads a JSON object from a file; an absent, unreadable or non-object file
// gives an empty object and ok = false.
QJsonObject readJsonFile(const QString &path, bool *ok = nullptr);

// The energy register file EnergyMeter_Lcd.json.
float readEnergyRegister();
bool writeEnergyRegister(float kWh);

// The status snapshot StatusNotification.json of connector 1.
bool writeStatusNotificationFile();

#endif // CONFIGURATION_H
