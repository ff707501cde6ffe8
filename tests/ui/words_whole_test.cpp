// Names and words are never cut in two: a chart's title wraps between words only and keeps
// "Помещение №10" on one line, and the window check finds a table that would break a word.
#include <QApplication>
#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <gtest/gtest.h>

#include "fit_check.h"
#include "result_chart.h"

namespace {

QGraphicsTextItem* TitleItem(QChartView& view) {
    for (QGraphicsItem* item : view.scene()->items())
        if (QGraphicsObject* o = item->toGraphicsObject(); o != nullptr && o->objectName() == QLatin1String("ChartTitle"))
            return qobject_cast<QGraphicsTextItem*>(o);
    return nullptr;
}

// The title's lines as laid out.
QStringList TitleLines(QGraphicsTextItem* title) {
    QStringList lines;
    for (QTextBlock block = title->document()->begin(); block.isValid(); block = block.next())
        for (int i = 0; i < block.layout()->lineCount(); ++i) {
            const QTextLine line = block.layout()->lineAt(i);
            lines << block.text().mid(line.textStart(), line.textLength());
        }
    return lines;
}

class ChartTitleWidth : public ::testing::TestWithParam<int> {};

TEST_P(ChartTitleWidth, WrapsBetweenWordsAndKeepsTheRoomNumberWithItsWord) {
    QChartView view;
    auto* chart = new TResultChart(&view);  // owned by the view
    view.resize(GetParam(), 300);
    view.show();
    const QString title = UnbrokenRoomNumber(QStringLiteral("Помещение №10 — Лестничная клетка второго этажа")) +
                          QStringLiteral(". График зависимости температуры газовой среды в задымленной зоне от времени");
    chart->SetTitle(title);
    QApplication::processEvents();
    QGraphicsTextItem* item = TitleItem(view);
    ASSERT_NE(item, nullptr);
    const QStringList lines = TitleLines(item);
    EXPECT_GT(lines.size(), 1) << "the title is long enough to wrap at this width";
    for (int i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith(QLatin1Char(' '))) << "line " << i << " ends inside a word: " << lines[i].toStdString();
    EXPECT_EQ(lines.filter(QStringLiteral("Помещение\u00A0№10")).size(), 1) << lines.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Widths, ChartTitleWidth, ::testing::Values(120, 200, 320, 480));

// The check itself: a wrapping column narrower than a word is found, an eliding one with the
// whole text as its tip is not.
struct WrapCase {
    const char* name;
    bool wrap;
    int width;
    bool fault;
};
void PrintTo(const WrapCase& c, std::ostream* os) { *os << c.name; }
class WordBreakCheck : public ::testing::TestWithParam<WrapCase> {};

TEST_P(WordBreakCheck, FindsAWrappingColumnNarrowerThanAWord) {
    QTableWidget table(1, 1);
    table.setObjectName(QStringLiteral("Names"));
    auto* item = new QTableWidgetItem(QStringLiteral("Помещение №10 — Коридор"));
    item->setToolTip(item->text());
    table.setItem(0, 0, item);
    table.setWordWrap(GetParam().wrap);
    table.setColumnWidth(0, GetParam().width);
    table.resize(400, 200);
    table.show();
    QApplication::processEvents();
    QStringList faults;
    fitcheck::CheckColumns(&table, faults);
    EXPECT_EQ(!faults.filter(QStringLiteral("breaks the word")).isEmpty(), GetParam().fault) << faults.join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Columns, WordBreakCheck,
    ::testing::Values(WrapCase{"wrapping_narrow", true, 40, true}, WrapCase{"eliding_narrow", false, 40, false},
                      WrapCase{"wrapping_wide_enough_for_each_word", true, 120, false}),
    [](const ::testing::TestParamInfo<WrapCase>& info) { return std::string(info.param.name); });

}  // namespace
