// Loaded into a program with QT_QPA_GENERIC_PLUGINS=hmibench: once the first
// top-level window has painted and the event loop is free again, it writes
// "shown" to the named pipe in HMI_BENCH_READY. The same watcher in the floor
// program and in the HMI, so their start times compare.
#include <QCoreApplication>
#include <QEvent>
#include <QGenericPlugin>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <unistd.h>

namespace {
class ReadyWatch : public QObject
{
public:
    ReadyWatch() { QCoreApplication::instance()->installEventFilter(this); }

    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && object->isWidgetType() && static_cast<QWidget *>(object)->isWindow()) {
            QCoreApplication::instance()->removeEventFilter(this);
            QTimer::singleShot(0, this, &ReadyWatch::report);
        }
        return false;
    }

    static void report()
    {
        const QByteArray path = qgetenv("HMI_BENCH_READY");
        if (path.isEmpty())
            return;
        const int fd = ::open(path.constData(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            return;
        static const char line[] = "shown\n";
        (void)!::write(fd, line, sizeof line - 1);
        ::close(fd);
    }
};
} // namespace

class BenchReadyPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "hmibench.json")
public:
    QObject *create(const QString &, const QString &) override { return new ReadyWatch; }
};

#include "readyplugin.moc"
