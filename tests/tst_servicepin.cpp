// test-components: common
// The service PIN store on real files: the salted hash, the five tries, the
// five-minute lock across a reopened pad and a restart, and files it must
// not trust.
#include "globalvariable.h"
#include "servicepin.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <sys/stat.h>

namespace {
QJsonObject jsonOf(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}

int modeOf(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

void enterWrong(ServicePin &pin, int times)
{
    for (int i = 0; i < times; ++i)
        pin.check("0000");
}
} // namespace

class tst_ServicePin : public QObject
{
    Q_OBJECT
private slots:
    void refusal_data()
    {
        QTest::addColumn<QString>("pin");
        QTest::addColumn<QString>("refused"); // a fragment of the reason; empty: accepted
        QTest::newRow("four digits") << "2468" << "";
        QTest::newRow("twelve digits") << "123456789012" << "";
        QTest::newRow("empty") << "" << "empty";
        QTest::newRow("three digits") << "123" << "at least 4";
        QTest::newRow("thirteen digits") << "1234567890123" << "at most 12";
        QTest::newRow("letter") << "12a4" << "digits only";
        QTest::newRow("blank") << " 1234" << "digits only";
        QTest::newRow("other script's digits") << QString::fromUtf8("١٢٣٤") << "digits only";
    }
    void refusal()
    {
        QFETCH(QString, pin);
        QFETCH(QString, refused);
        TestDataDir dir;
        ServicePin store;
        QString error;
        const bool stored = store.set(pin, &error);
        QCOMPARE(stored, refused.isEmpty());
        QVERIFY2(refused.isEmpty() ? error.isEmpty() : error.contains(refused), qPrintable(error));
        QCOMPARE(QFile::exists(dir.file("Service.json")), stored);
        if (stored)
            QCOMPARE(store.check(pin), ServicePin::Result::Accepted);
    }

    void saltedHashOwnerOnly()
    {
        TestDataDir dir;
        ServicePin store;
        QVERIFY(store.set("2468"));
        const QByteArray first = dir.read("Service.json");
        QVERIFY(store.set("2468"));
        const QJsonObject a = jsonOf(first), b = jsonOf(dir.read("Service.json"));
        QCOMPARE(a.value("salt").toString().size(), 32);
        QCOMPARE(a.value("sha256").toString().size(), 64);
        // A fresh salt each time: the same PIN never gives the same hash.
        QVERIFY(a.value("salt") != b.value("salt"));
        QVERIFY(a.value("sha256") != b.value("sha256"));
        QVERIFY(!first.contains("2468"));
        QCOMPARE(modeOf(dir.file("Service.json")), 0600);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Service.json"});
    }

    void wrongThenRight()
    {
        TestDataDir dir;
        ServicePin store;
        QVERIFY(store.set("2468"));
        QCOMPARE(store.check("2469"), ServicePin::Result::Wrong);
        QCOMPARE(store.check("24680"), ServicePin::Result::Wrong);
        QCOMPARE(store.state().attemptsLeft, 3);
        QCOMPARE(store.check("2468"), ServicePin::Result::Accepted);
        QCOMPARE(store.state().attemptsLeft, ServicePin::MaxAttempts);
    }

    // Five wrong PINs lock for five minutes; the lock holds in the same store
    // (the pad closed and opened again), in a new one (a restart), and
    // against the right PIN.
    void lockOutSurvivesRestart()
    {
        TestDataDir dir;
        ServicePin store;
        QVERIFY(store.set("2468"));
        LogCapture log;
        enterWrong(store, ServicePin::MaxAttempts - 1);
        QCOMPARE(store.state().attemptsLeft, 1);
        QCOMPARE(store.check("0000"), ServicePin::Result::Locked);
        QVERIFY(log.contains("the pad is locked for 5 minutes"));
        const ServicePin::State locked = store.state();
        QVERIFY2(locked.lockSecondsLeft > ServicePin::LockSeconds - 5 && locked.lockSecondsLeft <= ServicePin::LockSeconds,
                 qPrintable(QString::number(locked.lockSecondsLeft)));
        QCOMPARE(locked.attemptsLeft, 0);
        QCOMPARE(store.check("2468"), ServicePin::Result::Locked);
        ServicePin restarted;
        QVERIFY(restarted.state().lockSecondsLeft > 0);
        QCOMPARE(restarted.check("2468"), ServicePin::Result::Locked);
        QCOMPARE(modeOf(dir.file("ServiceLock.json")), 0600);
    }

