#pragma once
// Child processes: start a program, poll its exit code, wait for it with a time-out; and
// opening a URL or file with the desktop's handler.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The exit code reported while the program still runs.
constexpr std::uint32_t STILL_ACTIVE = 259;

class TChildProcess {
public:
    TChildProcess() = default;
    // A program still running is left running; it is collected when it ends (no zombie).
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Starts path with a parameter text, split into words at blanks; double quotes group
    // words and \" is a quote. A path without "/" is searched in PATH. Hidden connects the
    // program's standard streams to /dev/null. The program runs in a process group of its
    // own. False when it could not be started (exec failure included), see ErrorText.
    bool Start(const std::string& path, const std::string& parameters, bool hidden = false);
    bool Start(const std::string& path, const std::vector<std::string>& arguments, bool hidden);

    bool Started() const { return pid_ > 0; }
    int Pid() const { return pid_; }
    const std::string& ErrorText() const { return error_; }
    int Error() const { return errno_; } // the system's error number of a failed start

    // STILL_ACTIVE while the program runs; then its exit status, or 128 + the signal that
    // ended it. 0 when nothing was started.
    std::uint32_t ExitCode();
    // Polls the exit code every 10 ms of the application clock until the program has ended
    // (true) or more than timeoutMs ms have passed (false).
    bool WaitFor(std::uint64_t timeoutMs);
    // Ends the program and everything in its process group (SIGKILL) and collects it.
    void Terminate();

private:
    int pid_ = -1;
    bool ended_ = false;
    std::uint32_t exitCode_ = 0;
    std::string error_;
    int errno_ = 0;
};

// Splits a parameter text as TChildProcess::Start does.
std::vector<std::string> SplitParameters(const std::string& parameters);

// Starts a program that the caller does not wait for; it is collected when it ends.
// False when it could not be started.
bool StartDetached(const std::string& path, const std::vector<std::string>& arguments);

// Opens a URL or file with the desktop's handler (xdg-open, started detached). False when the
// handler could not be started.
bool ShellOpen(const std::string& target);
// Replaces the handler (tests: so that nothing is really opened); empty restores xdg-open.
void SetShellOpenHandler(std::function<bool(const std::string&)> handler);
