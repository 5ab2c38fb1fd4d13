#ifndef OCPP_BRIDGE_LOGGING_H
#define OCPP_BRIDGE_LOGGING_H

// One category per side of the bridge; QT_LOGGING_RULES filters them
// (for example "bridge.*.debug=false" hides every frame).
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcCsms)  // bridge.csms: the WebSocket and OCPP-J frames
Q_DECLARE_LOGGING_CATEGORY(lcHmi)   // bridge.hmi: the two FIFOs
Q_DECLARE_LOGGING_CATEGORY(lcQueue) // bridge.queue: what waits for the central system

#endif // OCPP_BRIDGE_LOGGING_H
