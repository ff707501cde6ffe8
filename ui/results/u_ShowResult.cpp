#include "u_ShowResult.h"

#include <QChartView>
#include <QHideEvent>
#include <QLayout>
#include <QSignalBlocker>
#include <algorithm>

#include "chart_quantities.h"
#include "model_info_dialog.h"
#include "option_accuracy.h"
#include "radio_group.h"
#include "result_chart.h"
#include "result_export.h"
#include "result_table.h"
#include "run_warnings_label.h"
#include "u_CritTimes.h"
#include "ui_u_ShowResult.h"
#include "window_size.h"
#include "model/scenario.h"

namespace {

const char* const kWindowKey = "results";  // where the window's size is kept

using zfreport::kHazardViews;
using zfreport::kInflowFileWord;
using zfreport::kInflowItem;
using zfreport::kParameterCount;
using zfreport::kParameterViews;
using ParameterView = zfreport::QuantityView;

// Moves one widget (the chart or the table) onto the tab being shown.
void MoveOnto(QWidget* widget, QWidget* tab) {
    if (widget->parentWidget() != tab) {
        if (QWidget* old = widget->parentWidget(); old != nullptr && old->layout() != nullptr)
            old->layout()->removeWidget(widget);
        tab->layout()->addWidget(widget);
    }
    widget->show();
}

}  // namespace


TF_ShowResult::TF_ShowResult(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TF_ShowResult>()) {
    ui->setupUi(this);
    Caption_ = windowTitle();
    AllowMaximise(this);
    RestoreWindowSize(this, kWindowKey, QSize(875, 420));

    ui->RadioResults->setTitle(QStringLiteral(" Расчётные значения параметров "));
    for (const ParameterView& v : kParameterViews) ui->RadioResults->AppendItem(v.Item);
    ui->RadioOFP->setTitle(QStringLiteral(" Расчётные значения ОФП "));
    for (const ParameterView& v : kHazardViews) ui->RadioOFP->AppendItem(v.Item);
    ui->RadioResults->SetItemIndex(0);
    ui->RadioOFP->SetItemIndex(0);
    // The left panels are 297 pixels wide, or as wide as the longest item text needs.
    for (auto [splitter, panel] : {std::pair{ui->Splitter2, ui->Panel2}, std::pair{ui->Splitter1, ui->Panel1}}) {
        const int left = std::max(297, panel->minimumSizeHint().width());
        splitter->setSizes({left, width() - left});
        // A larger window gives its room to the chart or the table, not to the lists.
        splitter->setStretchFactor(0, 0);
        splitter->setStretchFactor(1, 1);
    }

    Chart_ = new TResultChart(ui->ChartResult);
    GridModel_ = new TResultGridModel(this);
    SetUpResultGrid(ui->GridResult, GridModel_);
    SetUpExport();
    SetUpCornerButtons();
    AddModelInfoAction(this, ui->ChartResult, [this] {  // the figures of the model the run used
        return Scenario_ != nullptr ? UsedModelAccuracyText(Scenario_->Options, Scenario_->UseTanaka) : QString();
    });

    connect(ui->RadioResults, &TRadioGroup::Clicked, this, &TF_ShowResult::RadioResultsClick);
    connect(ui->RadioOFP, &TRadioGroup::Clicked, this, &TF_ShowResult::RadioResultsClick);
    connect(ui->ComboResultRooms, &QComboBox::currentIndexChanged, this, &TF_ShowResult::ComboResultRoomsChange);
    connect(ui->ComboOFPRooms, &QComboBox::currentIndexChanged, this, &TF_ShowResult::ComboResultRoomsChange);
    connect(ui->PageAllResults, &QTabWidget::currentChanged, this, &TF_ShowResult::PageAllResultsChange);
    connect(ui->PageResults, &QTabWidget::currentChanged, this, &TF_ShowResult::PageResultsChange);
    connect(ui->PageOFP, &QTabWidget::currentChanged, this, &TF_ShowResult::PageResultsChange);
}

TF_ShowResult::~TF_ShowResult() = default;

