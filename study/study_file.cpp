// Reading a study file and building the scenario of each run.

#include "study_file.h"

#include <cmath>
#include <limits>
#include <set>

#include "input_text.h"
#include "number_format.h"
#include "study_law.h"
#include "project/element_inputs.h"
#include "project/scenario_file.h"
#include "project/strict_json.h"
#include "model/scenario.h"

namespace zfcli::study {
namespace {

using namespace law;  // the shared pieces of the reader

// "zonefire_version" is what an output folder's study.json adds: the program that computed it.
constexpr std::string_view kStudyKeys[] = {"base", "base_file", "runs", "seed", "sampling", "vary", "zonefire_version"};
// Top-level numbers of a scenario a study may vary: the file's number keys, and the samples
// per second as a choice of whole numbers.
bool IsTopNumber(std::string_view key) {
    if (key == "SamplesPerSec") return true;
    for (const zf::Input& k : zf::kInputs)
        if (k.Key == key) return true;
    return false;
}
// "length, width, height": the keys of an element's numbers (project/element_inputs.h), which a
// study may vary, after `prefix`.
template <class Owner, std::size_t N>
std::string KeyList(const zf::project::ElementInput<Owner> (&table)[N], std::string_view prefix = {}) {
    std::string list;
    for (const auto& row : table) list += (list.empty() ? "" : ", ") + std::string(prefix) + std::string(row.Key);
    return list;
}
constexpr std::string_view kRouteList = "evacuation_routes";
// An entry of "vary", for messages: "ключ \"vary\", параметр №2 (\"Vlin\"): ".
std::string EntryName(std::size_t number, const json& entry) {
    std::string name = "ключ \"vary\", параметр №" + std::to_string(number);
    if (const json* input = entry.is_object() ? Find(entry, "input") : nullptr; input && input->is_string())
        name += " (" + Quoted(input->get<std::string>()) + ")";
    return name + ": ";
}

// The surface a study varies: the building's (input.Room −1) or a room's own walls or ceiling,
// which the base must give, of one layer; null when the base gives none.
const zf::Surface* SurfaceIn(const zf::project::Document& base, const VariedInput& input) {
    if (!base.HeatLoss) return nullptr;
    const bool walls = input.Surface == "walls";
    if (input.Room < 0) return walls ? &base.HeatLoss->Walls : base.HeatLoss->Ceiling ? &*base.HeatLoss->Ceiling : nullptr;
    const zf::project::Room& room = base.Rooms[static_cast<std::size_t>(input.Room)];
    const std::optional<zf::Surface>& own = walls ? room.Walls : room.Ceiling;
    return own ? &*own : nullptr;
}

// The same surface of a run's scenario, which is the base with draws set: it is there.
zf::Surface& SurfaceIn(zf::project::Document& scenario, const VariedInput& input) {
    const bool walls = input.Surface == "walls";
    if (input.Room < 0) return walls ? scenario.HeatLoss->Walls : *scenario.HeatLoss->Ceiling;
    zf::project::Room& room = scenario.Rooms[static_cast<std::size_t>(input.Room)];
    return walls ? *room.Walls : *room.Ceiling;
}

// "walls.material", "ceiling.thickness" of the heat-loss option: the base must have the option
// on and give that surface, of one layer, so a draw replaces one material or one thickness.
void ReadSurfaceTarget(const std::string& path, std::string_view rest, const zf::project::Document& base,
                       VariedInput& input, const std::string& owner) {
    const std::size_t dot = rest.find('.');
    input.Surface = std::string(rest.substr(0, dot));
    input.Key = dot == std::string_view::npos ? std::string() : std::string(rest.substr(dot + 1));
    if ((input.Surface != "walls" && input.Surface != "ceiling") || (input.Key != "material" && input.Key != "thickness"))
        throw BadStudy{owner + "неверная запись параметра " + Quoted(path) +
                       " (допустимы walls.material, walls.thickness, ceiling.material, ceiling.thickness)"};
    if (!base.HeatLoss)
        throw BadStudy{owner + "в базовом сценарии теплопотери не учитываются: добавьте в него ключ \"heat_loss\" "
                               "со стенами (\"walls\"), чтобы изменять их материал или толщину"};
    const zf::Surface* surface = SurfaceIn(base, input);
    if (surface == nullptr)
        throw BadStudy{owner + "в базовом сценарии нет своей поверхности " + Quoted(path.substr(0, path.rfind('.'))) +
                       ": задайте ее там (материал и толщину), чтобы изменять ее"};
    if (surface->Layers.size() != 1)
        throw BadStudy{owner + "поверхность " + Quoted(path.substr(0, path.rfind('.'))) +
                       " в базовом сценарии из нескольких слоев: изменять можно материал и толщину поверхности из одного слоя"};
    if (input.Key == "material") input.Kind = InputKind::Material;
}

// The key of a room's input: its size, its evacuation inputs or its own surfaces.
void ReadRoomKey(const std::string& path, std::string key, const zf::project::Document& base, VariedInput& input,
                 const std::string& owner) {
    if (key.starts_with("walls.") || key.starts_with("ceiling.")) return ReadSurfaceTarget(path, key, base, input, owner);
    using zf::project::RowOf;
    if (key.starts_with("evacuation.") && RowOf(zf::project::kEvacuationInputs, std::string_view(key).substr(11))) {
        input.Evacuation = true;
        key.erase(0, 11);
    } else if (!RowOf(zf::project::kRoomInputs, key)) {
        throw BadStudy{owner + "у помещения нельзя изменять " + Quoted(key) + " (допустимы " +
                       KeyList(zf::project::kRoomInputs) + ", " + KeyList(zf::project::kEvacuationInputs, "evacuation.") +
                       ", walls|ceiling.material|thickness)"};
    }
    input.Key = key;
}

// The list index of "[N].key..." (`rest`, after the list's name in `path`), 0-based, and the
// key after it; N must name one of the `count` items of `list`.
std::pair<int, std::string> ListIndex(const std::string& path, std::string_view list, int count, std::string_view rest,
                                      const std::string& owner) {
    const std::size_t close = rest.find(']');
    if (rest.empty() || rest[0] != '[' || close == std::string_view::npos || close < 2 || close + 1 >= rest.size() ||
        rest[close + 1] != '.')
        throw BadStudy{owner + "неверная запись параметра " + Quoted(path) + " (ожидается " + std::string(list) +
                       "[номер].ключ)"};
    const std::string digits(rest.substr(1, close - 1));
    if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
        throw BadStudy{owner + "номер в " + Quoted(path) + " должен быть целым числом от 1"};
    const int number = std::stoi(digits);
    // "rooms[02]" could be a slip for "rooms[2]" or "rooms[20]": a number is written one way.
    if (digits.size() > 1 && digits[0] == '0' && number >= 1)
        throw BadStudy{owner + "номер в " + Quoted(path) + " записан с ведущим нулем; напишите " + std::string(list) +
                       "[" + std::to_string(number) + "]"};
    if (number < 1 || number > count)
        throw BadStudy{owner + "в базовом сценарии нет элемента " + std::string(list) + " с номером " + digits +
                       (count == 0 ? " (список пуст)" : " (номера 1…" + std::to_string(count) + ")")};
    return {number - 1, std::string(rest.substr(close + 2))};
}

// "evacuation_routes[1].people": N, f or t_нэ of a route the base gives.
void ReadRouteTarget(const std::string& path, const zf::project::Document& base, VariedInput& input, const std::string& owner) {
    if (base.Routes.empty())
        throw BadStudy{owner + "в базовом сценарии нет путей эвакуации: задайте их там (ключ \"evacuation_routes\" или окно "
                               "«Пути эвакуации»), чтобы изменять " + Quoted(path)};
    auto [index, key] = ListIndex(path, kRouteList, static_cast<int>(base.Routes.size()),
                                  std::string_view(path).substr(kRouteList.size()), owner);
    if (!zf::project::RowOf(zf::project::kRouteInputs, key))
        throw BadStudy{owner + "у пути эвакуации нельзя изменять " + Quoted(key) + " (допустимы " +
                       KeyList(zf::project::kRouteInputs) + ")"};
    input.Route = index;
    input.Key = key;
}

// Parses "rooms[2].length", "openings[1].open", "rooms[3].evacuation.duration", "Vlin", "plume"
// and checks the room or opening exists in the base.
void ReadTarget(const std::string& path, const zf::project::Document& base, VariedInput& input, const std::string& owner) {
    auto listIndex = [&](std::string_view list, int count, std::string_view rest) {
        return ListIndex(path, list, count, rest, owner);
    };
    auto countOf = [&](std::string_view key) {
        return static_cast<int>(key == "rooms" ? base.Rooms.size() : base.Openings.size());
    };
    const std::string_view p = path;
    if (p.starts_with(kRouteList)) {
        ReadRouteTarget(path, base, input, owner);
    } else if (p.starts_with("heat_loss.")) {
        ReadSurfaceTarget(path, p.substr(10), base, input, owner);
    } else if (p == "plume") {
        input.Kind = InputKind::Plume;
        input.Key = "plume";
    } else if (IsTopNumber(p) || p == kSafetyFactor) {
        input.Key = path;
    } else if (p.starts_with("rooms")) {
        auto [index, key] = listIndex("rooms", countOf("rooms"), p.substr(5));
        input.Room = index;
        ReadRoomKey(path, key, base, input, owner);
    } else if (p.starts_with("openings")) {
        auto [index, key] = listIndex("openings", countOf("openings"), p.substr(8));
        input.Opening = index;
        if (key == "open") input.Kind = InputKind::OpenState;
        else if (!zf::project::RowOf(zf::project::kOpeningInputs, key))
            throw BadStudy{owner + "у проема нельзя изменять " + Quoted(key) + " (допустимы " +
                           KeyList(zf::project::kOpeningInputs) + ", open)"};
        input.Key = key;
    } else {
        throw BadStudy{owner + "неизвестный параметр " + Quoted(path) +
                       " (допустимы числа сценария верхнего уровня, plume, rooms[i].…, openings[k].…, "
                       "evacuation_routes[i].…)"};
    }
}

// The base scenario's file, read with the runner's bound on input.
std::string ReadBaseFile(const json& name, const std::filesystem::path& studyDir) {
    Require(name.is_string() && !name.get<std::string>().empty(), "ключ \"base_file\": ", "ожидается имя файла сценария");
    const std::filesystem::path path = studyDir / name.get<std::string>();
    try {
        return zf::project::ReadInputText(path.string(), zf::project::kMaxInputBytes, "файл сценария");
    } catch (const zf::project::InputError& e) {
        throw BadStudy{"ключ \"base_file\" (" + path.string() + "): " + e.what()};
    }
}

std::uint64_t WholeNumber(const json& top, std::string_view key, std::uint64_t max) {
    const json* v = Find(top, key);
    Require(v != nullptr, "", "не задан ключ " + Quoted(key));
    Require(v->is_number_unsigned() && v->get<std::uint64_t>() <= max, "ключ " + Quoted(key) + ": ",
            "ожидается целое число от 0 до " + std::to_string(max) + ", а задано: " + Shown(*v));
    return v->get<std::uint64_t>();
}

zf::project::StrictJson ParseJson(std::string_view text) {
    try {
        return zf::project::ReadStrictJson(text);
    } catch (const zf::project::JsonRefusal& e) {
        throw BadStudy{e.what()};
    }
}

// Entry `number` (1-based) of "vary": the input it varies, where it goes and its law; `seen`
// holds the inputs of the entries before it.
VariedInput ReadEntry(const json& entry, std::size_t number, const zf::project::Document& base, std::set<std::string>& seen) {
    const std::string owner = EntryName(number, entry);
    Require(entry.is_object(), owner, "ожидается объект {\"input\": ..., \"distribution\": ...}");
    const json* path = Find(entry, "input");
    Require(path && path->is_string(), owner, "не задан ключ \"input\" (например \"Vlin\" или \"rooms[1].length\")");
    VariedInput input;
    input.Path = path->get<std::string>();
    Require(seen.insert(input.Path).second, owner, "этот параметр уже изменяется в другом элементе списка");
    ReadTarget(input.Path, base, input, owner);
    ReadLaw(entry, input, owner);
    if (input.Key == kSafetyFactor) RequireSafetyFactorLaw(input, owner);
    if (!input.Surface.empty() && input.Kind == InputKind::Number) RequireThicknessLaw(input, owner);
    if (input.Route >= 0) RequireRouteLaw(input, owner);
    for (const zf::Input& row : zf::kInputs)
        if (input.Room < 0 && input.Opening < 0 && input.Key == row.Key) RequireInputLaw(input, row, owner);
    return input;
}

// The base scenario: under "base" in the study file, whose lines a refusal then names, or in
// the file "base_file", whose own lines it names.
zf::project::Document ReadBase(const zf::project::StrictJson& study, const std::filesystem::path& studyDir) {
    const json* inlineBase = Find(study.Value, "base");
    const json* baseFile = Find(study.Value, "base_file");
    Require((inlineBase != nullptr) != (baseFile != nullptr), "",
            "задайте базовый сценарий ровно одним из ключей \"base\" (сценарий) или \"base_file\" (путь к файлу)");
    Require(!inlineBase || inlineBase->is_object(), "ключ \"base\": ", "ожидается объект сценария {...}");
    const std::string baseText = inlineBase ? inlineBase->dump() : ReadBaseFile(*baseFile, studyDir);
    zf::project::Document base;
    if (auto refused = zf::project::ReadDocumentOrRefusal(baseText, base)) {
        if (inlineBase) refused->Line = refused->Path.empty() ? 0 : study.LineOf("base." + refused->Path);
        throw BadStudy{"базовый сценарий: " + zf::project::RefusalMessage(*refused)};
    }
    zf::TzoneMath probe;
    if (auto refused = zf::project::ReadScenario(zf::project::WriteDocument(base), probe))
        throw BadStudy{"базовый сценарий: " + *refused};
    return base;
}

void ReadTop(std::string_view text, const std::filesystem::path& studyDir, Study& out) {
    const zf::project::StrictJson parsed = ParseJson(text);
    const json& top = parsed.Value;
    Require(top.is_object(), "", "файл исследования должен быть объектом JSON {...}");
    RefuseUnknownKeys(top, kStudyKeys, "");
    zf::project::Document base = ReadBase(parsed, studyDir);
    out.RoomCount = static_cast<int>(base.Rooms.size());
    out.RouteCount = static_cast<int>(base.Routes.size());

    out.Runs = WholeNumber(top, "runs", kMaxRuns);
    Require(out.Runs >= 1, "ключ \"runs\": ", "нужен хотя бы один расчет");
    out.Seed = WholeNumber(top, "seed", std::numeric_limits<std::uint64_t>::max());
    const json* sampling = Find(top, "sampling");
    Require(sampling && (*sampling == "monte-carlo" || *sampling == "latin-hypercube"), "ключ \"sampling\": ",
            "ожидается \"monte-carlo\" или \"latin-hypercube\"");
    out.Method = *sampling == "monte-carlo" ? Sampling::MonteCarlo : Sampling::LatinHypercube;

    // A room gets a verdict column when the base gives it evacuation inputs or a draw does.
    out.RoomHasEvacuation.assign(static_cast<std::size_t>(out.RoomCount), false);
    for (std::size_t r = 0; r < base.Rooms.size(); ++r) out.RoomHasEvacuation[r] = base.Rooms[r].Evacuation.has_value();

    const json* vary = Find(top, "vary");
    Require(vary && vary->is_array(), "ключ \"vary\": ", "ожидается список изменяемых параметров [...]");
    std::set<std::string> seen;
    for (std::size_t k = 0; k < vary->size(); ++k) {
        VariedInput input = ReadEntry((*vary)[k], k + 1, base, seen);
        if (input.Evacuation) out.RoomHasEvacuation[static_cast<std::size_t>(input.Room)] = true;
        out.Inputs.push_back(std::move(input));
    }

    json canonical = top;
    canonical.erase("base_file");
    canonical.erase("zonefire_version");
    canonical["base"] = json::parse(zf::project::WriteDocument(base));
    out.Base = std::move(base);
    out.Canonical = canonical.dump(2) + "\n";
}

}  // namespace

std::optional<std::string> ReadStudy(std::string_view text, const std::filesystem::path& studyDir, Study& out) {
    out = Study{};
    try {
        ReadTop(text, studyDir, out);
    } catch (const BadStudy& bad) {
        return bad.Message;
    } catch (const json::exception& e) {
        return std::string("ошибка чтения JSON: ") + e.what();
    }
    return std::nullopt;
}

std::vector<Draw> DrawsOfRun(const Study& study, const Sampler& sampler, std::uint64_t run) {
    std::vector<Draw> draws;
    draws.reserve(study.Inputs.size());
    for (std::size_t j = 0; j < study.Inputs.size(); ++j) {
        const VariedInput& input = study.Inputs[j];
        const double x = Quantile(input.Law, sampler.Probability(run, j));
        Draw draw;
        if (std::holds_alternative<Choice>(input.Law)) {
            const auto k = static_cast<std::size_t>(x);
            draw.Text = input.ChoiceTexts[k];
            draw.Rank = input.Kind == InputKind::Number      ? input.ChoiceNumbers[k]
                        : input.Kind == InputKind::OpenState ? (draw.Text == "true" ? 1.0 : 0.0)
                                                             : x;
        } else if (input.Kind == InputKind::OpenState) {
            draw.Text = x != 0 ? "true" : "false";
            draw.Rank = x;
        } else {
            draw.Text = zfreport::NumberText(x);
            draw.Rank = x;
        }
        draws.push_back(std::move(draw));
    }
    return draws;
}

zf::project::Document ScenarioOfRun(const Study& study, const std::vector<Draw>& draws) {
    zf::project::Document scenario = study.Base;
    for (std::size_t j = 0; j < study.Inputs.size(); ++j) {
        const VariedInput& input = study.Inputs[j];
        const double x = draws[j].Rank;
        if (input.Kind == InputKind::Plume) {
            scenario.Params.UseTanaka = draws[j].Text == "tanaka";
        } else if (!input.Surface.empty()) {
            zf::SurfaceLayer& layer = SurfaceIn(scenario, input).Layers.front();  // there since the study was read
            if (input.Kind == InputKind::Material)
                layer = zf::MaterialSurface(draws[j].Text, layer.Thickness).Layers.front();
            else
                layer.Thickness = x;
        } else if (input.Kind == InputKind::OpenState) {
            scenario.Openings[static_cast<std::size_t>(input.Opening)].Open = draws[j].Text == "true";
        } else if (input.Route >= 0) {
            zf::flow::Route& route = scenario.Routes[static_cast<std::size_t>(input.Route)];
            route.*zf::project::RowOf(zf::project::kRouteInputs, input.Key)->Field = x;
        } else if (input.Room >= 0 && input.Evacuation) {
            // A room the base leaves without evacuation inputs starts from t_нэ = t_р = 0: a
            // varied duration alone means people start leaving at once.
            zf::project::Room& room = scenario.Rooms[static_cast<std::size_t>(input.Room)];
            if (!room.Evacuation) room.Evacuation = zfreport::EvacuationInput{};
            (*room.Evacuation).*zf::project::RowOf(zf::project::kEvacuationInputs, input.Key)->Field = x;
        } else if (input.Room >= 0) {
            zf::project::Room& room = scenario.Rooms[static_cast<std::size_t>(input.Room)];
            room.*zf::project::RowOf(zf::project::kRoomInputs, input.Key)->Field = x;  // a row: checked when read
        } else if (input.Opening >= 0) {
            zf::project::Opening& opening = scenario.Openings[static_cast<std::size_t>(input.Opening)];
            opening.*zf::project::RowOf(zf::project::kOpeningInputs, input.Key)->Field = x;
        } else if (input.Key == kSafetyFactor) {
            scenario.SafetyFactor = x;
        } else if (input.Key == "SamplesPerSec") {
            scenario.Params.SamplesPerSec = static_cast<int>(x);  // a choice of whole numbers
        } else {
            for (const zf::Input& key : zf::kInputs)
                if (key.Key == input.Key) scenario.Params.*key.Field = x;
        }
    }
    return scenario;
}

std::string ScenarioText(const Study& study, const std::vector<Draw>& draws) {
    return zf::project::WriteDocument(ScenarioOfRun(study, draws));
}

}  // namespace zfcli::study
