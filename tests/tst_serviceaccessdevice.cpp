// test-switches: device
// The device build: no factory screen without a PIN, no debug panel, no
// exit corner, no short-press trigger (cases in serviceaccess.h).
#include "serviceaccess.h"

class tst_ServiceAccessDevice : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(!DebugMode && DebugMode_Paypad); }
    void access_data() { serviceaccess::accessRows(); }
    void access() { serviceaccess::access(); }
    void debugControls() { serviceaccess::debugControls(); }
};

QTEST_MAIN(tst_ServiceAccessDevice)
#include "tst_serviceaccessdevice.moc"
