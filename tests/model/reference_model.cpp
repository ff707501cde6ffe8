// The plain transcription of the calculation (see reference_model.h). Every formula is
// evaluated as written: products and quotients left to right, squares as products, the
// exponents 1/3 and 5/3 as 1.0/3.0 and 5.0/3.0, non-integer powers through Power below.
// Arithmetic faults are read from the floating-point flags after every routine.

#include "reference_model.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace reference {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGasCp = 1040.0;      // specific heat of the gas [J/(kg·K)]
constexpr double kGasR = 287.0;        // gas constant of air [J/(kg·K)]
constexpr double kO2InAir = 0.23;      // oxygen mass fraction of air [-]
constexpr double kRo0T0 = 353.5138;    // outside-air density times its temperature [kg·K/m³]
constexpr double kMaxVisibility = 50.0;  // [m]
constexpr int kFaultFlags = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;

struct Fault {};  // thrown by Check when a routine raised a fault flag

// Exponent 0 gives 1, base 0 with a positive exponent gives 0, otherwise exp(e·ln b).
double Power(double base, double exponent) {
    if (exponent == 0) return 1;
    if (base == 0 && exponent > 0) return 0;
    return std::exp(exponent * std::log(base));
}

struct Face {
    double Height = 0, Width = 0, Mu = 0;
    double Gin = 0, Tin = 0;
};

struct Room {
    double Length = 0, Width = 0, Height = 0;
    double SumIn = 0, SumOut = 0, Q = 0, T2Pred = 0, Ro2Pred = 0, Qloss = 0;
    CritTimes Crit{};
    double OptDens = 0, SmokeAmt = 0, XO2 = 0, MO2 = 0;
    double X[4] = {}, M[4] = {};  // species 1..3
    Values Cur{}, Prev{};
    std::vector<Values> Samples;
    int LastIter = 0;

    double Area() const { return Length * Width; }
    double Perimeter() const { return (Length + Width) * 2; }
};

class Calculation {
public:
    explicit Calculation(const Building& b) : in_(b.In) {
        const std::size_t n = b.Rooms.size();
        for (const RoomSize& s : b.Rooms) {
            Room r;
            r.Length = s.Length;
            r.Width = s.Width;
            r.Height = s.Height;
            rooms_.push_back(r);
        }
        cells_.assign(n, std::vector<std::vector<Face>>(n));
        for (const Opening& o : b.Openings) {
            AddFace(o.Row, o.Col, o.Height, o.Width, o.IsOpen);
            if (o.Row != o.Col) AddFace(o.Col, o.Row, o.Height, o.Width, o.IsOpen);
        }
    }

    Result Run();

private:
    void AddFace(int row, int col, double height, double width, bool open) {
        Face f;
        f.Height = height;
        f.Width = width;
        f.Mu = open ? 0.64 : 0.08;
        cells_[row][col].push_back(f);
    }
    int Count() const { return static_cast<int>(rooms_.size()); }
    void Check(int room) {
        if (std::fetestexcept(kFaultFlags)) {
            faultRoom_ = room;
            throw Fault{};
        }
    }
    void CheckFlow(int room) {
        faultDenser_ = flowDenser_;
        Check(room);
        faultDenser_ = false;
    }

    void Step(int i);
    // Fire
    double BurningArea(int i);
    double HeatRelease(int i);
    double PlumeFlow(int i);
    // Layers
    double PredictedInterfaceHeight(int i);
    double InterfaceHeight(int i);
    double Expansion(int i);
    double LayerDensity(int i, double y);
    double LayerTemperature(double density) const { return in_.T0 * Ro0_ / density; }
    double HeatLoss(int i, double t, double y);
    // Openings
    double Flow(int k, int n, const Face& f);
    // Hazards
    double Profile(int i);
    void CalcTw(int i);
    void CalcLw(int i);
    void CalcO2w(int i);
    void CalcSpecies(int s, int i);
    void CalcRad(int i);
    void SetCritical(Room& r, int which) {
        r.Crit[which] = iter_ * in_.dt;
    }

    Inputs in_;
    std::vector<Room> rooms_;
    std::vector<std::vector<std::vector<Face>>> cells_;
    double Ro0_ = 0, g_ = 9.81, curTime_ = 0;
    int iter_ = 0;
    int faultRoom_ = -1;
    bool flowDenser_ = false;   // the last flow left a layer denser than outside air
    bool faultDenser_ = false;
};

