// The OCPP inbound dispatch: whatever text the client writes into "ocppin"
// (envelope, JSON, actions, members of any type), with the connector in any
// state (first byte).
#include "datafiles.h"
#include "fuzzsupport.h"
#include "globalvariable.h"
#include "thread_pipe.h"

#include <QTemporaryDir>

namespace {
Thread_pipe *ocppLink = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzSetUp(argc, argv);
    static QTemporaryDir dir;
    FilePath = dir.path() + '/';
    ocppLink = new Thread_pipe;
    // What the dispatch sends back goes nowhere: no client reads here.
    QObject::disconnect(ocppLink, &Thread_pipe::ocppwrite, nullptr, nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 65536 || deeplyNested(data, size))
        return 0;
    static const QString states[] = {sta_Available, sta_Preparing, sta_Charging, sta_Finishing, sta_Faulted};
    gun_status[1] = Status();
    gun_status[1].status = states[data[0] % 5];
    gun_status[1].transactionId = data[0] >> 3;
    StartTransactionCache = QStringList{"1=StartTransaction={}"};
    StopTransactionCache.clear();
    MeterValueCache.clear();
    SystemResetReq = 0;
    ocppLink->Ocppin_datapro(QString::fromUtf8(reinterpret_cast<const char *>(data + 1), int(size - 1)));
    return 0;
}
