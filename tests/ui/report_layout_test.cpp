// The report's pages as a reader sees them: no two words cover each other on any page (chart
// labels, legends, tables, captions), for the example buildings.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "pdf_text.h"
#include "report_pdf.h"
#include "project/document.h"
#include "project/scenario_file.h"

namespace {

// The report of an example building, written into `dir`.
QString ExampleReport(const QTemporaryDir& dir, const char* example) {
    QFile file(QStringLiteral(ZONEFIRE_EXAMPLES "/") + QString::fromUtf8(example));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << example;
    const QByteArray bytes = file.readAll();
    zf::project::Document document;
    EXPECT_EQ(zf::project::ReadDocument(bytes.toStdString(), document), std::nullopt) << example;
    zf::TzoneMath zm;
    zf::project::Apply(document, zm);
    EXPECT_TRUE(zm.Run()) << example;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    const QString failure = WriteReportPdf(path, zm, DescribeDocument(document, QString::fromUtf8(example), bytes));
    EXPECT_TRUE(failure.isEmpty()) << failure.toStdString();
    return path;
}

class ReportPages : public ::testing::TestWithParam<const char*> {};

TEST_P(ReportPages, NoTwoWordsOverlapOnAnyPage) {
    QTemporaryDir dir;
    const std::vector<PdfWord> words = PdfWords(ExampleReport(dir, GetParam()));
    ASSERT_GT(words.size(), 500u);
    const QStringList overlaps = OverlappingWords(words);
    EXPECT_TRUE(overlaps.isEmpty()) << overlaps.join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Examples, ReportPages,
                         ::testing::Values("two_rooms.json", "office_floor.json", "five_rooms_corridor.json",
                                           "two_storey_stair.json", "warehouse.json"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
