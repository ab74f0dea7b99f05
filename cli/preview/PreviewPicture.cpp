#include "cli/preview/PreviewPicture.h"

#include <algorithm>
#include <cmath>

#include "hostsim/instruments/Drawbot.h"

namespace qxv::cli {

namespace {

using hostsim::World;
using hostsim::WorldFormat;

// The same greys as the overlay commands' window pictures.
constexpr std::uint8_t kPasteboard = 59;   // 0.23
constexpr std::uint8_t kComposition = 13;  // 0.05

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

std::uint8_t Byte(float v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); }

struct Shifts {
    int r, g, b;
    std::uint32_t Pack(std::uint8_t red, std::uint8_t green, std::uint8_t blue) const {
        return (std::uint32_t{red} << r) | (std::uint32_t{green} << g) | (std::uint32_t{blue} << b);
    }
    void Unpack(std::uint32_t p, float rgb[3]) const {
        rgb[0] = ((p >> r) & 0xFF) / 255.0f;
        rgb[1] = ((p >> g) & 0xFF) / 255.0f;
        rgb[2] = ((p >> b) & 0xFF) / 255.0f;
    }
};

void FillRect(WindowPixels& window, std::uint32_t value, int x0, int y0, int x1, int y1) {
    x0 = std::max(0, x0), y0 = std::max(0, y0), x1 = std::min(window.width, x1), y1 = std::min(window.height, y1);
    if (x0 >= x1) return;
    for (int y = y0; y < y1; ++y) std::fill(window.Row(y) + x0, window.Row(y) + x1, value);
}

// The layer column (or row) shown at window position `at`, or -1 outside the layer.
int SourceIndex(int at, int scroll, const hostsim::Zoom& zoom, int offset, int length) {
    const std::int64_t source = FloorDiv((static_cast<std::int64_t>(at) - scroll) * zoom.den, zoom.num) - offset;
    return source >= 0 && source < length ? static_cast<int>(source) : -1;
}

// Copies of the strokes' paths moved by (-dx, -dy).
hostsim::RecordedStroke Moved(const hostsim::RecordedStroke& stroke, int dx, int dy) {
    hostsim::RecordedStroke moved = stroke;
    for (hostsim::PathOp& op : moved.path) {
        op.x -= static_cast<float>(dx);
        op.y -= static_cast<float>(dy);
    }
    return moved;
}

// The window pixels a stroke (and its shadow) may touch: [x0, x1) x [y0, y1).
void StrokeBox(const hostsim::RecordedStroke& stroke, const hostsim::OverlayTheme& theme, int box[4]) {
    double min_x = 1e300, min_y = 1e300, max_x = -1e300, max_y = -1e300;
    for (const hostsim::PathOp& op : stroke.path) {
        if (op.kind == hostsim::PathOpKind::kClose) continue;
        const double r = op.kind == hostsim::PathOpKind::kAddArc ? std::fabs(op.radius) : 0.0;
        min_x = std::min(min_x, op.x - r), max_x = std::max(max_x, op.x + r);
        min_y = std::min(min_y, op.y - r), max_y = std::max(max_y, op.y + r);
    }
    const double reach = stroke.width * 0.5 + 2;
    const double sx = stroke.shadow ? theme.shadow_offset.x : 0, sy = stroke.shadow ? theme.shadow_offset.y : 0;
    box[0] = static_cast<int>(std::floor(min_x - reach + std::min(0.0, sx)));
    box[1] = static_cast<int>(std::floor(min_y - reach + std::min(0.0, sy)));
    box[2] = static_cast<int>(std::ceil(max_x + reach + std::max(0.0, sx))) + 1;
    box[3] = static_cast<int>(std::ceil(max_y + reach + std::max(0.0, sy))) + 1;
}

}  // namespace

