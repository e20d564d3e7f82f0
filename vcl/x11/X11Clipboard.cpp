#include "vcl/x11/X11Clipboard.h"

#include "vcl/Jpeg.h"

#include <QEventLoop>
#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>
#include <vector>

// Xlib last: its macros (None, Bool, Status, ...) clash with Qt's headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace vcl::x11 {

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The GUI thread gives up after this long without progress; the worker slightly earlier, so
// that normally the worker's own Busy answer ends the wait and the request is never left
// running behind the caller's back.
constexpr auto kGuiBound = 500ms;
constexpr auto kWorkerBound = 450ms;
// Most owners answer within a millisecond: wait that long without entering a nested loop.
constexpr auto kQuickWait = 5ms;
// No selection transfer may grow beyond this (a text of several hundred MB is not a number).
constexpr qsizetype kMaxTransfer = qsizetype(256) << 20;
// Properties used as conversion targets, one per conversion in turn: an answer that arrives
// after its request was given up names another property than the current conversion.
constexpr int kPropertySlots = 16;
// XGetWindowProperty reads in pieces of this many 32-bit units (4 MB).
constexpr long kReadPiece = 1L << 20;

enum class Kind { Formats, Text, Picture };

enum class Fetch { Ok, Refused, Late, TooLarge };

Clock::rep nowTicks() {
    return Clock::now().time_since_epoch().count();
}

} // namespace

struct X11Clipboard::Request {
    explicit Request(Kind k) : kind(k) {}

    const Kind kind;
    // Time of the request or of its last progress (an answer, an INCR piece).
    std::atomic<Clock::rep> progress{nowTicks()};
    void touch() { progress = nowTicks(); }
    Clock::time_point lastProgress() const {
        return Clock::time_point(Clock::duration(progress.load()));
    }

    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;      // the worker has answered
    bool abandoned = false; // the caller stopped waiting

    ClipStatus status = ClipStatus::Busy;
    ClipFormats formats;
    bool present = false;
    std::string text;
    QImage picture;

    QEventLoop* loop = nullptr; // the caller's nested loop; GUI thread only
};

struct X11Clipboard::Worker {
    explicit Worker(const QByteArray& displayName);
    ~Worker();

    bool usable() const { return dpy != nullptr; }
    void post(std::shared_ptr<Request> request);

    // Receives the worker's answers in the GUI thread.
    QObject notifier;

private:
    void run();
    void serve(Request& r);
    void answer(const std::shared_ptr<Request>& r);

    template <class Match> bool waitEvent(XEvent& ev, Match match);
    void discardPending();
    bool serverTime(Time& out);
    Fetch convert(Atom target, QByteArray& data, Atom& type, int& format);
    Fetch readProperty(Atom property, QByteArray& data, Atom& type, int& format);
    Fetch readIncremental(Atom property, QByteArray& data, Atom& type, int& format);
    bool targets(std::vector<Atom>& out, Fetch& status);
    const std::string& atomName(Atom atom);
    bool isText(Atom atom) const;
    bool isPicture(Atom atom);
    std::string decodeText(const QByteArray& data, Atom type, int format);

    Display* dpy = nullptr;
    Window window = 0;
    int wake[2] = {-1, -1};

    struct Atoms {
        Atom clipboard, targets, incr, stamp, utf8, string, text, plain, plainUtf8, compound, png,
            bmp, xbmp, msbmp, jpeg, jpg, pjpeg, pixmap, bitmap;
        Atom selection[kPropertySlots]; // conversion properties, used in turn
    } atoms{};
    int nextSlot = 0;
    std::unordered_map<Atom, std::string> names;

    Request* current = nullptr; // the request being served (worker thread)
    Time requestTime = CurrentTime;

    std::thread thread;
    std::mutex queueMutex;
    std::condition_variable queueChanged;
    std::deque<std::shared_ptr<Request>> queue;
    std::atomic<bool> stopping{false};
};

