// test-components: common screens
// test-switches: device
#include "debugfun.h"
#include "globalvariable.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

// The device build: no simulated plug, and the corner button cannot hide the card box.
class tst_DebugFunDevice : public QObject
{
    Q_OBJECT
private slots:
    void controlsFollowTheSwitches()
    {
        DebugFun panel;
        panel.show();
        QVERIFY(!child<QCheckBox>(panel, "checkBox_charger")->isVisible());
        QTest::mouseClick(child<QPushButton>(panel, "pushButton_debug"), Qt::LeftButton);
        QVERIFY(child<QGroupBox>(panel, "groupBox_debug")->isVisible());
    }
};

QTEST_MAIN(tst_DebugFunDevice)
#include "tst_debugfundevice.moc"
