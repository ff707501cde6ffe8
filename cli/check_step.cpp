#include "check_step.h"

#include <iostream>
#include <string>

#include "input_text.h"
#include "model/scenario.h"
#include "output_file.h"
#include "project/scenario_file.h"
#include "step_check.h"

namespace zfcli {

namespace {

int Refuse(const std::string& message) {
    std::cerr << "zonefire-cli --check-step: " << message << "\n";
    return 2;
}

}  // namespace

int CheckStepMain(int argc, char** argv) {
    std::string scenario, csv;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--csv" && i + 1 < argc)
            csv = argv[++i];
        else if (scenario.empty() && (arg == "-" || arg.empty() || arg[0] != '-'))
            scenario = arg;
        else
            return Refuse("неизвестный или лишний аргумент " + arg + "\n" + kCheckStepUsage);
    }
    if (scenario.empty()) return Refuse(std::string("не задан файл сценария\n") + kCheckStepUsage);
    std::string text;
    try {
        text = zf::project::ReadInputText(scenario);
    } catch (const zf::project::InputError& e) {
        return Refuse(scenario + ": " + e.what());
    }
    zf::TzoneMath coarse, fine;
    if (const auto refused = zf::project::ReadScenario(text, coarse)) return Refuse(scenario + ": " + *refused);
    zf::project::ReadScenario(text, fine);
    fine.dt = coarse.dt / 2;
    const bool coarseOk = coarse.Run();
    const bool fineOk = fine.Run();
    const zfreport::StepCheck check = zfreport::CompareSteps(coarse, coarseOk, fine, fineOk);
    std::cout << zfreport::StepCheckText(check);
    if (!csv.empty()) {
        try {  // written whole under a temporary name, or not at all
            zf::project::AtomicFile out(csv);
            out.Stream() << zfreport::kStepCheckCsvHeader << zfreport::StepCheckCsv(check, scenario);
            out.Commit();
        } catch (const zf::project::OutputError& e) {
            return Refuse(std::string("не удалось записать файл CSV: ") + e.what() + "; выберите другой путь");
        }
    }
    if (!coarseOk || !fineOk) return 1;
    return check.TooLarge() ? kExitStepTooLarge : 0;
}

}  // namespace zfcli
