#include "subprocess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <stdexcept>

namespace {

// A sanitized build runs the program several times slower: the timeout guards against a hang,
// not against a slow machine, so it stretches with the build.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
constexpr int kSlowdown = 5;
#else
constexpr int kSlowdown = 1;
#endif

// The child's three standard descriptors as this process holds them: [0] its reading end,
// [1] its writing end, −1 once closed.
struct Pipes {
    int In[2] = {-1, -1}, Out[2] = {-1, -1}, Err[2] = {-1, -1};
};

// The pipes as the options ask: stderr on a pseudo-terminal, a reading end closed, stdout full.
Pipes OpenPipes(const ChildOptions& options) {
    Pipes p;
    if (pipe2(p.In, O_CLOEXEC) != 0 || pipe2(p.Out, O_CLOEXEC) != 0 || pipe2(p.Err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2");
    if (options.StderrOnTerminal) {
        int terminal[2] = {-1, -1};  // pseudo-terminal: master, slave
        if (openpty(&terminal[0], &terminal[1], nullptr, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
        fcntl(terminal[0], F_SETFD, FD_CLOEXEC);
        fcntl(terminal[1], F_SETFD, FD_CLOEXEC);
        close(p.Err[0]), close(p.Err[1]);
        p.Err[0] = terminal[0], p.Err[1] = terminal[1];
    }
    if (options.StdoutIs == ChildStream::ClosedPipe) close(p.Out[0]), p.Out[0] = -1;
    if (options.StdoutIs == ChildStream::Stalled) {
        // Fill the pipe, then leave it unread: the child's first write waits.
        fcntl(p.Out[1], F_SETFL, O_NONBLOCK);
        const std::string block(4096, '.');
        while (write(p.Out[1], block.data(), block.size()) > 0) {
        }
        fcntl(p.Out[1], F_SETFL, 0);
    }
    if (options.StderrIs == ChildStream::ClosedPipe) close(p.Err[0]), p.Err[0] = -1;
    return p;
}

void Limit(int resource, long bytes) {
    if (bytes < 0) return;
    const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    setrlimit(resource, &limit);
}

// In the forked child: its descriptors as the options ask, default signals and limits, then
// the program.
[[noreturn]] void BecomeProgram(const std::string& program, const std::vector<std::string>& args,
                                const ChildOptions& options, const Pipes& p) {
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const int pipes[3] = {p.In[0], p.Out[1], p.Err[1]};
    const ChildStream kinds[3] = {options.StdinIs, options.StdoutIs, options.StderrIs};
    for (int fd = 0; fd <= 2; ++fd) {
        if (kinds[fd] == ChildStream::Full) {
            const int full = open("/dev/full", O_RDWR);
            dup2(full, fd);
            close(full);
        } else if (kinds[fd] != ChildStream::Closed) {
            dup2(pipes[fd], fd);
        }
    }
    for (int fd = 0; fd <= 2; ++fd)
        if (kinds[fd] == ChildStream::Closed) close(fd);
    for (int s : {SIGINT, SIGPIPE, SIGTERM, SIGHUP, SIGXFSZ}) signal(s, SIG_DFL);
    Limit(RLIMIT_FSIZE, options.FileSizeLimit);
    Limit(RLIMIT_AS, options.MemoryLimit);
    execv(program.c_str(), argv.data());
    _exit(127);
}

// The running child seen from this process: its outputs collected, its interrupts sent when
// their time or event comes, SIGKILL at the timeout.
class Watch {
public:
    using Clock = std::chrono::steady_clock;
    Watch(pid_t pid, Clock::time_point start, const ChildOptions& options, int out, int err)
        : pid_(pid), options_(options), start_(start), fds_{{out, POLLIN, 0}, {err, POLLIN, 0}} {}

    // Until both outputs are at their end and the child has exited: a child whose stdout and
    // stderr are not pipes is still interrupted and timed out.
    ChildResult Run() {
        int status = 0;
        for (bool ended = false; !ended;) {
            if (poll(fds_, 2, std::min(WaitMs(), 100)) < 0) continue;
            Collect();
            Interrupt();
            if (fds_[0].fd < 0 && fds_[1].fd < 0) ended = waitpid(pid_, &status, WNOHANG) == pid_;
        }
        result_.Seconds = static_cast<double>(ElapsedMs()) / 1000.0;
        if (WIFEXITED(status)) result_.ExitCode = WEXITSTATUS(status);
        if (WIFSIGNALED(status)) result_.Signal = WTERMSIG(status);
        return result_;
    }

private:
    long long ElapsedMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
    }
    static int Until(long long dueMs, long long nowMs) { return static_cast<int>(std::max<long long>(0, dueMs - nowMs)); }

    int WaitMs() const {
        int waitMs = fds_[0].fd < 0 && fds_[1].fd < 0 ? 5 : 100;
        if (!interrupted_ && options_.InterruptAfterMs >= 0)
            waitMs = Until(options_.InterruptAfterMs, ElapsedMs());
        else if (!interruptedAgain_ && options_.SecondInterruptAfterMs >= 0)
            waitMs = Until(options_.SecondInterruptAfterMs, ElapsedMs());
        if ((!interrupted_ && options_.InterruptWhen) || (!interruptedAgain_ && options_.SecondInterruptWhen))
            waitMs = std::min(waitMs, 5);  // the condition may be outside the outputs (a file appearing)
        return waitMs;
    }

    void Collect() {
        std::string* sinks[2] = {&result_.Out, &result_.Err};
        for (int i = 0; i < 2; ++i) {
            if (fds_[i].fd < 0 || fds_[i].revents == 0) continue;
            char buf[65536];
            const ssize_t n = read(fds_[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, static_cast<std::size_t>(n));
            } else {  // end of file, or EIO once the terminal's last writer has gone
                close(fds_[i].fd);
                fds_[i].fd = -1;
            }
        }
    }

    void Send(bool& sent, int signal) {
        kill(pid_, signal);
        sent = true;
    }

    void Interrupt() {
        const int sig = options_.InterruptSignal;
        if (!interrupted_ && options_.InterruptAfterMs >= 0 && ElapsedMs() >= options_.InterruptAfterMs) Send(interrupted_, sig);
        if (interrupted_ && !interruptedAgain_ && options_.SecondInterruptAfterMs >= 0 &&
            ElapsedMs() >= options_.SecondInterruptAfterMs)
            Send(interruptedAgain_, sig);
        if (!interrupted_ && options_.InterruptWhen && options_.InterruptWhen(result_))
            Send(interrupted_, sig);
        else if (interrupted_ && !interruptedAgain_ && options_.SecondInterruptWhen && options_.SecondInterruptWhen(result_))
            Send(interruptedAgain_, sig);
        if (!killed_ && ElapsedMs() > static_cast<long long>(options_.TimeoutMs) * kSlowdown) Send(killed_, SIGKILL);
    }

    const pid_t pid_;
    const ChildOptions& options_;
    const Clock::time_point start_;  // the fork's time
    pollfd fds_[2];
    ChildResult result_;
    bool interrupted_ = false, interruptedAgain_ = false, killed_ = false;
};

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args, const ChildOptions& options) {
    // The child may exit without reading its input, and a test may close a pipe on purpose: a
    // closed pipe must not end the tests (the child gets the default back).
    static const bool pipesIgnored = (signal(SIGPIPE, SIG_IGN), true);
    (void)pipesIgnored;
    Pipes p = OpenPipes(options);
    const auto start = Watch::Clock::now();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) BecomeProgram(program, args, options, p);
    close(p.In[0]), close(p.Out[1]), close(p.Err[1]);
    if (!options.Stdin.empty()) [[maybe_unused]] auto n = write(p.In[1], options.Stdin.data(), options.Stdin.size());
    close(p.In[1]);
    const int stalled = options.StdoutIs == ChildStream::Stalled ? p.Out[0] : -1;
    ChildResult result = Watch(pid, start, options, stalled >= 0 ? -1 : p.Out[0], p.Err[0]).Run();
    if (stalled >= 0) close(stalled);
    return result;
}
