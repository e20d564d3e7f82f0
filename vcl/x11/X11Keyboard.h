// The Print Screen key, read from XInput2 raw key events on an X connection of our own.
#pragma once

#include <memory>

namespace vcl::x11 {

// Watches the Print key without grabbing it. The connection's socket is watched by the Qt
// event loop of the thread that creates the watcher (the GUI thread).
class PrintKeyWatcher {
public:
    PrintKeyWatcher();
    ~PrintKeyWatcher();
    PrintKeyWatcher(const PrintKeyWatcher&) = delete;
    PrintKeyWatcher& operator=(const PrintKeyWatcher&) = delete;

    // Is the key down now, or was it pressed since the last question? Always false when the
    // X server offers no XInput2.
    bool pressed();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace vcl::x11
