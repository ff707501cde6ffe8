#include "routes_diagram.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr double kLeft = 70, kTop = 10, kBoxWidth = 64, kBoxHeight = 26, kGap = 18, kRowHeight = 44;

QString ShortKind(zf::flow::SegmentKind kind) {
    switch (kind) {
        case zf::flow::SegmentKind::Horizontal: return QStringLiteral("путь");
        case zf::flow::SegmentKind::Doorway: return QStringLiteral("проем");
        case zf::flow::SegmentKind::StairsDown: return QStringLiteral("л. вниз");
        case zf::flow::SegmentKind::StairsUp: return QStringLiteral("л. вверх");
    }
    return {};
}

// An arrow from `from` to `to` with a small head.
void Arrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    const QLineF back(to, from);
    QLineF side1 = back, side2 = back;
    side1.setLength(7);
    side2.setLength(7);
    side1.setAngle(back.angle() + 25);
    side2.setAngle(back.angle() - 25);
    p.drawLine(side1);
    p.drawLine(side2);
}

}  // namespace

TRoutesDiagram::TRoutesDiagram(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RoutesDiagram"));
    setMinimumHeight(80);
    setToolTip(QStringLiteral("Схема путей эвакуации: участки по порядку, стрелки — куда вливается поток; "
                              "красным — участок, перед которым образуется скопление"));
}

void TRoutesDiagram::SetRoutes(const std::vector<zf::flow::Route>& routes, const zf::flow::FlowResult* flow) {
    routes_ = routes;
    crowd_.assign(routes.size(), {});
    for (std::size_t r = 0; r < routes.size(); ++r) {
        crowd_[r].assign(routes[r].Segments.size(), false);
        if (flow == nullptr || r >= flow->Segments.size()) continue;
        for (std::size_t i = 0; i < flow->Segments[r].size() && i < crowd_[r].size(); ++i)
            crowd_[r][i] = flow->Segments[r][i].Crowd;
    }
    updateGeometry();
    update();
}

QSize TRoutesDiagram::sizeHint() const {
    std::size_t longest = 0;
    for (const zf::flow::Route& r : routes_) longest = std::max(longest, r.Segments.size());
    return QSize(static_cast<int>(kLeft + (kBoxWidth + kGap) * (static_cast<double>(longest) + 1)),
                 static_cast<int>(kTop * 2 + kRowHeight * static_cast<double>(std::max<std::size_t>(routes_.size(), 1))));
}

QRectF TRoutesDiagram::Box(int route, int segment) const {
    return QRectF(kLeft + (kBoxWidth + kGap) * segment, kTop + kRowHeight * route, kBoxWidth, kBoxHeight);
}

void TRoutesDiagram::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen ink(palette().color(QPalette::WindowText)), crowd(QColor(200, 30, 30), 2);
    for (std::size_t r = 0; r < routes_.size(); ++r) {
        const int route = static_cast<int>(r);
        p.setPen(ink);
        p.drawText(QRectF(0, kTop + kRowHeight * route, kLeft - 6, kBoxHeight), Qt::AlignVCenter | Qt::AlignRight,
                   QStringLiteral("Путь %1").arg(route + 1));
        const auto& segments = routes_[r].Segments;
        for (std::size_t i = 0; i < segments.size(); ++i) {
            const QRectF box = Box(route, static_cast<int>(i));
            p.setPen(crowd_[r][i] ? crowd : ink);
            p.drawRect(box);
            p.drawText(box, Qt::AlignCenter, ShortKind(segments[i].Kind));
            p.setPen(ink);
            if (i > 0) Arrow(p, QPointF(box.left() - kGap, box.center().y()), QPointF(box.left(), box.center().y()));
        }
        if (segments.empty()) continue;
        const QRectF last = Box(route, static_cast<int>(segments.size()) - 1);
        const QPointF from(last.right(), last.center().y());
        const auto& join = routes_[r].JoinsInto;
        if (join && join->Route >= 0 && join->Route < static_cast<int>(routes_.size()) && join->Route != route) {
            const QRectF target = Box(join->Route, join->Segment);
            Arrow(p, from, QPointF(target.center().x(), join->Route > route ? target.top() : target.bottom()));
        } else {
            Arrow(p, from, from + QPointF(kGap, 0));
            p.drawText(QPointF(from.x() + kGap + 3, from.y() + 4), QStringLiteral("выход"));
        }
    }
}
