#pragma once
// One room's recorded samples as a CSV file, as the headless runner writes room_N.csv and the
// results window saves the room it shows.

#include <ostream>

#include "model/scenario.h"

namespace zfreport {

// Number of samples every room holds after the run (SampleCount, or fewer if the run ended
// before it sized them).
int RecordedSampleCount(const zf::TzoneMath& zm);

// Time of sample m [s]: the middle of its sampling interval, as the results window shows it.
double SampleTime(const zf::TzoneMath& zm, int m);

// Header "t,Fp,Gk,...,HClw", then one row per sample: its time and its 14 values as the
// shortest texts that read back to the same doubles, decimal point, comma between.
// `room` is 0-based.
void WriteRoomCsv(std::ostream& out, const zf::TzoneMath& zm, int room);

}  // namespace zfreport
