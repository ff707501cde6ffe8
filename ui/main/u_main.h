#pragma once
// The main window and the whole building editor: the rooms grid, the adjacency matrix of the
// rooms with the number of openings per cell, the openings of the selected cell, the fire-load
// and initial-condition fields, the plume choice and the calculation button.
//
// The grids address their cells as drawn: row 0 and column 0 are the fixed header row and
// column, so rooms grid row k is room k - 1 of the scenario and matrix cell (row r, column c)
// is the scenario's opening cell (r - 1, c - 1). The header cells are shown by the grids' own
// header views, so they stay in view however far a grid is scrolled.

//
// The class is defined in parts (ui/main/), each calling only the parts listed after it:
// main_window.cpp (making and closing the window, the menus), main_help.cpp, main_run.cpp,
// main_project.cpp (the "Файл" menu), main_model_options.cpp, main_editor.cpp (the editor's
// operations), main_document.cpp (the building as a document, undo, the caption) and
// u_main.cpp (the grids and fields). project_files.h writes the files and knows no window.

#include <QMainWindow>
#include <QPoint>
#include <cstdint>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "project/document.h"
#include "report_pdf.h"
#include "verdict.h"

#include "model/input_warnings.h"
#include "model/scenario.h"

namespace Ui { class Tf_main; }
class QLineEdit;
class QAction;
class QTableWidget;
class QUndoStack;
class Tf_AddRoom;
class Tf_AddDoor;
class Tf_progress;
class TF_ShowResult;
class TF_Evacuation;
class TF_Building;

class Tf_main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tf_main(QWidget* parent = nullptr);
    ~Tf_main() override;

    // The dialogs are created once at start-up, after the main window, and reused.
    void SetDialogs(Tf_AddRoom* addRoom, Tf_AddDoor* addDoor);
    // The progress window shown during a run and the results window shown after it.
    void SetRunWindows(Tf_progress* progress, TF_ShowResult* results);
    // The millisecond clock a run's progress refreshes follow (the steady clock unless set):
    // tests give one that moves a second per reading, so every step is a refresh.
    void SetRunClock(std::int64_t (*tickMs)()) { runTickMs_ = tickMs; }

    // The editor's scenario: its rooms and openings. A run never changes it.
    zf::TzoneMath& Scenario();
    // The scenario of the last run, a copy of the editor's building and fields that the run
    // and the results window work on; none before the first run.
    zf::TzoneMath* LastRun() const { return run_.get(); }
    // Discards the scenario with its rooms, openings and results and starts an empty one;
    // the grids follow and the openings grid is hidden.
    void NewScenario();

    // Refill the grids from the scenario.
    void FillGridRoom();
    void FillGridMatrix();
    // Openings of the scenario's matrix cell (row, col), both counted from 0; the grid is
    // shown only when the cell holds at least one opening.
    void FillGridProem(int row, int col);

    // Handlers of the editor's buttons and of the matrix grid's current-cell move.
    void btnAddRoomClick();
    void btnDelRoomClick();
    void btnAddDoorClick();
    void TBXButton2Click();
    void GridMatrixSelectCell(int col, int row);
    // "Расчет": reads the parameter fields into the scenario, runs it with the progress window
    // shown, then shows the results or the failure, and starts over with an empty building.
    void TBXButton1Click();
    // "Эвакуация...": t_нэ and t_р per room and the safety factor, in a dialog of its own.
    void btnEvacuationClick();
    // "Пути эвакуации...": the escape routes and the people-flow computation, in a dialog of
    // their own; an accepted change is an editor operation that can be undone.
    void btnRoutesClick();
    // The evacuation inputs of the building: per room (kept with the room's name) and the
    // safety factor (kept with the building's title and notes).
    zfreport::EvacuationInputs Evacuation() const;
    // "Здание...": the building's title, notes and room names, in a dialog of its own; an
    // accepted change is an editor operation that can be undone.
    void btnBuildingClick();
    // "Модели...": consistent outflow, heat loss and the surfaces, in a dialog of their own; an
    // accepted change is an editor operation that can be undone (main_model_options.cpp).
    void btnModelOptionsClick();
    // "Критические значения...": the limits of the hazard factors and the working-zone height,
    // in a dialog of their own; an accepted change of a limit can be undone
    // (main_critical_values.cpp).
    void btnCriticalValuesClick();
    // "Проверка шага расчета...": the building at dt and dt/2, the shift of the critical times.
    void CheckStep();
    QString lastStepCheck_;  // the text the last step check showed
    // "Открыть исследование...": a parameter study's distributions; a run opens as a building.
    void OpenStudy();
    // A scenario text opened as the building (unsaved, titled), as a file would be.
    bool OpenScenarioText(const QString& text, const QString& title);

    // A calculation is under way (the main window is disabled meanwhile).
    bool Running() const { return Running_; }

