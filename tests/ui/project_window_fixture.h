#pragma once
// The main window driven as a user drives its files: the fixture of the project-window tests
// (project_window_test.cpp, project_window_runs_test.cpp).
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QDropEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QFile>
#include <QMenuBar>
#include <QStatusBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QUrl>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "../cli/subprocess.h"
#include "editor_driver.h"
#include "study_window.h"
#include "project/scenario_file.h"
#include "u_ShowResult.h"
#include "u_progress.h"


inline std::string ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void WriteBytes(const QString& path, const std::string& bytes) {
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

class ProjectWindowTest : public EditorTest {
protected:
    void SetUp() override {
        // The settings and the application data folder of a test, emptied before the window
        // reads them.
        QStandardPaths::setTestModeEnabled(true);
        QSettings().remove(QStringLiteral("recentFiles"));
        QFile::remove(Tf_main::LastCalculationPath());
        ASSERT_TRUE(dir_.isValid());
        EditorTest::SetUp();
        progress_ = std::make_unique<Tf_progress>();
        results_ = new TF_ShowResult(main_.get());
        main_->SetRunWindows(progress_.get(), results_);
    }
    void TearDown() override {
        EditorTest::TearDown();
        main_.reset();
        progress_.reset();
        QSettings().remove(QStringLiteral("recentFiles"));
        QFile::remove(Tf_main::LastCalculationPath());
    }

    QString Path(const QString& name) const { return dir_.filePath(name); }
    void SetField(const char* name, const QString& text) { Find<QLineEdit>(name)->setText(text); }
    QAction* Action(const char* name) const { return main_->findChild<QAction*>(QString::fromLatin1(name)); }
    // A key pressed in the active main window, as its menu shortcuts need.
    void Shortcut(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QApplication::setActiveWindow(main_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
        QTest::keyClick(main_.get(), key, modifiers);
    }

    // Everything the editor shows, one line each: the three grids' texts and tool tips, the
    // matrix's current cell, the fields and the plume choice.
    std::string Shown() const {
        QStringList shown;
        for (const char* name : {"GridRoom", "GridMatrix", "GridProem"}) {
            QTableWidget* grid = Grid(name);
            if (grid->isHidden()) {
                shown << QStringLiteral("%1 hidden").arg(name);
                continue;
            }
            shown << QStringLiteral("%1 %2×%3").arg(name).arg(grid->rowCount()).arg(grid->columnCount());
            for (int r = 0; r < grid->rowCount(); ++r)
                for (int c = 0; c < grid->columnCount(); ++c)
                    shown << Text(grid, r, c) + (grid->item(r, c) ? grid->item(r, c)->toolTip() : QString());
        }
        shown << QStringLiteral("current %1,%2").arg(Grid("GridMatrix")->currentRow()).arg(Grid("GridMatrix")->currentColumn());
        // A field's value to the bit: an opened file shows "0,0145" where the window began with "0,01450".
        for (const char* field : {"Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit9", "Edit10",
                                  "Edit11", "Edit12", "Edithr"})
            shown << QString::number(NumberFromText(Find<QLineEdit>(field)->text()), 'g', 17);
        shown << (Find<QRadioButton>("rbTanaka")->isChecked() ? "tanaka" : "mccaffrey");
        return shown.join('\n').toStdString();
    }

    // Rooms 1 and 2 joined by a doorway, room 3 with an opening to the outside.
    void EnterThreeRooms() {
        EnterThreeRoomsOnly();
        Click(Grid("GridMatrix"), 1, 1);  // where an opened building starts
    }
    void EnterThreeRoomsOnly() {
        SetField("Edit11", "0,01");
        SetField("Edit12", "20");
        AddRoom("5", "4", "3");
        AddRoom("6", "5", "3");
        AddRoom("3", "2,5", "2,8");
        Click(Grid("GridMatrix"), 1, 2);
        AddOpening("2", "0,9");
        Click(Grid("GridMatrix"), 3, 3);
        AddOpening("1,5", "1,2", false);
        ASSERT_EQ(main_->Scenario().RoomCount(), 3);
    }

    // The next message box's text, answered with OK.
    void ExpectMessage(QString* text) {
        WhenModal("QMessageBox", [text](QWidget* box) {
            *text = static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
        });
    }
    // Answers the question whether to save unsaved changes with the button of `role`.
    void AnswerSaveQuestion(QMessageBox::StandardButton button, bool* asked) {
        WhenModal("QMessageBox", [button, asked](QWidget* box) {
            *asked = box->objectName() == "SaveChangesBox";
            QTest::mouseClick(static_cast<QMessageBox*>(box)->button(button), Qt::LeftButton);
        });
    }

    void PressCalculate() { QTest::mouseClick(Find<QPushButton>("TBXButton1"), Qt::LeftButton); }

    QTemporaryDir dir_;
    std::unique_ptr<Tf_progress> progress_;
    TF_ShowResult* results_ = nullptr;
};
