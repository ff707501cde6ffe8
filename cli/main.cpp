// zonefire-cli: runs a scenario file without windows and prints the rooms' critical times;
// optionally writes every recorded sample as JSON and CSV. Every output is checked before the
// run and replaced whole after it (see output_file.h), so an interrupted, failed or killed
// run never leaves a result cut short or mixed with an older one.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <climits>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "help_text.h"
#include "input_table.h"
#include "input_text.h"
#include "output_file.h"
#include "printable_text.h"
#include "result_writer.h"
#include "run_outputs.h"
#include "check_step.h"
#include "unit_warnings.h"
#include "project/scenario_file.h"
#include "project/program_info.h"
#include "study_run.h"
#ifdef ZONEFIRE_CLI_REPORT
#include "report_main.h"
#endif


namespace {

namespace fs = std::filesystem;

constexpr int kExitCompleted = 0;
constexpr int kExitRunFailed = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitOutputFailed = 3;
constexpr int kExitSignalBase = 128;  // stopped by signal s: 128 + s, as shells report it

// Which standard descriptors were closed when the program started (now open on /dev/null).
struct ClosedAtStart {
    bool In = false, Out = false, Err = false;
};

// Opens each closed descriptor 0..2 on /dev/null. Otherwise the next file opened would get
// that number, and the table (or an error message) would be written into the JSON file.
ClosedAtStart OpenClosedStandardDescriptors() {
    bool closed[3] = {false, false, false};
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        closed[fd] = true;
        // The lowest free number is `fd`, the ones below being open by now.
        const int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened != fd) _exit(kExitOutputFailed);  // no /dev/null: nothing can be made safe
    }
    return {closed[0], closed[1], closed[2]};
}

// The signal that asked the run to stop (SIGINT from Ctrl-C, SIGTERM, SIGHUP), 0 while none
// did; the run reads it at its refreshes, as the windows read the progress window.
volatile std::sig_atomic_t gStopSignal = 0;

// The outputs' temporary file and folder, which a second signal removes ("" for none). Set
// while the signals are blocked, read only by the handler.
char gTemporaryFile[PATH_MAX] = "";
char gTemporaryFolder[PATH_MAX] = "";

void OnStopSignal(int signal) {
    if (gStopSignal == 0) {
        gStopSignal = signal;
        return;
    }
    // A second signal: the first was not noticed soon enough, or the user wants out now. The
    // outputs keep their previous contents; the temporaries go (the folder only while still
    // empty, that is, during the run). unlink, rmdir, signal and raise are safe in a handler.
    if (gTemporaryFile[0] != '\0') ::unlink(gTemporaryFile);
    if (gTemporaryFolder[0] != '\0') ::rmdir(gTemporaryFolder);
    ::signal(signal, SIG_DFL);
    ::raise(signal);  // delivered as the handler returns: the program ends by that signal
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Installed once the input is read: until then a signal ends the program at once, as there is
// nothing to save.
void InstallStopHandlers() {
    struct sigaction action {};
    action.sa_handler = &OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : kStopSignals) sigaddset(&action.sa_mask, signal);  // one handler at a time
    for (const int signal : kStopSignals) sigaction(signal, &action, nullptr);
}

// Tells the handler which temporaries a second signal removes.
void SetTemporariesForSignals(const fs::path& file, const fs::path& folder) {
    sigset_t stops, previous;
    sigemptyset(&stops);
    for (const int signal : kStopSignals) sigaddset(&stops, signal);
    sigprocmask(SIG_BLOCK, &stops, &previous);
    auto copy = [](char* to, const fs::path& from) {
        const std::string text = from.string();
        if (text.size() < PATH_MAX) std::memcpy(to, text.c_str(), text.size() + 1);
        else to[0] = '\0';
    };
    copy(gTemporaryFile, file);
    copy(gTemporaryFolder, folder);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
}

struct Options : zfcli::RunPaths {
    bool Quiet = false;
    bool Strict = false;  // warnings of values that look like a slip refuse the input
};
struct ShowHelp {};
struct ShowVersion {};
struct ShowFireLoads {};
struct ShowInputs {};
struct UsageError {
    std::string Message;
};
using Command = std::variant<Options, ShowHelp, ShowVersion, ShowFireLoads, ShowInputs, UsageError>;

