#include "u_Evacuation.h"

#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

#include "number_text.h"
#include "ui_u_Evacuation.h"
#include "model/room.h"

namespace {

constexpr int kStartDelayColumn = 1;  // t_нэ
constexpr int kDurationColumn = 2;    // t_р

QString Text(const QTableWidget* grid, int row, int col) {
    const QTableWidgetItem* item = grid->item(row, col);
    return item != nullptr ? item->text().trimmed() : QString();
}

// A typed number with either decimal mark; nullopt when it is none.
std::optional<double> Number(QString text) {
    text.replace(',', QLocale().decimalPoint()).replace('.', QLocale().decimalPoint());
    bool ok = false;
    const double v = QLocale().toDouble(text, &ok);
    if (!ok) return std::nullopt;
    return v;
}

}  // namespace

TF_Evacuation::TF_Evacuation(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TF_Evacuation>()) {
    ui->setupUi(this);
    ui->GridEvacuation->setColumnCount(3);
    ui->GridEvacuation->setHorizontalHeaderLabels(
        {QStringLiteral("Помещение"), QStringLiteral("t_нэ, с"), QStringLiteral("t_р, с")});
    ui->GridEvacuation->horizontalHeaderItem(kStartDelayColumn)->setToolTip(QStringLiteral("Время начала эвакуации"));
    ui->GridEvacuation->horizontalHeaderItem(kDurationColumn)->setToolTip(QStringLiteral("Время эвакуации"));
    ui->GridEvacuation->verticalHeader()->setDefaultSectionSize(20);
    ui->ButtonsEvacuation->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Принять"));
    ui->ButtonsEvacuation->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отменить"));
    connect(ui->ButtonsEvacuation, &QDialogButtonBox::accepted, this, &TF_Evacuation::TryAccept);
    connect(ui->ButtonsEvacuation, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TF_Evacuation::~TF_Evacuation() = default;

void TF_Evacuation::SetErrorReporter(std::function<void(const QString&)> reporter) {
    ErrorReporter_ = std::move(reporter);
}

void TF_Evacuation::Show(const zfreport::EvacuationInputs& inputs, int roomCount) {
    QTableWidget* grid = ui->GridEvacuation;
    grid->clearContents();
    grid->setRowCount(roomCount);
    for (int r = 0; r < roomCount; ++r) {
        auto* room = new QTableWidgetItem(QString::fromStdString(zf::RoomTitle(r)));
        room->setFlags(Qt::ItemIsEnabled);
        room->setBackground(palette().button());
        grid->setItem(r, 0, room);
        const auto given = inputs.Room(r);
        grid->setItem(r, kStartDelayColumn, new QTableWidgetItem(given ? FormatGeneral(given->StartDelay) : QString()));
        grid->setItem(r, kDurationColumn, new QTableWidgetItem(given ? FormatGeneral(given->Duration) : QString()));
    }
    grid->resizeColumnToContents(0);
    ui->EditSafetyFactor->setText(FormatGeneral(inputs.SafetyFactor));
}

std::optional<zfreport::EvacuationInputs> TF_Evacuation::Inputs(QString* refusal) const {
    const QTableWidget* grid = ui->GridEvacuation;
    zfreport::EvacuationInputs inputs;
    auto refuse = [&](const QString& why) {
        if (refusal != nullptr) *refusal = why;
        return std::nullopt;
    };
    const auto f = Number(ui->EditSafetyFactor->text().trimmed());
    if (!f) return refuse(QStringLiteral("Коэффициент безопасности: «%1» — не число").arg(ui->EditSafetyFactor->text()));
    if (const std::string bad = zfreport::CheckSafetyFactor(*f); !bad.empty())
        return refuse(QString::fromStdString(bad));
    inputs.SafetyFactor = *f;
    for (int r = 0; r < grid->rowCount(); ++r) {
        const QString room = QString::fromStdString(zf::RoomTitle(r));
        const QString delay = Text(grid, r, kStartDelayColumn), duration = Text(grid, r, kDurationColumn);
        if (delay.isEmpty() && duration.isEmpty()) {
            inputs.Rooms.emplace_back();
            continue;
        }
        if (delay.isEmpty() || duration.isEmpty())
            return refuse(room + QStringLiteral(": задайте оба времени, t_нэ и t_р, или ни одного"));
        const auto d = Number(delay), t = Number(duration);
        if (!d) return refuse(room + QStringLiteral(": t_нэ «%1» — не число").arg(delay));
        if (!t) return refuse(room + QStringLiteral(": t_р «%1» — не число").arg(duration));
        const zfreport::EvacuationInput input{*d, *t};
        if (const std::string bad = zfreport::CheckEvacuationInput(input, room.toStdString()); !bad.empty())
            return refuse(QString::fromStdString(bad));
        inputs.Rooms.push_back(input);
    }
    return inputs;
}

void TF_Evacuation::TryAccept() {
    QString refusal;
    if (Inputs(&refusal)) {
        accept();
        return;
    }
    if (ErrorReporter_) {
        ErrorReporter_(refusal);
        return;
    }
    QMessageBox::warning(this, windowTitle(), refusal);
}
