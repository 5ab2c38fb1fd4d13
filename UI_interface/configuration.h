#ifndef CONFIGURATION_H
#define CONFIGURATION_H

// Loading the OCPP configuration written by the OCPP client, and the
// preparation of the session record whenever the home page is shown. The
// files themselves are read and written through datafiles.h.

// Loads configuration.json into ConfigObj and Config.
void ReadConfigration();

// Prepares the session record; the first call after start also does the
// cold-boot work (configuration, status snapshot, energy register).
void VariableInit();

#endif // CONFIGURATION_H
