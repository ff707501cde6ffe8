// Taking results out of the results window: the chart as PNG, SVG and clipboard image, the
// table's rows on the clipboard, and the shown room's samples as CSV. The file dialog is
// answered through the window's seam; every file goes to a temporary folder.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFontInfo>
#include <QGraphicsTextItem>
#include <QImage>
#include <QItemSelectionModel>
#include <QRadioButton>
#include <QSet>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <charconv>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <string>

#include "result_export.h"
#include "program_font.h"
#include "results_driver.h"
#include "sample_csv.h"
#include "../model/test_buildings.h"

namespace {

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Pixels within `tolerance` of `colour` in each channel.
int PixelsNear(const QImage& image, const QColor& colour, int tolerance = 12) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
                     std::abs(c.blue() - colour.blue()) <= tolerance;
        }
    return count;
}

const QColor kSeries1Colour(1, 73, 116);

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What an SVG file draws: its texts in document order (the lines of a wrapped text one after
// another), the font families they name, and how many vector shapes and embedded pictures it has.
struct SvgContent {
    QString title;
    QStringList texts;
    QSet<QString> fontFamilies;
    int shapes = 0;
    int images = 0;
    QString error;  // why the file is not well-formed XML
};

SvgContent ReadSvg(const QByteArray& data) {
    static const QSet<QString> kShapes{"path", "polyline", "polygon", "line", "rect", "circle", "ellipse"};
    SvgContent svg;
    QXmlStreamReader xml(data);
    bool seenSvg = false;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        const QString name = xml.name().toString();
        seenSvg = seenSvg || name == "svg";
        if (name == "title") {
            svg.title = xml.readElementText();
        } else if (name == "text") {
            svg.fontFamilies.insert(xml.attributes().value("font-family").toString());
            svg.texts << xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (name == "image") {
            ++svg.images;
        } else if (kShapes.contains(name)) {
            ++svg.shapes;
        }
    }
    if (xml.hasError()) svg.error = xml.errorString();
    else if (!seenSvg) svg.error = QStringLiteral("no <svg> element");
    return svg;
}

class ResultsExport : public ResultsWindow {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        w.SetErrorReporter([this](const QString& message) { errors << message; });
    }
    void TearDown() override { w.hide(); }

    // The next file dialog is answered with `name` in the temporary folder (empty: cancelled)
    // and the type whose filter contains `type`.
    void Answer(const QString& name, const QString& type = {}) {
        w.SetSavePathAsker([this, name, type](const QString& caption, const QString& suggested,
                                              const QStringList& filters, QString* chosen) {
            askedCaption = caption;
            askedName = suggested;
            askedFilters = filters;
            for (const QString& f : filters)
                if (!type.isEmpty() && f.contains(type)) *chosen = f;
            return name.isEmpty() ? QString() : dir.filePath(name);
        });
    }
    void Trigger(const char* action) {
        QAction* a = w.findChild<QAction*>(QString::fromLatin1(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    // A hazard chart with everything on it: curve, limit line, critical-time point and label.
    void ShowTemperatureChart() {
        Fill(zm, 2, 30, 10, 0.01);
        w.show();
        w.PrepareResults(zm);
        ShowHazards();
        QApplication::processEvents();
    }
    QSize ChartSize() { return Find<QChartView>("ChartResult")->viewport()->size(); }
    QString Clipboard() { return QGuiApplication::clipboard()->text(); }

    QTemporaryDir dir;
    QStringList errors;
    QString askedCaption, askedName;
    QStringList askedFilters;
};

TEST_F(ResultsExport, ContextMenusOfferTheExports) {
    auto texts = [](const QWidget* widget) {
        QStringList list;
        for (const QAction* a : widget->actions()) list << a->text();
        return list;
    };
    const QWidget* chart = Find<QChartView>("ChartResult");
    const QWidget* grid = Find<QTableView>("GridResult");
    EXPECT_EQ(chart->contextMenuPolicy(), Qt::ActionsContextMenu);
    // The exports first; after a separator the model's accuracy against experiments.
    EXPECT_EQ(texts(chart), (QStringList{"Сохранить график...", "Копировать график", "", "О модели..."}));
    EXPECT_EQ(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_EQ(texts(grid), (QStringList{"Копировать", "Сохранить в CSV..."}));
}

// The file and the clipboard hold the chart as shown: its size, the curve, the limit and the point.
TEST_F(ResultsExport, PngAndClipboardHoldTheChartAsShown) {
    ShowTemperatureChart();
    Answer("chart.png");
    Trigger("ActSaveChart");
    EXPECT_EQ(askedCaption, QString("Сохранить график"));
    EXPECT_EQ(askedName, QString("Помещение_1_температура.png"));
    EXPECT_EQ(askedFilters, (QStringList{"Рисунок PNG (*.png)", "Рисунок SVG (*.svg)"}));
    QGuiApplication::clipboard()->clear();
    Trigger("ActCopyChart");

    for (const QImage& image : {QImage(dir.filePath("chart.png")), QGuiApplication::clipboard()->image()}) {
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), ChartSize());
        EXPECT_GT(PixelsNear(image, kSeries1Colour), 50);  // the curve
        EXPECT_GT(PixelsNear(image, Qt::red, 30), 40);     // the critical-time point and the limit
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

const QString kTemperatureTitle = QStringLiteral("График зависимости температуры в рабочей зоне от времени");

TEST_F(ResultsExport, SvgIsAVectorDrawingOfTheChartWithItsTexts) {
    ShowTemperatureChart();
    Answer("chart.svg");
    Trigger("ActSaveChart");
    const QString path = dir.filePath("chart.svg");
    const SvgContent svg = ReadSvg(ReadAll(path));
    ASSERT_TRUE(svg.error.isEmpty()) << svg.error.toStdString();
    // The picture leaves the window: its title names the room too.
    EXPECT_EQ(svg.title, "Помещение №1. " + kTemperatureTitle);
    // The texts drawn on the chart: the title item, the critical-time label, both axis titles.
    // A text may come in pieces: one per line of a wrapped title, one per run of Latin or
    // Cyrillic letters, so they are read joined by spaces.
    const QString drawn = svg.texts.join(' ').simplified();
    EXPECT_TRUE(drawn.contains(kTemperatureTitle)) << drawn.toStdString();
    EXPECT_TRUE(svg.texts.contains("10,25")) << "critical-time label: " << drawn.toStdString();
    EXPECT_TRUE(drawn.contains("T, °K.")) << drawn.toStdString();
    EXPECT_TRUE(drawn.contains("t, с.")) << drawn.toStdString();
    // Texts stay texts in the program's font, and the drawing is made of shapes, not a picture.
    QStringList families = svg.fontFamilies.values();
    families.sort();
    EXPECT_EQ(families.join(", ").toStdString(), kProgramFontFamily);
    EXPECT_GT(svg.shapes, 10);
    EXPECT_EQ(svg.images, 0);
    // Drawn in the chart's own pixels.
    QSvgRenderer renderer(path);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(QPoint(0, 0), ChartSize()));
}

// The chart's own texts ask for the program's font by name, and the machine has it: what is
// drawn is that font, not a substitute.
TEST_F(ResultsExport, ChartTextsAreInTheProgramFont) {
    ShowTemperatureChart();
    const std::string family = kProgramFontFamily;
    auto drawnIn = [](const QFont& font) { return QFontInfo(font).family().toStdString(); };
    EXPECT_EQ(drawnIn(QApplication::font()), family);
    for (const char* name : {"ChartTitle", "Series4Label"}) {
        const QGraphicsTextItem* item = ChartTextItem(name);
        ASSERT_NE(item, nullptr) << name;
        EXPECT_EQ(item->font().family().toStdString(), family) << name;
        EXPECT_EQ(drawnIn(item->font()), family) << name;
    }
    EXPECT_EQ(drawnIn(Find<QChartView>("ChartResult")->chart()->legend()->font()), family);
}

// The name's suffix decides the type; a name without one takes the type chosen in the dialog.
struct ChartFile {
    const char* answered;  // the name typed
    const char* type;      // the filter chosen
    const char* written;   // the file that appears
    bool svg;
};
void PrintTo(const ChartFile& c, std::ostream* os) { *os << c.answered << " + " << c.type; }
class ChartFileTypes : public ResultsExport, public ::testing::WithParamInterface<ChartFile> {};

TEST_P(ChartFileTypes, SuffixOrChosenType) {
    const ChartFile c = GetParam();
    ShowTemperatureChart();
    Answer(c.answered, c.type);
    Trigger("ActSaveChart");
    const QByteArray content = ReadAll(dir.filePath(c.written));
    ASSERT_FALSE(content.isEmpty()) << c.written;
    EXPECT_EQ(content.contains("<svg"), c.svg);
    EXPECT_EQ(content.startsWith("\x89PNG"), !c.svg);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Names, ChartFileTypes,
                         ::testing::Values(ChartFile{"a", "PNG", "a.png", false}, ChartFile{"a", "SVG", "a.svg", true},
                                           ChartFile{"a.svg", "PNG", "a.svg", true},
                                           ChartFile{"a.PNG", "SVG", "a.PNG", false},
                                           ChartFile{"a.b", "SVG", "a.b.svg", true}));

TEST_F(ResultsExport, CancelledDialogWritesNothing) {
    ShowTemperatureChart();
    Answer("");
    Trigger("ActSaveChart");
    ShowTable("PageOFP");
    Trigger("ActSaveCsv");
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(ResultsExport, UnwritableFileIsReportedWithItsPath) {
    ShowTemperatureChart();
    Answer("missing/chart.png");
    Trigger("ActSaveChart");
    ShowTable("PageOFP");
    Answer("missing/room.csv");
    Trigger("ActSaveCsv");
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].startsWith("Не удалось записать файл")) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QDir::toNativeSeparators(dir.filePath("missing/chart.png"))));
    EXPECT_TRUE(errors[1].contains(QDir::toNativeSeparators(dir.filePath("missing/room.csv"))));
}

