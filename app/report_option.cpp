#include "report_option.h"

#include <unistd.h>

#include <cstring>
#include <string>

#include "output_file.h"
#include "printable_text.h"
#include "report_command.h"

bool IsReportCommand(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "--report") == 0; }

int RunReportCommand(int argc, char** argv) {
    constexpr int kExitBadInput = 2;
    if (argc != 4) {
        const std::string usage = "zonefire: после --report нужны имя файла отчета и файл сценария\n"
                                  "Использование: zonefire --report ОТЧЕТ.pdf СЦЕНАРИЙ.json\n";
        zf::project::WriteAll(STDERR_FILENO, zf::project::PrintableText(usage, zf::project::kPrintedMessageChars, true) + "\n");
        return kExitBadInput;
    }
    return WriteScenarioReport(argv[2], argv[3]);
}
