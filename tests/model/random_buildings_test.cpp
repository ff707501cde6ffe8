// Thousands of generated buildings and inputs: whatever the editor's operations build and
// whatever numbers are typed, a run completes, is refused by the input check with a message,
// or fails with its step — never a crash or a hang — and the opening matrix stays square with
// every doorway face twinned, without the run's leak openings left behind.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "test_buildings.h"
#include "model/scenario.h"

namespace {

// The user's openings, kept beside the scenario to check the matrix against.
struct Opening {
    int row, col;
    double height, width;
    bool open;
};

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    double Pick(std::initializer_list<double> values) {
        std::uniform_int_distribution<std::size_t> d(0, values.size() - 1);
        return *(values.begin() + d(rng_));
    }
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    double Real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng_); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(rng_); }

    double Size() { return Chance(0.05) ? Pick({0.0, 1e-6, 1e4}) : Real(1, 12); }

    void Inputs(zf::TzoneMath& z) {
        testing_zf::SetDefaultInputs(z);
        z.UseTanaka = Chance(0.5);
        z.dt = Pick({0.01, 0.02, 0.05, 0.1, 0.3, 0.0});
        z.SimTime = Pick({0.0, 0.05, 5.0, 20.0, 60.0});
        z.hr = Pick({0.0, 1.0, 1.7, 2.5, 4.0, 50.0});
        if (Chance(0.1)) z.T0 = Pick({0.0, 250.0, 350.0, 400.0, 1000.0});
        if (Chance(0.1)) z.Vlin = Pick({0.0, 0.1, 1.0});
        if (Chance(0.1)) z.Qn = Pick({0.0, 1e9});
        if (Chance(0.1)) z.PsiUd = Pick({0.0, 1.0});
        if (Chance(0.05)) z.Nu = 0;
    }

    // Adds and deletes rooms and openings as the editor would, mirroring them in `openings`.
    void Edit(zf::TzoneMath& z, std::vector<Opening>& openings) {
        const int actions = Int(1, 14);
        for (int a = 0; a < actions; ++a) {
            const int n = z.RoomCount();
            const int what = Int(0, 9);
            if (what <= 2 || n == 0) {
                z.AddRoom(Size(), Size(), Chance(0.05) ? Pick({0.0, 1e4}) : Real(2, 5));
            } else if (what == 3) {
                const int index = Int(-1, n);  // sometimes outside the list
                z.DeleteRoom(index);
                if (index >= 0 && index < n) RemoveRoom(openings, index);
            } else if (what <= 7) {
                const int r = Int(0, n - 1), c = Chance(0.3) ? r : Int(0, n - 1);
                const int copies = Chance(0.2) ? Int(2, 4) : 1;  // several doorways between one pair
                for (int k = 0; k < copies; ++k) {
                    Opening o{r, c, Pick({0.1, 1.0, 2.0, 2.9, 5.0}), Pick({0.0, 0.5, 0.9, 2.0}), Chance(0.7)};
                    z.AddProem(r, c, o.height, o.width, o.open);
                    if (r != c) z.AddProem(c, r, o.height, o.width, o.open);
                    openings.push_back(o);
                }
            } else {
                const int r = Int(0, n - 1), c = Int(0, n - 1);
                const int k = Int(-1, 2);
                DeleteOpening(openings, r, c, k);
                z.DeleteProem(r, c, k);
            }
        }
    }

private:
    static void RemoveRoom(std::vector<Opening>& openings, int index) {
        std::vector<Opening> kept;
        for (Opening o : openings) {
            if (o.row == index || o.col == index) continue;
            if (o.row > index) --o.row;
            if (o.col > index) --o.col;
            kept.push_back(o);
        }
        openings = kept;
    }
    // Entry k of cell (r, c) is the k-th opening listed for that unordered pair in order.
    static void DeleteOpening(std::vector<Opening>& openings, int r, int c, int k) {
        if (k < 0) return;
        int seen = 0;
        for (auto it = openings.begin(); it != openings.end(); ++it) {
            const bool same = (it->row == r && it->col == c) || (it->row == c && it->col == r);
            if (same && seen++ == k) {
                openings.erase(it);
                return;
            }
        }
    }

    std::mt19937 rng_;
};

// The matrix holds exactly the mirrored openings: square, twins with equal values in
// mirrored cells at equal positions, one face on the diagonal per outside opening.
void ExpectMatrixMatches(zf::TzoneMath& z, const std::vector<Opening>& openings, int building) {
    const int n = z.RoomCount();
    ASSERT_EQ(static_cast<int>(z.Proems.size()), n) << "building " << building;
    std::vector<std::vector<std::size_t>> expected(static_cast<std::size_t>(n), std::vector<std::size_t>(n, 0));
    for (const Opening& o : openings) {
        ++expected[o.row][o.col];
        if (o.row != o.col) ++expected[o.col][o.row];
    }
    for (int r = 0; r < n; ++r) {
        ASSERT_EQ(static_cast<int>(z.Proems[r].size()), n) << "building " << building;
        for (int c = 0; c < n; ++c) {
            zf::TProems& cell = z.Cell(r, c);
            ASSERT_EQ(cell.size(), expected[r][c]) << "building " << building << " cell " << r << "," << c;
            if (r == c) continue;
            for (std::size_t k = 0; k < cell.size(); ++k) {
                const zf::TProem& a = *cell[k];
                const zf::TProem& b = *z.Cell(c, r)[k];
                ASSERT_NE(&a, &b);
                ASSERT_EQ(a.Height, b.Height);
                ASSERT_EQ(a.Width, b.Width);
                ASSERT_EQ(a.IsOpen, b.IsOpen);
                ASSERT_EQ(a.Mu, b.Mu);
            }
        }
    }
}

}  // namespace

TEST(RandomBuildings, EveryRunEndsCleanly) {
    constexpr int kBuildings = 1200;
    Generator gen(20261207);
    int completed = 0, refused = 0, failed = 0;
    for (int b = 0; b < kBuildings; ++b) {
        zf::TzoneMath z;
        std::vector<Opening> openings;
        gen.Inputs(z);
        gen.Edit(z, openings);
        ExpectMatrixMatches(z, openings, b);
        if (HasFatalFailure()) return;

        const std::string refusal = z.CheckInputs();
        if (!refusal.empty()) {
            ++refused;
            EXPECT_GT(refusal.size(), 10u);
            if (!gen.Chance(0.5)) continue;  // the window would stop here; half are run anyway
        }
        const bool ok = z.Run();
        if (ok) {
            ++completed;
            EXPECT_EQ(z.Iter, z.StepCount > 1 ? z.StepCount - 1 : 0) << "building " << b;
            for (auto& room : z.Rooms) EXPECT_EQ(static_cast<int>(room->Samples.size()), z.SampleCount);
        } else {
            ++failed;
            EXPECT_TRUE(z.LastFault.Failed()) << "building " << b;
            EXPECT_GE(z.Iter, 0);
            EXPECT_LE(z.Iter, z.StepCount);
            EXPECT_FALSE(zf::DescribeFault(z.LastFault).empty());
        }
        ExpectMatrixMatches(z, openings, b);  // leak openings gone, the user's openings intact
        if (HasFatalFailure()) return;
    }
    // The generator reaches all three outcomes in numbers.
    EXPECT_GT(completed, 100);
    EXPECT_GT(refused, 100);
    EXPECT_GT(failed, 50);
    RecordProperty("completed", completed);
    RecordProperty("refused", refused);
    RecordProperty("failed", failed);
}
