#ifndef CHARGINGDATA_H
#define CHARGINGDATA_H

// The charging figures of the session, once a second while the charging page
// or its dialogs are up: the electrical values (from the CCU, or from the
// built-in profile in the simulation build), the HMI's own energy register,
// the session energy across a wrap of the register, the cost, what is left to
// go, and the display texts of the charging and completion screens. Reads and
// writes gun_status[1] and the display texts; no widgets.

class ChargingData
{
public:
    // One second of charging (the former Charging_Data_update).
    void update();

    // The texts the charging and completion screens show, from the session record.
    void publishDisplayTexts();

    // The charging page opens: meter values start, the start register is taken.
    void beginSession();

    // The session ends: the live figures read 0 on the completion screen ...
    void clearLiveFigures();
    // ... the meter values stop, the stop register is taken and the register
    // is saved, so a power cut after a session loses nothing.
    void closeRegister();

    // The register as it stands, to its file.
    void saveRegister();

    // The register the session energy is counted on: the meter's, or the
    // HMI's own.
    static double sessionRegister();
};

#endif // CHARGINGDATA_H
