#include "report_pdf.h"

#include "model_accuracy.h"
#include "option_accuracy.h"

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
#include "model_warnings.h"
#include "report_text.h"
#include "project/document.h"
#include "project/scenario_file.h"
#include "number_format.h"
#include "chart_quantities.h"
#include "report_chart.h"
#include "verdict_table.h"
#include "model/constants.h"
#include "model/inputs.h"
#include "model/scenario.h"
#include "project/fire_loads.h"
#include "zonefire_version.h"


namespace {

// Layout of the page at the writer's resolution: 96 units per inch, as the windows' charts
// are laid out on screen, so a chart keeps its proportions and fonts on paper.
constexpr int kDotsPerInch = 96;
constexpr double kMarginLeftMm = 20;   // binding side
constexpr double kMarginOtherMm = 15;
constexpr double kFooterHeight = 28;   // below the text of each page [units]
constexpr double kChartHeight = 330;   // one chart [units]; two fit a page with their captions
// The face of the scenario's SHA-256 and of the footer, which carries its start: without
// ligatures, so a sum copied from the PDF is the sum.
const QString kFixedFont = QStringLiteral("DejaVu Sans Mono");

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

// Every text in the report's HTML, the engineer's above all, is printed literally.
QString Esc(const QString& s) { return LiteralUserText(s).toHtmlEscaped(); }
QString Esc(const std::string& s) { return Esc(QString::fromStdString(s)); }

// "2,3E-5" as printed texts write it, "2,3·10⁻⁵"; other numbers as they are.
QString PowerOfTen(const QString& number) {
    const qsizetype e = number.indexOf(QLatin1Char('E'));
    if (e < 0) return number;
    static const QString kSuperscripts = QStringLiteral("⁰¹²³⁴⁵⁶⁷⁸⁹");
    QString exponent;
    for (const QChar c : number.mid(e + 1)) {
        if (c == QLatin1Char('-')) exponent += QChar(0x207B);  // superscript minus
        else if (c.isDigit()) exponent += kSuperscripts[c.digitValue()];
    }
    return number.left(e) + QStringLiteral("·10") + exponent;
}

// The report's numbers in the general format with the report's decimal comma, whatever the
// process's locale.
class Numbers {
public:
    Numbers() : sep_(ReportLocale().decimalPoint().toStdString()) {}
    QString operator()(double v) const { return PowerOfTen(QString::fromStdString(zfreport::GeneralNumberText(v, sep_))); }
    const std::string& Separator() const { return sep_; }

private:
    std::string sep_;
};

// A room in a narrow column: "№1 Кабинет", the number kept with the name's first word.
QString ShortRoomLabel(const std::vector<std::string>& names, int room) {
    const QString name = QString::fromStdString(std::string(zfreport::RoomNameOf(names, room)));
    const QString number = QStringLiteral("№%1").arg(room + 1);
    return name.isEmpty() ? number : number + QChar(0x00A0) + name;
}

// Numbers and dashes line up on the right; words read from the left.
bool IsNumberCell(const std::string& text) {
    if (text == "—") return true;
    return !text.empty() && text.find_first_not_of("0123456789.,-E*") == std::string::npos;
}
bool IsNumberCell(const QString& text) {
    return IsNumberCell(text.toStdString()) || text.contains(QStringLiteral("·10"));
}

// A table of cells as HTML: a header row, then the rows; `colours` gives a cell's background,
// `widths` the columns' shares of the page in percent (the layout's own choice without them).
QString HtmlTable(const std::vector<std::vector<std::string>>& cells,
                  const std::function<QString(std::size_t row, std::size_t col)>& colours = {},
                  const std::vector<int>& widths = {}) {
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">");
    for (std::size_t r = 0; r < cells.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (std::size_t c = 0; c < cells[r].size(); ++c) {
            const QString tag = r == 0 ? QStringLiteral("th") : QStringLiteral("td");
            QString attributes;
            if (colours && r > 0)
                if (const QString colour = colours(r - 1, c); !colour.isEmpty())
                    attributes = QStringLiteral(" bgcolor=\"%1\"").arg(colour);
            if (r > 0 && c > 0 && IsNumberCell(QString::fromStdString(cells[r][c]))) attributes += QStringLiteral(" align=\"right\"");
            if (r == 0 && c < widths.size()) attributes += QStringLiteral(" width=\"%1%\"").arg(widths[c]);
            html += QStringLiteral("<%1%2>%3</%1>").arg(tag, attributes, Esc(cells[r][c]));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

std::vector<std::vector<std::string>> ToCells(const std::vector<std::vector<QString>>& rows) {
    std::vector<std::vector<std::string>> cells;
    for (const auto& row : rows) {
        std::vector<std::string> line;
        for (const QString& s : row) line.push_back(s.toStdString());
        cells.push_back(std::move(line));
    }
    return cells;
}

QString Paragraph(const QString& text) { return QStringLiteral("<p>") + Esc(text) + QStringLiteral("</p>"); }

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The report is written as one HTML text; each chart stands as a marker paragraph that
// PlaceCharts then replaces by the custom object drawing it. The inputs start a page after the
// title page; the other sections follow on, their headings kept with what follows (KeepTogether).
class ReportBuilder {
public:
    ReportBuilder(zf::TzoneMath& zm, const ScenarioDescription& description, const ReportStamp& stamp)
        : zm_(zm), d_(description), stamp_(stamp),
          summary_(zfreport::SummaryWithVerdict(zm, description.Evacuation, num_.Separator(), description.RoomNameList())) {}

    void TitlePage();
    void Inputs();
    void CriticalValues();
    void Building();
    void Results();
    void Charts();
    void Model();
    const QString& Text() const { return html_; }

private:
    void Leaks();
    // The factors that govern the blocking time of any room, each once, in zf::HazardKind order.
    std::vector<zf::HazardKind> GoverningFactors() const {
        std::vector<zf::HazardKind> factors;
        for (int k = 0; k < zf::kHazardCount; ++k)
            for (const zfreport::RoomVerdict& room : summary_.Verdict.Rooms)
                if (std::find(room.BlockingFactors.begin(), room.BlockingFactors.end(), k) != room.BlockingFactors.end()) {
                    factors.push_back(static_cast<zf::HazardKind>(k));
                    break;
                }
        return factors;
    }

private:
    void Html(const QString& html) { html_ += html; }
    void Section(const QString& title, bool newPage) {
        const QString heading = newPage ? QStringLiteral("<h2 style=\"page-break-before: always\">%1</h2>") : QStringLiteral("<h2>%1</h2>");
        Html(heading.arg(Esc(title)));
    }

    zf::TzoneMath& zm_;
    const ScenarioDescription& d_;
    const ReportStamp& stamp_;
    Numbers num_;
    zfreport::VerdictSummary summary_;
    QString html_;
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

void ReportBuilder::TitlePage() {
    Html(QStringLiteral("<h1>Отчет о расчете времени блокирования путей эвакуации</h1>"));
    // A stopped or failed run says so before anything else, as the results window does.
    const zfreport::RunReach reach = zfreport::RunReachOf(zm_);
    if (const std::string banner = zfreport::RunEndBanner(reach, num_(reach.Time).toStdString()); !banner.empty())
        Html(QStringLiteral("<p style=\"background-color: %1\"><b>%2</b></p>")
                 .arg(VerdictColour(zfreport::Verdict::Undetermined).name(), Esc(QString::fromStdString(banner))));
    Html(QStringLiteral("<p><b>Здание:</b> %1</p>")
             .arg(d_.Title.isEmpty() ? QStringLiteral("название не задано") : Esc(d_.Title)));
    if (!d_.Notes.isEmpty())
        Html(QStringLiteral("<p><b>Примечания:</b><br>%1</p>").arg(Esc(d_.Notes).replace('\n', QStringLiteral("<br>"))));
    const QString sha = QString::fromLatin1(QCryptographicHash::hash(ScenarioBytes(zm_, d_), QCryptographicHash::Sha256).toHex());
    const std::vector<std::vector<QString>> rows = {
        {QStringLiteral("Параметр"), QStringLiteral("Значение")},
        {QStringLiteral("Дата отчета"), ReportLocale().toString(stamp_.Made, QStringLiteral("dd.MM.yyyy HH:mm"))},
        {QStringLiteral("Программа"), QStringLiteral("zonefire, версия ") + stamp_.Version},
        {QStringLiteral("Файл сценария"), d_.FileName.isEmpty() ? QStringLiteral("не сохранен") : d_.FileName},
        {QStringLiteral("SHA-256 сценария"), sha},
        {QStringLiteral("Состояние расчета"), RunStateText(zm_)},
    };
    // The sum in a typewriter face: it has no ligatures, so "ff" is copied from the PDF as two
    // letters and the sum compares with sha256sum's.
    Html(HtmlTable(ToCells(rows)).replace(sha, QStringLiteral("<span style=\"font-family: '%1'\">%2</span>").arg(kFixedFont, sha)));
    Html(QStringLiteral("<p><b>%1</b></p>").arg(Esc(summary_.BuildingLine)));
    Html(Paragraph(QStringLiteral("Хеш SHA-256 вычислен по байтам файла сценария (или, если файл не сохранен, по "
                                  "сценарию в формате файла); по нему можно убедиться, что отчет относится к "
                                  "этому файлу.")));
}

void ReportBuilder::Inputs() {
    Section(QStringLiteral("1. Исходные данные"), true);
    const QString user = QStringLiteral("задано пользователем (файл сценария)");
    std::vector<std::vector<QString>> rows = {
        {QStringLiteral("Обозначение"), QStringLiteral("Величина"), QStringLiteral("Значение"),
         QStringLiteral("Ед. изм."), QStringLiteral("Источник")}};
    // Every number input but the critical values, as the input table describes it.
    const auto row = [&](std::string_view symbol, std::string_view name, double value, std::string_view unit) {
        rows.push_back({Utf8(symbol), Utf8(name), num_(value), Utf8(unit), user});
    };
    for (const zf::Input& input : zf::kInputs)
        if (input.Group != zf::InputGroup::Critical) row(input.Symbol, input.Name, input.In(zm_), input.UnitOrDash());
    row("Δtзап", "Интервал записи результатов", zm_.SamplesPerSec > 0 ? 1.0 / zm_.SamplesPerSec : 0.0, "с");
    row("f", "Коэффициент безопасности при сравнении с временем блокирования", d_.Evacuation.SafetyFactor, "—");
    rows.push_back({QStringLiteral("—"), QStringLiteral("Расчет производительности конвективной колонки"),
                    zm_.UseTanaka ? QStringLiteral("зависимость Танака") : QStringLiteral("зависимость МакКефри"),
                    QStringLiteral("—"), user});
    Html(HtmlTable(ToCells(rows)));
    if (const std::string note = zf::project::FireLoadNote(d_.FireLoad.toStdString(), zf::project::Capture(zm_).Params);
        !note.empty())
        Html(Paragraph(QString::fromStdString(note)));
    CriticalValues();
    Html(QStringLiteral("<h3>Время эвакуации</h3>"));
    if (!d_.Evacuation.Any()) {
        Html(Paragraph(QStringLiteral("Время начала эвакуации t_нэ и время эвакуации t_р не заданы.")));
        return;
    }
    std::vector<std::vector<QString>> evac = {{QStringLiteral("Помещение"), QStringLiteral("t_нэ, с"),
                                               QStringLiteral("t_р, с"), QStringLiteral("Источник")}};
    for (int i = 0; i < zm_.RoomCount(); ++i) {
        const auto e = d_.Evacuation.Room(i);
        evac.push_back({RoomCaption(d_, i), e ? num_(e->StartDelay) : QStringLiteral("—"),
                        e ? num_(e->Duration) : QStringLiteral("—"), e ? user : QStringLiteral("не задано")});
    }
    Html(HtmlTable(ToCells(evac)));
}

// The limits the critical times were judged by; one the user changed is marked and its
// default given beside it.
void ReportBuilder::CriticalValues() {
    Html(QStringLiteral("<h3>Критические значения опасных факторов пожара (ОФП) в рабочей зоне</h3>"));
    std::vector<std::vector<QString>> crit = {{QStringLiteral("Обозначение"), QStringLiteral("Величина"),
                                               QStringLiteral("Опасно значение"), QStringLiteral("Значение"),
                                               QStringLiteral("Ед. изм."), QStringLiteral("Источник")}};
    bool changed = false;
    for (const zf::Input& input : zf::kInputs) {
        if (input.Group != zf::InputGroup::Critical) continue;
        const double value = input.In(zm_);
        const bool own = value != input.Default;
        changed = changed || own;
        crit.push_back({Utf8(input.Symbol), Utf8(input.Name),
                        input.ReachedFalling ? QStringLiteral("не выше") : QStringLiteral("не ниже"),
                        own ? num_(value) + QStringLiteral(" *") : num_(value), Utf8(input.UnitOrDash()),
                        own ? QStringLiteral("задано пользователем (по умолчанию %1)").arg(num_(input.Default))
                            : QStringLiteral("значение программы по умолчанию")});
    }
    Html(HtmlTable(ToCells(crit)));
    if (changed)
        Html(Paragraph(QStringLiteral("* — критическое значение изменено пользователем; критические времена и вывод "
                                      "об эвакуации получены с ним.")));
}

void ReportBuilder::Building() {
    Section(QStringLiteral("2. Здание"), false);
    const std::vector<std::string> names = d_.RoomNameList();
    Html(Paragraph(QString::fromStdString(zf::RoomTitle(0)) + QStringLiteral(" — помещение очага пожара.")));
    std::vector<std::vector<QString>> rooms = {{QStringLiteral("№"), QStringLiteral("Название"),
                                                QStringLiteral("Длина × ширина × высота, м"),
                                                QStringLiteral("Площадь пола, м²"), QStringLiteral("Объем, м³")}};
    for (int i = 0; i < zm_.RoomCount(); ++i) {
        const zf::TRoom& r = zm_.Room(i);
        const QString name = QString::fromStdString(std::string(zfreport::RoomNameOf(names, i)));
        rooms.push_back({QString::number(i + 1), name.isEmpty() ? QStringLiteral("—") : name,
                         num_(r.Length) + QStringLiteral(" × ") + num_(r.Width) + QStringLiteral(" × ") + num_(r.Height),
                         num_(r.Length * r.Width), num_(r.Length * r.Width * r.Height)});
    }
    Html(HtmlTable(ToCells(rooms)));

    Html(QStringLiteral("<h3>Проемы</h3>"));
    // A doorway is stored once from each side; the upper triangle of the matrix lists each
    // once, its diagonal the openings to the outside.
    // One row per opening; "1 из 2" numbers the openings of a pair and gives their count.
    std::vector<std::vector<QString>> openings = {{QStringLiteral("Соединяет"), QStringLiteral("Проем"),
                                                   QStringLiteral("Ширина × высота, м"), QStringLiteral("Состояние")}};
    for (int a = 0; a < zm_.RoomCount(); ++a)
        for (int b = a; b < zm_.RoomCount(); ++b) {
            const zf::TProems& cell = zm_.Cell(a, b);
            if (cell.empty()) continue;
            const QString joins = a == b ? QStringLiteral("№%1 — наружу").arg(a + 1)
                                         : QStringLiteral("№%1 — №%2").arg(a + 1).arg(b + 1);
            for (std::size_t k = 0; k < cell.size(); ++k)
                openings.push_back({joins, QStringLiteral("%1 из %2").arg(k + 1).arg(cell.size()),
                                    num_(cell[k]->Width) + QStringLiteral(" × ") + num_(cell[k]->Height),
                                    cell[k]->IsOpen ? QStringLiteral("открыт") : QStringLiteral("закрыт")});
        }
    if (openings.size() == 1) {
        Html(Paragraph(QStringLiteral("Проемов между помещениями и наружу нет (учтены только неплотности ограждений).")));
    } else {
        Html(HtmlTable(ToCells(openings)));
    }
    Leaks();
}

// The gaps of every room's enclosure, which the run adds as one closed opening to the outside
// at the floor: kLeakHeight high and kLeakWidthPerSide per metre of (length + width) wide.
void ReportBuilder::Leaks() {
    if (zm_.RoomCount() == 0) return;
    Html(QStringLiteral("<h3>Неплотности ограждений</h3>"));
    Html(Paragraph(QStringLiteral("Кроме перечисленных проемов, расчет учитывает неплотности ограждения каждого "
                                  "помещения: щель наружу у пола высотой %1 м и шириной %2·(длина + ширина) м, "
                                  "через которую газ проходит так же, как через щели закрытой двери.")
                       .arg(num_(zf::kLeakHeight), num_(zf::kLeakWidthPerSide))));
    std::vector<std::vector<QString>> leaks = {{QStringLiteral("Помещение"), QStringLiteral("Ширина × высота щели, м")}};
    const std::vector<std::string> names = d_.RoomNameList();
    for (int i = 0; i < zm_.RoomCount(); ++i) {
        const zf::TRoom& r = zm_.Room(i);
        const double width = (r.Length + r.Width) * zf::kLeakWidthPerSide;  // [m]
        leaks.push_back({ShortRoomLabel(names, i), num_(width) + QStringLiteral(" × ") + num_(zf::kLeakHeight)});
    }
    Html(HtmlTable(ToCells(leaks)));
}

void ReportBuilder::Results() {
    Section(QStringLiteral("3. Результаты"), false);
    Html(QStringLiteral("<h3>Время наступления критических значений ОФП, с</h3>"));
    // The summary's cells without the evacuation columns: the critical times, t_бл and its factor;
    // on paper with the rooms as "№1 Кабинет", headers in words with their unit, and t_бл not
    // reached said in words.
    const std::vector<std::string> names = d_.RoomNameList();
    const std::string notReached = "не достигнуто за " + num_(summary_.Verdict.EndTime).toStdString() + " с";
    const auto paperCells = [&](std::vector<std::vector<std::string>> cells) {
        for (std::size_t r = 1; r < cells.size(); ++r) {
            cells[r][0] = ShortRoomLabel(names, static_cast<int>(r - 1)).toStdString();
            const std::size_t blocking = 1 + zf::kHazardCount;  // the t_бл column
            if (!summary_.Verdict.Rooms[r - 1].BlockingTime && cells[r].size() > blocking) cells[r][blocking] = notReached;
        }
        // "t_нэ + t_р" is one term: it must not break over two lines.
        for (std::string& h : cells[0]) {
            for (std::size_t at; (at = h.find(" + ")) != std::string::npos;) h.replace(at, 3, "\u00A0+\u00A0");
            if (h.find("t_") != std::string::npos) h += ", с";  // the margin's cells carry their unit
        }
        // Short words, so the seven columns fit a page without breaking inside a word.
        const char* const kHazardHeaders[zf::kHazardCount] = {"Темп.", "O₂", "Видим.", "CO", "CO₂", "HCl", "Излуч."};
        for (int k = 0; k < zf::kHazardCount; ++k) cells[0][static_cast<std::size_t>(1 + k)] = kHazardHeaders[k];
        return cells;
    };
    std::vector<std::vector<std::string>> times = paperCells(summary_.Table.Cells());
    // Ten columns leave the room's column room for its number only; the names stand in the
    // building's table and in the verdict table.
    for (std::size_t r = 1; r < times.size(); ++r) times[r][0] = "№" + std::to_string(r);
    // Every time in this table is in seconds: the unit stands in the title, the headers stay short.
    times[0][0] = "№";
    times[0][1 + zf::kHazardCount] = "t_бл";
    constexpr std::size_t kTimesColumns = 1 + zf::kHazardCount + 2;
    for (auto& row : times) row.resize(std::min(row.size(), kTimesColumns));
    // Room, seven factors, t_бл, the governing factor [% of the page].
    Html(HtmlTable(times, {}, {5, 9, 9, 9, 9, 9, 9, 9, 13, 19}));
    // The legend without "Время, с": the headers carry the unit.
    QStringList legend = QString::fromStdString(summary_.Legend).split(QStringLiteral("; "));
    legend.removeAll(QStringLiteral("Время, с"));
    legend.prepend(QStringLiteral("Время достижения критического значения: Темп. — по повышенной температуре, O₂ — по "
                                  "недостатку кислорода, Видим. — по потере видимости в дыму, CO, CO₂, HCl — по "
                                  "содержанию газа, Излуч. — по тепловому излучению"));
    Html(QStringLiteral("<p><small>%1</small></p>").arg(Esc(legend.join(QStringLiteral("\n"))).replace(QLatin1Char('\n'), QStringLiteral("<br>"))));

    Html(QStringLiteral("<h3>Вывод по эвакуации</h3>"));
    if (summary_.WithEvacuation) {
        std::vector<std::vector<std::string>> verdict;
        const auto all = paperCells(summary_.Table.Cells());
        for (const auto& row : all) {
            // Room, t_бл, factor, then t_нэ + t_р, f·t_бл, margin and the verdict.
            std::vector<std::string> line{row[0]};
            line.insert(line.end(), row.begin() + 1 + zf::kHazardCount, row.end());
            verdict.push_back(std::move(line));
        }
        const std::size_t verdictColumn = verdict.front().size() - 1;
        Html(HtmlTable(verdict, [this, verdictColumn](std::size_t room, std::size_t col) {
            const auto& outcome = summary_.Verdict.Rooms[room].Outcome;
            if (col != verdictColumn || !outcome) return QString();
            return VerdictColour(*outcome).name();
        }, {16, 12, 19, 13, 12, 10, 18}));
    }
    Html(QStringLiteral("<p><b>%1</b></p>").arg(Esc(summary_.BuildingLine)));
    // Where this run's own numbers show the model to be wrong, beside the verdict they qualify.
    for (const std::string& w : zfreport::RunWarnings(zm_))
        Html(QStringLiteral("<p><b>Внимание:</b> %1</p>").arg(Esc(w)));
    // Which way the model errs for the factors that govern this run: a reader of the verdict
    // must know whether its blocking times lean to the safe side.
    if (const QString direction = ErrorDirectionText(GoverningFactors(), zm_.UseTanaka); !direction.isEmpty())
        Html(Paragraph(direction + QStringLiteral(" Подробнее — в разделе 5.")));
    Html(Paragraph(QStringLiteral("Условие безопасной эвакуации: t_нэ + t_р ≤ f·t_бл. Если в помещении ни один "
                                  "ОФП не достиг критического значения, время эвакуации сравнивается с f·t_кон, где "
                                  "t_кон = %1 с — время, до которого дошел расчет. Вывод «безопасно» дается только по "
                                  "завершенному расчету; остановленный или прерванный расчет дает «не определено».")
                       .arg(num_(summary_.Verdict.EndTime))));
}

void ReportBuilder::Charts() {
    Section(QStringLiteral("4. Графики"), false);
    Html(Paragraph(QStringLiteral("Для каждого помещения: температура газа в зоне задымления, координата "
                                  "задымленной зоны и каждый ОФП, достигший критического значения, с линией "
                                  "критического значения и отметкой критического времени.")));
    int figure = 0;
    auto chart = [&](int room, bool hazard, int index, const QString& note) {
        Html(QStringLiteral("<p>%1chart %2 %3 %4%1</p>").arg(QChar(kReportPlaceholder)).arg(room).arg(hazard ? 1 : 0).arg(index));
        Html(QStringLiteral("<p align=\"center\"><i>Рисунок %1. %2: %3%4</i></p>")
                 .arg(++figure)
                 .arg(Esc(RoomCaption(d_, room)), Esc(QString::fromUtf8(zfreport::ViewOf(hazard, index).Title)), Esc(note)));
    };
    constexpr int kLayerTemperature = 4;  // the first list's items: smoke-layer temperature
    constexpr int kLayerHeight = 2;       // and interface height
    for (int i = 0; i < zm_.RoomCount(); ++i) {
        Html(QStringLiteral("<h3>%1</h3>").arg(Esc(RoomCaption(d_, i))));
        chart(i, false, kLayerTemperature, {});
        chart(i, false, kLayerHeight, {});
        const zf::TRoom& r = zm_.Room(i);
        for (int k = 0; k < zf::kHazardCount; ++k) {
            const double t = r.CritTimeOf(static_cast<zf::HazardKind>(k));
            if (t == 0) continue;
            chart(i, true, k, QStringLiteral("; критическое значение достигнуто на %1 с").arg(num_(t)));
        }
    }
}

void ReportBuilder::Model() {
    Section(QStringLiteral("5. Модель и ее ограничения"), false);
    for (const std::string& p : zfreport::ModelLimitsParagraphs()) Html(Paragraph(QString::fromStdString(p)));
    Html(QStringLiteral("<h3>Сравнение с опытными данными</h3>"));
    // The validation's figures, as the windows' "О модели" quotes them, but as a table, and
    // without the pointer to the source texts: the report must stand on its own.
    const std::vector<std::vector<QString>> table = ModelAccuracyTable();
    if (table.empty()) {
        Html(Paragraph(QStringLiteral("Сравнение результатов модели с опытными данными в этом отчете не приводится.")));
        return;
    }
    Html(Paragraph(ModelAccuracyIntro()));
    // First the figures of the model this run used, with its plume, and where it is not on the
    // safe side; then the reference model's for every compared quantity.
    if (const QStringList used = UsedModelAccuracyNotes(zm_.Options, zm_.UseTanaka); !used.isEmpty()) {
        Html(Paragraph(used.front()));
        Html(HtmlTable(ToCells(UsedModelAccuracyTable(zm_.Options, zm_.UseTanaka)), {}, {34, 6, 15, 15, 15, 15}));
        for (qsizetype i = 1; i < used.size(); ++i) Html(Paragraph(used[i]));
        Html(Paragraph(QStringLiteral("Эталонная модель (без вариантов) по всем сравненным величинам:")));
    }
    Html(HtmlTable(ToCells(table), {}, {30, 10, 15, 15, 15, 15}));
    for (const QString& p : ModelAccuracyNotes()) Html(Paragraph(p));
}

// A paragraph is not split over two pages, and a heading, and a chart, stay on the page of
// what follows them (the first row of a table, a paragraph, the chart's caption): a block that
// would be split or parted starts a new page instead. Done in reading order, so each decision
// sees the pages the earlier ones made. (A paragraph split over pages is also drawn whole on
// both, its lines beyond the page only clipped: a search in the PDF would find them twice.)
void KeepTogether(QTextDocument& doc) {
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
    const long long tens = n % 100, units = n % 10;
    if (tens >= 11 && tens <= 14) return QStringLiteral("шагов");
    if (units == 1) return QStringLiteral("шаг");
    if (units >= 2 && units <= 4) return QStringLiteral("шага");
    return QStringLiteral("шагов");
}

QString RunStateText(const zf::TzoneMath& zm) {
    const Numbers num;
    const QString of = QString::number(std::max(zm.StepCount - 1, 0));
    const double reached = zfreport::RunEndTime(zm);
    if (zm.LastFault.Failed())
        return QStringLiteral("расчет прерван ошибкой на шаге %1 из %2; последний выполненный шаг — на %3 с. %4. "
                              "Критические времена, достигнутые до ошибки, действительны.")
            .arg(zm.Iter)
            .arg(of, num(reached), QString::fromStdString(zf::DescribeFault(zm.LastFault)));
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
    const QSizeF page(paper.width(), paper.height() - kFooterHeight);

    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setPageSize(page);
    doc.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    doc.setDefaultStyleSheet(QStringLiteral("h1 { font-size: 16pt; } h2 { font-size: 13pt; } h3 { font-size: 11pt; } "
                                            "th { background-color: #e8e8e8; }"));
    auto* chartObject = new ChartObject(
        [&](QPainter& painter, const QRectF& rect, int room, bool hazard, int index) {
            PaintReportChart(painter, rect, zm, room, hazard, index);
        },
        &doc);
    doc.documentLayout()->registerHandler(kChartObjectType, chartObject);

    ReportBuilder builder(zm, description, stamp);
    builder.TitlePage();
    builder.Inputs();
    builder.Building();
    builder.Results();
    builder.Charts();
    builder.Model();
    doc.setHtml(builder.Text());
    PlaceCharts(doc, page.width() - 2 * doc.documentMargin() - 4);
    // The charts' sizes were set after the first layout: lay the whole text out again, or the
    // page count stays that of the smaller charts and the last pages are cut off.
    doc.markContentsDirty(0, doc.characterCount());
    KeepTogether(doc);

    QPainter painter;
    if (!painter.begin(&writer)) return QStringLiteral("Не удалось начать запись отчета.");
    const int pages = doc.pageCount();
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash(ScenarioBytes(zm, description), QCryptographicHash::Sha256).toHex().left(16));
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
        // Every page says which report and which page it is.
        const QRectF footer(0, page.height() + 6, page.width(), kFooterHeight - 6);
        painter.setPen(Qt::darkGray);
        painter.drawLine(footer.topLeft(), footer.topRight());
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("zonefire %1 · сценарий SHA-256 %2…").arg(stamp.Version, sha));
        painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("стр. %1 из %2").arg(p + 1).arg(pages));
    }
    if (!painter.end()) return QStringLiteral("Не удалось записать отчет: %1").arg(device.errorString());
    return {};
}

#include "report_pdf.moc"
