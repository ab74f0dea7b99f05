// Draws the strokes a DrawbotRecorder took down onto a picture, as the host's window would
// show them: anti-aliased lines and arcs of the stroke's width (1 pixel for the overlay),
// arcs in degrees with 0 at three o'clock sweeping clockwise on screen (y grows downward).
// Strokes of the overlay theme get the theme's drop shadow first when they asked for it;
// pen strokes are drawn in their pen's colour alone. Pixel (i, j) is centred on the window
// point (i, j), so a 1-pixel line along whole coordinates covers exactly one pixel row.
#pragma once

#include <vector>

#include "hostsim/DrawbotSuites.h"

namespace qxv::hostsim {

// Straight (not premultiplied) RGBA, 0 to 1, rows top to bottom.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<float> rgba;

    RgbaPicture() = default;
    RgbaPicture(int w, int h) : width(w), height(h), rgba(static_cast<std::size_t>(w) * h * 4, 0.0f) {}
    float* At(int x, int y) { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
    const float* At(int x, int y) const { return &rgba[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

void DrawStrokes(const std::vector<RecordedStroke>& strokes, const OverlayTheme& theme, RgbaPicture& picture);

}  // namespace qxv::hostsim
