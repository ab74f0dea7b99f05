// Who the effect is, in one place: GlobalSetup reports these values at run time and the
// PiPL generator writes them into the resource the host reads before loading us. Keeping a
// single definition is what stops the two from drifting apart.
#pragma once

#include <cstdint>

namespace qxv {

// Version word in the host's packed layout: build 0-8, stage 9-10, bug fix 11-14,
// minor 15-18, major 19-21. Bumping it makes a host prefer this build over an older copy.
constexpr std::uint32_t PackVersion(std::uint32_t major, std::uint32_t minor, std::uint32_t bugfix,
                                    std::uint32_t stage, std::uint32_t build) {
    return ((major & 0x7u) << 19) | ((minor & 0xFu) << 15) | ((bugfix & 0xFu) << 11) |
           ((stage & 0x3u) << 9) | (build & 0x1FFu);
}

constexpr int kMajorVersion = 1;
constexpr int kMinorVersion = 3;
constexpr std::uint32_t kEffectVersion = PackVersion(kMajorVersion, kMinorVersion, 0, 0, 1);
static_assert(kEffectVersion == 0x00098001u, "version word seen by saved projects");

// PIX_INDEPENDENT | CUSTOM_UI | DEEP_COLOR_AWARE | SEND_UPDATE_PARAMS_UI
constexpr std::uint32_t kGlobalOutFlags = 0x00000400u | 0x00008000u | 0x02000000u | 0x04000000u;
static_assert(kGlobalOutFlags == 0x06008400u, "out flags the PiPL advertises");
constexpr std::uint32_t kGlobalOutFlags2 = 0;

constexpr const char kEffectName[] = "QX Vignette";
constexpr const char kEffectCategory[] = "Quillmoor";
// Saved projects find the effect by this name; never change it.
constexpr const char kEffectMatchName[] = "ZV Vignette";
constexpr const char kEntryPointName[] = "EntryPointFunc";

// Interface versions: PiPL format 2.0, effect interface 13.2.
constexpr std::uint16_t kPiPLVersionMajor = 2, kPiPLVersionMinor = 0;
constexpr std::uint16_t kSpecVersionMajor = 13, kSpecVersionMinor = 2;
constexpr std::uint16_t kInfoFlags = 0;
constexpr std::uint32_t kReservedInfo = 8;

}  // namespace qxv
