#ifndef MONKEY_RECORD_H
#define MONKEY_RECORD_H

// What the monkey's lives share with the process that starts them: mapped
// shared memory, written by the life (one thread) and read by the starter
// while it waits. The starter reports a life that crashed or hangs from it,
// and sums the figures of all lives.

#include <atomic>
#include <cstdint>

namespace monkey {

struct Figures
{
    std::atomic<int64_t> steps{0};
    std::atomic<int64_t> ticks{0};
    std::atomic<int64_t> touches{0};
    std::atomic<int64_t> keys{0};
    std::atomic<int64_t> peerEvents{0};
    std::atomic<int64_t> sessions{0};       // charging pages reached
    std::atomic<int64_t> transactions{0};   // StartTransaction seen by the OCPP client
    std::atomic<int64_t> resets{0};         // reset scripts run
    std::atomic<int64_t> exits{0};          // exit button touched
    std::atomic<int64_t> clientRestarts{0};
    std::atomic<int64_t> findings{0};       // faults of the session's rules, reported, not fatal
    std::atomic<int64_t> maxRssKb{0};       // peak resident set of a life
    std::atomic<int64_t> maxLoopLatencyMs{0};
};

constexpr int ActionText = 200;
constexpr int RecentActions = 12;

struct Record
{
    Figures figures;
    std::atomic<int64_t> lastRegisterTenths{-1}; // energy register file, last value read
    std::atomic<int64_t> heartbeatMs{0}; // monotonic clock of the life's last sign of progress
    std::atomic<int> life{0};
    std::atomic<int> recentNext{0};
    // The step being run and the ones before it; text written by the life
    // only, read by the starter after the life has gone (or hangs).
    char recent[RecentActions][ActionText] = {};
};

// Milliseconds of the monotonic clock.
int64_t monotonicMs();

} // namespace monkey

#endif // MONKEY_RECORD_H
