// The command lines of study and merge, and their help.

#include "study_options.h"

#include <unistd.h>

#include <iostream>

#include "output_file.h"
#include "printable_text.h"
#include "project/element_inputs.h"
#include "study_run.h"

namespace zfcli::study {

const char* const kStudyUsage =
    "Использование: zonefire-cli study ИССЛЕДОВАНИЕ.json --out КАТАЛОГ [--jobs N] [--shard I/N\n"
    "                   [--shard-index-base 0|1]] [--resume] [--quiet] [--strict]\n"
    "               zonefire-cli study ИССЛЕДОВАНИЕ.json --check\n"
    "               zonefire-cli study ИССЛЕДОВАНИЕ.json --emit-scenario НОМЕР\n"
    "               zonefire-cli merge [--force] [--partial] КАТАЛОГ КАТАЛОГ_ДОЛИ...\n"
    "               zonefire-cli study-report КАТАЛОГ ОТЧЕТ.pdf\n";

static const char* const kStudyHelpText =
    "study выполняет серию расчетов со случайно выбранными входными данными и оценивает\n"
    "разброс времени блокирования путей эвакуации в каждом помещении, времени эвакуации t_р и\n"
    "вероятности эвакуации P_э по каждому пути эвакуации, доли расчетов с выводом\n"
    "«безопасно» и «опасно» (среди расчетов с выводом), число расчетов «не определено» и\n"
    "влияние каждого входного параметра. Расчеты с ошибкой учитываются и перечисляются в сводке\n"
    "с входными данными и шагом; их вывод — «не определено».\n"
    "\n"
    "  --out КАТАЛОГ        записать study.json, runs.csv, summary.json и summary.txt в КАТАЛОГ\n"
    "  --jobs N             число одновременных расчетов (по умолчанию — число ядер, на которых\n"
    "                       процессу разрешено работать, но не больше SLURM_CPUS_PER_TASK)\n"
    "  --shard I/N          выполнить только долю I из N: расчеты с ⌊(I−1)·R/N⌋+1 по ⌊I·R/N⌋,\n"
    "                       где R — число расчетов исследования; доли объединяет merge\n"
    "  --shard-index-base 0 считать I в --shard от 0 (0 ≤ I < N), как номер задачи массива\n"
    "                       заданий Slurm с --array=0-… или номер из seq 0 …; по умолчанию от 1\n"
    "  --resume             продолжить прерванное исследование: выполнить только недостающие расчеты\n"
    "  --check              только прочитать и проверить файл исследования, ничего не рассчитывая\n"
    "  --emit-scenario НОМЕР  вывести сценарий расчета с этим номером (от 1) и выйти\n"
    "  --quiet              не показывать ход исследования\n"
    "  --strict             не выполнять исследование (код 2), если в базовом сценарии есть\n"
    "                       предупреждения о значениях, похожих на ошибку единиц или ввода\n"
    "\n"
    "Каталог результатов занят одним исследованием, продолжением или объединением: пока оно\n"
    "идет (файл занятости study.lock), другое в тот же каталог не запускается. Исследование\n"
    "не заменяет файлов, которых не записывало: study.json, runs.csv, summary.json или\n"
    "summary.txt другого исследования или другой версии программы — отказ с именем файла.\n"
    "При продолжении прежняя сводка сразу удаляется и пишется заново в конце; сводка всегда\n"
    "говорит, по скольким расчетам она составлена.\n"
    "\n"
    "merge КАТАЛОГ КАТАЛОГ_ДОЛИ... объединяет каталоги долей в результаты всего исследования;\n"
    "они совпадают байт в байт с результатами исследования, выполненного целиком. Отказ (ничего\n"
    "не записывается): один каталог задан дважды, доли разных исследований или версий, не\n"
    "хватает расчетов (код 1, номера недостающих расчетов перечисляются; с --partial\n"
    "записываются имеющиеся, код тоже 1). Каталог, в котором уже больше расчетов этого\n"
    "исследования, заменяется только с --force.\n"
    "\n"
    "Файл исследования (JSON, не более 16 МБ, вложенность не более 64 уровней, без повторных\n"
    "ключей): \"base\" (сценарий) или \"base_file\" (путь к файлу сценария относительно файла\n"
    "исследования), \"runs\" (число расчетов), \"seed\", \"sampling\" (\"monte-carlo\" или\n"
    "\"latin-hypercube\") и \"vary\": [{\"input\": ..., \"distribution\": ..., параметры}, ...].\n"
    "Изменяемые параметры: числа сценария верхнего уровня (Vlin, PsiUd, D, T0, fire_area_max,\n"
    "safety_factor и др.; SamplesPerSec — только choice), plume, rooms[i].{room},\n"
    "rooms[i].evacuation.{evacuation}, openings[k].{opening}|open (номера с 1); при\n"
    "теплопотерях в базовом сценарии — heat_loss.walls|ceiling.material|thickness и\n"
    "rooms[i].walls|ceiling.material|thickness однослойной поверхности (material — только choice\n"
    "из таблицы материалов, thickness — в пределах 0 < L ≤ 1 м); при путях эвакуации в базовом\n"
    "сценарии — evacuation_routes[i].people (число людей N ≥ 0), evacuation_routes[i].projection\n"
    "(площадь проекции человека f, 0 < f ≤ 1 м²) и evacuation_routes[i].start_delay (время\n"
    "начала эвакуации t_нэ ≥ 0, с). Для каждого пути runs.csv дает t_р, P_э и вывод, а сводка —\n"
    "распределение t_р и P_э (число, среднее, стандартное отклонение, процентили) и число\n"
    "расчетов без вывода.\n"
    "Распределения: uniform (min, max), normal (mean, sd, необязательные min, max), lognormal\n"
    "(mu, sigma или median, factor), triangular (min, mode, max), bernoulli (p; только open),\n"
    "choice (values, необязательные weights). Примеры: examples/study/two_rooms_study.json,\n"
    "examples/study/hall_route_study.json (путь эвакуации).\n"
    "\n"
    "Ctrl-C (или SIGTERM) останавливает исследование; выполненные расчеты записываются.\n"
    "Коды завершения: 0 — все расчеты выполнены (в том числе с ошибками расчета);\n"
    "1 — merge: не хватает расчетов; 2 — неверные входные данные или параметры, каталог занят\n"
    "или чужой; 3 — не удалось записать результаты; 130 — исследование остановлено.\n";

namespace {

// "length|width|height": the keys of an element's numbers a study may vary.
template <class Owner, std::size_t N>
std::string Keys(const zf::project::ElementInput<Owner> (&table)[N]) {
    std::string keys;
    for (const auto& row : table) keys += (keys.empty() ? "" : "|") + std::string(row.Key);
    return keys;
}

void Put(std::string& text, std::string_view mark, const std::string& keys) { text.replace(text.find(mark), mark.size(), keys); }

}  // namespace

std::string StudyHelp() {
    std::string text = kStudyHelpText;
    Put(text, "{room}", Keys(zf::project::kRoomInputs));
    Put(text, "{evacuation}", Keys(zf::project::kEvacuationInputs));
    Put(text, "{opening}", Keys(zf::project::kOpeningInputs));
    return text;
}

namespace {

std::optional<std::uint64_t> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return std::stoull(text);
}

// "I/N" as given; the base is applied once every option is read.
std::optional<std::string> ReadShard(const std::string& v, Share& share) {
    const auto slash = v.find('/');
    const auto index = WholeNumber(v.substr(0, slash));
    const auto count = slash == std::string::npos ? std::nullopt : WholeNumber(v.substr(slash + 1));
    if (!index || !count || *count < 1) return "после --shard нужна доля I/N (например 2/8)";
    share = Share{*index, *count};
    return std::nullopt;
}

// The switch an argument turns on: --resume, --quiet, --strict or --check; null for none.
bool* Switch(const std::string& arg, StudyOptions& o) {
    if (arg == "--resume") return &o.Resume;
    if (arg == "--quiet") return &o.Quiet;
    if (arg == "--strict") return &o.Strict;
    if (arg == "--check") return &o.Check;
    return nullptr;
}

}  // namespace

