// The Modbus answer evaluation of the meter reader: whatever arrived within
// the response window, for a measurement read or a serial-number read (first
// byte), evaluated and decoded.
#include "dc_meter.h"
#include "fuzzsupport.h"

#include <QByteArray>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzSetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    DC_Meter meter(quint16(1 + (data[0] >> 7)));
    meter.Rs485_Comand = quint16(data[0] & 3);
    meter.Rs485_error_num = quint16((data[0] >> 2) & 0x1F);
    meter.Rs485_readBuf = QByteArray(reinterpret_cast<const char *>(data + 1), int(size - 1));
    meter.ReceiveContrl();
    return 0;
}
