#ifndef RUNTIMEOPTIONS_H
#define RUNTIMEOPTIONS_H

// Where the charger's devices and files are. The defaults are the panel's own
// paths; options exist so that the program also runs on a workstation, in
// tests and in demos. Command line wins over environment.

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QStringList>

extern QString CcuPortName;     // --ccu-port / HMI_CCU_PORT, "ttymxc2"
extern QString MeterPortName;   // --meter-port / HMI_METER_PORT, "ttymxc4"
extern QString GpioPrefix;      // --gpio-prefix / HMI_GPIO_PREFIX, "/dev/panel-gpio"
extern QString NetworkCheckHost; // --network-host / HMI_NETWORK_HOST

struct RuntimeOptionsResult
{
    QStringList remaining; // arguments left for the toolkit
    bool helpRequested = false;
    bool setServicePin = false; // --set-service-pin: store a new service PIN, then end
    QString error;         // non-empty when an option lacked its value
};

// Reads the environment, then the given arguments (argv[0] first), and sets
// FilePath and the globals above. Arguments that are not ours are returned.
RuntimeOptionsResult applyRuntimeOptions(const QStringList &arguments);

QString runtimeOptionsHelp();

// The arguments left for the toolkit, in the argc/argv form it takes; the
// toolkit keeps pointers into this storage, so it must outlive the
// application object. Made before that object, it also chooses the toolkit's
// own event loop over GLib's: GLib's exists to share a loop with GLib-based
// libraries, which the HMI has none of, and costs more per wake-up of an idle
// panel. An empty QT_NO_GLIB in the environment keeps GLib's.
class ToolkitArguments
{
public:
    explicit ToolkitArguments(const QStringList &arguments);
    int &argc() { return m_argc; }
    char **argv() { return m_argv.data(); }

private:
    QList<QByteArray> m_storage;
    QVector<char *> m_argv;
    int m_argc = 0;
};

#endif // RUNTIMEOPTIONS_H