    // The lock file as a restart finds it: a lock that has run out gives five
    // new tries; one that ends further away than five minutes (the clock was
    // set back) is cut to five minutes; a count of another PIN is not taken.
    void lockFileAtStart_data()
    {
        QTest::addColumn<int>("failed");
        QTest::addColumn<int>("endsInSeconds"); // 0: no end written
        QTest::addColumn<bool>("samePin");
        QTest::addColumn<int>("attemptsLeft");
        QTest::addColumn<int>("lockSeconds");
        QTest::newRow("lock ran out") << 5 << -10 << true << 5 << 0;
        QTest::newRow("clock set back a day") << 5 << 86400 << true << 0 << 300;
        QTest::newRow("two wrong kept") << 2 << 0 << true << 3 << 0;
        QTest::newRow("all tries used, end lost") << 5 << 0 << true << 0 << 300;
        QTest::newRow("count of an earlier PIN") << 4 << 200 << false << 5 << 0;
    }
    void lockFileAtStart()
    {
        QFETCH(int, failed);
        QFETCH(int, endsInSeconds);
        QFETCH(bool, samePin);
        TestDataDir dir;
        ServicePin earlier;
        QVERIFY(earlier.set("1357"));
        const QString earlierSalt = jsonOf(dir.read("Service.json")).value("salt").toString();
        if (!samePin)
            QVERIFY(earlier.set("2468"));
        const QString salt = jsonOf(dir.read("Service.json")).value("salt").toString();
        const QString ends = endsInSeconds
            ? QDateTime::currentDateTimeUtc().addSecs(endsInSeconds).toString(Qt::ISODate) : QString();
        const QJsonObject lock{{"salt", samePin ? salt : earlierSalt}, {"failedAttempts", failed}, {"lockedUntil", ends}};
        QVERIFY(dir.write("ServiceLock.json", QJsonDocument(lock).toJson()));
        ServicePin store;
        const ServicePin::State st = store.state();
        QTEST(st.attemptsLeft, "attemptsLeft");
        QFETCH(int, lockSeconds);
        QVERIFY2(qAbs(st.lockSecondsLeft - lockSeconds) <= 2, qPrintable(QString::number(st.lockSecondsLeft)));
    }

    // A new PIN starts with five tries, whatever the count of the old one.
    void newPinStartsAfresh()
    {
        TestDataDir dir;
        ServicePin store;
        QVERIFY(store.set("2468"));
        enterWrong(store, ServicePin::MaxAttempts);
        QCOMPARE(store.check("2468"), ServicePin::Result::Locked);
        ServicePin technician; // --set-service-pin, another process
        QVERIFY(technician.set("8642"));
        QCOMPARE(store.state().attemptsLeft, ServicePin::MaxAttempts);
        QCOMPARE(store.check("8642"), ServicePin::Result::Accepted);
    }

    // A lock file that cannot be written still locks while the program runs.
    void unwritableLockFileStillLocks()
    {
        TestDataDir dir;
        QVERIFY(QDir(dir.path()).mkdir("ServiceLock.json"));
        ServicePin store;
        QVERIFY(store.set("2468"));
        LogCapture log;
        enterWrong(store, ServicePin::MaxAttempts);
        QVERIFY(log.contains("cannot be written"));
        QCOMPARE(store.check("2468"), ServicePin::Result::Locked);
    }

    void unusablePinFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // "dir", "fifo", or the file; empty: none
        QTest::addColumn<QString>("problem");
        const QString salt(32, 'a'), hash(64, 'b');
        auto file = [](const QString &s, const QString &h) {
            return QJsonDocument(QJsonObject{{"salt", s}, {"sha256", h}}).toJson();
        };
        QTest::newRow("none") << QByteArray() << "does not exist";
        QTest::newRow("not json") << QByteArray("salt=aa") << "cannot be read";
        QTest::newRow("empty object") << QByteArray("{}") << "no usable";
        QTest::newRow("short salt") << file(QString(30, 'a'), hash) << "no usable";
        QTest::newRow("hash not hex") << file(salt, QString(64, 'x')) << "no usable";
        QTest::newRow("hash as number") << QByteArray("{\"salt\":\"" + salt.toLatin1() + "\",\"sha256\":12}")
                                        << "no usable";
        QTest::newRow("directory") << QByteArray("dir") << "not a regular file";
        QTest::newRow("fifo nobody writes") << QByteArray("fifo") << "not a regular file";
    }
    void unusablePinFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        TestDataDir dir;
        const QString path = dir.file("Service.json");
        if (content == "dir")
            QVERIFY(QDir(dir.path()).mkdir("Service.json"));
        else if (content == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (!content.isEmpty())
            QVERIFY(dir.write("Service.json", content));
        ServicePin store;
        const ServicePin::State st = store.state();
        QVERIFY(!st.set);
        QVERIFY2(st.problem.contains(problem), qPrintable(st.problem));
        QCOMPARE(store.check("2468"), ServicePin::Result::NotSet);
    }
};

QTEST_GUILESS_MAIN(tst_ServicePin)
#include "tst_servicepin.moc"
