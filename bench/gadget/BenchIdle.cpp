// Idle cost of the running gadget: its CPU time over a wall-clock period while the clipboard
// holds one unchanged text, as a share of one core, and its resident memory at the end.
//
//   bench_gadget_idle [--seconds N] [path/to/quibra]
//
// Runs on the current X display.
#include "bench/gadget/BenchProcess.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr int kSettleSeconds = 3;
const char* const kText = "12,5*4+31"; // an expression the monitor evaluates at every tick

int usage() {
    std::fprintf(stderr, "usage: bench_gadget_idle [--seconds N] [path/to/quibra]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int seconds = 60;
    const char* gadgetArgument = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
            if (seconds <= 0)
                return usage();
        } else if (argv[i][0] == '-') {
            return usage();
        } else {
            gadgetArgument = argv[i];
        }
    }
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_gadget_idle: no X display (DISPLAY is not set)\n");
        return 1;
    }

    bench::TempDir folder("bench_gadget_idle");
    const std::string source = bench::gadgetPath(gadgetArgument);
    const std::string gadget = bench::copyGadget(source, folder.path());
    bench::ClipboardText clipboard(kText);
    if (!clipboard.ok()) {
        std::fprintf(stderr, "bench_gadget_idle: cannot set the clipboard (is xclip installed?)\n");
        return 1;
    }

    const pid_t pid = bench::launch(gadget, folder.path() + "/gadget.log");
    std::this_thread::sleep_for(std::chrono::seconds(kSettleSeconds));
    const double cpu0 = bench::cpuSeconds(pid);
    const auto t0 = bench::Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const double cpu1 = bench::cpuSeconds(pid);
    const auto t1 = bench::Clock::now();
    const long rss = bench::residentKiB(pid);
    const bool running = bench::alive(pid);
    bench::stop(pid);
    if (!running || cpu0 < 0 || cpu1 < 0) {
        std::fprintf(stderr, "bench_gadget_idle: the gadget ended during the measurement\n");
        return 1;
    }

    const double wall = bench::ms(t1 - t0) / 1000.0;
    const double cpu = cpu1 - cpu0;
    std::printf("gadget %s, clipboard text \"%s\", settled %d s\n", source.c_str(), kText,
                kSettleSeconds);
    std::printf("wall %.1f s, CPU (user+system) %.2f s, %.2f %% of one core\n", wall, cpu,
                100.0 * cpu / wall);
    std::printf("resident memory at the end: VmRSS %ld KiB (%.1f MiB)\n", rss, rss / 1024.0);
    return 0;
}
