// meter-sim: a DC energy meter on a pseudo-terminal, for the HMI's RS485 link.
//
// Opens a pseudo-terminal, prints the device path of its far end as the first
// line on stdout and answers Modbus RTU requests there through libmodbus.
// Values change by commands on stdin; faults (silence, bad CRC, late answers)
// are switched by options or commands. See --help.

#include <modbus.h>

#include <pty.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <getopt.h>
#include <poll.h>
#include <sstream>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Register map (input registers, function 0x04): 32-bit IEEE-754 floats,
// most significant byte first, high register first.
constexpr int InputStart = 0x4000;
constexpr int InputCount = 0x20;
constexpr int RegVoltage = 0x4000; // V
constexpr int RegCurrent = 0x4002; // A
constexpr int RegPower = 0x4004;   // kW
constexpr int RegEnergy = 0x400E;  // kWh
// Holding registers (function 0x03): the serial number, 32 bits, high word first.
constexpr int HoldingStart = 0xFC00;
constexpr int HoldingCount = 2;

constexpr int DefaultLateMs = 1500;

const char *const HelpText =
    "Usage: meter-sim [options]\n"
    "A DC energy meter answering Modbus RTU (9600 8N1) on a pseudo-terminal.\n"
    "The first line on stdout is the device path to give the HMI (--meter-port).\n"
    "\n"
    "Options:\n"
    "  --voltage V       output voltage in volts (default 0)\n"
    "  --current A       output current in amperes (default 0)\n"
    "  --energy KWH      initial energy register in kWh (default 0)\n"
    "  --serial HEX      serial number, 8 hex digits (default 12ab34cd)\n"
    "  --slave N         Modbus slave address (default 1)\n"
    "  --silent          do not answer at all\n"
    "  --bad-crc         answer register reads with a corrupted CRC\n"
    "  --late[=MS]       answer MS milliseconds late (default 1500; the HMI\n"
    "                    evaluates 500 ms after its request)\n"
    "  --link PATH       also make PATH a symbolic link to the device (a fixed\n"
    "                    name for the HMI across restarts of the simulator)\n"
    "  --verbose         log every request and answer on stderr\n"
    "  --help            this text\n"
    "\n"
    "Registers (floats IEEE-754, most significant byte first, high word first):\n"
    "  input 0x4000-0x4001  voltage, V\n"
    "  input 0x4002-0x4003  current, A\n"
    "  input 0x4004-0x4005  power, kW (voltage x current)\n"
    "  input 0x400E-0x400F  energy register, kWh; grows with the power\n"
    "  input 0x4006-0x401F  zero\n"
    "  holding 0xFC00-0xFC01 serial number\n"
    "\n"
    "Commands on stdin (one per line; each is acknowledged on stdout):\n"
    "  voltage V | current A | energy KWH | serial HEX   set a value\n"
    "  silent on|off        stop answering / answer again\n"
    "  badcrc on|off        corrupt the CRC of register reads / stop\n"
    "  late on|off|MS       answer late (MS milliseconds, default 1500) / on time\n"
    "  normal               all faults off\n"
    "  show                 print values and faults\n"
    "  quit                 exit; SIGINT and SIGTERM exit too, while the end of\n"
    "                       stdin only ends the commands\n";

volatile std::sig_atomic_t g_quit = 0;

void onSignal(int)
{
    g_quit = 1;
}

// A float into two registers, high word first; libmodbus sends each register
// high byte first, so the value goes on the line most significant byte first.
// (Debian's libmodbus 3.1.6 swaps the bytes inside each register in
// modbus_set_float_abcd, so it is not used.)
void setFloat(float value, uint16_t *dest)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    dest[0] = uint16_t(bits >> 16);
    dest[1] = uint16_t(bits & 0xFFFF);
}

struct Meter
{
    float voltage = 0;
    float current = 0;
    double energy = 0; // kWh, kept in double so that small steps are not lost
    uint32_t serial = 0x12ab34cd;
    bool silent = false;
    bool badCrc = false;
    int lateMs = 0; // 0: on time
    bool verbose = false;
    Clock::time_point lastAdvance = Clock::now();

    double powerKw() const { return double(voltage) * double(current) / 1000.0; }

    // Integrate the power since the last call into the energy register.
    void advance()
    {
        const Clock::time_point now = Clock::now();
        const double hours = std::chrono::duration<double>(now - lastAdvance).count() / 3600.0;
        lastAdvance = now;
        if (powerKw() > 0)
            energy += powerKw() * hours;
    }

