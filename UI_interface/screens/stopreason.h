#ifndef STOPREASON_H
#define STOPREASON_H

// The texts by which the charger names the stop-reason codes the CCU
// reports. Each text begins with its own code, as it is displayed.

#include <QString>
#include <QStringList>

// Indexed by the code, 0 to 35.
extern const QStringList StopReason;

// Display text of a code. Codes the table does not know (36 and above, or a
// negative value) give the code followed by "Unknown Stop Reason"; the table
// is never read past its end.
QString stopReasonText(int code);

#endif // STOPREASON_H
