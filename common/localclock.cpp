#include "localclock.h"

#include <QDateTime>

#include <ctime>

QString localClockText()
{
    static int calls = 0;
    if (calls++ % 60 == 0)
        tzset();
    const std::time_t now = std::time(nullptr);
    std::tm t {};
    // localtime_r keeps the zone read by the last tzset.
    if (!localtime_r(&now, &t))
        return QDateTime::currentDateTime().toString(QStringLiteral("MM-dd hh:mm:ss"));
    // Two digits each; formatted by hand, printf's machinery was half the cost.
    const int parts[] = {t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
    const char separators[] = {'-', ' ', ':', ':'};
    QChar text[14];
    for (int i = 0; i < 5; ++i) {
        const int v = qBound(0, parts[i], 99);
        text[3 * i] = QLatin1Char(char('0' + v / 10));
        text[3 * i + 1] = QLatin1Char(char('0' + v % 10));
        if (i < 4)
            text[3 * i + 2] = QLatin1Char(separators[i]);
    }
    return QString(text, 14);
}
