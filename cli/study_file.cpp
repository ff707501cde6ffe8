// Reading a study file and building the scenario of each run.

#include "study_file.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "number_format.h"
#include "project/scenario_file.h"
#include "model/scenario.h"

namespace zfcli::study {
namespace {

using nlohmann::json;

struct BadStudy {
    std::string Message;
};

constexpr std::string_view kStudyKeys[] = {"base", "base_file", "runs", "seed", "sampling", "vary"};
// Top-level numbers of a scenario a study may vary: the file's number keys, and the samples
// per second as a choice of whole numbers.
bool IsTopNumber(std::string_view key) {
    if (key == "SamplesPerSec") return true;
    for (const zf::project::NumberKey& k : zf::project::kNumberKeys)
        if (k.Key == key) return true;
    return false;
}
// The safety factor f of the evacuation verdict, a top-level number outside the model's inputs.
constexpr std::string_view kSafetyFactor = "safety_factor";
constexpr std::string_view kRoomNumbers[] = {"length", "width", "height"};
constexpr std::string_view kEvacuationNumbers[] = {"start_delay", "duration"};
constexpr std::string_view kOpeningNumbers[] = {"width", "height"};
// A base file is a few kilobytes; anything far larger is not a scenario.
constexpr std::uintmax_t kMaxFileBytes = 16u << 20;

template <class List>
bool Contains(const List& list, std::string_view key) {
    for (std::string_view k : list)
        if (k == key) return true;
    return false;
}

std::string Quoted(std::string_view s) {
    std::string text = json(std::string(s)).dump(-1, ' ', false, json::error_handler_t::replace);
    if (text.size() > 80) text = text.substr(0, 77) + "...";  // a hostile key is not echoed whole
    return text;
}

std::string Shown(const json& v) {
    std::string text = v.dump(-1, ' ', false, json::error_handler_t::replace);
    return text.size() > 60 ? text.substr(0, 57) + "..." : text;
}

const json* Find(const json& object, std::string_view key) {
    const auto it = object.find(std::string(key));
    return it == object.end() ? nullptr : &*it;
}

template <class List>
void RefuseUnknownKeys(const json& object, const List& known, const std::string& owner) {
    for (const auto& item : object.items())
        if (!Contains(known, item.key())) throw BadStudy{owner + "неизвестный ключ " + Quoted(item.key())};
}

// An entry of "vary", for messages: "изменяемый параметр №2 (\"Vlin\"): ".
std::string EntryName(std::size_t number, const json& entry) {
    std::string name = "ключ \"vary\", параметр №" + std::to_string(number);
    if (const json* input = entry.is_object() ? Find(entry, "input") : nullptr; input && input->is_string())
        name += " (" + Quoted(input->get<std::string>()) + ")";
    return name + ": ";
}

double FiniteNumber(const json& entry, std::string_view key, const std::string& owner) {
    const json* v = Find(entry, key);
    if (!v) throw BadStudy{owner + "не задан ключ " + Quoted(key)};
    if (!v->is_number() || !std::isfinite(v->get<double>()))
        throw BadStudy{owner + "ключ " + Quoted(key) + ": ожидается конечное число, а задано: " + Shown(*v)};
    return v->get<double>();
}

std::optional<double> OptionalNumber(const json& entry, std::string_view key, const std::string& owner) {
    if (!Find(entry, key)) return std::nullopt;
    return FiniteNumber(entry, key, owner);
}

void Require(bool ok, const std::string& owner, const std::string& what) {
    if (!ok) throw BadStudy{owner + what};
}

// Parses "rooms[2].length", "openings[1].open", "rooms[3].evacuation.duration", "Vlin", "plume"
// and checks the room or opening exists in the base.
void ReadTarget(const std::string& path, const zf::project::Document& base, VariedInput& input, const std::string& owner) {
    auto listIndex = [&](std::string_view list, int count, std::string_view rest) -> std::pair<int, std::string> {
        // rest = "[N].key..."
        const std::size_t close = rest.find(']');
        if (rest.empty() || rest[0] != '[' || close == std::string_view::npos || close < 2 || close + 1 >= rest.size() ||
            rest[close + 1] != '.')
            throw BadStudy{owner + "неверная запись параметра " + Quoted(path) + " (ожидается " + std::string(list) +
                           "[номер].ключ)"};
        const std::string digits(rest.substr(1, close - 1));
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9)
            throw BadStudy{owner + "номер в " + Quoted(path) + " должен быть целым числом от 1"};
        const int number = std::stoi(digits);
        if (number < 1 || number > count)
            throw BadStudy{owner + "в базовом сценарии нет элемента " + std::string(list) + " с номером " + digits +
                           (count == 0 ? " (список пуст)" : " (номера 1…" + std::to_string(count) + ")")};
        return {number - 1, std::string(rest.substr(close + 2))};
    };
    auto countOf = [&](std::string_view key) {
        return static_cast<int>(key == "rooms" ? base.Rooms.size() : base.Openings.size());
    };
    const std::string_view p = path;
    if (p == "plume") {
        input.Kind = InputKind::Plume;
        input.Key = "plume";
    } else if (IsTopNumber(p) || p == kSafetyFactor) {
        input.Key = path;
    } else if (p.starts_with("rooms")) {
        auto [index, key] = listIndex("rooms", countOf("rooms"), p.substr(5));
        input.Room = index;
        if (key.starts_with("evacuation.") && Contains(kEvacuationNumbers, std::string_view(key).substr(11))) {
            input.Evacuation = true;
            key.erase(0, 11);
        } else if (!Contains(kRoomNumbers, key)) {
            throw BadStudy{owner + "у помещения нельзя изменять " + Quoted(key) +
                           " (допустимы length, width, height, evacuation.start_delay, evacuation.duration)"};
        }
        input.Key = key;
    } else if (p.starts_with("openings")) {
        auto [index, key] = listIndex("openings", countOf("openings"), p.substr(8));
        input.Opening = index;
        if (key == "open") input.Kind = InputKind::OpenState;
        else if (!Contains(kOpeningNumbers, key))
            throw BadStudy{owner + "у проема нельзя изменять " + Quoted(key) + " (допустимы width, height, open)"};
        input.Key = key;
    } else {
        throw BadStudy{owner + "неизвестный параметр " + Quoted(path) +
                       " (допустимы числа сценария верхнего уровня, plume, rooms[i].…, openings[k].…)"};
    }
}

void ReadChoice(const json& entry, VariedInput& input, const std::string& owner) {
    const json* values = Find(entry, "values");
    Require(values && values->is_array() && !values->empty(), owner, "ключ \"values\": ожидается непустой массив значений");
    Choice choice;
    for (const json& v : *values) {
        const std::string bad = "ключ \"values\": значение " + Shown(v) + " не подходит: ";
        switch (input.Kind) {
            case InputKind::Number:
                Require(v.is_number() && std::isfinite(v.get<double>()), owner, bad + "ожидается число");
                Require(input.Key != "SamplesPerSec" || (v.get<double>() >= 1 && v.get<double>() <= 1e9 &&
                                                         v.get<double>() == std::floor(v.get<double>())),
                        owner, bad + "ожидается целое число отсчетов в секунду от 1");
                input.ChoiceNumbers.push_back(v.get<double>());
                input.ChoiceTexts.push_back(zfreport::NumberText(v.get<double>()));
                break;
            case InputKind::OpenState:
                Require(v.is_boolean(), owner, bad + "ожидается true или false");
                input.ChoiceTexts.push_back(v.get<bool>() ? "true" : "false");
                break;
            case InputKind::Plume:
                Require(v == "tanaka" || v == "mccaffrey", owner, bad + "допустимы \"tanaka\" и \"mccaffrey\"");
                input.ChoiceTexts.push_back(v.get<std::string>());
                break;
        }
    }
    if (const json* weights = Find(entry, "weights")) {
        Require(weights->is_array() && weights->size() == values->size(), owner,
                "ключ \"weights\": ожидается массив из " + std::to_string(values->size()) + " весов, по одному на значение");
        double total = 0;
        for (const json& w : *weights) {
            Require(w.is_number() && std::isfinite(w.get<double>()) && w.get<double>() >= 0, owner,
                    "ключ \"weights\": вес должен быть неотрицательным числом, а задано: " + Shown(w));
            choice.Weights.push_back(w.get<double>());
            total += w.get<double>();
        }
        Require(total > 0 && std::isfinite(total), owner, "ключ \"weights\": сумма весов должна быть больше нуля");
    } else {
        choice.Weights.assign(values->size(), 1.0);
    }
    input.Law = choice;
}

void ReadLaw(const json& entry, VariedInput& input, const std::string& owner) {
    const json* name = Find(entry, "distribution");
    Require(name && name->is_string(), owner, "не задан ключ \"distribution\" (uniform, normal, lognormal, triangular, bernoulli, choice)");
    const std::string law = name->get<std::string>();
    std::vector<std::string_view> keys = {"input", "distribution"};
    auto allow = [&](std::initializer_list<std::string_view> more) { keys.insert(keys.end(), more); };
    if (input.Kind != InputKind::Number && law != "choice" && !(law == "bernoulli" && input.Kind == InputKind::OpenState))
        throw BadStudy{owner + "для " + Quoted(input.Path) + " допустимо только распределение " +
                       (input.Kind == InputKind::Plume ? "choice" : "bernoulli или choice")};
    if (input.Key == "SamplesPerSec" && law != "choice")
        throw BadStudy{owner + "для \"SamplesPerSec\" допустимо только распределение choice из целых чисел от 1"};
    if (law == "uniform") {
        allow({"min", "max"});
        const double lo = FiniteNumber(entry, "min", owner), hi = FiniteNumber(entry, "max", owner);
        Require(lo <= hi, owner, "ключ \"max\": должен быть не меньше \"min\"");
        input.Law = Uniform{lo, hi};
    } else if (law == "normal") {
        allow({"mean", "sd", "min", "max"});
        Normal d;
        d.Mean = FiniteNumber(entry, "mean", owner);
        d.Sd = FiniteNumber(entry, "sd", owner);
        Require(d.Sd > 0, owner, "ключ \"sd\": стандартное отклонение должно быть больше нуля");
        if (auto lo = OptionalNumber(entry, "min", owner)) d.Min = *lo;
        if (auto hi = OptionalNumber(entry, "max", owner)) d.Max = *hi;
        Require(d.Min < d.Max, owner, "ключ \"max\": должен быть больше \"min\"");
        // Bounds many deviations beyond the mean leave no probability a double can resolve.
        Require(NormalCdf((d.Max - d.Mean) / d.Sd) - NormalCdf((d.Min - d.Mean) / d.Sd) > 1e-12, owner,
                "пределы \"min\" и \"max\" отсекают почти всю вероятность распределения");
        input.Law = d;
    } else if (law == "lognormal") {
        allow({"mu", "sigma", "median", "factor"});
        Lognormal d;
        if (Find(entry, "median") || Find(entry, "factor")) {
            Require(!Find(entry, "mu") && !Find(entry, "sigma"), owner, "задайте либо mu и sigma, либо median и factor");
            const double median = FiniteNumber(entry, "median", owner), factor = FiniteNumber(entry, "factor", owner);
            Require(median > 0, owner, "ключ \"median\": медиана должна быть больше нуля");
            Require(factor > 1, owner, "ключ \"factor\": множитель (95-й процентиль / медиана) должен быть больше 1");
            // The 95th percentile of ln X is Mu + 1.6449·Sigma.
            d.Mu = std::log(median);
            d.Sigma = std::log(factor) / NormalQuantile(0.95);
        } else {
            d.Mu = FiniteNumber(entry, "mu", owner);
            d.Sigma = FiniteNumber(entry, "sigma", owner);
            Require(d.Sigma > 0, owner, "ключ \"sigma\": должно быть больше нуля");
        }
        input.Law = d;
    } else if (law == "triangular") {
        allow({"min", "mode", "max"});
        Triangular d{FiniteNumber(entry, "min", owner), FiniteNumber(entry, "mode", owner), FiniteNumber(entry, "max", owner)};
        Require(d.Min <= d.Mode && d.Mode <= d.Max, owner, "ожидается min ≤ mode ≤ max");
        input.Law = d;
    } else if (law == "bernoulli") {
        allow({"p"});
        Require(input.Kind == InputKind::OpenState, owner, "распределение bernoulli допустимо только для openings[k].open");
        const double p = FiniteNumber(entry, "p", owner);
        Require(p >= 0 && p <= 1, owner, "ключ \"p\": вероятность должна быть от 0 до 1");
        input.Law = Bernoulli{p};
    } else if (law == "choice") {
        allow({"values", "weights"});
        ReadChoice(entry, input, owner);
    } else {
        throw BadStudy{owner + "неизвестное распределение " + Quoted(law) +
                       " (допустимы uniform, normal, lognormal, triangular, bernoulli, choice)"};
    }
    RefuseUnknownKeys(entry, keys, owner);
}

// The safety factor f must lie in (0, 1] in every run, so a law that can draw outside is a bad
// study, refused before any run rather than left to fail run by run: every value a choice
// offers, and the bounds of the others, must lie in (0, 1]. A lower bound of exactly 0 is
// refused too, since a draw may round onto it; a lognormal law has no upper bound.
void RequireSafetyFactorLaw(const VariedInput& input, const std::string& owner) {
    const std::string why = "коэффициент безопасности должен лежать в пределах 0 < f ≤ 1, ";
    auto inside = [](double lo, double hi) { return lo > 0 && hi <= 1; };
    if (const auto* d = std::get_if<Uniform>(&input.Law)) {
        Require(inside(d->Min, d->Max), owner, why + "задайте 0 < min ≤ max ≤ 1");
    } else if (const auto* d = std::get_if<Triangular>(&input.Law)) {
        Require(inside(d->Min, d->Max), owner, why + "задайте 0 < min ≤ mode ≤ max ≤ 1");
    } else if (const auto* d = std::get_if<Normal>(&input.Law)) {
        Require(inside(d->Min, d->Max), owner, why + "ограничьте нормальное распределение ключами \"min\" > 0 и \"max\" ≤ 1");
    } else if (std::holds_alternative<Lognormal>(input.Law)) {
        throw BadStudy{owner + why + "а логнормальное распределение не ограничено сверху"};
    } else {
        for (std::size_t k = 0; k < input.ChoiceNumbers.size(); ++k)
            Require(inside(input.ChoiceNumbers[k], input.ChoiceNumbers[k]), owner,
                    why + "а среди значений есть " + input.ChoiceTexts[k]);
    }
}

std::string ReadBaseFile(const json& name, const std::filesystem::path& studyDir) {
    Require(name.is_string() && !name.get<std::string>().empty(), "ключ \"base_file\": ", "ожидается имя файла сценария");
    const std::filesystem::path path = studyDir / name.get<std::string>();
    const std::string owner = "ключ \"base_file\" (" + path.string() + "): ";
    std::error_code ec;
    Require(!std::filesystem::is_directory(path, ec), owner, "это каталог, а не файл сценария");
    std::ifstream in(path, std::ios::binary);
    Require(static_cast<bool>(in), owner, "не удалось открыть файл");
    std::ostringstream text;
    text << in.rdbuf();
    Require(!in.bad() && text.str().size() <= kMaxFileBytes, owner, "не удалось прочитать файл");
    return text.str();
}

std::uint64_t WholeNumber(const json& top, std::string_view key, std::uint64_t max) {
    const json* v = Find(top, key);
    Require(v != nullptr, "", "не задан ключ " + Quoted(key));
    Require(v->is_number_unsigned() && v->get<std::uint64_t>() <= max, "ключ " + Quoted(key) + ": ",
            "ожидается целое число от 0 до " + std::to_string(max) + ", а задано: " + Shown(*v));
    return v->get<std::uint64_t>();
}

json ParseJson(std::string_view text, const std::string& what) {
    try {
        return json::parse(text.begin(), text.end());
    } catch (const json::exception& e) {
        std::string reason = e.what();
        if (const auto at = reason.find("] "); at != std::string::npos) reason.erase(0, at + 2);
        throw BadStudy{what + "ошибка в записи JSON: " + reason};
    }
}

void ReadTop(std::string_view text, const std::filesystem::path& studyDir, Study& out) {
    const json top = ParseJson(text, "");
    Require(top.is_object(), "", "файл исследования должен быть объектом JSON {...}");
    RefuseUnknownKeys(top, kStudyKeys, "");
    const json* inlineBase = Find(top, "base");
    const json* baseFile = Find(top, "base_file");
    Require((inlineBase != nullptr) != (baseFile != nullptr), "",
            "задайте базовый сценарий ровно одним из ключей \"base\" (сценарий) или \"base_file\" (путь к файлу)");
    Require(!inlineBase || inlineBase->is_object(), "ключ \"base\": ", "ожидается объект сценария {...}");
    const std::string baseText = inlineBase ? inlineBase->dump() : ReadBaseFile(*baseFile, studyDir);
    zf::project::Document base;
    if (auto refused = zf::project::ReadDocument(baseText, base)) throw BadStudy{"базовый сценарий: " + *refused};
    {
        zf::TzoneMath probe;
        if (auto refused = zf::project::ReadScenario(zf::project::WriteDocument(base), probe))
            throw BadStudy{"базовый сценарий: " + *refused};
    }
    out.RoomCount = static_cast<int>(base.Rooms.size());

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
        const json& entry = (*vary)[k];
        const std::string owner = EntryName(k + 1, entry);
        Require(entry.is_object(), owner, "ожидается объект {\"input\": ..., \"distribution\": ...}");
        const json* path = Find(entry, "input");
        Require(path && path->is_string(), owner, "не задан ключ \"input\" (например \"Vlin\" или \"rooms[1].length\")");
        VariedInput input;
        input.Path = path->get<std::string>();
        Require(seen.insert(input.Path).second, owner, "этот параметр уже изменяется в другом элементе списка");
        ReadTarget(input.Path, base, input, owner);
        ReadLaw(entry, input, owner);
        if (input.Key == kSafetyFactor) RequireSafetyFactorLaw(input, owner);
        if (input.Evacuation) out.RoomHasEvacuation[static_cast<std::size_t>(input.Room)] = true;
        out.Inputs.push_back(std::move(input));
    }

