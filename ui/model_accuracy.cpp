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

QString PlumeLine(const char* plume, const std::optional<PlumeAccuracy>& a) {
    if (!a) return QStringLiteral("%1 — нет данных").arg(QString::fromUtf8(plume));
    QString text = QStringLiteral("%1 — смещение %2").arg(QString::fromUtf8(plume), Figure(a->Bias));
    if (a->Scatter) text += QStringLiteral(", разброс %1").arg(Figure(*a->Scatter));
    return text + QStringLiteral(" (N = %1)").arg(a->N);
}

}  // namespace

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

QString ModelLimitsText(const std::vector<QuantityAccuracy>& figures) {
    QStringList p;
    p << QStringLiteral(
        "Модель сравнена с опытами по пожарам в помещениях (одно помещение, несколько помещений с "
        "коридором, большое помещение). Для каждой величины даны смещение — среднее отношение "
        "расчетного превышения над начальным значением к измеренному (1 — без смещения, 1,2 — расчет "
        "в среднем на 20 % выше опыта) — и разброс — относительное рассеяние отдельных опытов вокруг "
        "смещения; N — число точек сравнения.");
    if (figures.empty()) {
        p << QStringLiteral("Данные сравнения в программу не встроены.");
    } else {
        QStringList lines;
        for (const QuantityAccuracy& q : figures)
            lines << QStringLiteral("%1: %2; %3.").arg(q.Name, PlumeLine("Танака", q.Tanaka),
                                                       PlumeLine("МакКефри", q.McCaffrey));
        p << lines.join(QLatin1Char('\n'));
    }
    p << QStringLiteral(
        "Смещение больше 1 для толщины слоя и температуры означает, что расчетные условия хуже "
        "измеренных и критические времена наступают раньше; меньше 1 — позже. Модель не учитывает "
        "теплопередачу в стены и считает нижний слой наружным воздухом.");
    p << QStringLiteral(
        "Подробно — опыты, способ сравнения и графики: validation/REPORT.md в исходных текстах программы.");
    return p.join(QStringLiteral("\n\n"));
}
