#include "render/BlendModes.h"

namespace qxv {

std::int32_t BlendCodeForPopup(std::int32_t popup_value) {
    // Indexed by popup value - 1, in menu order.
#define QXV_BLEND_POPUP(name, code, label, mix) kBlend##name,
    static constexpr std::int32_t kCodes[] = {QXV_BLEND_MODES(QXV_BLEND_POPUP)};
#undef QXV_BLEND_POPUP
    constexpr std::int32_t kCount = sizeof(kCodes) / sizeof(kCodes[0]);
    if (popup_value < 1 || popup_value > kCount) return kBlendMultiply;
    return kCodes[popup_value - 1];
}

}  // namespace qxv
