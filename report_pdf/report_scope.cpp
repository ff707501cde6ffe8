// The report's last sections: where the model applies and what it leaves out, with the places
// where its results are not on the safe side; then how it compares with fire experiments.
#include "report_builder.h"

#include <QStringList>

#include "model_accuracy.h"
#include "model_notes.h"
#include "option_accuracy.h"

namespace zfpdf {

namespace {

// What the two-zone model of this program does not compute, so a reader knows which effects a
// building's own case must be judged for by other means.
QStringList NotModelled(const zf::RunOptions& options) {
    QStringList items{
        QStringLiteral("механическая вентиляция, дымоудаление и подпор воздуха, ветер"),
        QStringLiteral("проемы в перекрытиях (горизонтальные): газ проходит только через проемы в стенах"),
        QStringLiteral("открывание и закрывание проемов, разрушение остекления во время пожара: состояние проемов "
                       "постоянно"),
        QStringLiteral("ограничение горения недостатком кислорода и распространение пожара в другие помещения"),
        QStringLiteral("несколько очагов и очаг вне помещения №1"),
        QStringLiteral("тепловое излучение вне помещения очага"),
        QStringLiteral("неоднородность газа по площади помещения (длинные коридоры, атриумы): слой считается "
                       "однородным от стены до стены"),
    };
    if (!options.HeatLoss.Enabled)
        items << QStringLiteral("теплопотери газа в потолок и стены (вариант модели «теплопотери» выключен)");
    return items;
}

QString List(const QStringList& items) {
    QString html = QStringLiteral("<ul>");
    for (const QString& item : items) html += QStringLiteral("<li>") + Esc(item) + QStringLiteral("</li>");
    return html + QStringLiteral("</ul>");
}

}  // namespace

void ReportBuilder::Scope() {
    Section(QStringLiteral("5. Область применения и ограничения"), false);
    Html(Paragraph(QStringLiteral(
        "Программа рассчитывает время блокирования путей эвакуации опасными факторами пожара в здании из "
        "помещений в форме прямоугольного параллелепипеда, соединенных дверными проемами, при одном очаге "
        "пожара в помещении №1 и естественном движении газа под действием разности плотностей. Вывод об "
        "эвакуации действителен в пределах допущений, перечисленных ниже.")));
    Html(QStringLiteral("<h3>Допущения двухзонной модели</h3>"));
    // The paragraph on heat kept in the gas describes the reference model: with the heat-loss
    // option the layer does lose heat to its enclosure.
    const QString keptHeat = QStringLiteral("Теплообмен газа со стенами");
    for (const std::string& p : zfreport::ModelLimitsParagraphs())
        if (!zm_.Options.HeatLoss.Enabled || !QString::fromStdString(p).startsWith(keptHeat))
            Html(Paragraph(QString::fromStdString(p)));
    Html(QStringLiteral("<h3>Что модель не учитывает</h3>"));
    Html(List(NotModelled(zm_.Options)));
    Html(QStringLiteral("<h3>Где результат не в запас</h3>"));
    const QStringList used = UsedModelAccuracyNotes(zm_.Options, zm_.UseTanaka);
    if (used.isEmpty()) {
        Html(Paragraph(QStringLiteral("Данные сравнения с опытами для модели этого расчета в программу не включены.")));
    } else {
        Html(Paragraph(used.front()));
        Html(HtmlTable(ToCells(UsedModelAccuracyTable(zm_.Options, zm_.UseTanaka)), {}, {34, 6, 15, 15, 15, 15}));
        for (qsizetype i = 1; i < used.size(); ++i) Html(Paragraph(used[i]));
    }
    if (const QString direction = ErrorDirectionText(GoverningFactors(), zm_.UseTanaka); !direction.isEmpty())
        Html(Paragraph(direction));
}

void ReportBuilder::Validation() {
    Section(QStringLiteral("6. Проверка модели"), false);
    // The validation's figures, as the windows' "О модели" quotes them, but as a table, and
    // without the pointer to the source texts: the report must stand on its own.
    const std::vector<std::vector<QString>> table = ModelAccuracyTable();
    if (table.empty()) {
        Html(Paragraph(QStringLiteral("Сравнение результатов модели с опытными данными в этом отчете не приводится.")));
        return;
    }
    Html(Paragraph(QStringLiteral("Результаты эталонной модели (без вариантов) сравнены с измерениями опытов с пожарами "
                                  "в помещениях по всем величинам, из которых получаются ОФП.")));
    Html(Paragraph(ModelAccuracyIntro()));
    Html(HtmlTable(ToCells(table), {}, {30, 10, 15, 15, 15, 15}));
    for (const QString& p : ModelAccuracyNotes()) Html(Paragraph(p));
}

}  // namespace zfpdf
