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

// More than this many brackets: the toolkit's JSON parser, which leaks on
// some malformed documents (tests/fuzz/lsan.supp), would recurse deeper than
// a leak report's stack reaches, and its leak could no longer be told from
// one of ours.
inline bool deeplyNested(const uint8_t *data, size_t size)
{
    int brackets = 0;
    for (size_t i = 0; i < size; ++i)
        brackets += (data[i] == '{' || data[i] == '[') ? 1 : 0;
    return brackets > 64;
}

#endif // FUZZSUPPORT_H
