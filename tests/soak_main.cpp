// The long soak as a program: `ravela_soak [--ticks N] [--seed N] [--queue-every N]` plays
// a million ticks by default, checking the search queues every 16th tick, prints what it
// did and how long it took, and exits with status 1 when a rule broke.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tests/soak.h"
#include "tests/support.h"

int main(int argc, char **argv) {
    const char *const names[3] = {"--ticks", "--seed", "--queue-every"};
    unsigned long long values[3] = {1000000, 20240601, 16};
    for (int i = 1, n = 0; i < argc; i += 2, n = 0) {
        while (n < 3 && std::strcmp(argv[i], names[n]) != 0)
            ++n;
        if (n == 3 || i + 1 == argc) {
            std::fprintf(stderr, "usage: %s [--ticks N] [--seed N] [--queue-every N]\n", argv[0]);
            return 2;
        }
        values[n] = std::strtoull(argv[i + 1], nullptr, 10);
    }
    ravela::testing::resetGame(ravela::testing::makeSurface(32), static_cast<uint32_t>(values[1]));
    const auto start = std::chrono::steady_clock::now();
    const auto report = ravela::testing::runSoak(values[0], static_cast<uint32_t>(values[1]),
                                                 static_cast<uint32_t>(values[2]));
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::printf("%.1f s: %s", seconds.count(), ravela::testing::describeSoak(report).c_str());
    return report.fault.empty() ? 0 : 1;
}