X11Clipboard::Worker::Worker(const QByteArray& displayName) {
    // Opened here, in the GUI thread, and from then on used by the worker thread only.
    dpy = XOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData());
    if (!dpy)
        return;
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        XCloseDisplay(dpy);
        dpy = nullptr;
        return;
    }

    const char* fixed[] = {"CLIPBOARD",
                           "TARGETS",
                           "INCR",
                           "_QUIBRA_TIMESTAMP",
                           "UTF8_STRING",
                           "STRING",
                           "TEXT",
                           "text/plain",
                           "text/plain;charset=utf-8",
                           "COMPOUND_TEXT",
                           "image/png",
                           "image/bmp",
                           "image/x-bmp",
                           "image/x-MS-bmp",
                           "image/jpeg",
                           "image/jpg",
                           "image/pjpeg",
                           "PIXMAP",
                           "BITMAP"};
    constexpr int kFixed = sizeof(fixed) / sizeof(fixed[0]);
    std::vector<std::string> slotNames;
    std::vector<char*> all;
    for (const char* n : fixed)
        all.push_back(const_cast<char*>(n));
    for (int i = 0; i < kPropertySlots; ++i)
        slotNames.push_back("_QUIBRA_SELECTION_" + std::to_string(i));
    for (auto& n : slotNames)
        all.push_back(n.data());
    std::vector<Atom> got(all.size());
    XInternAtoms(dpy, all.data(), int(all.size()), False, got.data());
    Atom* a = got.data();
    atoms.clipboard = a[0];
    atoms.targets = a[1];
    atoms.incr = a[2];
    atoms.stamp = a[3];
    atoms.utf8 = a[4];
    atoms.string = a[5];
    atoms.text = a[6];
    atoms.plain = a[7];
    atoms.plainUtf8 = a[8];
    atoms.compound = a[9];
    atoms.png = a[10];
    atoms.bmp = a[11];
    atoms.xbmp = a[12];
    atoms.msbmp = a[13];
    atoms.jpeg = a[14];
    atoms.jpg = a[15];
    atoms.pjpeg = a[16];
    atoms.pixmap = a[17];
    atoms.bitmap = a[18];
    for (int i = 0; i < kPropertySlots; ++i)
        atoms.selection[i] = a[kFixed + i];

    // The requestor: never mapped, it only receives SelectionNotify and PropertyNotify.
    XSetWindowAttributes attrs{};
    attrs.event_mask = PropertyChangeMask;
    window = XCreateWindow(dpy, DefaultRootWindow(dpy), -10, -10, 1, 1, 0, 0, InputOnly,
                           CopyFromParent, CWEventMask, &attrs);
    XFlush(dpy);

    thread = std::thread([this] { run(); });
}

X11Clipboard::Worker::~Worker() {
    if (thread.joinable()) {
        stopping = true;
        {
            std::lock_guard<std::mutex> lock(queueMutex);
            queueChanged.notify_all();
        }
        const char c = 0;
        [[maybe_unused]] ssize_t n = write(wake[1], &c, 1);
        thread.join();
    }
    if (dpy) {
        XDestroyWindow(dpy, window);
        XCloseDisplay(dpy);
    }
    for (int fd : wake)
        if (fd >= 0)
            close(fd);
}

void X11Clipboard::Worker::post(std::shared_ptr<Request> request) {
    std::lock_guard<std::mutex> lock(queueMutex);
    queue.push_back(std::move(request));
    queueChanged.notify_all();
}

void X11Clipboard::Worker::run() {
    for (;;) {
        std::shared_ptr<Request> r;
        {
            std::unique_lock<std::mutex> lock(queueMutex);
            queueChanged.wait(lock, [this] { return stopping || !queue.empty(); });
            if (stopping)
                return;
            r = std::move(queue.front());
            queue.pop_front();
        }
        {
            std::lock_guard<std::mutex> lock(r->mutex);
            if (r->abandoned)
                continue;
        }
        current = r.get();
        // Answers that came in after their requests were given up are of no use any more.
        discardPending();
        if (Clock::now() < r->lastProgress() + kWorkerBound)
            serve(*r);
        current = nullptr;
        answer(r);
    }
}

void X11Clipboard::Worker::answer(const std::shared_ptr<Request>& r) {
    {
        std::lock_guard<std::mutex> lock(r->mutex);
        r->done = true;
        r->answered.notify_all();
    }
    QMetaObject::invokeMethod(
        &notifier,
        [r] {
            if (r->loop)
                r->loop->quit();
        },
        Qt::QueuedConnection);
}

void X11Clipboard::Worker::discardPending() {
    XEvent ev;
    while (XPending(dpy) > 0)
        XNextEvent(dpy, &ev);
}

