// The CCU receive path: whatever bytes the line delivers, in whatever pieces,
// to a worker with any request on the line (answered in time or late). The
// first byte chooses the requests and how the rest is cut into deliveries.
#include "fuzzsupport.h"
#include "rs232_ccu.h"

#include <QByteArray>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzSetUp(argc, argv);
    return 0;
}

namespace {

void ask(RS232_CCU &ccu, int which)
{
    switch (which) {
    case 1: ccu.ReadBootupinfo(); break;
    case 2: ccu.ReadSystemStatus(); break;
    case 3: ccu.ReadChargingData(); break;
    case 4: ccu.ReadErrorData(); break;
    case 5: ccu.SendCommand_Gun1_Start(); break;
    case 6: ccu.Set_VoltageLimit(750.0f); break;
    default: break; // nothing asked
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const uint8_t plan = data[0];
    const uint8_t cuts = data[1];
    RS232_CCU ccu;
    ask(ccu, plan & 7);
    if (plan & 0x08)
        ccu.Serial_error(); // timed out: what comes may be late
    if (plan & 0x10)
        ask(ccu, (plan >> 5) & 7);
    const QByteArray line(reinterpret_cast<const char *>(data + 2), int(size - 2));
    // Up to four deliveries, cut where the second byte says.
    int from = 0;
    for (int piece = 0; piece < 3 && from < line.size(); ++piece) {
        const int length = 1 + ((cuts >> (2 * piece)) & 3) * (line.size() / 4 + 1);
        ccu.takeReceived(line.mid(from, length));
        from += length;
    }
    if (from < line.size())
        ccu.takeReceived(line.mid(from));
    ccu.Rs232_Contrl(); // the next tick acts on what was decoded
    return 0;
}
