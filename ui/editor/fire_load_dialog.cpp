#include "fire_load_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "model/number_text.h"
#include "project/fire_loads.h"

namespace {

const zf::project::FireLoad* RowOf(const QListWidgetItem* item) {
    return item == nullptr ? nullptr : zf::project::FindFireLoad(item->text().toStdString());
}

QString Number(double value) { return QString::fromStdString(zf::PlainNumberText(value, ",")); }

// The row's values with their units, as the main window's fields take them.
QString DetailsText(const zf::project::FireLoad& row) {
    return QStringLiteral("<b>%1</b><br>%2<br>Источник: %3<br>"
                          "Qн = %4 Дж/кг; Vлин = %5 м/с; ψуд = %6 кг/(м²·с); D = %7 Нп·м²/кг;<br>"
                          "LO2 = %8, LCO = %9, LCO2 = %10, LHCl = %11 кг/кг")
        .arg(QString::fromStdString(row.Name).toHtmlEscaped(), QString::fromStdString(row.Description).toHtmlEscaped(),
             QString::fromStdString(row.Source).toHtmlEscaped(), Number(row.Qn), Number(row.Vlin), Number(row.PsiUd),
             Number(row.D), Number(row.Lo2), Number(row.Lco))
        .arg(Number(row.Lco2), Number(row.Lhcl)) +
           (row.Vlin == 0 ? QStringLiteral("<br><i>Vлин = 0: по таблице сразу горит вся площадь (жидкость). В модели пожар растет "
                                           "кругом со скоростью Vлин, и при Vлин = 0 горения нет: задайте площадь разлива в поле "
                                           "Fmax и большую Vлин, например 0,5 м/с.</i>")
                          : QString());
}

}  // namespace

TFireLoadDialog::TFireLoadDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FireLoadDialog"));
    setWindowTitle(QStringLiteral("Типовая пожарная нагрузка"));
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("EditFireLoadSearch"));
    search_->setPlaceholderText(QStringLiteral("Поиск по названию и описанию"));
    search_->setClearButtonEnabled(true);
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ListFireLoads"));
    for (const zf::project::FireLoad& row : zf::project::BuiltInFireLoads()) {
        auto* item = new QListWidgetItem(QString::fromStdString(row.Name), list_);
        item->setToolTip(QString::fromStdString(row.Description + " (" + row.Source + ")"));
    }
    details_ = new QLabel(this);
    details_->setObjectName(QStringLiteral("FireLoadDetails"));
    details_->setWordWrap(true);
    details_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Заполнить поля"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("BtnFireLoadFill"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("Значения из таблиц типовых пожарных нагрузок заполнят восемь полей "
                                            "«Параметры горючей нагрузки» (все, кроме Nu); название попадет в файл и в отчет."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    layout->addWidget(search_);
    layout->addWidget(list_, 1);
    layout->addWidget(details_);
    layout->addWidget(buttons);
    connect(search_, &QLineEdit::textChanged, this, &TFireLoadDialog::Filter);
    connect(list_, &QListWidget::currentItemChanged, this, &TFireLoadDialog::ShowDetails);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (!ChosenName().isEmpty()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(620, 520);
    ShowDetails();
}

void TFireLoadDialog::SelectName(const QString& name) {
    const QList<QListWidgetItem*> found = list_->findItems(name, Qt::MatchExactly);
    if (!found.isEmpty()) list_->setCurrentItem(found.front());
}

QString TFireLoadDialog::ChosenName() const {
    const QListWidgetItem* item = list_->currentItem();
    return item != nullptr && !item->isHidden() ? item->text() : QString();
}

// Rows whose name or description holds every word typed, in any case.
void TFireLoadDialog::Filter(const QString& text) {
    const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QListWidgetItem* firstShown = nullptr;
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        const QString haystack = item->text() + QLatin1Char(' ') + item->toolTip();
        bool shown = true;
        for (const QString& word : words) shown = shown && haystack.contains(word, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && firstShown == nullptr) firstShown = item;
    }
    if (list_->currentItem() == nullptr || list_->currentItem()->isHidden()) list_->setCurrentItem(firstShown);
    ShowDetails();
}

void TFireLoadDialog::ShowDetails() {
    const zf::project::FireLoad* row = RowOf(list_->currentItem());
    details_->setText(row != nullptr && !list_->currentItem()->isHidden()
                          ? DetailsText(*row)
                          : QStringLiteral("Выберите нагрузку в списке."));
}
