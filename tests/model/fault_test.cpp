// Why a run failed: the steps computed again after a fault name the step, the room, the quantity and
// the kind of arithmetic fault, and the description says it in words an engineer can act on.

#include <gtest/gtest.h>

#include "test_buildings.h"
#include "model/scenario.h"

namespace {

struct FailedRun {
    zf::TzoneMath z;
    bool ok;
    explicit FailedRun(void (*change)(zf::TzoneMath&)) {
        testing_zf::SetDefaultInputs(z);
        z.dt = 0.01;
        testing_zf::BuildTwoRooms(z);
        change(z);
        ok = z.Run();
    }
    std::string Text() const { return zf::DescribeFault(z.LastFault); }
};

bool Contains(const std::string& text, const char* piece) { return text.find(piece) != std::string::npos; }

}  // namespace

TEST(FaultDetails, McCaffreyWithoutHeatReleaseIsADivisionInThePlume) {
    FailedRun r([](zf::TzoneMath& z) {
        z.UseTanaka = false;
        z.Vlin = 0;
    });
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.z.Iter, 1);
    EXPECT_EQ(r.z.LastFault.Step, 1);
    EXPECT_EQ(r.z.LastFault.Room, 0);
    EXPECT_EQ(r.z.LastFault.What, zf::Quantity::PlumeFlow);
    EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::DivisionByZero);
    EXPECT_TRUE(Contains(r.Text(), "производительность конвективной колонки")) << r.Text();
    EXPECT_TRUE(Contains(r.Text(), "Помещение №1")) << r.Text();
    EXPECT_TRUE(Contains(r.Text(), "деление на ноль")) << r.Text();
}

TEST(FaultDetails, LayerDenserThanOutsideAirIsNamedAsSuch) {
    FailedRun r([](zf::TzoneMath& z) { z.dt = 0.03; });  // the coarse step overshoots late in the run
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::InvalidOperation);
    EXPECT_EQ(r.z.LastFault.What, zf::Quantity::OpeningFlow);
    EXPECT_TRUE(r.z.LastFault.DenserThanAir);
    EXPECT_TRUE(Contains(r.Text(), "Плотность газа в зоне задымления помещения №1 стала больше плотности "
                                   "наружного воздуха"))
        << r.Text();
    EXPECT_TRUE(Contains(r.Text(), "через проем в помещение №2")) << r.Text();
    // It names the step and what avoids the non-physical layer.
    EXPECT_TRUE(Contains(r.Text(), ("слой стал нефизичным на шаге №" + std::to_string(r.z.Iter)).c_str())) << r.Text();
    EXPECT_TRUE(Contains(r.Text(), "Включите учет теплопотерь в ограждающие конструкции")) << r.Text();
}

// With the heat-loss model a layer never fails the step by being denser than outside air: the
// same coarse step runs to its end.
TEST(FaultDetails, HeatLossKeepsTheDenserLayerFromFailing) {
    FailedRun r([](zf::TzoneMath& z) {
        z.dt = 0.03;
        z.Options.HeatLoss.Enabled = true;
        z.Options.HeatLoss.Walls = zf::MaterialSurface("concrete", 0.2);
    });
    EXPECT_TRUE(r.ok) << r.Text();
}

TEST(FaultDetails, OverflowOfTheHeatRelease) {
    FailedRun r([](zf::TzoneMath& z) {
        z.Qn = 1e308;
        z.PsiUd = 10;
    });
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.z.Iter, 1);
    EXPECT_EQ(r.z.LastFault.What, zf::Quantity::HeatRelease);
    EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::Overflow);
    EXPECT_TRUE(Contains(r.Text(), "Помещение №1: не удалось вычислить мощность тепловыделения очага")) << r.Text();
    EXPECT_TRUE(Contains(r.Text(), "переполнение")) << r.Text();
}

TEST(FaultDetails, SecondRoomWithoutFloorIsNamed) {
    FailedRun r([](zf::TzoneMath& z) { z.Room(1).Width = 0; });
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.z.LastFault.Room, 1);
    EXPECT_TRUE(Contains(r.Text(), "Помещение №2")) << r.Text();
}

TEST(FaultDetails, RunsWithoutStepsOrRoomsOrSamples) {
    FailedRun noRooms([](zf::TzoneMath& z) {
        z.DeleteRoom(0);
        z.DeleteRoom(0);
    });
    EXPECT_EQ(noRooms.z.LastFault.Kind, zf::FaultKind::NoFireRoom);
    EXPECT_TRUE(Contains(noRooms.Text(), "нет ни одного помещения"));
    FailedRun coarse([](zf::TzoneMath& z) { z.dt = 0.3; });
    EXPECT_EQ(coarse.z.LastFault.Kind, zf::FaultKind::BadSampling);
    EXPECT_TRUE(Contains(coarse.Text(), "уменьшите шаг"));
    FailedRun zeroStep([](zf::TzoneMath& z) { z.dt = 0; });
    EXPECT_EQ(zeroStep.z.LastFault.Kind, zf::FaultKind::Preparation);
    EXPECT_EQ(zeroStep.z.Iter, 0);
    EXPECT_FALSE(zeroStep.Text().empty());
}

TEST(FaultDetails, CompletedRunHasNoFault) {
    FailedRun r([](zf::TzoneMath& z) { z.SimTime = 5; });
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.z.LastFault.Failed());
    EXPECT_EQ(r.Text(), "");
}

// A sample's sum overflows while every quantity of the step is finite: the run fails in that
// very step, in the recording of the room whose sample it is, however many steps follow.
TEST(FaultDetails, OverflowWhileASampleIsAveragedFailsThatStep) {
    for (double simTime : {0.0002, 0.05}) {
        zf::TzoneMath z;
        testing_zf::SetDefaultInputs(z);
        z.SimTime = simTime;
        z.dt = 0.0001;
        z.AddRoom(4, 5, 3);
        z.AddRoom(4, 5, 1e308);  // the interface at 1e308 m: two states sum beyond the largest double
        ASSERT_FALSE(z.CheckInputs().empty());  // the check refuses it; the run must still cope
        EXPECT_FALSE(z.Run()) << simTime;
        EXPECT_EQ(z.Iter, 1);
        EXPECT_EQ(z.LastFault.Step, 1);
        EXPECT_EQ(z.LastFault.Room, 1);
        EXPECT_EQ(z.LastFault.What, zf::Quantity::Sampling);
        EXPECT_EQ(z.LastFault.Kind, zf::FaultKind::Overflow);
        const std::string text = DescribeFault(z.LastFault);
        EXPECT_TRUE(Contains(text, "Помещение №2: не удалось вычислить запись результатов: переполнение")) << text;
        // Only the initial state was recorded, and it holds no overflowed sum.
        for (const auto& room : z.Rooms) {
            ASSERT_EQ(room->Samples.size(), 1u);
            EXPECT_EQ(room->Samples[0].T2, 293);
        }
    }
}

// The message for a step longer than the recording interval gives both, as set.
TEST(FaultDetails, StepLongerThanTheRecordingIntervalNamesBoth) {
    FailedRun r([](zf::TzoneMath& z) { z.SamplesPerSec = 1000; });  // every 0,001 s at a 0,01 s step
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.z.LastFault.Kind, zf::FaultKind::BadSampling);
    EXPECT_EQ(r.Text(), "Шаг расчета 0,01 с больше интервала записи результатов 0,001 с: уменьшите шаг.");
}
