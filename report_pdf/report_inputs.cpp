#include "report_inputs.h"

#include <QStringList>

#include "report_html.h"
#include "verdict.h"
#include "model/defaults.h"
#include "model/enclosure.h"
#include "model/inputs.h"
#include "model/scenario.h"
#include "project/fire_loads.h"

namespace zfpdf {

namespace {

const QString kDefault = QStringLiteral("значение программы по умолчанию");

QString UserSource(const QString& byDefault) { return QStringLiteral("задано пользователем (по умолчанию %1)").arg(byDefault); }

// Whether `input` is one of the fire-load library row's inputs and still holds the row's value.
bool FromLibrary(const zf::Input& input, double value, const QString& fireLoad) {
    if (fireLoad.isEmpty()) return false;
    const zf::project::FireLoad* load = zf::project::FindFireLoad(fireLoad.toStdString());
    if (load == nullptr) return false;
    bool libraryKey = false;
    for (std::string_view key : zf::project::FireLoadKeys()) libraryKey = libraryKey || key == input.Key;
    if (!libraryKey) return false;
    zf::Parameters library;
    zf::project::ApplyFireLoad(*load, library);
    return library.*input.Field == value;
}

// A line of a value that is no row of the input table: its text, its default's, and whether it
// differs.
InputLine Line(const QString& symbol, const QString& name, const QString& value, const QString& unit,
               const QString& byDefault, bool changed) {
    return {symbol, name, changed ? value + kChangedMark : value, unit, changed ? UserSource(byDefault) : kDefault, changed};
}

QString OnOff(bool on) { return on ? QStringLiteral("включен") : QStringLiteral("выключен"); }

}  // namespace

QString ChangedFootnote() {
    return QStringLiteral("* — значение отличается от значения программы по умолчанию; расчет выполнен с ним.");
}

InputLine LineOf(const zf::Input& input, const zf::TzoneMath& zm, const QString& fireLoad) {
    const Numbers num;
    const double value = input.In(zm);
    const bool changed = value != input.Default;
    InputLine line = Line(Utf8(input.Symbol), Utf8(input.Name), num(value), Utf8(input.UnitOrDash()), num(input.Default), changed);
    if (FromLibrary(input, value, fireLoad))
        line.Source = QStringLiteral("библиотека пожарных нагрузок: «%1»").arg(fireLoad);
    return line;
}

std::vector<InputLine> SettingLines(const zf::TzoneMath& zm, const ScenarioDescription& description) {
    const Numbers num;
    std::vector<InputLine> lines;
    for (const zf::Input& input : zf::kInputs)
        if (input.Group != zf::InputGroup::Critical) lines.push_back(LineOf(input, zm, description.FireLoad));
    constexpr int kSamples = zf::ScenarioDefaults::SamplesPerSec;
    lines.push_back(Line(QStringLiteral("Δtзап"), QStringLiteral("Интервал записи результатов"),
                         num(zm.SamplesPerSec > 0 ? 1.0 / zm.SamplesPerSec : 0.0), QStringLiteral("с"),
                         num(1.0 / kSamples), zm.SamplesPerSec != kSamples));
    const double f = description.Evacuation.SafetyFactor;
    lines.push_back(Line(QStringLiteral("f"), QStringLiteral("Коэффициент безопасности при сравнении с временем блокирования"),
                         num(f), QStringLiteral("—"), num(zfreport::kDefaultSafetyFactor), f != zfreport::kDefaultSafetyFactor));
    const auto plume = [](bool tanaka) { return tanaka ? QStringLiteral("зависимость Танака") : QStringLiteral("зависимость МакКефри"); };
    lines.push_back(Line(QStringLiteral("—"), QStringLiteral("Расчет производительности конвективной колонки"), plume(zm.UseTanaka),
                         QStringLiteral("—"), plume(zf::ScenarioDefaults::UseTanaka),
                         zm.UseTanaka != zf::ScenarioDefaults::UseTanaka));
    return lines;
}

std::vector<InputLine> OptionLines(const zf::TzoneMath& zm) {
    const Numbers num;
    const zf::RunOptions& o = zm.Options;
    const zf::HeatLossOptions& heat = o.HeatLoss;
    const QString off = QStringLiteral("выключен (эталонная модель)");
    std::vector<InputLine> lines{
        Line(QStringLiteral("—"), QStringLiteral("Согласованный по энергии расход газа через проемы"), OnOff(o.ConsistentOutflow),
             QStringLiteral("—"), off, o.ConsistentOutflow),
        Line(QStringLiteral("—"), QStringLiteral("Теплопотери слоя дыма в потолок и стены"), OnOff(heat.Enabled),
             QStringLiteral("—"), off, heat.Enabled)};
    if (!heat.Enabled) return lines;
    // The surfaces are inputs of the option: given by the engineer, no default.
    const auto surface = [&lines](const QString& name, const QString& text) {
        lines.push_back({QStringLiteral("—"), name, text, QStringLiteral("—"), QStringLiteral("задано пользователем"), false});
    };
    surface(QStringLiteral("Стены здания"), SurfaceText(heat.Walls));
    surface(QStringLiteral("Потолок здания"), heat.Ceiling ? SurfaceText(*heat.Ceiling) : QStringLiteral("как стены"));
    for (std::size_t i = 0; i < heat.Rooms.size(); ++i) {
        const QString room = QStringLiteral("Помещение №%1: ").arg(i + 1);
        if (heat.Rooms[i].Walls) surface(room + QStringLiteral("стены"), SurfaceText(*heat.Rooms[i].Walls));
        if (heat.Rooms[i].Ceiling) surface(room + QStringLiteral("потолок"), SurfaceText(*heat.Rooms[i].Ceiling));
    }
    lines.push_back(Line(QStringLiteral("Δtогр"), QStringLiteral("Интервал расчета теплопроводности ограждений"),
                         heat.SurfaceInterval > 0 ? num(heat.SurfaceInterval) : QStringLiteral("каждый шаг"),
                         heat.SurfaceInterval > 0 ? QStringLiteral("с") : QStringLiteral("—"), QStringLiteral("каждый шаг"),
                         heat.SurfaceInterval > 0));
    return lines;
}

QString ModelText(const zf::TzoneMath& zm) {
    const Numbers num;
    QStringList options;
    if (zm.Options.FireAreaMax > 0)
        options << QStringLiteral("площадь пожара не больше %1 м²").arg(num(zm.Options.FireAreaMax));
    if (zm.Options.ConsistentOutflow) options << QStringLiteral("согласованный по энергии расход газа через проемы");
    if (zm.Options.HeatLoss.Enabled) options << QStringLiteral("теплопотери в потолок и стены");
    return QStringLiteral("двухзонная; конвективная колонка — %1; варианты модели: %2")
        .arg(zm.UseTanaka ? QStringLiteral("зависимость Танака") : QStringLiteral("зависимость МакКефри"),
             options.isEmpty() ? QStringLiteral("нет (эталонная модель)") : options.join(QStringLiteral(", ")));
}

QString SurfaceText(const zf::Surface& surface) {
    const Numbers num;
    QStringList layers;
    for (const zf::SurfaceLayer& layer : surface.Layers) {
        const zf::Material* material = layer.Key.empty() ? nullptr : zf::FindMaterial(layer.Key);
        const QString what = material != nullptr
                                 ? Utf8(material->Russian)
                                 : QStringLiteral("k %1 Вт/(м·К), ρ %2 кг/м³, c %3 Дж/(кг·К)").arg(num(layer.k), num(layer.rho), num(layer.c));
        layers << QStringLiteral("%1 %2 м").arg(what, num(layer.Thickness));
    }
    QString text = layers.join(QStringLiteral(" + "));
    if (surface.Back == zf::BackFace::Adiabatic) text += QStringLiteral("; тыльная сторона без теплообмена");
    return text;
}

}  // namespace zfpdf
