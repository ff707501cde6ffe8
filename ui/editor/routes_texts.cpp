#include "routes_texts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QTableWidgetItem>

#include "model/number_text.h"
#include "dialog_fields.h"
#include "project/element_inputs.h"
#include "project/route_file.h"

namespace {

// "Длина участка l, м: у проема не учитывается ...": a column's tip from its row of the table.
template <class Owner>
QString InputTip(const zf::project::ElementInput<Owner>& input) {
    QString tip = InputText(input.Name) + QStringLiteral(", ") + InputText(input.Unit);
    return input.Help.empty() ? tip : tip + QStringLiteral(": ") + InputText(input.Help);
}

}  // namespace

QString RoutesIntroText() {
    return QStringLiteral(
        "Время эвакуации tр по путям эвакуации (упрощенная аналитическая модель движения людского потока, "
        "ГОСТ 12.1.004-91, приложение 2; приказ МЧС России № 1140). Путь — участки по порядку от самого "
        "удаленного места до выхода; люди стоят на первом участке. Поток последнего участка может влиться "
        "в участок другого пути. Плотность D, скорость V, интенсивность q, время l/V и задержка скопления Δt "
        "рассчитываются при каждом изменении. При q не больше наибольшей для вида участка V берется на ветви "
        "малых плотностей (поток растекается) — так таблицу обычно читают, хотя прямо в нормативном тексте "
        "это не сказано.");
}

QStringList RouteHeaders() {
    QStringList headers = {QStringLiteral("Название")};
    for (const auto& input : zf::project::kRouteInputs) headers << InputText(input.Caption);
    return headers << QStringLiteral("Вливается в путь") << QStringLiteral("участок");
}

QStringList SegmentHeaders() {
    QStringList headers = {QStringLiteral("Путь"), QStringLiteral("Вид")};
    for (const auto& input : zf::project::kSegmentInputs) headers << InputText(input.Caption);
    return headers << QStringLiteral("Помещение") << QStringLiteral("D") << QStringLiteral("V, м/мин")
                   << QStringLiteral("q, м/мин") << QStringLiteral("l/V, мин") << QStringLiteral("Δt, мин");
}

QString RouteHeaderTip(int column) {
    static const QString tips[] = {
        QStringLiteral("Название пути (необязательно)"),
        InputTip(zf::project::kRouteInputs[0]), InputTip(zf::project::kRouteInputs[1]),
        InputTip(zf::project::kRouteInputs[2]),
        QStringLiteral("Номер пути, в участок которого вливается поток последнего участка; пусто — путь ведет наружу"),
        QStringLiteral("Номер участка того пути (не первый: на первом стоят люди)")};
    return tips[column];
}

QString SegmentHeaderTip(int column) {
    static const QString tips[] = {
        QStringLiteral("Номер пути, к которому относится участок; участки пути идут по порядку строк"),
        QStringLiteral("Вид участка"),
        InputTip(zf::project::kSegmentInputs[0]), InputTip(zf::project::kSegmentInputs[1]),
        QStringLiteral("Номер помещения здания, в котором лежит участок (необязательно): для вывода по помещению"),
        QStringLiteral("Плотность потока D = N·f/(l·δ) на первом участке, по q на следующих; «≥» — скопление"),
        QStringLiteral("Скорость потока V, м/мин, по таблице"),
        QStringLiteral("Интенсивность потока q = D·V, м/мин: на следующих участках q = Σ q·δ / δ"),
        QStringLiteral("Время прохода участка l/V, мин"),
        QStringLiteral("Задержка скопления перед участком Δt = N·f·[1/(q_{D=0,9}·δ) − 1/Σ q·δ], мин")};
    return tips[column];
}

QString EditText(double value) {
    return QString::fromStdString(zf::PlainNumberText(value, QLocale().decimalPoint().toStdString()));
}

QString FigureText(double value, int decimals) {
    return QString::fromStdString(zf::PlainNumberText(value, QLocale().decimalPoint().toStdString(), decimals));
}

QComboBox* KindBox(zf::flow::SegmentKind kind, QWidget* parent, std::function<void()> changed) {
    auto* box = new QComboBox(parent);
    for (int k = 0; k < zf::flow::kSegmentKindCount; ++k)
        box->addItem(QString::fromStdString(std::string(zf::flow::SegmentKindText(static_cast<zf::flow::SegmentKind>(k)))));
    box->setCurrentIndex(static_cast<int>(kind));
    QObject::connect(box, &QComboBox::currentIndexChanged, box, [changed] { changed(); });
    return box;
}

QComboBox* ProjectionBox(double projection, QWidget* parent, std::function<void()> changed) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    for (const zf::project::PeopleKind& kind : zf::project::kPeopleKinds) {
        box->addItem(EditText(kind.Projection));
        box->setItemData(box->count() - 1, QString::fromStdString(std::string(kind.Text)), Qt::ToolTipRole);
    }
    box->setEditText(EditText(projection));
    QObject::connect(box, &QComboBox::currentTextChanged, box, [changed] { changed(); });
    return box;
}

QTableWidgetItem* ComputedItem() {
    auto* item = new QTableWidgetItem(QStringLiteral("—"));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}
