#ifndef RESETSCRIPT_H
#define RESETSCRIPT_H

// The hand-over to a reset script (softwarereset.sh, hardwarereset.sh in the
// data directory). That directory is also written by the OCPP client, a
// program that faces the network, so a script runs only when nobody but this
// program's user or root can have written it. Whatever becomes of the script
// (refused, missing, failed, returned), the program then ends with
// ExitAfterReset: its links and timers are stopped by then, and a program
// left running in that state would be a frozen charger. The service manager
// starts it again.

#include <QByteArray>
#include <QString>

constexpr int ExitAfterReset = 3;
// A script that has not returned by then is stopped.
constexpr int ResetScriptTimeoutMs = 120000;

struct ResetScriptCheck
{
    bool missing = false;
    QString refusal;    // why the script may not run; empty when it may
    QByteArray content; // the script as checked: what runs is what was checked
};

// Opens the script without following a symbolic link and judges the open
// file: a regular file, owned by this program's user or root, writable by
// neither its group nor others, small text.
ResetScriptCheck checkResetScript(const QString &path);

// Runs a checked script with /bin/sh, HMI_PID (this program's process id) in
// its environment, and waits for it; logs its exit status. True when it ran
// and returned 0.
bool runResetScript(const QString &path, const ResetScriptCheck &checked, int timeoutMs = ResetScriptTimeoutMs);

// Check, run, then end the event loop with ExitAfterReset.
void handOverToResetScript(const QString &path);

// 0, or ExitAfterReset once a reset script has had its turn: every later
// way out of the event loop (SIGTERM sent by the script, say) keeps it.
int programExitCode();

#endif // RESETSCRIPT_H
