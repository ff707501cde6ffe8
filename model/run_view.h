#pragma once
// What a run needs of the windows around it: the progress view, the main window's enabled
// state and the event loop. The windows, the command-line runner and the tests each provide
// their own; the model links no user-interface library.

#include <cstdint>

namespace zf {

// Milliseconds of a monotonic clock.
std::int64_t SteadyTickMs();

class RunView {
public:
    virtual ~RunView() = default;
    virtual void ShowProgress() {}                // show the progress view, not modally
    virtual void SetProgressMax(int /*total*/) {}  // the bar's maximum = StepCount
    virtual bool ProgressVisible() { return true; }  // false once the user closed it (stop)
    // Write the current step, model time in whole seconds and total steps.
    virtual void WriteProgress(int /*iter*/, std::int64_t /*seconds*/, int /*total*/) {}
    virtual void ProcessEvents() {}               // let the event loop process pending input
    virtual void CloseProgress() {}
    virtual void SetMainEnabled(bool /*enabled*/) {}

    // The millisecond tick counter the run compares against its 200 ms refresh interval.
    // Read once per step (see TickReader), so it is a plain function pointer; tests
    // substitute their own.
    std::int64_t (*TickMs)() = &SteadyTickMs;
};

// How the run reads the tick counter at every step. A view's own counter is read at every
// step. Reading the standard one (SteadyTickMs) costs 20 to 50 ns here, up to a tenth of a
// small building's step, so while two readings in a row show the same millisecond the reader
// takes one only every 2nd, 4th, ... step (at most every kMaxStride-th) and repeats the last
// in between, and it halves that stride whenever the counter has moved. The value for a step
// is thus never ahead of the counter and at most about a millisecond behind it: a refresh
// still comes only after more than 200 ms, and at most that much later.
class TickReader {
public:
    static constexpr int kMaxStride = 256;

    TickReader(std::int64_t (*tick)(), bool strided) : tick_(tick), strided_(strided) {}
    explicit TickReader(std::int64_t (*tick)()) : TickReader(tick, tick == &SteadyTickMs) {}

    // The tick count for the step that has just ended.
    std::int64_t ForStep() {
        if (!strided_) return tick_();
        if (--untilReading_ > 0) return last_;
        const std::int64_t now = tick_();
        if (now == last_)
            stride_ = stride_ < kMaxStride ? stride_ * 2 : kMaxStride;
        else
            stride_ = stride_ > 1 ? stride_ / 2 : 1;
        untilReading_ = stride_;
        last_ = now;
        return now;
    }

    // A reading now (the run's start and the refresh clock after a refresh, when the event
    // loop may have taken a while): the stride starts again from every step.
    std::int64_t Now() {
        last_ = tick_();
        stride_ = 1;
        untilReading_ = 1;
        return last_;
    }

private:
    std::int64_t (*tick_)();
    bool strided_;
    int stride_ = 1;        // steps between readings
    int untilReading_ = 1;  // steps until the next reading
    std::int64_t last_ = 0; // the last reading [ms]
};

}  // namespace zf