std::optional<std::string> ParseStudyArguments(int argc, char** argv, StudyOptions& o) {
    bool haveStudy = false, haveShard = false;
    std::optional<std::uint64_t> base;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (arg == "--help") return std::string();
        if (bool* flag = Switch(arg, o)) {
            *flag = true;
        } else if (arg == "--out") {
            o.OutDir = value();
            if (o.OutDir.empty()) return "после --out нужно имя каталога";
        } else if (arg == "--jobs") {
            const auto n = WholeNumber(value());
            if (!n || *n < 1 || *n > 1024) return "после --jobs нужно число расчетов от 1 до 1024";
            o.Jobs = static_cast<unsigned>(*n);
        } else if (arg == "--shard") {
            if (auto bad = ReadShard(value(), o.Part)) return bad;
            haveShard = true;
        } else if (arg == "--shard-index-base") {
            base = WholeNumber(value());
            if (!base || *base > 1) return "после --shard-index-base нужно 0 или 1";
        } else if (arg == "--emit-scenario") {
            const auto n = WholeNumber(value());
            if (!n || *n < 1) return "после --emit-scenario нужен номер расчета (от 1)";
            o.EmitRun = *n;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "неизвестный параметр " + arg;
        } else if (haveStudy) {
            return "задан лишний аргумент " + arg;
        } else {
            o.StudyFile = arg;
            haveStudy = true;
        }
    }
    if (!haveStudy) return "не задан файл исследования";
    if (base && !haveShard) return "--shard-index-base имеет смысл только вместе с --shard";
    if (base.value_or(1) == 0) ++o.Part.Index;  // 0-based in, 1-based inside
    if (o.Part.Index < 1 || o.Part.Index > o.Part.Count)
        return base.value_or(1) == 0 ? "после --shard с --shard-index-base 0 нужна доля I/N, где 0 ≤ I < N"
                                     : "после --shard нужна доля I/N, где 1 ≤ I ≤ N (например 2/8; номера от 0: "
                                       "--shard-index-base 0)";
    const int modes = (o.EmitRun ? 1 : 0) + (o.Check ? 1 : 0);
    if (modes > 1) return "--emit-scenario и --check не сочетаются";
    if (modes && (!o.OutDir.empty() || haveShard || o.Resume))
        return std::string(o.Check ? "--check" : "--emit-scenario") + " не сочетается с --out, --shard и --resume";
    if (!modes && o.OutDir.empty()) return "не задан каталог результатов (--out КАТАЛОГ)";
    return std::nullopt;
}

