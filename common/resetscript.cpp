#include "resetscript.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr qint64 MaxScriptBytes = 64 * 1024; // far above a reset script, far below an argument's limit
int exitCode = 0;

QString octalMode(mode_t mode)
{
    return QString("%1").arg(uint(mode & 07777), 4, 8, QLatin1Char('0'));
}

QString ownerRefusal(const struct stat &st)
{
    const uid_t self = ::geteuid();
    if (st.st_uid == self || st.st_uid == 0)
        return QString();
    return QString("owned by uid %1, neither this program's user (uid %2) nor root").arg(st.st_uid).arg(self);
}

QString modeRefusal(const struct stat &st)
{
    if (st.st_mode & S_IWOTH)
        return "writable by anyone (mode " + octalMode(st.st_mode) + ")";
    if (st.st_mode & S_IWGRP)
        return "writable by its group (mode " + octalMode(st.st_mode) + ")";
    return QString();
}

QString contentRefusal(const QByteArray &content)
{
    if (content.contains('\0'))
        return QStringLiteral("not a text file");
    // The text goes to the shell as an argument, converted back to bytes.
    if (QString::fromLocal8Bit(content).toLocal8Bit() != content)
        return QStringLiteral("not text in this program's character encoding");
    return QString();
}
} // namespace

ResetScriptCheck checkResetScript(const QString &path)
{
    ResetScriptCheck c;
    // Non-blocking: a FIFO put in the script's place must not hold the GUI thread.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        c.missing = error == ENOENT;
        c.refusal = error == ELOOP ? QStringLiteral("a symbolic link")
                                   : "cannot be opened: " + QString::fromLocal8Bit(std::strerror(error));
        return c;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        c.refusal = "cannot be examined: " + QString::fromLocal8Bit(std::strerror(errno));
    else if (!S_ISREG(st.st_mode))
        c.refusal = QStringLiteral("not a regular file");
    else if (st.st_size > MaxScriptBytes)
        c.refusal = QString("larger than %1 bytes").arg(MaxScriptBytes);
    else
        c.refusal = ownerRefusal(st);
    if (c.refusal.isEmpty())
        c.refusal = modeRefusal(st);
    if (c.refusal.isEmpty()) {
        QFile file;
        if (file.open(fd, QIODevice::ReadOnly))
            c.content = file.read(MaxScriptBytes + 1);
        if (c.content.size() > MaxScriptBytes)
            c.refusal = QString("larger than %1 bytes").arg(MaxScriptBytes);
        else
            c.refusal = contentRefusal(c.content);
    }
    ::close(fd);
    if (!c.refusal.isEmpty())
        c.content.clear();
    return c;
}

bool runResetScript(const QString &path, const ResetScriptCheck &checked, int timeoutMs)
{
    QProcess sh;
    // The environment of the script alone: setting it in this process would
    // race with the name resolver's thread reading it.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HMI_PID"), QString::number(QCoreApplication::applicationPid()));
    sh.setProcessEnvironment(env);
    sh.setProcessChannelMode(QProcess::ForwardedChannels);
    sh.setStandardInputFile(QProcess::nullDevice());
    // The checked text, not the file again: a file swapped after the check
    // does not run. $0 is the script's path, as when the file itself runs.
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QString::fromLocal8Bit(checked.content), path});
    if (!sh.waitForStarted()) {
        qWarning().noquote() << "reset script" << path << "could not be started:" << sh.errorString();
        return false;
    }
    if (!sh.waitForFinished(timeoutMs)) {
        qWarning().noquote() << "reset script" << path << "still running after" << timeoutMs / 1000.0 << "s: stopped";
        sh.kill();
        sh.waitForFinished(5000);
        return false;
    }
    if (sh.exitStatus() == QProcess::CrashExit) {
        qWarning().noquote() << "reset script" << path << "ended by a signal";
        return false;
    }
    const int status = sh.exitCode();
    if (status == 0)
        qDebug().noquote() << "reset script" << path << "ended with exit status 0";
    else
        qWarning().noquote() << "reset script" << path << "ended with exit status" << status;
    return status == 0;
}

void handOverToResetScript(const QString &path)
{
    const ResetScriptCheck checked = checkResetScript(path);
    if (checked.missing)
        qWarning().noquote() << "reset script missing:" << path;
    else if (!checked.refusal.isEmpty())
        qWarning().noquote() << "reset script refused:" << path << "(" + checked.refusal + ")";
    else
        runResetScript(path, checked);
    exitCode = ExitAfterReset;
    qWarning().noquote() << "the program ends with exit code" << ExitAfterReset
                         << "so that its service manager starts it again";
    QCoreApplication::exit(ExitAfterReset);
}

int programExitCode()
{
    return exitCode;
}
