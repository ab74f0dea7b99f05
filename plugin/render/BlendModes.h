// Every blending mode, in the order of the "Blending mode" popup: one line each, from which
// the codes, the popup's mapping and labels, and the run-time dispatch are all derived. A new
// mode is a line here plus its formula (BlendChannelFor in render/BlendChannel.h, or
// BlendHue in render/ShadeWithMask.h for a mode mixed through HSV).
#pragma once

#include <cstdint>
#include <type_traits>

namespace qxv {

// The two ways a mode mixes: each colour channel on its own, or the three together through
// HSV (Hue, Saturation, Color, Luminosity).
enum class BlendMix { kPerChannel, kHsv };

// X(name, code, label, mix). Codes are numbered as the host's transfer modes.
#define QXV_BLEND_MODES(X)                                   \
    X(Normal, 2, "Normal", kPerChannel)                      \
    X(Add, 4, "Add", kPerChannel)                            \
    X(Multiply, 5, "Multiply", kPerChannel)                  \
    X(Screen, 6, "Screen", kPerChannel)                      \
    X(Overlay, 7, "Overlay", kPerChannel)                    \
    X(SoftLight, 8, "Soft light", kPerChannel)               \
    X(HardLight, 9, "Hard light", kPerChannel)               \
    X(Darken, 10, "Darken", kPerChannel)                     \
    X(Lighten, 11, "Lighten", kPerChannel)                   \
    X(Difference, 26, "Difference", kPerChannel)             \
    X(Hue, 13, "Hue", kHsv)                                  \
    X(Saturation, 14, "Saturation", kHsv)                    \
    X(Color, 15, "Color", kHsv)                              \
    X(Luminosity, 16, "Luminosity", kHsv)                    \
    X(ColorDodge, 27, "Color dodge", kPerChannel)            \
    X(LinearDodge, 29, "Linear dodge", kPerChannel)          \
    X(ColorBurn, 24, "Color burn", kPerChannel)              \
    X(LinearBurn, 30, "Linear burn", kPerChannel)            \
    X(LinearLight, 31, "Linear light", kPerChannel)          \
    X(VividLight, 32, "Vivid light", kPerChannel)            \
    X(PinLight, 33, "Pin light", kPerChannel)                \
    X(LighterColor, 35, "Lighter color", kPerChannel)        \
    X(DarkerColor, 36, "Darker color", kPerChannel)          \
    X(Subtract, 37, "Subtract", kPerChannel)                 \
    X(Divide, 38, "Divide", kPerChannel)

#define QXV_BLEND_CODE(name, code, label, mix) kBlend##name = code,
enum BlendCode : std::int32_t {
    kBlendNone = 0,  // plain fill, transparency or bare mask: no blending
    QXV_BLEND_MODES(QXV_BLEND_CODE)
};
#undef QXV_BLEND_CODE

// The popup's choices, "Normal|Add|...|Divide": each label is written with a leading bar,
// and the first bar is skipped.
#define QXV_BLEND_LABEL(name, code, label, mix) "|" label
inline constexpr char kBlendLabelsWithLeadingBar[] = QXV_BLEND_MODES(QXV_BLEND_LABEL);
#undef QXV_BLEND_LABEL
inline constexpr const char* kBlendModeChoices = kBlendLabelsWithLeadingBar + 1;

// Popup value 1..25 (the menu offers 1..23); anything else falls back to Multiply.
std::int32_t BlendCodeForPopup(std::int32_t popup_value);

constexpr bool IsHueBlend(std::int32_t code) {
    switch (code) {
#define QXV_BLEND_IS_HSV(name, code, label, mix) \
    case code:                                   \
        return BlendMix::mix == BlendMix::kHsv;
        QXV_BLEND_MODES(QXV_BLEND_IS_HSV)
#undef QXV_BLEND_IS_HSV
        default:
            return false;
    }
}

// Calls f with the mode's code as a compile-time constant (std::integral_constant); modes
// mixed through HSV and anything unknown arrive as kBlendNone, which the callers treat on
// their own.
template <class F>
inline decltype(auto) WithBlendCode(std::int32_t code, F&& f) {
    switch (code) {
#define QXV_BLEND_CASE(name, code, label, mix)                                                          \
    case code:                                                                                          \
        return f(std::integral_constant < std::int32_t,                                                 \
                 BlendMix::mix == BlendMix::kPerChannel ? static_cast<std::int32_t>(kBlend##name) : kBlendNone > {});
        QXV_BLEND_MODES(QXV_BLEND_CASE)
#undef QXV_BLEND_CASE
        default:
            return f(std::integral_constant<std::int32_t, kBlendNone>{});
    }
}

}  // namespace qxv
