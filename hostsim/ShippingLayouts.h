// The records a host exchanges with an effect, at the sizes and offsets shipping hosts use
// (Windows x64). The host knows them on its own rather than from sdk/, which the plug-in
// compiles too: a mistake there would otherwise be shared by both sides and go unseen.
// Records the host hands over are allocated one by one at exactly these sizes, so that
// reading or writing past one is caught under AddressSanitizer; records the plug-in hands
// the host are read at these sizes and offsets, whatever the plug-in believes they hold.
#pragma once

#include <cstddef>
#include <memory>

#include "AE_Effect.h"
#include "AE_EffectUI.h"

namespace qxv::hostsim {

constexpr std::size_t kShippingInDataSize = 408;
constexpr std::size_t kShippingOutDataSize = 408;
constexpr std::size_t kShippingParamDefSize = 176;
constexpr std::size_t kShippingEventExtraSize = 208;
constexpr std::size_t kShippingContextSize = 72;
constexpr std::size_t kShippingCustomUIInfoSize = 44;  // eleven A_longs: reserved, events, nine sizes

// A zeroed record of its own allocation, `size` bytes long. sdk/ must declare the record at
// that size: the host will not hand over anything else.
template <typename Record, std::size_t size>
std::unique_ptr<Record> MakeShippingRecord() {
    static_assert(sizeof(Record) == size, "sdk/ declares a host record at a size no shipping host uses");
    return std::make_unique<Record>();
}

// register_ui: the 44 bytes at `record`, `events` at offset 4.
PF_CustomUIInfo ReadCustomUIInfo(const void* record);
// add_param and PF_UpdateParamUI: the 176 bytes at `record`.
PF_ParamDef ReadParamDef(const void* record);

}  // namespace qxv::hostsim
