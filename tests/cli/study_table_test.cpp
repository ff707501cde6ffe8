// runs.csv written and read back, and the summary over its rows.

#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "study_file.h"
#include "study_table.h"
#include "study_texts.h"

using namespace zfcli::study;
using zftest::StudyText;

TEST(StudyCsv, RowsReadBackAsWritten) {
    Study study;
    ASSERT_EQ(ReadStudy(StudyText(R"({"input": "plume", "distribution": "choice", "values": ["tanaka", "mccaffrey"]},
        {"input": "Vlin", "distribution": "uniform", "min": 0.01, "max": 0.02},
        {"input": "Lco", "distribution": "uniform", "min": 0, "max": 60})"),
                        ".", study),
              std::nullopt);
    study.RoomHasEvacuation = {false, true};  // as a study whose room 2 has evacuation inputs
    RunRow ok;
    ok.Run = 3;
    ok.Inputs = {"mccaffrey", "0.013", "12.5"};
    ok.Step = 19999;
    ok.Rooms.resize(2);
    ok.Rooms[0].Blocking = 30.1;
    ok.Rooms[0].Factors = "T+Vis";
    ok.Rooms[0].Times = {30.1, 0, 30.1, 0, 0, 41.2, 0};
    ok.Rooms[1].Verdict = "undetermined";
    ok.Rooms[1].VerdictReason = "расчет короче, чем нужно: 60 с, а нужно 75,5 с";
    RunRow failed = ok;
    failed.Run = 4;
    failed.Status = RunStatus::Failed;
    failed.Step = 0;
    failed.Fault = "Помещение №2: \"плотность\", деление на ноль\nвторая строка";
    failed.Rooms.assign(2, RoomRow{});
    const std::string csv = CsvHeader(study) + "\n" + CsvRow(study, ok) + CsvRow(study, failed);
    EXPECT_NE(CsvHeader(study).find("room2_verdict"), std::string::npos);
    EXPECT_EQ(CsvHeader(study).find("room1_verdict"), std::string::npos);

    std::vector<RunRow> rows;
    ASSERT_EQ(ParseCsv(study, csv, rows), std::nullopt);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(CsvRow(study, rows[0]) + CsvRow(study, rows[1]), CsvRow(study, ok) + CsvRow(study, failed));
    EXPECT_EQ(rows[1].Fault, failed.Fault);
    EXPECT_EQ(rows[0].Rooms[0].Times[5], 41.2);
    EXPECT_EQ(rows[0].Rooms[1].VerdictReason, ok.Rooms[1].VerdictReason);
    // A verdict the program never writes is refused.
    rows.clear();
    std::string forged = CsvRow(study, ok);
    forged.replace(forged.find("undetermined"), 12, "probably");
    ASSERT_TRUE(ParseCsv(study, CsvHeader(study) + "\n" + forged, rows).has_value());

    // A row cut short by a kill is dropped; a damaged one is refused with its line.
    rows.clear();
    ASSERT_EQ(ParseCsv(study, csv + "5,tanaka,0.01", rows), std::nullopt);
    EXPECT_EQ(rows.size(), 2u);
    rows.clear();
    const auto refused = ParseCsv(study, csv + "5,heskestad" + CsvRow(study, ok).substr(11), rows);
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find("строка 4"), std::string::npos) << *refused;
}

// Six runs of a two-room study varying Vlin, T0 and Lco: blocking falls as Vlin grows, T0 is
// unrelated; run 5 failed at step 1234 and run 6 never reached a limit. Room 1 has evacuation
// inputs, room 2 none.
class StudySummary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(ReadStudy(StudyText(R"({"input": "Vlin", "distribution": "uniform", "min": 0.01, "max": 0.02},
        {"input": "T0", "distribution": "uniform", "min": 280, "max": 300},
        {"input": "Lco", "distribution": "uniform", "min": 0, "max": 60})"),
                            ".", study),
                  std::nullopt);
        study.RoomHasEvacuation = {true, false};  // as a study whose room 1 has evacuation inputs
        const double t0[] = {290, 283, 299, 281, 295, 288};
        const char* verdict[] = {"safe", "safe", "unsafe", "unsafe", "unsafe", "undetermined"};
        for (int i = 0; i < 6; ++i) {
            RunRow r;
            r.Run = static_cast<std::uint64_t>(i + 1);
            r.Inputs = {std::to_string(kVlin[i]), std::to_string(t0[i]), "30"};
            r.Rooms.resize(2);
            if (i < 5) r.Rooms[0].Blocking = 100.0 - 10 * i;  // 100, 90, 80, 70, 60
            r.Rooms[0].Verdict = verdict[i];
            rows.push_back(r);
        }
        rows[4].Status = RunStatus::Failed;
        rows[4].Step = 1234;
        rows[4].Fault = "переполнение";
    }

    static constexpr double kVlin[] = {0.011, 0.013, 0.015, 0.017, 0.019, 0.012};
    Study study;
    std::vector<RunRow> rows;
};

