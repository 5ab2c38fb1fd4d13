// test-components: common
// The service PIN store on real files: the salted hash, the five tries, the
// five-minute lock across a restart, and files it must not trust.
#include "globalvariable.h"
#include "servicepin.h"
#include "testsupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <sys/stat.h>

namespace {
QJsonObject jsonOf(const QByteArray &bytes) { return QJsonDocument::fromJson(bytes).object(); }

int modeOf(const QString &path)
{
    struct stat st = {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
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
        QTest::newRow("empty") << "" << "empty";
        QTest::newRow("three digits") << "123" << "at least 4";
        QTest::newRow("thirteen digits") << "1234567890123" << "at most 12";
        QTest::newRow("letter") << "12a4" << "digits only";
    }
    void refusal()
    {
        QFETCH(QString, pin);
        QFETCH(QString, refused);
        TestDataDir dir;
        QString error;
        QCOMPARE(ServicePin().set(pin, &error), refused.isEmpty());
        QVERIFY2(refused.isEmpty() ? error.isEmpty() : error.contains(refused), qPrintable(error));
        QCOMPARE(QFile::exists(dir.file("Service.json")), refused.isEmpty());
    }

    // A fresh salt each time: the same PIN never gives the same file.
    void saltedHashOwnerOnly()
    {
        TestDataDir dir;
        ServicePin store;
        QVERIFY(store.set("2468"));
        const QJsonObject a = jsonOf(dir.read("Service.json"));
        QVERIFY(store.set("2468"));
        const QJsonObject b = jsonOf(dir.read("Service.json"));
        QCOMPARE(a.value("salt").toString().size(), 32);
        QCOMPARE(a.value("sha256").toString().size(), 64);
        QVERIFY(a.value("salt") != b.value("salt") && a.value("sha256") != b.value("sha256"));
        QCOMPARE(modeOf(dir.file("Service.json")), 0600);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"Service.json"}); // no temporary left
        QCOMPARE(store.check("2468"), ServicePin::Result::Accepted);
    }

    // Five wrong PINs lock for five minutes, against the right PIN too, in
    // the same store and in a new one (a restart).
    void lockOutSurvivesRestart()
    {
        TestDataDir dir;
        ServicePin store;
        QVERIFY(store.set("2468"));
        for (int i = 1; i < ServicePin::MaxAttempts; ++i)
            QCOMPARE(store.check("0000"), ServicePin::Result::Wrong);
        QCOMPARE(store.state().attemptsLeft, 1);
        QCOMPARE(store.check("0000"), ServicePin::Result::Locked);
        const int left = store.state().lockSecondsLeft;
        QVERIFY2(left > ServicePin::LockSeconds - 5 && left <= ServicePin::LockSeconds, qPrintable(QString::number(left)));
        QCOMPARE(store.check("2468"), ServicePin::Result::Locked);
        QCOMPARE(ServicePin().check("2468"), ServicePin::Result::Locked);
        QCOMPARE(modeOf(dir.file("ServiceLock.json")), 0600);
    }

    // The lock file as a restart finds it: a lock that has run out gives five
    // new tries; one ending further away than five minutes (the clock was set
    // back) is cut to five; a count of an earlier PIN is not taken.
    void lockFileAtStart_data()
    {
        QTest::addColumn<int>("endsInSeconds");
        QTest::addColumn<bool>("samePin");
        QTest::addColumn<int>("attemptsLeft");
        QTest::addColumn<int>("lockSeconds");
        QTest::newRow("lock ran out") << -10 << true << 5 << 0;
        QTest::newRow("clock set back a day") << 86400 << true << 0 << 300;
        QTest::newRow("count of an earlier PIN") << 200 << false << 5 << 0;
    }
    void lockFileAtStart()
    {
        QFETCH(int, endsInSeconds);
        QFETCH(bool, samePin);
        TestDataDir dir;
        QVERIFY(ServicePin().set("1357"));
        const QJsonValue counted = jsonOf(dir.read("Service.json")).value("salt");
        if (!samePin)
            QVERIFY(ServicePin().set("2468"));
        const QString ends = QDateTime::currentDateTimeUtc().addSecs(endsInSeconds).toString(Qt::ISODate);
        const QJsonObject lock{{"salt", counted}, {"failedAttempts", ServicePin::MaxAttempts}, {"lockedUntil", ends}};
        QVERIFY(dir.write("ServiceLock.json", QJsonDocument(lock).toJson()));
        const ServicePin::State st = ServicePin().state();
        QTEST(st.attemptsLeft, "attemptsLeft");
        QFETCH(int, lockSeconds);
        QVERIFY2(qAbs(st.lockSecondsLeft - lockSeconds) <= 2, qPrintable(QString::number(st.lockSecondsLeft)));
    }

    // A lock file that cannot be written still locks while the program runs.
    void unwritableLockFileStillLocks()
    {
        TestDataDir dir;
        QVERIFY(QDir(dir.path()).mkdir("ServiceLock.json"));
        ServicePin store;
        QVERIFY(store.set("2468"));
        LogCapture log;
        for (int i = 0; i < ServicePin::MaxAttempts; ++i)
            store.check("0000");
        QVERIFY(log.contains("cannot be written"));
        QCOMPARE(store.check("2468"), ServicePin::Result::Locked);
    }

    void unusablePinFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // "fifo", or the file; empty: none
        QTest::addColumn<QString>("problem");
        const auto file = [](int saltDigits, char hashDigit) {
            return QJsonDocument(QJsonObject{{"salt", QString(saltDigits, 'a')}, {"sha256", QString(64, hashDigit)}})
                .toJson();
        };
        QTest::newRow("none") << QByteArray() << "does not exist";
        QTest::newRow("not json") << QByteArray("salt=aa") << "cannot be read";
        QTest::newRow("short salt") << file(30, 'b') << "no usable";
        QTest::newRow("hash not hex") << file(32, 'x') << "no usable";
        QTest::newRow("fifo nobody writes") << QByteArray("fifo") << "not a regular file";
    }
    void unusablePinFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        TestDataDir dir;
        if (content == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(dir.file("Service.json")).constData(), 0600), 0);
        else if (!content.isEmpty())
            QVERIFY(dir.write("Service.json", content));
        ServicePin store;
        const ServicePin::State st = store.state();
        QVERIFY2(!st.set && st.problem.contains(problem), qPrintable(st.problem));
        QCOMPARE(store.check("2468"), ServicePin::Result::NotSet);
    }
};

QTEST_GUILESS_MAIN(tst_ServicePin)
#include "tst_servicepin.moc"
