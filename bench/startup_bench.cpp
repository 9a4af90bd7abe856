// Start-up to the first painted frame of the table window, and peak memory, against a plain Qt window
// with the same widgets, both started as fresh processes in the same run, alternately.
// Usage: startup_bench [runs]   (QT_QPA_PLATFORM is taken from the environment; offscreen by default)
#include "figure.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    double ms;
    long peakKiB;
};

Run startOnce(const std::string &probe, const char *mode)
{
    const auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        // The probes' own chatter (Qt's notes on the platform) is not part of the figures.
        if (FILE *null = std::freopen("/dev/null", "w", stderr); !null)
            _exit(126);
        execl(probe.c_str(), probe.c_str(), mode, static_cast<char *>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto t1 = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "startup_bench: %s %s failed (status %d)\n", probe.c_str(), mode, status);
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(t1 - t0).count(), usage.ru_maxrss};
}

template <class T> T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}

int main(int argc, char **argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    setenv("QT_QPA_PLATFORM", getenv("QT_QPA_PLATFORM") ? getenv("QT_QPA_PLATFORM") : "offscreen", 1);
    std::string self = argv[0];
    const std::string probe = self.substr(0, self.rfind('/') + 1) + "startup_probe";

    startOnce(probe, "program"); // warm the font and file caches for both
    startOnce(probe, "baseline");
    std::vector<double> programMs, baselineMs;
    std::vector<long> programKiB, baselineKiB;
    for (int i = 0; i < runs; ++i) {
        const Run b = startOnce(probe, "baseline");
        const Run p = startOnce(probe, "program");
        baselineMs.push_back(b.ms);
        baselineKiB.push_back(b.peakKiB);
        programMs.push_back(p.ms);
        programKiB.push_back(p.peakKiB);
    }
    const double pm = median(programMs), bm = median(baselineMs);
    const long pk = median(programKiB), bk = median(baselineKiB);
    std::printf("%-28s %10s %10s %7s %7s\n", "figure", "program", "baseline", "ratio", "target");
    std::printf("%-28s %10.1f %10.1f %7.2f %7s\n", "start-up to first frame ms", pm, bm, pm / bm, "1.20");
    std::printf("%-28s %10ld %10ld %7.2f %7s\n", "peak memory KiB", pk, bk, double(pk) / double(bk), "1.15");
    printFigure("startup.first_frame", "ms", pm, bm, 1.20);
    printFigure("startup.peak_memory", "KiB", double(pk), double(bk), 1.15);
    return 0;
}
