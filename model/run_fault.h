#pragma once
// Where and why a run failed: the step, the room, the quantity being computed and the kind
// of arithmetic fault. Found by computing the steps since the last clean look at the flags
// again, with a check after every routine.

#include <optional>
#include <string>

namespace zf {

enum class FaultKind : int {
    None = 0,
    DivisionByZero,
    InvalidOperation,  // square root or fractional power of a negative number, 0/0, ...
    Overflow,
    BadSampling,       // steps per sample of 0 or less: no sample to add the state into
    Preparation,       // the counts or the outside-air density could not be formed
    NoFireRoom,        // the building has no rooms
    OutOfMemory,       // the recorded samples do not fit in memory
};

enum class Quantity : int {
    None = 0,
    FireRoomMissing,        // no rooms: there is no fire room to update
    BurningArea,
    HeatRelease,
    PlumeFlow,
    Inflow,                 // intake of the flows neighbours posted
    HeatLoss,
    PredictedInterface,
    PredictedDensity,
    PredictedTemperature,
    OpeningFlow,
    Interface,
    Density,
    Temperature,
    WorkingZoneTemperature,
    Visibility,
    Oxygen,
    CO,
    CO2,
    HCl,
    Radiation,
    Sampling,
    RunCounts,
};

struct RunFault {
    FaultKind Kind = FaultKind::None;
    Quantity What = Quantity::None;
    int Step = 0;     // step in which it occurred (0: before the first step)
    int Room = -1;    // room index, −1 when no room is concerned
    int Column = -1;  // for an opening flow: the other room (Column == Room: the outside)
    int Face = -1;    // for an opening flow: entry in the cell
    bool DenserThanAir = false;  // the layer was denser than outside air (negative buoyancy)
    // For a step longer than the recording interval: the step and the interval [s].
    double StepLength = 0;
    double SampleInterval = 0;
    // The value the quantity came out with (infinite, not a number, or a number beyond sense)
    // in the unit DescribeFault names; none when the quantity is not one value (the sample).
    std::optional<double> Value;

    bool Failed() const { return Kind != FaultKind::None; }
};

// Russian sentences an engineer can act on: what failed, where and with what value, and what
// to do, e.g. "Помещение №2: не удалось вычислить ...: деление на ноль; получено значение:
// бесконечность К (шаг №12). Проверьте ...".
std::string DescribeFault(const RunFault& fault);

}  // namespace zf
