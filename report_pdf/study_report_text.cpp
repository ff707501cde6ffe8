// The study report's text: the title page, the inputs, the rooms, the routes, the failed runs.

#include "study_report_text.h"

#include <algorithm>
#include <cmath>

#include "count_text.h"
#include "report_html.h"
#include "report_pdf.h"
#include "report_text.h"
#include "verdict.h"
#include "model/inputs.h"
#include "model/room.h"

namespace zfpdf {

using namespace zfcli::study;

namespace {

QString Count(std::uint64_t n) { return GroupedCount(static_cast<long long>(n)); }
QString Percent(double share) { return Fixed(100 * share, 1) + QStringLiteral(" %"); }
QString Said(zfreport::Verdict v) { return QStringLiteral("«%1»").arg(Utf8(zfreport::VerdictText(v))); }

// The unit of a varied input as the report writes it; empty for a ratio.
QString UnitOf(const VariedInput& input) {
    if (input.Route >= 0) return input.Key == "people" ? QStringLiteral("чел.") : input.Key == "projection" ? QStringLiteral("м²") : QStringLiteral("с");
    if (input.Evacuation) return QStringLiteral("с");
    if (input.Room >= 0 || input.Opening >= 0 || !input.Surface.empty()) return QStringLiteral("м");
    if (input.Key == "SamplesPerSec") return QStringLiteral("1/с");
    for (const zf::Input& row : zf::kInputs)
        if (row.Key == input.Key) return Utf8(row.Unit);
    return {};
}

QString WithUnit(const QString& text, const QString& unit) { return unit.isEmpty() ? text : text + QChar(0x00A0) + unit; }
// "Vlin, м/с" as a column or an axis names an input; "plume" without a unit.
QString Titled(const VariedInput& input) {
    const QString unit = UnitOf(input), path = QString::fromStdString(input.Path);
    return unit.isEmpty() ? path : path + QStringLiteral(", ") + unit;
}

// A choice's value k as the report writes it: a number with the decimal comma, a name as it is.
QString ChoiceValue(const VariedInput& input, std::size_t k) {
    if (k < input.ChoiceNumbers.size()) return Numbers()(input.ChoiceNumbers[k]);
    return QString::fromStdString(input.ChoiceTexts[k]);
}

// Four significant digits with the report's decimal comma: a drawn value's mean or bound.
QString Short(double v) {
    if (v == 0 || !std::isfinite(v)) return Fixed(v, 0);
    return Fixed(v, std::clamp(3 - static_cast<int>(std::floor(std::log10(std::fabs(v)))), 0, 9));
}

// The law of an input in words, with its parameters.
QString LawText(const VariedInput& input) {
    const Numbers num;
    const QString unit = UnitOf(input);
    auto n = [&](double v) { return WithUnit(num(v), unit); };
    if (const auto* d = std::get_if<Uniform>(&input.Law)) return QStringLiteral("равномерное от %1 до %2").arg(n(d->Min), n(d->Max));
    if (const auto* d = std::get_if<Triangular>(&input.Law))
        return QStringLiteral("треугольное от %1 до %2, мода %3").arg(n(d->Min), n(d->Max), n(d->Mode));
    if (const auto* d = std::get_if<Normal>(&input.Law)) {
        QString text = QStringLiteral("нормальное, среднее %1, стандартное отклонение %2").arg(n(d->Mean), n(d->Sd));
        if (std::isfinite(d->Min)) text += QStringLiteral(", не ниже %1").arg(n(d->Min));
        if (std::isfinite(d->Max)) text += QStringLiteral(", не выше %1").arg(n(d->Max));
        return text;
    }
    if (const auto* d = std::get_if<Lognormal>(&input.Law))
        return QStringLiteral("логнормальное, медиана %1, σ(ln X) = %2").arg(n(std::exp(d->Mu)), num(d->Sigma));
    if (const auto* d = std::get_if<Bernoulli>(&input.Law)) return QStringLiteral("открыт с вероятностью %1").arg(num(d->P));
    const auto& weights = std::get<Choice>(input.Law).Weights;
    QStringList values;
    for (std::size_t k = 0; k < input.ChoiceTexts.size(); ++k)
        values << QStringLiteral("%1 (вес %2)").arg(ChoiceValue(input, k), num(weights[k]));
    return QStringLiteral("выбор из: ") + values.join(QStringLiteral(", "));
}

// The drawn values of the completed runs: their spread, or how often each value of a choice came.
QString DrawnText(const VariedInput& input, const std::vector<double>& ranks) {
    const Numbers num;
    if (input.Kind == InputKind::Material) return QStringLiteral("по строкам runs.csv");
    if (std::holds_alternative<Choice>(input.Law) || input.Kind != InputKind::Number) {
        QStringList counts;
        const bool open = input.Kind == InputKind::OpenState;
        const std::size_t kinds = open ? 2 : input.ChoiceTexts.size();
        for (std::size_t k = 0; k < kinds; ++k) {
            const double rank = open ? 1.0 - static_cast<double>(k) : input.Kind == InputKind::Plume ? static_cast<double>(k) : input.ChoiceNumbers[k];
            const auto n = std::count(ranks.begin(), ranks.end(), rank);
            const QString value = open ? (k == 0 ? QStringLiteral("открыт") : QStringLiteral("закрыт")) : ChoiceValue(input, k);
            counts << QStringLiteral("%1 — %2").arg(value).arg(n);
        }
        return counts.join(QStringLiteral("; "));
    }
    const stats::Spread s = stats::Describe(ranks);
    if (!s.Mean) return QStringLiteral("—");
    return QStringLiteral("среднее %1; от %2 до %3").arg(Short(*s.Mean), Short(*s.Min), Short(*s.Max));
}

std::vector<double> Finite(const std::vector<double>& values) {
    std::vector<double> kept;
    for (double v : values)
        if (std::isfinite(v)) kept.push_back(v);
    std::sort(kept.begin(), kept.end());
    return kept;
}

// The rows of a spread: count, mean and its interval, deviation, percentiles, least, greatest.
std::vector<QString> SpreadColumn(const stats::Spread& s, int decimals, const QString& unreached) {
    auto shown = [&](const std::optional<double>& v) { return v ? Fixed(v, decimals) : unreached; };
    return {Count(s.Count), Fixed(s.Mean, decimals),
            s.Low ? Fixed(s.Low, decimals) + QStringLiteral("…") + Fixed(s.High, decimals) : QStringLiteral("—"),
            Fixed(s.Sd, decimals), shown(s.P5), shown(s.P50), shown(s.P95), Fixed(s.Min, decimals), Fixed(s.Max, decimals)};
}

const QString kSpreadNames[] = {QStringLiteral("Число значений"), QStringLiteral("Среднее"),
                                QStringLiteral("95 % доверительный интервал среднего"), QStringLiteral("Стандартное отклонение"),
                                QStringLiteral("5-й процентиль"), QStringLiteral("50-й процентиль (медиана)"),
                                QStringLiteral("95-й процентиль"), QStringLiteral("Наименьшее"), QStringLiteral("Наибольшее")};

}  // namespace

QString StudyChartMarker(std::size_t index) {
    return QChar(kReportPlaceholder) + QStringLiteral("studychart %1").arg(index) + QChar(kReportPlaceholder);
}

QString Fixed(const std::optional<double>& v, int decimals) {
    if (!v) return QStringLiteral("—");
    QString text = ReportLocale().toString(*v, 'f', decimals);
    if (text.startsWith(QLatin1Char('-'))) {
        if (text.mid(1).remove(QLatin1Char('0')).remove(QLatin1Char(',')).isEmpty()) return text.mid(1);  // no "−0,0"
        text[0] = QChar(0x2212);
    }
    return text;
}

void StudyReportText::Build() {
    TitlePage();
    Inputs();
    InputCharts();
    for (std::size_t r = 0; r < in_.Data.Blocking.size(); ++r) Room(r);
    for (std::size_t k = 0; k < in_.Data.RouteTimes.size(); ++k) Route(k);
    FailedRuns();
}

int StudyReportText::Table(const QString& caption, const std::vector<std::vector<QString>>& rows, const std::vector<int>& widths) {
    Html(QStringLiteral("<p>Таблица %1 — %2</p>").arg(++tables_).arg(Esc(caption)));
    Html(HtmlTable(ToCells(rows), {}, widths));
    return tables_;
}

int StudyReportText::Figure(DistributionChart chart, const QString& caption) {
    charts_.push_back(std::move(chart));
    Html(QStringLiteral("<p align=\"center\">%1</p>").arg(StudyChartMarker(charts_.size() - 1)));
    Html(QStringLiteral("<p align=\"center\">Рисунок %1 — %2</p>").arg(++figures_).arg(Esc(caption)));
    return figures_;
}

void StudyReportText::TitlePage() {
    const SummaryData& d = in_.Data;
    const auto [first, last] = RunsOfShard(in_.Study.Runs, in_.Part);
    Html(QStringLiteral("<h1>Отчет об исследовании неопределенности времени блокирования и эвакуации</h1>"));
    Html(Paragraph(QStringLiteral("Исследование: %1. Отчет составлен %2 программой zonefire %3.")
                       .arg(in_.FolderName, ReportLocale().toString(in_.Made, QStringLiteral("dd.MM.yyyy HH:mm")), in_.Version)));
    Html(QStringLiteral("<p>SHA-256 файла study.json: <span style=\"font-family: '%1'\">%2</span></p>").arg(kFixedFont, in_.StudySha));
    std::vector<std::vector<QString>> rows = {{QStringLiteral("Показатель"), QStringLiteral("Значение")}};
    rows.push_back({QStringLiteral("Расчетов в исследовании"), Count(in_.Study.Runs)});
    if (in_.Part.Count > 1) rows.push_back({QStringLiteral("Доля исследования"), QStringLiteral("%1 из %2").arg(in_.Part.Index).arg(in_.Part.Count)});
    rows.push_back({QStringLiteral("Расчетов запланировано"), Count(last + 1 - first)});
    rows.push_back({QStringLiteral("Расчетов выполнено"), Count(d.Done)});
    rows.push_back({QStringLiteral("Из них завершено"), Count(d.Completed)});
    rows.push_back({QStringLiteral("Остановлено"), Count(d.Stopped)});
    rows.push_back({QStringLiteral("С ошибкой"), Count(d.Failed)});
    rows.push_back({QStringLiteral("Выборка"), in_.Study.Method == Sampling::MonteCarlo ? QStringLiteral("Монте-Карло") : QStringLiteral("латинский гиперкуб")});
    rows.push_back({QStringLiteral("Зерно датчика случайных чисел"), QString::number(in_.Study.Seed)});
    Table(QStringLiteral("Расчеты исследования"), rows);
    Html(QStringLiteral("<h2>Область применения и способ оценки</h2>"));
    Html(Paragraph(QStringLiteral(
        "Исследование повторяет расчет здания двухзонной моделью с входными данными, разыгранными по законам "
        "распределения раздела 1, и показывает разброс результатов. Статистика — по завершенным расчетам: время "
        "блокирования, не достигнутое за время моделирования, входит в долю и процентили как «не достигнуто», а в "
        "среднее — нет. Процентили — линейная интерполяция между соседними по рангу значениями; 95 % доверительный "
        "интервал среднего — по распределению Стьюдента; стандартное отклонение — выборочное. Гистограммы делят "
        "диапазон значений на √n равных интервалов (от 5 до 12). Доля «безопасно» — среди расчетов с выводом; "
        "расчеты без вывода (не определено, с ошибкой, остановленные) указаны отдельно. Разброс отражает только "
        "изменяемые входные данные: погрешность самой модели в него не входит.")));
}

void StudyReportText::Inputs() {
    Html(QStringLiteral("<h2>1. Изменяемые входные данные</h2>"));
    if (in_.Study.Inputs.empty()) {
        Html(Paragraph(QStringLiteral("Изменяемых входных данных нет: все расчеты — с данными базового сценария.")));
        return;
    }
    std::vector<std::vector<QString>> rows = {{QStringLiteral("№"), QStringLiteral("Параметр"), QStringLiteral("Закон распределения"),
                                               QStringLiteral("Разыгранные значения (завершенные расчеты)")}};
    for (std::size_t j = 0; j < in_.Study.Inputs.size(); ++j) {
        const VariedInput& input = in_.Study.Inputs[j];
        rows.push_back({QString::number(j + 1), Titled(input), LawText(input), DrawnText(input, in_.Data.Ranks[j])});
    }
    Html(Paragraph(QStringLiteral("Законы распределения и разыгранные значения — в таблице %1; гистограммы числовых "
                                  "параметров — на рисунках, следующих за ней.").arg(tables_ + 1)));
    Table(QStringLiteral("Изменяемые входные данные"), rows, {4, 38, 32, 26});
}

void StudyReportText::InputCharts() {
    for (std::size_t j = 0; j < in_.Study.Inputs.size(); ++j) {
        const VariedInput& input = in_.Study.Inputs[j];
        if (input.Kind != InputKind::Number || std::holds_alternative<Choice>(input.Law)) continue;
        DistributionChart chart;
        chart.Values = Finite(in_.Data.Ranks[j]);
        chart.Total = chart.Values.size();
        chart.AxisTitle = Titled(input);
        chart.Decimals = 3;
        chart.Height = kSmallChart;
        Figure(std::move(chart), QStringLiteral("Гистограмма разыгранных значений %1").arg(QString::fromStdString(input.Path)));
    }
}

std::vector<std::vector<QString>> StudyReportText::VerdictRows(const SummaryData::RoomVerdicts& v) const {
    using zfreport::Verdict;
    const std::uint64_t judged = v.Safe + v.Unsafe;
    auto share = [&](std::uint64_t n) { return judged ? Count(n) + QStringLiteral(" (") + Percent(static_cast<double>(n) / static_cast<double>(judged)) + QLatin1Char(')') : Count(n); };
    return {{QStringLiteral("Вывод об эвакуации"), QStringLiteral("Расчетов")},
            {Said(Verdict::Safe) + QStringLiteral(" (доля среди расчетов с выводом)"), share(v.Safe)},
            {Said(Verdict::Unsafe), share(v.Unsafe)},
            {Said(Verdict::Undetermined) + QStringLiteral(", завершенные расчеты"), Count(v.Undetermined)},
            {QStringLiteral("С ошибкой (вывод ") + Said(Verdict::Undetermined) + QLatin1Char(')'), Count(in_.Data.Failed)},
            {QStringLiteral("Без вывода, всего из %1 выполненных").arg(Count(in_.Data.Done)), Count(in_.Data.Done - judged)}};
}

void StudyReportText::Room(std::size_t room) {
    const std::vector<double>& blocking = in_.Data.Blocking[room];
    const stats::Spread s = stats::Describe(blocking);
    const QString title = QString::fromStdString(zf::RoomTitle(static_cast<int>(room)));
    if (room == 0) Html(QStringLiteral("<h2 style=\"page-break-before: always\">2. Время блокирования и вывод по помещениям</h2><h3>%1</h3>").arg(title));
    else Html(QStringLiteral("<h3 style=\"page-break-before: always\">%1</h3>").arg(title));
    if (blocking.empty()) {
        Html(Paragraph(QStringLiteral("Завершенных расчетов нет: распределения времени блокирования нет.")));
        return;
    }
    const std::string_view completed = zfreport::CountNoun(static_cast<long long>(blocking.size()), zfreport::kCompletedRunsGenitive);
    Html(Paragraph(QStringLiteral("Время блокирования t_бл достигнуто в %1 из %2 %3 (%4). Распределение — в таблице %5 "
                                  "и на рисунках %6 и %7.")
                       .arg(Count(s.Count), Count(blocking.size()), QString::fromUtf8(completed.data(), static_cast<qsizetype>(completed.size())))
                       .arg(Percent(static_cast<double>(s.Count) / static_cast<double>(blocking.size())))
                       .arg(tables_ + 1)
                       .arg(figures_ + 1)
                       .arg(figures_ + 2)));
    std::vector<std::vector<QString>> rows = {{QStringLiteral("Показатель"), QStringLiteral("t_бл, с")}};
    const std::vector<QString> column = SpreadColumn(s, 1, QStringLiteral("не достигнуто"));
    for (std::size_t i = 0; i < column.size(); ++i) rows.push_back({kSpreadNames[i], column[i]});
    rows[1][0] = QStringLiteral("Расчетов, в которых t_бл достигнуто");
    Table(QStringLiteral("Время блокирования, %1").arg(title.toLower()), rows);
    if (in_.Study.RoomHasEvacuation[room]) Table(QStringLiteral("Вывод об эвакуации, %1").arg(title.toLower()), VerdictRows(in_.Data.Verdicts[room]));
    DistributionChart chart;
    chart.Values = Finite(blocking);
    chart.Total = blocking.size();
    chart.AxisTitle = QStringLiteral("Время блокирования t_бл, с");
    chart.Unit = QStringLiteral("с");
    Figure(chart, QStringLiteral("Гистограмма времени блокирования, %1").arg(title.toLower()));
    chart.Cumulative = true;
    chart.P5 = s.P5, chart.P50 = s.P50, chart.P95 = s.P95;
    Figure(chart, QStringLiteral("Доля завершенных расчетов с t_бл не больше заданного, %1").arg(title.toLower()));
}

void StudyReportText::Route(std::size_t route) {
    const std::string& name = in_.Study.Base.Routes[route].Name;
    const QString title = QStringLiteral("Путь %1").arg(route + 1) + (name.empty() ? QString() : QStringLiteral(" «%1»").arg(QString::fromStdString(name)));
    if (route == 0) Html(QStringLiteral("<h2 style=\"page-break-before: always\">3. Время эвакуации и вероятность эвакуации по путям</h2>"));
    Html(route == 0 ? QStringLiteral("<h3>%1</h3>").arg(Esc(title)) : QStringLiteral("<h3 style=\"page-break-before: always\">%1</h3>").arg(Esc(title)));
    const stats::Spread t = stats::Describe(in_.Data.RouteTimes[route]), p = stats::Describe(in_.Data.RouteProbabilities[route]);
    Html(Paragraph(QStringLiteral("Время эвакуации t_р и вероятность эвакуации P_э по завершенным расчетам — в таблице %1, вывод — в "
                                  "таблице %2, распределения — на рисунках %3–%4.")
                       .arg(tables_ + 1).arg(tables_ + 2).arg(figures_ + 1).arg(figures_ + 4)));
    std::vector<std::vector<QString>> rows = {{QStringLiteral("Показатель"), QStringLiteral("t_р, с"), QStringLiteral("P_э")}};
    const std::vector<QString> times = SpreadColumn(t, 1, QStringLiteral("—")), chances = SpreadColumn(p, 3, QStringLiteral("—"));
    for (std::size_t i = 0; i < times.size(); ++i) rows.push_back({kSpreadNames[i], times[i], chances[i]});
    Table(QStringLiteral("Время эвакуации и вероятность эвакуации, ") + title, rows);
    Table(QStringLiteral("Вывод об эвакуации, ") + title, VerdictRows(in_.Data.RouteVerdicts[route]));
    DistributionChart chart;
    chart.Values = Finite(in_.Data.RouteTimes[route]);
    chart.Total = chart.Values.size();
    chart.AxisTitle = QStringLiteral("Время эвакуации t_р, с");
    chart.Unit = QStringLiteral("с");
    Figure(chart, QStringLiteral("Гистограмма времени эвакуации, ") + title);
    chart.Cumulative = true;
    chart.P5 = t.P5, chart.P50 = t.P50, chart.P95 = t.P95;
    Figure(chart, QStringLiteral("Доля расчетов с t_р не больше заданного, ") + title);
    chart = {};
    chart.Values = Finite(in_.Data.RouteProbabilities[route]);
    chart.Total = chart.Values.size();
    chart.AxisTitle = QStringLiteral("Вероятность эвакуации P_э");
    chart.Decimals = 3;
    chart.Share = true;
    Figure(chart, QStringLiteral("Гистограмма вероятности эвакуации, ") + title);
    chart.Cumulative = true;
    chart.P5 = p.P5, chart.P50 = p.P50, chart.P95 = p.P95;
    Figure(chart, QStringLiteral("Доля расчетов с P_э не больше заданной (среди расчетов, где P_э определена), ") + title);
}

void StudyReportText::FailedRuns() {
    const auto& failed = in_.Data.FailedRuns;
    if (failed.empty()) return;
    constexpr std::size_t kListed = 30;  // the rest are in runs.csv and summary.txt
    Html(QStringLiteral("<h2 style=\"page-break-before: always\">%1. Расчеты с ошибкой</h2>").arg(in_.Data.RouteTimes.empty() ? 3 : 4));
    Html(Paragraph(QStringLiteral("Расчетов с ошибкой: %1; их вывод — «не определено», в статистику они не входят%2.")
                       .arg(Count(failed.size()), failed.size() > kListed ? QStringLiteral(" (показаны первые %1, все — в summary.txt)").arg(kListed) : QString())));
    std::vector<std::vector<QString>> rows = {{QStringLiteral("Расчет"), QStringLiteral("Шаг"), QStringLiteral("Причина")}};
    for (std::size_t i = 0; i < std::min(failed.size(), kListed); ++i)
        rows.push_back({QStringLiteral("№%1").arg(failed[i].Run), QString::number(failed[i].Step), QString::fromStdString(failed[i].Fault)});
    Table(QStringLiteral("Расчеты с ошибкой"), rows);
}

}  // namespace zfpdf
