// A document and the model: building a scenario from one, taking one from a scenario, and
// the checks that keep it from running, worded with the file's keys.

#include "project/document.h"
#include "project/element_inputs.h"

#include "project/file_text.h"

namespace zf::project {

void Apply(const Document& document, TzoneMath& fresh) {
    for (const zf::Input& input : zf::kInputs) input.In(fresh) = document.Params.*input.Field;
    fresh.SamplesPerSec = document.Params.SamplesPerSec;
    fresh.UseTanaka = document.Params.UseTanaka;
    for (const Room& room : document.Rooms) fresh.AddRoom(room.Length, room.Width, room.Height);
    for (const Opening& o : document.Openings) {
        fresh.AddProem(o.From, o.To, o.Height, o.Width, o.Open);
        if (o.From != o.To) fresh.AddProem(o.To, o.From, o.Height, o.Width, o.Open);
    }
    fresh.Options.ConsistentOutflow = document.ConsistentOutflow;
    HeatLossOptions& heat = fresh.Options.HeatLoss;
    heat = HeatLossOptions{};
    if (document.HeatLoss) {
        heat.Enabled = true;
        heat.Walls = document.HeatLoss->Walls;
        heat.Ceiling = document.HeatLoss->Ceiling;
        heat.SurfaceInterval = document.HeatLoss->SurfaceInterval;
    }
    for (const Room& room : document.Rooms) heat.Rooms.push_back(RoomSurfaces{room.Walls, room.Ceiling});
}

bool Document::UsesModelOptions() const {
    for (const ModelSwitch& option : kModelSwitches)
        if (option.On(*this)) return true;
    for (const Room& room : Rooms)
        if (room.Walls || room.Ceiling) return true;
    return false;
}

bool Document::UsesOwnCriticalValues() const {
    for (const zf::Input& input : zf::kInputs)
        if (input.Group == zf::InputGroup::Critical && Params.*input.Field != input.Default) return true;
    return false;
}

int Document::FormatVersion() const {
    if (UsesObjectInfo()) return kObjectFormatVersion;
    if (!Routes.empty()) return kRoutesFormatVersion;
    if (UsesOwnCriticalValues()) return kCriticalFormatVersion;
    return UsesModelOptions() ? kOptionsFormatVersion : kPlainFormatVersion;
}

Document Capture(const TzoneMath& scenario) {
    Document document;
    for (const zf::Input& input : zf::kInputs) document.Params.*input.Field = input.In(scenario);
    document.Params.SamplesPerSec = scenario.SamplesPerSec;
    document.Params.UseTanaka = scenario.UseTanaka;
    const HeatLossOptions& heat = scenario.Options.HeatLoss;
    for (std::size_t i = 0; i < scenario.Rooms.size(); ++i) {
        const auto& room = scenario.Rooms[i];
        const RoomSurfaces own = i < heat.Rooms.size() ? heat.Rooms[i] : RoomSurfaces{};
        document.Rooms.push_back({room->Length, room->Width, room->Height, {}, {}, own.Walls, own.Ceiling});
    }
    document.ConsistentOutflow = scenario.Options.ConsistentOutflow;
    if (heat.Enabled) document.HeatLoss = BuildingSurfaces{heat.Walls, heat.Ceiling, heat.SurfaceInterval};
    const std::size_t n = scenario.Rooms.size();
    for (std::size_t i = 0; i < n; ++i) {
        // Cells below the diagonal hold the twins of the upper ones.
        for (std::size_t j = i; j < n && j < scenario.Proems[i].size(); ++j) {
            for (const auto& face : scenario.Proems[i][j])
                document.Openings.push_back(
                    {static_cast<int>(i), static_cast<int>(j), face->Height, face->Width, face->IsOpen});
        }
    }
    return document;
}

std::optional<std::string> RunRefusal(const Document& document) {
    const Parameters& p = document.Params;
    // Without a fire room there is nothing to compute: the run would only fail in its first step.
    if (document.Rooms.empty())
        return "ключ \"rooms\": в сценарии нет ни одного помещения (помещение №1 — помещение очага пожара)";
    // The engine's check refuses these too; here the message can name the file's key.
    if (p.dt == 0) return "ключ \"dt\": шаг расчета должен быть больше нуля";
    if (p.T0 == 0) return "ключ \"T0\": температура наружного воздуха должна быть больше нуля";
    for (std::size_t i = 0; i < document.Rooms.size(); ++i) {
        const Room& room = document.Rooms[i];
        const std::string owner = RoomOwner(i);
        for (const ElementInput<Room>& size : kRoomInputs)
            if (!(room.*size.Field > 0)) return Place(owner, size.Key) + ": размер помещения должен быть больше нуля";
        // The working zone must lie below the ceiling, or the layer can never be above it.
        if (p.hr >= room.Height)
            return Place(owner, "height") + ": помещение высотой " + NumberText(room.Height) +
                   " м не выше рабочей зоны (ключ \"hr\": " + NumberText(p.hr) + " м)";
    }
    const zf::flow::RouteCheck routes = zf::flow::CheckRoutes(document.Routes, static_cast<int>(document.Rooms.size()));
    if (!routes.Refusals.empty())
        return "ключ \"evacuation_routes\", " + zf::flow::ProblemPlace(routes.Refusals.front()) + ": " +
               routes.Refusals.front().Text;
    return std::nullopt;
}

zfreport::EvacuationInputs Document::Evacuation() const {
    zfreport::EvacuationInputs inputs;
    inputs.SafetyFactor = SafetyFactor;
    for (const Room& room : Rooms) inputs.Rooms.push_back(room.Evacuation);
    inputs.Routes = Routes;
    return inputs;
}

}  // namespace zf::project
