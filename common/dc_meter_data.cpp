#include "dc_meter_data.h"

DC_Meter_Data dc_meter_data[3];
