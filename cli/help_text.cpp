// The runner's help texts.

#include "help_text.h"

#include "project/fire_loads.h"
#include "project/input_help.h"
#include "project/program_info.h"
#include "model/number_text.h"
#include "result_writer.h"
#include "study_run.h"

namespace zfcli {

const char* const kUsage =
    "Использование: zonefire-cli СЦЕНАРИЙ.json [--json ФАЙЛ|-] [--csv КАТАЛОГ] [--quiet] [--strict]\n"
    "       zonefire-cli study ИССЛЕДОВАНИЕ.json --out КАТАЛОГ | merge КАТАЛОГ КАТАЛОГ_ЧАСТИ...\n"
    "       zonefire-cli --check-step СЦЕНАРИЙ.json [--csv ФАЙЛ]\n"
    "       zonefire-cli report СЦЕНАРИЙ.json ОТЧЕТ.pdf\n"
    "       zonefire-cli study-report КАТАЛОГ ОТЧЕТ.pdf\n"
    "       zonefire-cli --fire-loads | --inputs | --help | --version\n";

namespace {

const char* const kHelpBeforeNumbers =
    "Выполняет расчет сценария из файла JSON без окон и выводит для каждого помещения\n"
    "время наступления критического значения каждого ОФП, с (T, O2, Vis, CO, CO2, HCl, Rad;\n"
    "«*» — наименьшее из времен помещения, «—» — не достигнуто).\n"
    "\n"
    "  СЦЕНАРИЙ.json    файл сценария (- : стандартный ввод, не более 16 МБ); примеры в\n"
    "                   каталоге examples/\n"
    "  --json ФАЙЛ      записать весь результат в JSON (- : в стандартный вывод, таблица\n"
    "                   тогда выводится в стандартный поток ошибок)\n"
    "  --csv КАТАЛОГ    записать отсчеты каждого помещения в КАТАЛОГ/room_N.csv и исход\n"
    "                   расчета в КАТАЛОГ/status (первая строка: completed — расчет завершен,\n"
    "                   stopped — остановлен, failed — прерван ошибкой; отсчеты тогда только\n"
    "                   до остановки или ошибки)\n"
    "  --quiet          не показывать ход расчета\n"
    "  --strict         считать предупреждения ошибками: не рассчитывать (код 2), если\n"
    "                   значения похожи на ошибку единиц или ввода (см. ниже)\n"
    "  --fire-loads     вывести библиотеку типовых пожарных нагрузок (названия для ключа\n"
    "                   fire_load и их значения)\n"
    "  --inputs         вывести в JSON таблицу исходных данных (ключ, обозначение,\n"
    "                   единица, значение по умолчанию, диапазон) и постоянные модели\n"
    "  --check-step     проверить шаг расчета: расчет с шагом dt и с шагом dt/2, сдвиг\n"
    "                   критических времен и времени блокирования; больше 5 % — шаг слишком\n"
    "                   велик (код завершения 5); --csv ФАЙЛ — сравнение в CSV\n"
    "  --help           эта справка\n"
    "  --version        версия программы и варианты модели\n"
    "  report СЦЕНАРИЙ.json ОТЧЕТ.pdf\n"
    "                   рассчитать сценарий и записать отчет в PDF, как zonefire --report (окна и\n"
    "                   дисплей не нужны; коды завершения те же: 0, 1, 2, 3, 130)\n"
    "  study-report КАТАЛОГ ОТЧЕТ.pdf\n"
    "                   записать в PDF отчет об исследовании из каталога его результатов:\n"
    "                   распределения времени блокирования, t_р, P_э и выводов (гистограммы и\n"
    "                   кумулятивные кривые), входных данных, число расчетов и расчетов без\n"
    "                   вывода (коды: 0 — записан, 2 — каталог не исследования, 3 — не записан)\n"
    "\n"
    "Ключи сценария (все необязательны): format (\"zonefire-scenario\"), version (1; 2 с моделями\n"
    "consistent_outflow и heat_loss; 3 с критическими значениями, отличными от принятых по\n"
    "умолчанию; 4 с путями эвакуации; 5 с адресом, организацией или исполнителем), title, address,\n"
    "organisation, author, notes (объект, его адрес, организация, исполнитель для титульного листа\n"
    "отчета и заметки), fire_load (типовая пожарная нагрузка по\n"
    "названию; ее значения Qn … Lhcl, ключи рядом с ней заменяют их), числа (ниже),\n"
    "SamplesPerSec, plume (\"tanaka\" или \"mccaffrey\"),\n"
    "safety_factor (коэффициент безопасности, 0 < f ≤ 1, по умолчанию 0,8),\n"
    "rooms [{length, width, height, name, evacuation: {start_delay, duration}}] (размеры; время начала\n"
    "эвакуации и время эвакуации, введенные вручную), openings [{rooms: [i, j], height, width, open}].\n"
    "evacuation_routes [{name, people, projection, start_delay (tнэ: например 360 с для Ф1.1, Ф1.3, Ф1.4),\n"
    "segments [{kind (\"horizontal\", \"doorway\", \"stairs_down\", \"stairs_up\"),\n"
    "length, width, room}], joins {route, segment}}] — пути эвакуации (версия 4): tр по упрощенной\n"
    "аналитической модели движения людского потока, вывод по каждому помещению пути и Pэ. Помещение 1 — помещение\n"
    "очага пожара; rooms [i, i] — проем помещения i наружу, [i, j] — проем между i и j.\n"
    "consistent_outflow и heat_loss {walls, ceiling, surface_interval} — варианты модели (ниже);\n"
    "в помещении свои walls и ceiling. Поверхность: {material, thickness} или {layers: [{material,\n"
    "thickness}, ...]} (1–4 слоя, первый — обращенный к газу) и back (\"ambient\" или \"adiabatic\");\n"
    "material — concrete, brick, gypsum_board, insulating_board, calcium_silicate_board,\n"
    "steel_sheet, aluminium_sheet или {k, rho, c}.\n";

const char* const kHelpAfterNumbers =
    "\n"
    "До расчета сценарий проверяется. Здание, которого не может быть (отрицательный размер,\n"
    "проем шире обеих стен помещения), не рассчитывается (код 2). О значениях, похожих на\n"
    "ошибку единиц или ввода, выводится предупреждение в стандартный поток ошибок, и расчет\n"
    "выполняется (с --strict — не выполняется, код 2): Qn меньше 1 МДж/кг (введено в МДж/кг\n"
    "вместо Дж/кг: 13,8 МДж/кг — это 13800000), T0 ниже 200 К (введено в °C вместо К:\n"
    "20 °C — это 293 К), проем шире короткой стены или выше своего помещения, помещение\n"
    "больше 10^6 м³, у помещения очага пожара нет пути наружу через проемы.\n"
    "\n"
    "Пути вывода проверяются до расчета. Файл JSON и каталог CSV заменяются целиком только\n"
    "после полной записи: при ошибке или прерывании прежние остаются как были. Каталог CSV\n"
    "должен быть новым, пустым или прежним каталогом результатов (только room_N.csv и status).\n"
    "\n"
    "Ctrl-C, SIGTERM или SIGHUP останавливают расчет при ближайшем обновлении хода расчета;\n"
    "результаты на этот момент выводятся и записываются. Повторный сигнал завершает программу\n"
    "сразу, без записи.\n"
    "\n"
    "Коды завершения: 0 — расчет завершен; 1 — ошибка при выполнении расчета;\n"
    "2 — неверные входные данные или параметры, в том числе непригодный путь вывода (ничего\n"
    "не рассчитано и не записано); 3 — результат не удалось записать или вывести (нет места,\n"
    "нет доступа, стандартный вывод закрыт или канал оборван; этот код важнее 1 и 128+N);\n"
    "130 — остановлен Ctrl-C (SIGINT), 143 — SIGTERM, 129 — SIGHUP (128 + номер сигнала).\n";

}  // namespace

std::string HelpText() {
    return std::string(kUsage) + '\n' + kHelpBeforeNumbers + "\nЧисла сценария верхнего уровня:\n" +
           zf::project::InputKeysHelp() + "\nЧисла помещений, проемов, путей эвакуации и поверхностей (номера с 1):\n" +
           zf::project::ElementKeysHelp() + "\nВарианты модели (по умолчанию выключены: эталонная модель):\n" +
           zf::project::ModelSwitchesHelp() + kHelpAfterNumbers + "\nПараметрические исследования:\n" + study::kStudyUsage + '\n' +
           study::StudyHelp() + '\n' + zf::project::WhereToReadText();
}

std::string FireLoadListText() {
    std::vector<std::vector<std::string>> rows = {{"Название (fire_load)", "Qn, Дж/кг", "Vlin, м/с", "PsiUd, кг/(м²·с)",
                                                   "D, Нп·м²/кг", "Lo2", "Lco", "Lco2", "Lhcl, кг/кг", "Источник"}};
    for (const zf::project::FireLoad& load : zf::project::BuiltInFireLoads()) {
        std::vector<std::string> row = {load.Name};
        for (const double value : {load.Qn, load.Vlin, load.PsiUd, load.D, load.Lo2, load.Lco, load.Lco2, load.Lhcl})
            row.push_back(zf::PlainNumberText(value, ","));
        row.push_back(load.Source);
        rows.push_back(std::move(row));
    }
    return zf::project::FormatTable(rows);
}

}  // namespace zfcli