void TF_ShowResult::PrepareResults(zf::TzoneMath& zm) {
    Scenario_ = &zm;
    RestoreRequested_ = false;
    {
        // The window's own changes raise none of the user-event handlers.
        const QSignalBlocker b1(ui->PageAllResults), b2(ui->PageResults), b3(ui->PageOFP);
        const QSignalBlocker b4(ui->ComboResultRooms), b5(ui->ComboOFPRooms);
        ui->PageAllResults->setCurrentIndex(0);
        ui->PageResults->setCurrentIndex(0);
        ui->PageOFP->setCurrentIndex(0);
        ui->ComboOFPRooms->clear();
        ui->ComboResultRooms->clear();
        for (int k = 0; k < zm.RoomCount(); ++k) {
            const QString name = QString::fromStdString(zf::RoomTitle(k));
            ui->ComboOFPRooms->addItem(name);
            ui->ComboResultRooms->addItem(name);
        }
        ui->ComboResultRooms->setCurrentIndex(zm.RoomCount() > 0 ? 0 : -1);
        ui->ComboOFPRooms->setCurrentIndex(zm.RoomCount() > 0 ? 0 : -1);
        ui->PageAllResults->setCurrentWidget(ui->TabResults);
    }
    // A stopped run's results end early: the caption says where,
    const QString stopped = StoppedRunNote(zm);
    setWindowTitle(stopped.isEmpty() ? Caption_ : Caption_ + QStringLiteral(" — ") + stopped);
    ShowRunEndBanner(*ui->LabelRunEnd, RunEndBannerText(zm));  // and over the results, in a banner
    ShowRunWarnings(*ui->LabelModelWarnings, zm);  // where the model is known to be wrong
    // Each showing starts at the table's first row, whatever the last one scrolled to.
    ui->GridResult->scrollToTop();
    DrawResults(zm);
}

void TF_ShowResult::DrawResults(zf::TzoneMath& zm) {
    const bool hazards = ui->PageAllResults->currentWidget() == ui->TabOFP;
    const QTabWidget* inner = hazards ? ui->PageOFP : ui->PageResults;
    const QComboBox* rooms = hazards ? ui->ComboOFPRooms : ui->ComboResultRooms;
    const TRadioGroup* list = hazards ? ui->RadioOFP : ui->RadioResults;
    QWidget* tableTab = hazards ? ui->TabOFPTable : ui->TabResultTable;
    QWidget* chartTab = hazards ? ui->TabOFPChart : ui->TabResultChart;

    const int r = rooms->currentIndex();
    const zf::TRoom* room = (r >= 0 && r < zm.RoomCount()) ? &zm.Room(r) : nullptr;
    const int last = (hazards ? zf::kHazardCount : kParameterCount) - 1;
    const int q = std::clamp(list->ItemIndex(), 0, last);
    const ParameterView& def = hazards ? kHazardViews[q] : kParameterViews[q];
    const ResultView view{def.Title, def.Label, def.Element, hazards ? q : -1};

    ShownRoom_ = room != nullptr ? r : -1;
    ShownElement_ = def.Element;
    // Outside the fire room parameter 1 is the inflow through the doorways.
    ShownFileWord_ = QString::fromUtf8(!hazards && q == 1 && r != 0 ? kInflowFileWord : def.FileWord);
    if (inner->currentWidget() == tableTab) {
        DrawTable(zm, room, view, tableTab);
    } else {
        MoveOnto(ui->ChartResult, chartTab);
        Chart_->Draw(zm, room, view);
    }
    if (room != nullptr) AdjustRadioLists(r);
}

void TF_ShowResult::DrawTable(const zf::TzoneMath& zm, const zf::TRoom* room, const ResultView& view, QWidget* tab) {
    MoveOnto(ui->GridResult, tab);
    GridModel_->Reset(SamplePoints(zm, room, view.Element), view.Label);
    FitResultColumns(ui->GridResult, *GridModel_);
}

void TF_ShowResult::AdjustRadioLists(int room) {
    const QSignalBlocker b1(ui->RadioResults), b2(ui->RadioOFP);
    if (room != 0) {
        ui->RadioResults->SetItemText(1, kInflowItem);
        if (ui->RadioOFP->ItemCount() == zf::kHazardCount) ui->RadioOFP->RemoveItem(zf::hkRadiation);
    } else {
        ui->RadioResults->SetItemText(1, kParameterViews[1].Item);
        if (ui->RadioOFP->ItemCount() < zf::kHazardCount) ui->RadioOFP->AppendItem(kHazardViews[zf::hkRadiation].Item);
    }
}

void TF_ShowResult::RedrawCurrent() {
    if (Scenario_ != nullptr) DrawResults(*Scenario_);
}

void TF_ShowResult::RadioResultsClick() { RedrawCurrent(); }
void TF_ShowResult::ComboResultRoomsChange() { RedrawCurrent(); }
void TF_ShowResult::PageAllResultsChange() { RedrawCurrent(); }
void TF_ShowResult::PageResultsChange() { RedrawCurrent(); }

void TF_ShowResult::hideEvent(QHideEvent* event) {
    // A window manager minimising the window is no closing: keep the scenario then.
    if (!event->spontaneous()) {
        SaveWindowSize(this, kWindowKey);
        Scenario_ = nullptr;
        if (CritTimes_ != nullptr) CritTimes_->hide();
    }
    QDialog::hideEvent(event);
}

QString TF_ShowResult::ChartTitle(bool hazard, int index) { return QString::fromUtf8(zfreport::ViewOf(hazard, index).Title); }
