#include "report_main.h"

#include <unistd.h>

#include <QGuiApplication>
#include <string>

#include "output_file.h"
#include "printable_text.h"
#include "program_font.h"
#include "report_command.h"
#include "study_report.h"

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

int StudyReportMain(int argc, char** argv) {
    constexpr int kExitBadInput = 2, kExitOutputFailed = 3;
    PrepareReportPlatform();
    if (argc != 3) {
        const std::string usage = "zonefire-cli: после study-report нужны каталог результатов исследования и имя файла отчета\n"
                                  "Использование: zonefire-cli study-report КАТАЛОГ ОТЧЕТ.pdf\n";
        zf::project::WriteAll(STDERR_FILENO, zf::project::PrintableText(usage, zf::project::kPrintedMessageChars, true) + "\n");
        return kExitBadInput;
    }
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    UseProgramFont();
    const StudyReportOutcome outcome = WriteStudyReportPdf(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[1]));
    if (outcome.Failure.isEmpty()) return 0;
    zf::project::WriteAll(STDERR_FILENO, zf::project::PrintableText("zonefire-cli study-report: " + outcome.Failure.toStdString(), zf::project::kPrintedMessageChars, true) + "\n");
    return outcome.BadFolder ? kExitBadInput : kExitOutputFailed;
}

}  // namespace zfcli
