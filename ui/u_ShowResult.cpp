#include "u_ShowResult.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScatterSeries>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionGraphicsItem>
#include <QToolButton>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "model_info_dialog.h"
#include "number_text.h"
#include "program_font.h"
#include "radio_group.h"
#include "result_export.h"
#include "chart_quantities.h"
#include "sample_csv.h"
#include "u_CritTimes.h"
#include "ui_u_ShowResult.h"
#include "model/scenario.h"

namespace {

using zfreport::kCritSeriesName;
using zfreport::kHazardViews;
using zfreport::kInflowFileWord;
using zfreport::kInflowItem;
using zfreport::kLimitNotReached;
using zfreport::kParameterCount;
using zfreport::kParameterViews;
using zfreport::kTimeTitle;
using ParameterView = zfreport::QuantityView;
const char* const kTimeColumn = "Время (t), с.";

// The points (time, value) of one room's samples, each at the middle of its sampling interval
// (the same times the runner's files carry). Samples the run never sized read as zeros.
QList<QPointF> SamplePoints(const zf::TzoneMath& zm, const zf::TRoom* room, int element) {
    QList<QPointF> points;
    if (room == nullptr) return points;
    const int count = std::max(zm.SampleCount, 0);
    points.reserve(count);
    for (int m = 0; m < count; ++m) {
        const auto at = static_cast<std::size_t>(m);
        const double y = at < room->Samples.size() ? room->Samples[at][element] : 0.0;
        points.append(QPointF(zfreport::SampleTime(zm, m), y));
    }
    return points;
}

// Moves one widget (the chart or the table) onto the tab being shown.
void MoveOnto(QWidget* widget, QWidget* tab) {
    if (widget->parentWidget() != tab) {
        if (QWidget* old = widget->parentWidget(); old != nullptr && old->layout() != nullptr)
            old->layout()->removeWidget(widget);
        tab->layout()->addWidget(widget);
    }
    widget->show();
}

// The critical time beside its point: bold black text on a white box, no arrow.
class TCritTimeLabel : public QGraphicsTextItem {
public:
    using QGraphicsTextItem::QGraphicsTextItem;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override {
        painter->setPen(QPen(Qt::black, 1));
        painter->setBrush(Qt::white);
        painter->drawRect(boundingRect().adjusted(0.5, 0.5, -0.5, -0.5));
        QGraphicsTextItem::paint(painter, option, widget);
    }
};

}  // namespace

// The table's rows: one per sample, time and value, formatted only when a row is painted, so
// a table of thousands of rows costs nothing up front. The header row holds the two titles.
class TResultGridModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void Reset(QList<QPointF> rows, const QString& valueTitle) {
        beginResetModel();
        Rows_ = std::move(rows);
        ValueTitle_ = valueTitle;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(Rows_.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }

    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        if (role == Qt::DisplayRole) {
            const QPointF& row = Rows_[index.row()];
            return FormatGeneral(index.column() == 0 ? row.x() : row.y());
        }
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        // The time column is drawn like the header: it labels the rows.
        if (role == Qt::BackgroundRole && index.column() == 0) return QPalette().button();
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return section == 0 ? QString(kTimeColumn) : ValueTitle_;
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    // The width of the longest text of one column; every row is measured.
    int WidestText(int column, const QFontMetrics& metrics) const {
        int widest = 0;
        for (const QPointF& row : Rows_)
            widest = std::max(widest, metrics.horizontalAdvance(FormatGeneral(column == 0 ? row.x() : row.y())));
        return widest;
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

private:
    QList<QPointF> Rows_;
    QString ValueTitle_;
};

struct TF_ShowResult::View {
    QString Title;
    QString Label;
    int Element = 0;
    int Hazard = -1;  // zf::HazardKind for a hazard view, -1 for a layer parameter
};

TF_ShowResult::TF_ShowResult(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TF_ShowResult>()) {
    ui->setupUi(this);
    Caption_ = windowTitle();
    resize(875, 420);

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
    }

    SetUpChart();
    SetUpGrid();
    SetUpExport();
    AddModelInfoAction(this, ui->ChartResult);

