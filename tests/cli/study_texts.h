#pragma once
// Study files for the tests in this process: a two-room base with the given inputs varied.

#include <string>

#include "study_file.h"

namespace zftest {

inline const std::string kStudyBase =
    R"("base": {"dt": 0.01, "rooms": [{"length": 5, "width": 4, "height": 3}, {}], "openings": [{"rooms": [1, 2]}, {"rooms": [2, 2]}]})";

inline std::string StudyText(const std::string& vary, const std::string& more = R"("runs": 10, "seed": 3, "sampling": "monte-carlo")") {
    return "{" + kStudyBase + ", " + more + ", \"vary\": [" + vary + "]}";
}

// The reader's refusal of a study text, or "(accepted)".
inline std::string Refusal(const std::string& text) {
    zfcli::study::Study study;
    return zfcli::study::ReadStudy(text, ".", study).value_or("(accepted)");
}

}  // namespace zftest
