// The report's inputs: every input is printed with where its value came from, and one that is
// not the program's default is marked, whichever input it is.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <functional>
#include <iterator>

#include "pdf_text.h"
#include "report_html.h"
#include "report_inputs.h"
#include "project/document.h"
#include "project/fire_loads.h"

namespace {

using zfpdf::InputLine;

// A one-room building with every input at its default.
zf::TzoneMath DefaultBuilding() {
    zf::project::Document document;
    document.Rooms.emplace_back();
    zf::TzoneMath zm;
    zf::project::Apply(document, zm);
    return zm;
}

const InputLine* Find(const std::vector<InputLine>& lines, const QString& name) {
    const auto at = std::find_if(lines.begin(), lines.end(), [&](const InputLine& l) { return l.Name.startsWith(name); });
    return at == lines.end() ? nullptr : &*at;
}

// Every row of the input table, at its default and at another value.
class InputRowMark : public ::testing::TestWithParam<std::size_t> {};

TEST_P(InputRowMark, MarkedOnlyWhenNotTheDefault) {
    const zf::Input& input = zf::kInputs[GetParam()];
    zf::TzoneMath zm = DefaultBuilding();
    const InputLine plain = zfpdf::LineOf(input, zm, {});
    EXPECT_FALSE(plain.Changed);
    EXPECT_FALSE(plain.Value.endsWith(zfpdf::kChangedMark)) << plain.Value.toStdString();
    EXPECT_EQ(plain.Source, QStringLiteral("значение программы по умолчанию"));

    input.In(zm) = input.Default + 1;
    const InputLine own = zfpdf::LineOf(input, zm, {});
    EXPECT_TRUE(own.Changed);
    EXPECT_TRUE(own.Value.endsWith(zfpdf::kChangedMark)) << own.Value.toStdString();
    EXPECT_TRUE(own.Source.startsWith(QStringLiteral("задано пользователем (по умолчанию "))) << own.Source.toStdString();
}

// The settings list holds every row but the critical values, which have a table of their own.
TEST(InputLines, SettingsHoldEveryRowButTheCriticalValues) {
    const zf::TzoneMath zm = DefaultBuilding();
    const std::vector<InputLine> lines = zfpdf::SettingLines(zm, {});
    for (const zf::Input& input : zf::kInputs)
        EXPECT_EQ(Find(lines, zfpdf::Utf8(input.Name)) != nullptr, input.Group != zf::InputGroup::Critical) << input.Key;
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(), [](const InputLine& l) { return l.Changed; }));
}

INSTANTIATE_TEST_SUITE_P(EveryInput, InputRowMark, ::testing::Range(std::size_t{0}, std::size(zf::kInputs)),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return std::string(zf::kInputs[info.param].Key);
                         });

// The values that are no row of the input table: the recording interval, the safety factor,
// the plume and the model's options.
struct OtherInput {
    const char* Case;
    const char* Name;  // the start of the line's name
    std::function<void(zf::TzoneMath&, ScenarioDescription&)> Change;
};

class OtherInputMark : public ::testing::TestWithParam<OtherInput> {};

TEST_P(OtherInputMark, MarkedOnlyWhenNotTheDefault) {
    zf::TzoneMath zm = DefaultBuilding();
    ScenarioDescription description;
    const auto line = [&] {
        std::vector<InputLine> lines = zfpdf::SettingLines(zm, description);
        const std::vector<InputLine> options = zfpdf::OptionLines(zm);
        lines.insert(lines.end(), options.begin(), options.end());
        const InputLine* found = Find(lines, QString::fromUtf8(GetParam().Name));
        return found ? *found : InputLine{};
    };
    const InputLine plain = line();
    ASSERT_FALSE(plain.Name.isEmpty()) << GetParam().Name;
    EXPECT_FALSE(plain.Changed);
    EXPECT_FALSE(plain.Value.endsWith(zfpdf::kChangedMark));
    GetParam().Change(zm, description);
    const InputLine own = line();
    EXPECT_TRUE(own.Changed);
    EXPECT_TRUE(own.Value.endsWith(zfpdf::kChangedMark)) << own.Value.toStdString();
    EXPECT_NE(own.Value, plain.Value);
}

