#include "report_pdf.h"

#include "model_accuracy.h"
#include "count_text.h"

#include <QAbstractTextDocumentLayout>
#include <QCryptographicHash>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextObjectInterface>
#include <algorithm>
#include <cmath>
#include <functional>

#include "model_notes.h"
#include "report_builder.h"
#include "report_html.h"
#include "report_pages.h"
#include "report_text.h"
#include "project/document.h"
#include "project/scenario_file.h"
#include "number_format.h"
#include "chart_quantities.h"
#include "report_chart.h"
#include "verdict_table.h"
#include "model/constants.h"
#include "model/scenario.h"
#include "project/fire_loads.h"
#include "zonefire_version.h"


using zfpdf::Numbers;
using zfpdf::ReportBuilder;
using zfpdf::kFixedFont;

namespace {

// Layout of the page at the writer's resolution: 96 units per inch, as the windows' charts
// are laid out on screen, so a chart keeps its proportions and fonts on paper.
constexpr int kDotsPerInch = 96;
constexpr double kMarginLeftMm = 20;   // binding side
constexpr double kMarginOtherMm = 15;
constexpr double kChartHeight = 330;   // one chart [units]; two fit a page with their captions

// The text document's custom object that draws one chart.
constexpr int kChartObjectType = QTextFormat::UserObject + 1;
enum ChartProperty { kChartRoom = QTextFormat::UserProperty + 1, kChartHazard, kChartIndex, kChartWidth };

using ChartPainter = std::function<void(QPainter&, const QRectF&, int room, bool hazard, int index)>;

class ChartObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit ChartObject(ChartPainter paint, QObject* parent) : QObject(parent), paint_(std::move(paint)) {}

    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat& format) override {
        return QSizeF(format.doubleProperty(kChartWidth), kChartHeight);
    }
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int, const QTextFormat& format) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        paint_(*painter, rect, format.intProperty(kChartRoom), format.boolProperty(kChartHazard),
               format.intProperty(kChartIndex));
        painter->restore();
    }

private:
    ChartPainter paint_;
};



// The marker of a chart: room, list (0 parameters, 1 hazards) and item.
const QRegularExpression kChartMarker(QChar(kReportPlaceholder) + QStringLiteral("chart (\\d+) (\\d) (\\d+)") +
                                      QChar(kReportPlaceholder));

// Replaces every chart marker by the chart object, `width` wide.
void PlaceCharts(QTextDocument& doc, double width) {
    for (QTextCursor at = doc.find(kChartMarker); !at.isNull(); at = doc.find(kChartMarker, at)) {
        const QRegularExpressionMatch m = kChartMarker.match(at.selectedText());
        QTextCharFormat format;
        format.setObjectType(kChartObjectType);
        format.setProperty(kChartRoom, m.captured(1).toInt());
        format.setProperty(kChartHazard, m.captured(2) == QLatin1String("1"));
        format.setProperty(kChartIndex, m.captured(3).toInt());
        format.setProperty(kChartWidth, width);
        at.insertText(QString(QChar::ObjectReplacementCharacter), format);
    }
}

}  // namespace

// A paragraph is not split over two pages, and a heading, and a chart, stay on the page of
// what follows them (the first row of a table, a paragraph, the chart's caption): a block that
// would be split or parted starts a new page instead. Done in reading order, so each decision
// sees the pages the earlier ones made. (A paragraph split over pages is also drawn whole on
// both, its lines beyond the page only clipped: a search in the PDF would find them twice.)
void zfpdf::PaintPages(QPainter& painter, QPdfWriter& writer, QTextDocument& doc, const QSizeF& page,
                       const QString& footerText) {
    const int pages = doc.pageCount();
    painter.setFont(QFont(kFixedFont, 7));
    for (int p = 0; p < pages; ++p) {
        if (p > 0) writer.newPage();
        painter.save();
        painter.translate(0, -p * page.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, p * page.height(), page.width(), page.height());
        // A table split over two pages draws its frame past the page: the footer stays clear.
        painter.setClipRect(context.clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
        const QRectF footer(0, page.height() + 6, page.width(), kFooterHeight - 6);
        painter.setPen(Qt::darkGray);
        painter.drawLine(footer.topLeft(), footer.topRight());
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter, footerText);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("стр. %1 из %2").arg(p + 1).arg(pages));
    }
}

