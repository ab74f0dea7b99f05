// The preview window's pixels, fast enough to redraw after every drag event: the pasteboard,
// the composition (composition window), the rendered frame at the view's zoom and place (each
// window pixel shows the frame pixel under its top-left corner), and the overlay strokes of
// the last draw event drawn by the host's DrawStrokes, one stroke at a time over the box
// it covers rather than over the whole window.
#pragma once

#include <cstdint>
#include <vector>

#include "hostsim/instruments/Drawbot.h"
#include "hostsim/instruments/OverlayEvents.h"
#include "hostsim/World.h"

namespace qxv::cli {

// 32-bit pixels with 8-bit red, green and blue at the given shifts (a window surface).
struct WindowPixels {
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes per row
    std::uint8_t* pixels = nullptr;
    int red_shift = 16, green_shift = 8, blue_shift = 0;

    std::uint32_t* Row(int y) const { return reinterpret_cast<std::uint32_t*>(pixels + static_cast<std::ptrdiff_t>(y) * pitch); }
};

// `frame` is the layer rendered at 1/`downsample` of its size `layer_size` (8-bit, either
// host's layout).
void DrawFrame(const hostsim::OverlayView& view, PF_Point layer_size, const hostsim::World& frame, int downsample,
               WindowPixels& window);

struct PixelRect {
    int x, y, w, h;
};

// The parts of the window that differ from `previous` (a copy of the pixels last shown, made
// here on the first call or after a resize), one rectangle per band of rows; `previous`
// becomes the window. Only these go to the screen: a drag changes the feather band and the
// outline, seldom the whole frame.
std::vector<PixelRect> ChangedRects(const WindowPixels& window, std::vector<std::uint32_t>& previous);

void DrawOverlayStrokes(const std::vector<hostsim::RecordedStroke>& strokes, const hostsim::OverlayTheme& theme,
                        WindowPixels& window);

}  // namespace qxv::cli
