// One timed capture as the gadget takes it, from the timer event to the file closed (the main
// form's Timer3Timer: the screen copied through the canvas, the picture saved as photoN.jpg),
// against the floor of the same work done bare: an attached XShmGetImage and a libjpeg
// quality-90 encode to memory. Runs on the current X display. The last line ends with the ratio
// capture / floor.
#include "app/Quibra1.h"
#include "bench/capture/Floor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRuns = 40;

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Photo-like content: smooth gradients, grain and text, which compresses like a real desktop
// screenshot rather than a flat colour.
QImage content(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(30, 80, 160));
    sky.setColorAt(0.5, QColor(230, 160, 90));
    sky.setColorAt(1, QColor(20, 90, 40));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(size.width() * 0.7, size.height() * 0.3, size.height() * 0.4);
    sun.setColorAt(0, QColor(255, 250, 220, 220));
    sun.setColorAt(1, QColor(255, 250, 220, 0));
    p.fillRect(image.rect(), sun);
    p.setPen(Qt::black);
    QFont font("DejaVu Sans");
    font.setPixelSize(14);
    p.setFont(font);
    for (int y = 40; y < size.height(); y += 22)
        p.drawText(40, y,
                   QStringLiteral("Quibra capture benchmark: line %1, 0x%2 = %3")
                       .arg(y / 22)
                       .arg(y * 7919, 0, 16)
                       .arg(y * 7919));
    p.end();
    std::mt19937 random(42);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = static_cast<int>(random() % 25) - 12;
            const QRgb c = line[x];
            line[x] =
                qRgb(std::clamp(qRed(c) + grain, 0, 255), std::clamp(qGreen(c) + grain, 0, 255),
                     std::clamp(qBlue(c) + grain, 0, 255));
        }
    }
    return image;
}

class ContentWindow : public QWidget {
public:
    explicit ContentWindow(const QRect& geometry) : picture_(content(geometry.size())) {
        setWindowFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        setGeometry(geometry);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, picture_); }

private:
    QImage picture_;
};

void settle(int msToWait) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < msToWait) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

int main() {
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_capture: no X display (DISPLAY is not set)\n");
        return 1;
    }
    Application->Initialize();
    // A fault report would open a modal box; print it instead.
    Application->OnReport = [](const AnsiString& message) {
        std::fprintf(stderr, "bench_capture: %s\n", message.c_str());
    };
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    std::printf("screen %dx%d at %d,%d, platform %s, %d runs each\n", screen.width(),
                screen.height(), screen.x(), screen.y(),
                qPrintable(QGuiApplication::platformName()), kRuns);

    char folder[] = "/tmp/bench_capture.XXXXXX";
    if (!mkdtemp(folder)) {
        std::fprintf(stderr, "bench_capture: cannot create a temporary folder\n");
        return 1;
    }
    // The main form as the program makes it, its captures going to the temporary folder and
    // its series long enough never to stop.
    Application->CreateForm(Form1);
    Form1->ShotDir = AnsiString((std::string(folder) + "/").c_str());
    Form1->ShotCount = 1000000;
    Form1->ShotNumber = 0;

    ContentWindow window(screen);
    window.show();
    settle(1000);

    Floor floor(screen.x(), screen.y(), screen.width(), screen.height());
    if (!floor.error().empty()) {
        std::fprintf(stderr, "bench_capture: %s\n", floor.error().c_str());
        return 1;
    }

    // The two are interleaved so that a busy machine slows both alike. No events are processed
    // meanwhile: the gadget's own timers stay out of the measured spans.
    std::vector<double> floorRuns, shmRuns, captureRuns;
    size_t memorySize = 0;
    long long fileSize = -1;
    for (int i = 0; i < kRuns + 2; ++i) {
        // (a) The floor.
        const auto a0 = Clock::now();
        floor.grab();
        const auto a1 = Clock::now();
        memorySize = floor.encode();
        const auto a2 = Clock::now();

        // (b) The capture as the gadget takes it, from the timer event to the file closed.
        const int before = Form1->ShotNumber;
        const auto b0 = Clock::now();
        try {
            Form1->Timer3Timer(Form1->Timer3);
        } catch (const Exception& e) {
            std::fprintf(stderr, "bench_capture: %s\n", e.Message().c_str());
            return 1;
        }
        const auto b1 = Clock::now();
        const std::string path =
            std::string(folder) + "/photo" + std::to_string(before + 1) + ".jpg";
        struct stat st {};
        if (Form1->ShotNumber != before + 1 || ::stat(path.c_str(), &st) != 0 || st.st_size == 0) {
            std::fprintf(stderr, "bench_capture: the capture wrote no %s\n", path.c_str());
            return 1;
        }
        fileSize = static_cast<long long>(st.st_size);
        ::unlink(path.c_str());

        if (i >= 2) { // the first runs warm caches and the segments up
            shmRuns.push_back(ms(a1 - a0));
            floorRuns.push_back(ms(a2 - a0));
            captureRuns.push_back(ms(b1 - b0));
        }
    }
    window.hide();
    Application->Shutdown();
    ::rmdir(folder);

    const double floorMs = median(floorRuns);
    const double captureMs = median(captureRuns);
    std::printf("floor:   XShmGetImage %.2f ms + encode to memory = %.2f ms (JPEG %zu bytes)\n",
                median(shmRuns), floorMs, memorySize);
    std::printf("capture: TForm1::Timer3Timer to photoN.jpg closed = %.2f ms (min %.2f, max "
                "%.2f; file %lld bytes)\n",
                captureMs, *std::min_element(captureRuns.begin(), captureRuns.end()),
                *std::max_element(captureRuns.begin(), captureRuns.end()), fileSize);
    std::printf("median capture %.2f ms / floor %.2f ms: ratio %.2f\n", captureMs, floorMs,
                captureMs / floorMs);
    return 0;
}
