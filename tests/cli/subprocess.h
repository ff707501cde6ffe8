#pragma once
// Starting zonefire-cli as a child process, as a user or a script would.

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
    ChildStream StdinIs = ChildStream::Pipe, StdoutIs = ChildStream::Pipe, StderrIs = ChildStream::Pipe;
    long FileSizeLimit = -1;        // the largest file the child may write [bytes] (−1: no limit)
    bool StderrOnTerminal = false;  // stderr is a pseudo-terminal, so the program sees a tty
    int TimeoutMs = 60000;          // SIGKILL after this long, so a hang fails the test
};

// Runs the program with `args` (without argv[0]) and collects its outputs.
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const ChildOptions& options = {});
