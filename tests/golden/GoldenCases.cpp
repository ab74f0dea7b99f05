#include "GoldenCases.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <iterator>

namespace qxv::golden_tests {
namespace {

using hostsim::RenderSettings;
using hostsim::WorldFormat;

const WorldFormat kFormats[] = {WorldFormat::kArgb8, WorldFormat::kArgb16, WorldFormat::kBgra8,
                                WorldFormat::kBgraFloat};

// The shape the cases start from: on the 61 x 37 frame it leaves whole rows and the ends of
// every row outside, a core inside, and a band of several pixels between.
const std::initializer_list<const char*> kGeometry = {"Point of origin=30,18", "Width=44", "Height=26",
                                                      "Feather=9"};

// Between them the two fill colours put a channel at 0, at 1, just below the middle grey
// (127/255, so the c <= 0.5 branches) and above it.
constexpr const char* kFillLow = "Color=#ff7f00";
constexpr const char* kFillHigh = "Color=#40c8ff";

bool CurveUsesPow(const std::string& falloff) {
    return falloff == "Gamma 2.2" || falloff == "Gaussian" || falloff == "Exponential";
}

std::string Slug(const std::string& label) {
    std::string slug;
    for (char c : label) slug += c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return slug;
}

struct Variant {
    std::string name;
    std::vector<std::string> settings;
    bool uses_libm = false;
    RenderSettings render{};
    std::size_t row_padding = hostsim::kDefaultRowPadding;
};

// One variant in every pixel layout, the base geometry first so that its settings may
// override it.
void AddInEveryFormat(std::vector<GoldenCase>& cases, const Variant& variant) {
    for (WorldFormat format : kFormats) {
        GoldenCase c;
        c.name = std::string(hostsim::WorldFormatName(format)) + "/" + variant.name;
        c.format = format;
        c.settings.assign(kGeometry.begin(), kGeometry.end());
        c.settings.insert(c.settings.end(), variant.settings.begin(), variant.settings.end());
        c.render = variant.render;
        c.row_padding = variant.row_padding;
        c.uses_libm = variant.uses_libm;
        cases.push_back(std::move(c));
    }
}

// Every offered mode on both shapes, the ellipse with one fill and the rectangle with the
// other, at an opacity below 100 % so that the amount is never trivially 0 or 1 in the band.
// The falloff cycles through the curves made without pow, so that all of them run under
// wine too.
void AddModes(std::vector<GoldenCase>& cases, const OfferedChoices& offered) {
    std::vector<std::string> plain_curves;
    std::copy_if(offered.falloffs.begin(), offered.falloffs.end(), std::back_inserter(plain_curves),
                 [](const std::string& f) { return !CurveUsesPow(f); });
    for (std::size_t i = 0; i < offered.modes.size(); ++i) {
        for (std::size_t shape = 0; shape < offered.shapes.size(); ++shape) {
            AddInEveryFormat(cases, {"mode/" + Slug(offered.modes[i]) + "/" + Slug(offered.shapes[shape]),
                                     {"Vignette Type=" + offered.shapes[shape], "Blending mode=" + offered.modes[i],
                                      shape % 2 == 0 ? kFillLow : kFillHigh, "Opacity=80",
                                      "Alpha falloff=" + plain_curves[i % plain_curves.size()]}});
        }
    }
}

// Every curve on both shapes: blended as Normal at full opacity, and as the bare inverted
// mask, where the curve itself becomes the alpha.
void AddFalloffs(std::vector<GoldenCase>& cases, const OfferedChoices& offered) {
    for (const std::string& falloff : offered.falloffs) {
        for (const std::string& shape : offered.shapes) {
            const std::string name = "falloff/" + Slug(falloff) + "/" + Slug(shape);
            const std::vector<std::string> common = {"Vignette Type=" + shape, "Alpha falloff=" + falloff};
            Variant blended{name, common, CurveUsesPow(falloff)};
            blended.settings.insert(blended.settings.end(), {"Blending mode=Normal", kFillHigh, "Opacity=100"});
            AddInEveryFormat(cases, blended);
            Variant mask{name + "-mask-inverted", common, CurveUsesPow(falloff)};
            mask.settings.insert(mask.settings.end(), {"Mask Only=on", "Invert=on", kFillLow});
            AddInEveryFormat(cases, mask);
        }
    }
}

// Colour fill or transparency, with and without invert and mask only, on both shapes.
void AddFills(std::vector<GoldenCase>& cases, const OfferedChoices& offered) {
    for (const char* fill : {"Color", "Transparent"}) {
        for (bool invert : {false, true}) {
            for (bool mask_only : {false, true}) {
                for (const std::string& shape : offered.shapes) {
                    std::string name = "fill/" + Slug(fill);
                    if (invert) name += "-inverted";
                    if (mask_only) name += "-mask-only";
                    AddInEveryFormat(cases, {name + "/" + Slug(shape),
                                             {"Vignette Type=" + shape, std::string("Fill with=") + fill,
                                              std::string("Invert=") + (invert ? "on" : "off"),
                                              std::string("Mask Only=") + (mask_only ? "on" : "off"),
                                              "Blending mode=Overlay", kFillHigh, "Opacity=60",
                                              "Alpha falloff=Quadratic"}});
                }
            }
        }
    }
}

RenderSettings Downsampled(A_long num, A_u_long den) {
    RenderSettings settings;
    settings.downsample_x = settings.downsample_y = PF_RationalScale{num, den};
    return settings;
}

RenderSettings PixelAspect(A_long num, A_u_long den) {
    RenderSettings settings;
    settings.pixel_aspect_ratio = PF_RationalScale{num, den};
    return settings;
}

RenderSettings AtQuality(PF_Quality quality) {
    RenderSettings settings;
    settings.quality = quality;
    return settings;
}

// Settings that reach the maths by their own ways.
void AddGeometry(std::vector<GoldenCase>& cases) {
    const Variant variants[] = {
        {"geometry/defaults", {}},
        {"geometry/opacity-100-defaults/rectangle", {"Vignette Type=Rectangle", "Opacity=100"}},
        {"geometry/angle-30/rectangle",
         {"Vignette Type=Rectangle", "Angle=30", "Blending mode=Soft light", kFillHigh, "Opacity=100"},
         true},
        {"geometry/angle-minus-12.5/ellipse", {"Angle=-12.5", "Blending mode=Screen", kFillLow, "Opacity=70"}, true},
        {"geometry/angle-90/rectangle",
         {"Vignette Type=Rectangle", "Angle=90", "Blending mode=Hard light", kFillLow, "Opacity=100"},
         true},
        {"geometry/feather-0/ellipse", {"Feather=0", "Blending mode=Normal", kFillHigh, "Opacity=100"}},
        {"geometry/feather-0/rectangle",
         {"Vignette Type=Rectangle", "Feather=0", "Blending mode=Normal", kFillHigh, "Opacity=100"}},
        // A feather that reaches the half width is cut to one pixel less.
        {"geometry/feather-beyond-half-width/ellipse",
         {"Feather=40", "Blending mode=Difference", kFillLow, "Opacity=100"}},
        {"geometry/feather-beyond-half-width/rectangle",
         {"Vignette Type=Rectangle", "Feather=40", "Blending mode=Difference", kFillLow, "Opacity=100"}},
        {"geometry/downsampled-1-2/ellipse",
         {"Blending mode=Multiply", kFillHigh, "Opacity=100"},
         false,
         Downsampled(1, 2)},
        {"geometry/pixel-aspect-10-11/rectangle",
         {"Vignette Type=Rectangle", "Blending mode=Linear burn", kFillHigh, "Opacity=90"},
         false,
         PixelAspect(10, 11)},
        // Opacity 0 is the host's copy, whatever the other settings say.
        {"geometry/opacity-0-high-quality", {"Opacity=0", "Mask Only=on", "Fill with=Transparent"}, false,
         AtQuality(PF_Quality_HI)},
        {"geometry/opacity-0-draft", {"Opacity=0", "Mask Only=on", "Fill with=Transparent"}, false,
         AtQuality(PF_Quality_LO)},
        // No width: the set-up divides by zero and every pixel must still get some value.
        {"geometry/width-0/ellipse", {"Width=0", "Blending mode=Normal", kFillLow, "Opacity=100"}},
        {"geometry/width-0/rectangle",
         {"Vignette Type=Rectangle", "Width=0", "Blending mode=Normal", kFillLow, "Opacity=100"}},
        // The whole frame outside the shape; inverted, only the alpha of "Transparent" shows it.
        {"geometry/far-outside/ellipse",
         {"Point of origin=-500,-500", "Blending mode=Color dodge", kFillHigh, "Opacity=100"}},
        {"geometry/far-outside/rectangle",
         {"Vignette Type=Rectangle", "Point of origin=500,-300", "Blending mode=Vivid light", kFillLow,
          "Opacity=100"}},
        {"geometry/far-outside-inverted/rectangle",
         {"Vignette Type=Rectangle", "Point of origin=500,-300", "Invert=on", "Fill with=Transparent",
          "Opacity=100"}},
        {"geometry/fractional-origin/ellipse",
         {"Point of origin=30.5,18.25", "Alpha falloff=Cubic", "Blending mode=Pin light", kFillHigh,
          "Opacity=100"}},
        {"geometry/unpadded-rows/ellipse", {"Blending mode=Hue", kFillLow, "Opacity=90"}, false, {}, 0},
    };
    for (const Variant& variant : variants) AddInEveryFormat(cases, variant);
}

}  // namespace

std::vector<GoldenCase> GoldenCases(const OfferedChoices& offered) {
    std::vector<GoldenCase> cases;
    AddModes(cases, offered);
    AddFalloffs(cases, offered);
    AddFills(cases, offered);
    AddGeometry(cases);
    return cases;
}

}  // namespace qxv::golden_tests