    connect(ui->RadioResults, &TRadioGroup::Clicked, this, &TF_ShowResult::RadioResultsClick);
    connect(ui->RadioOFP, &TRadioGroup::Clicked, this, &TF_ShowResult::RadioResultsClick);
    connect(ui->ComboResultRooms, &QComboBox::currentIndexChanged, this, &TF_ShowResult::ComboResultRoomsChange);
    connect(ui->ComboOFPRooms, &QComboBox::currentIndexChanged, this, &TF_ShowResult::ComboResultRoomsChange);
    connect(ui->PageAllResults, &QTabWidget::currentChanged, this, &TF_ShowResult::PageAllResultsChange);
    connect(ui->PageResults, &QTabWidget::currentChanged, this, &TF_ShowResult::PageResultsChange);
    connect(ui->PageOFP, &QTabWidget::currentChanged, this, &TF_ShowResult::PageResultsChange);
}

TF_ShowResult::~TF_ShowResult() = default;

void TF_ShowResult::SetUpChart() {
    Chart_ = new QChart();
    Chart_->setBackgroundBrush(Qt::white);
    Chart_->setBackgroundRoundness(0);
    Chart_->layout()->setContentsMargins(0, 0, 0, 0);
    Chart_->setLocalizeNumbers(true);
    QFont legendFont = ProgramFont(9);
    legendFont.setItalic(true);
    Chart_->legend()->setFont(legendFont);
    Chart_->legend()->setAlignment(Qt::AlignBottom);

    AxisX_ = new QValueAxis(Chart_);
    AxisY_ = new QValueAxis(Chart_);
    AxisY2_ = new QValueAxis(Chart_);
    AxisX_->setTitleText(kTimeTitle);
    AxisY2_->setLabelsVisible(false);
    for (QValueAxis* axis : {AxisX_, AxisY_, AxisY2_}) axis->setGridLineColor(QColor(0xC0, 0xC0, 0xC0));
    AxisY2_->setGridLineVisible(false);
    Chart_->addAxis(AxisX_, Qt::AlignBottom);
    Chart_->addAxis(AxisY_, Qt::AlignLeft);
    Chart_->addAxis(AxisY2_, Qt::AlignRight);

    Series1_ = new QLineSeries(Chart_);
    Series1_->setObjectName(QStringLiteral("Series1"));
    Series1_->setPen(QPen(QColor(1, 73, 116), 2));
    Series2_ = new QLineSeries(Chart_);
    Series2_->setObjectName(QStringLiteral("Series2"));
    Series2_->setName(kCritSeriesName);
    Series2_->setPen(QPen(Qt::red, 1, Qt::DotLine));
    Series4_ = new QScatterSeries(Chart_);
    Series4_->setObjectName(QStringLiteral("Series4"));
    Series4_->setName(kCritSeriesName);
    Series4_->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    Series4_->setMarkerSize(9);
    Series4_->setBrush(Qt::red);
    Series4_->setPen(Qt::NoPen);
    for (QXYSeries* series : {static_cast<QXYSeries*>(Series1_), static_cast<QXYSeries*>(Series2_),
                              static_cast<QXYSeries*>(Series4_)}) {
        Chart_->addSeries(series);
        series->attachAxis(AxisX_);
        series->attachAxis(AxisY_);
    }
    // The two lines are scaled against the right axis as well, which mirrors the left one.
    Series1_->attachAxis(AxisY2_);
    Series2_->attachAxis(AxisY2_);
    Series2_->setVisible(false);
    Series4_->setVisible(false);
    ShowOnlySeries4InLegend();

    // The chart's own title is always centred and cut off when long; this one starts at the
    // left and wraps, and the chart keeps room for it above the plot.
    Title_ = new QGraphicsTextItem(Chart_);
    Title_->setObjectName(QStringLiteral("ChartTitle"));
    Title_->setFont(ProgramFont(10, QFont::Bold));
    Title_->setDefaultTextColor(Qt::darkGray);
    connect(Chart_, &QGraphicsWidget::geometryChanged, this, &TF_ShowResult::LayoutTitle);

    CritLabel_ = new TCritTimeLabel(Chart_);
    CritLabel_->setObjectName(QStringLiteral("Series4Label"));
    CritLabel_->setFont(ProgramFont(9, QFont::Bold));
    CritLabel_->setDefaultTextColor(Qt::black);
    CritLabel_->setZValue(100);  // above the series
    CritLabel_->hide();
    connect(Chart_, &QChart::plotAreaChanged, this, &TF_ShowResult::PlaceCritLabel);
    connect(AxisX_, &QValueAxis::rangeChanged, this, &TF_ShowResult::PlaceCritLabel);
    connect(AxisY_, &QValueAxis::rangeChanged, this, &TF_ShowResult::PlaceCritLabel);

    // The view made a chart of its own, which setChart releases without deleting.
    QChart* const madeByTheView = ui->ChartResult->chart();
    ui->ChartResult->setChart(Chart_);
    delete madeByTheView;
    ui->ChartResult->setRenderHint(QPainter::Antialiasing);
    ui->ChartResult->setRubberBand(QChartView::RectangleRubberBand);
    // A double click undoes the zoom: the right button keeps the context menu.
    ui->ChartResult->viewport()->installEventFilter(this);
}

