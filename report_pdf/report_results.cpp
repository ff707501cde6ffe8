#include "report_builder.h"

#include <QStringList>

#include "chart_quantities.h"
#include "model_accuracy.h"
#include "model_notes.h"
#include "model_warnings.h"
#include "option_accuracy.h"
#include "report_text.h"
#include "route_verdict.h"

namespace zfpdf {

std::vector<std::vector<std::string>> ReportBuilder::PaperCells(std::vector<std::vector<std::string>> cells) const {
    const std::vector<std::string> names = d_.RoomNameList();
    const std::string notReached = "не достигнуто за " + num_(summary_.Verdict.EndTime).toStdString() + " с";
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
}

void ReportBuilder::Results() {
    Section(QStringLiteral("3. Результаты"), false);
    TimesTable();
    RoutesSheet();
    VerdictTable();
    Html(QStringLiteral("<p><b>%1</b></p>").arg(Esc(summary_.BuildingLine)));
    for (const std::string& line : zfreport::RouteSummaryLines(summary_.Verdict, num_.Separator()))
        Html(QStringLiteral("<p><b>%1</b></p>").arg(Esc(line)));
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

void ReportBuilder::TimesTable() {
    Html(QStringLiteral("<h3>Время наступления критических значений ОФП, с</h3>"));
    // The summary's cells without the evacuation columns: the critical times, t_бл and its factor;
    // on paper with the rooms as "№1 Кабинет", headers in words with their unit, and t_бл not
    // reached said in words.
    std::vector<std::vector<std::string>> times = PaperCells(summary_.Table.Cells());
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
    if (zm_.RoomCount() > 0) {
        const auto [first, count] = Figures(zm_.RoomCount() - 1);
        Html(Paragraph(QStringLiteral("Изменение ОФП во времени и моменты достижения критических значений показаны на "
                                      "рисунках 1–%1 (раздел 4).").arg(first + count - 1)));
    }
    // The legend without "Время, с": the headers carry the unit.
    QStringList legend = QString::fromStdString(summary_.Legend).split(QStringLiteral("; "));
    legend.removeAll(QStringLiteral("Время, с"));
    legend.prepend(QStringLiteral("Время достижения критического значения: Темп. — по повышенной температуре, O₂ — по "
                                  "недостатку кислорода, Видим. — по потере видимости в дыму, CO, CO₂, HCl — по "
                                  "содержанию газа, Излуч. — по тепловому излучению"));
    Html(QStringLiteral("<p><small>%1</small></p>").arg(Esc(legend.join(QStringLiteral("\n"))).replace(QLatin1Char('\n'), QStringLiteral("<br>"))));
}

void ReportBuilder::VerdictTable() {
    Html(QStringLiteral("<h3>Вывод по эвакуации</h3>"));
    if (summary_.WithEvacuation) {
        std::vector<std::vector<std::string>> verdict;
        const auto all = PaperCells(summary_.Table.Cells());
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
}

void ReportBuilder::Charts() {
    Section(QStringLiteral("4. Графики"), false);
    if (zm_.RoomCount() == 0) return;
    const auto [firstOfLast, countOfLast] = Figures(zm_.RoomCount() - 1);
    Html(Paragraph(QStringLiteral("На рисунках 1–%1 для каждого помещения: температура газа в зоне задымления, "
                                  "координата задымленной зоны и каждый ОФП, достигший критического значения, с "
                                  "линией критического значения и отметкой критического времени; значения линий и "
                                  "отметок — в подписи под графиком.")
                       .arg(firstOfLast + countOfLast - 1)));
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
        // The figures' numbers in the heading, which stays on the page of the first chart.
        const auto [first, count] = Figures(i);
        Html(QStringLiteral("<h3>%1 (рисунки %2–%3)</h3>").arg(Esc(RoomCaption(d_, i))).arg(first).arg(first + count - 1));
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

}  // namespace zfpdf
