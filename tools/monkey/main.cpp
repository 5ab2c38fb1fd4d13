// hmi-monkey: a seeded random stream of touches, drags, key presses and peer
// events against the real charger program, checked after every step.
//
// The program runs in-process (the real ChargerApplication and every real
// widget) with its peers' simulators on real FIFOs and pseudo-terminals. Each
// life of the program runs in a child process: a reset script or the exit
// corner ends it, and the next life starts on the same data directory, as
// the panel's service manager would start the program again. This process
// only starts the lives, watches them for a hang and reports.

#include "life.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "globalvariable.h"

using namespace monkey;

namespace {

const char Usage[] =
    "Usage: hmi-monkey [options] [Qt options]\n"
    "       hmi-monkey-device [options] [Qt options]\n"
    "\n"
    "Drives the charger program (simulation build, or with -device the device build\n"
    "against ccu-sim and meter-sim) with a seeded random stream of touches, drags and\n"
    "keys on whatever is on screen, mixed with peer events through the simulators,\n"
    "and checks after every step: the event loop answers, the page on show is the one\n"
    "the program names, the connector status is an OCPP status the OCPP client has\n"
    "seen, a started transaction ends, nothing is written outside the data directory.\n"
    "A failure prints its seed and step; the same seed replays the same stream.\n"
    "\n"
    "Options:\n"
    "  --seed S           the stream's seed (default: from the clock, printed)\n"
    "  --seconds N        how long to run (default 60)\n"
    "  --run-dir DIR      where the data directory (DIR/data) and the program's working\n"
    "                     directory (DIR/cwd) go; default a new directory under $TMPDIR,\n"
    "                     removed after a run without failure\n"
    "  --keep             keep the run directory\n"
    "  --new-fifos        some client restarts remove the FIFOs first, as a client that\n"
    "                     makes them anew would (default: restarts keep them)\n"
    "  --hang-seconds N   a life that shows no progress for N s is a hang (default 120)\n"
    "  --trace            print every step\n"
    "  --verbose          the program's own log lines on stderr\n"
    "  -h, --help         this text\n";

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int)
{
    g_interrupted = 1;
}

QString executableDir()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return QDir::currentPath();
    path[n] = '\0';
    return QFileInfo(QString::fromLocal8Bit(path)).absolutePath();
}

QString machine()
{
    QFile cpu("/proc/cpuinfo");
    QString model = "unknown CPU";
    if (cpu.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : cpu.readAll().split('\n')) {
            if (line.startsWith("model name")) {
                model = QString::fromLatin1(line.mid(line.indexOf(':') + 1)).trimmed();
                break;
            }
        }
    }
    return QString("%1, %2 cores").arg(model).arg(std::thread::hardware_concurrency());
}

void printRecent(const Record &record)
{
    const int next = record.recentNext.load();
    std::printf("monkey: the last steps:\n");
    for (int i = qMax(0, next - RecentActions); i < next; ++i)
        std::printf("    %s\n", record.recent[i % RecentActions]);
}