    void fill(modbus_mapping_t *map)
    {
        advance();
        auto reg = [map](int address) { return &map->tab_input_registers[address - InputStart]; };
        setFloat(voltage, reg(RegVoltage));
        setFloat(current, reg(RegCurrent));
        setFloat(float(powerKw()), reg(RegPower));
        setFloat(float(energy), reg(RegEnergy));
        map->tab_registers[0] = uint16_t(serial >> 16);
        map->tab_registers[1] = uint16_t(serial & 0xFFFF);
    }

    std::string describe()
    {
        advance();
        char text[256];
        std::snprintf(text, sizeof text,
                      "voltage=%.3f current=%.3f power=%.3f energy=%.6f serial=%08x silent=%s badcrc=%s late=%d",
                      double(voltage), double(current), powerKw(), energy, serial, silent ? "on" : "off",
                      badCrc ? "on" : "off", lateMs);
        return text;
    }
};

struct PendingAnswer
{
    Clock::time_point due;
    std::vector<uint8_t> query;
};

// Bitwise CRC-16/MODBUS, only to build deliberately broken answers.
uint16_t crc16(const uint8_t *data, size_t length)
{
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? uint16_t((crc >> 1) ^ 0xA001) : uint16_t(crc >> 1);
    }
    return crc;
}

