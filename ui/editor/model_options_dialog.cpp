#include "model_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialog_fields.h"
#include "model/room.h"
#include "project/element_inputs.h"
#include "count_text.h"

namespace {

constexpr int kKept = -2;  // combo data: the surface as the file gave it (several layers, custom)
constexpr int kInherit = -1;  // combo data: the building's surface

// A typed thickness in metres with a decimal comma or point; nullopt for anything else.
std::optional<double> Metres(QString text) {
    text = text.trimmed().replace(',', '.');
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok) return std::nullopt;
    return v;
}

// One table material of one layer: the index in kMaterials, or −1.
int TableIndex(const zf::Surface& s) {
    if (s.Layers.size() != 1 || s.Back != zf::BackFace::Ambient) return -1;
    for (int i = 0; i < static_cast<int>(std::size(zf::kMaterials)); ++i)
        if (zf::kMaterials[i].Key == s.Layers[0].Key) return i;
    return -1;
}

// The check box of a model switch, with its caption and tip from the switches' table.
QCheckBox* SwitchBox(const zf::project::ModelSwitch& option, const QString& name, QWidget* parent) {
    auto* box = new QCheckBox(InputText(option.Caption), parent);
    box->setObjectName(name);
    box->setToolTip(InputText(option.Help) +
                    QStringLiteral(" (по умолчанию выключено — эталонная модель)"));
    return box;
}

// The thickness's caption, "Толщина, м", from the layer's table.
QString ThicknessCaption() { return InputText(zf::project::kLayerInputs[0].Caption); }

}  // namespace