signals:
    // The main window has closed for good: the program ends with it.
    void Closed();

public:
    // ---- The building as a project file: the "Файл" and "Правка" menus (main_project.cpp) ----

    // "Новый", "Открыть...", "Сохранить", "Сохранить как...": each asks first to save unsaved
    // changes where the building would be replaced; false when cancelled or failed.
    bool FileNew();
    bool FileOpen();
    bool FileSave();
    bool FileSaveAs();
    // "Отчет...": runs the building in the editor (a copy of it: the building stays) with the
    // progress window, asks where to save, and writes the PDF report of that run, whether it
    // completed, was stopped or failed. False when nothing was written.
    bool FileReport();
    // Opens a scenario file in place of the building (after asking to save unsaved changes),
    // with its fields, plume choice, rooms, names and openings. A file that cannot be read is
    // reported, naming the problem, and the building stays as it was.
    bool OpenFile(const QString& path);
    // Writes the building to `path` through a temporary file renamed over the old one; a failure
    // is reported with its reason and leaves the old file as it was.
    bool SaveFile(const QString& path);
    // "Вернуть здание последнего расчета": the building of the last calculation (also kept in
    // the user's application data folder between sessions) back in a fresh scenario.
    bool RestoreLastCalculation();
    bool HasLastCalculation() const { return lastCalculation_.has_value(); }
    // Where the last calculated building is kept: LastCalculation.json in the application data
    // folder.
    static QString LastCalculationPath();

    // The building as a document: the parameter fields (ConversionError for one holding no
    // number), the plume choice, the rooms with their names, the openings, and what the file it
    // came from holds that the window does not show (title, notes, samples per second).
    zf::project::Document CurrentDocument() const;
    const QString& FilePath() const { return filePath_; }
    // Unsaved changes: the building differs from the one last opened, saved or started.
    bool IsModified() const;
    QUndoStack* UndoStack() const { return undo_; }
    // The names of the five files opened or saved last, the latest first.
    QStringList RecentFiles() const;

    // Edit in place: the add-room dialog filled with room k (0-based) or the add-opening dialog
    // with opening k of cell (row, col); "Принять" changes it where it stands.
    void EditRoom(int k);
    void EditOpening(int row, int col, int k);
    // Ctrl+V in the rooms grid or the openings grid (or the matrix): a block of cells copied
    // from a spreadsheet changes the rooms or the current cell's openings from the current row
    // on and adds those past the last, as one undoable step (main_paste.cpp).
    void PasteRooms(const std::vector<QStringList>& cells);
    void PasteOpenings(const std::vector<QStringList>& cells);

    // Asks where to open or save a file (a file dialog unless replaced: tests answer
    // without one); empty when cancelled. A report's suggested name ends in ".pdf".
    using PathAsker = std::function<QString(bool save, const QString& suggested)>;
    void SetPathAsker(PathAsker asker) { pathAsker_ = std::move(asker); }

    // ---- A newcomer's way in (main_help.cpp) ----

    // "Правка → Типовая пожарная нагрузка...": the library's dialog; an accepted row fills the
    // fields (FillFireLoad). False when cancelled.
    bool ChooseFireLoad();
    // Fills the eight fire-load fields (all but Nu) from the library's row of that name and
    // records the name in the building (saved with it, named in the report). False, with
    // nothing changed, for a name the library lacks.
    bool FillFireLoad(const QString& name);
    // The library row the fire-load fields were last filled from (kept when a field is edited
    // afterwards: the report names the fields changed); empty: none.
    QString FireLoadName() const;
    // "Файл → Примеры": opens an example building unsaved, so saving asks where.
    bool OpenExample(const QString& path);
    // "Справка → Руководство пользователя" (F1): the guide in its own window.
    void ShowGuide();

