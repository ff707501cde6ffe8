#include "unit_warnings.h"

#include <unistd.h>

#include "model/input_warnings.h"
#include "model/people_flow.h"
#include "output_file.h"
#include "printable_text.h"

namespace zf::project {

bool RefusedForWarnings(const zf::TzoneMath& scenario, const std::string& where, bool strict) {
    const std::vector<zf::InputWarning> warnings = zf::InputWarnings(scenario);
    const std::string place = PrintableText(where) + ": ";
    for (const zf::InputWarning& warning : warnings)
        WriteAll(STDERR_FILENO, place + "предупреждение: " + PrintableText(warning.Message, kPrintedMessageChars, true) + "\n");
    if (warnings.empty() || !strict) return false;
    WriteAll(STDERR_FILENO, place + "с --strict предупреждения считаются ошибками; расчет не выполнялся: исправьте сценарий или запустите без --strict\n");
    return true;
}

bool RefusedForRouteWarnings(const zf::project::Document& document, const std::string& where, bool strict) {
    const std::string place = PrintableText(where) + ": ";
    const std::vector<zf::flow::RouteProblem> warnings =
        zf::flow::CheckRoutes(document.Routes, static_cast<int>(document.Rooms.size())).Warnings;
    for (const zf::flow::RouteProblem& w : warnings)
        WriteAll(STDERR_FILENO, place + "предупреждение: " + zf::flow::ProblemPlace(w) + ": " + w.Text + "\n");
    if (warnings.empty() || !strict) return false;
    WriteAll(STDERR_FILENO, place + "с --strict предупреждения считаются ошибками; расчет не выполнялся: исправьте "
                                    "пути эвакуации или запустите без --strict\n");
    return true;
}

}  // namespace zf::project
