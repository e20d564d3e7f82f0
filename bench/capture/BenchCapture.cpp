// One timed capture as the gadget takes it (screen copy + JPEG file), against the floor of the
// same work done bare: an attached XShmGetImage and a libjpeg quality-90 encode to memory.
// Runs on the current X display. The last line ends with the ratio capture / floor.
#include "vcl/Jpeg.h"
#include "vcl/x11/X11Screen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

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

// The floor's encoder: defaults, quality 90, BGRX rows straight from the X image, to memory.
size_t encodeToMemory(const XImage* image, unsigned char*& buffer, unsigned long& capacity) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned long size = capacity;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(image->width);
    c.image_height = static_cast<JDIMENSION>(image->height);
    c.input_components = 4;
    c.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 90, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPROW> rows(static_cast<size_t>(image->height));
    for (int y = 0; y < image->height; ++y)
        rows[static_cast<size_t>(y)] = reinterpret_cast<JSAMPROW>(
            image->data + static_cast<size_t>(y) * image->bytes_per_line);
    while (c.next_scanline < c.image_height)
        jpeg_write_scanlines(&c, rows.data() + c.next_scanline, c.image_height - c.next_scanline);
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    if (size > capacity)
        capacity = size; // libjpeg grew the buffer
    return size;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY")) {
        std::fprintf(stderr, "bench_capture: no X display (DISPLAY is not set)\n");
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_capture: cannot open display %s\n", std::getenv("DISPLAY"));
        return 1;
    }
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QApplication app(argc, argv);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    std::printf("screen %dx%d at %d,%d, %d runs each\n", screen.width(), screen.height(),
                screen.x(), screen.y(), kRuns);

    ContentWindow window(screen);
    window.show();
    settle(1000);

    if (!XShmQueryExtension(display)) {
        std::fprintf(stderr, "bench_capture: the display has no MIT-SHM\n");
        return 1;
    }
    const int scr = DefaultScreen(display);
    XShmSegmentInfo shm{};
    XImage* image = XShmCreateImage(display, DefaultVisual(display, scr),
                                    static_cast<unsigned>(DefaultDepth(display, scr)), ZPixmap,
                                    nullptr, &shm, static_cast<unsigned>(screen.width()),
                                    static_cast<unsigned>(screen.height()));
    shm.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height,
                       IPC_CREAT | 0600);
    shm.shmaddr = image->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
    shm.readOnly = False;
    XShmAttach(display, &shm);
    XSync(display, False);
    shmctl(shm.shmid, IPC_RMID, nullptr);

    unsigned long capacity = 16 * 1024 * 1024;
    auto* buffer = static_cast<unsigned char*>(std::malloc(capacity));
    char folder[] = "/tmp/bench_capture.XXXXXX";
    if (!mkdtemp(folder)) {
        std::fprintf(stderr, "bench_capture: cannot create a temporary folder\n");
        return 1;
    }
    const std::string path = std::string(folder) + "/photo1.jpg";
    vcl::x11::ScreenGrabber grabber;
    QImage shot;

    // The two are interleaved so that a busy machine slows both alike.
    std::vector<double> floorRuns, shmRuns, captureRuns, grabRuns;
    size_t memorySize = 0;
    for (int i = 0; i < kRuns + 2; ++i) {
        // (a) The floor.
        const auto a0 = Clock::now();
        XShmGetImage(display, RootWindow(display, scr), image, screen.x(), screen.y(), AllPlanes);
        const auto a1 = Clock::now();
        memorySize = encodeToMemory(image, buffer, capacity);
        const auto a2 = Clock::now();

        // (b) The capture as the gadget takes it.
        const auto b0 = Clock::now();
        if (!grabber.grab(shot)) {
            std::fprintf(stderr, "bench_capture: the screen could not be read\n");
            return 1;
        }
        const auto b1 = Clock::now();
        vcl::writeJpegFile(shot, path);
        const auto b2 = Clock::now();

        if (i >= 2) { // the first runs warm caches and the segments up
            shmRuns.push_back(ms(a1 - a0));
            floorRuns.push_back(ms(a2 - a0));
            grabRuns.push_back(ms(b1 - b0));
            captureRuns.push_back(ms(b2 - b0));
        }
    }
    struct stat st {};
    ::stat(path.c_str(), &st);
    ::unlink(path.c_str());
    ::rmdir(folder);

    XShmDetach(display, &shm);
    shmdt(shm.shmaddr);
    image->data = nullptr;
    XDestroyImage(image);
    XCloseDisplay(display);
    std::free(buffer);

    const double floorMs = median(floorRuns);
    const double captureMs = median(captureRuns);
    std::printf("floor:   XShmGetImage %.2f ms + encode to memory = %.2f ms (JPEG %zu bytes)\n",
                median(shmRuns), floorMs, memorySize);
    std::printf("capture: ScreenGrabber::grab %.2f ms + writeJpegFile = %.2f ms (file %lld "
                "bytes)\n",
                median(grabRuns), captureMs, static_cast<long long>(st.st_size));
    std::printf("median capture %.2f ms / floor %.2f ms: ratio %.2f\n", captureMs, floorMs,
                captureMs / floorMs);
    return 0;
}
