#pragma once
// What report_pdf_test.cpp and report_pdf_reviewer_test.cpp share: their includes, helpers and fixture.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "../cli/subprocess.h"
#include "model_accuracy.h"
#include "model_notes.h"
#include "pdf_text.h"
#include "report_pdf.h"
#include "project/scenario_file.h"
#include "u_ShowResult.h"
#include "number_format.h"
#include "verdict_table.h"


// Two rooms of the whole-model check at a coarse step, long enough for several limits.
inline const char* const kTwoRooms = R"({"SimTime": 120, "dt": 0.01,
    "rooms": [{"length": 5, "width": 4, "height": 3}, {"length": 6, "width": 5, "height": 3}],
    "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}]})";

class ReportPdf : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(zf::project::ReadScenario(kTwoRooms, zm), std::nullopt);
        description.FileName = QStringLiteral("two_rooms.json");
        description.FileBytes = QByteArray(kTwoRooms);
    }
    QString Write(const QString& name = QStringLiteral("report.pdf")) {
        const QString path = dir.filePath(name);
        const QString failure = WriteReportPdf(path, zm, description);
        EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
        return path;
    }

    QTemporaryDir dir;
    zf::TzoneMath zm;
    ScenarioDescription description;
    TF_ShowResult charts;
};
