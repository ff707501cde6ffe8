// zonefire-cli: runs a scenario file without windows and prints the rooms' critical times;
// optionally writes every recorded sample as JSON and CSV.

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <variant>

#include "result_writer.h"
#include "project/scenario_file.h"
#include "study_run.h"

#ifndef ZONEFIRE_VERSION
#define ZONEFIRE_VERSION "unknown"
#endif

namespace {

constexpr int kExitCompleted = 0;
constexpr int kExitRunFailed = 1;
constexpr int kExitBadInput = 2;
constexpr int kExitInterrupted = 130;  // 128 + SIGINT, as shells report an interrupted program

constexpr const char* kUsage = "Использование: zonefire-cli СЦЕНАРИЙ.json [--json ФАЙЛ|-] [--csv КАТАЛОГ] [--quiet]\n";

constexpr const char* kHelp =
    "Выполняет расчет сценария из файла JSON без окон и выводит для каждого помещения\n"
    "время наступления критического значения каждого ОФП, с (T, O2, Vis, CO, CO2, HCl, Rad;\n"
    "«*» — наименьшее из времен помещения, «—» — не достигнуто).\n"
    "\n"
    "  СЦЕНАРИЙ.json    файл сценария (- : стандартный ввод); примеры в каталоге examples/\n"
    "  --json ФАЙЛ      записать весь результат в JSON (- : в стандартный вывод, таблица\n"
    "                   тогда выводится в стандартный поток ошибок)\n"
    "  --csv КАТАЛОГ    записать отсчеты каждого помещения в КАТАЛОГ/room_N.csv\n"
    "  --quiet          не показывать ход расчета\n"
    "  --help           эта справка\n"
    "  --version        версия программы\n"
    "\n"
    "Ключи сценария (все необязательны): Qn, Vlin, PsiUd, D, Lo2, Lco, Lco2, Lhcl, Nu, T0, hr,\n"
    "SimTime, dt, SamplesPerSec, plume (\"tanaka\" или \"mccaffrey\"),\n"
    "fire_area_max (наибольшая площадь пожарной нагрузки, м²; 0 — без ограничения),\n"
    "rooms [{length, width, height}], openings [{rooms: [i, j], height, width, open}].\n"
    "\n"
    "Ctrl-C останавливает расчет при ближайшем обновлении хода расчета; результаты на этот\n"
    "момент выводятся и записываются.\n"
    "\n"
    "Коды завершения: 0 — расчет завершен; 1 — ошибка при выполнении расчета;\n"
    "2 — неверные входные данные или параметры; 130 — расчет остановлен (Ctrl-C).\n";

// Set by Ctrl-C; the run reads it at its refreshes, as the windows read the progress window.
volatile std::sig_atomic_t gInterrupted = 0;

void OnInterrupt(int) { gInterrupted = 1; }

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = &OnInterrupt;
    sigemptyset(&action.sa_mask);
    // A second Ctrl-C ends the program at once, should the first not be noticed soon enough.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

struct Options {
    std::string Scenario;
    std::optional<std::string> Json;  // file, or "-" for stdout
    std::optional<std::string> CsvDir;
    bool Quiet = false;
};
struct ShowHelp {};
struct ShowVersion {};
struct UsageError {
    std::string Message;
};
using Command = std::variant<Options, ShowHelp, ShowVersion, UsageError>;

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
        if (!optionsEnded && arg == "--quiet") {
            options.Quiet = true;
        } else if (!optionsEnded && (arg == "--json" || arg == "--csv")) {
            const auto v = value();
            if (!v || v->empty())
                return UsageError{"после " + arg + " нужно " + (arg == "--json" ? "имя файла или -" : "имя каталога")};
            (arg == "--json" ? options.Json : options.CsvDir) = *v;
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

// Reads the whole file (or stdin for "-") into `text`; returns why it cannot be read.
std::optional<std::string> ReadText(const std::string& path, std::string& text) {
    std::ostringstream content;
    if (path == "-") {
        content << std::cin.rdbuf();
        text = content.str();
        return std::nullopt;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return "не удалось прочитать файл сценария: это каталог";
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string("не удалось открыть файл сценария: ") + std::strerror(errno);
    content << in.rdbuf();
    if (in.bad()) return std::string("не удалось прочитать файл сценария: ") + std::strerror(errno);
    text = content.str();
    return std::nullopt;
}

// The progress line on a terminal's stderr and the Ctrl-C stop.
class TerminalRunView final : public zf::RunView {
public:
    explicit TerminalRunView(bool showProgress) : show_(showProgress) {}

    bool ProgressVisible() override { return gInterrupted == 0; }

    void WriteProgress(int iter, std::int64_t seconds, int total) override {
        if (!show_) return;
        std::fprintf(stderr, "\rt = %lld с, шаг %d из %d", static_cast<long long>(seconds), iter, total);
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

int Fail(const std::string& where, const std::string& message) {
    std::cerr << where << ": " << message << '\n';
    return kExitBadInput;
}

int RunCli(const Options& options) {
    std::string text;
    if (const auto unreadable = ReadText(options.Scenario, text)) return Fail(options.Scenario, *unreadable);

    zf::TzoneMath zm;
    if (const auto refused = zf::project::ReadScenario(text, zm)) return Fail(options.Scenario, *refused);

    // Outputs are opened before the run, so a bad path costs no calculation.
    std::ofstream jsonFile;
    if (options.Json && *options.Json != "-") {
        jsonFile.open(*options.Json, std::ios::binary);
        if (!jsonFile) return Fail(*options.Json, std::string("не удалось открыть файл для записи: ") + std::strerror(errno));
    }
    if (options.CsvDir) {
        std::error_code ec;
        std::filesystem::create_directories(*options.CsvDir, ec);
        if (!std::filesystem::is_directory(*options.CsvDir, ec))
            return Fail(*options.CsvDir, "не удалось создать каталог для файлов CSV");
    }

    TerminalRunView view(!options.Quiet && isatty(STDERR_FILENO));
    const bool result = zm.Run(view);
    const zfcli::RunOutcome outcome = zfcli::OutcomeOf(result, zm);

    std::string error;
    if (outcome == zfcli::RunOutcome::Failed) {
        error = zf::DescribeFault(zm.LastFault);
        std::cerr << "Ошибка при выполнении расчета!\n(на итерации №" << zm.Iter << ")\n" << error << '\n';
    }

    // With the JSON on stdout the table moves to stderr, so stdout stays one JSON document.
    const bool jsonToStdout = options.Json && *options.Json == "-";
    std::ostream& report = jsonToStdout ? std::cerr : std::cout;
    report << zfcli::CriticalTimesReport(zm) << zfcli::OutcomeLine(outcome, zm) << '\n';
    report.flush();

    int exitCode = outcome == zfcli::RunOutcome::Completed ? kExitCompleted
                   : outcome == zfcli::RunOutcome::Stopped ? kExitInterrupted
                                                           : kExitRunFailed;
    if (options.Json) {
        std::ostream& out = jsonToStdout ? std::cout : jsonFile;
        zfcli::WriteJson(out, zm, outcome, error);
        out.flush();
        if (!out) {
            std::cerr << *options.Json << ": не удалось записать результат JSON\n";
            exitCode = kExitBadInput;
        }
    }
    if (options.CsvDir) {
        if (const auto failed = zfcli::WriteCsvFiles(*options.CsvDir, zm)) {
            std::cerr << *failed << '\n';
            exitCode = kExitBadInput;
        }
    }
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    InstallInterruptHandler();
    // Parameter studies and their merge have their own arguments.
    if (argc > 1 && std::strcmp(argv[1], "study") == 0) return zfcli::study::StudyMain(argc - 1, argv + 1);
    if (argc > 1 && std::strcmp(argv[1], "merge") == 0) return zfcli::study::MergeMain(argc - 1, argv + 1);
    const Command command = ParseArguments(argc, argv);
    if (std::holds_alternative<ShowHelp>(command)) {
        std::cout << kUsage << '\n' << kHelp;
        return kExitCompleted;
    }
    if (std::holds_alternative<ShowVersion>(command)) {
        std::cout << "zonefire-cli " << ZONEFIRE_VERSION << '\n';
        return kExitCompleted;
    }
    if (const auto* usage = std::get_if<UsageError>(&command)) {
        std::cerr << "zonefire-cli: " << usage->Message << '\n' << kUsage << "Подробнее: zonefire-cli --help\n";
        return kExitBadInput;
    }
    try {
        return RunCli(std::get<Options>(command));
    } catch (const std::exception& e) {
        // Out of memory for the samples, say: report it rather than abort.
        std::cerr << "zonefire-cli: " << e.what() << '\n';
        return kExitRunFailed;
    }
}
