// Test helpers: a private Xvfb server and the command-line tools driven against it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <sys/types.h>

namespace xtest {

// Starts `Xvfb :N` on the first free N and waits for its socket; returns the display name
// (":N"), or an empty string when no server could be started.
QByteArray startXvfb();
void stopXvfb();

// A child process kept running in the background (an xclip owning the clipboard).
class Child {
public:
    explicit Child(const QStringList& args);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    void signal(int sig);
    void kill(); // SIGKILL and reap

private:
    pid_t pid_ = -1;
};

// Runs a command to its end; returns its standard output (empty on failure).
QByteArray run(const QStringList& args);

// Processes Qt events until `done` holds or `timeoutMs` passes; returns `done()`.
bool pumpUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Waits until some client owns the CLIPBOARD selection (or none, with `owned` false).
bool waitForClipboardOwner(bool owned = true, int timeoutMs = 5000);

// Writes `data` to a fresh temporary file and returns its path (removed at exit).
QString tempFile(const QByteArray& data, const char* suffix = "");

} // namespace xtest
