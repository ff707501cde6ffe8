// The dialog "Пути эвакуации": reading the tables into routes, and the computation beside them.
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>
#include <cmath>

#include "number_text.h"
#include "routes_dialog.h"
#include "routes_diagram.h"
#include "routes_texts.h"

using namespace routes_columns;

namespace {

// An entry refused while reading the tables, with what is wrong and where.
struct Refused {
    QString Message;
};

QString CellText(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text().trimmed() : QString();
}

QString BoxText(const QTableWidget* table, int row, int column) {
    const auto* box = qobject_cast<const QComboBox*>(table->cellWidget(row, column));
    return box ? box->currentText().trimmed() : QString();
}

QString Where(const QTableWidget* table, const QString& owner, int column) {
    return owner + QStringLiteral(", столбец «") + table->horizontalHeaderItem(column)->text() + QStringLiteral("»");
}

double Number(const QTableWidget* table, int column, const QString& owner, const QString& text) {
    try {
        return NumberFromText(text, Where(table, owner, column));
    } catch (const ConversionError& e) {
        throw Refused{e.Message()};
    }
}

// A 1-based number in a cell → its 0-based index.
int Index(const QTableWidget* table, int row, int column, const QString& owner) {
    const double v = Number(table, column, owner, CellText(table, row, column));
    if (v < 1 || v != std::floor(v) || v > 1e6)
        throw Refused{Where(table, owner, column) + QStringLiteral(": ожидается номер — целое число от 1, задано ") +
                      CellText(table, row, column)};
    return static_cast<int>(v) - 1;
}

zf::flow::Route ReadRoute(const QTableWidget* t, int row) {
    const QString owner = QStringLiteral("Путь %1").arg(row + 1);
    zf::flow::Route route;
    route.Name = CellText(t, row, Name).toStdString();
    route.People = Number(t, People, owner, CellText(t, row, People));
    route.Projection = Number(t, Projection, owner, BoxText(t, row, Projection));
    route.StartDelay = Number(t, StartDelay, owner, CellText(t, row, StartDelay));
    const bool toRoute = !CellText(t, row, JoinRoute).isEmpty(), toSegment = !CellText(t, row, JoinSegment).isEmpty();
    if (toRoute != toSegment)
        throw Refused{owner + QStringLiteral(": укажите и путь, и участок, в который вливается поток, или оставьте оба пустыми")};
    if (toRoute) route.JoinsInto = zf::flow::Join{Index(t, row, JoinRoute, owner), Index(t, row, JoinSegment, owner)};
    return route;
}

zf::flow::Segment ReadSegment(const QTableWidget* t, int row, const QString& owner) {
    zf::flow::Segment s;
    const auto* kind = qobject_cast<const QComboBox*>(t->cellWidget(row, Kind));
    s.Kind = static_cast<zf::flow::SegmentKind>(kind ? kind->currentIndex() : 0);
    // A doorway takes no time of its own: its length may stay empty.
    const QString length = CellText(t, row, Length);
    s.Length = s.Kind == zf::flow::SegmentKind::Doorway && length.isEmpty() ? 0 : Number(t, Length, owner, length);
    s.Width = Number(t, Width, owner, CellText(t, row, Width));
    if (!CellText(t, row, Room).isEmpty()) s.Room = Index(t, row, Room, owner);
    return s;
}

// The routes of the tables and, per route, the rows of its segments. Throws Refused.
std::vector<zf::flow::Route> ReadTables(const QTableWidget* routes, const QTableWidget* segments,
                                        std::vector<std::vector<int>>* rows) {
    std::vector<zf::flow::Route> out;
    for (int r = 0; r < routes->rowCount(); ++r) out.push_back(ReadRoute(routes, r));
    if (rows) rows->assign(out.size(), {});
    for (int row = 0; row < segments->rowCount(); ++row) {
        const int route = Index(segments, row, Of, QStringLiteral("Участок в строке %1").arg(row + 1));
        if (route >= static_cast<int>(out.size()))
            throw Refused{QStringLiteral("Участок в строке %1: нет пути №%2; укажите существующий путь").arg(row + 1).arg(route + 1)};
        const QString owner = QStringLiteral("Путь %1, участок %2").arg(route + 1).arg(out[static_cast<std::size_t>(route)].Segments.size() + 1);
        out[static_cast<std::size_t>(route)].Segments.push_back(ReadSegment(segments, row, owner));
        if (rows) (*rows)[static_cast<std::size_t>(route)].push_back(row);
    }
    return out;
}

QString Problem(const zf::flow::RouteProblem& p) {
    return QString::fromStdString(zf::flow::ProblemPlace(p) + ": " + p.Text);
}

}  // namespace

