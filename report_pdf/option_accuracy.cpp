#include "option_accuracy.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

namespace {

const char* const kPlumes[2] = {"tanaka", "mccaffrey"};

// The groups of single kinds of test; "all", "steckler" and "nbs" hold them.
const char* const kSingleKindGroups[] = {"steckler_centre", "steckler_wall", "nbs_fire", "nbs_downstream", "nist"};

std::optional<PlumeAccuracy> ReadFigures(const QJsonObject& group, const char* quantity, const char* plume) {
    const QJsonObject o = group.value(QLatin1String(quantity)).toObject().value(QLatin1String(plume)).toObject();
    const QJsonValue bias = o.value(QStringLiteral("bias"));
    const int n = o.value(QStringLiteral("n")).toInt();
    if (!bias.isDouble() || n < 1) return std::nullopt;
    PlumeAccuracy a;
    a.N = n;
    a.Bias = bias.toDouble();
    if (const QJsonValue scatter = o.value(QStringLiteral("scatter")); scatter.isDouble()) a.Scatter = scatter.toDouble();
    return a;
}

const OptionAccuracy* ModelOf(const zf::RunOptions& options, const std::vector<OptionAccuracy>& figures) {
    const QString key = ModelOptionKey(options);
    for (const OptionAccuracy& o : figures)
        if (o.Key == key) return &o;
    return nullptr;
}

QString PlumeName(bool tanaka) { return tanaka ? QStringLiteral("Танака") : QStringLiteral("МакКефри"); }

// How much colder than measured a bias below 1 leaves the layer's rise, in whole per cent.
int PercentTooCold(double bias) { return static_cast<int>(std::lround(100 * (1 - bias))); }

QString TooColdText(const GroupAccuracy& g, bool tanaka) {
    const std::optional<PlumeAccuracy>& mine = g.Temperature[tanaka ? 0 : 1];
    const std::optional<PlumeAccuracy>& other = g.Temperature[tanaka ? 1 : 0];
    QString text = QStringLiteral("«%1» — на %2\u00A0%").arg(g.Name.mid(g.Name.startsWith(QStringLiteral("— ")) ? 2 : 0))
                       .arg(PercentTooCold(mine->Bias));
    if (other && PercentTooCold(other->Bias) > 0)
        text += QStringLiteral(" (с зависимостью %1 — на %2\u00A0%)").arg(PlumeName(!tanaka)).arg(PercentTooCold(other->Bias));
    else if (other)
        text += QStringLiteral(" (с зависимостью %1 — без занижения)").arg(PlumeName(!tanaka));
    return text;
}

}  // namespace

std::vector<OptionAccuracy> ParseOptionAccuracy(const QByteArray& json) {
    std::vector<OptionAccuracy> out;
    const QJsonDocument doc = QJsonDocument::fromJson(json);
    if (!doc.isObject()) return out;
    const QJsonObject options = doc.object().value(QStringLiteral("options")).toObject();
    for (auto it = options.begin(); it != options.end(); ++it) {
        OptionAccuracy option{it.key(), it.value().toObject().value(QStringLiteral("name")).toString(), {}};
        for (const QJsonValue& v : it.value().toObject().value(QStringLiteral("groups")).toArray()) {
            const QJsonObject g = v.toObject();
            GroupAccuracy group{g.value(QStringLiteral("key")).toString(), g.value(QStringLiteral("name")).toString(), {}, {}};
            for (int p = 0; p < 2; ++p) {
                group.Temperature[p] = ReadFigures(g, "upper_temp_rise", kPlumes[p]);
                group.Depth[p] = ReadFigures(g, "layer_depth", kPlumes[p]);
            }
            if (group.Temperature[0] || group.Temperature[1]) option.Groups.push_back(std::move(group));
        }
        if (!option.Groups.empty()) out.push_back(std::move(option));
    }
    return out;
}

const std::vector<OptionAccuracy>& OptionAccuracyFigures() {
    static const std::vector<OptionAccuracy> figures = [] {
        Q_INIT_RESOURCE(model_accuracy);
        QFile file(QStringLiteral(":/validation/options/model_accuracy.json"));
        return file.open(QIODevice::ReadOnly) ? ParseOptionAccuracy(file.readAll()) : std::vector<OptionAccuracy>{};
    }();
    return figures;
}

