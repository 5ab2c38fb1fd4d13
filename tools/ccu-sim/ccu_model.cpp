#include "ccu_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <sstream>

namespace ccusim {

namespace {

struct Alarm
{
    const char *name;
    int byte;
    int bit;
    int stopReason; // stop-reason code reported when it ends a session
    bool fault;     // system alarms: true stops the charger (system state 2)
};

// System alarms: bytes 0 and 1 of the alarm answer.
const Alarm SystemAlarms[] = {
    {"rectcom", 0, 0, 30, true},   {"door", 1, 0, 25, true},   {"epo", 1, 1, 26, true},
    {"spd", 1, 2, 27, false},      {"rectifier", 1, 3, 28, true}, {"overtemp", 1, 4, 0, false},
    {"fan", 1, 5, 0, false},       {"others", 1, 6, 0, false},  {"power", 1, 7, 29, true},
};

// Gun 1 alarms: bytes 2 and 3. Every one of them faults the gun.
const Alarm GunAlarms[] = {
    {"plc", 2, 0, 21, true},       {"iso", 3, 0, 7, true},     {"elock", 3, 1, 31, true},
    {"overtemp", 3, 2, 32, true},  {"rectifier", 3, 3, 28, true}, {"others", 3, 4, 34, true},
    {"rectcom", 3, 5, 30, true},   {"isocom", 3, 6, 8, true},  {"short", 3, 7, 33, true},
};

template <size_t N>
const Alarm *findAlarm(const Alarm (&table)[N], const std::string &name)
{
    for (const Alarm &a : table)
        if (name == a.name)
            return &a;
    return nullptr;
}

template <size_t N>
std::string alarmNames(const Alarm (&table)[N])
{
    std::string out;
    for (const Alarm &a : table)
        out += (out.empty() ? "" : " ") + std::string(a.name);
    return out;
}

uint16_t clampU16(double v)
{
    if (!(v > 0))
        return 0;
    return uint16_t(std::min(v, 65535.0));
}

std::string fmt(const char *format, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

float floatAt(const Bytes &b, size_t i)
{
    uint32_t raw = 0;
    for (int k = 0; k < 4; ++k)
        raw |= uint32_t(b[i + k]) << (8 * k);
    float v;
    std::memcpy(&v, &raw, sizeof v);
    return v;
}

} // namespace

Model::Model(const Options &options)
    : m_options(options), m_plugged(options.plugged), m_temperature(options.temperature), m_soc(options.soc)
{
}

int Model::systemState() const
{
    if (m_sysStateOverride >= 0)
        return m_sysStateOverride;
    int state = 0;
    for (const Alarm &a : SystemAlarms) {
        const uint8_t byte = a.byte == 0 ? m_sysAlarm0 : m_sysAlarm1;
        if (byte >> a.bit & 1)
            state = std::max(state, a.fault ? 2 : 1);
    }
    return state;
}

int Model::gunState() const
{
    if (m_gunAlarm2 || m_gunAlarm3)
        return 2;
    return (m_phase >= Handshake && m_phase <= Suspended) ? 1 : 0;
}

double Model::voltage() const
{
    switch (m_phase) {
    case Prepare:
    case Charging:
    case Stopping:
    case Suspended:
        return std::min(350.0 + 0.7 * m_soc, m_voltageLimit / 10.0);
    default:
        return 0;
    }
}

double Model::current() const
{
    if (m_phase == Stopping) {
        const double left = m_options.stopSeconds > 0
                                ? 1.0 - (m_lastAdvance - m_phaseSince) / m_options.stopSeconds
                                : 0.0;
        return std::max(0.0, m_stopFromCurrent * left);
    }
    if (m_phase != Charging)
        return 0;
    // Constant current up to 80 %, then tapering towards 10 A at full.
    double i = m_soc < 80 ? 120.0 : 120.0 - (m_soc - 80) * 5.5;
    i = std::min(i, double(m_currentLimit));
    const double v = voltage();
    if (m_powerLimitEnable && v > 0)
        i = std::min(i, m_powerLimit * 1000.0 / v);
    return std::max(0.0, i);
}

void Model::advance(double now)
{
    if (now < m_lastAdvance)
        now = m_lastAdvance;
    for (;;) {
        const double in = now - m_phaseSince;
        if (m_phase == Handshake && in >= m_options.handshakeSeconds) {
            m_phaseSince += m_options.handshakeSeconds;
            m_phase = Prepare;
        } else if (m_phase == Prepare && in >= m_options.prepareSeconds) {
            m_phaseSince += m_options.prepareSeconds;
            m_phase = Charging;
            m_lastAdvance = m_phaseSince;
            m_socRate = m_options.chargeSeconds > 0 ? (100.0 - m_soc) / m_options.chargeSeconds : 1e9;
        } else if (m_phase == Charging) {
            m_soc += m_socRate * (now - m_lastAdvance);
            if (m_soc >= 100) {
                m_soc = 100;
                endSession(6); // the vehicle asks to stop when full
            }
            break;
        } else if (m_phase == Stopping && in >= m_options.stopSeconds) {
            endSession(m_stopReason);
        } else {
            break;
        }
    }
    m_lastAdvance = now;
}

void Model::startSession(double now)
{
    m_phase = Handshake;
    m_phaseSince = now;
    m_lastAdvance = now;
    m_stopReason = 0;
}

void Model::stopSession(double now, int reason)
{
    if (m_phase < Handshake || m_phase == Stopping || m_phase == Finished)
        return;
    m_stopFromCurrent = current();
    m_phase = Stopping;
    m_phaseSince = now;
    m_stopReason = reason;
}

void Model::endSession(int reason)
{
    m_phase = Finished;
    m_stopReason = reason;
}

void Model::updateFaultState(double now)
{
    (void)now;
    if (m_phase < Handshake || m_phase == Finished)
        return;
    // A faulted gun or a stopped charger ends the session at once.
    int reason = -1;
    for (const Alarm &a : GunAlarms) {
        const uint8_t byte = a.byte == 2 ? m_gunAlarm2 : m_gunAlarm3;
        if ((byte >> a.bit & 1) && reason < 0)
            reason = a.stopReason;
    }
    if (reason < 0 && systemState() == 2) {
        reason = 0;
        for (const Alarm &a : SystemAlarms) {
            const uint8_t byte = a.byte == 0 ? m_sysAlarm0 : m_sysAlarm1;
            if ((byte >> a.bit & 1) && a.fault) {
                reason = a.stopReason;
                break;
            }
        }
    }
    if (reason >= 0)
        endSession(reason);
}

Bytes Model::bootupInfo() const
{
    Bytes b;
    const char bar[] = "SIMCCU-0001-GUN1";
    for (int i = 0; i < 24; ++i)
        b.push_back(i < int(sizeof bar) - 1 ? uint8_t(bar[i]) : 0);
    const uint8_t mac[8] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E, 0x00, 0x00};
    b.insert(b.end(), mac, mac + 8);
    b.push_back(1);    // 32 available guns
    b.push_back(0);    // 33
    b.push_back(0);    // 34
    b.push_back(0x01); // 35 gun 1 self-check enabled
    b.push_back(0x55); // 36 EPO level 1, door and SPD protection on, e-lock type 1
    putU16(b, clampU16(m_voltageLimit)); // 37-38 output voltage limit, 0.1 V
    b.push_back(m_powerLimitEnable ? 1 : 0); // 39
    const uint8_t fw[8] = {0x01, 0x02, 0x00, 0x07, 0x20, 0x24, 0x05, 0x01};
    b.insert(b.end(), fw, fw + 8);  // 40-47
    b.push_back(0x01);              // 48 CCU address
    b.push_back(0xEE);              // 49 reserved
    b.push_back(uint8_t(m_fanSpeed)); // 50
    b.push_back(0xEE);              // 51 reserved
    return b;
}

Bytes Model::statusInfo(double now) const
{
    (void)now;
    Bytes b;
    putU16(b, clampU16(std::lround(m_temperature * 10)));
    b.push_back(uint8_t(systemState()));
    b.push_back(0);
    b.push_back(uint8_t(gunState()));
    b.push_back(0);
    b.push_back(m_plugged ? 1 : 0);
    // The CCU clock: seconds since the epoch, not interpreted by the HMI.
    const uint32_t t = uint32_t(std::time(nullptr));
    for (int shift = 24; shift >= 0; shift -= 8)
        b.push_back(uint8_t(t >> shift));
    b.push_back(0);
    return b;
}

Bytes Model::chargingInfo() const
{
    const double v = voltage();
    const double i = current();
    Bytes b;
    b.push_back(uint8_t(m_phase));
    putFloat(b, float(v));
    putFloat(b, float(i));
    b.push_back(1); // 9 vehicle protocol
    b.push_back(uint8_t(std::floor(m_soc)));
    b.push_back(100); // 11
    b.push_back(80);  // 12
    putFloat(b, float(m_phase == Charging ? v + 5 : 0));
    putFloat(b, float(m_phase == Charging ? 120 : 0));
    uint16_t toFull = 0, toBulk = 0;
    if (m_phase == Charging && m_socRate > 0) {
        toFull = clampU16(std::ceil((100.0 - m_soc) / m_socRate / 60.0));
        toBulk = m_soc < 80 ? clampU16(std::ceil((80.0 - m_soc) / m_socRate / 60.0)) : 0;
    } else if (m_phase == Handshake || m_phase == Prepare) {
        toFull = clampU16(std::ceil(m_options.chargeSeconds / 60.0));
    }
    putU16(b, toFull);                                   // 21-22
    putU16(b, toBulk);                                   // 23-24
    putU16(b, 450);                                      // 25-26 vehicle voltage limit, V
    putU16(b, 200);                                      // 27-28 vehicle current limit, A
    putU16(b, uint16_t(int16_t(550)));                   // 29-30 55.0 degC
    putU16(b, uint16_t(int16_t(250 + m_soc)));           // 31-32 warmest cell, 0.1 degC
    putU16(b, clampU16(m_phase >= Prepare && m_phase <= Suspended ? 36 + m_soc / 20 : 0)); // 33-34
    b.push_back(uint8_t(m_stopReason));                  // 35
    b.push_back(0);                                      // 36 diagnostic code
    while (b.size() < 42)
        b.push_back(0);
    return b;
}

Bytes Model::alarmInfo() const
{
    return Bytes{m_sysAlarm0, m_sysAlarm1, m_gunAlarm2, m_gunAlarm3, 0, 0, 0};
}

std::string Model::control(uint8_t sub, double now)
{
    switch (sub) {
    case 0x01:
        if (!m_plugged)
            return "start command (ignored: not plugged)";
        if (gunState() == 2 || systemState() == 2)
            return "start command (ignored: faulted)";
        if (m_phase == Suspended) {
            m_phase = Charging;
            m_lastAdvance = now;
            return "start command (resumed)";
        }
        if (m_phase >= Handshake && m_phase <= Stopping)
            return "start command (already charging)";
        startSession(now);
        return "start command";
    case 0x00:
        stopSession(now, 5);
        return "stop command";
    case 0x02:
        if (m_phase == Charging)
            m_phase = Suspended;
        return "suspend command";
    case 0xE0: return "lock command";
    case 0xE1: return "unlock command";
    case 0xAA: return "pending command";
    default: return "unknown control sub-code";
    }
}

std::string Model::setting(uint8_t cid2, const Bytes &info, uint8_t &rtn)
{
    rtn = RtnOk;
    const uint8_t code = info.empty() ? 0 : info[0];
    if (cid2 == 0x45 && (code == 0x81 || code == 0x91) && info.size() == 5) {
        const float v = floatAt(info, 1);
        (code == 0x81 ? m_currentLimit : m_powerLimit) = v;
        return (code == 0x81 ? "current limit " : "power limit ") + fmt("%.1f", v);
    }
    if (cid2 == 0x44 && code == 0x84 && info.size() == 5) {
        m_voltageLimit = floatAt(info, 1);
        return "voltage limit " + fmt("%.1f", m_voltageLimit);
    }
    if (cid2 == 0x44 && code == 0x85 && info.size() == 2) {
        m_powerLimitEnable = info[1] != 0;
        return m_powerLimitEnable ? "power limit enabled" : "power limit disabled";
    }
    if (cid2 == 0x44 && code == 0x87 && info.size() == 2) {
        m_fanSpeed = info[1];
        return "fan speed " + std::to_string(m_fanSpeed);
    }
    if (cid2 == 0x44 && code == 0x83 && info.size() == 3) {
        m_alarmMask = info[1] << 8 | info[2];
        return "alarm mask " + std::to_string(m_alarmMask);
    }
    rtn = RtnInvalidData;
    return "setting not understood";
}

bool Model::answer(const Request &request, double now, std::string &response, std::string &what)
{
    advance(now);
    uint8_t rtn = RtnOk;
    Bytes info;
    switch (request.cid2) {
    case 0x41: what = "boot-up read"; info = bootupInfo(); break;
    case 0x42: what = "status read"; info = statusInfo(now); break;
    case 0x43:
        what = "charging-data read";
        if (request.info.size() == 1 && request.info[0] == 1)
            info = chargingInfo();
        else
            rtn = RtnInvalidData;
        break;
    case 0x46: what = "alarm read"; info = alarmInfo(); break;
    case 0x45:
        if (request.info.size() == 2 && request.info[0] == 0x71) {
            what = control(request.info[1], now);
            break;
        }
        what = setting(request.cid2, request.info, rtn);
        break;
    case 0x44: what = setting(request.cid2, request.info, rtn); break;
    default: what = "unknown command"; rtn = RtnUnknownCommand; break;
    }
    if (silent)
        return false;
    if (rtnOnce) {
        rtn = uint8_t(rtnOnce);
        rtnOnce = 0;
        info.clear();
    } else if (rtnAlways) {
        rtn = uint8_t(rtnAlways);
        info.clear();
    }
    if (rtn != RtnOk)
        info.clear();
    response = buildResponse(rtn, info);
    if (corrupt) {
        // The first INFO digit (or, without INFO, the first checksum digit)
        // becomes another hexadecimal digit, as one damaged bit would.
        const size_t at = info.empty() ? response.size() - 5 : 13;
        response[at] = response[at] == '8' ? '0' : '8';
        what += " (answer damaged)";
    }
    if (stray)
        response.insert(response.begin(), char(0xA5));
    return true;
}

std::string Model::describe() const
{
    std::ostringstream s;
    s.setf(std::ios::fixed);
    s.precision(1);
    s << "plugged=" << m_plugged << " phase=" << m_phase << " soc=" << m_soc << " V=" << voltage()
      << " I=" << current() << " gun=" << gunState() << " sys=" << systemState() << " alarms=" << hex(alarmInfo())
      << " reason=" << m_stopReason << " temp=" << m_temperature << " vlimit=" << m_voltageLimit / 10.0
      << " ilimit=" << m_currentLimit << " plimit=" << m_powerLimit << " plimit_en=" << m_powerLimitEnable
      << " fan=" << m_fanSpeed << " mask=" << m_alarmMask << " silent=" << silent << " delay_ms=" << delayMs
      << " rtn=" << rtnAlways << " corrupt=" << corrupt << " stray=" << stray;
    return s.str();
}

std::string Model::command(const std::string &line, double now, bool &quit)
{
    advance(now);
    std::istringstream in(line);
    std::string verb, a, b;
    in >> verb >> a >> b;
    if (verb.empty())
        return "";
    if (verb == "plug") {
        if (!m_plugged && (m_phase == Idle || m_phase == Finished)) {
            m_phase = Idle;
            m_soc = m_options.soc; // another vehicle
        }
        m_plugged = true;
        return "ok plugged";
    }
    if (verb == "unplug") {
        if (m_phase >= Handshake && m_phase <= Suspended)
            endSession(9);
        m_plugged = false;
        return "ok unplugged";
    }
    if (verb == "start")
        return "ok " + control(0x01, now);
    if (verb == "stop") {
        stopSession(now, a.empty() ? 6 : std::atoi(a.c_str()));
        return "ok stopping";
    }
    if (verb == "reboot") {
        // A CCU that restarts forgets its session: idle at once, no phase 4
        // or 6, no stop reason.
        m_phase = Idle;
        m_phaseSince = now;
        return "ok rebooted";
    }
    if (verb == "fault" || verb == "clear") {
        const bool raise = verb == "fault";
        if (!raise && a == "all") {
            m_sysAlarm0 = m_sysAlarm1 = m_gunAlarm2 = m_gunAlarm3 = 0;
            return "ok all alarms cleared";
        }
        const bool sys = a == "sys";
        if (!sys && a != "gun")
            return "error: say sys or gun";
        const Alarm *alarm = sys ? findAlarm(SystemAlarms, b) : findAlarm(GunAlarms, b);
        if (!alarm && !(b == "all" && !raise))
            return "error: alarms are " + (sys ? alarmNames(SystemAlarms) : alarmNames(GunAlarms));
        if (!alarm) {
            (sys ? m_sysAlarm0 : m_gunAlarm2) = 0;
            (sys ? m_sysAlarm1 : m_gunAlarm3) = 0;
            return "ok " + a + " alarms cleared";
        }
        uint8_t &byte = alarm->byte == 0 ? m_sysAlarm0 : alarm->byte == 1 ? m_sysAlarm1
                        : alarm->byte == 2 ? m_gunAlarm2 : m_gunAlarm3;
        if (raise)
            byte |= uint8_t(1u << alarm->bit);
        else
            byte &= uint8_t(~(1u << alarm->bit));
        updateFaultState(now);
        return "ok " + verb + " " + a + " " + b;
    }
    if (verb == "sysstate") {
        m_sysStateOverride = (a == "auto" || a.empty()) ? -1 : std::atoi(a.c_str());
        updateFaultState(now);
        return "ok";
    }
    if (verb == "reason") {
        m_stopReason = std::atoi(a.c_str());
        return "ok";
    }
    if (verb == "soc") {
        m_soc = std::max(0.0, std::min(100.0, std::atof(a.c_str())));
        return "ok";
    }
    if (verb == "temp") {
        m_temperature = std::atof(a.c_str());
        return "ok";
    }
    if (verb == "silent") {
        silent = a != "off";
        return silent ? "ok silent" : "ok answering";
    }
    if (verb == "corrupt" || verb == "stray") {
        (verb == "corrupt" ? corrupt : stray) = a != "off";
        return "ok " + verb + (a == "off" ? " off" : " on");
    }
    if (verb == "delay") {
        delayMs = std::max(0, std::atoi(a.c_str()));
        return "ok";
    }
    if (verb == "rtn") {
        const int code = std::atoi(a.c_str()) & 0xFF;
        if (b == "always")
            rtnAlways = code;
        else
            rtnOnce = code;
        return "ok";
    }
    if (verb == "status")
        return describe();
    if (verb == "quit") {
        quit = true;
        return "ok bye";
    }
    return "error: unknown command (try help)";
}

} // namespace ccusim
