// Start-up of the gadget against a minimal Qt widget program, measured in the same run: the
// time from fork to the first painted window, and the resident memory 1 s after the launch.
//
//   bench_gadget_startup [--runs N] [path/to/quibra [path/to/bench_minimal_qt]]
//
// "Painted" is seen from outside: the window is mapped and the screen pixel at its centre no
// longer shows the solid background the benchmark gives the root window (reset to the
// server's default at the end). Runs on the current X display.
#include "bench/gadget/BenchProcess.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr int kTimeoutMs = 15000;
constexpr int kMemoryAfterMs = 1000;

// A window between our query and our request may be gone; that is no error here.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

bool viewable(Display* d, Window w) {
    XWindowAttributes a;
    return XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable;
}

bool named(Display* d, Window w, const char* name) {
    char* found = nullptr;
    if (!XFetchName(d, w, &found) || !found)
        return false;
    const bool same = std::strcmp(found, name) == 0;
    XFree(found);
    return same;
}

// The mapped window of that name, depth-first over the whole tree: a window manager
// reparents top-level windows, and a Qt program may hold unmapped windows of the same name.
Window findWindow(Display* d, Window under, const char* name) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(d, under, &root, &parent, &children, &count))
        return 0;
    Window result = 0;
    for (unsigned i = 0; i < count && !result; ++i)
        result = named(d, children[i], name) && viewable(d, children[i])
                     ? children[i]
                     : findWindow(d, children[i], name);
    if (children)
        XFree(children);
    return result;
}

struct Shown {
    double paintedMs = -1;
    long residentKiB = -1;
};

Shown measure(Display* d, unsigned long background, const std::string& program,
              const char* windowName, const std::string& log) {
    const Window root = DefaultRootWindow(d);
    Shown shown;
    const auto start = bench::Clock::now();
    const pid_t pid = bench::launch(program, log);
    while (bench::ms(bench::Clock::now() - start) < kTimeoutMs) {
        const Window window = findWindow(d, root, windowName);
        XWindowAttributes a;
        if (window && XGetWindowAttributes(d, window, &a)) {
            int x = 0, y = 0;
            Window child = 0;
            XTranslateCoordinates(d, window, root, a.width / 2, a.height / 2, &x, &y, &child);
            if (XImage* pixel = XGetImage(d, root, x, y, 1, 1, AllPlanes, ZPixmap)) {
                const unsigned long value = XGetPixel(pixel, 0, 0);
                XDestroyImage(pixel);
                if (value != background) {
                    shown.paintedMs = bench::ms(bench::Clock::now() - start);
                    break;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (shown.paintedMs >= 0) {
        std::this_thread::sleep_until(start + std::chrono::milliseconds(kMemoryAfterMs));
        shown.residentKiB = bench::residentKiB(pid);
    }
    bench::stop(pid);
    // Wait for the window to go, so the next run cannot find it.
    for (int i = 0; i < 2000 && findWindow(d, root, windowName); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return shown;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int usage() {
    std::fprintf(stderr, "usage: bench_gadget_startup [--runs N] [path/to/quibra "
                         "[path/to/bench_minimal_qt]]\n");
    return 2;
}

struct Subject {
    const char* label;
    std::string program;
    const char* windowName;
    std::vector<double> painted;
    std::vector<double> resident;
};

} // namespace

int main(int argc, char** argv) {
    int runs = 10;
    std::vector<const char*> paths;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
            runs = std::atoi(argv[++i]);
            if (runs <= 0)
                return usage();
        } else if (argv[i][0] == '-' || paths.size() == 2) {
            return usage();
        } else {
            paths.push_back(argv[i]);
        }
    }
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "bench_gadget_startup: cannot open the X display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    // Both programs pick the same platform; the gadget selects xcb itself when none is set.
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);

    // A solid root colour that neither window paints at its centre.
    const int screen = DefaultScreen(d);
    XColor colour{};
    colour.red = 0x1200;
    colour.green = 0xB400;
    colour.blue = 0x5600;
    colour.flags = DoRed | DoGreen | DoBlue;
    XAllocColor(d, DefaultColormap(d, screen), &colour);
    XSetWindowBackground(d, RootWindow(d, screen), colour.pixel);
    XClearWindow(d, RootWindow(d, screen));
    XSync(d, False);

    bench::TempDir folder("bench_gadget_startup");
    Subject subjects[] = {
        {"quibra",
         bench::copyGadget(bench::gadgetPath(paths.size() > 0 ? paths[0] : nullptr), folder.path()),
         "Quibra",
         {},
         {}},
        {"minimal Qt",
         paths.size() > 1 ? paths[1] : QUIBRA_MINIMAL_QT_PATH,
         "QuibraBenchMinimal",
         {},
         {}},
    };
    std::printf("%d runs each, interleaved, after one uncounted run each; display %s\n", runs,
                DisplayString(d));
    // The first launch of each fills the file cache; it is not counted.
    for (int i = -1; i < runs; ++i) {
        for (Subject& s : subjects) {
            const Shown shown =
                measure(d, colour.pixel, s.program, s.windowName, folder.path() + "/run.log");
            if (shown.paintedMs < 0) {
                std::fprintf(stderr,
                             "bench_gadget_startup: no painted window of %s within %d "
                             "ms (output in %s)\n",
                             s.label, kTimeoutMs, (folder.path() + "/run.log").c_str());
                return 1;
            }
            if (i >= 0) {
                s.painted.push_back(shown.paintedMs);
                s.resident.push_back(static_cast<double>(shown.residentKiB));
            }
        }
    }
    // None on the root brings back the server's default background.
    XSetWindowBackgroundPixmap(d, RootWindow(d, screen), None);
    XClearWindow(d, RootWindow(d, screen));
    XCloseDisplay(d);

    std::printf("%-12s %14s %10s %10s %16s\n", "program", "painted (med)", "min", "max",
                "VmRSS@1s (med)");
    for (const Subject& s : subjects)
        std::printf("%-12s %11.1f ms %7.1f ms %7.1f ms %12.1f MiB\n", s.label, median(s.painted),
                    *std::min_element(s.painted.begin(), s.painted.end()),
                    *std::max_element(s.painted.begin(), s.painted.end()),
                    median(s.resident) / 1024.0);
    std::printf("quibra / minimal Qt: start-up %.2f, memory %.2f\n",
                median(subjects[0].painted) / median(subjects[1].painted),
                median(subjects[0].resident) / median(subjects[1].resident));
    return 0;
}
