#include "report_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>

#include "input_text.h"
#include "output_file.h"
#include "printable_text.h"
#include "report_pdf.h"
#include "project/scenario_file.h"
#include "model/scenario.h"

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitRunFailed = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitOutputFailed = 3;  // the report or the run's state could not be written whole
constexpr int kExitInterrupted = 130;  // 128 + SIGINT

volatile std::sig_atomic_t gInterrupted = 0;
void OnInterrupt(int) { gInterrupted = 1; }

// Ctrl-C stops the run at its next refresh, like closing the progress window.
class InterruptibleRun final : public zf::RunView {
public:
    bool ProgressVisible() override { return gInterrupted == 0; }
};

void Say(const std::string& text) { zf::project::WriteAll(STDERR_FILENO, zf::project::PrintableText(text, zf::project::kPrintedMessageChars, true) + "\n"); }

int Refuse(const std::string& where, const std::string& message, int code = kExitBadInput) {
    Say(zf::project::PrintableText(where) + ": " + message);
    return code;
}

bool SameFile(const char* a, const char* b) {
    struct stat sa {}, sb {};
    return ::stat(a, &sa) == 0 && ::stat(b, &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The report's file, checked and its temporary made before anything is computed: a path that
// names the scenario itself (by any name, a link or "..") is refused, a folder that takes no
// file is reported now rather than after the run.
int PrepareOutput(const char* output, const char* scenario, std::unique_ptr<zf::project::AtomicFile>& file) {
    if (SameFile(output, scenario))
        return Refuse(output, std::string("это файл сценария ") + zf::project::PrintableText(scenario) +
                                  "; отчет записался бы на его место — задайте другое имя файла отчета");
    try {
        file = std::make_unique<zf::project::AtomicFile>(output);
    } catch (const zf::project::OutputError& e) {
        Say(e.what());
        return kExitOutputFailed;
    }
    return kExitCompleted;
}

// The report into memory, then into its file whole; the run's state on stdout.
int WriteOutputs(zf::project::AtomicFile& file, zf::TzoneMath& zm, const ScenarioDescription& description) {
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    if (const QString failure = WriteReportPdf(buffer, zm, description); !failure.isEmpty())
        return Refuse(file.Target().string(), failure.toStdString(), kExitOutputFailed);
    try {
        file.Stream().write(pdf.constData(), pdf.size());
        file.Commit();
    } catch (const zf::project::OutputError& e) {
        Say(std::string(e.what()) + "; отчет не записан");
        return kExitOutputFailed;
    }
    if (const int err = zf::project::WriteAll(STDOUT_FILENO, RunStateText(zm).toStdString() + "\n")) {
        Say(zf::project::OutputMessage("стандартный вывод", "не удалось вывести состояние расчета (отчет записан)", err));
        return kExitOutputFailed;
    }
    return kExitCompleted;
}

}  // namespace

void PrepareReportPlatform() {
    // A closed standard descriptor would be the number of the next file opened, and the state
    // line would land in the report: each is opened on /dev/null first, read-only, so writing
    // there still fails as on the closed descriptor (see WriteOutputs).
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF && ::open("/dev/null", O_RDONLY) != fd) _exit(kExitOutputFailed);
    // A full pipe or a file-size limit is an error of that output, not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

int WriteScenarioReport(const char* output, const char* scenarioPath) {
    std::string text;
    try {
        text = zf::project::ReadInputText(scenarioPath);
    } catch (const zf::project::InputError& e) {
        return Refuse(scenarioPath, e.what());
    }
    zf::TzoneMath zm;
    if (const auto refused = zf::project::ReadScenario(text, zm)) return Refuse(scenarioPath, *refused);
    zf::project::Document document;
    zf::project::ReadDocument(text, document);  // read above without a refusal
    std::unique_ptr<zf::project::AtomicFile> file;
    if (const int refused = PrepareOutput(output, scenarioPath, file)) return refused;

    const QByteArray bytes = QByteArray::fromStdString(text);
    const ScenarioDescription description =
        DescribeDocument(document, QFileInfo(QString::fromLocal8Bit(scenarioPath)).fileName(), bytes);
    std::signal(SIGINT, &OnInterrupt);
    InterruptibleRun view;
    const bool ran = zm.Run(view);
    std::signal(SIGINT, SIG_DFL);

    if (const int failed = WriteOutputs(*file, zm, description)) return failed;
    if (!ran) return kExitRunFailed;
    return zm.Stopped ? kExitInterrupted : kExitCompleted;
}
