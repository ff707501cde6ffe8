#pragma once
// The step check: the same building run at the step dt and at dt/2, and how far each room's
// critical times and blocking time moved. An explicit scheme's results converge as the step
// shrinks; a time that still moves by more than kStepCheckLimit between dt and dt/2 says the
// step is too large for this building. The runner's --check-step, the main window's menu
// item and validation/results/step_check.csv all use this code.

#include <optional>
#include <string>
#include <vector>

#include "model/scenario.h"

namespace zfreport {

// A shift of more than this share of the time at dt/2 means the step is too large [-].
inline constexpr double kStepCheckLimit = 0.05;

struct StepCheckRow {
    int Room = 0;                   // room index
    std::string Factor;             // "T", "O2", … or "t_бл" for the blocking time
    std::optional<double> Coarse;   // the time at dt [s]; none: not reached
    std::optional<double> Fine;     // the time at dt/2 [s]
    std::optional<double> Shift;    // |coarse − fine| / fine [-]; none when either is missing
    bool TooLarge = false;          // the shift exceeds the limit, or only one run reached it
};

struct StepCheck {
    double Step = 0;            // dt [s]
    bool CoarseCompleted = false, FineCompleted = false;
    std::string CoarseFault, FineFault;  // why a run failed (DescribeFault), empty if it did not
    std::vector<StepCheckRow> Rows;      // per room: the seven factors, then the blocking time
    bool TooLarge() const;
    double LargestShift() const;         // [-], 0 when no time was reached in both runs
};

// Compares two finished runs of one building, `coarse` at dt and `fine` at dt/2.
StepCheck CompareSteps(const zf::TzoneMath& coarse, bool coarseOk, const zf::TzoneMath& fine, bool fineOk);

// The check in words: the verdict first, then a table of the times per room and factor.
std::string StepCheckText(const StepCheck& check);

// One line per room and factor: room,factor,t_dt,t_dt2,shift,too_large (times in s, empty
// where not reached).
std::string StepCheckCsv(const StepCheck& check, const std::string& caseName = {});
inline constexpr const char* kStepCheckCsvHeader = "case,room,factor,t_dt_s,t_half_dt_s,shift,too_large\n";

}  // namespace zfreport
