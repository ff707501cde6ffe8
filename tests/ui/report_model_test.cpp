// The report on the model a run used: a room that ends hotter than the fire room is warned of
// beside the verdict, and the last section quotes the validation figures of the run's model.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "pdf_text.h"
#include "project/scenario_file.h"
#include "report_pdf.h"

namespace {

// Two rooms joined by a doorway at a coarse step.
const char* const kTwoRooms = R"({"SimTime": 60, "dt": 0.01,
    "rooms": [{"length": 5, "width": 4, "height": 3}, {"length": 6, "width": 5, "height": 3}],
    "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}]})";

class ReportOnTheModel : public ::testing::Test {
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
};

// A room that ends hotter than the fire room: the report says so beside the verdict and points
// to consistent outflow; a building where none does carries no such warning.
TEST_F(ReportOnTheModel, WarnsWhereARoomEndsHotterThanTheFireRoom) {
    ASSERT_TRUE(zm.Run());
    const std::size_t last = static_cast<std::size_t>(zm.SampleCount - 1);
    zm.Room(1).Samples[last].T2 = zm.Room(0).Samples[last].T2 - 1;
    EXPECT_FALSE(Flat(PdfText(Write())).contains(QStringLiteral("температура верхнего слоя к концу расчета")));
    zm.Room(1).Samples[last].T2 = zm.Room(0).Samples[last].T2 + 1;
    const QString text = Flat(PdfText(Write(QStringLiteral("warned.pdf"))));
    EXPECT_TRUE(text.contains(QStringLiteral("Внимание: В помещении №2 температура верхнего слоя к концу расчета выше")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Включите «Согласованный уход газов через проемы»")));  // the check box
    EXPECT_LT(text.indexOf(QStringLiteral("Вывод по эвакуации")), text.indexOf(QStringLiteral("Внимание: В помещении №2")));
}

// The report quotes the validation figures of the model the run used, and where it is too cold.
TEST_F(ReportOnTheModel, QuotesTheFiguresOfTheModelTheRunUsed) {
    zm.Options.HeatLoss.Enabled = true;
    zm.Options.HeatLoss.Walls = zf::MaterialSurface("gypsum_board", 0.0125);
    ASSERT_TRUE(zm.Run());
    const QString text = Flat(PdfText(Write()));
    const qsizetype model = text.indexOf(QStringLiteral("Модель этого расчета: теплопотери, зависимость для факела"));
    ASSERT_GE(model, 0) << text.toStdString();
    EXPECT_GT(model, text.indexOf(QStringLiteral("Область применения и ограничения")));
    EXPECT_TRUE(text.contains(QStringLiteral("Не в запас: температура слоя дыма получается ниже измеренной")));
    EXPECT_TRUE(text.contains(QStringLiteral("очаг у стены или в углу")));
}

// The report states where the model applies, what it leaves out and where it errs on the unsafe
// side, then the validation's summary; it carries no notice against real use. With heat loss on,
// the paragraph on heat kept in the gas and the matching "not modelled" item are left out.
TEST_F(ReportOnTheModel, StatesItsScopeAndValidationWithoutADisclaimer) {
    ASSERT_TRUE(zm.Run());
    const QString text = Flat(PdfText(Write()));
    // The sections, after their lines in the contents.
    const qsizetype scope = text.lastIndexOf(QStringLiteral("5. Область применения и ограничения"));
    const qsizetype check = text.lastIndexOf(QStringLiteral("6. Проверка модели"));
    ASSERT_GE(scope, 0);
    EXPECT_GT(check, scope);
    for (const char* heading : {"Допущения двухзонной модели", "Что модель не учитывает", "Где результат не в запас"}) {
        const qsizetype at = text.indexOf(QString::fromUtf8(heading), scope);
        EXPECT_TRUE(at > scope && at < check) << heading;
    }
    EXPECT_TRUE(text.contains(QStringLiteral("теплопотери газа в потолок и стены")));
    EXPECT_TRUE(text.contains(QStringLiteral("Теплообмен газа со стенами и перекрытиями в балансе энергии не учитывается")));
    for (const char* notice : {"реальных расчетов", "не может применяться", "тестирования расчетного модуля"})
        EXPECT_FALSE(text.contains(QString::fromUtf8(notice))) << notice;

    zm.Options.HeatLoss.Enabled = true;
    zm.Options.HeatLoss.Walls = zf::MaterialSurface("concrete", 0.2);
    ASSERT_TRUE(zm.Run());
    const QString warm = Flat(PdfText(Write(QStringLiteral("heat_loss.pdf"))));
    EXPECT_FALSE(warm.contains(QStringLiteral("теплопотери газа в потолок и стены")));
    EXPECT_FALSE(warm.contains(QStringLiteral("Теплообмен газа со стенами и перекрытиями в балансе энергии не учитывается")));
}

}  // namespace
