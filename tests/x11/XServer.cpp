#include "tests/x11/XServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <QThread>

#include <csignal>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>

namespace xtest {

namespace {

pid_t xvfbPid = -1;

pid_t spawn(const QStringList& args, int outFd) {
    std::vector<std::string> strings;
    for (const QString& a : args)
        strings.push_back(a.toStdString());
    std::vector<char*> argv;
    for (auto& s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(outFd >= 0 ? outFd : null, 1);
        dup2(null, 2);
        setpgid(0, 0);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

} // namespace

QByteArray startXvfb() {
    // Several test processes may start servers at once: a taken number makes Xvfb exit, and
    // the next one is tried.
    const int first = 50 + int(getpid() % 400);
    for (int n = first; n < first + 100; ++n) {
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
        if (exists(socket) || exists("/tmp/.X" + std::to_string(n) + "-lock"))
            continue;
        const QString display = QStringLiteral(":%1").arg(n);
        const pid_t pid = spawn(
            {"Xvfb", display, "-screen", "0", "1024x768x24", "-noreset", "-nolisten", "tcp"}, -1);
        if (pid < 0)
            return {};
        for (int i = 0; i < 1000; ++i) { // 10 s
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid)
                break; // lost the race for this number
            if (exists(socket)) {
                if (Display* d = XOpenDisplay(display.toLatin1().constData())) {
                    XCloseDisplay(d);
                    xvfbPid = pid;
                    return display.toLatin1();
                }
            }
            usleep(10000);
        }
        ::kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    return {};
}

void stopXvfb() {
    if (xvfbPid > 0) {
        ::kill(xvfbPid, SIGTERM);
        waitpid(xvfbPid, nullptr, 0);
        xvfbPid = -1;
    }
}

Child::Child(const QStringList& args) : pid_(spawn(args, -1)) {}

Child::~Child() {
    kill();
}

void Child::signal(int sig) {
    if (pid_ > 0)
        ::kill(pid_, sig);
}

void Child::kill() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
}

QByteArray run(const QStringList& args) {
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    const pid_t pid = spawn(args, fds[1]);
    close(fds[1]);
    QByteArray out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0)
        out.append(buf, n);
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return out;
}

bool pumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

bool waitForClipboardOwner(bool owned, int timeoutMs) {
    Display* d = XOpenDisplay(nullptr);
    if (!d)
        return false;
    const Atom clipboard = XInternAtom(d, "CLIPBOARD", False);
    bool ok = false;
    for (int waited = 0; waited <= timeoutMs; waited += 5) {
        if ((XGetSelectionOwner(d, clipboard) != 0) == owned) {
            ok = true;
            break;
        }
        usleep(5000);
    }
    XCloseDisplay(d);
    return ok;
}

QString tempFile(const QByteArray& data, const char* suffix) {
    static std::vector<std::unique_ptr<QTemporaryFile>> files;
    auto file = std::make_unique<QTemporaryFile>(QStringLiteral("/tmp/quibra-x11-XXXXXX") +
                                                 QString::fromLatin1(suffix));
    if (!file->open())
        return {};
    file->write(data);
    file->flush();
    const QString path = file->fileName();
    files.push_back(std::move(file));
    return path;
}

} // namespace xtest
