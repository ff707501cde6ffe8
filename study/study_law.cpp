// The distributions of a study's varied inputs, read and checked.

#include "study_law.h"

#include <cmath>

#include "model/enclosure.h"
#include "number_format.h"

namespace zfcli::study::law {
namespace {

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


}  // namespace

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

void Require(bool ok, const std::string& owner, const std::string& what) {
    if (!ok) throw BadStudy{owner + what};
}


namespace {

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
            case InputKind::Material:
                Require(v.is_string() && zf::FindMaterial(v.get<std::string>()) != nullptr, owner,
                        bad + "ожидается название материала из таблицы: " + zf::KnownMaterialKeys());
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

// A normal law, cut to [min, max] when they are given.
Normal ReadNormal(const json& entry, const std::string& owner) {
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
    return d;
}

// A lognormal law by mu and sigma of ln X, or by its median and the factor to its 95th percentile.
Lognormal ReadLognormal(const json& entry, const std::string& owner) {
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
    return d;
}

}  // namespace

void ReadLaw(const json& entry, VariedInput& input, const std::string& owner) {
    const json* name = Find(entry, "distribution");
    Require(name && name->is_string(), owner, "не задан ключ \"distribution\" (uniform, normal, lognormal, triangular, bernoulli, choice)");
    const std::string law = name->get<std::string>();
    std::vector<std::string_view> keys = {"input", "distribution"};
    auto allow = [&](std::initializer_list<std::string_view> more) { keys.insert(keys.end(), more); };
    if (input.Kind != InputKind::Number && law != "choice" && !(law == "bernoulli" && input.Kind == InputKind::OpenState))
        throw BadStudy{owner + "для " + Quoted(input.Path) + " допустимо только распределение " +
                       (input.Kind == InputKind::OpenState ? "bernoulli или choice" : "choice")};
    if (input.Key == "SamplesPerSec" && law != "choice")
        throw BadStudy{owner + "для \"SamplesPerSec\" допустимо только распределение choice из целых чисел от 1"};
    if (law == "uniform") {
        allow({"min", "max"});
        const double lo = FiniteNumber(entry, "min", owner), hi = FiniteNumber(entry, "max", owner);
        Require(lo <= hi, owner, "ключ \"max\": должен быть не меньше \"min\"");
        input.Law = Uniform{lo, hi};
    } else if (law == "normal") {
        allow({"mean", "sd", "min", "max"});
        input.Law = ReadNormal(entry, owner);
    } else if (law == "lognormal") {
        allow({"mu", "sigma", "median", "factor"});
        input.Law = ReadLognormal(entry, owner);
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
    RequireLawWithin(input, owner, "коэффициент безопасности должен лежать в пределах 0 < f ≤ 1, ");
}

// A layer's thickness must lie in (0, 1 m] in every run, as the scenario file requires.
void RequireThicknessLaw(const VariedInput& input, const std::string& owner) {
    RequireLawWithin(input, owner, "толщина слоя должна лежать в пределах 0 < L ≤ 1 м, ");
}

// Every draw of the law lies in (0, 1]; otherwise refused with `why` and what to change.
void RequireLawWithin(const VariedInput& input, const std::string& owner, const std::string& why) {
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

void RequireInputLaw(const VariedInput& input, const zf::Input& row, const std::string& owner) {
    if (row.Min == 0 && row.Max == zf::kNoUpperLimit) return;  // the file's own check suffices
    RequireLawInRange(input, owner, std::string(row.Key) + " допустимо " + zf::RangeText(row) + ", ", row.Min, row.Max);
}

// Every draw of the law lies in [lo, hi]; otherwise refused with `why` and what to change. A
// lognormal law draws above 0 without an upper bound.
void RequireLawInRange(const VariedInput& input, const std::string& owner, const std::string& why, double lo, double hi) {
    auto inside = [&](double a, double b) { return a >= lo && b <= hi; };
    const bool open = hi == zf::kNoUpperLimit;
    if (const auto* d = std::get_if<Uniform>(&input.Law)) {
        Require(inside(d->Min, d->Max), owner, why + "задайте min и max в этих пределах");
    } else if (const auto* d = std::get_if<Triangular>(&input.Law)) {
        Require(inside(d->Min, d->Max), owner, why + "задайте min и max в этих пределах");
    } else if (const auto* d = std::get_if<Normal>(&input.Law)) {
        Require(inside(d->Min, d->Max), owner,
                why + (open ? "ограничьте нормальное распределение ключом \"min\" в этих пределах"
                            : "ограничьте нормальное распределение ключами \"min\" и \"max\" в этих пределах"));
    } else if (std::holds_alternative<Lognormal>(input.Law)) {
        Require(lo <= 0 && open, owner, why + "а логнормальное распределение выходит за эти пределы");
    } else {
        for (std::size_t k = 0; k < input.ChoiceNumbers.size(); ++k)
            Require(inside(input.ChoiceNumbers[k], input.ChoiceNumbers[k]), owner,
                    why + "а среди значений есть " + input.ChoiceTexts[k]);
    }
}

// N and t_нэ of a route are not negative in any draw; f lies in (0, 1] m² (a person's
// projection over a square metre is a slip of units).
void RequireRouteLaw(const VariedInput& input, const std::string& owner) {
    if (input.Key == "people")
        RequireLawInRange(input, owner, "число людей N на пути допустимо от 0, ", 0, zf::kNoUpperLimit);
    else if (input.Key == "start_delay")
        RequireLawInRange(input, owner, "время начала эвакуации t_нэ допустимо от 0 с, ", 0, zf::kNoUpperLimit);
    else
        RequireLawWithin(input, owner, "площадь горизонтальной проекции человека f должна лежать в пределах 0 < f ≤ 1 м², ");
}

}  // namespace zfcli::study::law
