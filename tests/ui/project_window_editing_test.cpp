// The main window's editor: undo and redo of the grids, a room and a doorway edited in place.
#include "project_window_fixture.h"

namespace {

TEST_F(ProjectWindowTest, UndoAndRedoReturnTheGridsToExactlyWhatTheyShowed) {
    // What the editor showed just before and just after each operation; a click that only
    // chooses where the next operation acts is no operation.
    std::vector<std::string> before, after;
    const auto step = [&](const std::function<void()>& choose, const std::function<void()>& operation) {
        choose();
        before.push_back(Shown());
        operation();
        after.push_back(Shown());
    };
    const auto nothing = [] {};
    step(nothing, [&] { AddRoom("5", "4", "3"); });
    step(nothing, [&] { AddRoom("6", "5", "3"); });
    step(nothing, [&] { AddRoom("3", "2", "2,8"); });
    step([&] { Click(Grid("GridMatrix"), 2, 1); }, [&] { AddOpening("2", "0,9"); });
    step(nothing, [&] { AddOpening("2,1", "1,1", false); });
    step([&] { Click(Grid("GridMatrix"), 3, 3); }, [&] { AddOpening("1,5", "1"); });
    step(nothing, [&] {
        WhenModal("Tf_AddRoom", [](QWidget* d) { Type(d, "EditWidthY", "9"); Close(d, true); });
        main_->EditRoom(1);
    });
    step([&] { Click(Grid("GridMatrix"), 1, 2); }, [&] {
        WhenModal("Tf_AddDoor", [](QWidget* d) { Type(d, "EditWidth", "0,7"); Close(d, true); });
        main_->EditOpening(0, 1, 1);
    });
    step([&] { Click(Grid("GridMatrix"), 1, 2); Click(Grid("GridProem"), 1, 1); }, [&] { Press("TBXButton2"); });
    step([&] { Click(Grid("GridRoom"), 1, 1); }, [&] { Press("btnDelRoom"); });
    ASSERT_EQ(main_->UndoStack()->count(), static_cast<int>(before.size()));
    // Back through every step with Ctrl+Z...
    for (std::size_t i = before.size(); i-- > 0;) {
        Shortcut(Qt::Key_Z);
        EXPECT_EQ(Shown(), before[i]) << "undo of step " << i;
    }
    EXPECT_FALSE(main_->UndoStack()->canUndo());
    // ...and forward again with Ctrl+Y.
    for (std::size_t i = 0; i < after.size(); ++i) {
        Shortcut(Qt::Key_Y);
        EXPECT_EQ(Shown(), after[i]) << "redo of step " << i;
    }
    // Opening a building clears the history.
    ASSERT_TRUE(main_->SaveFile(Path("h.json")));
    ASSERT_TRUE(main_->OpenFile(Path("h.json")));
    EXPECT_EQ(main_->UndoStack()->count(), 0);
}

TEST_F(ProjectWindowTest, EditingARoomInPlaceKeepsItsNumberOpeningsAndName) {
    WriteBytes(Path("named.json"), R"({"rooms": [{"length": 5, "name": "Очаг"}, {"name": "Коридор"}],
        "openings": [{"rooms": [2, 1], "height": 2.2}, {"rooms": [1, 1]}]})");
    ASSERT_TRUE(main_->OpenFile(Path("named.json")));
    QStringList filled;
    WhenModal("Tf_AddRoom", [&](QWidget* d) {
        for (const char* field : {"EditWidthX", "EditWidthY", "EditHeight"}) filled << d->findChild<QLineEdit*>(field)->text();
        filled << d->windowTitle();
        Type(d, "EditWidthX", "8,5");
        Close(d, true);
    });
    // A double click on room 1's row.
    QTableWidget* rooms = Grid("GridRoom");
    Click(rooms, 1, 2);
    QTest::mouseDClick(rooms->viewport(), Qt::LeftButton, {}, rooms->visualItemRect(rooms->item(1, 2)).center());
    // The dialog's title names the room it changes, with its name.
    EXPECT_EQ(filled, QStringList({"5", "5", "3", "Помещение №1 — Очаг"}));
    zf::TzoneMath& zm = main_->Scenario();
    ASSERT_EQ(zm.RoomCount(), 2);
    EXPECT_EQ(zm.Room(0).Length, 8.5);  // still room 1, the fire room
    EXPECT_EQ(zm.Room(1).Length, 4);
    EXPECT_EQ(zm.Cell(0, 1).size(), 1u);
    EXPECT_EQ(zm.Cell(0, 0).size(), 1u);
    EXPECT_EQ(main_->CurrentDocument().Rooms[0].Name, "Очаг");
    EXPECT_EQ(Text(rooms, 1, 1), "8,5");
    // The add-room dialog opens next time with what was typed into it, not the edited room.
    EXPECT_EQ(addRoom_->LengthText(), "4");
    EXPECT_EQ(addRoom_->windowTitle(), "Добавить помещение");
    // "Отменить" changes nothing.
    WhenModal("Tf_AddRoom", [](QWidget* d) { Type(d, "EditWidthX", "1"); Close(d, false); });
    main_->EditRoom(0);
    EXPECT_EQ(zm.Room(0).Length, 8.5);
}

TEST_F(ProjectWindowTest, EditingADoorwayInPlaceChangesBothFaces) {
    EnterThreeRooms();
    Click(Grid("GridMatrix"), 2, 1);  // the doorway seen from room 2
    ASSERT_TRUE(ProemGridShown());
    bool wasOpen = false;
    WhenModal("Tf_AddDoor", [&](QWidget* d) {
        wasOpen = d->findChild<QCheckBox*>("CBOpenDoor")->isChecked();
        Type(d, "EditHeight", "2,4");
        d->findChild<QCheckBox*>("CBOpenDoor")->setChecked(false);
        Close(d, true);
    });
    QTableWidget* proems = Grid("GridProem");
    Click(proems, 1, 1);
    QTest::mouseDClick(proems->viewport(), Qt::LeftButton, {}, proems->visualItemRect(proems->item(1, 1)).center());
    EXPECT_TRUE(wasOpen);
    zf::TzoneMath& zm = main_->Scenario();
    for (const zf::TProems* cell : {&zm.Cell(0, 1), &zm.Cell(1, 0)}) {
        ASSERT_EQ(cell->size(), 1u);
        EXPECT_EQ((*cell)[0]->Height, 2.4);
        EXPECT_EQ((*cell)[0]->Width, 0.9);
        EXPECT_FALSE((*cell)[0]->IsOpen);
        EXPECT_EQ((*cell)[0]->Mu, 0.08);
    }
    EXPECT_EQ(Text(proems, 1, 1), "2,4");
    EXPECT_EQ(Text(proems, 1, 3), "0");
    ExpectGridsShowScenario();
}

}  // namespace
