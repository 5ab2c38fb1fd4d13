#ifndef SERVICEACCESS_H
#define SERVICEACCESS_H

// What a person at the screen can reach beyond a charging session, checked
// on the real main window in both builds (tst_serviceaccess: simulation
// build, tst_serviceaccessdevice: device build): the factory screen behind
// the service PIN, the gear's short press, the debug panel and the hidden
// exit corner. The expectations follow DebugMode.

#include "debugfun.h"
#include "factorymode.h"
#include "globalvariable.h"
#include "home.h"
#include "mainwindow.h"
#include "servicepin.h"
#include "servicepinpad.h"
#include "testsupport.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace serviceaccess {

inline QPushButton *gear(MainWindow &w)
{
    return w.findChild<QPushButton *>("pushButton_factorymode");
}

// Held for the long press: the press timer runs out while the finger is down.
inline void longPress(MainWindow &w)
{
    QTest::mousePress(gear(w), Qt::LeftButton);
    QTimer *held = w.findChild<QTimer *>("factoryLongPress");
    QVERIFY(held && held->isActive());
    QCOMPARE(held->interval(), MainWindow::FactoryLongPressMs);
    QMetaObject::invokeMethod(held, "timeout");
    QTest::mouseRelease(gear(w), Qt::LeftButton);
}

inline void prepare(TestDataDir &dir)
{
    dir.write("configuration.json", "{\"configurationKey\":[]}");
    for (Status &s : gun_status)
        s = Status();
    debug = Debug();
    Debug_EVSideDisconnect = false;
}

inline void accessRows()
{
    QTest::addColumn<bool>("pinSet"); // 2468
    QTest::addColumn<QString>("keys");       // tapped on the pad: digits, '=' confirm, 'x' cancel
    QTest::addColumn<QString>("shown");      // factory, pad or nothing
    QTest::addColumn<QString>("logged");
    const QString noPin = DebugMode ? "factory" : "nothing";
    const QString noPinLog = DebugMode ? "the simulation build opens the factory screen"
                                       : "the factory screen stays closed; set one with: charger-hmi --set-service-pin";
    QTest::newRow("no PIN") << false << "" << noPin << noPinLog;
    QTest::newRow("PIN set: the pad first") << true << "" << "pad" << "";
    QTest::newRow("right PIN") << true << "2468=" << "factory" << "";
    QTest::newRow("cancelled") << true << "24x" << "nothing" << "";
}

inline void access()
{
    QFETCH(bool, pinSet);
    QFETCH(QString, keys);
    QFETCH(QString, logged);
    TestDataDir dir;
    prepare(dir);
    if (pinSet)
        QVERIFY(ServicePin().set("2468"));
    MainWindow w;
    w.show();
    LogCapture log;
    longPress(w);
    ServicePinPad *pad = w.servicePinPad();
    for (const QChar k : keys) {
        const QString name = k == '=' ? "pushButton_confirm" : k == 'x' ? "pushButton_cancel" : "pushButton_" + QString(k);
        QTest::mouseClick(pad->findChild<QPushButton *>(name), Qt::LeftButton);
    }
    const QString shown = w.factoryWindow()->isVisible() ? "factory" : pad->isVisible() ? "pad" : "nothing";
    QTEST(shown, "shown");
    QVERIFY2(logged.isEmpty() || log.contains(logged), qPrintable(log.lines().join('\n')));
    // The long press is no short press as well.
    QVERIFY(!Debug_EVSideDisconnect);
    w.factoryWindow()->page_hide();
}

// The gear's short press, the debug panel and the exit corner: tools of the
// workstation, inert on a charger.
inline void debugControls()
{
    TestDataDir dir;
    prepare(dir);
    MainWindow w;
    QSignalSpy exits(&w, &MainWindow::UI_exit);
    w.show();
    QTest::mouseClick(gear(w), Qt::LeftButton);
    QCOMPARE(Debug_EVSideDisconnect, DebugMode);
    QVERIFY(!w.factoryWindow()->isVisible() && !w.servicePinPad()->isVisible());
    w.setShadow(); // a popup's veil raises the panel
    QCOMPARE(w.debugset->isVisible(), DebugMode);
    w.clearShadow();
    QPushButton *exit = w.homepage()->findChild<QPushButton *>("pushButton_exit");
    QCOMPARE(exit->isVisible(), DebugMode);
    QMetaObject::invokeMethod(exit, "clicked"); // whatever reaches it
    QCOMPARE(exits.count(), DebugMode ? 1 : 0);
}

// A flag the session did not use ends with it.
inline void flagEndsWithTheSession()
{
    TestDataDir dir;
    prepare(dir);
    MainWindow w;
    w.show();
    w.fixedcharge_show();
    Debug_EVSideDisconnect = true;
    w.Homepage_show();
    QVERIFY(!Debug_EVSideDisconnect);
}

} // namespace serviceaccess

#endif // SERVICEACCESS_H
