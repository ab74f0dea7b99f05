#include "hostsim/OverlayRaster.h"

#include <algorithm>
#include <cmath>

namespace qxv::hostsim {

namespace {

constexpr double kDegrees = 3.14159265358979323846 / 180.0;
constexpr double kArcStepPixels = 1.0;  // chord length of the polygon that stands for an arc

struct Point {
    double x, y;
};
struct Segment {
    Point a, b;
};

void AddArcSegments(const PathOp& op, std::vector<Segment>& segments) {
    const double length = std::fabs(op.sweep) * kDegrees * op.radius;
    const int steps = std::max(8, static_cast<int>(std::ceil(length / kArcStepPixels)));
    Point previous{};
    for (int i = 0; i <= steps; ++i) {
        const double angle = (op.start + op.sweep * i / steps) * kDegrees;
        const Point p{op.x + op.radius * std::cos(angle), op.y + op.radius * std::sin(angle)};
        if (i > 0) segments.push_back({previous, p});
        previous = p;
    }
}

// A path as straight segments. An arc starts a figure of its own: no line joins it to what
// came before, as the feather circles, which share one path, show.
std::vector<Segment> Flatten(const std::vector<PathOp>& ops) {
    std::vector<Segment> segments;
    bool has_point = false;
    Point current{}, start{};
    for (const PathOp& op : ops) {
        const Point p{op.x, op.y};
        switch (op.kind) {
            case PathOpKind::kMoveTo:
                current = start = p;
                has_point = true;
                break;
            case PathOpKind::kLineTo:
                if (has_point) segments.push_back({current, p});
                if (!has_point) start = p;
                current = p;
                has_point = true;
                break;
            case PathOpKind::kAddArc:
                AddArcSegments(op, segments);
                has_point = false;
                break;
            case PathOpKind::kClose:
                if (has_point) segments.push_back({current, start});
                current = start;
                break;
        }
    }
    return segments;
}

double DistanceToSegment(Point p, const Segment& s) {
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double ex = s.a.x + t * dx - p.x, ey = s.a.y + t * dy - p.y;
    return std::sqrt(ex * ex + ey * ey);
}

// Coverage of each pixel by the stroke: the highest of its segments, so that joints and
// overlapping figures are not drawn twice as dark.
void Cover(const std::vector<Segment>& segments, float width, Point shift, int w, int h, std::vector<float>& coverage) {
    const double reach = width * 0.5 + 0.5;
    for (const Segment& raw : segments) {
        const Segment s{{raw.a.x + shift.x, raw.a.y + shift.y}, {raw.b.x + shift.x, raw.b.y + shift.y}};
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min(s.a.x, s.b.x) - reach)));
        const int x1 = std::min(w - 1, static_cast<int>(std::ceil(std::max(s.a.x, s.b.x) + reach)));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min(s.a.y, s.b.y) - reach)));
        const int y1 = std::min(h - 1, static_cast<int>(std::ceil(std::max(s.a.y, s.b.y) + reach)));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double c = std::clamp(reach - DistanceToSegment({double(x), double(y)}, s), 0.0, 1.0);
                float& slot = coverage[static_cast<std::size_t>(y) * w + x];
                slot = std::max(slot, static_cast<float>(c));
            }
        }
    }
}

void Composite(const std::vector<float>& coverage, const DRAWBOT_ColorRGBA& colour, RgbaPicture& picture) {
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const float a = colour.alpha * coverage[static_cast<std::size_t>(y) * picture.width + x];
            if (a <= 0) continue;
            float* px = picture.At(x, y);
            const float under = px[3] * (1 - a);
            const float alpha = a + under;
            const float source[3] = {colour.red, colour.green, colour.blue};
            for (int c = 0; c < 3; ++c) px[c] = alpha > 0 ? (source[c] * a + px[c] * under) / alpha : 0;
            px[3] = alpha;
        }
    }
}

}  // namespace

void DrawStrokes(const std::vector<RecordedStroke>& strokes, const OverlayTheme& theme, RgbaPicture& picture) {
    std::vector<float> coverage;
    for (const RecordedStroke& stroke : strokes) {
        const std::vector<Segment> segments = Flatten(stroke.path);
        if (stroke.shadow) {
            coverage.assign(picture.rgba.size() / 4, 0.0f);
            const Point offset{double(theme.shadow_offset.x), double(theme.shadow_offset.y)};
            Cover(segments, stroke.width, offset, picture.width, picture.height, coverage);
            Composite(coverage, theme.shadow, picture);
        }
        coverage.assign(picture.rgba.size() / 4, 0.0f);
        Cover(segments, stroke.width, {0, 0}, picture.width, picture.height, coverage);
        Composite(coverage, stroke.colour, picture);
    }
}

}  // namespace qxv::hostsim
