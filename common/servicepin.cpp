#include "servicepin.h"

#include "datafiles.h"
#include "globalvariable.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFileInfo>
#include <QJsonObject>
#include <QRandomGenerator>

const char ServicePinFileName[] = "Service.json";
const char ServiceLockFileName[] = "ServiceLock.json";

namespace {
constexpr int SaltBytes = 16;
constexpr int HashBytes = 32;
const QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QByteArray pinHash(const QByteArray &salt, const QString &pin)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(salt);
    hash.addData(pin.toUtf8());
    return hash.result();
}

// The same work whatever byte differs first: the time of a refusal tells
// nothing about how close a guess came.
bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (int i = 0; i < a.size(); ++i)
        diff |= uchar(a.at(i)) ^ uchar(b.at(i));
    return diff == 0;
}

// Exactly `bytes` bytes written as hexadecimal digits, else empty.
QByteArray hexMember(const QJsonObject &object, const char *name, int bytes)
{
    const QByteArray text = object.value(QLatin1String(name)).toString().toLatin1().toLower();
    const QByteArray raw = QByteArray::fromHex(text);
    return raw.size() == bytes && raw.toHex() == text ? raw : QByteArray();
}
} // namespace

ServicePin::ServicePin(const QString &dir)
{
    const QString base = dir.isEmpty() ? FilePath : dir;
    m_pinPath = base + ServicePinFileName;
    m_lockPath = base + ServiceLockFileName;
}

QString ServicePin::refusal(const QString &pin)
{
    if (pin.isEmpty())
        return QStringLiteral("the PIN is empty");
    for (const QChar c : pin)
        if (c < '0' || c > '9')
            return QStringLiteral("a PIN is digits only: the pad has no other keys");
    if (pin.size() < MinDigits)
        return QStringLiteral("a PIN has at least %1 digits").arg(MinDigits);
    if (pin.size() > MaxDigits)
        return QStringLiteral("a PIN has at most %1 digits").arg(MaxDigits);
    return QString();
}

bool ServicePin::set(const QString &pin, QString *error)
{
    QString why = refusal(pin);
    if (why.isEmpty()) {
        QByteArray salt(SaltBytes, '\0');
        QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), SaltBytes / 4);
        const QJsonObject stored{{"salt", QString::fromLatin1(salt.toHex())},
                                 {"sha256", QString::fromLatin1(pinHash(salt, pin).toHex())}};
        if (writeJsonFile(m_pinPath, stored, OwnerOnly))
            return true;
        why = "cannot write " + m_pinPath;
    }
    if (error)
        *error = why;
    return false;
}

ServicePin::Stored ServicePin::readPin() const
{
    Stored s;
    const QFileInfo info(m_pinPath);
    if (!info.exists()) {
        s.problem = m_pinPath + " does not exist";
        return s;
    }
    // Only a regular file: a FIFO put there would block the GUI thread.
    if (!info.isFile()) {
        s.problem = m_pinPath + " is not a regular file";
        return s;
    }
    bool parsed = false;
    const QJsonObject stored = readJsonFile(m_pinPath, &parsed);
    s.salt = hexMember(stored, "salt", SaltBytes);
    s.hash = hexMember(stored, "sha256", HashBytes);
    if (!parsed)
        s.problem = m_pinPath + " cannot be read as a JSON object";
    else if (s.salt.isEmpty() || s.hash.isEmpty())
        s.problem = m_pinPath + " holds no usable \"salt\" and \"sha256\"";
    if (!s.problem.isEmpty())
        s.salt.clear();
    return s;
}

// Takes up the count kept for the PIN with this salt; a new PIN starts afresh.
void ServicePin::follow(const QByteArray &salt)
{
    if (salt == m_salt)
        return;
    m_salt = salt;
    m_failed = 0;
    m_lockedUntil = QDateTime();
    if (!QFileInfo(m_lockPath).isFile())
        return;
    const QJsonObject lock = readJsonFile(m_lockPath);
    if (hexMember(lock, "salt", SaltBytes) != salt)
        return;
    m_failed = qBound(0, lock.value("failedAttempts").toInt(), MaxAttempts);
    const QDateTime until = QDateTime::fromString(lock.value("lockedUntil").toString(), Qt::ISODate);
    if (until.isValid())
        m_lockedUntil = until.toUTC();
    else if (m_failed >= MaxAttempts) // all tries used, end unknown: a fresh lock
        m_lockedUntil = QDateTime::currentDateTimeUtc().addSecs(LockSeconds);
}

int ServicePin::secondsLeft()
{
    if (!m_lockedUntil.isValid())
        return 0;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const qint64 ms = now.msecsTo(m_lockedUntil);
    if (ms <= 0) {
        m_failed = 0;
        m_lockedUntil = QDateTime();
        saveLock();
        return 0;
    }
    // A clock set back (a panel without a battery-backed clock, say) must not
    // stretch the lock beyond its five minutes.
    if (ms > qint64(LockSeconds) * 1000) {
        m_lockedUntil = now.addSecs(LockSeconds);
        saveLock();
        return LockSeconds;
    }
    return int((ms + 999) / 1000);
}

void ServicePin::saveLock() const
{
    const QJsonObject lock{{"salt", QString::fromLatin1(m_salt.toHex())},
                           {"failedAttempts", m_failed},
                           {"lockedUntil", m_lockedUntil.isValid() ? m_lockedUntil.toString(Qt::ISODate) : QString()}};
    if (!writeJsonFile(m_lockPath, lock, OwnerOnly))
        qWarning().noquote() << "service PIN:" << m_lockPath
                             << "cannot be written; the count of wrong entries holds until the program ends";
}

ServicePin::State ServicePin::state()
{
    State st;
    const Stored stored = readPin();
    if (stored.salt.isEmpty()) {
        st.problem = stored.problem;
        return st;
    }
    follow(stored.salt);
    st.set = true;
    st.lockSecondsLeft = secondsLeft();
    st.attemptsLeft = st.lockSecondsLeft > 0 ? 0 : MaxAttempts - m_failed;
    return st;
}

ServicePin::Result ServicePin::check(const QString &pin)
{
    const Stored stored = readPin();
    if (stored.salt.isEmpty())
        return Result::NotSet;
    follow(stored.salt);
    if (secondsLeft() > 0)
        return Result::Locked;
    if (sameBytes(pinHash(stored.salt, pin), stored.hash)) {
        if (m_failed > 0) {
            m_failed = 0;
            saveLock();
        }
        return Result::Accepted;
    }
    ++m_failed;
    const bool locked = m_failed >= MaxAttempts;
    if (locked) {
        m_lockedUntil = QDateTime::currentDateTimeUtc().addSecs(LockSeconds);
        qWarning().noquote() << QString("service PIN: %1 wrong entries, the pad is locked for %2 minutes")
                                    .arg(MaxAttempts).arg(LockSeconds / 60);
    } else {
        qWarning().noquote() << QString("service PIN: wrong entry, %1 of %2").arg(m_failed).arg(MaxAttempts);
    }
    saveLock();
    return locked ? Result::Locked : Result::Wrong;
}
