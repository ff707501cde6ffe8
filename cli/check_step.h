#pragma once
// zonefire-cli --check-step СЦЕНАРИЙ.json: the scenario run at its step dt and at dt/2, and
// how far every room's critical times and blocking time moved (report/step_check.h).

namespace zfcli {

inline constexpr const char* kCheckStepUsage = "       zonefire-cli --check-step СЦЕНАРИЙ.json [--csv ФАЙЛ]\n";
inline constexpr const char* kCheckStepHelp =
    "--check-step выполняет расчет с шагом dt сценария и с шагом dt/2 и для каждого помещения и\n"
    "фактора выводит, насколько сдвинулись критические времена и время блокирования. Сдвиг больше\n"
    "5 % означает, что шаг слишком велик. --csv ФАЙЛ записывает сравнение в CSV.\n"
    "Коды завершения проверки: 0 — шаг достаточен, 1 — расчет прерван ошибкой, 2 — неверные\n"
    "входные данные, 5 — шаг слишком велик.\n";
inline constexpr int kExitStepTooLarge = 5;

// argv[0] is "--check-step"; the rest: the scenario and an optional "--csv FILE".
int CheckStepMain(int argc, char** argv);

}  // namespace zfcli