QString ModelOptionKey(const zf::RunOptions& options) {
    const bool loss = options.HeatLoss.Enabled;
    if (options.ConsistentOutflow) return loss ? QStringLiteral("both") : QStringLiteral("consistent_outflow");
    return loss ? QStringLiteral("heat_loss") : QStringLiteral("reference");
}

std::vector<std::vector<QString>> UsedModelAccuracyTable(const zf::RunOptions& options, bool tanaka,
                                                         const std::vector<OptionAccuracy>& figures) {
    const OptionAccuracy* model = ModelOf(options, figures);
    if (model == nullptr) return {};
    std::vector<std::vector<QString>> rows = {{QStringLiteral("Группа опытов"), QStringLiteral("N"),
                                               QStringLiteral("Температура слоя: смещение"), QStringLiteral("разброс"),
                                               QStringLiteral("Толщина слоя: смещение"), QStringLiteral("разброс")}};
    const int p = tanaka ? 0 : 1;
    const auto bias = [](const std::optional<PlumeAccuracy>& a) { return a ? AccuracyFigure(a->Bias) : QStringLiteral("—"); };
    const auto scatter = [](const std::optional<PlumeAccuracy>& a) { return a ? ScatterText(a->Scatter) : QStringLiteral("—"); };
    for (const GroupAccuracy& g : model->Groups) {
        const std::optional<PlumeAccuracy>& t = g.Temperature[p];
        rows.push_back({g.Name, t ? QString::number(t->N) : QStringLiteral("—"), bias(t), scatter(t), bias(g.Depth[p]),
                        scatter(g.Depth[p])});
    }
    return rows;
}

QStringList UsedModelAccuracyNotes(const zf::RunOptions& options, bool tanaka, const std::vector<OptionAccuracy>& figures) {
    const OptionAccuracy* model = ModelOf(options, figures);
    if (model == nullptr) return {};
    QStringList notes;
    notes << QStringLiteral("Модель этого расчета: %1, зависимость для факела %2. Ее смещение и разброс по группам опытов "
                            "(превышение температуры слоя дыма над начальной и толщина слоя; разброс — для групп больше "
                            "двух точек):")
                 .arg(model->Name, PlumeName(tanaka));
    QStringList cold;
    for (const GroupAccuracy& g : model->Groups)
        for (const char* key : kSingleKindGroups)
            if (g.Key == QLatin1String(key) && g.Temperature[tanaka ? 0 : 1] && PercentTooCold(g.Temperature[tanaka ? 0 : 1]->Bias) > 0)
                cold << TooColdText(g, tanaka);
    if (cold.isEmpty())
        notes << QStringLiteral("Ни в одной группе опытов эта модель не занижает температуру слоя дыма.");
    else
        notes << QStringLiteral("Не в запас: температура слоя дыма получается ниже измеренной в группах ") +
                     cold.join(QStringLiteral("; ")) +
                     QStringLiteral(". В таких помещениях время блокирования по повышенной температуре наступает позже, "
                                    "чем в опытах.");
    return notes;
}

QString UsedModelAccuracyText(const zf::RunOptions& options, bool tanaka, const std::vector<OptionAccuracy>& figures) {
    const QStringList notes = UsedModelAccuracyNotes(options, tanaka, figures);
    if (notes.isEmpty()) return {};
    QStringList lines;
    const std::vector<std::vector<QString>> table = UsedModelAccuracyTable(options, tanaka, figures);
    for (std::size_t r = 1; r < table.size(); ++r) {
        const std::vector<QString>& row = table[r];
        lines << QStringLiteral("%1 (N\u00A0=\u00A0%2): температура — смещение %3, разброс %4; толщина слоя — смещение %5, "
                                "разброс %6.")
                     .arg(row[0], row[1], row[2], row[3], row[4], row[5]);
    }
    return notes.front() + QLatin1Char('\n') + lines.join(QLatin1Char('\n')) + QStringLiteral("\n\n") +
           notes.mid(1).join(QStringLiteral("\n\n"));
}