// ---- Copying the table ----------------------------------------------------------------------

TEST_F(ResultsExport, CtrlCCopiesTheSelectedRowsWithTheHeaderRow) {
    Fill(zm, 1, 30, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    Radio("RadioResults")->Item(4)->click();  // T2
    ShowTable("PageResults");
    QTableView* grid = Find<QTableView>("GridResult");
    // Rows 3 and 5 of the samples, picked apart, the later one first.
    grid->selectionModel()->select(grid->model()->index(4, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->selectionModel()->select(grid->model()->index(2, 1),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::setActiveWindow(&w);
    grid->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QString("Время (t), с.\tT2, °K.\n0,25\t1402\n0,45\t1404\n"));
    EXPECT_EQ(Clipboard(), QString("%1\t%2\n%3\t%4\n%5\t%6\n")
                               .arg(Cell(0, 0), Cell(0, 1), Cell(3, 0), Cell(3, 1), Cell(5, 0), Cell(5, 1)));
}

TEST_F(ResultsExport, CopiesEveryRowWhenNoneIsSelected) {
    Fill(zm, 2, 2000, 1000, 0.0001);
    for (zf::ResultSample& s : zm.Room(1).Samples) s.O2w = 0.2305;
    zm.Room(1).Samples.back().O2w = 0.230512345;  // shown as 0,2305, copied whole
    w.PrepareResults(zm);
    ShowHazards();
    Find<QComboBox>("ComboOFPRooms")->setCurrentIndex(1);
    Radio("RadioOFP")->Item(zf::hkOxygen)->click();
    ShowTable("PageOFP");
    Trigger("ActCopyRows");
    const QStringList lines = Clipboard().split('\n');
    ASSERT_EQ(lines.size(), 2001 + 1);  // the last line ends with a line break too
    EXPECT_EQ(lines[0], QString("Время (t), с.\tкг/м3, м."));
    EXPECT_EQ(lines[1], QString("0,05\t0,2305"));
    EXPECT_EQ(lines[2000], QString("199,95\t0,230512345"));
    EXPECT_EQ(lines[2001], QString());
}

// ---- The shown room as CSV ------------------------------------------------------------------

// After a real calculation: room 2's file holds all its samples, every number reading back to
// the same double.
TEST_F(ResultsExport, CsvOfTheShownRoomReadsBackBitExact) {
    testing_zf::SetDefaultInputs(zm);
    zm.SimTime = 40;  // the smoke reaches room 2 after about 25 s
    zm.dt = 0.01;
    testing_zf::BuildTwoRooms(zm);
    ASSERT_TRUE(zm.Run());
    w.PrepareResults(zm);
    ShowHazards();
    Find<QComboBox>("ComboOFPRooms")->setCurrentIndex(1);
    ShowTable("PageOFP");
    Answer("room", "zonefire-cli");  // the runner's form; the suffix is added
    Trigger("ActSaveCsv");
    EXPECT_EQ(askedName, QString("Помещение_2.csv"));
    ASSERT_EQ(askedFilters.size(), 2);
    EXPECT_TRUE(askedFilters[0].contains("«;» и десятичная запятая"));  // offered first

    const QList<QByteArray> lines = ReadAll(dir.filePath("room.csv")).split('\n');
    ASSERT_EQ(lines.size(), zm.SampleCount + 2);  // header, samples, empty after the last break
    EXPECT_EQ(lines[0], QByteArray("t,Fp,Gk,Yk,Ro2,T2,Gm,YkPred,Tw,Lw,O2w,qRad,COw,CO2w,HClw"));
    const zf::TRoom& room = zm.Room(1);
    for (int m = 0; m < zm.SampleCount; ++m) {
        const QList<QByteArray> cells = lines[m + 1].split(',');
        ASSERT_EQ(cells.size(), 15) << m;
        std::vector<double> v(15);
        for (int i = 0; i < 15; ++i) {
            const auto parsed = std::from_chars(cells[i].constData(), cells[i].constData() + cells[i].size(), v[i]);
            ASSERT_EQ(parsed.ec, std::errc()) << cells[i].toStdString();
        }
        EXPECT_TRUE(SameBits(v[0], zfreport::SampleTime(zm, m))) << m;
        for (int e = 0; e < zf::ResultSample::kCount; ++e)
            ASSERT_TRUE(SameBits(v[e + 1], room.Samples[m][e])) << zf::ResultSample::Name(e) << '[' << m << ']';
    }
    EXPECT_GT(room.Samples[350].T2, zm.T0);  // the smoke has reached room 2: real numbers
}

TEST_F(ResultsExport, NothingToSaveOnceTheWindowIsClosed) {
    Fill(zm, 1, 10, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    ShowTable("PageResults");
    w.close();  // the main window discards the scenario now
    Answer("late.csv");
    Trigger("ActSaveCsv");
    EXPECT_FALSE(QFile::exists(dir.filePath("late.csv")));
}

// The proposed names say which room and which quantity; outside the fire room parameter 1 is
// the inflow through the doorways.
TEST_F(ResultsExport, ProposedNamesSayTheRoomAndTheQuantity) {
    Fill(zm, 2, 30, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    const struct {
        int room;
        bool hazards;
        int item;
        const char* name;
    } cases[] = {{0, false, 1, "Помещение_1_расход_колонки.png"}, {1, false, 1, "Помещение_2_поступление_газа.png"},
                 {1, false, 4, "Помещение_2_температура_газа.png"}, {1, true, 2, "Помещение_2_видимость.png"},
                 {0, true, zf::hkRadiation, "Помещение_1_тепловое_излучение.png"}};
    for (const auto& c : cases) {
        if (c.hazards) ShowHazards(); else ShowParameters();
        Find<QComboBox>(c.hazards ? "ComboOFPRooms" : "ComboResultRooms")->setCurrentIndex(c.room);
        Radio(c.hazards ? "RadioOFP" : "RadioResults")->Item(c.item)->click();
        Answer({});
        Trigger("ActSaveChart");
        EXPECT_EQ(askedName, QString(c.name));
    }
    // The saved picture names the room in its title; the window's title stays as it was.
    Answer("radiation.svg");
    Trigger("ActSaveChart");
    EXPECT_TRUE(ReadAll(dir.filePath("radiation.svg")).contains("<title>Помещение №1. График"));
    EXPECT_EQ(ChartText("ChartTitle"), "График зависимости теплового излучения от времени");
}

// The first CSV form opens as columns in a Russian spreadsheet: a byte-order mark for the
// Cyrillic header, ";" between cells, every quantity named with its unit, and numbers with a
// decimal comma as the table shows them.
TEST_F(ResultsExport, SpreadsheetCsvHasARussianHeaderWithUnitsAndCommaNumbers) {
    Fill(zm, 2, 30, 10, 0.01);
    zm.Room(1).Samples[1].T2 = 0.1 + 0.2;  // 0.30000000000000004
    w.PrepareResults(zm);
    Find<QComboBox>("ComboResultRooms")->setCurrentIndex(1);
    ShowTable("PageResults");
    Answer("room2");  // the form offered first
    Trigger("ActSaveCsv");
    const QByteArray bytes = ReadAll(dir.filePath("room2.csv"));
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split('\n');
    ASSERT_EQ(lines.size(), 30 + 2);  // header, samples, empty after the last break
    const QStringList header = lines[0].split(';');
    ASSERT_EQ(header.size(), 15);
    EXPECT_EQ(header[0], "Время, с");
    EXPECT_EQ(header[2], "Поступление газа через проемы, кг/с");
    EXPECT_EQ(header[5], "Температура газа в задымленной зоне, К");
    EXPECT_EQ(header[11], "Тепловое излучение, Вт/м²");
    for (const QString& title : header) EXPECT_TRUE(title.contains(", ")) << title.toStdString();  // a unit each
    const QStringList second = lines[2].split(';');
    ASSERT_EQ(second.size(), 15);
    EXPECT_EQ(second[0], "0,15");  // not 0,15000000000000002
    EXPECT_EQ(second[5], "0,3");
    EXPECT_EQ(second[1], "2001");
    EXPECT_EQ(lines[30].split(';')[0], "2,95");
    // The fire room's column 1 is its plume.
    EXPECT_EQ(SpreadsheetRoomCsv(zm, 0).section('\n', 0, 0).split(';')[2], "Расход конвективной колонки, кг/с");
    EXPECT_TRUE(errors.isEmpty());
}

// A named room's saved chart says which room it is by its name as well.
TEST_F(ResultsExport, ASavedChartOfANamedRoomCarriesTheNameInItsTitle) {
    ScenarioDescription named;
    named.RoomNames = {QStringLiteral("Кабинет")};
    w.SetDescription(named);
    ShowTemperatureChart();
    Answer("named.svg");
    Trigger("ActSaveChart");
    EXPECT_EQ(ReadSvg(ReadAll(dir.filePath("named.svg"))).title, "Помещение №1 — Кабинет. " + kTemperatureTitle);
    EXPECT_EQ(ChartText("ChartTitle"), kTemperatureTitle);  // the window's own title stays short
}

}  // namespace
