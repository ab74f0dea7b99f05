// Frames as the host hands them to an effect: a PF_EffectWorld over memory the host owns,
// with rows padded beyond width × pixel size (as real hosts pad for alignment) and guard
// bytes in the padding and around the frame, so that a write outside the image shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"

namespace qxv::hostsim {

// The four layouts the effect renders: After Effects' 8- and 16-bit ARGB, Premiere Pro's
// 8-bit and float BGRA.
enum class WorldFormat { kArgb8, kArgb16, kBgra8, kBgraFloat };

std::size_t PixelBytes(WorldFormat format);  // 4, 8, 4, 16
bool IsPremiereFormat(WorldFormat format);
PrPixelFormat PremierePixelFormat(WorldFormat format);  // the code GetPixelFormat answers
const char* WorldFormatName(WorldFormat format);       // "argb8", "argb16", "bgra8", "bgra32f"
bool ParseWorldFormat(const std::string& text, WorldFormat& format);

// Where red, green, blue and alpha sit within a pixel, counted in channels: After Effects'
// layouts hold alpha first (ARGB), Premiere Pro's last (BGRA).
struct ChannelOrder {
    int red, green, blue, alpha;
};
ChannelOrder ChannelOrderOf(WorldFormat format);

// A world over frame memory another program owns (a frei0r host's buffers): no guards, no
// copy; `rowbytes` as that program lays its rows out.
PF_EffectWorld BorrowedWorld(WorldFormat format, void* data, A_long width, A_long height, A_long rowbytes);

constexpr std::uint8_t kGuardByte = 0xA5;
constexpr std::size_t kDefaultRowPadding = 48;  // bytes past the last pixel of each row
constexpr std::size_t kGuardBytes = 64;          // before the first and after the last row

class World {
public:
    World(WorldFormat format, A_long width, A_long height, std::size_t row_padding = kDefaultRowPadding);
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    World(World&&) = default;
    World& operator=(World&&) = default;

    WorldFormat format() const { return format_; }
    A_long width() const { return def_.width; }
    A_long height() const { return def_.height; }
    std::size_t row_bytes() const { return static_cast<std::size_t>(def_.rowbytes); }
    std::size_t pixel_bytes() const { return PixelBytes(format_); }
    std::size_t image_row_bytes() const { return pixel_bytes() * static_cast<std::size_t>(def_.width); }

    // The record handed to the plug-in; its address is stable while the World lives.
    PF_EffectWorld* def() { return &def_; }
    const PF_EffectWorld* def() const { return &def_; }

    std::uint8_t* Row(A_long y) { return reinterpret_cast<std::uint8_t*>(def_.data) + y * def_.rowbytes; }
    const std::uint8_t* Row(A_long y) const {
        return reinterpret_cast<const std::uint8_t*>(def_.data) + y * def_.rowbytes;
    }
    std::uint8_t* Pixel(A_long x, A_long y) { return Row(y) + x * pixel_bytes(); }
    const std::uint8_t* Pixel(A_long x, A_long y) const { return Row(y) + x * pixel_bytes(); }

    // Every guard byte (row padding, before and after the frame) still holds kGuardByte.
    bool GuardsIntact() const;
    // The image bytes only, row after row without padding.
    std::vector<std::uint8_t> PackedPixels() const;
    void SetPackedPixels(const std::uint8_t* packed);

    // The output's extent hint: the part of the frame the host needs (whole frame by default).
    void SetExtentHint(const PF_LRect& hint) { def_.extent_hint = hint; }

private:
    WorldFormat format_;
    std::vector<std::uint8_t> storage_;
    PF_EffectWorld def_{};
};

}  // namespace qxv::hostsim
