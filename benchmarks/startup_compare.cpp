// Starts Scaricometro's window and a bare window of the same size in turn, many times, and
// compares the median time from exec to the first painted frame and the median peak memory.
//
//   startup_compare [RUNS]       (startup_probe must stand beside it)
#include <sys/resource.h>
#include <sys/wait.h>

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Run {
    double milliseconds;
    long peakKibibytes;
};

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
    return {elapsed.count(), usage.ru_maxrss};
}

template <typename T>
T median(std::vector<T> values)
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

    const char* const windows[] = {"bare", "scaricometro"};
    std::vector<double> times[2];
    std::vector<long> memory[2];
    runProbe(probe, "bare");  // warm the file cache for both
    runProbe(probe, "scaricometro");
    for (int run = 0; run < runs; ++run) {
        for (int window = 0; window < 2; ++window) {
            const Run result = runProbe(probe, windows[window]);
            times[window].push_back(result.milliseconds);
            memory[window].push_back(result.peakKibibytes);
        }
    }

    const double bareTime = median(times[0]);
    const double bareMemory = static_cast<double>(median(memory[0]));
    std::printf("%-14s %24s %26s\n", "window", "to first frame (median)", "peak memory (median)");
    for (int window = 0; window < 2; ++window) {
        const double time = median(times[window]);
        const auto kib = static_cast<double>(median(memory[window]));
        std::printf("%-14s %12.2f ms (%+5.1f %%) %14.0f KiB (%+5.1f %%)\n", windows[window], time,
                    100 * (time / bareTime - 1), kib, 100 * (kib / bareMemory - 1));
    }
    std::printf("%d runs each, platform %s\n", runs,
                std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "default");
    return 0;
}
