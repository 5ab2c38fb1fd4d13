#ifndef LOGCATEGORIES_H
#define LOGCATEGORIES_H

// One logging category per subsystem. Events (page and status changes, links
// lost and restored, faults, every OCPP message) are info lines and always
// shown; the lines repeated every tick, poll or read are debug lines, off
// unless QT_LOGGING_RULES turns them on, e.g. "hmi.session.debug=true" or
// "hmi.*.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSession) // hmi.session: supervisor, charging figures, start-up, shutdown
Q_DECLARE_LOGGING_CATEGORY(lcCcu)     // hmi.ccu: the CCU link
Q_DECLARE_LOGGING_CATEGORY(lcMeter)   // hmi.meter: the DC meter link
Q_DECLARE_LOGGING_CATEGORY(lcOcpp)    // hmi.ocpp: the FIFOs and the OCPP messages
Q_DECLARE_LOGGING_CATEGORY(lcStatus)  // hmi.status: status file, network check
Q_DECLARE_LOGGING_CATEGORY(lcUi)      // hmi.ui: screens and the main window
Q_DECLARE_LOGGING_CATEGORY(lcData)    // hmi.data: data files, service PIN, reset scripts

// Log lines read as the system defines them, without a category prefix,
// unless QT_MESSAGE_PATTERN asks for one.
void useHmiMessagePattern();

#endif // LOGCATEGORIES_H
