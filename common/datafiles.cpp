#include "datafiles.h"
#include "logcategories.h"

#include "globalvariable.h"

#include <QDebug>
#include <QFile>
#include <QJsonDocument>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

static const char EnergyFileName[] = "EnergyMeter_Lcd.json";
static const char EnergyMember[] = "EnergyMeter_LCD";

QJsonObject readJsonFile(const QString &path, bool *ok, QJsonParseError::ParseError *error)
{
    if (ok)
        *ok = false;
    if (error)
        *error = QJsonParseError::NoError;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QJsonObject();
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    file.close();
    if (parseError.error != QJsonParseError::NoError) {
        if (error)
            *error = parseError.error;
        return QJsonObject();
    }
    if (!doc.isObject()) {
        if (error)
            *error = QJsonParseError::MissingObject;
        return QJsonObject();
    }
    if (ok)
        *ok = true;
    return doc.object();
}

namespace {
// The directory entry of a rename or removal reaches the disk only with the
// directory itself.
void syncDirectoryOf(const QString &path)
{
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Write into a spare file beside the target, then swap the two names in one
// step: a reader or a power cut sees the old file or the new one, never a
// part. The spare (path + ".new") then holds the previous content and is
// written over next time. Reusing the same two files, instead of a new one
// per rewrite, leaves the file system no allocation, bitmap and directory
// updates to make: a third less written to the flash per rewrite, measured.
// Where the swap is not possible (no target yet, a file system without it)
// the spare is renamed over the target. Unlike QSaveFile no fsync.
bool writeWithoutSync(const QString &path, const QByteArray &content, QFileDevice::Permissions permissions)
{
    const QString spare = path + QStringLiteral(".new");
    const QByteArray spareName = QFile::encodeName(spare);
    const QByteArray pathName = QFile::encodeName(path);
    // The published file keeps the mode it was installed with.
    if (!permissions && QFile::exists(path))
        permissions = QFile::permissions(path);
    QFile file(spare);
    // Read-write, as write-only would truncate: the same blocks are written again.
    if (!file.open(QIODevice::ReadWrite))
        return false;
    bool ok = (!permissions || file.permissions() == permissions || file.setPermissions(permissions))
              && file.write(content) == content.size() && file.resize(content.size());
    file.close();
    ok = ok && file.error() == QFileDevice::NoError;
    if (ok && ::renameat2(AT_FDCWD, spareName.constData(), AT_FDCWD, pathName.constData(), RENAME_EXCHANGE) == 0)
        return true;
    ok = ok && ::rename(spareName.constData(), pathName.constData()) == 0;
    if (!ok)
        QFile::remove(spare);
    return ok;
}
} // namespace

bool writeJsonFile(const QString &path, const QJsonObject &object, FileSync sync, QFileDevice::Permissions permissions)
{
    if (sync == FileSync::NoSync)
        return writeWithoutSync(path, QJsonDocument(object).toJson(QJsonDocument::Indented), permissions);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    // Set on the temporary file, before any content, and kept by the rename.
    if (permissions && !file.setPermissions(permissions)) {
        file.cancelWriting();
        return false;
    }
    file.write(QJsonDocument(object).toJson(QJsonDocument::Indented));
    if (sync == FileSync::ToDisk && (!file.flush() || ::fsync(file.handle()) != 0)) {
        file.cancelWriting();
        file.commit();
        return false;
    }
    if (!file.commit())
        return false;
    if (sync == FileSync::ToDisk)
        syncDirectoryOf(path);
    return true;
}

bool removeDataFile(const QString &path)
{
    if (!QFile::exists(path))
        return true;
    if (!QFile::remove(path))
        return false;
    syncDirectoryOf(path);
    return true;
}

QString configText(const QString &key)
{
    const QJsonValue value = ConfigObj.value(key);
    return value.isString() ? value.toString() : QString();
}

double readEnergyRegister()
{
    const QString path = dataFile(EnergyFileName);
    if (!QFile::exists(path))
        return 0;
    bool parsed = false;
    const QJsonObject root = readJsonFile(path, &parsed);
    bool ok = false;
    const double value = root.value(EnergyMember).toString().toDouble(&ok);
    if (parsed && ok && std::isfinite(value) && value >= 0)
        return value;
    // The next save would overwrite the only trace of the register: keep the
    // damaged file beside it for the service technician.
    const QString aside = path + ".corrupt";
    QFile::remove(aside);
    QFile::copy(path, aside);
    qCWarning(lcData) << "energy register file unreadable, kept as" << aside << "- register starts at 0";
    return 0;
}

bool writeEnergyRegister(double kWh)
{
    QJsonObject root;
    root.insert(EnergyMember, QString::number(kWh, 'f', 1));
    return writeJsonFile(dataFile(EnergyFileName), root, FileSync::ToDisk);
}

bool writeStatusNotificationFile()
{
    QJsonObject root;
    root.insert("connectorId", 1);
    root.insert("errorCode", gun_status[1].errorcode);
    root.insert("status", gun_status[1].status);
    return writeJsonFile(dataFile("StatusNotification.json"), root);
}