TEST_F(StudySummary, CountsTheRunsAndTheTimesOfTheCompletedOnes) {
    const std::string json = SummaryJson(study, rows, Share{});
    EXPECT_NE(json.find("\"completed\": 5"), std::string::npos) << json;
    EXPECT_NE(json.find("\"failed\": 1"), std::string::npos) << json;
    // Completed runs: 100, 90, 80, 70 and one not reached; the mean is of the reached four.
    EXPECT_NE(json.find("\"mean\": 85.0"), std::string::npos) << json;
    EXPECT_NE(json.find("\"share_reached\": 0.8"), std::string::npos) << json;
    EXPECT_NE(json.find("\"p50\": 90.0"), std::string::npos) << json;
    EXPECT_NE(json.find("\"p95\": null"), std::string::npos) << json;
}

TEST_F(StudySummary, SharesVerdictsAmongCompletedRunsAndListsTheFailedOne) {
    // The failed run's "unsafe" counts nowhere: shares are among the completed runs with a
    // verdict (2 safe, 2 unsafe); the undetermined one and the failed one stand apart.
    const auto summary = nlohmann::json::parse(SummaryJson(study, rows, Share{}));
    const auto& verdicts = summary["rooms"][0]["verdict"];
    EXPECT_EQ(verdicts["safe"], 2);
    EXPECT_EQ(verdicts["unsafe"], 2);
    EXPECT_EQ(verdicts["undetermined"], 1);
    EXPECT_EQ(verdicts["failed"], 1);
    EXPECT_DOUBLE_EQ(verdicts["share_safe"].get<double>(), 0.5);
    EXPECT_TRUE(summary["rooms"][1]["verdict"].is_null());  // room 2 has no evacuation inputs
    // The failed run is listed with its step and inputs.
    ASSERT_EQ(summary["failed_runs"].size(), 1u);
    EXPECT_EQ(summary["failed_runs"][0]["run"], 5);
    EXPECT_EQ(summary["failed_runs"][0]["step"], 1234);
    EXPECT_EQ(summary["failed_runs"][0]["inputs"]["Vlin"], std::to_string(kVlin[4]));
}

TEST_F(StudySummary, RanksTheInputThatDrivesTheBlockingTimeFirst) {
    // Vlin is ranked first, with a strong negative correlation.
    const std::string json = SummaryJson(study, rows, Share{});
    const auto vlinAt = json.find("\"input\": \"Vlin\""), t0At = json.find("\"input\": \"T0\"");
    EXPECT_LT(vlinAt, t0At);
    EXPECT_NE(json.find("\"rank_correlation\": -", vlinAt), std::string::npos);
}

TEST_F(StudySummary, SaysTheSameInWords) {
    const std::string text = SummaryText(study, rows, Share{});
    EXPECT_NE(text.find("Помещение №1"), std::string::npos);
    EXPECT_NE(text.find("Среднее t_бл: 85,0 с"), std::string::npos) << text;
    EXPECT_NE(text.find("95-й не достигнуто"), std::string::npos) << text;
    EXPECT_NE(text.find("«безопасно» — 2, «опасно» — 2 (расчетов с выводом: 4; доля «безопасно» — 50,0 %); "
                        "«не определено»: завершенных расчетов — 1, расчетов с ошибкой — 1"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("№5, шаг 1234: переполнение\n    Vlin = " + std::to_string(kVlin[4]) + "; T0 = "), std::string::npos) << text;
}
