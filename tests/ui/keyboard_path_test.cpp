// The whole way from a new building to its report without a mouse: the focus goes through
// every control with Tab (Ctrl+Tab out of a grid), the grids add rooms and openings with
// Insert, the dialogs are typed into and accepted with Enter, the report is Ctrl+P; every menu
// item can be reached by its underlined letter.
#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

#include "editor_driver.h"
#include "u_ShowResult.h"
#include "u_progress.h"

namespace {

class KeyboardOnly : public EditorTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        EditorTest::SetUp();
        progress_ = std::make_unique<Tf_progress>();
        main_->SetRunWindows(progress_.get(), new TF_ShowResult(main_.get()));
        // The file dialog is the platform's; its answer is the path a user would type.
        main_->SetPathAsker([this](bool, const QString&) { return dir_.filePath(QStringLiteral("keyboard.pdf")); });
        // The object's texts the report asks for once are declined, as "Отмена" does.
        main_->SetObjectInfoAsker([](zf::project::Document&) { return false; });
        QApplication::setActiveWindow(main_.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
    }
    void TearDown() override {
        EditorTest::TearDown();
        main_.reset();
        progress_.reset();
    }
    static QWidget* Focus() { return QApplication::focusWidget(); }
    static QString FocusName() { return Focus() ? Focus()->objectName() : QString(); }
    // The key goes where the keyboard's focus is.
    // A closed dialog leaves no window active: the keyboard goes back to the main window, as
    // the window manager gives it back.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QWidget* active = QApplication::activeWindow();
        if (active == nullptr || !active->isVisible()) {
            QApplication::setActiveWindow(main_.get());
            ASSERT_TRUE(QTest::qWaitForWindowActive(main_.get()));
        }
        QWidget* target = Focus() ? Focus() : QApplication::activeWindow();
        ASSERT_NE(target, nullptr) << "no window has the keyboard";
        QTest::keyClick(target, key, modifiers);
    }
    // The next control: Tab, or Ctrl+Tab out of a grid (where Tab moves between cells).
    void Next() { Key(Qt::Key_Tab, qobject_cast<QTableWidget*>(Focus()) ? Qt::ControlModifier : Qt::NoModifier); }
    // Moves the focus on until it reaches the control of that name; false after a whole round.
    ::testing::AssertionResult TabTo(const char* name) {
        QStringList passed;
        for (int i = 0; i < 60 && FocusName() != QLatin1String(name); ++i) {
            passed << FocusName();
            Next();
        }
        if (FocusName() == QLatin1String(name)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << name << " not reached; passed " << passed.join(' ').toStdString();
    }
    // Answers the next dialog with the texts typed into its fields in their tab order, then Enter.
    void TypeIntoDialog(const char* className, const QStringList& texts) {
        WhenModal(className, [this, texts](QWidget* dialog) {
            // The dialog a modal loop shows is the window the keys go to.
            QApplication::setActiveWindow(dialog);
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog));
            for (int i = 0; i < texts.size(); ++i) {
                if (i > 0) Key(Qt::Key_Tab);
                Key(Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(Focus(), texts[i]);
            }
            Key(Qt::Key_Return);
        });
    }

    QTemporaryDir dir_;
    std::unique_ptr<Tf_progress> progress_;
};

TEST_F(KeyboardOnly, FromANewBuildingToItsReport) {
    Key(Qt::Key_N, Qt::ControlModifier);
    ASSERT_TRUE(TabTo("GridRoom"));
    TypeIntoDialog("Tf_AddRoom", {"5", "4", "3"});
    Key(Qt::Key_Insert);
    TypeIntoDialog("Tf_AddRoom", {"6", "5", "3"});
    Key(Qt::Key_Insert);
    ASSERT_EQ(main_->Scenario().RoomCount(), 2);
    EXPECT_EQ(main_->Scenario().Room(1).Length, 6);

    ASSERT_TRUE(TabTo("GridMatrix"));
    Key(Qt::Key_Right);  // from cell [1, 1] to [1, 2]: the doorway between rooms 1 and 2
    TypeIntoDialog("Tf_AddDoor", {"2", "0,9"});
    Key(Qt::Key_Insert);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);  // to [2, 2]: room 2's opening to the outside
    TypeIntoDialog("Tf_AddDoor", {"2", "1,2"});
    Key(Qt::Key_Insert);
    ASSERT_EQ(main_->Scenario().Cell(0, 1).size(), 1u);
    ASSERT_EQ(main_->Scenario().Cell(1, 1).size(), 1u);

    for (const auto& [field, text] : {std::pair{"Edit12", "30"}, std::pair{"Edit11", "0,01"}}) {
        ASSERT_TRUE(TabTo(field));
        Key(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(Focus(), QString::fromLatin1(text));
    }
    Key(Qt::Key_P, Qt::ControlModifier);
    QFile report(dir_.filePath(QStringLiteral("keyboard.pdf")));
    ASSERT_TRUE(report.open(QIODevice::ReadOnly));
    EXPECT_TRUE(report.read(5).startsWith("%PDF"));
    EXPECT_EQ(main_->Scenario().RoomCount(), 2);  // the building stays in the editor
}

// Tab (Ctrl+Tab out of a grid) visits every control a user enters something with, and comes
// back to where it began.
TEST_F(KeyboardOnly, TabReachesEveryControl) {
    AddRoom("5", "4", "3");
    Click(Grid("GridMatrix"), 1, 1);
    AddOpening("2", "1");  // the openings grid shown
    ASSERT_TRUE(TabTo("GridRoom"));
    QStringList visited;
    do {
        visited << FocusName();
        Next();
    } while (FocusName() != QLatin1String("GridRoom") && visited.size() < 80);
    for (const char* name : {"btnAddRoom", "btnDelRoom", "GridMatrix", "btnAddDoor", "TBXButton2", "GridProem", "Edit1", "Edit2",
                             "Edit3", "Edit4", "Edit5", "Edit6", "Edit7", "Edit8", "Edit10", "EditFireAreaMax", "Edit9", "Edithr",
                             "Edit12", "Edit11", "rbTanaka", "TBXButton1", "btnEvacuation"})
        EXPECT_TRUE(visited.contains(QLatin1String(name))) << name << " not in " << visited.join(' ').toStdString();
    EXPECT_EQ(FocusName(), QString("GridRoom")) << visited.join(' ').toStdString();
}

// Every menu and every command in it has an underlined letter of its own within its menu (the
// examples and the recent files inside their lists are walked with the arrows).
TEST_F(KeyboardOnly, EveryMenuItemHasItsOwnMnemonic) {
    const auto mnemonic = [](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
    };
    QList<QMenu*> menus;
    QSet<QChar> top;
    for (QAction* a : main_->menuBar()->actions()) {
        ASSERT_NE(a->menu(), nullptr);
        EXPECT_FALSE(mnemonic(a->text()).isNull()) << a->text().toStdString();
        EXPECT_FALSE(top.contains(mnemonic(a->text()))) << a->text().toStdString();
        top.insert(mnemonic(a->text()));
        menus << a->menu();
    }
    for (QMenu* menu : menus) {
        QSet<QChar> used;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || a->text().isEmpty() || a->objectName().startsWith(QLatin1String("ActRecent"))) continue;
            const QChar letter = mnemonic(a->text());
            EXPECT_FALSE(letter.isNull()) << menu->title().toStdString() << ": " << a->text().toStdString();
            EXPECT_FALSE(used.contains(letter)) << menu->title().toStdString() << ": " << a->text().toStdString();
            used.insert(letter);
        }
    }
}

}  // namespace
