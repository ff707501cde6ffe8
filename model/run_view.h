#pragma once
// What a run needs of the windows around it: the progress view, the main window's enabled
// state and the event loop. The windows, the command-line runner and the tests each provide
// their own; the model links no user-interface library.

#include <cstdint>

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
    // Read once per step, so it is a plain function pointer; tests substitute their own.
    std::int64_t (*TickMs)() = &SteadyTickMs;
};