// Reads events until one matches, never blocking past the current request's deadline (its
// last progress plus the worker's bound): a hung owner costs one bound, not the worker.
template <class Match> bool X11Clipboard::Worker::waitEvent(XEvent& ev, Match match) {
    for (;;) {
        while (XPending(dpy) > 0) {
            XNextEvent(dpy, &ev);
            if (match(ev))
                return true;
        }
        const auto deadline = current->lastProgress() + kWorkerBound;
        const auto now = Clock::now();
        if (stopping || now >= deadline)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
        pollfd fds[2] = {{ConnectionNumber(dpy), POLLIN, 0}, {wake[0], POLLIN, 0}};
        if (poll(fds, 2, int(left.count()) + 1) < 0 && errno != EINTR)
            return false;
        if (fds[1].revents & POLLIN) {
            char buf[16];
            while (read(wake[0], buf, sizeof buf) > 0) {
            }
        }
    }
}

// A server timestamp for the request: owners echo it in their answers, which tells a current
// answer from a late one to an earlier request.
bool X11Clipboard::Worker::serverTime(Time& out) {
    unsigned char nothing = 0;
    XChangeProperty(dpy, window, atoms.stamp, XA_ATOM, 8, PropModeAppend, &nothing, 0);
    XEvent ev;
    if (!waitEvent(ev, [this](const XEvent& e) {
            return e.type == PropertyNotify && e.xproperty.window == window &&
                   e.xproperty.atom == atoms.stamp;
        }))
        return false;
    out = ev.xproperty.time;
    return true;
}

Fetch X11Clipboard::Worker::readProperty(Atom property, QByteArray& data, Atom& type, int& format) {
    data.clear();
    type = 0;
    format = 8;
    long offset = 0;
    for (;;) {
        Atom t = 0;
        int f = 0;
        unsigned long count = 0, after = 0;
        unsigned char* p = nullptr;
        // Deleting on the last piece tells an INCR sender to go on with the next one.
        if (XGetWindowProperty(dpy, window, property, offset, kReadPiece, True, AnyPropertyType, &t,
                               &f, &count, &after, &p) != Success)
            return Fetch::Refused;
        const qsizetype unit = f == 32 ? qsizetype(sizeof(long)) : f == 16 ? 2 : 1;
        const qsizetype bytes = qsizetype(count) * unit;
        if (data.size() + bytes > kMaxTransfer) {
            XFree(p);
            XDeleteProperty(dpy, window, property);
            return Fetch::TooLarge;
        }
        if (p && bytes > 0)
            data.append(reinterpret_cast<const char*>(p), bytes);
        if (p)
            XFree(p);
        type = t;
        format = f ? f : 8;
        if (after == 0 || count == 0)
            return Fetch::Ok;
        offset += long(count) * format / 32;
    }
}

// INCR: the owner sends the data in pieces, each one after we delete the previous one; an
// empty piece ends it. The bound applies to each piece, so a big transfer that keeps moving is
// never cut off; the total is capped.
Fetch X11Clipboard::Worker::readIncremental(Atom property, QByteArray& data, Atom& type,
                                            int& format) {
    // Reading the INCR property deleted it, which has already started the transfer: deleting
    // once more here could throw away the first piece.
    data.clear();
    type = 0;
    for (;;) {
        XEvent ev;
        if (!waitEvent(ev, [&](const XEvent& e) {
                return e.type == PropertyNotify && e.xproperty.window == window &&
                       e.xproperty.atom == property && e.xproperty.state == PropertyNewValue;
            }))
            return Fetch::Late;
        QByteArray piece;
        Atom t = 0;
        int f = 8;
        const Fetch got = readProperty(property, piece, t, f);
        if (got != Fetch::Ok)
            return got;
        if (t == 0)
            continue; // a notice for a piece we have already read; the property is gone
        current->touch();
        if (piece.isEmpty())
            return Fetch::Ok; // an empty piece ends the transfer
        if (data.size() + piece.size() > kMaxTransfer)
            return Fetch::TooLarge;
        if (!type) {
            type = t;
            format = f;
        }
        data.append(piece);
    }
}