Result Calculation::Run() {
    const int N = static_cast<int>(std::nearbyint(in_.SimTime / in_.dt));
    const int S = static_cast<int>(std::nearbyint((1.0 / in_.SamplesPerSec) / in_.dt));
    const int sampleCount = S > 0 ? (std::max(N, 1) - 1) / S + 1 : 1;
    Ro0_ = kRo0T0 / in_.T0;
    curTime_ = 0;

    for (int i = 0; i < Count(); ++i) {
        Room& r = rooms_[i];
        r.Samples.assign(sampleCount, Values{});
        r.T2Pred = in_.T0;
        r.Ro2Pred = Ro0_;
        r.Prev[eYk] = r.Height;
        r.Prev[eRo2] = Ro0_;
        r.Prev[eT2] = in_.T0;
        r.Prev[eYkPred] = r.Height;
        r.Prev[eTw] = in_.T0;
        r.Prev[eLw] = 50;
        r.Prev[eO2w] = kO2InAir * Ro0_;
        AddFace(i, i, 0.2, (r.Length + r.Width) * 0.3, false);  // the leak opening
    }
    for (Room& r : rooms_) r.Samples[0] = r.Prev;

    bool completed = true;
    try {
        for (int k = 1; k <= N - 1; ++k) {
            std::feclearexcept(FE_ALL_EXCEPT);
            curTime_ = curTime_ + in_.dt;
            iter_ = k;
            Step(0);
            for (int i = 0; i < Count(); ++i)
                if (rooms_[i].LastIter < k) Step(i);
            for (int i = 0; i < Count(); ++i) {
                CalcTw(i);
                Check(i);
                CalcLw(i);
                Check(i);
                CalcO2w(i);
                Check(i);
                for (int s = 1; s <= 3; ++s) {
                    CalcSpecies(s, i);
                    Check(i);
                }
                CalcRad(i);
                Check(i);
            }
            if (S <= 0) throw Fault{};
            const int m = k / S;
            const int received = k - m * S + 1;  // states in sample m so far
            // Every room's sample first, each looked at on its own; recorded only when all
            // are sound, so a fault leaves the samples of the completed steps.
            std::vector<Values> sums;
            for (int i = 0; i < Count(); ++i) {
                Values sum = rooms_[i].Samples[m];
                for (int e = 0; e < kElementCount; ++e) {
                    sum[e] = sum[e] + rooms_[i].Cur[e];
                    if ((k + 1) % S == 0)
                        sum[e] = sum[e] / S;
                    else if (k == N - 1)
                        sum[e] = sum[e] / received;
                }
                Check(i);
                sums.push_back(sum);
            }
            for (int i = 0; i < Count(); ++i) rooms_[i].Samples[m] = sums[static_cast<std::size_t>(i)];
            for (Room& r : rooms_) {
                r.Prev = r.Cur;
                r.Cur = Values{};
            }
        }
    } catch (const Fault&) {
        completed = false;
        // The samples of the steps before the failing one, the last as the mean of the states
        // it received, as when the user stops the run after that step.
        const int last = iter_ - 1;
        const int kept = S > 0 ? last / S + 1 : 1;
        if (S > 0 && (last + 1) % S != 0)
            for (Room& r : rooms_)
                for (int e = 0; e < kElementCount; ++e)
                    r.Samples[kept - 1][e] = r.Samples[kept - 1][e] / (last - (kept - 1) * S + 1);
        for (Room& r : rooms_) r.Samples.resize(static_cast<std::size_t>(kept));
    }
    std::feclearexcept(FE_ALL_EXCEPT);

    Result res;
    res.Completed = completed;
    res.Iter = iter_;
    res.FaultRoom = completed ? -1 : faultRoom_;
    res.FaultDenser = !completed && faultDenser_;
    res.SampleCount = sampleCount;
    for (const Room& r : rooms_) res.Rooms.push_back(RoomResult{r.Samples, r.Crit});
    return res;
}

