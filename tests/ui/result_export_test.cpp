// Taking results out of the results window: the chart as PNG, SVG and clipboard image, the
// table's rows on the clipboard, and the shown room's samples as CSV. The file dialog is
// answered through the window's seam; every file goes to a temporary folder.
#include "result_export_fixture.h"

namespace {

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

// The clipboard holds the chart as shown, the file the chart at the size chosen: the curve,
// the limit and the point.
TEST_F(ResultsExport, PngAndClipboardHoldTheChartAsShown) {
    ShowTemperatureChart();
    Answer("chart.png");
    Trigger("ActSaveChart");
    EXPECT_EQ(askedCaption, QString("Сохранить график"));
    EXPECT_EQ(askedName, QString("Помещение_1_температура.png"));
    EXPECT_EQ(askedFilters, (QStringList{"Рисунок PNG (*.png)", "Рисунок SVG (*.svg)"}));
    QGuiApplication::clipboard()->clear();
    Trigger("ActCopyChart");

    const QImage file(dir.filePath("chart.png")), clipboard = QGuiApplication::clipboard()->image();
    EXPECT_EQ(file.size(), pictureSize.Pixels);
    EXPECT_EQ(clipboard.size(), ChartSize());
    for (const QImage& image : {file, clipboard}) {
        ASSERT_FALSE(image.isNull());
        EXPECT_GT(PixelsNear(image, kSeries1Colour), 50);  // the curve
        EXPECT_GT(PixelsNear(image, Qt::red, 30), 40);     // the critical-time point and the limit
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}


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
    EXPECT_TRUE(drawn.contains("T, К")) << drawn.toStdString();
    EXPECT_TRUE(drawn.contains("t, с.")) << drawn.toStdString();
    // Texts stay texts in the program's font, and the drawing is made of shapes, not a picture.
    QStringList families = svg.fontFamilies.values();
    families.sort();
    EXPECT_EQ(families.join(", ").toStdString(), kProgramFontFamily);
    EXPECT_GT(svg.shapes, 10);
    EXPECT_EQ(svg.images, 0);
    // Drawn in the pixels of the layout the picture's size gives.
    QSvgRenderer renderer(path);
    ASSERT_TRUE(renderer.isValid());
    EXPECT_EQ(renderer.viewBox(), QRect(QPoint(0, 0), ChartLayoutSize(pictureSize.Pixels).toSize()));
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

// A failed write is told in the words the building's own save uses: nothing was replaced, the
// path, what failed (here the missing folder) and what to do; not the toolkit's bare error text.
TEST_F(ResultsExport, UnwritableFileIsReportedInTheWritersWords) {
    ShowTemperatureChart();
    Answer("missing/chart.png");
    Trigger("ActSaveChart");
    ShowTable("PageOFP");
    Answer("missing/room.csv");
    Trigger("ActSaveCsv");
    ASSERT_EQ(errors.size(), 2);
    const QString names[] = {"missing/chart.png", "missing/room.csv"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(errors[i].toStdString());
        EXPECT_TRUE(errors[i].startsWith("Файл не сохранен, прежний файл (если он был) остался как был."));
        EXPECT_TRUE(errors[i].contains(dir.filePath(names[i]) + ": не найден каталог " + dir.filePath("missing")));
        EXPECT_TRUE(errors[i].contains("сохраните файл в другое место"));
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}


}  // namespace
