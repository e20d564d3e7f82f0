#include "bench/gadget/BenchProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace bench {

std::string gadgetPath(const char* argument) {
    if (argument && *argument)
        return argument;
    return QUIBRA_GADGET_PATH;
}

TempDir::TempDir(const char* prefix) {
    std::string pattern =
        std::filesystem::temp_directory_path().string() + "/" + prefix + ".XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string copyGadget(const std::string& gadget, const std::string& folder) {
    const std::string target = folder + "/quibra";
    std::error_code error;
    std::filesystem::copy_file(gadget, target, std::filesystem::copy_options::overwrite_existing,
                               error);
    if (error) {
        std::fprintf(stderr, "cannot copy %s: %s\n", gadget.c_str(), error.message().c_str());
        std::exit(1);
    }
    return target;
}

namespace {

pid_t spawn(const char* const* argv, const std::string& log, int stdinFd) {
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        std::exit(1);
    }
    if (pid == 0) {
        const int out =
            open(log.empty() ? "/dev/null" : log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        if (stdinFd >= 0)
            dup2(stdinFd, STDIN_FILENO);
        execvp(argv[0], const_cast<char* const*>(argv));
        std::fprintf(stderr, "cannot run %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    return pid;
}

std::string readClipboard() {
    FILE* reader = popen("xclip -o -selection clipboard 2>/dev/null", "r");
    if (!reader)
        return {};
    std::string text;
    char chunk[256];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, reader)) > 0)
        text.append(chunk, n);
    pclose(reader);
    return text;
}

} // namespace

pid_t launch(const std::string& program, const std::string& log) {
    const char* argv[] = {program.c_str(), nullptr};
    return spawn(argv, log, -1);
}

bool alive(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == 0;
}

void stop(pid_t pid) {
    if (pid <= 0)
        return;
    int status = 0;
    // Already ended (or reaped): nothing to signal, and the number may belong to another.
    if (waitpid(pid, &status, WNOHANG) != 0)
        return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, &status, WNOHANG) != 0)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

ClipboardText::ClipboardText(const std::string& text) {
    // Close-on-exec: a write end left open in xclip would keep it from ever seeing the end
    // of its input, and it takes the selection only then.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    const char* argv[] = {"xclip", "-quiet", "-selection", "clipboard", nullptr};
    pid_ = spawn(argv, "", fds[0]);
    close(fds[0]);
    const ssize_t written = write(fds[1], text.data(), text.size());
    close(fds[1]);
    if (written != static_cast<ssize_t>(text.size())) {
        stop(pid_);
        pid_ = -1;
        return;
    }
    // xclip takes the selection once it has read its input; wait until a reader sees it.
    for (int i = 0; i < 50 && alive(pid_); ++i) {
        if (readClipboard() == text)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop(pid_);
    pid_ = -1;
}

ClipboardText::~ClipboardText() {
    stop(pid_);
}

double cpuSeconds(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return -1;
    // The command name may hold spaces; the fields after it start behind its ')'.
    const size_t close = line.rfind(')');
    if (close == std::string::npos)
        return -1;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    // Fields 3..13 come before utime (14) and stime (15).
    for (int i = 3; i <= 13; ++i)
        fields >> field;
    fields >> utime >> stime;
    if (!fields)
        return -1;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

long residentKiB(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

} // namespace bench
