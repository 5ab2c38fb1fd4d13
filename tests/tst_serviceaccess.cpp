// The simulation build: a workstation without a PIN goes straight to the
// factory screen, and the debug controls work (cases in serviceaccess.h).
#include "serviceaccess.h"

class tst_ServiceAccess : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(DebugMode); }
    void access_data() { serviceaccess::accessRows(); }
    void access() { serviceaccess::access(); }
    void debugControls() { serviceaccess::debugControls(); }
    void flagEndsWithTheSession() { serviceaccess::flagEndsWithTheSession(); }
};

QTEST_MAIN(tst_ServiceAccess)
#include "tst_serviceaccess.moc"
