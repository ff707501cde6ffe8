#pragma once
// "Пути эвакуации": the escape routes of the building, their people and segments, with the
// people-flow computation beside the inputs. Two tables made in code: the routes (name, N, f,
// t_нэ, the route and segment the last segment flows into) and the segments (route, kind,
// length, width, room, then the computed D, V, q, l/V and the crowd's delay Δt), a line per
// route with t_р and t_ск, and a diagram of the routes and their merges. Every edit computes
// again; OK refuses entries that are no number or that the computation refuses, naming the
// route, the segment and the column, and keeps the dialog open.
//
// Object names for tests: TableRoutes, TableSegments, BtnAddRoute, BtnDelRoute, BtnAddSegment,
// BtnDelSegment, LabelRoutesResult, RoutesDiagram, btnOk, btnCancel; a segment's kind is a
// combo box in its cell, a route's f an editable combo box (0,1, 0,125, 0,07 or a number).

#include <QDialog>
#include <functional>
#include <optional>
#include <vector>

#include "model/people_flow.h"

class QLabel;
class QTableWidget;
class TRoutesDiagram;

// The table columns of the routes and of the segments.
namespace routes_columns {
enum Route { Name, People, Projection, StartDelay, JoinRoute, JoinSegment, RouteColumns };
enum Segment { Of, Kind, Length, Width, Room, Density, Speed, Intensity, Time, Delay, SegmentColumns };
}  // namespace routes_columns

class TF_Routes : public QDialog {
public:
    explicit TF_Routes(QWidget* parent = nullptr);

    // Shows `routes` of a building of `roomCount` rooms and computes them.
    void Show(const std::vector<zf::flow::Route>& routes, int roomCount);
    // The routes as entered; nullopt with `refusal` (in Russian, naming the route, the segment
    // and the column) when a cell holds no number or the computation refuses the routes.
    std::optional<std::vector<zf::flow::Route>> Routes(QString* refusal) const;

    // The message of a refused OK goes to this reporter (a message box unless replaced).
    void SetErrorReporter(std::function<void(const QString&)> reporter);

private:
    void BuildTables();
    QWidget* BuildButtons();
    void AddRoute();
    void DeleteRoute();
    void AddSegment();
    void DeleteSegment();
    void AddRouteRow(const zf::flow::Route& route);
    void AddSegmentRow(int route, const zf::flow::Segment& segment);
    void Recompute();
    void ShowFlows(const std::vector<zf::flow::Route>& routes, const zf::flow::FlowResult& flow);
    void ClearFlows();
    void TryAccept();

    QTableWidget* routes_ = nullptr;
    QTableWidget* segments_ = nullptr;
    QLabel* result_ = nullptr;
    TRoutesDiagram* diagram_ = nullptr;
    int roomCount_ = 0;
    bool filling_ = false;  // the dialog writes cells: no computation until it is done
    std::function<void(const QString&)> errorReporter_;
};
