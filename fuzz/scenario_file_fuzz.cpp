// Fuzz target: the headless runner's scenario-file reader. The input is the file's text.
//
// Properties:
// - the reader never throws (and, under the sanitizers, never crashes or reads out of bounds);
// - a refusal is one non-empty message in valid UTF-8, whatever bytes the file held;
// - an accepted scenario passes the engine's own check, has 1 to kMaxRooms rooms, every
//   value it read finite and not negative, and an n × n opening matrix whose doorway faces
//   come in twins: cells (i, j) and (j, i) hold the same number of faces, entry k of both
//   with equal height, width and state, and no face shared;
// - a document the reader accepts is written back to text that reads as the same document,
//   and writing that again gives the same bytes;
// - an accepted scenario short enough to run here completes with finite samples or fails
//   with a described fault, and leaves the opening matrix as it found it.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/run_fault.h"
#include "model/scenario.h"
#include "project/scenario_file.h"

namespace {

// Steps times (rooms + faces) of the longest run made per input: a few milliseconds.
constexpr double kMaxRunWork = 20000;

std::string_view g_text;  // the input, printed with a failure

[[noreturn]] void Fail(const char* property, std::string_view detail = {}) {
    std::fprintf(stderr, "scenario_file_fuzz: %s\n", property);
    if (!detail.empty()) std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
    std::fprintf(stderr, "  input (%zu bytes): %.*s\n", g_text.size(), static_cast<int>(std::min<std::size_t>(g_text.size(), 2000)),
                 g_text.data());
    std::abort();
}

void Check(bool holds, const char* property, std::string_view detail = {}) {
    if (!holds) Fail(property, detail);
}

bool IsValidUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (c < 0x80) length = 1, code = c;
        else if ((c & 0xE0) == 0xC0) length = 2, code = c & 0x1F;
        else if ((c & 0xF0) == 0xE0) length = 3, code = c & 0x0F;
        else if ((c & 0xF8) == 0xF0) length = 4, code = c & 0x07;
        else return false;
        if (i + length > s.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        // No overlong form, no surrogate, nothing beyond U+10FFFF.
        constexpr std::uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kShortest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
        i += length;
    }
    return true;
}

bool SameFace(const zf::TProem& a, const zf::TProem& b) {
    return a.Height == b.Height && a.Width == b.Width && a.IsOpen == b.IsOpen && a.Mu == b.Mu;
}

// Faces per cell, row by row; also checks the matrix's shape and its twins.
std::vector<std::size_t> CheckMatrix(zf::TzoneMath& zm) {
    const int n = zm.RoomCount();
    Check(zm.Proems.size() == static_cast<std::size_t>(n), "the opening matrix has not one row per room");
    std::vector<std::size_t> counts;
    for (int i = 0; i < n; ++i) {
        Check(zm.Proems[static_cast<std::size_t>(i)].size() == static_cast<std::size_t>(n),
              "a row of the opening matrix has not one cell per room");
        for (int j = 0; j < n; ++j) {
            const zf::TProems& cell = zm.Cell(i, j);
            counts.push_back(cell.size());
            for (const auto& face : cell) {
                Check(face != nullptr, "an empty face in the opening matrix");
                Check(std::isfinite(face->Height) && face->Height >= 0 && std::isfinite(face->Width) && face->Width >= 0,
                      "an opening size is negative or not finite");
            }
            if (j <= i) continue;
            const zf::TProems& twins = zm.Cell(j, i);
            Check(cell.size() == twins.size(), "mirrored cells hold different numbers of doorway faces");
            for (std::size_t k = 0; k < cell.size(); ++k) {
                Check(SameFace(*cell[k], *twins[k]), "twin doorway faces differ");
                Check(cell[k].get() != twins[k].get(), "twin doorway faces are one object");
            }
        }
    }
    return counts;
}

