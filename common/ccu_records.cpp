#include "ccu_records.h"

SysStatus systemstatus;
ErrorInfo errorinfo;
BootupInfo bootupinfo;
ChargInfo charginfo;
SetPara setpara;
