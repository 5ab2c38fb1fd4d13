// The readers of the data files: configuration.json, EnergyMeter_Lcd.json and
// the DynamicStatus.json template, each read whole from a real file holding
// whatever the input is (first byte: which file).
#include "cloud_wr.h"
#include "configuration.h"
#include "datafiles.h"
#include "fuzzsupport.h"
#include "globalvariable.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
Cloud_WR *status = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    fuzzSetUp(argc, argv);
    // In memory where the system has it: a million rewrites stay off the disk.
    static QTemporaryDir dir(QFile::exists("/dev/shm") ? "/dev/shm/hmi-fuzz-XXXXXX" : QString());
    FilePath = dir.path() + '/';
    status = new Cloud_WR;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1 || size > 65536 || deeplyNested(data, size))
        return 0;
    const char *names[] = {"configuration.json", "EnergyMeter_Lcd.json", "DynamicStatus.json"};
    const int which = data[0] % 3;
    QFile file(dataFile(names[which]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    file.close();
    switch (which) {
    case 0:
        ConfigObj = QJsonObject();
        ReadConfigration();
        configText(QStringLiteral("MeterValuesSampledData"));
        break;
    case 1:
        readEnergyRegister();
        break;
    default:
        status->JsonWrite({QStringLiteral("GunStatus"), QStringLiteral("OutputVoltage")},
                          {QStringLiteral("Charging"), QStringLiteral("400.0")});
        break;
    }
    return 0;
}