bool TF_ShowResult::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui->ChartResult->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Chart_->zoomReset();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_ShowResult::SetUpGrid() {
    GridModel_ = new TResultGridModel(this);
    QTableView* grid = ui->GridResult;
    grid->setModel(GridModel_);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    FitColumns();
}

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
    // A stopped run's results end early: the caption says where.
    const QString stopped = StoppedRunNote(zm);
    setWindowTitle(stopped.isEmpty() ? Caption_ : Caption_ + QStringLiteral(" — ") + stopped);
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
    const View view{def.Title, def.Label, def.Element, hazards ? q : -1};

    ShownRoom_ = room != nullptr ? r : -1;
    ShownElement_ = def.Element;
    // Outside the fire room parameter 1 is the inflow through the doorways.
    ShownFileWord_ = QString::fromUtf8(!hazards && q == 1 && r != 0 ? kInflowFileWord : def.FileWord);
    if (inner->currentWidget() == tableTab)
        DrawTable(zm, room, view, tableTab);
    else
        DrawChart(zm, room, view, chartTab);
    if (room != nullptr) AdjustRadioLists(r);
}

void TF_ShowResult::DrawChart(const zf::TzoneMath& zm, const zf::TRoom* room, const View& view, QWidget* tab) {
    MoveOnto(ui->ChartResult, tab);
    Chart_->zoomReset();
    Series1_->clear();
    Series2_->clear();
    Series4_->clear();
    const bool hazard = view.Hazard >= 0;
    Series2_->setVisible(hazard);
    Series4_->setVisible(hazard);
    UnreachedLimit_.reset();

    AxisX_->setTitleText(kTimeTitle);
    Title_->setPlainText(view.Title);
    LayoutTitle();
    AxisY_->setTitleText(view.Label);

    Series1_->replace(SamplePoints(zm, room, view.Element));
    if (hazard && room != nullptr) {
        const auto kind = static_cast<zf::HazardKind>(view.Hazard);
        const double c = zm.CritOf(kind);          // the limit
        const double t = room->CritTimeOf(kind);   // 0: the limit was not reached
        if (t == 0) {
            // Not "from the first second": no point, the limit across the whole time axis.
            UnreachedLimit_ = c;
            Series2_->replace({QPointF(0, c)});
            CritLabel_->setPlainText(kLimitNotReached);
        } else {
            Series2_->replace({QPointF(0, c), QPointF(t, c), QPointF(t, 0)});
            Series4_->append(t, c);
            CritLabel_->setPlainText(FormatGeneral(t));
        }
    }
    ShowOnlySeries4InLegend();
    FitAxes(hazard);
    if (UnreachedLimit_) Series2_->replace({QPointF(AxisX_->min(), *UnreachedLimit_), QPointF(AxisX_->max(), *UnreachedLimit_)});
    PlaceCritLabel();
}

void TF_ShowResult::DrawTable(const zf::TzoneMath& zm, const zf::TRoom* room, const View& view, QWidget* tab) {
    MoveOnto(ui->GridResult, tab);
    GridModel_->Reset(SamplePoints(zm, room, view.Element), view.Label);
    FitColumns();
}

// 64 and 104 pixels, or wider where a column's title or a number of 15 digits needs it.
// Called after every fill: a model reset gives the columns their default widths back.
void TF_ShowResult::FitColumns() {
    QTableView* grid = ui->GridResult;
    const QHeaderView* header = grid->horizontalHeader();
    // The cell's text margins on both sides, the grid line and a little air.
    const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 6;
    int column = 0;
    for (int narrowest : {64, 104}) {
        const int cells = GridModel_->WidestText(column, grid->fontMetrics()) + margins;
        grid->setColumnWidth(column, std::max({narrowest, header->sectionSizeHint(column), cells}));
        ++column;
    }
}

