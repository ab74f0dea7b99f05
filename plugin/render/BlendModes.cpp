#include "render/BlendModes.h"

namespace qxv {

std::int32_t BlendCodeForPopup(std::int32_t popup_value) {
    // Indexed by popup value - 1, in menu order.
    static constexpr std::int32_t kCodes[] = {
        kBlendNormal,      kBlendAdd,         kBlendMultiply,   kBlendScreen,       kBlendOverlay,
        kBlendSoftLight,   kBlendHardLight,   kBlendDarken,     kBlendLighten,      kBlendDifference,
        kBlendHue,         kBlendSaturation,  kBlendColor,      kBlendLuminosity,   kBlendColorDodge,
        kBlendLinearDodge, kBlendColorBurn,   kBlendLinearBurn, kBlendLinearLight,  kBlendVividLight,
        kBlendPinLight,    kBlendLighterColor, kBlendDarkerColor, kBlendSubtract,   kBlendDivide};
    constexpr std::int32_t kCount = sizeof(kCodes) / sizeof(kCodes[0]);
    if (popup_value < 1 || popup_value > kCount) return kBlendMultiply;
    return kCodes[popup_value - 1];
}

}  // namespace qxv
