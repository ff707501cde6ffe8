#pragma once
// Drives the main window and its two dialogs the way a user does: modal dialogs are answered
// from inside their own event loops, grids are clicked and read by (row, column) with row 0 and
// column 0 the header row and column.
#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <cstdint>
#include <functional>
#include <memory>

#include "number_text.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_main.h"

// A run's clock for tests: a second passes at every reading, so every step of a run ends in a
// progress refresh and an action taken at a refresh lands on a known step, however fast or
// loaded the machine. Give it to the main window with SetRunClock.
inline std::int64_t SecondPerReading() {
    static std::int64_t now = 0;
    return now += 1000;
}

// Runs `act` inside the first progress refresh of the next run, the first time the run lets
// the event loop run: it is queued when the progress window shows, as the run begins.
inline void AtFirstRefresh(QWidget* progress, std::function<void()> act) {
    class OnShow : public QObject {
    public:
        OnShow(QWidget* window, std::function<void()> act) : QObject(window), act_(std::move(act)) {
            window->installEventFilter(this);
        }
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Show && watched == parent()) {
                watched->removeEventFilter(this);
                QTimer::singleShot(0, this, act_);
            }
            return false;
        }

    private:
        std::function<void()> act_;
    };
    new OnShow(progress, std::move(act));
}

// The step the progress window shows, written at every refresh.
inline int ShownStep(const QWidget* progress) { return progress->findChild<QLabel*>("TextIter")->text().toInt(); }

