#include "unit_warnings.h"

#include <unistd.h>

#include "model/input_warnings.h"
#include "output_file.h"
#include "printable_text.h"

namespace zfcli {

bool RefusedForWarnings(const zf::TzoneMath& scenario, const std::string& where, bool strict) {
    const std::vector<zf::InputWarning> warnings = zf::InputWarnings(scenario);
    const std::string place = PrintableText(where) + ": ";
    for (const zf::InputWarning& warning : warnings)
        WriteAll(STDERR_FILENO, place + "предупреждение: " + PrintableText(warning.Message, kPrintedMessageChars, true) + "\n");
    if (warnings.empty() || !strict) return false;
    WriteAll(STDERR_FILENO, place + "с --strict предупреждения считаются ошибками; расчет не выполнялся: исправьте сценарий или запустите без --strict\n");
    return true;
}

}  // namespace zfcli