void zfpdf::KeepTogether(QTextDocument& doc) {
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    const double pageHeight = doc.pageSize().height();
    const double pageTop = 0.05 * pageHeight;  // a block this near the top already starts its page
    const auto pageOf = [pageHeight](double y) { return static_cast<int>(y / pageHeight); };
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QRectF here = layout->blockBoundingRect(block);
        const int page = pageOf(here.top());
        if (here.top() - page * pageHeight < pageTop) continue;
        const bool heading = block.blockFormat().headingLevel() > 0;
        const bool chart = block.text().contains(QChar::ObjectReplacementCharacter);
        const QTextBlock next = block.next();
        // Table cells are left to the table, which breaks between its rows.
        const bool split = QTextCursor(block).currentTable() == nullptr && pageOf(here.bottom()) != page;
        const bool parted = (heading || chart) && next.isValid() && pageOf(layout->blockBoundingRect(next).bottom()) != page;
        if (!split && !parted) continue;
        QTextBlockFormat format = block.blockFormat();
        format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
        QTextCursor(block).setBlockFormat(format);
    }
}

namespace {

// The process's default locale for as long as the report is drawn: the charts' numbers are
// formatted in the default locale.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous_); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale previous_;
};

}  // namespace

QLocale ReportLocale() { return QLocale(QLocale::Russian, QLocale::Russia); }

std::vector<std::string> ScenarioDescription::RoomNameList() const {
    std::vector<std::string> names;
    for (const QString& name : RoomNames) names.push_back(name.toStdString());
    return names;
}

ScenarioDescription DescribeDocument(const zf::project::Document& document, const QString& fileName, const QByteArray& bytes) {
    ScenarioDescription description;
    description.Title = QString::fromStdString(document.Title);
    description.Address = QString::fromStdString(document.Address);
    description.Organisation = QString::fromStdString(document.Organisation);
    description.Author = QString::fromStdString(document.Author);
    description.Notes = QString::fromStdString(document.Notes);
    description.FireLoad = QString::fromStdString(document.FireLoad);
    for (const zf::project::Room& room : document.Rooms) description.RoomNames << QString::fromStdString(room.Name);
    description.Evacuation = document.Evacuation();
    description.FileName = fileName;
    description.FileBytes = bytes;
    return description;
}

QByteArray ScenarioBytes(const zf::TzoneMath& zm, const ScenarioDescription& description) {
    if (!description.FileBytes.isEmpty()) return description.FileBytes;
    // Not saved: the scenario as the file would hold it, so the same building gives the same sum.
    zf::project::Document document = zf::project::Capture(zm);
    document.Title = description.Title.toStdString();
    document.Address = description.Address.toStdString();
    document.Organisation = description.Organisation.toStdString();
    document.Author = description.Author.toStdString();
    document.Notes = description.Notes.toStdString();
    document.FireLoad = description.FireLoad.toStdString();
    document.SafetyFactor = description.Evacuation.SafetyFactor;
    for (std::size_t i = 0; i < document.Rooms.size(); ++i) {
        if (static_cast<qsizetype>(i) < description.RoomNames.size())
            document.Rooms[i].Name = description.RoomNames[static_cast<qsizetype>(i)].toStdString();
        document.Rooms[i].Evacuation = description.Evacuation.Room(static_cast<int>(i));
    }
    try {
        return QByteArray::fromStdString(zf::project::WriteDocument(document));
    } catch (const std::invalid_argument&) {
        return {};  // a value no file can hold: the sum is of nothing, as the title page shows
    }
}

QString ProgramVersion() { return QStringLiteral(ZONEFIRE_VERSION); }

QString RoomCaption(const ScenarioDescription& description, int room) {
    const QString name = room < description.RoomNames.size() ? description.RoomNames[room] : QString();
    return QString::fromStdString(zfreport::RoomLabel(room, name.toStdString()));
}

QString GroupedCount(long long n) {
    // Thousands apart by a non-breaking space, "19 999", as Russian typography writes them; a
    // four-digit number stays whole.
    QString digits = QString::number(n < 0 ? -n : n);
    if (digits.size() > 4)
        for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QChar(0x00A0));
    return n < 0 ? QStringLiteral("-") + digits : digits;
}

QString StepsWord(long long n) {
    const std::string_view word = zfreport::CountNoun(n, zfreport::kStepsWord);
    return QString::fromUtf8(word.data(), static_cast<qsizetype>(word.size()));
}

