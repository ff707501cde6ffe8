#include "model_accuracy.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <cmath>

#include "number_text.h"

namespace {

struct KnownQuantity {
    const char* Key;
    const char* Name;
};

// The quantities in the order of importance for blocking times: the layer's depth and
// temperature decide the working-zone temperature, the gases and smoke the rest.
const KnownQuantity kKnown[] = {
    {"layer_depth", "Толщина слоя дыма (от потолка до нижней границы слоя)"},
    {"upper_temp_rise", "Превышение температуры слоя дыма над начальной"},
    {"o2_drop", "Снижение доли кислорода в слое дыма"},
    {"co2_rise", "Доля CO2 в слое дыма"},
    {"co", "Доля CO в слое дыма"},
    {"smoke_extinction", "Оптическая плотность дыма в слое"},
};

std::optional<PlumeAccuracy> ReadPlume(const QJsonObject& quantity, const char* plume) {
    const QJsonValue v = quantity.value(QLatin1String(plume));
    if (!v.isObject()) return std::nullopt;
    const QJsonObject o = v.toObject();
    const QJsonValue bias = o.value(QStringLiteral("bias"));
    const int n = o.value(QStringLiteral("n")).toInt();
    if (!bias.isDouble() || n < 1) return std::nullopt;  // nothing compared
    PlumeAccuracy a;
    a.N = n;
    a.Bias = bias.toDouble();
    const QJsonValue scatter = o.value(QStringLiteral("scatter"));
    if (scatter.isDouble()) a.Scatter = scatter.toDouble();
    return a;
}

// Two decimals with the windows' decimal separator: "1,25", "0,50". The separator is the one
// the windows' general format writes.
QString Figure(double v) {
    const QString separator = FormatGeneral(0.5).mid(1, 1);
    return QString::number(std::round(v * 100) / 100, 'f', 2).replace(QLatin1Char('.'), separator);
}

// "N = 44" with a non-breaking space on both sides of "=", so a line never breaks inside it.
QString CountText(int n) { return QStringLiteral("N\u00A0=\u00A0%1").arg(n); }

// A scatter of 0 rounds to "0,00", which reads like a fault: it means the single tests do not
// differ from the bias by more than the measurements' own uncertainty.
bool WithinUncertainty(double scatter) { return std::round(scatter * 100) == 0; }

QString PlumeLine(const char* plume, const std::optional<PlumeAccuracy>& a) {
    if (!a) return QStringLiteral("%1 — нет данных").arg(QString::fromUtf8(plume));
    QString text = QStringLiteral("%1 — смещение %2").arg(QString::fromUtf8(plume), Figure(a->Bias));
    if (a->Scatter) text += QStringLiteral(", разброс %1").arg(ScatterText(a->Scatter));
    return text + QStringLiteral(" (%1)").arg(CountText(a->N));
}

// The quantity compared with experiments that stands behind each hazard factor, and how the
// direction of its error is worded. HCl and radiation were not measured.
struct FactorQuantity {
    zf::HazardKind Kind;
    const char* Key;
    const char* What;    // what the model over- or under-predicts, in the accusative
    const char* Factor;  // the blocking time "по ..."
};
const FactorQuantity kFactorQuantities[] = {
    {zf::hkTemperature, "upper_temp_rise", "превышение температуры слоя дыма над начальной", "повышенной температуре"},
    {zf::hkVisibility, "smoke_extinction", "оптическую плотность дыма", "потере видимости"},
    {zf::hkOxygen, "o2_drop", "снижение доли кислорода", "недостатку кислорода"},
    {zf::hkCO2, "co2_rise", "долю диоксида углерода (CO2)", "диоксиду углерода"},
    {zf::hkCO, "co", "долю оксида углерода (CO)", "оксиду углерода"},
};

const QuantityAccuracy* Find(const std::vector<QuantityAccuracy>& figures, const char* key) {
    for (const QuantityAccuracy& q : figures)
        if (q.Key == QLatin1String(key)) return &q;
    return nullptr;
}

}  // namespace