std::optional<std::string> ParseMergeArguments(int argc, char** argv, MergeOptions& o) {
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help") return std::string();
        if (arg == "--force") o.Force = true;
        else if (arg == "--partial") o.Partial = true;
        else if (arg.size() > 1 && arg[0] == '-') return "неизвестный параметр " + arg;
        else folders.push_back(arg);
    }
    if (folders.size() < 2) return "merge: нужны каталог результатов и хотя бы один каталог доли";
    o.OutDir = folders[0];
    o.Shards.assign(folders.begin() + 1, folders.end());
    return std::nullopt;
}

int WriteStdout(const std::string& text, const std::string& what) {
    const int err = zf::project::WriteAll(STDOUT_FILENO, text);
    if (err == 0) return kExitDone;
    zf::project::WriteAll(STDERR_FILENO, zf::project::OutputMessage("стандартный вывод", what, err) + "\n");
    return kExitOutputFailed;
}

int Refuse(const std::string& where, const std::string& message) {
    std::cerr << zf::project::PrintableText(where.empty() ? std::string("zonefire-cli") : where) << ": "
              << zf::project::PrintableText(message, zf::project::kPrintedMessageChars, true) << '\n';
    return kExitBadInput;
}

int UsageError(const std::string& message) {
    std::cerr << "zonefire-cli: " << zf::project::PrintableText(message) << '\n' << kStudyUsage << "Подробнее: zonefire-cli study --help\n";
    return kExitBadInput;
}

}  // namespace zfcli::study
