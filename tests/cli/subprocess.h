#pragma once
// Starting zonefire-cli as a child process, as a user or a script would.

#include <functional>
#include <string>
#include <vector>

struct ChildResult {
    int ExitCode = -1;      // exit status, −1 when the child ended by a signal
    int Signal = 0;         // the signal that ended it, 0 when it exited
    std::string Out;        // stdout
    std::string Err;        // stderr (a terminal's output when StderrOnTerminal)
    double Seconds = 0;     // wall-clock time from start to end
};

// What one of the child's standard descriptors is.
enum class ChildStream {
    Pipe,        // a pipe to this process (stdin: fed from Stdin; stdout, stderr: collected)
    Closed,      // closed, as `>&-` leaves it
    Full,        // /dev/full: every write fails for want of space
    ClosedPipe,  // a pipe whose reading end this process has closed: writes meet a broken pipe
    Stalled,     // a full pipe nobody reads (a paused pager): writes wait until the child ends
};

struct ChildOptions {
    std::string Stdin;              // written to the child's stdin, which is then closed
    int InterruptAfterMs = -1;      // send InterruptSignal this long after the start (−1: never)
    int InterruptSignal = 2;        // SIGINT (Ctrl-C) unless told otherwise
    int SecondInterruptAfterMs = -1;  // send it again this long after the start (−1: never)
    // Send InterruptSignal as soon as this holds, asked whenever output arrives and every few
    // milliseconds with the outputs so far: on an event of the child's, not after a time that
    // assumes the machine's speed. The second is asked only after the first was sent.
    std::function<bool(const ChildResult& sofar)> InterruptWhen;
    std::function<bool(const ChildResult& sofar)> SecondInterruptWhen;
    ChildStream StdinIs = ChildStream::Pipe, StdoutIs = ChildStream::Pipe, StderrIs = ChildStream::Pipe;
    long FileSizeLimit = -1;        // the largest file the child may write [bytes] (−1: no limit)
    long MemoryLimit = -1;          // the child's address space [bytes] (−1: no limit)
    bool StderrOnTerminal = false;  // stderr is a pseudo-terminal, so the program sees a tty
    int TimeoutMs = 60000;          // SIGKILL after this long, so a hang fails the test
};

// Runs the program with `args` (without argv[0]) and collects its outputs.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildOptions& options = {});
