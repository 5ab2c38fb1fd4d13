#ifndef FUZZSUPPORT_H
#define FUZZSUPPORT_H

// Shared by the fuzz targets: an application object for the toolkit's timers
// and files, and a log that keeps quiet (the code under test logs on every
// bad input; printing it would only slow the fuzzer down).

#include <QCoreApplication>
#include <QtGlobal>

#include <cstddef>
#include <cstdint>

inline void fuzzQuietLog(QtMsgType, const QMessageLogContext &, const QString &) {}

inline void fuzzSetUp(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    qInstallMessageHandler(fuzzQuietLog);
}

#endif // FUZZSUPPORT_H
