#include "program_help.h"

#include <cstdio>
#include <cstring>

#include "project/program_info.h"

std::string ProgramHelpText() {
    return "Использование: zonefire [ФАЙЛ.json]\n"
           "       zonefire --report ОТЧЕТ.pdf СЦЕНАРИЙ.json\n"
           "       zonefire --help | --version\n"
           "\n"
           "Окно для расчета развития опасных факторов пожара (ОФП) в здании из помещений,\n"
           "соединенных проемами, по двухзонной модели: высота слоя дыма, температура,\n"
           "концентрации газов, видимость и тепловое излучение по времени в каждом помещении,\n"
           "время блокирования путей эвакуации и вывод по эвакуации с отчетом в PDF.\n"
           "\n"
           "  ФАЙЛ.json        открыть здание (файл сценария) при запуске\n"
           "  --report ОТЧЕТ.pdf СЦЕНАРИЙ.json\n"
           "                   без окон рассчитать сценарий и записать отчет в PDF (дисплей не нужен;\n"
           "                   коды завершения как у zonefire-cli: 0 — расчет завершен, 1 — ошибка\n"
           "                   при расчете, 2 — неверные данные, 130 — остановлен Ctrl-C)\n"
           "  --help           эта справка\n"
           "  --version        версия программы и варианты модели\n"
           "\n"
           "Все величины в единицах СИ: Дж/кг, м, с, К (не МДж/кг и не °C). Помещение 1 — помещение\n"
           "очага пожара. Расчет без окон и серии расчетов: zonefire-cli --help.\n"
           "\n" +
           zf::project::WhereToReadText();
}

int PrintHelpOrVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        const bool help = std::strcmp(argv[i], "--help") == 0, version = std::strcmp(argv[i], "--version") == 0;
        if (!help && !version) continue;
        const std::string text = help ? ProgramHelpText() : zf::project::VersionText("zonefire");
        const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
        if (!written) std::fputs("zonefire: не удалось вывести справку в стандартный вывод\n", stderr);
        return written ? 0 : 3;
    }
    return -1;
}
