#pragma once
// The main window and the whole building editor: the rooms grid, the adjacency matrix of the
// rooms with the number of openings per cell, the openings of the selected cell, the fire-load
// and initial-condition fields, the plume choice and the calculation button.
//
// The grids address their cells as drawn: row 0 and column 0 are the fixed header row and
// column, so rooms grid row k is room k - 1 of the scenario and matrix cell (row r, column c)
// is the scenario's opening cell (r - 1, c - 1).

#include <QMainWindow>
#include <memory>

#include "model/scenario.h"

namespace Ui { class Tf_main; }
class QLineEdit;
class QTableWidget;
class Tf_AddRoom;
class Tf_AddDoor;
class Tf_progress;
class TF_ShowResult;

class Tf_main : public QMainWindow {
    Q_OBJECT
public:
    explicit Tf_main(QWidget* parent = nullptr);
    ~Tf_main() override;

    // The dialogs are created once at start-up, after the main window, and reused.
    void SetDialogs(Tf_AddRoom* addRoom, Tf_AddDoor* addDoor);
    // The progress window shown during a run and the results window shown after it.
    void SetRunWindows(Tf_progress* progress, TF_ShowResult* results);

    // The one current scenario; the run and the results window work on it in place.
    zf::TzoneMath& Scenario();
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

private:
    bool ReadParameterFields();
    void AddFireAreaField();
    void FormCreate();
    void ShowProemGrid(bool shown);
    void ShowCurrentCellProems();

    std::unique_ptr<Ui::Tf_main> ui;
    QLineEdit* EditFireAreaMax = nullptr;  // "Fmax, м²", made in code beside the designed fields
    std::unique_ptr<zf::TzoneMath> zm;
    Tf_AddRoom* f_AddRoom = nullptr;
    Tf_AddDoor* f_AddDoor = nullptr;
    Tf_progress* f_progress = nullptr;
    TF_ShowResult* F_ShowResult = nullptr;
};

// Reports a failed action the way the program does everywhere: a message box with an error
// icon, the application's title and one OK button.
void ShowErrorMessage(QWidget* parent, const QString& text);

// Reports a failed calculation: the step it failed in, and in the details where and why.
void ShowRunFailure(QWidget* parent, const zf::TzoneMath& zm);
