#ifndef LOCALCLOCK_H
#define LOCALCLOCK_H

#include <QString>

// The status bar's clock text, "MM-dd hh:mm:ss" in local time. It is asked for
// every second: the zone file is looked at again only once a minute (a changed
// zone shows within a minute), where the toolkit's local time reads it three
// times per call. Asked on the GUI thread only.
QString localClockText();

#endif // LOCALCLOCK_H
