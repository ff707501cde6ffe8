// The program's entry: creates the windows once, in order, and runs the event loop. Only the
// main window is shown; the others are reused for as long as the program runs. With
// `--report OUT.pdf SCENARIO.json` it shows no window and writes the scenario's report.
#include <QApplication>

#include "headless_report.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_ShowResult.h"
#include "u_main.h"
#include "u_progress.h"

int main(int argc, char* argv[]) {
    const bool report = IsReportCommand(argc, argv);
    if (report) PrepareReportPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zonefire"));
    if (report) return RunReportCommand(argc, argv);

    // The main window first: its creation creates the empty scenario. The results window and
    // the dialogs are its children, so they open centred on it and modal to it. The progress
    // window has no parent: the run disables the main window, and a child would be disabled
    // with it, its "Закрыть" out of reach.
    Tf_main f_main;
    TF_ShowResult F_ShowResult(&f_main);
    Tf_progress f_progress;
    Tf_AddRoom f_AddRoom(&f_main);
    Tf_AddDoor f_AddDoor(&f_main);
    f_main.SetDialogs(&f_AddRoom, &f_AddDoor);
    f_main.SetRunWindows(&f_progress, &F_ShowResult);

    f_main.show();
    return app.exec();
}
