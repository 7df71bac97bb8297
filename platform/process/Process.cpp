#include "platform/process/Process.h"

#include "platform/base/Clock.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::mutex handlerMutex;
std::function<bool(const std::string&)> shellOpenHandler;

// posix_spawn reports a failed exec through its result, so a missing or non-executable
// program is a start failure and not a child that ends at once.
int spawn(const std::string& path, const std::vector<std::string>& arguments, bool hidden,
          bool newSession, pid_t& pid) {
    std::vector<std::string> args;
    args.push_back(path);
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attr);
    if (hidden) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    flags |= newSession ? POSIX_SPAWN_SETSID : POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setflags(&attr, flags);
    posix_spawnattr_setpgroup(&attr, 0);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &all);
    int r = path.find('/') == std::string::npos
                ? posix_spawnp(&pid, path.c_str(), &actions, &attr, argv.data(), environ)
                : posix_spawn(&pid, path.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return r;
}

bool xdgOpen(const std::string& target) {
    return StartDetached("xdg-open", {target});
}

} // namespace

std::vector<std::string> SplitParameters(const std::string& parameters) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        char c = parameters[i];
        if (c == '\\' && i + 1 < parameters.size() && parameters[i + 1] == '"') {
            word += '"';
            inWord = true;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

namespace {

// A thread of its own waits for the program and collects it, so no zombie is left.
void reapWhenEnded(pid_t pid) {
    std::thread([pid] {
        int status;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }).detach();
}

} // namespace

TChildProcess::~TChildProcess() {
    // A program still running is left running and collected when it ends.
    if (pid_ > 0 && !ended_ && ExitCode() == STILL_ACTIVE) reapWhenEnded(pid_);
}

bool TChildProcess::Start(const std::string& path, const std::string& parameters, bool hidden) {
    return Start(path, SplitParameters(parameters), hidden);
}

bool TChildProcess::Start(const std::string& path, const std::vector<std::string>& arguments,
                          bool hidden) {
    if (pid_ > 0 && !ended_) {
        errno_ = EBUSY;
        error_ = "A program is running already";
        return false;
    }
    pid_ = -1;
    ended_ = false;
    exitCode_ = 0;
    pid_t pid = -1;
    int r = spawn(path, arguments, hidden, false, pid);
    if (r != 0) {
        errno_ = r;
        error_ = "Cannot start \"" + path + "\": " + std::strerror(r);
        return false;
    }
    errno_ = 0;
    error_.clear();
    pid_ = pid;
    return true;
}

std::uint32_t TChildProcess::ExitCode() {
    if (pid_ <= 0) return 0;
    if (ended_) return exitCode_;
    int status = 0;
    pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == 0) return STILL_ACTIVE;
    if (r < 0) { // collected elsewhere; the code is lost
        ended_ = true;
        exitCode_ = 0;
        return exitCode_;
    }
    ended_ = true;
    if (WIFEXITED(status))
        exitCode_ = std::uint32_t(WEXITSTATUS(status));
    else if (WIFSIGNALED(status))
        exitCode_ = 128 + std::uint32_t(WTERMSIG(status));
    return exitCode_;
}

bool TChildProcess::WaitFor(std::uint64_t timeoutMs) {
    TClock& clock = ApplicationClock();
    std::uint64_t start = clock.TickCount();
    for (;;) {
        if (ExitCode() != STILL_ACTIVE) return true;
        if (clock.TickCount() - start > timeoutMs) return false;
        clock.Sleep(10);
    }
}

void TChildProcess::Terminate() {
    if (pid_ <= 0 || ended_) return;
    ::kill(-pid_, SIGKILL);
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_) {
        ended_ = true;
        exitCode_ = 128 + SIGKILL;
    }
}

bool StartDetached(const std::string& path, const std::vector<std::string>& arguments) {
    pid_t pid = -1;
    if (spawn(path, arguments, true, true, pid) != 0) return false;
    reapWhenEnded(pid);
    return true;
}

bool ShellOpen(const std::string& target) {
    std::function<bool(const std::string&)> handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = shellOpenHandler;
    }
    return handler ? handler(target) : xdgOpen(target);
}

void SetShellOpenHandler(std::function<bool(const std::string&)> handler) {
    std::lock_guard lock(handlerMutex);
    shellOpenHandler = std::move(handler);
}
