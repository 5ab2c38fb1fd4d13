#include "runtimeoptions.h"

#include "globalvariable.h"

QString CcuPortName = QStringLiteral("ttymxc2");
QString MeterPortName = QStringLiteral("ttymxc4");
QString GpioPrefix = QStringLiteral("/dev/panel-gpio");
QString NetworkCheckHost = QStringLiteral("www.debian.org");

namespace {
struct Option
{
    const char *flag;
    const char *env;
    QString *target;
};

QString withSlash(const QString &dir)
{
    return dir.endsWith('/') ? dir : dir + '/';
}
} // namespace

RuntimeOptionsResult applyRuntimeOptions(const QStringList &arguments)
{
    QString dataDir;
    const Option options[] = {
        {"--data-dir", "HMI_DATA_DIR", &dataDir},
        {"--ccu-port", "HMI_CCU_PORT", &CcuPortName},
        {"--meter-port", "HMI_METER_PORT", &MeterPortName},
        {"--gpio-prefix", "HMI_GPIO_PREFIX", &GpioPrefix},
        {"--network-host", "HMI_NETWORK_HOST", &NetworkCheckHost},
    };

    for (const Option &o : options) {
        const QString value = qEnvironmentVariable(o.env);
        if (!value.isEmpty())
            *o.target = value;
    }

    RuntimeOptionsResult result;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (i > 0 && (arg == "--help" || arg == "-h")) {
            result.helpRequested = true;
            continue;
        }
        if (i > 0 && arg == "--set-service-pin") {
            result.setServicePin = true;
            continue;
        }
        // A PIN on the command line would show in the process list and the
        // shell's history.
        if (i > 0 && arg.startsWith("--set-service-pin=")) {
            result.error = "--set-service-pin takes no value: the PIN is asked for on the terminal";
            continue;
        }
        bool consumed = false;
        for (const Option &o : options) {
            const QString flag = QString::fromLatin1(o.flag);
            if (arg == flag) {
                if (i + 1 >= arguments.size()) {
                    result.error = flag + " needs a value";
                } else {
                    *o.target = arguments.at(++i);
                }
                consumed = true;
                break;
            }
            if (arg.startsWith(flag + '=')) {
                *o.target = arg.mid(flag.size() + 1);
                consumed = true;
                break;
            }
        }
        if (!consumed)
            result.remaining << arg;
    }

    if (!dataDir.isEmpty())
        FilePath = withSlash(dataDir);
    return result;
}

QString runtimeOptionsHelp()
{
    return QStringLiteral(
        "Usage: charger-hmi [options] [Qt options such as -platform offscreen]\n"
        "  --data-dir DIR       data files, FIFOs and reset scripts (HMI_DATA_DIR; default /home/root/Tarnel-LCD/)\n"
        "  --ccu-port NAME      serial line to the CCU (HMI_CCU_PORT; default ttymxc2; a full path also works)\n"
        "  --meter-port NAME    serial line to the DC meter (HMI_METER_PORT; default ttymxc4)\n"
        "  --gpio-prefix PATH   indicator LED nodes, PATH1..PATH4 (HMI_GPIO_PREFIX; default /dev/panel-gpio)\n"
        "  --network-host NAME  host name resolved by the network check (HMI_NETWORK_HOST; default www.debian.org)\n"
        "  --set-service-pin    ask twice for a new service PIN on the terminal, store it in\n"
        "                       Service.json of the data directory and end\n"
        "  --help               this text\n");
}

ToolkitArguments::ToolkitArguments(const QStringList &arguments)
{
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    for (const QString &a : arguments)
        m_storage << a.toLocal8Bit();
    for (QByteArray &a : m_storage)
        m_argv << a.data();
    m_argv << nullptr;
    m_argc = m_storage.size();
}
