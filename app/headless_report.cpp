#include "headless_report.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <csignal>
#include <cstring>
#include <iostream>

#include "report_pdf.h"
#include "project/scenario_file.h"
#include "u_ShowResult.h"
#include "model/scenario.h"

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitRunFailed = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitInterrupted = 130;  // 128 + SIGINT

constexpr const char* kUsage = "Использование: zonefire --report ОТЧЕТ.pdf СЦЕНАРИЙ.json\n";

volatile std::sig_atomic_t gInterrupted = 0;
void OnInterrupt(int) { gInterrupted = 1; }

// Ctrl-C stops the run at its next refresh, like closing the progress window.
class InterruptibleRun final : public zf::RunView {
public:
    bool ProgressVisible() override { return gInterrupted == 0; }
};

int Refuse(const QString& where, const QString& message) {
    std::cerr << where.toStdString() << ": " << message.toStdString() << '\n';
    return kExitBadInput;
}

}  // namespace

bool IsReportCommand(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "--report") == 0; }

void PrepareReportPlatform() { qputenv("QT_QPA_PLATFORM", "offscreen"); }

int RunReportCommand(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "zonefire: после --report нужны имя файла отчета и файл сценария\n" << kUsage;
        return kExitBadInput;
    }
    const QString output = QString::fromLocal8Bit(argv[2]);
    const QString scenarioPath = QString::fromLocal8Bit(argv[3]);
    QFile scenarioFile(scenarioPath);
    if (QFileInfo(scenarioPath).isDir()) return Refuse(scenarioPath, QStringLiteral("это каталог, а не файл сценария"));
    if (!scenarioFile.open(QIODevice::ReadOnly))
        return Refuse(scenarioPath, QStringLiteral("не удалось открыть файл сценария: ") + scenarioFile.errorString());
    const QByteArray bytes = scenarioFile.readAll();

    const std::string_view text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    zf::TzoneMath zm;
    if (const auto refused = zf::project::ReadScenario(text, zm)) return Refuse(scenarioPath, QString::fromStdString(*refused));
    zf::project::Document document;
    zf::project::ReadDocument(text, document);  // read above without a refusal

    const ScenarioDescription description = DescribeDocument(document, QFileInfo(scenarioPath).fileName(), bytes);

    std::signal(SIGINT, &OnInterrupt);
    InterruptibleRun view;
    const bool ran = zm.Run(view);
    std::signal(SIGINT, SIG_DFL);

    TF_ShowResult charts;  // never shown: it draws the report's charts
    charts.SetEvacuationInputs(description.Evacuation);
    const QString failure = WriteReportPdf(output, zm, description, charts);
    if (!failure.isEmpty()) return Refuse(output, failure);
    std::cout << RunStateText(zm).toStdString() << '\n';
    if (!ran) return kExitRunFailed;
    return zm.Stopped ? kExitInterrupted : kExitCompleted;
}
