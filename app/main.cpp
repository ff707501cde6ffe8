// The program's entry: creates the windows once, in order, and runs the event loop. Only the
// main window is shown; the others are reused for as long as the program runs. With
// `--report OUT.pdf SCENARIO.json` it shows no window and writes the scenario's report; with
// `--help` or `--version` it prints and ends before anything needs a display.
#include <QApplication>
#include <QIcon>

#include "program_font.h"
#include "report_command.h"
#include "report_option.h"
#include "program_help.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_ShowResult.h"
#include "u_main.h"
#include "qt_translations.h"
#include "u_progress.h"

int main(int argc, char* argv[]) {
    if (const int printed = PrintHelpOrVersion(argc, argv); printed >= 0) return printed;
    const bool report = IsReportCommand(argc, argv);
    if (report) PrepareReportPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zonefire"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zonefire.svg")));
    UseProgramFont();  // before any window: they take their fonts from the application's
    // Qt's standard buttons and dialogs in Russian like the rest; English when not installed.
    InstallQtRussianTranslations(&app);
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

    // The program ends with its main window, whatever other window is still open.
    QObject::connect(&f_main, &Tf_main::Closed, &app, &QApplication::quit, Qt::QueuedConnection);
    f_main.show();
    // `zonefire FILE.json` opens the building; a file that cannot be read is reported and the
    // window starts with the empty building.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) f_main.OpenFile(arguments.at(1));
    return app.exec();
}
