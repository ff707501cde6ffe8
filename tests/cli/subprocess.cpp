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

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args, const ChildOptions& options) {
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2");
    int terminal[2] = {-1, -1};  // pseudo-terminal: master, slave
    if (options.StderrOnTerminal) {
        if (openpty(&terminal[0], &terminal[1], nullptr, nullptr, nullptr) != 0) throw std::runtime_error("openpty");
        fcntl(terminal[0], F_SETFD, FD_CLOEXEC);
        fcntl(terminal[1], F_SETFD, FD_CLOEXEC);
        close(err[0]), close(err[1]);
        err[0] = terminal[0], err[1] = terminal[1];
    }

    // The child may exit without reading its input, and a test may close a pipe on purpose: a
    // closed pipe must not end the tests (the child gets the default back below).
    static const bool pipesIgnored = (signal(SIGPIPE, SIG_IGN), true);
    (void)pipesIgnored;
    if (options.StdoutIs == ChildStream::ClosedPipe) close(out[0]), out[0] = -1;
    if (options.StdoutIs == ChildStream::Stalled) {
        // Fill the pipe, then leave it unread: the child's first write waits.
        fcntl(out[1], F_SETFL, O_NONBLOCK);
        const std::string block(4096, '.');
        while (write(out[1], block.data(), block.size()) > 0) {
        }
        fcntl(out[1], F_SETFL, 0);
    }
    if (options.StderrIs == ChildStream::ClosedPipe) close(err[0]), err[0] = -1;

    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        const int pipes[3] = {in[0], out[1], err[1]};
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
        if (options.FileSizeLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(options.FileSizeLimit), static_cast<rlim_t>(options.FileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (options.MemoryLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(options.MemoryLimit), static_cast<rlim_t>(options.MemoryLimit)};
            setrlimit(RLIMIT_AS, &limit);
        }
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(in[0]), in[0] = -1;
    close(out[1]), out[1] = -1;
    close(err[1]), err[1] = -1;

    if (!options.Stdin.empty()) [[maybe_unused]] auto n = write(in[1], options.Stdin.data(), options.Stdin.size());
    close(in[1]), in[1] = -1;

    ChildResult result;
    auto elapsedMs = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    };
    bool interrupted = false, interruptedAgain = false, killed = false;
    const int stalled = options.StdoutIs == ChildStream::Stalled ? out[0] : -1;
    pollfd fds[2] = {{stalled >= 0 ? -1 : out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.Out, &result.Err};
    int status = 0;
    bool ended = false;
    // Until both outputs are at their end and the child has exited: a child whose stdout and
    // stderr are not pipes is still interrupted and timed out.
    while (!ended) {
        int waitMs = fds[0].fd < 0 && fds[1].fd < 0 ? 5 : 100;
        if (!interrupted && options.InterruptAfterMs >= 0)
            waitMs = static_cast<int>(std::max<long long>(0, options.InterruptAfterMs - elapsedMs()));
        else if (!interruptedAgain && options.SecondInterruptAfterMs >= 0)
            waitMs = static_cast<int>(std::max<long long>(0, options.SecondInterruptAfterMs - elapsedMs()));
        if ((!interrupted && options.InterruptWhen) || (!interruptedAgain && options.SecondInterruptWhen))
            waitMs = std::min(waitMs, 5);  // the condition may be outside the outputs (a file appearing)
        if (poll(fds, 2, std::min(waitMs, 100)) < 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buf[65536];
            const ssize_t n = read(fds[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, static_cast<std::size_t>(n));
            } else {  // end of file, or EIO once the terminal's last writer has gone
                close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
        if (!interrupted && options.InterruptAfterMs >= 0 && elapsedMs() >= options.InterruptAfterMs) {
            kill(pid, options.InterruptSignal);
            interrupted = true;
        }
        if (interrupted && !interruptedAgain && options.SecondInterruptAfterMs >= 0 &&
            elapsedMs() >= options.SecondInterruptAfterMs) {
            kill(pid, options.InterruptSignal);
            interruptedAgain = true;
        }
        if (!interrupted && options.InterruptWhen && options.InterruptWhen(result)) {
            kill(pid, options.InterruptSignal);
            interrupted = true;
        } else if (interrupted && !interruptedAgain && options.SecondInterruptWhen && options.SecondInterruptWhen(result)) {
            kill(pid, options.InterruptSignal);
            interruptedAgain = true;
        }
        if (!killed && elapsedMs() > options.TimeoutMs) {
            kill(pid, SIGKILL);
            killed = true;
        }
        if (fds[0].fd < 0 && fds[1].fd < 0) ended = waitpid(pid, &status, WNOHANG) == pid;
    }
    if (stalled >= 0) close(stalled);
    result.Seconds = static_cast<double>(elapsedMs()) / 1000.0;
    if (WIFEXITED(status)) result.ExitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.Signal = WTERMSIG(status);
    return result;
}
