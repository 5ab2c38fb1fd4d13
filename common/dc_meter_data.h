#ifndef DC_METER_DATA_H
#define DC_METER_DATA_H

// Latest readings of the DC meter, indexed by meter address (1 is in use).
// Written on the meter thread, read on the GUI thread.

#include "sharedvalue.h"

struct DC_Meter_Data
{
    SharedText SerialNumber;
    Shared<float> voltage{0};
    Shared<float> current{0};
    Shared<float> Powerquantity{0}; // kWh
    Shared<bool> Com_error{false};
};

extern DC_Meter_Data dc_meter_data[3];

#endif // DC_METER_DATA_H
