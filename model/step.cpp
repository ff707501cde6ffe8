// One room's step of the two-zone model: what enters the smoke layer, the layer predicted
// before the openings, the flows out through every face the layer reaches, and the layer after
// them. Each part is followed by a look at the floating-point flags (Checkpoint), which costs
// nothing until the run computes steps again to locate a fault. What the run leaves out
// because it already holds the result is decided in speed.cpp, at the step's start.

#include "model/speed.h"

namespace zf {

// One room's step: the fire's plume in the fire room, the flows the neighbours posted
// elsewhere; the layer predicted before the openings; the outflow through every face the layer
// reaches (stepping a neighbour first where its prediction is needed); the layer after them.
void TzoneMath::Step(int i) {
    Room(i).LastIter = Iter;
    if (StepRepeats(i)) return;  // the speed machinery copied the last step
    bool posted = false;         // a neighbour had posted a flow into one of the room's faces
    const double inflow = i == 0 ? FireSource(i) : TakeInPostedFlows(i, posted);
    const InterfaceTerms terms = SharedInterfaceTerms(i, LayerProductsOf(i));
    Checkpoint(i, Quantity::PredictedInterface);  // the terms are the predicted interface's
    PredictLayer(i, terms);
    const bool reached = FlowOutThroughOpenings(i);
    UpdateLayer(i, terms, inflow);
    StepComputed(i, !posted && !reached);
}

// The fire room's source: burning area, heat release and the plume's mass flow into the
// layer, which is what the layer takes in [kg/s].
double TzoneMath::FireSource(int i) {
    TRoom& r = Room(i);
    r.Cur.Fp = BurningArea(i);
    Checkpoint(i, Quantity::BurningArea);
    r.Q = HeatRelease(i);
    Checkpoint(i, Quantity::HeatRelease);
    r.Cur.Gk = PlumeFlow(i);
    Checkpoint(i, Quantity::PlumeFlow);
    return r.Cur.Gk;
}

// Takes in what the neighbours posted since this room's last step and returns its mass rate
// [kg/s]; Gk counts each flow at its own temperature (its volume at outside density).
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
    Checkpoint(i, Quantity::Inflow);
    return inflow;
}

// The layer before this step's opening flows: interface, density and temperature, after the
// heat loss of the previous layer.
void TzoneMath::PredictLayer(int i, const InterfaceTerms& terms) {
    TRoom& r = Room(i);
    LayerHeatLoss(i, r.Prev.T2, r.Prev.Yk);  // of the previous layer
    r.Cur.YkPred = PredictedInterfaceHeight(i, terms);
    Checkpoint(i, Quantity::PredictedInterface);
    r.Ro2Pred = LayerDensity(i, r.Cur.YkPred);
    Checkpoint(i, Quantity::PredictedDensity);
    r.T2Pred = LayerTemperature(r.Ro2Pred);
    Checkpoint(i, Quantity::PredictedTemperature);
}

// The outflow Gm through every face the predicted layer reaches down to. Through a doorway
// the flow is posted on the twin face for the neighbour to take in, unless the neighbour's own
// flow through it is still pending; the neighbour is stepped first when its prediction of this
// step is missing. Returns whether the layer reached any opening.
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
                if (Room(j).LastIter < Iter) Step(j);
            }
            const double G = OpeningFlow(i, j, f);
            Checkpoint(i, Quantity::OpeningFlow, j, static_cast<int>(k));
            r.Cur.Gm = r.Cur.Gm + G;
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
void TzoneMath::UpdateLayer(int i, const InterfaceTerms& terms, double inflow) {
    TRoom& r = Room(i);
    r.SumOut = r.SumOut + r.Cur.Gm;
    r.SumIn = r.SumIn + inflow;
    LayerHeatLoss(i, r.T2Pred, r.Cur.YkPred);  // of the predicted layer
    r.Cur.Yk = InterfaceHeight(i, terms);
    Checkpoint(i, Quantity::Interface);
    r.Cur.Ro2 = LayerDensity(i, r.Cur.Yk);  // from the unclamped height
    Checkpoint(i, Quantity::Density);
    r.Cur.T2 = LayerTemperature(r.Cur.Ro2);
    Checkpoint(i, Quantity::Temperature);
    if (!(r.Cur.Yk >= 0)) r.Cur.Yk = 0;
}

}  // namespace zf
