// The report's calculation sheet of the escape routes (the people-flow computation), before the
// verdict it leads to.
#include "report_builder.h"
#include "route_sheet.h"

namespace zfpdf {

void ReportBuilder::RoutesSheet() {
    const zfreport::RunVerdict& verdict = summary_.Verdict;
    const std::vector<zf::flow::Route>& routes = d_.Evacuation.Routes;
    if (routes.empty()) return;
    Html(QStringLiteral("<h3>Время эвакуации по путям эвакуации</h3>"));
    Html(Paragraph(QStringLiteral(
        "Упрощенная аналитическая модель движения людского потока (ГОСТ 12.1.004-91, приложение 2; приказ МЧС России "
        "№ 1140). На первом участке D = N·f/(l·δ), V и q = D·V — по таблице линейной интерполяцией; на следующих "
        "q = Σq·δ/δ; при q ≤ q_max скорость — по q на ветви малых плотностей (так таблицу обычно читают; в нормативном "
        "тексте это прямо не сказано); при q > q_max — скопление: строка D ≥ 0,9 и задержка Δt. Проем своего времени "
        "не занимает. tр = Σ(l/V + Δt). Время — в минутах.")));
    if (!verdict.RoutesRefused.empty())
        Html(QStringLiteral("<p><b>Пути не рассчитаны:</b> %1</p>").arg(Esc(verdict.RoutesRefused)));
    for (const zfreport::RouteSheet& sheet : zfreport::RouteSheets(verdict, routes, num_.Separator())) {
        Html(QStringLiteral("<p><b>%1</b></p>").arg(Esc(sheet.Title)));
        Html(HtmlTable(sheet.Cells, {}, {5, 9, 5, 5, 7, 17, 24, 6, 6, 6, 5, 5}));
        QStringList totals;
        for (const std::string& line : sheet.Totals) totals << Esc(line);
        Html(QStringLiteral("<p>%1</p>").arg(totals.join(QStringLiteral("<br>"))));
    }
}

}  // namespace zfpdf
