// The "Модели расчета" dialog: the two check boxes, the building's walls and ceiling by
// material and thickness, per-room overrides, and a thickness that is no number refused with
// a message naming the field; and the main window's button for it, clear of every designed
// control.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

#include "model_options_dialog.h"
#include "u_main.h"

namespace {

class ModelOptionsDialog : public ::testing::Test {
protected:
    template <class T>
    T* Find(const char* name) {
        T* w = dialog.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Pick(const char* combo, const char* key) {
        QComboBox* c = Find<QComboBox>(combo);
        for (int i = 0; i < c->count(); ++i) {
            const int data = c->itemData(i).toInt();
            if (data >= 0 && zf::kMaterials[data].Key == key) c->setCurrentIndex(i);
        }
    }
    TF_ModelOptions dialog;
};

TEST_F(ModelOptionsDialog, ReadsTheBuildingsSurfacesWithEitherDecimalMark) {
    dialog.Show(ModelChoice{}, 2);
    EXPECT_FALSE(Find<QCheckBox>("CBHeatLoss")->isChecked());
    EXPECT_EQ(Find<QCheckBox>("CBHeatLoss")->text(), "Учитывать теплопотери в ограждающие конструкции");
    Find<QCheckBox>("CBHeatLoss")->setChecked(true);
    Find<QCheckBox>("CBConsistentOutflow")->setChecked(true);
    Pick("ComboWallMaterial", "brick");
    Find<QLineEdit>("EditWallThickness")->setText(" 0,25 ");
    Pick("ComboCeilingMaterial", "concrete");
    Find<QLineEdit>("EditCeilingThickness")->setText("0.2");
    Pick("ComboRoom2WallsMaterial", "steel_sheet");
    Find<QLineEdit>("EditRoom2WallsThickness")->setText("0,001");
    const auto choice = dialog.Choice(nullptr);
    ASSERT_TRUE(choice);
    EXPECT_TRUE(choice->ConsistentOutflow);
    ASSERT_TRUE(choice->HeatLoss);
    EXPECT_EQ(choice->HeatLoss->Walls, zf::MaterialSurface("brick", 0.25));
    EXPECT_EQ(choice->HeatLoss->Ceiling, zf::MaterialSurface("concrete", 0.2));
    ASSERT_EQ(choice->Rooms.size(), 2u);
    EXPECT_FALSE(choice->Rooms[0].Walls);  // "как в здании"
    EXPECT_EQ(choice->Rooms[1].Walls, zf::MaterialSurface("steel_sheet", 0.001));
}

TEST_F(ModelOptionsDialog, AThicknessThatIsNoNumberIsRefusedNamingTheField) {
    dialog.Show(ModelChoice{}, 1);
    Find<QCheckBox>("CBHeatLoss")->setChecked(true);
    for (const char* text : {"abc", "", "0", "1,5", "0,1,2"}) {
        Find<QLineEdit>("EditWallThickness")->setText(text);
        QString why;
        EXPECT_FALSE(dialog.Choice(&why)) << text;
        EXPECT_TRUE(why.startsWith("Стены здания: толщина")) << why.toStdString();
    }
}

TEST_F(ModelOptionsDialog, ASurfaceOfSeveralLayersIsKeptAsGivenAndHeatLossOffClearsTheRooms) {
    ModelChoice given;
    zf::Surface stack = zf::MaterialSurface("insulating_board", 0.0127);
    stack.Layers.push_back(zf::MaterialSurface("aluminium_sheet", 0.00066).Layers[0]);
    given.HeatLoss = zf::project::BuildingSurfaces{stack, std::nullopt};
    given.Rooms = {zf::RoomSurfaces{zf::MaterialSurface("brick", 0.1), std::nullopt}};
    dialog.Show(given, 1);
    auto choice = dialog.Choice(nullptr);
    ASSERT_TRUE(choice && choice->HeatLoss);
    EXPECT_EQ(choice->HeatLoss->Walls, stack);
    EXPECT_EQ(choice->Rooms[0].Walls, zf::MaterialSurface("brick", 0.1));
    Find<QCheckBox>("CBHeatLoss")->setChecked(false);
    choice = dialog.Choice(nullptr);
    ASSERT_TRUE(choice);
    EXPECT_FALSE(choice->HeatLoss);
    EXPECT_FALSE(choice->Rooms[0].Walls);
}

TEST_F(ModelOptionsDialog, TheSurfaceIntervalIsOffByDefaultTakesATenthAndKeepsTheFilesOwn) {
    dialog.Show(ModelChoice{}, 1);
    Find<QCheckBox>("CBHeatLoss")->setChecked(true);
    QCheckBox* interval = Find<QCheckBox>("CBSurfaceInterval");
    EXPECT_FALSE(interval->isChecked());
    EXPECT_EQ(dialog.Choice(nullptr)->HeatLoss->SurfaceInterval, 0.0);
    interval->setChecked(true);
    EXPECT_EQ(dialog.Choice(nullptr)->HeatLoss->SurfaceInterval, 0.1);
    ModelChoice given;
    given.HeatLoss = zf::project::BuildingSurfaces{zf::MaterialSurface("brick", 0.1), std::nullopt, 0.25};
    dialog.Show(given, 1);
    EXPECT_TRUE(interval->text().contains("0,25 с")) << interval->text().toStdString();
    EXPECT_EQ(dialog.Choice(nullptr)->HeatLoss->SurfaceInterval, 0.25);
}

TEST(ModelOptionsButton, StandsClearOfTheDesignedControls) {
    Tf_main main;
    auto* models = main.findChild<QPushButton*>("btnModelOptions");
    ASSERT_NE(models, nullptr);
    for (const char* designed : {"GridRoom", "GridMatrix", "btnAddRoom", "btnDelRoom", "Label18", "btnEvacuation"})
        EXPECT_FALSE(models->geometry().intersects(main.findChild<QWidget*>(designed)->geometry())) << designed;
}

}  // namespace