    json canonical = top;
    canonical.erase("base_file");
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
        } else if (input.Kind == InputKind::OpenState) {
            scenario.Openings[static_cast<std::size_t>(input.Opening)].Open = draws[j].Text == "true";
        } else if (input.Room >= 0 && input.Evacuation) {
            // A room the base leaves without evacuation inputs starts from t_нэ = t_р = 0: a
            // varied duration alone means people start leaving at once.
            zf::project::Room& room = scenario.Rooms[static_cast<std::size_t>(input.Room)];
            if (!room.Evacuation) room.Evacuation = zfreport::EvacuationInput{};
            (input.Key == "start_delay" ? room.Evacuation->StartDelay : room.Evacuation->Duration) = x;
        } else if (input.Room >= 0) {
            zf::project::Room& room = scenario.Rooms[static_cast<std::size_t>(input.Room)];
            (input.Key == "length" ? room.Length : input.Key == "width" ? room.Width : room.Height) = x;
        } else if (input.Opening >= 0) {
            zf::project::Opening& opening = scenario.Openings[static_cast<std::size_t>(input.Opening)];
            (input.Key == "width" ? opening.Width : opening.Height) = x;
        } else if (input.Key == kSafetyFactor) {
            scenario.SafetyFactor = x;
        } else if (input.Key == "SamplesPerSec") {
            scenario.Params.SamplesPerSec = static_cast<int>(x);  // a choice of whole numbers
        } else {
            for (const zf::project::NumberKey& key : zf::project::kNumberKeys)
                if (key.Key == input.Key) scenario.Params.*key.Field = x;
        }
    }
    return scenario;
}

std::string ScenarioText(const Study& study, const std::vector<Draw>& draws) {
    return zf::project::WriteDocument(ScenarioOfRun(study, draws));
}

}  // namespace zfcli::study
