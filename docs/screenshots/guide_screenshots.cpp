// Takes the user guide's pictures: the windows as a user sees them, drawn on Qt's offscreen
// platform (no display needed) and saved as PNG files into the folder given.
//
//   guide_screenshots OUTPUT_FOLDER EXAMPLES_FOLDER
//
// Run by docs/make-screenshots.sh. Every picture comes from the program's own windows with
// the example buildings, in the Russian locale (decimal comma) and the program's font.

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QTableWidget>
#include <QTest>
#include <cstdio>

#include "fire_load_dialog.h"
#include "program_font.h"
#include "project/scenario_file.h"
#include "qt_translations.h"
#include "report_pdf.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_ShowResult.h"
#include "u_main.h"

namespace {

bool Save(QWidget* window, const QDir& out, const QString& name) {
    QApplication::processEvents();
    const bool saved = window->grab().save(out.filePath(name));
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "NOT SAVED", qPrintable(out.filePath(name)));
    return saved;
}

// The results window of the example run to its end, as "Расчет" shows it.
bool SaveResults(const QString& examplePath, const QDir& out) {
    QFile file(examplePath);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const std::string text = file.readAll().toStdString();
    zf::TzoneMath zm;
    zf::project::Document document;
    if (zf::project::ReadScenario(text, zm) || zf::project::ReadDocument(text, document)) return false;
    if (!zm.Run()) return false;
    TF_ShowResult results;
    results.SetDescription(DescribeDocument(document, QFileInfo(examplePath).fileName(), QByteArray()));
    results.SetEvacuationInputs(document.Evacuation());
    results.PrepareResults(zm);
    results.show();
    return Save(&results, out, QStringLiteral("results.png"));
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: guide_screenshots OUTPUT_FOLDER EXAMPLES_FOLDER\n", stderr);
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    UseProgramFont();
    InstallQtRussianTranslations(&app);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QDir examples(QString::fromLocal8Bit(argv[2]));
    bool ok = true;

    Tf_main window;
    Tf_AddRoom addRoom(&window);
    Tf_AddDoor addDoor(&window);
    window.SetDialogs(&addRoom, &addDoor);
    window.show();
    ok = Save(&window, out, QStringLiteral("main-empty.png")) && ok;
    addRoom.show();
    ok = Save(&addRoom, out, QStringLiteral("add-room.png")) && ok;
    addRoom.hide();

    ok = window.OpenExample(examples.filePath(QStringLiteral("office_floor.json"))) && ok;
    // The doorway of room 1 to the corridor: matrix row 1, column 2.
    auto* matrix = window.findChild<QTableWidget*>(QStringLiteral("GridMatrix"));
    matrix->setCurrentCell(1, 2);
    window.GridMatrixSelectCell(2, 1);
    ok = Save(&window, out, QStringLiteral("main-office.png")) && ok;

    TFireLoadDialog loads(&window);
    loads.show();
    loads.findChild<QLineEdit*>(QStringLiteral("EditFireLoadSearch"))->setText(QStringLiteral("админ"));
    loads.SelectName(QStringLiteral("Административное помещение"));
    ok = Save(&loads, out, QStringLiteral("fire-load.png")) && ok;
    loads.hide();

    ok = SaveResults(examples.filePath(QStringLiteral("office_floor.json")), out) && ok;
    return ok ? 0 : 1;
}