std::optional<std::vector<zf::flow::Route>> TF_Routes::Routes(QString* refusal) const {
    try {
        std::vector<zf::flow::Route> routes = ReadTables(routes_, segments_, nullptr);
        const zf::flow::RouteCheck check = zf::flow::CheckRoutes(routes, roomCount_);
        if (check.Refusals.empty()) return routes;
        if (refusal) *refusal = Problem(check.Refusals.front());
    } catch (const Refused& refused) {
        if (refusal) *refusal = refused.Message;
    }
    return std::nullopt;
}

void TF_Routes::Recompute() {
    if (filling_) return;
    std::vector<std::vector<int>> rows;
    std::vector<zf::flow::Route> routes;
    try {
        routes = ReadTables(routes_, segments_, &rows);
    } catch (const Refused& refused) {
        ClearFlows();
        result_->setText(QStringLiteral("Не рассчитано: ") + refused.Message);
        return;
    }
    const zf::flow::RouteCheck check = zf::flow::CheckRoutes(routes, roomCount_);
    if (!check.Refusals.empty()) {
        ClearFlows();
        diagram_->SetRoutes(routes, nullptr);
        result_->setText(QStringLiteral("Не рассчитано: ") + Problem(check.Refusals.front()));
        return;
    }
    const zf::flow::FlowResult flow = zf::flow::ComputeFlow(routes);
    ShowFlows(routes, flow);
    QStringList lines;
    for (std::size_t r = 0; r < routes.size(); ++r)
        lines << QStringLiteral("Путь %1: tр = %2 мин (%3 с), tск = %4 мин")
                     .arg(r + 1)
                     .arg(FigureText(flow.Routes[r].Time, 3), FigureText(flow.Routes[r].Time * 60, 1),
                          FigureText(flow.Routes[r].CrowdTime, 3));
    for (const zf::flow::RouteProblem& w : check.Warnings) lines << QStringLiteral("Внимание: ") + Problem(w);
    result_->setText(lines.join('\n'));
}

void TF_Routes::ShowFlows(const std::vector<zf::flow::Route>& routes, const zf::flow::FlowResult& flow) {
    filling_ = true;
    for (int row = 0; row < segments_->rowCount(); ++row) {
        const int route = CellText(segments_, row, Of).toInt() - 1;
        int index = 0;
        for (int k = 0; k < row; ++k) index += CellText(segments_, k, Of).toInt() - 1 == route;
        const zf::flow::SegmentFlow& f = flow.Segments[static_cast<std::size_t>(route)][static_cast<std::size_t>(index)];
        const bool door = routes[static_cast<std::size_t>(route)].Segments[static_cast<std::size_t>(index)].Kind ==
                          zf::flow::SegmentKind::Doorway;
        const QString texts[] = {(f.Crowd ? QStringLiteral("≥ ") : QString()) + FigureText(f.Density, 3),
                                 door ? QStringLiteral("—") : FigureText(f.Speed, 2), FigureText(f.Intensity, 2),
                                 FigureText(f.Time, 3), FigureText(f.Delay, 3)};
        for (int c = Density; c < SegmentColumns; ++c) segments_->item(row, c)->setText(texts[c - Density]);
    }
    filling_ = false;
    diagram_->SetRoutes(routes, &flow);
}

void TF_Routes::ClearFlows() {
    filling_ = true;
    for (int row = 0; row < segments_->rowCount(); ++row)
        for (int c = Density; c < SegmentColumns; ++c)
            if (QTableWidgetItem* item = segments_->item(row, c)) item->setText(QStringLiteral("—"));
    filling_ = false;
}