INSTANTIATE_TEST_SUITE_P(
    NoRowOfTheTable, OtherInputMark,
    ::testing::Values(
        OtherInput{"RecordingInterval", "Интервал записи", [](zf::TzoneMath& zm, ScenarioDescription&) { zm.SamplesPerSec = 2; }},
        OtherInput{"SafetyFactor", "Коэффициент безопасности",
                   [](zf::TzoneMath&, ScenarioDescription& d) { d.Evacuation.SafetyFactor = 0.5; }},
        OtherInput{"Plume", "Расчет производительности", [](zf::TzoneMath& zm, ScenarioDescription&) { zm.UseTanaka = false; }},
        OtherInput{"ConsistentOutflow", "Согласованный",
                   [](zf::TzoneMath& zm, ScenarioDescription&) { zm.Options.ConsistentOutflow = true; }},
        OtherInput{"HeatLoss", "Теплопотери",
                   [](zf::TzoneMath& zm, ScenarioDescription&) {
                       zm.Options.HeatLoss.Enabled = true;
                       zm.Options.HeatLoss.Walls = zf::MaterialSurface("concrete", 0.2);
                   }}),
    [](const ::testing::TestParamInfo<OtherInput>& info) { return std::string(info.param.Case); });

// Inputs taken from the fire-load library name it; one changed after choosing names the user.
TEST(InputLines, FireLoadInputsNameTheLibraryUntilChanged) {
    const std::vector<zf::project::FireLoad>& library = zf::project::BuiltInFireLoads();
    ASSERT_FALSE(library.empty());
    const zf::project::FireLoad& load = library.front();
    zf::project::Document document;
    document.Rooms.emplace_back();
    zf::project::ApplyFireLoad(load, document.Params);
    document.Params.Qn += 1000;
    zf::TzoneMath zm;
    zf::project::Apply(document, zm);
    ScenarioDescription description;
    description.FireLoad = QString::fromStdString(load.Name);
    const std::vector<InputLine> lines = zfpdf::SettingLines(zm, description);
    const QString library_ = QStringLiteral("библиотека пожарных нагрузок: «%1»").arg(description.FireLoad);
    for (std::string_view key : zf::project::FireLoadKeys()) {
        const InputLine* line = Find(lines, zfpdf::Utf8(zf::InputOf(key).Name));
        ASSERT_NE(line, nullptr) << key;
        if (key == "Qn") EXPECT_TRUE(line->Source.startsWith(QStringLiteral("задано пользователем"))) << key;
        else EXPECT_EQ(line->Source, library_) << key;
    }
    EXPECT_EQ(Find(lines, QStringLiteral("Температура наружного воздуха"))->Source,
              QStringLiteral("значение программы по умолчанию"));
}

// On paper: the marks' footnote stands only when something is marked, the options have their
// table, and the heat-loss surfaces are named by their material.
TEST(InputLines, TheReportPrintsTheMarksAndTheOptions) {
    QTemporaryDir dir;
    zf::TzoneMath zm = DefaultBuilding();
    zm.SimTime = 5;
    zm.dt = 0.01;
    ASSERT_TRUE(zm.Run());
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    ASSERT_TRUE(WriteReportPdf(path, zm, {}).isEmpty());
    const QString text = Flat(PdfText(path));
    EXPECT_TRUE(text.contains(QStringLiteral("Варианты модели")));
    // The simulated time is not the default (the mark's space may be read as none).
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Время моделирования 5[\\s\\x{00A0}]?\\*")))) << text.toStdString();
    EXPECT_TRUE(text.contains(Flat(zfpdf::ChangedFootnote())));

    zm.Options.HeatLoss.Enabled = true;
    zm.Options.HeatLoss.Walls = zf::MaterialSurface("gypsum_board", 0.0125);
    ASSERT_TRUE(zm.Run());
    ASSERT_TRUE(WriteReportPdf(path, zm, {}).isEmpty());
    EXPECT_TRUE(Flat(PdfText(path)).contains(QStringLiteral("гипсокартон 0,0125 м")));
}

}  // namespace