bool parseFloat(const std::string &text, float *value)
{
    char *end = nullptr;
    errno = 0;
    const float v = std::strtof(text.c_str(), &end);
    if (text.empty() || errno != 0 || *end != '\0' || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

bool parseSerial(const std::string &text, uint32_t *value)
{
    char *end = nullptr;
    errno = 0;
    const unsigned long v = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || text.size() > 8 || errno != 0 || *end != '\0')
        return false;
    *value = uint32_t(v);
    return true;
}

bool parseLate(const std::string &text, int *ms)
{
    if (text == "on") {
        *ms = DefaultLateMs;
        return true;
    }
    if (text == "off") {
        *ms = 0;
        return true;
    }
    char *end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0' || v < 0 || v > 60000)
        return false;
    *ms = int(v);
    return true;
}

bool parseSwitch(const std::string &text, bool *on)
{
    if (text == "on")
        *on = true;
    else if (text == "off")
        *on = false;
    else
        return false;
    return true;
}

class Simulator
{
public:
    Simulator(Meter &meter, int masterFd, const char *device, int slave)
        : m_meter(meter), m_master(masterFd)
    {
        m_ctx = modbus_new_rtu(device, 9600, 'N', 8, 1);
        m_map = modbus_mapping_new_start_address(0, 0, 0, 0, HoldingStart, HoldingCount, InputStart, InputCount);
        if (m_ctx) {
            // libmodbus talks to our end of the pseudo-terminal directly; it
            // never opens the device itself.
            modbus_set_slave(m_ctx, slave);
            modbus_set_socket(m_ctx, masterFd);
            modbus_set_error_recovery(m_ctx, MODBUS_ERROR_RECOVERY_PROTOCOL);
        }
    }
    ~Simulator()
    {
        if (m_map)
            modbus_mapping_free(m_map);
        if (m_ctx)
            modbus_free(m_ctx); // not modbus_close(): the descriptor is ours
    }
    bool ok() const { return m_ctx && m_map; }

    void receive()
    {
        uint8_t query[MODBUS_RTU_MAX_ADU_LENGTH];
        const int length = modbus_receive(m_ctx, query);
        if (length <= 0) {
            if (length < 0 && m_meter.verbose)
                std::fprintf(stderr, "meter-sim: bad request: %s\n", modbus_strerror(errno));
            return;
        }
        if (m_meter.verbose)
            std::fprintf(stderr, "meter-sim: request function %02x, %d bytes\n", query[1], length);
        if (m_meter.silent) {
            if (m_meter.verbose)
                std::fprintf(stderr, "meter-sim: silent, no answer\n");
            return;
        }
        if (m_meter.lateMs > 0) {
            m_pending.push_back({Clock::now() + std::chrono::milliseconds(m_meter.lateMs),
                                 std::vector<uint8_t>(query, query + length)});
            return;
        }
        answer(query, length);
    }

    // Milliseconds until the next late answer is due, -1 when none is.
    int nextDueMs() const
    {
        if (m_pending.empty())
            return -1;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(m_pending.front().due - Clock::now());
        return left.count() < 0 ? 0 : int(left.count()) + 1;
    }

    void sendDue()
    {
        while (!m_pending.empty() && m_pending.front().due <= Clock::now()) {
            PendingAnswer p = std::move(m_pending.front());
            m_pending.pop_front();
            answer(p.query.data(), int(p.query.size()));
            if (m_meter.verbose)
                std::fprintf(stderr, "meter-sim: late answer sent\n");
        }
    }

private:
    void answer(const uint8_t *query, int length)
    {
        m_meter.fill(m_map);
        const uint8_t function = query[1];
        if (m_meter.badCrc && (function == 0x03 || function == 0x04) && length >= 8) {
            sendCorrupted(query);
            return;
        }
        if (modbus_reply(m_ctx, query, length, m_map) < 0)
            std::fprintf(stderr, "meter-sim: reply failed: %s\n", modbus_strerror(errno));
        else if (m_meter.verbose)
            std::fprintf(stderr, "meter-sim: answered\n");
    }

    // The register read answered as libmodbus would, with the CRC spoiled.
    void sendCorrupted(const uint8_t *query)
    {
        const int address = (query[2] << 8) | query[3];
        const int count = (query[4] << 8) | query[5];
        const bool input = query[1] == 0x04;
        const int start = input ? InputStart : HoldingStart;
        const int size = input ? InputCount : HoldingCount;
        const uint16_t *table = input ? m_map->tab_input_registers : m_map->tab_registers;
        if (count < 1 || count > 125 || address < start || address + count > start + size) {
            modbus_reply(m_ctx, query, 8, m_map); // out of range: the ordinary exception answer
            return;
        }
        std::vector<uint8_t> frame = {query[0], query[1], uint8_t(count * 2)};
        for (int i = 0; i < count; ++i) {
            frame.push_back(uint8_t(table[address - start + i] >> 8));
            frame.push_back(uint8_t(table[address - start + i] & 0xFF));
        }
        const uint16_t crc = uint16_t(crc16(frame.data(), frame.size()) ^ 0x0101);
        frame.push_back(uint8_t(crc & 0xFF));
        frame.push_back(uint8_t(crc >> 8));
        if (::write(m_master, frame.data(), frame.size()) < 0)
            std::perror("meter-sim: write");
        else if (m_meter.verbose)
            std::fprintf(stderr, "meter-sim: answered with a bad CRC\n");
    }

    Meter &m_meter;
    int m_master;
    modbus_t *m_ctx = nullptr;
    modbus_mapping_t *m_map = nullptr;
    std::deque<PendingAnswer> m_pending;
};

// Returns false when the simulator is to exit.
bool command(Meter &meter, const std::string &line)
{
    std::istringstream in(line);
    std::string verb, arg, extra;
    in >> verb >> arg >> extra;
    if (verb.empty())
        return true;
    bool good = extra.empty();
    if (verb == "quit" || verb == "exit") {
        std::printf("ok quit\n");
        return false;
    } else if (verb == "show") {
        std::printf("%s\n", meter.describe().c_str());
        return true;
    } else if (verb == "help") {
        std::fputs(HelpText, stdout);
        return true;
    } else if (verb == "normal") {
        meter.silent = meter.badCrc = false;
        meter.lateMs = 0;
    } else if (verb == "voltage" || verb == "current") {
        float v = 0;
        good = good && parseFloat(arg, &v);
        if (good) {
            meter.advance(); // the energy so far was made at the old power
            (verb == "voltage" ? meter.voltage : meter.current) = v;
        }
    } else if (verb == "energy") {
        float v = 0;
        good = good && parseFloat(arg, &v) && v >= 0;
        if (good) {
            meter.advance();
            meter.energy = v;
        }
    } else if (verb == "serial") {
        good = good && parseSerial(arg, &meter.serial);
    } else if (verb == "silent") {
        good = good && parseSwitch(arg, &meter.silent);
    } else if (verb == "badcrc") {
        good = good && parseSwitch(arg, &meter.badCrc);
    } else if (verb == "late") {
        good = good && parseLate(arg, &meter.lateMs);
    } else {
        good = false;
    }
    if (good)
        std::printf("ok %s\n", line.c_str());
    else
        std::printf("error: %s (try: help)\n", line.c_str());
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    Meter meter;
    int slave = 1;
    std::string linkPath;

    enum { OptVoltage = 256, OptCurrent, OptEnergy, OptSerial, OptSlave, OptSilent, OptBadCrc, OptLate, OptVerbose, OptHelp, OptLink };
    const option options[] = {
        {"voltage", required_argument, nullptr, OptVoltage},
        {"current", required_argument, nullptr, OptCurrent},
        {"energy", required_argument, nullptr, OptEnergy},
        {"serial", required_argument, nullptr, OptSerial},
        {"slave", required_argument, nullptr, OptSlave},
        {"silent", no_argument, nullptr, OptSilent},
        {"bad-crc", no_argument, nullptr, OptBadCrc},
        {"late", optional_argument, nullptr, OptLate},
        {"verbose", no_argument, nullptr, OptVerbose},
        {"link", required_argument, nullptr, OptLink},
        {"help", no_argument, nullptr, OptHelp},
        {nullptr, 0, nullptr, 0},
    };
    int opt;
    while ((opt = getopt_long(argc, argv, "", options, nullptr)) != -1) {
        bool good = true;
        float v = 0;
        switch (opt) {
        case OptVoltage: good = parseFloat(optarg, &meter.voltage); break;
        case OptCurrent: good = parseFloat(optarg, &meter.current); break;
        case OptEnergy:
            good = parseFloat(optarg, &v) && v >= 0;
            meter.energy = v;
            break;
        case OptSerial: good = parseSerial(optarg, &meter.serial); break;
        case OptSlave:
            slave = std::atoi(optarg);
            good = slave >= 1 && slave <= 247;
            break;
        case OptSilent: meter.silent = true; break;
        case OptBadCrc: meter.badCrc = true; break;
        case OptLate:
            meter.lateMs = DefaultLateMs;
            good = !optarg || parseLate(optarg, &meter.lateMs);
            break;
        case OptVerbose: meter.verbose = true; break;
        case OptLink: linkPath = optarg; break;
        case OptHelp: std::fputs(HelpText, stdout); return 0;
        default: std::fputs(HelpText, stderr); return 2;
        }
        if (!good) {
            std::fprintf(stderr, "meter-sim: bad value for option: %s\n", argv[optind - 1]);
            return 2;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr, "meter-sim: unexpected argument: %s\n", argv[optind]);
        return 2;
    }

    // Raw line: no echo, no line editing, no translation of bytes.
    termios raw{};
    cfmakeraw(&raw);
    cfsetispeed(&raw, B9600);
    cfsetospeed(&raw, B9600);
    int master = -1, slaveFd = -1;
    char device[256] = {};
    if (openpty(&master, &slaveFd, device, &raw, nullptr) != 0) {
        std::perror("meter-sim: openpty");
        return 1;
    }
    // The far end stays open here as well, so that the HMI closing and
    // reopening the port never leaves our end without a peer.

    Simulator sim(meter, master, device, slave);
    if (!sim.ok()) {
        std::fprintf(stderr, "meter-sim: libmodbus set-up failed\n");
        return 1;
    }

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
        if (::symlink(device, linkPath.c_str()) != 0) {
            std::perror("meter-sim: symlink");
            linkPath.clear();
        }
    }

    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::printf("%s\n", device);

    bool stdinOpen = true;
    std::string input;
    bool running = true;
    while (running && !g_quit) {
        pollfd fds[2] = {{master, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int n = poll(fds, stdinOpen ? 2 : 1, sim.nextDueMs());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            std::perror("meter-sim: poll");
            break;
        }
        if (fds[0].revents & POLLIN)
            sim.receive();
        if (stdinOpen && (fds[1].revents & (POLLIN | POLLHUP | POLLERR))) {
            char buffer[512];
            const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0) {
                stdinOpen = false; // keep serving without commands
            } else {
                input.append(buffer, size_t(got));
                size_t end;
                while (running && (end = input.find('\n')) != std::string::npos) {
                    std::string line = input.substr(0, end);
                    input.erase(0, end + 1);
                    if (!line.empty() && line.back() == '\r')
                        line.pop_back();
                    running = command(meter, line);
                }
                if (input.size() > 4096)
                    input.clear(); // no line is that long
            }
        }
        sim.sendDue();
    }

    if (!linkPath.empty())
        ::unlink(linkPath.c_str());
    ::close(slaveFd);
    ::close(master);
    return 0;
}