TF_ModelOptions::TF_ModelOptions(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Модели расчета"));
    auto* layout = new QVBoxLayout(this);
    consistent_ = SwitchBox(zf::project::SwitchOf("consistent_outflow"), QStringLiteral("CBConsistentOutflow"), this);
    layout->addWidget(consistent_);
    heatLoss_ = SwitchBox(zf::project::SwitchOf("heat_loss"), QStringLiteral("CBHeatLoss"), this);
    layout->addWidget(heatLoss_);
    surfaceInterval_ = new QCheckBox(this);
    surfaceInterval_->setObjectName(QStringLiteral("CBSurfaceInterval"));
    surfaceInterval_->setToolTip(QStringLiteral(
        "Прогрев потолка и стен считается не на каждом шаге, а со средним тепловым потоком за интервал: "
        "расчет с теплопотерями идет заметно быстрее, температура слоя меняется не более чем на 0,01 %"));
    layout->addWidget(surfaceInterval_);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Материал"), this), 0, 1);
    grid->addWidget(new QLabel(ThicknessCaption(), this), 0, 2);
    walls_ = AddSurfaceRow(grid, 1, QStringLiteral("Стены здания"), QStringLiteral("Wall"), false);
    ceiling_ = AddSurfaceRow(grid, 2, QStringLiteral("Потолок здания"), QStringLiteral("Ceiling"), true);
    ceiling_.Material->setItemText(0, QStringLiteral("как стены"));
    layout->addLayout(grid);
    layout->addWidget(new QLabel(QStringLiteral("Свои стены и потолок помещений (иначе — как в здании):"), this));
    rooms_ = new QTableWidget(this);
    rooms_->setObjectName(QStringLiteral("GridRoomSurfaces"));
    rooms_->setColumnCount(5);
    rooms_->setHorizontalHeaderLabels(
        {QStringLiteral("Помещение"), QStringLiteral("Стены"), ThicknessCaption(), QStringLiteral("Потолок"), ThicknessCaption()});
    rooms_->verticalHeader()->setVisible(false);
    rooms_->setMinimumWidth(620);
    layout->addWidget(rooms_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("ButtonsModelOptions"));
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Принять"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отменить"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TF_ModelOptions::TryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

TF_ModelOptions::SurfaceFields TF_ModelOptions::AddSurfaceRow(QGridLayout* grid, int row, const QString& caption,
                                                              const QString& name, bool inherit) {
    SurfaceFields f;
    f.Material = new QComboBox(this);
    f.Material->setObjectName(QStringLiteral("Combo%1Material").arg(name));
    if (inherit) f.Material->addItem(QStringLiteral("как в здании"), kInherit);
    for (int i = 0; i < static_cast<int>(std::size(zf::kMaterials)); ++i)
        f.Material->addItem(QString::fromUtf8(zf::kMaterials[i].Russian.data(), static_cast<int>(zf::kMaterials[i].Russian.size())), i);
    f.Thickness = new QLineEdit(this);
    f.Thickness->setObjectName(QStringLiteral("Edit%1Thickness").arg(name));
    if (grid != nullptr) {
        grid->addWidget(new QLabel(caption, this), row, 0);
        grid->addWidget(f.Material, row, 1);
        grid->addWidget(f.Thickness, row, 2);
    }
    return f;
}

void TF_ModelOptions::ShowSurface(SurfaceFields f, const std::optional<zf::Surface>& s) {
    const int kept = f.Material->findData(kKept);
    if (kept >= 0) f.Material->removeItem(kept);
    if (!s) {
        f.Material->setCurrentIndex(0);
        f.Thickness->clear();
        return;
    }
    const int index = TableIndex(*s);
    if (index < 0) {  // several layers, a custom material or an adiabatic back: kept as given
        f.Material->addItem(QStringLiteral("как в файле (%1)").arg(QString::fromStdString(zfreport::CountText(static_cast<long long>(s->Layers.size()), zfreport::kLayersWord))), kKept);
        f.Material->setCurrentIndex(f.Material->count() - 1);
        f.Thickness->clear();
        return;
    }
    f.Material->setCurrentIndex(f.Material->findData(index));
    f.Thickness->setText(QString::number(s->Layers[0].Thickness).replace('.', ','));
}

// The surface interval the check box offers [s]: the shown file's own, else 0.1 s.
double TF_ModelOptions::OfferedInterval() const {
    return shown_.HeatLoss && shown_.HeatLoss->SurfaceInterval > 0 ? shown_.HeatLoss->SurfaceInterval : 0.1;
}

void TF_ModelOptions::Show(const ModelChoice& choice, int roomCount) {
    shown_ = choice;
    shown_.Rooms.resize(static_cast<std::size_t>(roomCount));
    consistent_->setChecked(choice.ConsistentOutflow);
    heatLoss_->setChecked(choice.HeatLoss.has_value());
    const double interval = OfferedInterval();
    surfaceInterval_->setText(QStringLiteral("Прогревать конструкции раз в %1 с, а не на каждом шаге (быстрее)")
                                  .arg(QString::number(interval).replace('.', ',')));
    surfaceInterval_->setChecked(choice.HeatLoss && choice.HeatLoss->SurfaceInterval > 0);
    ShowSurface(walls_, choice.HeatLoss ? std::optional(choice.HeatLoss->Walls) : std::optional(zf::MaterialSurface("gypsum_board", 0.0125)));
    ShowSurface(ceiling_, choice.HeatLoss ? choice.HeatLoss->Ceiling : std::nullopt);
    rooms_->setRowCount(roomCount);
    roomWalls_.clear();
    roomCeilings_.clear();
    for (int r = 0; r < roomCount; ++r) {
        auto* title = new QTableWidgetItem(QString::fromStdString(zf::RoomTitle(r)));
        title->setFlags(Qt::ItemIsEnabled);
        rooms_->setItem(r, 0, title);
        for (int side = 0; side < 2; ++side) {
            SurfaceFields f = AddSurfaceRow(nullptr, r, {}, QStringLiteral("Room%1%2").arg(r + 1).arg(side ? "Ceiling" : "Walls"), true);
            rooms_->setCellWidget(r, 1 + 2 * side, f.Material);
            rooms_->setCellWidget(r, 2 + 2 * side, f.Thickness);
            const zf::RoomSurfaces& own = shown_.Rooms[static_cast<std::size_t>(r)];
            ShowSurface(f, side ? own.Ceiling : own.Walls);
            (side ? roomCeilings_ : roomWalls_).push_back(f);
        }
    }
}

std::optional<zf::Surface> TF_ModelOptions::ReadSurface(SurfaceFields f, const QString& where, QString* refusal,
                                                        bool& ok) const {
    const int data = f.Material->currentData().toInt();
    if (data == kInherit) return std::nullopt;
    if (data == kKept) return std::optional<zf::Surface>();  // replaced by the caller with the shown one
    const auto metres = Metres(f.Thickness->text());
    const auto& thickness = zf::project::kLayerInputs[0];
    if (!metres || !zf::project::OutOfRange(thickness, *metres).empty()) {
        if (refusal != nullptr)
            *refusal = where + QStringLiteral(": толщина «%1» — введите число %2, например 0,0125")
                                   .arg(f.Thickness->text(), QString::fromStdString(zf::project::RangeText(thickness)));
        ok = false;
        return std::nullopt;
    }
    return zf::MaterialSurface(zf::kMaterials[data].Key, *metres);
}

std::optional<ModelChoice> TF_ModelOptions::Choice(QString* refusal) const {
    ModelChoice c;
    c.ConsistentOutflow = consistent_->isChecked();
    bool ok = true;
    auto read = [&](SurfaceFields f, const QString& where, const std::optional<zf::Surface>& shown) {
        if (f.Material->currentData().toInt() == kKept) return shown;
        return ReadSurface(f, where, refusal, ok);
    };
    for (int r = 0; r < rooms_->rowCount(); ++r) {
        const zf::RoomSurfaces& shown = shown_.Rooms[static_cast<std::size_t>(r)];
        const QString room = QString::fromStdString(zf::RoomTitle(r));
        zf::RoomSurfaces own;
        own.Walls = read(roomWalls_[static_cast<std::size_t>(r)], room + QStringLiteral(", стены"), shown.Walls);
        own.Ceiling = read(roomCeilings_[static_cast<std::size_t>(r)], room + QStringLiteral(", потолок"), shown.Ceiling);
        c.Rooms.push_back(own);
    }
    if (heatLoss_->isChecked()) {
        zf::project::BuildingSurfaces b;
        const auto walls = read(walls_, QStringLiteral("Стены здания"),
                                shown_.HeatLoss ? std::optional(shown_.HeatLoss->Walls) : std::nullopt);
        if (walls) b.Walls = *walls;
        b.Ceiling = read(ceiling_, QStringLiteral("Потолок здания"), shown_.HeatLoss ? shown_.HeatLoss->Ceiling : std::nullopt);
        b.SurfaceInterval = surfaceInterval_->isChecked() ? OfferedInterval() : 0.0;
        c.HeatLoss = b;
    } else {
        // Without heat loss no room keeps surfaces of its own: the file could not hold them.
        for (zf::RoomSurfaces& own : c.Rooms) own = {};
    }
    if (!ok) return std::nullopt;
    return c;
}

void TF_ModelOptions::TryAccept() {
    QString refusal;
    if (Choice(&refusal)) {
        accept();
        return;
    }
    QMessageBox::warning(this, QStringLiteral("Модели расчета"), refusal);
}
