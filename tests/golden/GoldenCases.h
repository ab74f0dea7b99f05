// The golden frames: a table of renders chosen so that every path of the effect's maths is
// taken in every pixel layout (After Effects 8- and 16-bit ARGB, Premiere Pro 8-bit and
// float BGRA): both shapes, every blending mode the popup offers with fill channels at 0, at
// 1 and on both sides of the middle grey, every falloff curve plain and inverted, colour
// fill, transparency, invert and mask only in every combination, and the geometry and host
// settings that reach the maths by their own ways (angle, feather 0 and beyond the half
// width, downsampling, pixel aspect, opacity 0 by either copy, degenerate and off-frame
// shapes, unpadded rows).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "hostsim/instruments/Host.h"
#include "hostsim/World.h"

namespace qxv::golden_tests {

// Small and of odd size, so that no row is a whole number of any vector width.
constexpr A_long kGoldenWidth = 61;
constexpr A_long kGoldenHeight = 37;

struct GoldenCase {
    std::string name;  // "<layout>/<group>/...", the key of its stored hash
    hostsim::WorldFormat format;
    std::vector<std::string> settings;  // "Name=value" in the units the effect controls show
    hostsim::RenderSettings render;
    std::size_t row_padding = hostsim::kDefaultRowPadding;
    // pow, sin or cos reach the pixels (an angle other than 0, or a falloff curve made with
    // pow). Their last bit may differ between C libraries, so these frames are compared on
    // Linux only.
    bool uses_libm = false;
};

// The choices the plug-in registered for its popups, by label.
struct OfferedChoices {
    std::vector<std::string> shapes;    // "Vignette Type"
    std::vector<std::string> modes;     // "Blending mode"
    std::vector<std::string> falloffs;  // "Alpha falloff"
};

std::vector<GoldenCase> GoldenCases(const OfferedChoices& offered);

}  // namespace qxv::golden_tests
