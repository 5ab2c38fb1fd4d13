// ccu-sim: a charging control unit on a pseudo-terminal, for the HMI to talk
// to without the hardware. Prints the device path on the first line of
// stdout, takes commands on stdin, logs every frame it receives on stderr.

#include "ccu_frame.h"
#include "ccu_model.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

using namespace ccusim;

namespace {

volatile std::sig_atomic_t g_quit = 0;

void onSignal(int) { g_quit = 1; }

const char Usage[] =
    "Usage: ccu-sim [options]\n"
    "\n"
    "A charging control unit on a pseudo-terminal. Prints the device path on the\n"
    "first line of stdout; give it to the HMI with --ccu-port PATH (or HMI_CCU_PORT).\n"
    "Answers boot-up, status, charging-data and alarm reads, obeys start, stop and\n"
    "the settings, and logs every frame it receives on stderr.\n"
    "\n"
    "Options:\n"
    "  --plugged               start with the vehicle plugged in\n"
    "  --soc N                 state of charge when a session starts (default 40)\n"
    "  --charge-seconds S      phase 3 lasts S seconds, from that SOC to 100 % (default 300)\n"
    "  --handshake-seconds S   phase 1 (handshaking) lasts S seconds (default 2)\n"
    "  --prepare-seconds S     phase 2 (preparing) lasts S seconds (default 3)\n"
    "  --stop-seconds S        phase 4 (stopping) lasts S seconds (default 2)\n"
    "  --temperature C         cabinet temperature in degC (default 25.3)\n"
    "  --delay-ms MS           answer each request after MS milliseconds (default 0)\n"
    "  --silent                answer nothing until 'silent off'\n"
    "  --corrupt               damage one digit of every answer (checksum no longer fits)\n"
    "  --stray                 put a stray byte before every answer\n"
    "  --link PATH             also make PATH a symbolic link to the device\n"
    "  --control PATH          also read commands from the named pipe PATH (made if\n"
    "                          missing), e.g. echo plug > PATH\n"
    "  --verbose               log the frames sent as well\n"
    "  -h, --help              this text\n"
    "\n"
    "Charging: a start command runs phases 1 and 2, then 3 (charging) with voltage,\n"
    "current, SOC and the time to full following the curve; at 100 % the session\n"
    "ends in phase 6 with stop reason 6. A stop command goes through phase 4 to 6\n"
    "with stop reason 5. The gun reports 'delivering' (1) in phases 1 to 5.\n"
    "\n"
    "Commands on stdin or the control pipe (one per line; answers go to stdout):\n"
    "  plug | unplug           vehicle connector in or out (out while charging ends\n"
    "                          the session with stop reason 9)\n"
    "  start                   start a session as if the HMI had asked\n"
    "  stop [REASON]           end the session from the CCU side (reason, default 6)\n"
    "  reboot                  restart: a session is forgotten (idle, no phase 6)\n"
    "  fault sys NAME          raise a system alarm: rectcom door epo spd rectifier\n"
    "                          overtemp fan others power (spd, overtemp, fan, others\n"
    "                          leave the charger available: system state 1; the others\n"
    "                          stop it: system state 2 and the session ends)\n"
    "  fault gun NAME          raise a gun 1 alarm: plc iso elock overtemp rectifier\n"
    "                          others rectcom isocom short (gun state 2, session ends)\n"
    "  clear sys|gun NAME|all  clear one alarm or all of one kind; 'clear all' clears all\n"
    "  sysstate N|auto         report system state N (0 normal, 1 alarm, 2 fault,\n"
    "                          3 updating) instead of the one the alarms give\n"
    "  reason N                report stop-reason code N\n"
    "  soc N                   set the state of charge\n"
    "  temp C                  set the cabinet temperature\n"
    "  silent on|off           stop / resume answering (link loss on the HMI side)\n"
    "  delay MS                answer after MS milliseconds\n"
    "  corrupt on|off          damage / stop damaging one digit of every answer\n"
    "  stray on|off            put / stop putting a stray byte before every answer\n"
    "  rtn N [always]          answer the next request (or every one) with RTN N;\n"
    "                          'rtn 0 always' returns to normal answers\n"
    "  garbage                 send a line of noise\n"
    "  status                  print the state\n"
    "  help                    this text\n"
    "  quit                    exit (so do SIGINT and SIGTERM)\n";

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void logLine(double now, const std::string &text)
{
    std::fprintf(stderr, "[%9.3f] %s\n", now, text.c_str());
}

std::string printable(const std::string &frame)
{
    std::string out;
    for (unsigned char c : frame) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

bool numberArg(int &i, int argc, char **argv, double &out)
{
    if (i + 1 >= argc)
        return false;
    char *end = nullptr;
    out = std::strtod(argv[++i], &end);
    return end && *end == '\0';
}

void writeAll(int fd, const std::string &data, double now)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n > 0) {
            done += size_t(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            logLine(now, "tx dropped: line not taking data");
            return;
        }
    }
}

