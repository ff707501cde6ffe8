// The dialog "Пути эвакуации": its tables, buttons and the way rows are added and removed.
#include "routes_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "model/number_text.h"
#include "routes_diagram.h"
#include "routes_texts.h"
#include "sheet_table.h"

using namespace routes_columns;

TF_Routes::TF_Routes(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Пути эвакуации"));
    setObjectName(QStringLiteral("f_Routes"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(RoutesIntroText(), this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    BuildTables();
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(routes_);
    split->addWidget(segments_);
    auto* scroll = new QScrollArea(this);
    diagram_ = new TRoutesDiagram(scroll);
    scroll->setWidget(diagram_);
    scroll->setWidgetResizable(true);
    split->addWidget(scroll);
    layout->addWidget(split, 1);
    layout->addWidget(BuildButtons());
    result_ = new QLabel(this);
    result_->setObjectName(QStringLiteral("LabelRoutesResult"));
    result_->setWordWrap(true);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(result_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("Принять"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    buttons->addButton(QStringLiteral("Отменить"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("btnCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TF_Routes::TryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(900, 640);
}

void TF_Routes::BuildTables() {
    routes_ = new QTableWidget(0, RouteColumns, this);
    routes_->setObjectName(QStringLiteral("TableRoutes"));
    routes_->setHorizontalHeaderLabels(RouteHeaders());
    segments_ = new QTableWidget(0, SegmentColumns, this);
    segments_->setObjectName(QStringLiteral("TableSegments"));
    segments_->setHorizontalHeaderLabels(SegmentHeaders());
    for (int c = 0; c < RouteColumns; ++c) routes_->horizontalHeaderItem(c)->setToolTip(RouteHeaderTip(c));
    for (int c = 0; c < SegmentColumns; ++c) segments_->horizontalHeaderItem(c)->setToolTip(SegmentHeaderTip(c));
    routes_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    segments_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    MakeSheetLike(routes_);
    MakeSheetLike(segments_);
    connect(routes_, &QTableWidget::itemChanged, this, [this] { Recompute(); });
    connect(segments_, &QTableWidget::itemChanged, this, [this] { Recompute(); });
}

QWidget* TF_Routes::BuildButtons() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    const auto add = [&](const char* name, const QString& text, const QString& tip, void (TF_Routes::*slot)()) {
        auto* button = new QPushButton(text, row);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(tip);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, slot);
        layout->addWidget(button);
    };
    add("BtnAddRoute", QStringLiteral("Добавить путь"), QStringLiteral("Новый путь с одним горизонтальным участком"),
        &TF_Routes::AddRoute);
    add("BtnDelRoute", QStringLiteral("Удалить путь"), QStringLiteral("Удалить выбранный путь и его участки"),
        &TF_Routes::DeleteRoute);
    add("BtnAddSegment", QStringLiteral("Добавить участок"),
        QStringLiteral("Новый участок в конце пути выбранного участка (или последнего пути)"), &TF_Routes::AddSegment);
    add("BtnDelSegment", QStringLiteral("Удалить участок"), QStringLiteral("Удалить выбранный участок"),
        &TF_Routes::DeleteSegment);
    layout->addStretch();
    return row;
}

void TF_Routes::Show(const std::vector<zf::flow::Route>& routes, int roomCount) {
    roomCount_ = roomCount;
    filling_ = true;
    routes_->setRowCount(0);
    segments_->setRowCount(0);
    for (std::size_t r = 0; r < routes.size(); ++r) {
        AddRouteRow(routes[r]);
        for (const zf::flow::Segment& s : routes[r].Segments) AddSegmentRow(static_cast<int>(r), s);
    }
    filling_ = false;
    Recompute();
}

void TF_Routes::AddRouteRow(const zf::flow::Route& route) {
    const bool filling = filling_;
    filling_ = true;
    const int row = routes_->rowCount();
    routes_->insertRow(row);
    routes_->setItem(row, Name, new QTableWidgetItem(QString::fromStdString(route.Name)));
    routes_->setItem(row, People, new QTableWidgetItem(EditText(route.People)));
    routes_->setCellWidget(row, Projection, ProjectionBox(route.Projection, routes_, [this] { Recompute(); }));
    routes_->setItem(row, StartDelay, new QTableWidgetItem(EditText(route.StartDelay)));
    const auto& j = route.JoinsInto;
    routes_->setItem(row, JoinRoute, new QTableWidgetItem(j ? QString::number(j->Route + 1) : QString()));
    routes_->setItem(row, JoinSegment, new QTableWidgetItem(j ? QString::number(j->Segment + 1) : QString()));
    filling_ = filling;
}

void TF_Routes::AddSegmentRow(int route, const zf::flow::Segment& segment) {
    const bool filling = filling_;
    filling_ = true;
    // A route's segments stay together: the new one goes after the route's last.
    int row = segments_->rowCount();
    for (int k = segments_->rowCount() - 1; k >= 0; --k)
        if (segments_->item(k, Of) && segments_->item(k, Of)->text() == QString::number(route + 1)) {
            row = k + 1;
            break;
        }
    segments_->insertRow(row);
    segments_->setItem(row, Of, new QTableWidgetItem(QString::number(route + 1)));
    segments_->setCellWidget(row, Kind, KindBox(segment.Kind, segments_, [this] { Recompute(); }));
    segments_->setItem(row, Length, new QTableWidgetItem(EditText(segment.Length)));
    segments_->setItem(row, Width, new QTableWidgetItem(EditText(segment.Width)));
    segments_->setItem(row, Room, new QTableWidgetItem(segment.Room >= 0 ? QString::number(segment.Room + 1) : QString()));
    for (int c = Density; c < SegmentColumns; ++c) segments_->setItem(row, c, ComputedItem());
    filling_ = filling;
}

void TF_Routes::AddRoute() {
    zf::flow::Route route;
    route.People = 10;
    AddRouteRow(route);
    AddSegmentRow(routes_->rowCount() - 1, {zf::flow::SegmentKind::Horizontal, 10, 1.5, -1});
    Recompute();
}

void TF_Routes::DeleteRoute() {
    const int row = routes_->currentRow();
    if (row < 0) return;
    filling_ = true;
    routes_->removeRow(row);
    // Its segments go with it; the later routes' numbers move up by one.
    for (int k = segments_->rowCount() - 1; k >= 0; --k) {
        QTableWidgetItem* of = segments_->item(k, Of);
        const int number = of ? of->text().toInt() : 0;
        if (number == row + 1) segments_->removeRow(k);
        else if (number > row + 1) of->setText(QString::number(number - 1));
    }
    filling_ = false;
    Recompute();
}

void TF_Routes::AddSegment() {
    if (routes_->rowCount() == 0) return AddRoute();
    const int row = segments_->currentRow();
    const int route = row >= 0 && segments_->item(row, Of) ? segments_->item(row, Of)->text().toInt() - 1
                                                           : routes_->rowCount() - 1;
    AddSegmentRow(std::clamp(route, 0, routes_->rowCount() - 1), {zf::flow::SegmentKind::Horizontal, 10, 1.5, -1});
    Recompute();
}

void TF_Routes::DeleteSegment() {
    const int row = segments_->currentRow();
    if (row < 0) return;
    segments_->removeRow(row);
    Recompute();
}

void TF_Routes::SetErrorReporter(std::function<void(const QString&)> reporter) { errorReporter_ = std::move(reporter); }

void TF_Routes::TryAccept() {
    QString refusal;
    if (Routes(&refusal)) {
        accept();
        return;
    }
    if (errorReporter_) errorReporter_(refusal);
    else QMessageBox::critical(this, windowTitle(), refusal);
}