Fetch X11Clipboard::Worker::convert(Atom target, QByteArray& data, Atom& type, int& format) {
    const Atom property = atoms.selection[nextSlot];
    nextSlot = (nextSlot + 1) % kPropertySlots;
    XDeleteProperty(dpy, window, property);
    XConvertSelection(dpy, atoms.clipboard, target, property, window, requestTime);
    XEvent ev;
    const bool got = waitEvent(ev, [&](const XEvent& e) {
        if (e.type != SelectionNotify)
            return false;
        const XSelectionEvent& s = e.xselection;
        if (s.requestor != window || s.selection != atoms.clipboard || s.target != target)
            return false;
        // Owners echo the request's time; one that answers with CurrentTime is recognised by
        // the property alone.
        if (s.time == requestTime)
            return s.property == None || s.property == property;
        return s.time == CurrentTime && s.property == property;
    });
    if (!got)
        return Fetch::Late;
    current->touch();
    if (ev.xselection.property == None)
        return Fetch::Refused;
    const Fetch read = readProperty(property, data, type, format);
    if (read != Fetch::Ok)
        return read;
    if (type == atoms.incr)
        return readIncremental(property, data, type, format);
    return Fetch::Ok;
}

bool X11Clipboard::Worker::targets(std::vector<Atom>& out, Fetch& status) {
    out.clear();
    QByteArray data;
    Atom type = 0;
    int format = 8;
    status = convert(atoms.targets, data, type, format);
    if (status != Fetch::Ok)
        return false;
    if (format != 32)
        return true; // not a list of atoms: nothing offered
    const auto* list = reinterpret_cast<const Atom*>(data.constData());
    out.assign(list, list + data.size() / qsizetype(sizeof(Atom)));
    return true;
}

const std::string& X11Clipboard::Worker::atomName(Atom atom) {
    auto it = names.find(atom);
    if (it != names.end())
        return it->second;
    std::string name;
    if (char* n = XGetAtomName(dpy, atom)) {
        name = n;
        XFree(n);
    }
    return names.emplace(atom, std::move(name)).first->second;
}

bool X11Clipboard::Worker::isText(Atom a) const {
    return a == atoms.utf8 || a == atoms.string || a == atoms.text || a == atoms.plain ||
           a == atoms.plainUtf8 || a == atoms.compound;
}

bool X11Clipboard::Worker::isPicture(Atom a) {
    if (a == atoms.pixmap || a == atoms.bitmap)
        return true;
    return atomName(a).compare(0, 6, "image/") == 0;
}

std::string X11Clipboard::Worker::decodeText(const QByteArray& raw, Atom type, int format) {
    QByteArray data = raw;
    while (!data.isEmpty() && data.back() == '\0')
        data.chop(1);
    if (type == atoms.string)
        return QString::fromLatin1(data).toStdString();
    if (type == atoms.compound && format == 8) {
        XTextProperty prop{};
        prop.value = reinterpret_cast<unsigned char*>(data.data());
        prop.encoding = type;
        prop.format = 8;
        prop.nitems = static_cast<unsigned long>(data.size());
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(dpy, &prop, &list, &count) >= Success && list) {
            std::string text;
            for (int i = 0; i < count; ++i)
                text += list[i];
            XFreeStringList(list);
            return text;
        }
        return QString::fromLatin1(data).toStdString();
    }
    return data.toStdString(); // UTF8_STRING and text/plain
}

