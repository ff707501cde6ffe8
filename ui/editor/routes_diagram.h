#pragma once
// A simple diagram of the escape routes: a row of boxes per route, one box per segment with
// its kind, a crowd marked in red; an arrow from a route's last segment to the segment it
// flows into, or to "выход".

#include <QWidget>
#include <vector>

#include "model/people_flow.h"

class TRoutesDiagram : public QWidget {
public:
    explicit TRoutesDiagram(QWidget* parent = nullptr);

    // The routes to draw and, when they were computed, their flows (else no crowd is marked).
    void SetRoutes(const std::vector<zf::flow::Route>& routes, const zf::flow::FlowResult* flow);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF Box(int route, int segment) const;

    std::vector<zf::flow::Route> routes_;
    std::vector<std::vector<bool>> crowd_;  // by route, by segment
};
