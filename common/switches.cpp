// The four build switches. This file is compiled once per build variant with
// the values given on the compiler's command line.
extern const bool DebugMode = HMI_SW_DEBUG_MODE;
extern const bool DebugMode_ChargerGun = HMI_SW_DEBUG_CHARGER_GUN;
extern const bool DebugMode_Paypad = HMI_SW_DEBUG_PAYPAD;
extern const bool Config_DC_Meter = HMI_SW_DC_METER;