QString AccuracyFigure(double v) { return Figure(v); }

QString ScatterText(const std::optional<double>& scatter) {
    if (!scatter) return QStringLiteral("—");
    return WithinUncertainty(*scatter) ? QStringLiteral("в пределах погрешности опытов") : Figure(*scatter);
}

std::vector<std::vector<QString>> ModelAccuracyTable(const std::vector<QuantityAccuracy>& figures) {
    if (figures.empty()) return {};
    std::vector<std::vector<QString>> rows = {{QStringLiteral("Величина"), QStringLiteral("Число точек N"),
                                               QStringLiteral("Смещение, Танака"), QStringLiteral("Разброс, Танака"),
                                               QStringLiteral("Смещение, МакКефри"), QStringLiteral("Разброс, МакКефри")}};
    for (const QuantityAccuracy& q : figures) {
        const int n = q.Tanaka ? q.Tanaka->N : q.McCaffrey->N;
        // Both plumes are compared at the same points; should they ever differ, both counts show.
        const QString count = q.Tanaka && q.McCaffrey && q.Tanaka->N != q.McCaffrey->N
                                  ? QStringLiteral("%1 / %2").arg(q.Tanaka->N).arg(q.McCaffrey->N)
                                  : QString::number(n);
        const auto bias = [](const std::optional<PlumeAccuracy>& a) { return a ? Figure(a->Bias) : QStringLiteral("—"); };
        const auto scatter = [](const std::optional<PlumeAccuracy>& a) { return a ? ScatterText(a->Scatter) : QStringLiteral("—"); };
        rows.push_back({q.Name, count, bias(q.Tanaka), scatter(q.Tanaka), bias(q.McCaffrey), scatter(q.McCaffrey)});
    }
    return rows;
}

QString ErrorDirectionText(const std::vector<zf::HazardKind>& factors, bool tanaka, const std::vector<QuantityAccuracy>& figures) {
    const auto plumeOf = [tanaka](const QuantityAccuracy& q) { return tanaka ? q.Tanaka : q.McCaffrey; };
    QStringList sentences;
    for (const zf::HazardKind kind : factors) {
        const FactorQuantity* fq = nullptr;
        for (const FactorQuantity& c : kFactorQuantities)
            if (c.Kind == kind) fq = &c;
        const QuantityAccuracy* q = fq != nullptr ? Find(figures, fq->Key) : nullptr;
        const std::optional<PlumeAccuracy> a = q != nullptr ? plumeOf(*q) : std::nullopt;
        if (!a) continue;
        // Bias = mean ratio of predicted to measured rise: below 1 the computed rise is smaller,
        // so the limit is reached later than in the experiments.
        const bool under = a->Bias < 1;
        sentences << QStringLiteral("модель %1 %2 (смещение %3, %4): время блокирования по %5 получается %6")
                         .arg(under ? QStringLiteral("занижает") : QStringLiteral("завышает"), QString::fromUtf8(fq->What),
                              Figure(a->Bias), CountText(a->N), QString::fromUtf8(fq->Factor),
                              under ? QStringLiteral("позже измеренного, то есть не в запас")
                                    : QStringLiteral("раньше измеренного, то есть в запас"));
    }
    if (sentences.isEmpty()) return {};
    QString text = QStringLiteral("Направление погрешности модели по сравнению с опытами (зависимость %1): ")
                       .arg(tanaka ? QStringLiteral("Танака") : QStringLiteral("МакКефри")) +
                   sentences.join(QStringLiteral("; ")) + QLatin1Char('.');
    // The layer's depth decides when the layer reaches the working zone, for every factor.
    if (const QuantityAccuracy* depth = Find(figures, "layer_depth"); depth != nullptr)
        if (const std::optional<PlumeAccuracy> a = plumeOf(*depth))
            text += QStringLiteral(" Толщину слоя дыма модель %1 (смещение %2, %3): слой опускается до рабочей зоны %4, чем в опытах.")
                        .arg(a->Bias < 1 ? QStringLiteral("занижает") : QStringLiteral("завышает"), Figure(a->Bias),
                             CountText(a->N), a->Bias < 1 ? QStringLiteral("позже") : QStringLiteral("раньше"));
    return text;
}

