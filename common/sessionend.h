#ifndef SESSIONEND_H
#define SESSIONEND_H

// How a charging session ended, as the driver is told on the completion card.
// Only Paid thanks the driver for a payment: energy was delivered under a
// transaction the central system accepted and nothing cut the charge short.
enum class SessionEnd {
    Paid,
    Rejected,       // the central system rejected the transaction
    NotConfirmed,   // the central system never accepted the transaction
    Aborted,        // the driver stopped before any energy flowed
    NoEnergy,       // the charge ended without delivering energy
    RemoteStop,     // the central system stopped the transaction
    Fault,          // a charger fault during the session
    EvDisconnected, // the cable was unplugged at the car
};

#endif // SESSIONEND_H