struct Pending
{
    double due;
    std::string frame;
};

} // namespace

int main(int argc, char **argv)
{
    Options options;
    std::string linkPath;
    std::string controlPath;
    bool verbose = false;
    bool silent = false;
    bool corrupt = false;
    bool stray = false;
    int delayMs = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        double v = 0;
        bool ok = true;
        if (a == "-h" || a == "--help") {
            std::fputs(Usage, stdout);
            return 0;
        } else if (a == "--plugged") {
            options.plugged = true;
        } else if (a == "--silent") {
            silent = true;
        } else if (a == "--corrupt") {
            corrupt = true;
        } else if (a == "--stray") {
            stray = true;
        } else if (a == "--verbose") {
            verbose = true;
        } else if (a == "--link" && i + 1 < argc) {
            linkPath = argv[++i];
        } else if (a == "--control" && i + 1 < argc) {
            controlPath = argv[++i];
        } else if (a == "--soc" && (ok = numberArg(i, argc, argv, v))) {
            options.soc = v;
        } else if (a == "--charge-seconds" && (ok = numberArg(i, argc, argv, v))) {
            options.chargeSeconds = v;
        } else if (a == "--handshake-seconds" && (ok = numberArg(i, argc, argv, v))) {
            options.handshakeSeconds = v;
        } else if (a == "--prepare-seconds" && (ok = numberArg(i, argc, argv, v))) {
            options.prepareSeconds = v;
        } else if (a == "--stop-seconds" && (ok = numberArg(i, argc, argv, v))) {
            options.stopSeconds = v;
        } else if (a == "--temperature" && (ok = numberArg(i, argc, argv, v))) {
            options.temperature = v;
        } else if (a == "--delay-ms" && (ok = numberArg(i, argc, argv, v))) {
            delayMs = int(v);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "ccu-sim: bad option or value: %s\n\n%s", a.c_str(), Usage);
            return 2;
        }
    }

    int master = -1, slave = -1;
    char name[256] = {0};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0) {
        std::perror("ccu-sim: openpty");
        return 1;
    }
    // Raw from the start: a cooked slave would echo our answers back to us
    // before the HMI opens it. Our own slave descriptor stays open so the
    // master never sees a hang-up while the HMI has the port closed.
    termios tio {};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    cfsetispeed(&tio, B19200);
    cfsetospeed(&tio, B19200);
    tcsetattr(slave, TCSANOW, &tio);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);

    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
        if (::symlink(name, linkPath.c_str()) != 0) {
            std::perror("ccu-sim: symlink");
            linkPath.clear();
        }
    }

    int control = -1;
    bool controlMade = false;
    if (!controlPath.empty()) {
        if (::mkfifo(controlPath.c_str(), 0600) == 0)
            controlMade = true;
        else if (errno != EEXIST)
            std::perror("ccu-sim: mkfifo");
        // Opened for writing too, so that writers coming and going never
        // leave us at end-of-file.
        control = ::open(controlPath.c_str(), O_RDWR | O_NONBLOCK);
        if (control < 0)
            std::perror("ccu-sim: control pipe");
    }

    std::printf("%s\n", name);
    std::fflush(stdout);

    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    const auto start = std::chrono::steady_clock::now();
    Model model(options);
    model.silent = silent;
    model.corrupt = corrupt;
    model.stray = stray;
    model.delayMs = delayMs;

    std::string rx, input, controlInput;
    std::deque<Pending> pending;
    bool stdinOpen = true;
    bool quit = false;
    double masterQuietUntil = 0;
    logLine(0, std::string("ccu-sim on ") + name + (options.plugged ? " (plugged)" : ""));

    while (!quit && !g_quit) {
        double now = secondsSince(start);
        int timeoutMs = 250;
        if (!pending.empty())
            timeoutMs = std::max(0, std::min(timeoutMs, int((pending.front().due - now) * 1000) + 1));
        pollfd fds[3];
        int n = 0;
        const bool watchMaster = now >= masterQuietUntil;
        if (watchMaster)
            fds[n++] = {master, POLLIN, 0};
        const int stdinSlot = stdinOpen ? n : -1;
        if (stdinOpen)
            fds[n++] = {STDIN_FILENO, POLLIN, 0};
        const int controlSlot = control >= 0 ? n : -1;
        if (control >= 0)
            fds[n++] = {control, POLLIN, 0};
        const int r = ::poll(fds, nfds_t(n), timeoutMs);
        if (r < 0 && errno != EINTR) {
            std::perror("ccu-sim: poll");
            break;
        }
        now = secondsSince(start);
        model.advance(now);

        if (r > 0 && watchMaster && fds[0].revents) {
            char buf[1024];
            const ssize_t got = ::read(master, buf, sizeof buf);
            if (got > 0) {
                rx.append(buf, size_t(got));
            } else if (got < 0 && errno != EAGAIN && errno != EINTR) {
                // No reader on the slave side; look again shortly.
                masterQuietUntil = now + 0.2;
            }
            size_t cr;
            while ((cr = rx.find('\r')) != std::string::npos) {
                std::string frame = rx.substr(0, cr);
                rx.erase(0, cr + 1);
                const size_t soi = frame.find('~');
                if (soi == std::string::npos) {
                    logLine(now, "rx noise: " + printable(frame));
                    continue;
                }
                if (soi > 0) {
                    logLine(now, "rx noise before frame: " + printable(frame.substr(0, soi)));
                    frame.erase(0, soi);
                }
                const Request req = parseRequest(frame);
                std::string line = "rx " + frame;
                std::string response;
                bool reply = false;
                if (!req.problem.empty()) {
                    line += "  BAD: " + req.problem;
                    if (req.answer && !model.silent) {
                        response = buildResponse(req.rtn, {});
                        reply = true;
                    }
                } else {
                    std::string what;
                    reply = model.answer(req, now, response, what);
                    line += "  " + what;
                }
                if (req.lowerCase)
                    line += " (lower-case hex)";
                if (model.silent)
                    line += " (silent)";
                logLine(now, line);
                if (reply)
                    pending.push_back({now + model.delayMs / 1000.0, response});
            }
            if (rx.size() > 8192) {
                logLine(now, "rx noise: dropped 8192 bytes without a carriage return");
                rx.clear();
            }
        }

        auto takeCommands = [&](std::string &buffer) {
            size_t nl;
            while ((nl = buffer.find('\n')) != std::string::npos) {
                std::string line = buffer.substr(0, nl);
                buffer.erase(0, nl + 1);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                std::string reply;
                if (line == "help") {
                    reply = Usage;
                } else if (line == "garbage") {
                    writeAll(master, "\x01noise~ZZ\r", now);
                    reply = "ok";
                } else {
                    reply = model.command(line, now, quit);
                }
                if (!line.empty())
                    logLine(now, "cmd " + line + " -> " + reply.substr(0, reply.find('\n')));
                if (!reply.empty()) {
                    std::fputs(reply.c_str(), stdout);
                    if (reply.back() != '\n')
                        std::fputc('\n', stdout);
                    std::fflush(stdout);
                }
            }
            if (buffer.size() > 4096)
                buffer.clear(); // no command is that long
        };

        if (stdinSlot >= 0 && r > 0 && fds[stdinSlot].revents) {
            char buf[512];
            const ssize_t got = ::read(STDIN_FILENO, buf, sizeof buf);
            if (got <= 0 && !(got < 0 && errno == EINTR))
                stdinOpen = false; // keep running without a console
            else if (got > 0)
                input.append(buf, size_t(got));
            takeCommands(input);
        }
        if (controlSlot >= 0 && r > 0 && fds[controlSlot].revents) {
            char buf[512];
            const ssize_t got = ::read(control, buf, sizeof buf);
            if (got > 0)
                controlInput.append(buf, size_t(got));
            takeCommands(controlInput);
        }

        while (!pending.empty() && pending.front().due <= now) {
            if (verbose)
                logLine(now, "tx " + printable(pending.front().frame));
            writeAll(master, pending.front().frame, now);
            pending.pop_front();
        }
    }

    if (!linkPath.empty())
        ::unlink(linkPath.c_str());
    if (control >= 0)
        ::close(control);
    if (controlMade)
        ::unlink(controlPath.c_str());
    ::close(master);
    ::close(slave);
    return 0;
}