// Both axes span all points shown; a hazard chart also takes in the limit and the time axis.
// The ranges are then rounded outward to readable tick values.
void TF_ShowResult::FitAxes(bool withLimit) {
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    bool any = false;
    auto take = [&](const QPointF& p) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) return;
        if (!any) {
            xMin = xMax = p.x();
            yMin = yMax = p.y();
            any = true;
            return;
        }
        xMin = std::min(xMin, p.x());
        xMax = std::max(xMax, p.x());
        yMin = std::min(yMin, p.y());
        yMax = std::max(yMax, p.y());
    };
    take(QPointF(0, withLimit ? 0.0 : (Series1_->count() > 0 ? Series1_->at(0).y() : 0.0)));
    for (const QPointF& p : Series1_->points()) take(p);
    if (withLimit)
        for (const QPointF& p : Series2_->points()) take(p);
    if (xMax <= xMin) xMax = xMin + 1;
    if (yMax <= yMin) {
        const double pad = yMin == 0 ? 1.0 : std::fabs(yMin) * 0.1;
        yMin -= pad;
        yMax += pad;
    }
    AxisX_->setRange(xMin, xMax);
    AxisX_->applyNiceNumbers();
    AxisY_->setRange(yMin, yMax);
    AxisY_->applyNiceNumbers();
    AxisY2_->setRange(AxisY_->min(), AxisY_->max());
}

void TF_ShowResult::LayoutTitle() {
    constexpr qreal kPad = 8;  // between the title and the chart's edges [px]
    Title_->setTextWidth(std::max<qreal>(Chart_->size().width() - 2 * kPad, 100));
    Title_->setPos(kPad, kPad / 2);
    // A chart printed under its own caption has no title: the plot then starts near the top.
    const int top = Title_->isVisible() ? static_cast<int>(std::ceil(kPad / 2 + Title_->boundingRect().height()))
                                        : static_cast<int>(kPad);
    QMargins margins = Chart_->margins();
    if (margins.top() != top) {
        margins.setTop(top);
        Chart_->setMargins(margins);
    }
}

// Keeps the critical-time label beside its point and inside the plot area, also after a
// zoom or a change of the window's size.
void TF_ShowResult::PlaceCritLabel() {
    const bool point = Series4_->isVisible() && Series4_->count() > 0;
    if (!point && !(Series2_->isVisible() && UnreachedLimit_)) {
        CritLabel_->hide();
        return;
    }
    const QRectF area = Chart_->plotArea();
    // An unreached limit is labelled at the right end of its line, as far as the plot shows it.
    const QPointF at = point ? Chart_->mapToPosition(Series4_->at(0), Series4_)
                             : QPointF(area.right(), Chart_->mapToPosition(QPointF(0, *UnreachedLimit_), Series2_).y());
    if (!area.adjusted(-1, -1, 1, 1).contains(at)) {
        CritLabel_->hide();
        return;
    }
    const QSizeF size = CritLabel_->boundingRect().size();
    constexpr double kGap = 6;  // between the point and the box [px]
    double x = at.x() + kGap;
    if (x + size.width() > area.right()) x = std::max(area.left(), at.x() - kGap - size.width());
    double y = at.y() - kGap - size.height();
    if (y < area.top()) y = at.y() + kGap;
    CritLabel_->setPos(x, y);
    CritLabel_->show();
}

// The legend explains only the critical-time point, and is left out of a chart without one
// (also of a hazard chart whose limit was never reached).
// Showing a series makes its marker visible again, so this follows every change of visibility.
void TF_ShowResult::ShowOnlySeries4InLegend() {
    const bool point = Series4_->isVisible() && Series4_->count() > 0;
    for (QLegendMarker* marker : Chart_->legend()->markers())
        marker->setVisible(point && marker->series() == Series4_);
    Chart_->legend()->setVisible(point);
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
        Scenario_ = nullptr;
        if (CritTimes_ != nullptr) CritTimes_->hide();
    }
    QDialog::hideEvent(event);
}

// ---- Taking the results away ------------------------------------------------------------

namespace {

const char* const kPngFilter = "Рисунок PNG (*.png)";
const char* const kSvgFilter = "Рисунок SVG (*.svg)";
// The first form opens as columns in a Russian spreadsheet; the second is the runner's.
const char* const kCsvFilter = "CSV для таблиц на русском: «;» и десятичная запятая (*.csv)";
const char* const kPlainCsvFilter = "CSV как у zonefire-cli: «,» и десятичная точка (*.csv)";

}  // namespace