QString RunStateText(const zf::TzoneMath& zm) {
    const Numbers num;
    const QString of = QString::number(std::max(zm.StepCount - 1, 0));
    const double reached = zfreport::RunEndTime(zm);
    if (zm.LastFault.Failed()) {
        // The fault's sentences end with their own full stop.
        const QString fault = QString::fromStdString(zf::DescribeFault(zm.LastFault));
        return QStringLiteral("расчет прерван ошибкой на шаге %1 из %2; последний выполненный шаг — на %3 с. %4 "
                              "Критические времена, достигнутые до ошибки, действительны.")
            .arg(zm.Iter)
            .arg(of, num(reached), fault);
    }
    if (zm.Stopped)
        return QStringLiteral("расчет остановлен пользователем на шаге %1 из %2, на %3 с из %4 с. Результаты "
                              "относятся только к этому отрезку времени.")
            .arg(zm.Iter)
            .arg(of, num(reached), num(zm.SimTime));
    // The run computes steps 1 … N − 1 (step 0 is the initial state), so the last state is at
    // (N − 1)·dt, one step short of the simulated time set: say what was computed.
    const int steps = std::max(zm.StepCount - 1, 0);
    constexpr double kMicrosecondsPerSecond = 1e6;  // the product of the step carries rounding noise
    const double last = std::round(steps * zm.dt * kMicrosecondsPerSecond) / kMicrosecondsPerSecond;
    return QStringLiteral("расчет завершен: %1 %2 по %3 с, до %4 с (время моделирования %5 с)")
        .arg(GroupedCount(steps), StepsWord(steps), num(zm.dt), num(last), num(zm.SimTime));
}

QString WriteReportPdf(const QString& path, zf::TzoneMath& zm, const ScenarioDescription& description,
                       const ReportStamp& stamp) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Не удалось открыть файл для записи отчета:\n%1\n%2").arg(path, file.errorString());
    if (const QString failure = WriteReportPdf(file, zm, description, stamp); !failure.isEmpty()) {
        file.cancelWriting();
        return failure + QStringLiteral("\n") + path;
    }
    if (!file.commit()) return QStringLiteral("Не удалось записать отчет в файл:\n%1\n%2").arg(path, file.errorString());
    return {};
}

namespace {

// The text laid out on pages of `page`'s size for the writer's resolution, the charts in place.
void LayOutReport(QTextDocument& doc, QPdfWriter& writer, const QSizeF& page, zf::TzoneMath& zm,
                  const ScenarioDescription& description, const ReportStamp& stamp) {
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setPageSize(page);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    doc.setDefaultStyleSheet(QStringLiteral("h1 { font-size: 16pt; } h2 { font-size: 13pt; } h3 { font-size: 11pt; } "
                                            "th { background-color: #e8e8e8; }"));
    auto* chartObject = new ChartObject(
        [&zm](QPainter& painter, const QRectF& rect, int room, bool hazard, int index) {
            PaintReportChart(painter, rect, zm, room, hazard, index);
        },
        &doc);
    doc.documentLayout()->registerHandler(kChartObjectType, chartObject);

    ReportBuilder builder(zm, description, stamp);
    builder.TitlePage();
    builder.Contents();
    builder.Inputs();
    builder.Building();
    builder.Results();
    builder.Charts();
    builder.Scope();
    builder.Validation();
    doc.setHtml(builder.Text());
    PlaceCharts(doc, page.width() - 2 * doc.documentMargin() - 4);
    // The charts' sizes were set after the first layout: lay the whole text out again, or the
    // page count stays that of the smaller charts and the last pages are cut off.
    doc.markContentsDirty(0, doc.characterCount());
    zfpdf::KeepTogether(doc);
    zfpdf::NumberContents(doc);
}

}  // namespace

QString WriteReportPdf(QIODevice& device, zf::TzoneMath& zm, const ScenarioDescription& description,
                       const ReportStamp& stamp) {
    const DefaultLocale russian(ReportLocale());
    QPdfWriter writer(&device);
    writer.setResolution(kDotsPerInch);
    writer.setTitle(QStringLiteral("Отчет о расчете времени блокирования путей эвакуации"));
    writer.setCreator(QStringLiteral("zonefire ") + stamp.Version);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginLeftMm, kMarginOtherMm, kMarginOtherMm, kMarginOtherMm),
                                     QPageLayout::Millimeter));
    const QRectF paper = writer.pageLayout().paintRectPixels(kDotsPerInch);
    const QSizeF page(paper.width(), paper.height() - zfpdf::kFooterHeight);
    QTextDocument doc;
    LayOutReport(doc, writer, page, zm, description, stamp);

    QPainter painter;
    if (!painter.begin(&writer)) return QStringLiteral("Не удалось начать запись отчета.");
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash(ScenarioBytes(zm, description), QCryptographicHash::Sha256).toHex().left(16));
    zfpdf::PaintPages(painter, writer, doc, page, QStringLiteral("zonefire %1 · сценарий SHA-256 %2…").arg(stamp.Version, sha));
    if (!painter.end()) return QStringLiteral("Не удалось записать отчет: %1").arg(device.errorString());
    return {};
}

#include "report_pdf.moc"
