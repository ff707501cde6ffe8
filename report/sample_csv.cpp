#include "sample_csv.h"

#include <algorithm>
#include <cstdint>

#include "number_format.h"

namespace zfreport {

int RecordedSampleCount(const zf::TzoneMath& zm) {
    std::size_t count = static_cast<std::size_t>(std::max(zm.SampleCount, 0));
    for (const auto& room : zm.Rooms) count = std::min(count, room->Samples.size());
    return static_cast<int>(count);
}

double SampleTime(const zf::TzoneMath& zm, int m) {
    // m·S as an integer: beyond 32 bits in long runs at small steps.
    const std::int64_t firstStep = static_cast<std::int64_t>(m) * zm.StepsPerSample;
    return static_cast<double>(firstStep) * zm.dt + zm.StepsPerSample * zm.dt / 2;
}

void WriteRoomCsv(std::ostream& out, const zf::TzoneMath& zm, int room) {
    out << 't';
    for (int e = 0; e < zf::ResultSample::kCount; ++e) out << ',' << zf::ResultSample::Name(e);
    out << '\n';
    const zf::TRoom& r = *zm.Rooms[static_cast<std::size_t>(room)];
    const int samples = RecordedSampleCount(zm);
    for (int m = 0; m < samples; ++m) {
        out << NumberText(SampleTime(zm, m));
        const zf::ResultSample& s = r.Samples[static_cast<std::size_t>(m)];
        for (int e = 0; e < zf::ResultSample::kCount; ++e) out << ',' << NumberText(s[e]);
        out << '\n';
    }
}

}  // namespace zfreport