std::vector<QuantityAccuracy> ParseModelAccuracy(const QByteArray& json) {
    std::vector<QuantityAccuracy> out;
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject()) return out;
    const QJsonArray quantities = doc.object().value(QStringLiteral("quantities")).toArray();
    for (const KnownQuantity& known : kKnown) {
        for (const QJsonValue& q : quantities) {
            const QJsonObject o = q.toObject();
            if (o.value(QStringLiteral("key")).toString() != QLatin1String(known.Key)) continue;
            QuantityAccuracy a{QString::fromLatin1(known.Key), QString::fromUtf8(known.Name),
                               ReadPlume(o, "tanaka"), ReadPlume(o, "mccaffrey")};
            if (a.Tanaka || a.McCaffrey) out.push_back(std::move(a));
        }
    }
    return out;
}

const std::vector<QuantityAccuracy>& ModelAccuracy() {
    static const std::vector<QuantityAccuracy> figures = [] {
        Q_INIT_RESOURCE(model_accuracy);
        QFile file(QStringLiteral(":/validation/model_accuracy.json"));
        return file.open(QIODevice::ReadOnly) ? ParseModelAccuracy(file.readAll()) : std::vector<QuantityAccuracy>{};
    }();
    return figures;
}

QString ModelAccuracyIntro() {
    return QStringLiteral(
        "Модель сравнена с опытами по пожарам в помещениях (одно помещение, несколько помещений с "
        "коридором, большое помещение). Для каждой величины даны смещение — среднее отношение "
        "расчетного превышения над начальным значением к измеренному (1 — без смещения, 1,2 — расчет "
        "в среднем на 20\u00A0% выше опыта) — и разброс — относительное рассеяние отдельных опытов вокруг "
        "смещения; N — число точек сравнения.");
}

QStringList ModelAccuracyNotes(const std::vector<QuantityAccuracy>& figures) {
    QStringList p;
    p << QStringLiteral(
        "Разброс «в пределах погрешности опытов» означает, что отдельные опыты отличаются от смещения не "
        "больше, чем погрешность самих измерений; по трем точкам и меньше эти цифры ориентировочные.");
    p << QStringLiteral(
        "Смещение больше 1 означает, что расчет дает условия хуже измеренных и критические времена "
        "наступают раньше (в запас); меньше 1 — позже (не в запас). Теплоотдача к стенам в балансе "
        "энергии не вычитается: тепло, которое в опытах уходило в стены, в модели остается в газе, и "
        "температура слоя получается, как правило, завышенной. Нижний слой считается наружным воздухом.");
    const std::vector<zf::HazardKind> compared = {zf::hkTemperature, zf::hkVisibility, zf::hkOxygen, zf::hkCO2, zf::hkCO};
    for (const bool tanaka : {true, false})
        if (const QString direction = ErrorDirectionText(compared, tanaka, figures); !direction.isEmpty()) p << direction;
    return p;
}

QString ModelLimitsText(const std::vector<QuantityAccuracy>& figures) {
    QStringList p;
    p << ModelAccuracyIntro();
    if (figures.empty()) {
        p << QStringLiteral("Данные сравнения в программу не встроены.");
    } else {
        QStringList lines;
        for (const QuantityAccuracy& q : figures)
            lines << QStringLiteral("%1: %2; %3.").arg(q.Name, PlumeLine("Танака", q.Tanaka),
                                                       PlumeLine("МакКефри", q.McCaffrey));
        p << lines.join(QLatin1Char('\n'));
        p << ModelAccuracyNotes(figures);
    }
    p << QStringLiteral(
        "Подробно — опыты, способ сравнения и графики: validation/REPORT.md в исходных текстах программы.");
    return p.join(QStringLiteral("\n\n"));
}