Command ParseArguments(int argc, char** argv) {
    Options options;
    bool haveScenario = false, optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) return std::nullopt;
            return std::string(argv[++i]);
        };
        if (!optionsEnded && arg == "--help") return ShowHelp{};
        if (!optionsEnded && arg == "--version") return ShowVersion{};
        if (!optionsEnded && arg == "--fire-loads") return ShowFireLoads{};
        if (!optionsEnded && arg == "--inputs") return ShowInputs{};
        if (!optionsEnded && arg == "--quiet") {
            options.Quiet = true;
        } else if (!optionsEnded && arg == "--strict") {
            options.Strict = true;
        } else if (!optionsEnded && (arg == "--json" || arg == "--csv")) {
            const auto v = value();
            if (!v || v->empty())
                return UsageError{"после " + arg + " нужно " + (arg == "--json" ? "имя файла или -" : "имя каталога")};
            auto& option = arg == "--json" ? options.Json : options.CsvDir;
            if (option) return UsageError{arg + " задан дважды: " + *option + " и " + *v};
            option = *v;
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return UsageError{"неизвестный параметр " + arg};
        } else if (haveScenario) {
            return UsageError{"задан лишний аргумент " + arg + " (файл сценария уже задан: " + options.Scenario + ")"};
        } else {
            options.Scenario = arg;
            haveScenario = true;
        }
    }
    if (!haveScenario) return UsageError{"не задан файл сценария"};
    return options;
}

// The progress line on a terminal's stderr and the stop by a signal.
class TerminalRunView final : public zf::RunView {
public:
    explicit TerminalRunView(bool showProgress) : show_(showProgress) {}

    bool ProgressVisible() override { return gStopSignal == 0; }

    void WriteProgress(int iter, std::int64_t seconds, int total) override {
        if (!show_) return;
        std::fprintf(stderr, "\rt = %lld с, шаг %d из %d", static_cast<long long>(seconds), iter,
                     zf::project::LastStepOf(total));
        std::fflush(stderr);
        wrote_ = true;
    }

    void CloseProgress() override {
        if (wrote_) std::fputs("\r\x1b[K", stderr);  // erase the progress line
        wrote_ = false;
    }

private:
    bool show_;
    bool wrote_ = false;
};

// A message on stderr: "<where>: <message>", both made safe to print.
void Complain(const std::string& where, const std::string& message) {
    const std::string line = zf::project::PrintableText(where) + ": " +
                             zf::project::PrintableText(message, zf::project::kPrintedMessageChars, true) + "\n";
    zf::project::WriteAll(STDERR_FILENO, line);
}

void Complain(const std::string& message) {
    zf::project::WriteAll(STDERR_FILENO, zf::project::PrintableText(message, zf::project::kPrintedMessageChars, true) + "\n");
}

int Fail(const std::string& where, const std::string& message) {
    Complain(where, message);
    return kExitBadInput;
}

// The scenario and the evacuation inputs the verdict judges the rooms with, read whole, or
// the refusal said on stderr.
struct ReadScenario {
    zf::TzoneMath Zm;
    zfreport::EvacuationInputs Evacuation;
    std::vector<std::string> RoomNames;
};

std::optional<int> Read(const Options& options, const ClosedAtStart& closed, ReadScenario& read) {
    if (options.Scenario == "-" && closed.In) return Fail("-", "стандартный ввод закрыт, сценарий читать неоткуда");
    std::string text;
    try {
        text = zf::project::ReadInputText(options.Scenario);
    } catch (const zf::project::InputError& e) {
        return Fail(options.Scenario, e.what());
    }
    if (const auto refused = zf::project::ReadScenario(text, read.Zm)) return Fail(options.Scenario, *refused);
    if (zf::project::RefusedForWarnings(read.Zm, options.Scenario, options.Strict)) return kExitBadInput;
    // Read above without a refusal.
    zf::project::Document document;
    zf::project::ReadDocument(text, document);
    if (zf::project::RefusedForRouteWarnings(document, options.Scenario, options.Strict)) return kExitBadInput;
    read.Evacuation = document.Evacuation();
    for (const zf::project::Room& room : document.Rooms) read.RoomNames.push_back(room.Name);
    return std::nullopt;
}

