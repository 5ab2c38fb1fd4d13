#ifndef SERVICEPIN_H
#define SERVICEPIN_H

// The service PIN that guards the factory screen. Service.json in the data
// directory holds a random salt and the SHA-256 hash of salt and PIN; it is
// written only by `charger-hmi --set-service-pin`. The count of wrong entries
// and the end of a lock-out are the HMI's own, in ServiceLock.json, tied to
// the salt of the PIN they were counted against: a new PIN starts afresh, and
// neither closing the pad nor a restart gives anyone more tries.

#include <QDateTime>
#include <QString>

extern const char ServicePinFileName[];  // "Service.json"
extern const char ServiceLockFileName[]; // "ServiceLock.json"

class ServicePin
{
public:
    static constexpr int MaxAttempts = 5;
    static constexpr int LockSeconds = 5 * 60;
    static constexpr int MinDigits = 4;
    static constexpr int MaxDigits = 12;

    enum class Result { Accepted, Wrong, Locked, NotSet };

    struct State
    {
        bool set = false;         // a usable PIN is configured
        int attemptsLeft = MaxAttempts;
        int lockSecondsLeft = 0;  // 0: not locked
        QString problem;          // why no PIN is usable, for the log
    };

    // Files in the given directory (ending in '/'); by default the data directory.
    explicit ServicePin(const QString &dir = QString());

    State state();
    Result check(const QString &pin);

    // Why a PIN cannot be used (empty, not only digits, too short or too
    // long); empty when it can.
    static QString refusal(const QString &pin);
    // Stores a new PIN under a new random salt; false with the reason in
    // `error` when the PIN is refused or the file cannot be written.
    bool set(const QString &pin, QString *error = nullptr);

private:
    struct Stored
    {
        QByteArray salt, hash;
        QString problem;
    };
    Stored readPin() const;
    void follow(const QByteArray &salt);
    int secondsLeft();
    void saveLock() const;

    QString m_pinPath, m_lockPath;
    // The wrong entries against the PIN with this salt; kept here as well as
    // in the lock file, so a lock file that cannot be written still holds
    // the lock for as long as the program runs.
    QByteArray m_salt;
    int m_failed = 0;
    QDateTime m_lockedUntil; // UTC; invalid when not locked
};

#endif // SERVICEPIN_H