void TF_ShowResult::SetUpExport() {
    // Chart: right-click menu of its own actions.
    auto* saveChart = new QAction(QStringLiteral("Сохранить график..."), ui->ChartResult);
    saveChart->setObjectName(QStringLiteral("ActSaveChart"));
    auto* copyChart = new QAction(QStringLiteral("Копировать график"), ui->ChartResult);
    copyChart->setObjectName(QStringLiteral("ActCopyChart"));
    ui->ChartResult->addActions({saveChart, copyChart});
    ui->ChartResult->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(saveChart, &QAction::triggered, this, &TF_ShowResult::SaveChartAs);
    connect(copyChart, &QAction::triggered, this, &TF_ShowResult::CopyChart);

    // Table: "Копировать" (also Ctrl+C), then "Сохранить в CSV...".
    AddCopyRowsAction(ui->GridResult);
    auto* saveCsv = new QAction(QStringLiteral("Сохранить в CSV..."), ui->GridResult);
    saveCsv->setObjectName(QStringLiteral("ActSaveCsv"));
    ui->GridResult->addAction(saveCsv);
    connect(saveCsv, &QAction::triggered, this, &TF_ShowResult::SaveTableCsvAs);

    // The summary concerns every room and both pages: its button sits beside the page tabs,
    // where it leaves the pages as they are.
    BtnCritTimes_ = new QToolButton(ui->PageAllResults);
    BtnCritTimes_->setObjectName(QStringLiteral("btnCritTimes"));
    BtnCritTimes_->setText(QStringLiteral("Критические времена"));
    BtnCritTimes_->setToolTip(QStringLiteral("Время наступления критических значений ОФП во всех помещениях"));
    connect(BtnCritTimes_, &QToolButton::clicked, this, &TF_ShowResult::btnCritTimesClick);
    // The building of this calculation back in the editor, ready to change and run again.
    BtnRestoreBuilding_ = new QToolButton(ui->PageAllResults);
    BtnRestoreBuilding_->setObjectName(QStringLiteral("btnRestoreBuilding"));
    BtnRestoreBuilding_->setText(QStringLiteral("Вернуть здание"));
    BtnRestoreBuilding_->setToolTip(QStringLiteral("Вернуть здание последнего расчета в редактор (Ctrl+R)"));
    BtnRestoreBuilding_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    connect(BtnRestoreBuilding_, &QToolButton::clicked, this, [this] {
        RestoreRequested_ = true;
        accept();
    });
    // The report, like the summary, concerns every room: its button stands beside it.
    BtnReport_ = new QToolButton(ui->PageAllResults);
    BtnReport_->setObjectName(QStringLiteral("btnReport"));
    BtnReport_->setText(QStringLiteral("Отчет..."));
    BtnReport_->setToolTip(QStringLiteral("Отчет в PDF: исходные данные, здание, критические времена, вывод по "
                                          "эвакуации и графики всех помещений"));
    connect(BtnReport_, &QToolButton::clicked, this, &TF_ShowResult::SaveReportAs);
    auto* corner = new QWidget(ui->PageAllResults);
    corner->setObjectName(QStringLiteral("PageCornerButtons"));
    auto* buttons = new QHBoxLayout(corner);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(4);
    buttons->addWidget(BtnRestoreBuilding_);
    buttons->addWidget(BtnReport_);
    buttons->addWidget(BtnCritTimes_);
    ui->PageAllResults->setCornerWidget(corner, Qt::TopRightCorner);
}

void TF_ShowResult::SetEvacuationInputs(const zfreport::EvacuationInputs& inputs) { Description_.Evacuation = inputs; }
void TF_ShowResult::SetDescription(const ScenarioDescription& description) { Description_ = description; }

