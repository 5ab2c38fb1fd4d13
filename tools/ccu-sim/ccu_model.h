#ifndef CCU_SIM_MODEL_H
#define CCU_SIM_MODEL_H

// What the simulated CCU knows: plug, alarms, the charging session and its
// curve, the parameters the HMI sets. Time is passed in (seconds since the
// simulator started) so the curve follows the wall clock, not the poll rate.

#include "ccu_frame.h"

#include <string>

namespace ccusim {

struct Options
{
    bool plugged = false;
    double soc = 40;             // state of charge at the start of a session, %
    double handshakeSeconds = 2; // phase 1
    double prepareSeconds = 3;   // phase 2
    double chargeSeconds = 300;  // phase 3, from the start SOC to 100 %
    double stopSeconds = 2;      // phase 4
    double temperature = 25.3;   // cabinet, degC
};

class Model
{
public:
    explicit Model(const Options &options);

    // Brings the session up to the given time.
    void advance(double now);

    // Answers one sound request; `what` names it for the log. Returns false
    // when the request gets no answer.
    bool answer(const Request &request, double now, std::string &response, std::string &what);

    // One stdin command line; returns the text to print (may be empty) and
    // sets `quit` for "quit".
    std::string command(const std::string &line, double now, bool &quit);

    std::string describe() const;

    // Answer behaviour, settable by command.
    bool silent = false;
    int delayMs = 0;
    int rtnOnce = 0;   // answer the next request with this RTN
    int rtnAlways = 0; // answer every request with this RTN
    bool corrupt = false; // damage one digit of every answer (its checksum no longer fits)
    bool stray = false;   // put a stray byte before every answer

private:
    enum Phase { Idle = 0, Handshake = 1, Prepare = 2, Charging = 3, Stopping = 4, Suspended = 5, Finished = 6 };

    Bytes bootupInfo() const;
    Bytes statusInfo(double now) const;
    Bytes chargingInfo() const;
    Bytes alarmInfo() const;
    std::string control(uint8_t sub, double now);
    std::string setting(uint8_t cid2, const Bytes &info, uint8_t &rtn);
    void startSession(double now);
    void stopSession(double now, int reason);
    void endSession(int reason);
    int gunState() const;
    int systemState() const;
    void updateFaultState(double now);
    double current() const;
    double voltage() const;

    Options m_options;
    bool m_plugged;
    double m_temperature;
    int m_phase = Idle;
    double m_phaseSince = 0;
    double m_soc;
    double m_socRate = 0; // % per second in phase 3
    double m_lastAdvance = 0;
    double m_stopFromCurrent = 0;
    int m_stopReason = 0;
    int m_sysStateOverride = -1;
    uint8_t m_sysAlarm0 = 0; // byte 0: bit 0 rectifier communication
    uint8_t m_sysAlarm1 = 0; // byte 1
    uint8_t m_gunAlarm2 = 0; // byte 2: bit 0 PLC communication
    uint8_t m_gunAlarm3 = 0; // byte 3

    // Parameters the HMI sets.
    float m_voltageLimit = 7500; // 0.1 V
    float m_currentLimit = 200;  // A
    float m_powerLimit = 60;     // kW
    bool m_powerLimitEnable = false;
    int m_fanSpeed = 50;
    int m_alarmMask = 0;
};

} // namespace ccusim

#endif