void DrawFrame(const hostsim::OverlayView& view, PF_Point layer_size, const World& frame, int downsample,
               WindowPixels& window) {
    const Shifts shifts{window.red_shift, window.green_shift, window.blue_shift};
    FillRect(window, shifts.Pack(kPasteboard, kPasteboard, kPasteboard), 0, 0, window.width, window.height);
    const bool comp = view.window == PF_Window_COMP;
    if (comp) {
        const PF_Point content = hostsim::ContentSize(view, layer_size);
        const double zoom = view.zoom.value();
        FillRect(window, shifts.Pack(kComposition, kComposition, kComposition), view.scroll.h, view.scroll.v,
                 view.scroll.h + static_cast<int>(std::ceil(content.h * zoom)),
                 view.scroll.v + static_cast<int>(std::ceil(content.v * zoom)));
    }
    const PF_Point offset = comp ? view.layer_offset : PF_Point{0, 0};
    std::vector<int> columns(static_cast<std::size_t>(window.width));
    for (int x = 0; x < window.width; ++x) {
        const int column = SourceIndex(x, view.scroll.h, view.zoom, offset.h, layer_size.h);
        columns[x] = column < 0 ? -1 : std::min<int>(column / downsample, frame.width() - 1);
    }
    const bool bgra = frame.format() == WorldFormat::kBgra8;
    const int ia = bgra ? 3 : 0, ir = bgra ? 2 : 1, ig = bgra ? 1 : 2, ib = bgra ? 0 : 3;
    int previous_row = -1;
    for (int y = 0; y < window.height; ++y) {
        const int layer_row = SourceIndex(y, view.scroll.v, view.zoom, offset.v, layer_size.v);
        if (layer_row < 0) continue;
        const int row = std::min<int>(layer_row / downsample, frame.height() - 1);
        std::uint32_t* out = window.Row(y);
        if (row == previous_row) {  // zoomed in or downsampled: the row above shows the same pixels
            std::copy(window.Row(y - 1), window.Row(y - 1) + window.width, out);
            continue;
        }
        previous_row = row;
        const std::uint8_t* source = frame.Row(row);
        for (int x = 0; x < window.width; ++x) {
            if (columns[x] < 0) continue;
            const std::uint8_t* p = source + static_cast<std::size_t>(columns[x]) * 4;
            if (p[ia] == 255) {
                out[x] = shifts.Pack(p[ir], p[ig], p[ib]);
                continue;
            }
            // The layer's own transparency shows what lies under it.
            const float alpha = p[ia] / 255.0f;
            float under[3];
            shifts.Unpack(out[x], under);
            out[x] = shifts.Pack(Byte(p[ir] / 255.0f * alpha + under[0] * (1 - alpha)),
                                 Byte(p[ig] / 255.0f * alpha + under[1] * (1 - alpha)),
                                 Byte(p[ib] / 255.0f * alpha + under[2] * (1 - alpha)));
        }
    }
}

std::vector<PixelRect> ChangedRects(const WindowPixels& window, std::vector<std::uint32_t>& previous) {
    constexpr int kBand = 16;  // rows per rectangle
    const std::size_t width = static_cast<std::size_t>(window.width);
    std::vector<PixelRect> rects;
    if (previous.size() != width * window.height) {
        previous.resize(width * window.height);
        for (int y = 0; y < window.height; ++y) std::copy(window.Row(y), window.Row(y) + width, &previous[y * width]);
        return {{0, 0, window.width, window.height}};
    }
    for (int band = 0; band < window.height; band += kBand) {
        int x0 = window.width, x1 = 0, y0 = -1, y1 = -1;
        for (int y = band; y < std::min(window.height, band + kBand); ++y) {
            const std::uint32_t* now = window.Row(y);
            std::uint32_t* before = &previous[y * width];
            int first = 0, last = window.width;
            while (first < last && now[first] == before[first]) ++first;
            if (first == last) continue;
            while (now[last - 1] == before[last - 1]) --last;
            std::copy(now + first, now + last, before + first);
            x0 = std::min(x0, first), x1 = std::max(x1, last);
            if (y0 < 0) y0 = y;
            y1 = y + 1;
        }
        if (y0 >= 0) rects.push_back({x0, y0, x1 - x0, y1 - y0});
    }
    return rects;
}

void DrawOverlayStrokes(const std::vector<hostsim::RecordedStroke>& strokes, const hostsim::OverlayTheme& theme,
                        WindowPixels& window) {
    const Shifts shifts{window.red_shift, window.green_shift, window.blue_shift};
    for (const hostsim::RecordedStroke& stroke : strokes) {
        if (stroke.path.empty()) continue;
        int box[4];
        StrokeBox(stroke, theme, box);
        box[0] = std::max(box[0], 0), box[1] = std::max(box[1], 0);
        box[2] = std::min(box[2], window.width), box[3] = std::min(box[3], window.height);
        if (box[0] >= box[2] || box[1] >= box[3]) continue;

        // Drawn alone over transparency, then laid over the window: the same as drawing it there.
        hostsim::RgbaPicture patch(box[2] - box[0], box[3] - box[1]);
        hostsim::DrawStrokes({Moved(stroke, box[0], box[1])}, theme, patch);
        for (int y = 0; y < patch.height; ++y) {
            std::uint32_t* out = window.Row(box[1] + y) + box[0];
            for (int x = 0; x < patch.width; ++x) {
                const float* px = patch.At(x, y);
                if (px[3] <= 0) continue;
                float under[3];
                shifts.Unpack(out[x], under);
                out[x] = shifts.Pack(Byte(px[0] * px[3] + under[0] * (1 - px[3])),
                                     Byte(px[1] * px[3] + under[1] * (1 - px[3])),
                                     Byte(px[2] * px[3] + under[2] * (1 - px[3])));
            }
        }
    }
}

}  // namespace qxv::cli