void Calculation::Step(int i) {
    if (i >= Count()) throw Fault{};  // no rooms: there is no fire room to update
    Room& r = rooms_[i];
    r.LastIter = iter_;
    double inflow = 0;
    if (i == 0) {
        r.Cur[eFp] = BurningArea(i);
        Check(i);
        r.Q = HeatRelease(i);
        Check(i);
        r.Cur[eGk] = PlumeFlow(i);
        Check(i);
        inflow = r.Cur[eGk];
    } else {
        for (int j = 0; j < Count(); ++j) {
            if (j == i) continue;
            for (Face& f : cells_[i][j]) {
                r.Cur[eGk] = r.Cur[eGk] + (f.Tin / in_.T0) * f.Gin;
                inflow = inflow + f.Gin;
                f.Gin = 0;
                f.Tin = 0;
            }
        }
        Check(i);
    }
    r.Qloss = HeatLoss(i, r.Prev[eT2], r.Prev[eYk]);
    Check(i);
    r.Cur[eYkPred] = PredictedInterfaceHeight(i);
    Check(i);
    r.Ro2Pred = LayerDensity(i, r.Cur[eYkPred]);
    Check(i);
    r.T2Pred = LayerTemperature(r.Ro2Pred);
    Check(i);

    r.Cur[eGm] = 0;
    for (int j = 0; j < Count(); ++j) {
        std::vector<Face>& cell = cells_[i][j];
        for (std::size_t k = 0; k < cell.size(); ++k) {
            Face& f = cell[k];
            if (r.Cur[eYkPred] >= f.Height) continue;
            if (j == i) {
                r.Cur[eGm] = r.Cur[eGm] + Flow(i, i, f);
                CheckFlow(i);
                continue;
            }
            if (f.Gin != 0) continue;
            if (rooms_[j].LastIter < iter_) Step(j);
            const double G = Flow(i, j, f);
            CheckFlow(i);
            r.Cur[eGm] = r.Cur[eGm] + G;
            Face& twin = cells_[j][i][k];
            twin.Gin = G;
            twin.Tin = r.T2Pred;
        }
    }

    r.SumOut = r.SumOut + r.Cur[eGm];
    r.SumIn = r.SumIn + inflow;
    r.Qloss = HeatLoss(i, r.T2Pred, r.Cur[eYkPred]);
    Check(i);
    r.Cur[eYk] = InterfaceHeight(i);
    Check(i);
    r.Cur[eRo2] = LayerDensity(i, r.Cur[eYk]);
    Check(i);
    r.Cur[eT2] = LayerTemperature(r.Cur[eRo2]);
    Check(i);
    if (!(r.Cur[eYk] >= 0)) r.Cur[eYk] = 0;
}

// ---- Fire -------------------------------------------------------------------------------

double Calculation::BurningArea(int i) {
    Room& r = rooms_[i];
    const double radius = in_.Vlin * curTime_;
    const double candidate = kPi * (radius * radius);
    if (r.Area() >= candidate) return candidate;
    return r.Area();
}

double Calculation::HeatRelease(int i) {
    Room& r = rooms_[i];
    return in_.Nu * in_.PsiUd * in_.Qn * r.Cur[eFp];
}

double Calculation::PlumeFlow(int i) {
    Room& r = rooms_[i];
    const double Y = r.Prev[eYk];
    if (in_.UseTanaka) {
        return 0.21 * Power(Ro0_ * Ro0_ * g_ * r.Q / (kGasCp * in_.T0), 1.0 / 3.0) *
               Power(1.5 * std::sqrt(r.Cur[eFp]) + Y, 5.0 / 3.0);
    }
    const double Qk = r.Q / 1000;
    const double x = Y / Power(Qk, 0.4);
    if (x < 0.08) return 0.011 * Qk * Power(x, 0.566);
    if (x < 0.2) return 0.026 * Qk * Power(x, 0.909);
    return 0.124 * Qk * Power(x, 1.895);
}

// ---- Layers -----------------------------------------------------------------------------

double Calculation::Expansion(int i) {
    if (i != 0) return 0;
    Room& r = rooms_[i];
    return r.Q * in_.dt / (r.Area() * kGasCp * Ro0_ * in_.T0);
}

double Calculation::PredictedInterfaceHeight(int i) {
    Room& r = rooms_[i];
    const double dt = in_.dt;
    return r.Prev[eYkPred] - r.Cur[eGk] * dt / (r.Area() * Ro0_) +
           r.Prev[eGm] * r.Prev[eT2] * dt / (r.Area() * Ro0_ * in_.T0) - Expansion(i);
}

