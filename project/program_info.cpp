#include "project/program_info.h"

#include <algorithm>

#include "model/inputs.h"
#include "project/element_inputs.h"
#include "project/fire_loads.h"
#include "project/scenario_file.h"
#include "zonefire_version.h"

namespace zf::project {

namespace {

// Every model option there may be; those the reader knows are the ones built in.
constexpr ModelOption kAllModelOptions[] = {
    {"plume", "конвективная колонка: \"tanaka\" (зависимость Танака, по умолчанию) или \"mccaffrey\" (МакКефри)"},
    {"fire_area_max", zf::InputOf("fire_area_max").Name},  // its words from the input table
    // The switches' words from their table.
    {SwitchOf("consistent_outflow").Key, SwitchOf("consistent_outflow").Caption},
    {SwitchOf("heat_loss").Key, SwitchOf("heat_loss").Caption},
};

}  // namespace

std::string_view ProgramVersion() { return ZONEFIRE_VERSION; }

std::vector<ModelOption> ModelOptions() {
    const std::vector<std::string_view> known = KnownKeys();
    std::vector<ModelOption> options;
    for (const ModelOption& option : kAllModelOptions)
        if (std::find(known.begin(), known.end(), option.Key) != known.end()) options.push_back(option);
    return options;
}

std::string VersionText(std::string_view program) {
    std::string text = std::string(program) + " " + std::string(ProgramVersion()) + "\n";
    text += "Двухзонная модель развития опасных факторов пожара в здании из помещений-параллелепипедов.\n";
    text += "Варианты модели (ключи файла сценария; без них расчет идет по основной модели):\n";
    for (const ModelOption& option : ModelOptions())
        text += "  " + std::string(option.Key) + " — " + std::string(option.Meaning) + "\n";
    text += "Типовых пожарных нагрузок во встроенной библиотеке: " + std::to_string(BuiltInFireLoads().size()) + ".\n";
    text += "Лицензия GPL-3.0-or-later: свободная программа, ее можно распространять и изменять на условиях\n"
            "GNU General Public License версии 3 или более поздней; гарантий нет.\n";
    return text;
}

std::string WhereToReadText() {
    return "Руководство пользователя: в окне программы «Справка → Руководство пользователя» (F1);\n"
           "после установки пакета — " ZONEFIRE_INSTALLED_DOC_DIR "/guide.html,\n"
           "в исходных текстах — docs/guide.md. Примеры зданий: «Файл → Примеры»,\n"
           "" ZONEFIRE_INSTALLED_DATA_DIR "/examples (examples/ в исходных текстах).\n"
           "Типовые пожарные нагрузки: zonefire-cli --fire-loads; таблица с источниками —\n"
           "" ZONEFIRE_INSTALLED_DATA_DIR "/fire-loads.csv.\n";
}

}  // namespace zf::project
