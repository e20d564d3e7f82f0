// Process helpers shared by the gadget's benchmarks: launching the gadget from a folder of its
// own, owning the clipboard through xclip, and reading a process's figures from /proc.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The gadget to run: the argument if given, else the one built with this benchmark.
std::string gadgetPath(const char* argument);

// A temporary folder, removed with everything in it when the object goes.
class TempDir {
public:
    explicit TempDir(const char* prefix);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Copies the gadget into `folder`: it makes its capture folder next to its program file.
std::string copyGadget(const std::string& gadget, const std::string& folder);

// Starts a program with no arguments; its output goes to `log` (or nowhere if empty).
pid_t launch(const std::string& program, const std::string& log);
// Ends a launched process and reaps it.
void stop(pid_t pid);
bool alive(pid_t pid);

// Owns the clipboard with a fixed text for as long as the object lives. xclip runs in the
// foreground (-quiet) so that its process can be ended; it serves every request meanwhile.
class ClipboardText {
public:
    explicit ClipboardText(const std::string& text);
    ~ClipboardText();
    ClipboardText(const ClipboardText&) = delete;
    ClipboardText& operator=(const ClipboardText&) = delete;
    bool ok() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

// utime + stime in seconds; negative if the process is gone.
double cpuSeconds(pid_t pid);
// VmRSS in KiB; negative if unknown.
long residentKiB(pid_t pid);

} // namespace bench
