#ifndef MONKEY_LIFE_H
#define MONKEY_LIFE_H

// One life of the charger under the monkey: from the program's start to its
// end (the deadline, the exit corner, or a reset script). A life runs in a
// process of its own, so that every life starts from the program's initial
// state as the panel's service manager would start it again.

#include "record.h"

#include <QString>
#include <QStringList>

namespace monkey {

struct Options
{
    quint64 seed = 0;
    int seconds = 60;
    QString runDir;  // data/ (the charger's data directory) and cwd/ (its working directory) inside
    QString binDir;  // where the simulators are
    QString deployDir;
    int hangSeconds = 120;
    bool trace = false;   // print every step
    bool verbose = false; // the charger's own log lines on stderr
    bool newFifos = false; // some client restarts remove the FIFOs first
    QStringList toolkitArguments;
    int64_t deadlineMs = 0; // monotonic
    int64_t startMs = 0;

    QString dataDir() const { return runDir + "/data"; }
    QString cwdDir() const { return runDir + "/cwd"; }
};

// How a life ended: exit code of its process.
enum LifeEnd { EndDeadline = 0, EndFailed = 1, EndProgramStopped = 10 };

// Runs one life in this process and returns its LifeEnd.
int runLife(const Options &options, Record &record);

// A reproducible stream per life: the run's seed and the life's number.
quint64 lifeSeed(quint64 seed, int life);

} // namespace monkey

#endif // MONKEY_LIFE_H
