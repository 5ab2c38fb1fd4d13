// test-components: core screens_b
// test-switches: device
#include "debugfun.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

// The device build: no simulated plug, the corner button does nothing.
class tst_DebugFunDevice : public QObject
{
    Q_OBJECT
private slots:
    void controlsFollowTheSwitches();
};

void tst_DebugFunDevice::controlsFollowTheSwitches()
{
    QVERIFY(!DebugMode && !DebugMode_ChargerGun && DebugMode_Paypad);
    DebugFun panel;
    panel.show();
    QVERIFY(!child<QCheckBox>(panel, "checkBox_charger")->isVisible());
    QVERIFY(child<QCheckBox>(panel, "checkBox_RFID")->isVisible());
    for (int i = 0; i < 2; ++i) {
        QTest::mouseClick(child<QPushButton>(panel, "pushButton_debug"), Qt::LeftButton);
        QVERIFY(child<QGroupBox>(panel, "groupBox_debug")->isVisible());
    }
}

QTEST_MAIN(tst_DebugFunDevice)
#include "tst_debugfundevice.moc"
