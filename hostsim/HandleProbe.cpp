#include "hostsim/HandleProbe.h"

#include <cmath>
#include <cstdlib>

namespace qxv::hostsim {

namespace {

constexpr int kHandleCount = 10;
constexpr int kReach = 16;     // a click takes a handle below this city-block distance
constexpr int kUncertainty = 2;  // drawn and hit places differ by rounding only
constexpr int kBox = kReach - 1 + kUncertainty;

bool IsQuad(const RecordedStroke& s) {
    return s.path.size() == 5 && s.path[0].kind == PathOpKind::kMoveTo && s.path[4].kind == PathOpKind::kClose;
}

bool IsArcs(const RecordedStroke& s, std::size_t count) {
    if (s.path.size() != count) return false;
    for (const PathOp& op : s.path) {
        if (op.kind != PathOpKind::kAddArc) return false;
    }
    return true;
}

PF_Point Rounded(double x, double y) {
    return {static_cast<A_long>(std::lround(x)), static_cast<A_long>(std::lround(y))};
}

PF_Point QuadCentre(const RecordedStroke& s) {
    return Rounded((s.path[0].x + s.path[2].x) * 0.5, (s.path[0].y + s.path[2].y) * 0.5);
}

bool Within(PF_Point a, PF_Point b) { return std::abs(a.h - b.h) + std::abs(a.v - b.v) < kReach; }

}  // namespace

std::vector<PF_Point> DrawnHandlePositions(const std::vector<RecordedStroke>& strokes) {
    // The last ten strokes are the same for both shapes: outline, four corner squares,
    // feather circles, angle line, angle circle, opacity track, opacity knob.
    if (strokes.size() < 10) return {};
    const RecordedStroke* s = &strokes[strokes.size() - 10];
    if (!IsQuad(s[0]) || !IsArcs(s[5], 4) || !IsArcs(s[7], 1) || !IsQuad(s[9])) return {};
    const RecordedStroke& outline = s[0];  // MoveTo TL, LineTo TR, BR, BL
    const auto corner = [&](int op) { return Rounded(outline.path[op].x, outline.path[op].y); };
    const auto arc = [&](const RecordedStroke& stroke, int i) { return Rounded(stroke.path[i].x, stroke.path[i].y); };
    // Feather circles come top, bottom, left, right; the handles are numbered left, right, top, bottom.
    return {corner(0),       corner(1),       corner(3),       corner(2),       arc(s[7], 0),
            arc(s[5], 2),    arc(s[5], 3),    arc(s[5], 0),    arc(s[5], 1),    QuadCentre(s[9])};
}

std::vector<ProbedHandle> ProbeHandles(EventSession& session, Host& host) {
    session.Draw();
    const std::vector<PF_Point> drawn = DrawnHandlePositions(session.drawbot().strokes());
    if (drawn.size() != kHandleCount) return {};

    std::vector<ProbedHandle> handles;
    std::vector<PF_Point> known;  // hit points of the handles found so far, lower numbers first
    for (int number = 1; number <= kHandleCount; ++number) {
        const PF_Point centre = drawn[number - 1];
        const int side = 2 * kBox + 1;
        std::vector<char> taken(static_cast<std::size_t>(side) * side);
        for (int dy = -kBox; dy <= kBox; ++dy) {
            for (int dx = -kBox; dx <= kBox; ++dx) {
                session.Click({centre.h + dx, centre.v + dy});
                taken[(dy + kBox) * side + dx + kBox] = session.click_data().continue_refcon[0] == number &&
                                                        session.click_data().send_drag;
                host.trace().Clear();
            }
        }

        int matches = 0;
        PF_Point found = centre;
        for (int cy = -kUncertainty; cy <= kUncertainty; ++cy) {
            for (int cx = -kUncertainty; cx <= kUncertainty; ++cx) {
                const PF_Point candidate{centre.h + cx, centre.v + cy};
                bool same = true;
                for (int dy = -kBox; dy <= kBox && same; ++dy) {
                    for (int dx = -kBox; dx <= kBox && same; ++dx) {
                        const PF_Point p{centre.h + dx, centre.v + dy};
                        bool predicted = Within(p, candidate);
                        for (const PF_Point& lower : known) predicted = predicted && !Within(p, lower);
                        same = predicted == static_cast<bool>(taken[(dy + kBox) * side + dx + kBox]);
                    }
                }
                if (same) {
                    ++matches;
                    found = candidate;
                }
            }
        }
        const bool probed = matches == 1;
        handles.push_back(ProbedHandle{number, probed ? found : centre, probed});
        known.push_back(handles.back().point);
    }
    return handles;
}

}  // namespace qxv::hostsim
