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

// The contents on the title page give each section's page; the figures are numbered in order and
// the text refers to all of them; a table broken over two pages repeats its header.
TEST(ReportContents, GiveEachSectionsPageAndNumberTheFigures) {
    QTemporaryDir dir;
    const QString path = ExampleReport(dir, "office_floor.json");
    const QStringList pages = PdfText(path, true).split(QLatin1Char('\f'));
    ASSERT_GT(pages.size(), 10);
    const QStringList sections{QStringLiteral("1. Исходные данные"), QStringLiteral("2. Здание"), QStringLiteral("3. Результаты"),
                               QStringLiteral("4. Графики"), QStringLiteral("5. Область применения и ограничения"),
                               QStringLiteral("6. Проверка модели")};
    ASSERT_TRUE(pages[0].contains(QStringLiteral("Содержание")));
    for (const QString& section : sections) {
        const QRegularExpressionMatch line =
            QRegularExpression(QRegularExpression::escape(section) + QStringLiteral("\\s+(\\d+)\\s*\\n")).match(pages[0]);
        ASSERT_TRUE(line.hasMatch()) << section.toStdString() << "\n" << pages[0].toStdString();
        const int page = line.captured(1).toInt();
        ASSERT_TRUE(page >= 2 && page <= pages.size()) << section.toStdString();
        const QRegularExpression heading(QStringLiteral("(^|\\n)\\s*") + QRegularExpression::escape(section) + QStringLiteral("\\s*\\n"));
        EXPECT_TRUE(pages[page - 1].contains(heading)) << section.toStdString() << " is not on page " << page;
    }
    // Figures 1..N in order, and the text refers to 1–N.
    const QString flat = Flat(PdfText(path));
    int last = 0;
    for (auto it = QRegularExpression(QStringLiteral("Рисунок (\\d+)\\.")).globalMatch(flat); it.hasNext();) {
        const int n = it.next().captured(1).toInt();
        EXPECT_EQ(n, last + 1);
        last = n;
    }
    ASSERT_GT(last, 4);
    EXPECT_TRUE(flat.contains(QRegularExpression(QStringLiteral("рисунках 1–\\s?%1 \\(раздел 4\\)").arg(last)))) << last;
    EXPECT_TRUE(flat.contains(QStringLiteral("(рисунки 1–")));
    // The inputs' table goes on over the next page under its header.
    const qsizetype inputs = pages.indexOf(QRegularExpression(QStringLiteral("(?s)(.*\\n)?\\s*1\\. Исходные данные\\s*\\n.*")));
    ASSERT_GE(inputs, 1);
    const QRegularExpression header(QStringLiteral("Обозн\\.\\s+Величина\\s+Значение"));
    EXPECT_TRUE(pages[inputs + 1].contains(header)) << pages[inputs + 1].left(400).toStdString();
}

}  // namespace