double Calculation::InterfaceHeight(int i) {
    Room& r = rooms_[i];
    const double dt = in_.dt;
    return r.Prev[eYkPred] - r.Cur[eGk] * dt / (r.Area() * Ro0_) +
           r.Cur[eGm] * r.T2Pred * dt / (r.Area() * Ro0_ * in_.T0) - Expansion(i);
}

double Calculation::LayerDensity(int i, double y) {
    Room& r = rooms_[i];
    if (y >= r.Height || r.SumIn <= r.SumOut) return Ro0_;
    return (r.SumIn * in_.dt - r.SumOut * in_.dt) / (r.Area() * (r.Height - y));
}

double Calculation::HeatLoss(int i, double t, double y) {
    Room& r = rooms_[i];
    const double T0 = in_.T0;
    const double Fw = r.Perimeter() * (r.Height - y) + r.Area();
    double alpha = 0;
    if (t >= 333) {
        alpha = 11.6 * std::exp(0.0023 * (t - 273));
    } else {
        const double Ts = T0 + 0.2 * (t - T0) + 0.00065 * (t - T0) * (t - T0);
        if (t > Ts) alpha = 4.07 * Power(t - Ts, 1.0 / 3.0);
    }
    return alpha * Fw * (t - T0);
}

// ---- Openings ---------------------------------------------------------------------------

double Calculation::Flow(int k, int n, const Face& f) {
    Room& a = rooms_[k];
    Room& b = rooms_[n];
    const double Y1 = a.Cur[eYkPred];
    const double Y2 = b.Cur[eYkPred];
    const double h = f.Height, mu = f.Mu, B = f.Width;
    const double rho = a.Ro2Pred, T = a.T2Pred, rhoN = b.Ro2Pred;
    flowDenser_ = rho > Ro0_;
    double dRho = a.Ro2Pred - a.Prev[eRo2];
    if (dRho < 0) dRho = 0;
    const double Pb = g_ * (Ro0_ - rho);
    const double Pc = kGasR * T * dRho;
    double Pn = g_ * (rhoN - rho);
    if (Pn < 0) Pn = 0;
    auto W = [&](double c, double d) { return mu * B * d * std::sqrt(2 * rho * c * d); };

    if (k == n) {
        if (0 < Y1 && Y1 < h) return W(Pb, h - Y1);
        if (Y1 <= 0) return W(Pb + Pc, h - Y1);
        return 0;
    }
    if (Y1 <= 0 && Y2 >= h) return W(Pb + Pc, h - Y1);
    if (0 < Y1 && Y1 < h && Y2 >= h) return W(Pb, h - Y1);
    if (0 < Y1 && Y1 < h && Y1 < Y2 && Y2 < h) return W(Pb, Y2 - Y1) + W(Y2 * Pb + Pn, h - Y2);
    if (Y1 <= 0 && 0 < Y2 && Y2 < h)
        return W(Pb + Pc, Y2 - Y1) + W(Pc + Y2 * Pb + Pn, h - Y2);
    if (Y1 <= 0 && Y2 <= 0) return W(Pc + Pn, h - Y1);
    return 0;
}

// ---- Hazards ----------------------------------------------------------------------------

double Calculation::Profile(int i) {
    Room& r = rooms_[i];
    const double z = (in_.hr - r.Cur[eYk]) / (r.Height - r.Cur[eYk]);
    return z * std::exp(1.4 * z);
}

void Calculation::CalcTw(int i) {
    Room& r = rooms_[i];
    if (r.Cur[eYk] > in_.hr)
        r.Cur[eTw] = in_.T0;
    else
        r.Cur[eTw] = in_.T0 + Profile(i) * (r.Cur[eT2] - in_.T0);
    if (r.Crit[cT] == 0 && r.Cur[eTw] >= in_.CritT) SetCritical(r, cT);
}