void CheckAccepted(zf::TzoneMath& zm) {
    const std::string refused = zm.CheckInputs();
    Check(refused.empty(), "an accepted scenario fails the engine's check", refused);
    Check(zm.RoomCount() >= 1 && zm.RoomCount() <= zf::project::kMaxRooms, "an accepted scenario has a wrong room count");
    for (const double v : {zm.Qn, zm.Vlin, zm.PsiUd, zm.D, zm.Lo2, zm.Lco, zm.Lco2, zm.Lhcl, zm.Nu, zm.T0, zm.hr,
                           zm.SimTime, zm.dt})
        Check(std::isfinite(v) && v >= 0, "an accepted value is negative or not finite");
    Check(zm.SamplesPerSec >= 1, "an accepted count of samples per second is below 1");
    for (int i = 0; i < zm.RoomCount(); ++i) {
        const zf::TRoom& r = zm.Room(i);
        Check(r.Length > 0 && r.Width > 0 && r.Height > zm.hr, "an accepted room has a size the engine refuses");
    }
}

void CheckShortRun(zf::TzoneMath& zm, const std::vector<std::size_t>& facesBefore) {
    std::size_t faces = 0;
    for (const std::size_t f : facesBefore) faces += f;
    const double steps = std::nearbyint(zm.SimTime / zm.dt);
    if (steps * static_cast<double>(static_cast<std::size_t>(zm.RoomCount()) + faces) > kMaxRunWork) return;

    const bool completed = zm.Run();
    if (completed) {
        Check(!zm.LastFault.Failed() && !zm.Stopped, "a completed run reports a fault or a stop");
        for (int i = 0; i < zm.RoomCount(); ++i) {
            Check(zm.Room(i).Samples.size() == static_cast<std::size_t>(zm.SampleCount),
                  "a room of a completed run has not SampleCount samples");
            for (const zf::ResultSample& sample : zm.Room(i).Samples)
                for (int e = 0; e < zf::ResultSample::kCount; ++e)
                    Check(std::isfinite(sample[e]), "a completed run recorded a value that is not finite",
                          zf::ResultSample::Name(e));
        }
    } else {
        Check(zm.LastFault.Failed(), "a failed run names no fault");
        Check(!zf::DescribeFault(zm.LastFault).empty(), "a failed run's fault has no description");
        Check(zm.Iter >= 0 && zm.Iter <= zm.StepCount, "a failed run's step is outside the run");
    }
    // The leak openings the run adds are gone again, the doorways untouched.
    Check(CheckMatrix(zm) == facesBefore, "the run left the opening matrix changed");
}

void CheckRoundTrip() {
    zf::project::Document document;
    if (zf::project::ReadDocument(g_text, document)) return;
    std::string saved;
    try {
        saved = zf::project::WriteDocument(document);
    } catch (const std::exception& e) {
        Fail("the writer refused a document the reader accepted", e.what());
    }
    zf::project::Document opened;
    const auto refused = zf::project::ReadDocument(saved, opened);
    Check(!refused, "the reader refused a written document", refused.value_or(""));
    Check(opened == document, "a written document reads back different", saved);
    Check(zf::project::WriteDocument(opened) == saved, "a document read back is written with other bytes", saved);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    g_text = std::string_view(reinterpret_cast<const char*>(data), size);
    zf::TzoneMath zm;
    std::optional<std::string> refused;
    try {
        refused = zf::project::ReadScenario(g_text, zm);
    } catch (const std::exception& e) {
        Fail("the reader threw", e.what());
    } catch (...) {
        Fail("the reader threw something that is not an exception");
    }
    CheckRoundTrip();
    if (refused) {
        Check(!refused->empty(), "a refusal without a message");
        Check(IsValidUtf8(*refused), "a refusal message is not valid UTF-8", *refused);
        return 0;
    }
    CheckAccepted(zm);
    CheckShortRun(zm, CheckMatrix(zm));
    return 0;
}
