#include "tests/x11/FakeOwner.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace xtest {

FakeOwner::FakeOwner(std::vector<Offer> offers, bool refuseAll)
    : offers_(std::move(offers)), refuseAll_(refuseAll) {
    display_ = XOpenDisplay(nullptr);
    if (!display_ || pipe2(stop_, O_CLOEXEC) != 0) {
        display_ = nullptr;
        return;
    }
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    const Atom clipboard = XInternAtom(display_, "CLIPBOARD", False);
    XSetSelectionOwner(display_, clipboard, window_, CurrentTime);
    XSync(display_, False);
    if (XGetSelectionOwner(display_, clipboard) != window_) {
        XCloseDisplay(display_);
        display_ = nullptr;
        return;
    }
    thread_ = std::thread([this] { serve(); });
}

FakeOwner::~FakeOwner() {
    stopping_ = true;
    if (thread_.joinable()) {
        const char c = 0;
        [[maybe_unused]] ssize_t n = write(stop_[1], &c, 1);
        thread_.join();
    }
    if (display_)
        XCloseDisplay(display_);
    for (int fd : stop_)
        if (fd >= 0)
            close(fd);
}

std::vector<QByteArray> FakeOwner::requested() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requested_;
}

void FakeOwner::serve() {
    const Atom targets = XInternAtom(display_, "TARGETS", False);
    std::vector<Atom> offered{targets};
    for (const Offer& o : offers_)
        offered.push_back(XInternAtom(display_, o.target.constData(), False));
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent ev;
            XNextEvent(display_, &ev);
            if (ev.type != SelectionRequest)
                continue;
            const auto arrived = std::chrono::steady_clock::now();
            while (!stopping_ &&
                   std::chrono::steady_clock::now() - arrived < std::chrono::milliseconds(delayMs_))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const XSelectionRequestEvent& req = ev.xselectionrequest;
            if (char* name = XGetAtomName(display_, req.target)) {
                std::lock_guard<std::mutex> lock(mutex_);
                requested_.push_back(name);
                XFree(name);
            }
            XEvent reply{};
            reply.xselection.type = SelectionNotify;
            reply.xselection.requestor = req.requestor;
            reply.xselection.selection = req.selection;
            reply.xselection.target = req.target;
            reply.xselection.time = req.time;
            reply.xselection.property = 0;
            if (!refuseAll_) {
                if (req.target == targets) {
                    XChangeProperty(display_, req.requestor, req.property, XA_ATOM, 32,
                                    PropModeReplace,
                                    reinterpret_cast<const unsigned char*>(offered.data()),
                                    int(offered.size()));
                    reply.xselection.property = req.property;
                } else {
                    for (size_t i = 0; i < offers_.size(); ++i) {
                        if (offered[i + 1] != req.target)
                            continue;
                        XChangeProperty(
                            display_, req.requestor, req.property, req.target, 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(offers_[i].data.constData()),
                            int(offers_[i].data.size()));
                        reply.xselection.property = req.property;
                    }
                }
            }
            XSendEvent(display_, req.requestor, False, 0, &reply);
            XFlush(display_);
        }
        pollfd fds[2] = {{ConnectionNumber(display_), POLLIN, 0}, {stop_[0], POLLIN, 0}};
        poll(fds, 2, -1);
        if (fds[1].revents)
            return;
    }
}

} // namespace xtest
