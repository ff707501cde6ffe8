// One room's step of the two-zone model: what enters the smoke layer, the layer predicted
// before the openings, the flows out through every face the layer reaches, and the layer after
// them. The step is compiled twice from this one source: the fast copy (Look = false) the run
// takes, with no look at the floating-point flags, and the looking copy (Look = true), which
// follows every part with a look (Checkpoint) while the run computes steps again to locate a
// fault. What the run leaves out because it already holds the result is decided in speed.h,
// at the step's start.

#include "model/speed.h"

namespace zf {

// A room's step on its own (outside the time loop, or while the run looks for a fault): the
// looking copy while the run is checking, else the fast one.
void TzoneMath::Step(int i) {
    if (State_.Checking)
        Step<true>(i);
    else
        Step<false>(i);
}

// One room's step: the fire's plume in the fire room, the flows the neighbours posted
// elsewhere; the layer predicted before the openings; the outflow through every face the layer
// reaches (stepping a neighbour first where its prediction is needed); the layer after them.
// Flattened: every routine of the step is inlined into it (the recursion into a neighbour's
// step aside), so no call spills the floating-point registers; without it the two copies
// push the compiler past its inlining budget and the flows and densities stay out of line.
template <bool Look>
[[gnu::flatten]] void TzoneMath::Step(int i) {
    Room(i).LastIter = Iter;
    if (StepRepeats(i)) return;  // the speed machinery copied the last step
    bool posted = false;         // a neighbour had posted a flow into one of the room's faces
    const double inflow = i == 0 ? FireSource<Look>(i) : TakeInPostedFlows<Look>(i, posted);
    InterfaceTerms terms = SharedInterfaceTerms(i, LayerProductsOf(i));
    CheckpointOf<Look>(i, Quantity::PredictedInterface, std::nullopt);  // the terms are the predicted interface's
    PredictLayer<Look>(i, terms);
    const bool reached = FlowOutThroughOpenings<Look>(i);
    UpdateLayer<Look>(i, terms, inflow);
    StepComputed(i, !posted && !reached);
}

// The fire room's source: burning area, heat release and the plume's mass flow into the
// layer, which is what the layer takes in [kg/s].
template <bool Look>
double TzoneMath::FireSource(int i) {
    TRoom& r = Room(i);
    r.Cur.Fp = BurningArea(i);
    Checkpoint<Look>(i, Quantity::BurningArea);
    r.Q = HeatRelease(i);
    Checkpoint<Look>(i, Quantity::HeatRelease);
    r.HeatReleased += r.Q * dt;
    r.Cur.Gk = PlumeFlow(i);
    Checkpoint<Look>(i, Quantity::PlumeFlow);
    return r.Cur.Gk;
}

// Takes in what the neighbours posted since this room's last step and returns its mass rate
// [kg/s]; Gk counts each flow at its own temperature (its volume at outside density).
template <bool Look>
double TzoneMath::TakeInPostedFlows(int i, bool& posted) {
    TRoom& r = Room(i);
    double inflow = 0;
    for (const TInflowFace& in : State_.Inflow[static_cast<std::size_t>(i)]) {
        TProem& f = *in.Face;
        posted = posted || f.Gin != 0 || f.Tin != 0;
        r.Cur.Gk = r.Cur.Gk + (f.Tin / T0) * f.Gin;
        inflow = inflow + f.Gin;
        f.Gin = 0;
        f.Tin = 0;
    }
    Checkpoint<Look>(i, Quantity::Inflow);
    return inflow;
}

// The layer before this step's opening flows: interface, density and temperature, after the
// heat loss of the previous layer (with the heat-loss option: this step's loss to the
// surfaces, which both interface heights take in).
template <bool Look>
void TzoneMath::PredictLayer(int i, InterfaceTerms& terms) {
    TRoom& r = Room(i);
    if (Options.HeatLoss.Enabled) {
        terms.Cooling = EnclosureLoss(i);
        Checkpoint<Look>(i, Quantity::HeatLoss);
    } else {
        LayerHeatLoss<Look>(i, r.Prev.T2, r.Prev.Yk);  // of the previous layer
    }
    r.Cur.YkPred = PredictedInterfaceHeight(i, terms);
    Checkpoint<Look>(i, Quantity::PredictedInterface);
    r.Ro2Pred = LayerDensity(i, r.Cur.YkPred);
    Checkpoint<Look>(i, Quantity::PredictedDensity);
    r.T2Pred = LayerTemperature(r.Ro2Pred);
    Checkpoint<Look>(i, Quantity::PredictedTemperature);
}

// The outflow Gm through every face the predicted layer reaches down to. Through a doorway
// the flow is posted on the twin face for the neighbour to take in, unless the neighbour's own
// flow through it is still pending; the neighbour is stepped first when its prediction of this
// step is missing. Returns whether the layer reached any opening.
template <bool Look>
bool TzoneMath::FlowOutThroughOpenings(int i) {
    TRoom& r = Room(i);
    bool reached = false;
    r.Cur.Gm = 0;
    for (const TCellLink& link : State_.Links[static_cast<std::size_t>(i)]) {
        const int j = link.Col;
        const TProems& faces = *link.Faces;
        for (std::size_t k = 0; k < faces.size(); ++k) {
            TProem& f = *faces[k];
            if (r.Cur.YkPred >= f.Height) continue;  // the layer does not reach the opening
            reached = true;
            if (j != i) {
                if (f.Gin != 0) continue;  // the neighbour's flow through this doorway is pending
                if (Room(j).LastIter < Iter) Step<Look>(j);
            }
            const double G = OpeningFlow(i, j, f);
            CheckpointOf<Look>(i, Quantity::OpeningFlow, G, j, static_cast<int>(k));
            r.Cur.Gm = r.Cur.Gm + G;
            if (j == i || j == 0) r.LeavingFlowHeat += G * r.T2Pred;  // leaves every layer balance
            if (j != i) PostInto(j, *(*link.Twins)[k], G, r.T2Pred);
        }
    }
    return reached;
}

// A flow posted on the twin face (the same doorway seen from room j), for room j to take in:
// its mass rate [kg/s] and temperature [K].
void TzoneMath::PostInto(int j, TProem& twin, double flow, double temperature) {
    twin.Gin = flow;
    twin.Tin = temperature;
    WakeUp(j);  // a resting room takes its inflow in its next step
}

// The sums of what entered and left, the heat loss of the predicted layer, and the layer
// after the step's flows; the interface stops at the floor.
template <bool Look>
void TzoneMath::UpdateLayer(int i, const InterfaceTerms& terms, double inflow) {
    TRoom& r = Room(i);
    r.SumOut = r.SumOut + r.Cur.Gm;
    r.SumIn = r.SumIn + inflow;
    const bool heatLoss = Options.HeatLoss.Enabled;  // its loss was taken before the flows
    if (!heatLoss) LayerHeatLoss<Look>(i, r.T2Pred, r.Cur.YkPred);  // of the predicted layer
    r.Cur.Yk = InterfaceHeight(i, terms);
    Checkpoint<Look>(i, Quantity::Interface);
    r.Cur.Ro2 = LayerDensity(i, r.Cur.Yk);  // from the unclamped height
    Checkpoint<Look>(i, Quantity::Density);
    r.Cur.T2 = LayerTemperature(r.Cur.Ro2);
    Checkpoint<Look>(i, Quantity::Temperature);
    if (heatLoss) NeutralLayerGuard(i);
    if (!(r.Cur.Yk >= 0)) r.Cur.Yk = 0;
}

template void TzoneMath::Step<false>(int);
template void TzoneMath::Step<true>(int);

}  // namespace zf
