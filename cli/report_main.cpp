#include "report_main.h"

#include <unistd.h>

#include <QGuiApplication>
#include <string>

#include "output_file.h"
#include "printable_text.h"
#include "program_font.h"
#include "report_command.h"

namespace zfcli {

int ReportMain(int argc, char** argv) {
    constexpr int kExitBadInput = 2;
    PrepareReportPlatform();
    if (argc != 3) {
        const std::string usage = "zonefire-cli: после report нужны файл сценария и имя файла отчета\n"
                                  "Использование: zonefire-cli report СЦЕНАРИЙ.json ОТЧЕТ.pdf\n";
        zf::project::WriteAll(STDERR_FILENO, zf::project::PrintableText(usage, zf::project::kPrintedMessageChars, true) + "\n");
        return kExitBadInput;
    }
    // Qt's GUI library lays the report out and draws its charts; the offscreen platform needs
    // no display.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    UseProgramFont();
    return WriteScenarioReport(argv[2], argv[1]);
}

}  // namespace zfcli
