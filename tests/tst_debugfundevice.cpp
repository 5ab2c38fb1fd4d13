// test-components: core screens_b
// test-switches: device
#include "debugfun.h"
#include "globalvariable.h"

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
    void cornerButtonHasNoEffect();
};

void tst_DebugFunDevice::controlsFollowTheSwitches()
{
    QVERIFY(!DebugMode && !DebugMode_ChargerGun && DebugMode_Paypad);
    DebugFun panel;
    panel.show();
    QVERIFY(!panel.findChild<QCheckBox *>("checkBox_charger")->isVisible());
    QVERIFY(panel.findChild<QCheckBox *>("checkBox_RFID")->isVisible());
}

void tst_DebugFunDevice::cornerButtonHasNoEffect()
{
    DebugFun panel;
    panel.show();
    QGroupBox *group = panel.findChild<QGroupBox *>("groupBox_debug");
    QPushButton *corner = panel.findChild<QPushButton *>("pushButton_debug");
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(corner, Qt::LeftButton);
        QVERIFY(group->isVisible());
    }
}

QTEST_MAIN(tst_DebugFunDevice)
#include "tst_debugfundevice.moc"