void X11Clipboard::Worker::serve(Request& r) {
    // No owner: nothing on the clipboard, and nobody to wait for.
    if (XGetSelectionOwner(dpy, atoms.clipboard) == 0) {
        r.status = ClipStatus::Ok;
        return;
    }
    if (!serverTime(requestTime))
        return;
    std::vector<Atom> offered;
    Fetch status = Fetch::Ok;
    if (!targets(offered, status)) {
        // An owner that refuses TARGETS offers nothing we can name.
        if (status == Fetch::Refused)
            r.status = ClipStatus::Ok;
        return;
    }
    auto offers = [&](Atom a) {
        for (Atom o : offered)
            if (o == a)
                return true;
        return false;
    };

    if (r.kind == Kind::Formats) {
        for (Atom a : offered) {
            r.formats.text = r.formats.text || isText(a);
            r.formats.picture = r.formats.picture || isPicture(a);
        }
        r.status = ClipStatus::Ok;
        return;
    }

    if (r.kind == Kind::Text) {
        for (Atom target :
             {atoms.utf8, atoms.plainUtf8, atoms.string, atoms.text, atoms.plain, atoms.compound}) {
            if (!offers(target))
                continue;
            QByteArray data;
            Atom type = 0;
            int format = 8;
            const Fetch got = convert(target, data, type, format);
            if (got == Fetch::Refused)
                continue;
            if (got != Fetch::Ok)
                return;
            r.text = decodeText(data, type ? type : target, format);
            r.present = true;
            break;
        }
        r.status = ClipStatus::Ok;
        return;
    }

    // Picture. JPEG goes through libjpeg, never through Qt's image plugin.
    struct Candidate {
        Atom target;
        const char* qtFormat; // nullptr: JPEG
    };
    const Candidate candidates[] = {
        {atoms.png, "PNG"},    {atoms.bmp, "BMP"},   {atoms.xbmp, "BMP"},   {atoms.msbmp, "BMP"},
        {atoms.jpeg, nullptr}, {atoms.jpg, nullptr}, {atoms.pjpeg, nullptr}};
    for (const Candidate& c : candidates) {
        if (!offers(c.target))
            continue;
        QByteArray data;
        Atom type = 0;
        int format = 8;
        const Fetch got = convert(c.target, data, type, format);
        if (got == Fetch::Refused)
            continue;
        if (got != Fetch::Ok)
            return;
        QImage image;
        if (c.qtFormat)
            image.loadFromData(data, c.qtFormat);
        else
            image = vcl::decodeJpeg(data);
        if (image.isNull())
            continue; // corrupt: try the next form
        r.picture = image.convertToFormat(QImage::Format_RGB32);
        r.present = true;
        break;
    }
    r.status = ClipStatus::Ok;
}

X11Clipboard::X11Clipboard(const QByteArray& displayName)
    : worker_(std::make_unique<Worker>(displayName)) {}

X11Clipboard::~X11Clipboard() = default;

ClipStatus X11Clipboard::run(const std::shared_ptr<Request>& r) {
    if (!worker_->usable())
        return ClipStatus::Busy;
    r->touch();
    worker_->post(r);
    bool done = false;
    {
        std::unique_lock<std::mutex> lock(r->mutex);
        done = r->answered.wait_for(lock, kQuickWait, [&] { return r->done; });
    }
    if (!done) {
        // Wait in a nested loop so that repaints, drags and timers go on meanwhile. The bound
        // counts from the last progress, so a long INCR transfer that keeps moving finishes.
        QEventLoop loop;
        QTimer bound;
        bound.setSingleShot(true);
        bound.setTimerType(Qt::PreciseTimer);
        QObject::connect(&bound, &QTimer::timeout, &loop, [&] {
            const auto idle = Clock::now() - r->lastProgress();
            if (idle >= kGuiBound)
                loop.quit();
            else
                bound.start(
                    std::chrono::duration_cast<std::chrono::milliseconds>(kGuiBound - idle));
        });
        r->loop = &loop;
        {
            std::lock_guard<std::mutex> lock(r->mutex);
            done = r->done;
        }
        if (!done) {
            bound.start(std::chrono::duration_cast<std::chrono::milliseconds>(kGuiBound));
            loop.exec();
        }
        r->loop = nullptr;
    }
    std::lock_guard<std::mutex> lock(r->mutex);
    if (!r->done) {
        r->abandoned = true;
        return ClipStatus::Busy;
    }
    return r->status;
}

ClipStatus X11Clipboard::formats(ClipFormats& out) {
    out = ClipFormats{};
    auto r = std::make_shared<Request>(Kind::Formats);
    const ClipStatus s = run(r);
    if (s == ClipStatus::Ok)
        out = r->formats;
    return s;
}

ClipStatus X11Clipboard::text(std::string& utf8, bool& present) {
    utf8.clear();
    present = false;
    auto r = std::make_shared<Request>(Kind::Text);
    const ClipStatus s = run(r);
    if (s == ClipStatus::Ok) {
        utf8 = std::move(r->text);
        present = r->present;
    }
    return s;
}

ClipStatus X11Clipboard::picture(QImage& out, bool& present) {
    out = QImage();
    present = false;
    auto r = std::make_shared<Request>(Kind::Picture);
    const ClipStatus s = run(r);
    if (s == ClipStatus::Ok) {
        out = std::move(r->picture);
        present = r->present;
    }
    return s;
}

} // namespace vcl::x11
