#include "logcategories.h"

// Debug level off by default: QT_LOGGING_RULES switches it on per category.
Q_LOGGING_CATEGORY(lcSession, "hmi.session", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCcu, "hmi.ccu", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMeter, "hmi.meter", QtInfoMsg)
Q_LOGGING_CATEGORY(lcOcpp, "hmi.ocpp", QtInfoMsg)
Q_LOGGING_CATEGORY(lcStatus, "hmi.status", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUi, "hmi.ui", QtInfoMsg)
Q_LOGGING_CATEGORY(lcData, "hmi.data", QtInfoMsg)

void useHmiMessagePattern()
{
    // The environment variable wins over this default.
    qSetMessagePattern(QStringLiteral("%{message}"));
}