void Calculation::CalcLw(int i) {
    Room& r = rooms_[i];
    const double dt = in_.dt;
    double B = 0;
    if (i == 0) {
        B = in_.PsiUd * r.Cur[eFp] * in_.D * dt;
    } else {
        for (int j = 0; j < Count(); ++j) {
            if (j == i) continue;
            for (const Face& f : cells_[i][j])
                if (f.Gin > 0) B = B + f.Gin * dt * rooms_[j].OptDens / rooms_[j].Cur[eRo2];
        }
    }
    r.SmokeAmt = r.SmokeAmt + (B - r.Cur[eGm] * dt * r.OptDens / r.Cur[eRo2]);
    if (r.Height - r.Cur[eYk] > 0) r.OptDens = r.SmokeAmt / (r.Area() * (r.Height - r.Cur[eYk]));
    if (r.Cur[eYk] > in_.hr) {
        r.Cur[eLw] = kMaxVisibility;
    } else {
        const double extinction = Profile(i) * r.OptDens;
        if (extinction == 0) {
            r.Cur[eLw] = kMaxVisibility;
        } else {
            r.Cur[eLw] = 2.38 / extinction;
            if (r.Cur[eLw] > kMaxVisibility) r.Cur[eLw] = kMaxVisibility;
        }
    }
    if (r.Crit[cVis] == 0 && r.Cur[eLw] <= in_.CritVis) SetCritical(r, cVis);
}

void Calculation::CalcO2w(int i) {
    Room& r = rooms_[i];
    const double dt = in_.dt;
    double B = 0;
    if (i == 0) {
        B = (r.Cur[eGk] - in_.Nu * in_.PsiUd * r.Cur[eFp] * in_.Lo2) * kO2InAir * dt;
    } else {
        for (int j = 0; j < Count(); ++j) {
            if (j == i) continue;
            for (const Face& f : cells_[i][j])
                if (f.Gin > 0) B = B + f.Gin * dt * rooms_[j].XO2;
        }
    }
    r.MO2 = r.MO2 + (B - r.Cur[eGm] * dt * r.XO2);
    if (r.SumIn > 0) r.XO2 = r.MO2 / ((r.SumIn - r.SumOut) * dt);
    if (r.Cur[eYk] > in_.hr)
        r.Cur[eO2w] = kO2InAir * Ro0_;
    else
        r.Cur[eO2w] = kO2InAir * Ro0_ + Profile(i) * (r.XO2 * r.Cur[eRo2] - kO2InAir * Ro0_);
    if (r.Crit[cO2] == 0 && r.Cur[eO2w] <= in_.CritO2) SetCritical(r, cO2);
}

void Calculation::CalcSpecies(int s, int i) {
    Room& r = rooms_[i];
    const double dt = in_.dt;
    const double L = s == 1 ? in_.Lco : s == 2 ? in_.Lco2 : in_.Lhcl;
    const double C = s == 1 ? in_.CritCO : s == 2 ? in_.CritCO2 : in_.CritHCl;
    const int crit = s == 1 ? cCO : s == 2 ? cCO2 : cHCl;
    const int value = s == 1 ? eCOw : s == 2 ? eCO2w : eHClw;
    double B = 0;
    if (i == 0) {
        B = in_.PsiUd * r.Cur[eFp] * L * dt;
    } else {
        for (int j = 0; j < Count(); ++j) {
            if (j == i) continue;
            for (const Face& f : cells_[i][j])
                if (f.Gin > 0) B = B + f.Gin * rooms_[j].X[s] * dt;
        }
    }
    r.M[s] = r.M[s] + (B - r.Cur[eGm] * r.X[s] * dt);
    if (r.SumIn > 0) r.X[s] = r.M[s] / ((r.SumIn - r.SumOut) * dt);
    if (r.Cur[eYk] > in_.hr)
        r.Cur[value] = 0;
    else
        r.Cur[value] = Profile(i) * r.X[s] * r.Cur[eRo2];
    if (r.Crit[crit] == 0 && r.Cur[value] >= C) SetCritical(r, crit);
}

void Calculation::CalcRad(int i) {
    Room& r = rooms_[i];
    if (r.Cur[eFp] > 0)
        r.Cur[eqRad] = 0.55 * r.Q / 113.09733552923255;  // 36π
    else
        r.Cur[eqRad] = 0;
    if (r.Crit[cRad] == 0 && r.Cur[eqRad] >= in_.CritRad) SetCritical(r, cRad);
}

}  // namespace

Result Run(const Building& building) {
    Calculation calc(building);
    return calc.Run();
}

}  // namespace reference