void TF_ShowResult::SaveReportAs() {
    if (Scenario_ == nullptr) return;
    const QString pdf = QStringLiteral("Документ PDF (*.pdf)");
    QString filter = pdf;
    const QString base = Description_.FileName.isEmpty() ? QStringLiteral("Отчет")
                                                          : QFileInfo(Description_.FileName).completeBaseName();
    QString path = AskSavePath(QStringLiteral("Сохранить отчет"), base + QStringLiteral(".pdf"), {pdf}, &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    const QString failure = WriteReportPdf(path, *Scenario_, Description_);
    if (!failure.isEmpty()) {
        ReportError(failure);
        return;
    }
    SaveDir_ = QFileInfo(path).absolutePath();
}

void TF_ShowResult::SetSavePathAsker(SavePathAsker asker) { SavePathAsker_ = std::move(asker); }
void TF_ShowResult::SetErrorReporter(ErrorReporter reporter) { ErrorReporter_ = std::move(reporter); }

QString TF_ShowResult::AskSavePath(const QString& caption, const QString& suggestedName, const QStringList& filters,
                                   QString* chosenFilter) {
    if (SavePathAsker_) return SavePathAsker_(caption, suggestedName, filters, chosenFilter);
    const QDir dir(SaveDir_.isEmpty() ? QDir::homePath() : SaveDir_);
    return QFileDialog::getSaveFileName(this, caption, dir.filePath(suggestedName), filters.join(QStringLiteral(";;")),
                                        chosenFilter);
}

void TF_ShowResult::ReportError(const QString& message) {
    if (ErrorReporter_) {
        ErrorReporter_(message);
        return;
    }
    QMessageBox box(QMessageBox::Warning, windowTitle(), message, QMessageBox::Ok, this);
    box.exec();
}

// The chart as saved or copied: its title names the room as well, since a picture leaves the
// window whose room list said which room it shows.
QImage TF_ShowResult::WithRoomInTitle(const std::function<QImage()>& take) {
    const QString shown = Title_->toPlainText();
    if (ShownRoom_ >= 0) {
        Title_->setPlainText(RoomCaption(Description_, ShownRoom_) + QStringLiteral(". ") + shown);
        LayoutTitle();
    }
    QImage image = take();
    if (ShownRoom_ >= 0) {
        Title_->setPlainText(shown);
        LayoutTitle();
    }
    return image;
}

void TF_ShowResult::SaveChartAs() {
    const QString png = kPngFilter, svg = kSvgFilter;
    QString filter = png;
    const QString name = ShownRoom_ < 0 ? QStringLiteral("График.png")
                                        : QStringLiteral("Помещение_%1_%2.png").arg(ShownRoom_ + 1).arg(ShownFileWord_);
    QString path = AskSavePath(QStringLiteral("Сохранить график"), name, {png, svg}, &filter);
    if (path.isEmpty()) return;
    // The name's suffix decides; a name without one takes the type chosen in the dialog.
    std::optional<ChartFileFormat> format = ChartFormatOfName(path);
    if (!format) {
        format = filter == svg ? ChartFileFormat::Svg : ChartFileFormat::Png;
        path += *format == ChartFileFormat::Svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    }
    QString failure;
    WithRoomInTitle([&] {
        failure = SaveChart(ui->ChartResult, path, *format, Title_->toPlainText());
        return QImage();
    });
    if (!failure.isEmpty()) {
        ReportError(failure);
        return;
    }
    SaveDir_ = QFileInfo(path).absolutePath();
}

void TF_ShowResult::CopyChart() {
    QGuiApplication::clipboard()->setImage(WithRoomInTitle([this] { return ChartImage(ui->ChartResult); }));
}

void TF_ShowResult::CopyTable() { CopyTableRows(ui->GridResult); }

void TF_ShowResult::SaveTableCsvAs() {
    if (Scenario_ == nullptr || ShownRoom_ < 0 || ShownRoom_ >= Scenario_->RoomCount()) return;
    QString filter = kCsvFilter;
    QString path = AskSavePath(QStringLiteral("Сохранить в CSV"), QStringLiteral("Помещение_%1.csv").arg(ShownRoom_ + 1),
                               {QString(kCsvFilter), QString(kPlainCsvFilter)}, &filter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    const CsvForm form = filter == kPlainCsvFilter ? CsvForm::Plain : CsvForm::Spreadsheet;
    const QString failure = SaveRoomCsv(*Scenario_, ShownRoom_, path, form);
    if (!failure.isEmpty()) {
        ReportError(failure);
        return;
    }
    SaveDir_ = QFileInfo(path).absolutePath();
}

void TF_ShowResult::btnCritTimesClick() {
    if (Scenario_ == nullptr) return;
    if (CritTimes_ == nullptr) CritTimes_ = new TF_CritTimes(this);
    QStringList tips;
    for (const ParameterView& v : kHazardViews) tips << QString(v.Item);
    CritTimes_->Fill(*Scenario_, tips, Description_.Evacuation, Description_.RoomNameList());
    // Not modal: the charts stay at hand while the summary is open.
    CritTimes_->show();
    CritTimes_->raise();
    CritTimes_->activateWindow();
}

QString TF_ShowResult::ChartTitle(bool hazard, int index) { return QString::fromUtf8(zfreport::ViewOf(hazard, index).Title); }
