// The escape routes' calculation sheet: the table rows used, the formula with its numbers, and
// the totals, for the second worked route (a crowd before a narrow door).
#include <gtest/gtest.h>

#include "route_sheet.h"

using namespace zfreport;

namespace {

TEST(RouteSheet, SecondWorkedRouteWrittenOut) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.dt = 0.1;
    zm.Iter = 6000;
    zm.Room(0).CritTimeT = 300;
    EvacuationInputs inputs;
    zf::flow::Route route;
    route.Name = "Зал";
    route.People = 100;
    route.Projection = 0.125;
    route.StartDelay = 30;
    using zf::flow::SegmentKind;
    route.Segments = {{SegmentKind::Horizontal, 20, 2.5, 0}, {SegmentKind::Doorway, 0, 1.0, 0}, {SegmentKind::Horizontal, 15, 2}};
    inputs.Routes = {route};
    const std::vector<RouteSheet> sheets = RouteSheets(JudgeRun(zm, inputs), inputs.Routes, ",");
    ASSERT_EQ(sheets.size(), 1u);
    const RouteSheet& s = sheets[0];
    EXPECT_EQ(s.Title, "Путь 1 «Зал»: N = 100 чел., f = 0,125 м², tнэ = 30,0 с");
    ASSERT_EQ(s.Cells.size(), 4u);  // the header and three segments
    EXPECT_EQ(s.Cells[1][5], "D 0,20: V 60, q 12,0; D 0,30: V 47, q 14,1");
    EXPECT_EQ(s.Cells[1][6], "D = N·f/(l·δ) = 12,500/(20,00·2,50) = 0,250");
    EXPECT_EQ(s.Cells[2][5], "проем уже 1,6 м при D ≥ 0,9: q = 2,5 + 3,75·δ = 6,25");
    EXPECT_EQ(s.Cells[2][6], "q = Σq·δ/δ = 32,625/1,00 = 32,625 > q_max 19,6: скопление; Δt = N·f·[1/(q·δ) − 1/Σq·δ] = "
                             "12,500·[1/(6,25·1,00) − 1/32,625] = 1,6169");
    EXPECT_EQ(s.Cells[2][11], "1,6169");
    EXPECT_EQ(s.Cells[3][5], "D 0,01: V 100, q 1,0; D 0,05: V 100, q 5,0");
    ASSERT_GE(s.Totals.size(), 4u);
    EXPECT_EQ(s.Totals[0], "tр = Σ(l/V + Δt) = 0,3738 + 1,6169 + 0,1500 = 2,1407 мин (128,4 с)");
    EXPECT_EQ(s.Totals[1].rfind("tск = 2,0000 мин", 0), 0u) << s.Totals[1];
    EXPECT_EQ(s.Totals[2], "Pэ = 0,999");
    EXPECT_EQ(s.Totals[3], "помещение №1: tнэ + t выхода = 30,0 + 119,4 = 149,4 с, f·tбл = 240,0 с — безопасно");
}

}  // namespace