// Runs `act` inside the first progress refresh that shows a step after `step`; called from
// inside a refresh, that is a later refresh of the same run.
inline void AtRefreshAfter(QWidget* progress, int step, std::function<void()> act) {
    QTimer::singleShot(0, progress, [=] {
        if (ShownStep(progress) > step) act();
        else AtRefreshAfter(progress, step, act);
    });
}

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        main_ = std::make_unique<Tf_main>();
        addRoom_ = new Tf_AddRoom(main_.get());
        addDoor_ = new Tf_AddDoor(main_.get());
        main_->SetDialogs(addRoom_, addDoor_);
        main_->show();
        // The warnings of values that look like a slip ("InputWarningsBox") are answered
        // "Считать всё равно", so a test of something else runs its building as it stands; a
        // test of those warnings turns runAnyway_ off and answers them itself.
        QObject::connect(&warningAnswerer_, &QTimer::timeout, [this] {
            QWidget* w = QApplication::activeModalWidget();
            if (runAnyway_ && w != nullptr && w->objectName() == QLatin1String("InputWarningsBox"))
                QTest::mouseClick(w->findChild<QPushButton*>("btnRunAnyway"), Qt::LeftButton);
        });
        warningAnswerer_.start(5);
    }
    void TearDown() override {
        *answering_ = false;  // leftover answers must not touch the next test
        warningAnswerer_.stop();
    }

    template <class W = QWidget> W* Find(const char* name) const {
        W* w = main_->findChild<W*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTableWidget* Grid(const char* name) const { return Find<QTableWidget>(name); }
    static QString Text(QTableWidget* grid, int row, int col) {
        const QTableWidgetItem* item = grid->item(row, col);
        return item ? item->text() : QString();
    }
    void Press(const char* button) { QTest::mouseClick(Find<QToolButton>(button), Qt::LeftButton); }
    // Row 0 and column 0 are drawn by the grid's header views: a click there lands on them.
    void Click(QTableWidget* grid, int row, int col) {
        if (row == 0 && col == 0) return;  // the corner: nothing to click
        if (row == 0 || col == 0) {
            QHeaderView* header = row == 0 ? grid->horizontalHeader() : grid->verticalHeader();
            const int section = row == 0 ? col : row;
            const int along = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
            const int across = (row == 0 ? header->height() : header->width()) / 2;
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              row == 0 ? QPoint(along, across) : QPoint(across, along));
            return;
        }
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualItemRect(grid->item(row, col)).center());
    }

    // Answers the next modal window of the given class from inside its event loop; the
    // warnings of values that look like a slip are left to the answerer of SetUp.
    void WhenModal(const char* className, std::function<void(QWidget*)> act, int tries = 300) {
        QTimer::singleShot(5, [this, className, act, tries, alive = answering_] {
            if (!*alive) return;
            QWidget* w = QApplication::activeModalWidget();
            if (runAnyway_ && w != nullptr && w->objectName() == QLatin1String("InputWarningsBox"))
                return WhenModal(className, act, tries);  // the answerer's (SetUp)
            if (w != nullptr && w->inherits(className) && w->isVisible()) return act(w);
            if (tries > 0) WhenModal(className, act, tries - 1);
        });
    }
    static void Type(QWidget* dialog, const char* field, const QString& text) {
        auto* edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(field));
        ASSERT_NE(edit, nullptr) << field;
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    static void Close(QWidget* dialog, bool ok) {
        QTest::mouseClick(dialog->findChild<QPushButton*>(ok ? "btnOk" : "btnCancel"), Qt::LeftButton);
    }

    void AddRoom(const QString& length, const QString& width, const QString& height) {
        WhenModal("Tf_AddRoom", [=](QWidget* d) {
            Type(d, "EditWidthX", length);
            Type(d, "EditWidthY", width);
            Type(d, "EditHeight", height);
            Close(d, true);
        });
        Press("btnAddRoom");
    }
    // An opening to the selected matrix cell.
    void AddOpening(const QString& height, const QString& width, bool open = true) {
        WhenModal("Tf_AddDoor", [=](QWidget* d) {
            Type(d, "EditHeight", height);
            Type(d, "EditWidth", width);
            d->findChild<QCheckBox*>("CBOpenDoor")->setChecked(open);
            Close(d, true);
        });
        Press("btnAddDoor");
    }
    bool ProemGridShown() const {
        return !Find("GridProem")->isHidden() && Find("Label4")->isHidden();
    }

    // Every grid shows exactly what the scenario holds.
    void ExpectGridsShowScenario() {
        zf::TzoneMath& zm = main_->Scenario();
        const int n = zm.RoomCount();
        QTableWidget* rooms = Grid("GridRoom");
        ASSERT_EQ(rooms->rowCount(), n + 1);
        QTableWidget* matrix = Grid("GridMatrix");
        ASSERT_EQ(matrix->rowCount(), n + 1);
        ASSERT_EQ(matrix->columnCount(), n + 1);
        for (int k = 1; k <= n; ++k) {
            const zf::TRoom& room = zm.Room(k - 1);
            EXPECT_EQ(Text(rooms, k, 0), QString::number(k));
            EXPECT_EQ(Text(rooms, k, 1), FormatGeneral(room.Length));
            EXPECT_EQ(Text(rooms, k, 2), FormatGeneral(room.Width));
            EXPECT_EQ(Text(rooms, k, 3), FormatGeneral(room.Height));
            for (int c = 1; c <= n; ++c) {
                const auto count = zm.Cell(k - 1, c - 1).size();
                EXPECT_EQ(Text(matrix, k, c), count ? QString::number(count) : QStringLiteral("-"));
            }
        }
        if (!ProemGridShown()) return;
        const zf::TProems& cell = zm.Cell(matrix->currentRow() - 1, matrix->currentColumn() - 1);
        QTableWidget* proems = Grid("GridProem");
        ASSERT_EQ(proems->rowCount(), static_cast<int>(cell.size()) + 1);
        for (int k = 1; k <= static_cast<int>(cell.size()); ++k) {
            EXPECT_EQ(Text(proems, k, 1), FormatGeneral(cell[k - 1]->Height));
            EXPECT_EQ(Text(proems, k, 2), FormatGeneral(cell[k - 1]->Width));
            EXPECT_EQ(Text(proems, k, 3), cell[k - 1]->IsOpen ? "1" : "0");
        }
    }

    std::shared_ptr<bool> answering_ = std::make_shared<bool>(true);
    bool runAnyway_ = true;
    QTimer warningAnswerer_;
    std::unique_ptr<Tf_main> main_;
    Tf_AddRoom* addRoom_ = nullptr;
    Tf_AddDoor* addDoor_ = nullptr;
};
