// What the people-flow computation refuses and what it only warns about, in Russian, naming
// the route, the segment and the file's key.
#include <algorithm>
#include <cmath>
#include <string>

#include "model/people_flow.h"

namespace zf::flow {

namespace {

// Longer than this a segment is most likely typed in the wrong unit [m].
constexpr double kLongSegment = 10000;
// Narrower than this no one passes, short of a typing slip [m].
constexpr double kNarrowSegment = 0.3;

struct Problems {
    RouteCheck& Out;
    int Route;
    void Refuse(int segment, std::string key, std::string text) {
        Out.Refusals.push_back({Route, segment, std::move(key), std::move(text)});
    }
    void Warn(int segment, std::string key, std::string text) {
        Out.Warnings.push_back({Route, segment, std::move(key), std::move(text)});
    }
};

bool Finite(double v) { return std::isfinite(v); }

void CheckSegment(const Segment& s, int i, int roomCount, Problems& p) {
    if (!Finite(s.Width) || s.Width <= 0)
        p.Refuse(i, "width", "ширина участка должна быть больше нуля: укажите ширину в метрах");
    else if (s.Width < kNarrowSegment)
        p.Warn(i, "width", "участок уже 0,3 м: проверьте, что ширина указана в метрах");
    if (!Finite(s.Length) || s.Length < 0)
        p.Refuse(i, "length", "длина участка должна быть не меньше нуля: укажите длину в метрах");
    else if (s.Length > kLongSegment)
        p.Warn(i, "length", "участок длиннее 10 км: проверьте, что длина указана в метрах");
    else if (s.Kind == SegmentKind::Doorway && s.Length > kDoorwayMaxDepth)
        p.Warn(i, "length",
               "проем в стене толще 0,7 м задайте горизонтальным участком: длина проема в расчет не входит");
    if (s.Room < -1 || s.Room >= roomCount)
        p.Refuse(i, "room", "в здании нет помещения №" + std::to_string(s.Room + 1) +
                                ": укажите помещение здания или оставьте поле пустым");
}

void CheckStart(const Route& r, Problems& p) {
    if (!Finite(r.People) || r.People < 0)
        p.Refuse(-1, "people", "число людей N должно быть не меньше нуля");
    if (!Finite(r.Projection) || r.Projection <= 0)
        p.Refuse(-1, "projection", "площадь горизонтальной проекции человека f должна быть больше нуля, м²");
    if (!Finite(r.StartDelay) || r.StartDelay < 0)
        p.Refuse(-1, "start_delay", "время начала эвакуации tнэ должно быть не меньше нуля, с");
    if (r.Segments.empty()) {
        p.Refuse(-1, "segments", "у пути нет участков: добавьте хотя бы один участок");
        return;
    }
    const Segment& first = r.Segments.front();
    if (first.Kind == SegmentKind::Doorway)
        p.Refuse(0, "kind", "путь не может начинаться с проема: люди начинают движение на участке с длиной и шириной");
    else if (Finite(first.Length) && first.Length == 0)
        p.Refuse(0, "length", "первый участок должен иметь длину больше нуля: на нем стоят люди");
}

// Whether following the joins from route r comes back to r.
bool JoinsBack(const std::vector<Route>& routes, int r) {
    int at = r;
    for (std::size_t steps = 0; steps < routes.size(); ++steps) {
        const std::optional<Join>& j = routes[static_cast<std::size_t>(at)].JoinsInto;
        if (!j || j->Route < 0 || j->Route >= static_cast<int>(routes.size())) return false;
        at = j->Route;
        if (at == r) return true;
    }
    return false;
}

void CheckJoin(const std::vector<Route>& routes, int r, Problems& p) {
    const std::optional<Join>& j = routes[static_cast<std::size_t>(r)].JoinsInto;
    if (!j) return;
    const int last = static_cast<int>(routes[static_cast<std::size_t>(r)].Segments.size()) - 1;
    if (j->Route < 0 || j->Route >= static_cast<int>(routes.size()) || j->Segment < 0 ||
        j->Segment >= static_cast<int>(routes[static_cast<std::size_t>(j->Route)].Segments.size()))
        p.Refuse(last, "joins", "поток уходит в никуда: пути " + std::to_string(j->Route + 1) + " с участком " +
                                    std::to_string(j->Segment + 1) + " нет; укажите существующий участок");
    else if (JoinsBack(routes, r))
        p.Refuse(last, "joins", "слияние потоков образует цикл: путь возвращается сам в себя; укажите участок пути, ведущего к выходу");
    else if (j->Segment == 0)
        p.Refuse(last, "joins", "поток нельзя направить на первый участок пути: на нем начинают движение люди; "
                                "укажите следующий участок");
}

}  // namespace

RouteCheck CheckRoutes(const std::vector<Route>& routes, int roomCount) {
    RouteCheck out;
    for (std::size_t r = 0; r < routes.size(); ++r) {
        Problems p{out, static_cast<int>(r)};
        CheckStart(routes[r], p);
        const bool fed = std::any_of(routes.begin(), routes.end(), [&](const Route& o) {
            return o.JoinsInto && o.JoinsInto->Route == static_cast<int>(r);
        });
        if (Finite(routes[r].People) && routes[r].People == 0 && !fed)
            p.Warn(-1, "people", "на пути нет людей: укажите число людей N или удалите путь");
        for (std::size_t i = 0; i < routes[r].Segments.size(); ++i)
            CheckSegment(routes[r].Segments[i], static_cast<int>(i), roomCount, p);
        CheckJoin(routes, static_cast<int>(r), p);
    }
    return out;
}

std::string ProblemPlace(const RouteProblem& problem) {
    std::string place = "путь " + std::to_string(problem.Route + 1);
    if (problem.Segment >= 0) place += ", участок " + std::to_string(problem.Segment + 1);
    return place + ", ключ \"" + problem.Key + '"';
}

}  // namespace zf::flow
