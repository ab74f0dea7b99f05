// The PiPL resource as data: the twelve properties the host reads before it loads the
// library, in the order it expects them. tools/pipl_gen turns this table into the bytes the
// Windows build embeds; every value that GlobalSetup also reports comes from EffectIdentity.h.
#pragma once

#include <cstdint>

#include "resources/EffectIdentity.h"

namespace qxv {

// How a property's value is laid out in the resource.
enum class PiPLData {
    FourCharCode,    // four characters, stored byte-reversed like the keys
    PascalString,    // one length byte, then the characters
    EntryPointName,  // NUL-terminated; the length counts the padding
    VersionPair,     // 16-bit major, then 16-bit minor
    Word16,
    Word32,
};

struct PiPLProperty {
    const char* key;
    PiPLData data;
    const char* text;    // FourCharCode, PascalString, EntryPointName
    std::uint32_t value;  // Word16, Word32, or the major of a VersionPair
    std::uint16_t minor;  // VersionPair only
};

constexpr PiPLProperty kPiPLProperties[] = {
    {"kind", PiPLData::FourCharCode, "eFKT", 0, 0},  // an After Effects effect
    {"name", PiPLData::PascalString, kEffectName, 0, 0},
    {"catg", PiPLData::PascalString, kEffectCategory, 0, 0},
    {"8664", PiPLData::EntryPointName, kEntryPointName, 0, 0},
    {"ePVR", PiPLData::VersionPair, nullptr, kPiPLVersionMajor, kPiPLVersionMinor},
    {"eSVR", PiPLData::VersionPair, nullptr, kSpecVersionMajor, kSpecVersionMinor},
    {"eVER", PiPLData::Word32, nullptr, kEffectVersion, 0},
    {"eINF", PiPLData::Word16, nullptr, kInfoFlags, 0},
    {"eGLO", PiPLData::Word32, nullptr, kGlobalOutFlags, 0},
    {"eGL2", PiPLData::Word32, nullptr, kGlobalOutFlags2, 0},
    {"eMNA", PiPLData::PascalString, kEffectMatchName, 0, 0},
    {"aeFL", PiPLData::Word32, nullptr, kReservedInfo, 0},
};

constexpr std::uint16_t kPiPLResourceVersion = 1;
constexpr const char kPiPLVendor[] = "8BIM";

}  // namespace qxv
