#ifndef OCPPLINK_H
#define OCPPLINK_H

// The OCPP link under test in a data directory of its own, with the client's
// side of its two FIFOs and a capture of what it logs.

#include "testsupport.h"
#include "thread_pipe.h"
#include "tst_pipe_farend.h"

struct OcppLink
{
    TestDataDir dir;
    LogCapture log;
    Thread_pipe pipe;
    FarEnd client{dir.path()};

    OcppLink() { client.startReading(); }

    // The client writes one message; true once the link has taken it in
    // (its dispatcher logs every message it takes).
    bool deliver(const QByteArray &message)
    {
        const int before = log.count("this ocppin is about = ");
        return client.send(message) &&
               QTest::qWaitFor([&] { return log.count("this ocppin is about = ") > before; }, 3000);
    }

    // Nothing else was written before a marker written now.
    bool nothingMoreWritten()
    {
        emit pipe.ocppwrite("marker");
        return client.next() == "marker\n";
    }
};

#endif // OCPPLINK_H
