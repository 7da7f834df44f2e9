// Starts Scaricometro's window and two floors in turn, many times, and compares the medians of the
// wall time from exec to the first painted frame, of the processor time spent on the way, and of
// the peak memory with each floor: a bare window of the same size with one caption and one field,
// and that window with the fonts the layout names.
//
//   startup_compare [RUNS]       (startup_probe must stand beside it)
#include <sys/resource.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr const char* kWindows[] = {"bare", "fonts", "scaricometro"};
constexpr std::size_t kWindowCount = std::size(kWindows);

struct Measure {
    const char* name;
    const char* unit;
};
constexpr Measure kMeasures[] = {{"wall time", "ms"}, {"processor time", "ms"}, {"peak memory", "KiB"}};
constexpr std::size_t kMeasureCount = std::size(kMeasures);
using Run = std::array<double, kMeasureCount>;

double milliseconds(timeval time)
{
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

Run runProbe(const std::string& probe, const char* window)
{
    std::string program = probe;
    std::string mode = window;
    char* arguments[] = {program.data(), mode.data(), nullptr};
    const auto start = std::chrono::steady_clock::now();
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, probe.c_str(), &quiet, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (spawned != 0) {
        std::perror("posix_spawn");
        std::exit(EXIT_FAILURE);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s %s failed\n", probe.c_str(), window);
        std::exit(EXIT_FAILURE);
    }
    return {elapsed.count(), milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime),
            static_cast<double>(usage.ru_maxrss)};
}

double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    const int runs = argc > 1 ? std::atoi(argv[1]) : 40;
    const std::string self = argv[0];
    const std::string probe = self.substr(0, self.find_last_of('/') + 1) + "startup_probe";
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);

    std::vector<double> samples[kWindowCount][kMeasureCount];
    for (const char* window : kWindows)
        runProbe(probe, window);  // warm the file cache for each
    for (int run = 0; run < runs; ++run) {
        for (std::size_t window = 0; window < kWindowCount; ++window) {
            const Run result = runProbe(probe, kWindows[window]);
            for (std::size_t measure = 0; measure < kMeasureCount; ++measure)
                samples[window][measure].push_back(result[measure]);
        }
    }

    std::printf("medians of %d runs each, platform %s; in brackets: over bare, over fonts\n", runs,
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default");
    for (std::size_t measure = 0; measure < kMeasureCount; ++measure) {
        const double bare = median(samples[0][measure]);
        const double fonts = median(samples[1][measure]);
        std::printf("%s\n", kMeasures[measure].name);
        for (std::size_t window = 0; window < kWindowCount; ++window) {
            const double value = median(samples[window][measure]);
            std::printf("  %-14s %10.1f %-3s (%+5.1f %%, %+5.1f %%)\n", kWindows[window], value,
                        kMeasures[measure].unit, 100 * (value / bare - 1), 100 * (value / fonts - 1));
        }
    }
    return 0;
}
