// A clipboard owner of the tests' own: offers several targets at once (xclip offers one), or
// refuses every conversion.
#pragma once

#include <QByteArray>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

typedef struct _XDisplay Display;

namespace xtest {

class FakeOwner {
public:
    struct Offer {
        QByteArray target; // e.g. "UTF8_STRING", "image/png"
        QByteArray data;
    };
    // Takes the CLIPBOARD selection before returning. With `refuseAll`, every request, TARGETS
    // included, is answered with a refusal.
    explicit FakeOwner(std::vector<Offer> offers, bool refuseAll = false);
    ~FakeOwner();
    FakeOwner(const FakeOwner&) = delete;
    FakeOwner& operator=(const FakeOwner&) = delete;

    bool owns() const { return display_ != nullptr; }
    // Answers each request this long after it came in (0: at once), as a slow owner would.
    void setDelay(int ms) { delayMs_ = ms; }
    // Names of the targets asked for so far, in order.
    std::vector<QByteArray> requested() const;

private:
    void serve();

    std::vector<Offer> offers_;
    bool refuseAll_;
    Display* display_ = nullptr;
    unsigned long window_ = 0;
    int stop_[2] = {-1, -1};
    mutable std::mutex mutex_;
    std::vector<QByteArray> requested_;
    std::atomic<int> delayMs_{0};
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace xtest
