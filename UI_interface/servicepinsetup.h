#ifndef SERVICEPINSETUP_H
#define SERVICEPINSETUP_H

// `charger-hmi --set-service-pin`: asks twice on the terminal, without echo,
// for a new service PIN and stores it (Service.json of the data directory).
// Never from the command line, where the process list and the shell's
// history would keep it. Returns the program's exit code: 0 stored,
// 1 refused or not written, 2 no terminal.
int setServicePinFromTerminal();

#endif // SERVICEPINSETUP_H