int RunCli(const Options& options, const ClosedAtStart& closed) {
    ReadScenario read;
    if (const auto refused = Read(options, closed, read)) return *refused;
    zf::TzoneMath& zm = read.Zm;
    // With the JSON on stdout the table moves to stderr, so stdout stays one JSON document.
    // A path that is stdout itself (/dev/stdout, or the file stdout is redirected to) means the same.
    const bool jsonToStdout = options.Json && (*options.Json == "-" || zfcli::IsStdout(*options.Json));
    if (closed.Out) {
        Complain(std::string("стандартный вывод закрыт: ") + (jsonToStdout ? "JSON" : "таблицу критических времен") +
                 " выводить некуда; расчет не выполнялся");
        return kExitOutputFailed;
    }
    InstallStopHandlers();
    zfcli::RunOutputs outputs;
    try {
        outputs = zfcli::PrepareOutputs(options, jsonToStdout);
    } catch (const zf::project::OutputError& e) {
        Complain(e.what());
        return kExitBadInput;
    }
    SetTemporariesForSignals(outputs.Json ? outputs.Json->TemporaryPath() : fs::path(),
                             outputs.Csv ? outputs.Csv->TemporaryPath() : fs::path());

    TerminalRunView view(!options.Quiet && isatty(STDERR_FILENO));
    const zf::project::RunOutcome outcome = zf::project::OutcomeOf(zm.Run(view), zm);
    std::string error;
    if (outcome == zf::project::RunOutcome::Failed) {
        error = zf::DescribeFault(zm.LastFault);
        Complain(zf::project::FailureMessage(zm, error));
    }
    const int exitCode = outcome == zf::project::RunOutcome::Completed ? kExitCompleted
                         : outcome == zf::project::RunOutcome::Stopped ? kExitSignalBase + static_cast<int>(gStopSignal)
                                                                 : kExitRunFailed;
    const std::vector<std::string> failures = zfcli::WriteOutputs(
        outputs, {zm, outcome, error, std::move(read.Evacuation), std::move(read.RoomNames)}, jsonToStdout);
    for (const std::string& failure : failures) Complain(failure);
    return failures.empty() ? exitCode : kExitOutputFailed;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef ZONEFIRE_CLI_REPORT
    // The report prepares its own standard descriptors and signals, as zonefire --report does.
    if (argc > 1 && std::strcmp(argv[1], "report") == 0) return zfcli::ReportMain(argc - 1, argv + 1);
    if (argc > 1 && std::strcmp(argv[1], "study-report") == 0) return zfcli::StudyReportMain(argc - 1, argv + 1);
#endif
    const ClosedAtStart closed = OpenClosedStandardDescriptors();
    // A closed pipe is an error of the one output written to it (EPIPE), not the end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);  // likewise a file-size limit: EFBIG, "File too large"
    std::setlocale(LC_MESSAGES, "");  // the system's reasons (strerror) in the user's language
    // Parameter studies and their merge have their own arguments and their own stop handling.
    if (argc > 1 && std::strcmp(argv[1], "study") == 0) {
        // Its summary goes to stdout: with nowhere to put it, nothing is computed.
        if (closed.Out) {
            Complain("zonefire-cli study: стандартный вывод закрыт: сводку выводить некуда; исследование не выполнялось");
            return kExitOutputFailed;
        }
        return zfcli::study::StudyMain(argc - 1, argv + 1);
    }
    if (argc > 1 && std::strcmp(argv[1], "merge") == 0) return zfcli::study::MergeMain(argc - 1, argv + 1);
    if (argc > 1 && std::strcmp(argv[1], "--check-step") == 0) return zfcli::CheckStepMain(argc - 1, argv + 1);
    const Command command = ParseArguments(argc, argv);
    if (!std::holds_alternative<Options>(command) && !std::holds_alternative<UsageError>(command)) {
        const std::string text = std::holds_alternative<ShowHelp>(command)      ? zfcli::HelpText()
                                 : std::holds_alternative<ShowVersion>(command) ? zf::project::VersionText("zonefire-cli")
                                 : std::holds_alternative<ShowInputs>(command)  ? zfcli::InputTableJson()
                                                                                : zfcli::FireLoadListText();
        if (const int err = closed.Out ? EBADF : zf::project::WriteAll(STDOUT_FILENO, text)) {
            Complain(zf::project::OutputMessage("стандартный вывод", "не удалось вывести справку", err));
            return kExitOutputFailed;
        }
        return kExitCompleted;
    }
    if (const auto* usage = std::get_if<UsageError>(&command)) {
        Complain("zonefire-cli: " + usage->Message + '\n' + zfcli::kUsage + "Подробнее: zonefire-cli --help");
        return kExitBadInput;
    }
    try {
        return RunCli(std::get<Options>(command), closed);
    } catch (const std::exception& e) {
        // Out of memory for the samples, say: report it rather than abort.
        Complain("zonefire-cli", e.what());
        return kExitRunFailed;
    }
}
