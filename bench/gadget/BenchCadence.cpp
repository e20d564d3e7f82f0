// The clipboard monitor's period, measured in-process: the main form is built as the program
// builds it, every tick of Timer1 is stamped on its way into TForm1::Timer1Timer, and the
// cycles between ticks are compared with the nominal 600 ms (the first) and 675 ms (the rest).
//
//   bench_gadget_cadence
//
// Runs on the current X display through the xcb platform unless QT_QPA_PLATFORM says otherwise.
#include "app/Quibra1.h"
#include "bench/gadget/BenchProcess.h"

#include <QGuiApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

constexpr size_t kTicks = 31; // 30 cycles
constexpr double kFirstCycleMs = 250 + 14 * 25;
constexpr double kCycleMs = 250 + 17 * 25;
constexpr int kGiveUpMs = 60000;
const char* const kText = "12,5*4+31"; // an expression the monitor evaluates at every tick

} // namespace

int main() {
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_gadget_cadence: no X display (DISPLAY is not set)\n");
        return 1;
    }
    // The clipboard's owner is another process, as on a desktop: an owner inside this process
    // would have to answer the monitor's requests from the very thread the monitor runs on.
    bench::ClipboardText clipboard(kText);
    if (!clipboard.ok()) {
        std::fprintf(stderr, "bench_gadget_cadence: cannot set the clipboard (is xclip "
                             "installed?)\n");
        return 1;
    }
    Application->Initialize();
    // A fault report would open a modal box and stall the loop; print it instead.
    Application->OnReport = [](const AnsiString& message) {
        std::fprintf(stderr, "report: %s\n", message.c_str());
    };
    const auto created = bench::Clock::now();
    Application->CreateForm(Form1);
    const auto built = bench::Clock::now();

    std::vector<bench::Clock::time_point> ticks;
    AnsiString shown;
    ticks.reserve(kTicks);
    const TNotifyEvent original = Form1->Timer1->OnTimer;
    Form1->Timer1->OnTimer = [&](TObject* sender) {
        ticks.push_back(bench::Clock::now());
        original(sender);
        if (ticks.size() == kTicks) {
            shown = Form1->Lines[0] + ", hex " + Form1->Lines[2];
            Application->Terminate();
        }
    };
    QTimer::singleShot(kGiveUpMs, [] { Application->Terminate(); });
    const QString platform = QGuiApplication::platformName();
    Application->Run();

    std::printf("platform %s, clipboard text \"%s\" (shown as %s), %zu ticks\n",
                qPrintable(platform), kText, shown.c_str(), ticks.size());
    if (ticks.size() < kTicks) {
        std::fprintf(stderr, "bench_gadget_cadence: the monitor stopped after %zu ticks\n",
                     ticks.size());
        return 1;
    }
    std::printf("form built in %.1f ms; form built to first tick %.1f ms (nominal 250)\n",
                bench::ms(built - created), bench::ms(ticks[0] - built));
    std::printf("first cycle %.1f ms (nominal %.0f)\n", bench::ms(ticks[1] - ticks[0]),
                kFirstCycleMs);
    std::vector<double> cycles;
    for (size_t i = 2; i < ticks.size(); ++i)
        cycles.push_back(bench::ms(ticks[i] - ticks[i - 1]));
    const double mean = std::accumulate(cycles.begin(), cycles.end(), 0.0) / cycles.size();
    const auto [low, high] = std::minmax_element(cycles.begin(), cycles.end());
    std::printf("next %zu cycles: mean %.1f ms, min %.1f ms, max %.1f ms (nominal %.0f; mean "
                "%+.1f ms)\n",
                cycles.size(), mean, *low, *high, kCycleMs, mean - kCycleMs);
    return 0;
}