bool parse(int argc, char **argv, Options &o, bool &keep, int &exitCode)
{
    bool seeded = false;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        auto value = [&](long long &out) {
            if (i + 1 >= argc)
                return false;
            char *end = nullptr;
            out = std::strtoll(argv[++i], &end, 10);
            return end && *end == '\0';
        };
        long long v = 0;
        if (a == "-h" || a == "--help") {
            std::fputs(Usage, stdout);
            exitCode = 0;
            return false;
        } else if (a == "--seed" && value(v)) {
            o.seed = quint64(v);
            seeded = true;
        } else if (a == "--seconds" && value(v) && v > 0) {
            o.seconds = int(v);
        } else if (a == "--hang-seconds" && value(v) && v > 0) {
            o.hangSeconds = int(v);
        } else if (a == "--run-dir" && i + 1 < argc) {
            o.runDir = QDir(QString::fromLocal8Bit(argv[++i])).absolutePath();
        } else if (a == "--keep") {
            keep = true;
        } else if (a == "--new-fifos") {
            o.newFifos = true;
        } else if (a == "--trace") {
            o.trace = true;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a.startsWith("--")) {
            std::fprintf(stderr, "hmi-monkey: bad option or value: %s\n\n%s", argv[i], Usage);
            exitCode = 2;
            return false;
        } else {
            o.toolkitArguments << a;
        }
    }
    if (!seeded)
        o.seed = quint64(std::time(nullptr)) % 1000000;
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    bool keep = false;
    int exitCode = 0;
    if (!parse(argc, argv, o, keep, exitCode))
        return exitCode;
    o.binDir = executableDir();
    o.deployDir = QStringLiteral(HMI_DEPLOY_DIR);

    bool madeRunDir = false;
    if (o.runDir.isEmpty()) {
        QByteArray pattern = QFile::encodeName(QDir::tempPath() + "/hmi-monkey-XXXXXX");
        if (!::mkdtemp(pattern.data())) {
            std::perror("hmi-monkey: mkdtemp");
            return 1;
        }
        o.runDir = QFile::decodeName(pattern);
        madeRunDir = true;
    }
    if (!QDir().mkpath(o.dataDir()) || !QDir().mkpath(o.cwdDir())) {
        std::fprintf(stderr, "hmi-monkey: cannot make %s\n", qPrintable(o.runDir));
        return 1;
    }
    // A clean working directory: anything that appears in it was written
    // outside the data directory.
    const QStringList stray = QDir(o.cwdDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (!stray.isEmpty() || ::chdir(QFile::encodeName(o.cwdDir()).constData()) != 0) {
        std::fprintf(stderr, "hmi-monkey: %s is not an empty working directory\n", qPrintable(o.cwdDir()));
        return 1;
    }

    void *shared = ::mmap(nullptr, sizeof(Record), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (shared == MAP_FAILED) {
        std::perror("hmi-monkey: mmap");
        return 1;
    }
    Record &record = *new (shared) Record;

    const char *build = DebugMode_ChargerGun ? "simulation build" : "device build";
    const QString replay = QString("%1 --seed %2 --seconds %3%4%5")
                               .arg(QFileInfo(QString::fromLocal8Bit(argv[0])).fileName())
                               .arg(o.seed)
                               .arg(o.seconds)
                               .arg(o.newFifos ? " --new-fifos" : "")
                               .arg(o.toolkitArguments.isEmpty() ? QString() : ' ' + o.toolkitArguments.join(' '));
    std::printf("monkey: seed %llu, %d s, %s, run directory %s\nmonkey: machine %s\n", (unsigned long long)o.seed,
                o.seconds, build, qPrintable(o.runDir), qPrintable(machine()));
    std::fflush(stdout);

    struct sigaction sa = {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);

    o.startMs = monotonicMs();
    o.deadlineMs = o.startMs + int64_t(o.seconds) * 1000;
    bool failed = false;
    bool interrupted = false;
    for (int life = 1; !interrupted; ++life) {
        record.life.store(life);
        record.heartbeatMs.store(monotonicMs());
        std::fflush(stdout);
        const pid_t pid = ::fork();
        if (pid < 0) {
            std::perror("hmi-monkey: fork");
            failed = true;
            break;
        }
        if (pid == 0) {
            ::signal(SIGINT, SIG_DFL);
            ::signal(SIGTERM, SIG_DFL);
            std::exit(runLife(o, record));
        }

        int status = 0;
        bool hung = false;
        for (;;) {
            const pid_t done = ::waitpid(pid, &status, WNOHANG);
            if (done == pid)
                break;
            if (done < 0 && errno != EINTR) {
                status = -1;
                break;
            }
            if (g_interrupted) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                std::printf("monkey: interrupted at step %lld\n", (long long)record.figures.steps.load());
                interrupted = true; // the figures so far still count
                break;
            }
            if (!hung && monotonicMs() - record.heartbeatMs.load() > int64_t(o.hangSeconds) * 1000) {
                hung = true;
                std::printf("monkey: FAILED: life %d hangs, no progress for %d s at step %lld (seed %llu)\n", life,
                            o.hangSeconds, (long long)record.figures.steps.load(), (unsigned long long)o.seed);
                printRecent(record);
                std::fflush(stdout);
                ::kill(pid, SIGABRT); // a core or a sanitizer's stacks, where they are kept
                for (int i = 0; i < 50 && ::waitpid(pid, &status, WNOHANG) == 0; ++i)
                    ::usleep(100000);
                ::kill(pid, SIGKILL);
            }
            ::usleep(100000);
        }
        if (interrupted)
            break;
        if (hung) {
            failed = true;
            break;
        }
        if (WIFEXITED(status) && WEXITSTATUS(status) == EndDeadline)
            break;
        if (WIFEXITED(status) && WEXITSTATUS(status) == EndProgramStopped) {
            if (monotonicMs() >= o.deadlineMs)
                break;
            continue; // started again, as on the panel
        }
        failed = true;
        if (WIFSIGNALED(status))
            std::printf("monkey: FAILED: life %d died of signal %d at step %lld (seed %llu)\n", life, WTERMSIG(status),
                        (long long)record.figures.steps.load(), (unsigned long long)o.seed);
        else if (!(WIFEXITED(status) && WEXITSTATUS(status) == EndFailed))
            std::printf("monkey: FAILED: life %d ended with code %d at step %lld (seed %llu)\n", life,
                        WIFEXITED(status) ? WEXITSTATUS(status) : -1, (long long)record.figures.steps.load(),
                        (unsigned long long)o.seed);
        printRecent(record);
        break;
    }

    const Figures &f = record.figures;
    const double seconds = double(monotonicMs() - o.startMs) / 1000.0;
    std::printf("monkey: %lld steps in %.0f s (%.1f steps/s), %d lives: %lld sessions, %lld peer events, "
                "%lld touches, %lld keys, %lld ticks, %lld resets, %lld exits, %lld client restarts\n",
                (long long)f.steps.load(), seconds, double(f.steps.load()) / qMax(1.0, seconds), record.life.load(),
                (long long)f.sessions.load(), (long long)f.peerEvents.load(), (long long)f.touches.load(),
                (long long)f.keys.load(), (long long)f.ticks.load(), (long long)f.resets.load(),
                (long long)f.exits.load(), (long long)f.clientRestarts.load());
    if (f.findings.load() > 0)
        std::printf("monkey: %lld findings of the session's rules (see FINDING above)\n", (long long)f.findings.load());
    std::printf("monkey: peak RSS of a life %.1f MB, slowest answer of the event loop %lld ms\n",
                double(f.maxRssKb.load()) / 1024.0, (long long)f.maxLoopLatencyMs.load());
    if (interrupted)
        return 130;
    if (failed) {
        std::printf("monkey: replay with: %s (run directory kept: %s)\n", qPrintable(replay), qPrintable(o.runDir));
        return 1;
    }
    std::printf("monkey: nothing found (seed %llu)\n", (unsigned long long)o.seed);
    if (madeRunDir && !keep)
        QDir(o.runDir).removeRecursively();
    return 0;
}