protected:
    // During a calculation closing asks first; on yes the run stops at its next refresh, no
    // results are shown and the window closes then. Otherwise unsaved changes are offered for
    // saving first.
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Making the window (main_window.cpp): the hint line under the designed area, the grids,
    // the buttons beside the grids, the menus, the building last calculated.
    void AddHintLine();
    void SetUpGrids();
    void MakeGridsSheetLike();
    void AddEditorButtons();
    void CreateMenus();
    void CreateFileMenu();
    void CreateEditMenu();
    void LoadLastCalculation();
    void CreateHelpMenus();
    void FillRecentMenu();
    void AddRecentFile(const QString& path);
    void UpdateCaption();
    void UpdateActions();
    // Asks whether to save unsaved changes: true to go on (saved or discarded), false to stop.
    bool MaybeSave();
    // The whole building replaced: a fresh scenario, the fields, the grids; history cleared.
    void ReplaceBuilding(const zf::project::Document& document, const QString& path);
    // The rooms (with names) and openings, for the history of editor operations.
    zf::project::Document Building() const;
    void SetBuilding(const zf::project::Document& building, QPoint matrixCell);
    // Applies one editor operation on the scenario and the room names as an undoable step.
    void Edit(const QString& text, const std::function<void()>& operation);
    // Before a run: the building kept in memory and in the application data folder.
    void KeepLastCalculation();
    // After a run: the editor as it was; only a request from the results window or the failure
    // message brings back the building of the last calculation.
    void AfterCalculation();
    QString AskPath(bool save, const QString& suggested);
    // What the report says of `document` besides its results: title, notes, names, evacuation
    // inputs, and the file's name with the bytes the document saves as.
    ScenarioDescription Description(const zf::project::Document& document) const;

    friend class TBuildingEdit;
    QUndoStack* undo_ = nullptr;
    QList<QAction*> recentActions_;  // the five recent files' places in the "Файл" menu
    QAction* restoreAction_ = nullptr;
    QString designedCaption_;
    QStringList initialFieldTexts_;
    QString filePath_;
    // What the window keeps but does not show, and per room what the model does not hold.
    zf::project::Document document_;
    std::vector<zf::project::Room> roomInfo_;
    zf::project::Document saved_;  // the building as last opened, saved or started
    std::optional<zf::project::Document> lastCalculation_;
    zf::project::Document lastCalculationSaved_;
    QString lastCalculationPath_;
    bool restoreRequested_ = false;
    PathAsker pathAsker_;

    // Checks every parameter field; a refused one is named in a message and given the focus.
    bool ReadParameterFields();
    // Shows the warnings of values that look like a slip (zf::InputWarnings), if any, with
    // "Считать всё равно" (true) and "Исправить" (false: the focus goes where the first is fixed).
    bool ConfirmInputWarnings(const zf::TzoneMath& run);
    void FocusWarned(const zf::InputWarning& warning);
    void AddFireAreaField();
    void FormCreate();
    void ShowProemGrid(bool shown);
    void ShowCurrentCellProems();
    void SetUpKeys();
    bool AskStopAndQuit();

    std::unique_ptr<Ui::Tf_main> ui;
    QLineEdit* EditFireAreaMax = nullptr;  // "Fmax, м²", made in code beside the designed fields
    std::unique_ptr<zf::TzoneMath> zm;
    std::unique_ptr<zf::TzoneMath> run_;  // the last run's own scenario (LastRun)
    Tf_AddRoom* f_AddRoom = nullptr;
    Tf_AddDoor* f_AddDoor = nullptr;
    Tf_progress* f_progress = nullptr;
    TF_ShowResult* F_ShowResult = nullptr;
    bool Running_ = false;
    std::int64_t (*runTickMs_)() = &zf::SteadyTickMs;
    bool QuitRequested_ = false;  // the user chose to stop the run and leave
    TF_Evacuation* f_Evacuation = nullptr;  // created at its first opening
    TF_Building* f_Building = nullptr;      // created at its first opening
    class TF_ModelOptions* f_ModelOptions = nullptr;  // created at its first opening
    class StudyWindow* f_Study = nullptr;  // created at its first opening
    class TGuideWindow* guide_ = nullptr;   // created at its first opening
};

// Reports a failed action the way the program does everywhere: a message box with an error
// icon, the application's title and one OK button.
void ShowErrorMessage(QWidget* parent, const QString& text);

// Reports a failed calculation: the step it failed in, and in the details where and why. With
// `offerRestore`, also offers "Вернуть здание последнего расчета"; true when that was pressed.
bool ShowRunFailure(QWidget* parent, const zf::TzoneMath& zm, bool offerRestore = false);
