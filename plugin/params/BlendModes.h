// The blending modes as the "Blending mode" popup lists them: the one list from which the
// popup's values and choice text (here) and the codes, the popup's mapping and the run-time
// dispatch (render/Blending.h) are all derived.
#pragma once

namespace qxv {

// Every blending mode, in the order of the popup, one line each. A new mode is a line here
// plus its formula in render/Blending.h (BlendChannelFor, or BlendHue for a mode mixed
// through HSV).
//
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

// The popup's choices, "Normal|Add|...|Divide": each label is written with a leading bar,
// and the first bar is skipped.
#define QXV_BLEND_LABEL(name, code, label, mix) "|" label
inline constexpr char kBlendLabelsWithLeadingBar[] = QXV_BLEND_MODES(QXV_BLEND_LABEL);
#undef QXV_BLEND_LABEL
inline constexpr const char* kBlendModeChoices = kBlendLabelsWithLeadingBar + 1;

// Popup values, 1-based in menu order.
#define QXV_BLEND_POPUP_VALUE(name, code, label, mix) kBlendPopup##name,
enum BlendPopup { kBlendPopupNone = 0, QXV_BLEND_MODES(QXV_BLEND_POPUP_VALUE) };
#undef QXV_BLEND_POPUP_VALUE

// The menu offers the modes before Subtract; Subtract and Divide are named but never offered.
inline constexpr short kBlendPopupOffered = kBlendPopupSubtract - 1;

}  // namespace qxv
