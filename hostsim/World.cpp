#include "hostsim/World.h"

#include <algorithm>
#include <cstring>

namespace qxv::hostsim {

std::size_t PixelBytes(WorldFormat format) {
    switch (format) {
        case WorldFormat::kArgb16: return sizeof(PF_Pixel16);
        case WorldFormat::kBgraFloat: return sizeof(PF_PixelFloat);
        case WorldFormat::kArgb8:
        case WorldFormat::kBgra8: break;
    }
    return sizeof(PF_Pixel);
}

bool IsPremiereFormat(WorldFormat format) {
    return format == WorldFormat::kBgra8 || format == WorldFormat::kBgraFloat;
}

PrPixelFormat PremierePixelFormat(WorldFormat format) {
    return format == WorldFormat::kBgraFloat ? PrPixelFormat_BGRA_4444_32f : PrPixelFormat_BGRA_4444_8u;
}

const char* WorldFormatName(WorldFormat format) {
    switch (format) {
        case WorldFormat::kArgb8: return "argb8";
        case WorldFormat::kArgb16: return "argb16";
        case WorldFormat::kBgra8: return "bgra8";
        case WorldFormat::kBgraFloat: return "bgra32f";
    }
    return "?";
}

bool ParseWorldFormat(const std::string& text, WorldFormat& format) {
    for (WorldFormat candidate :
         {WorldFormat::kArgb8, WorldFormat::kArgb16, WorldFormat::kBgra8, WorldFormat::kBgraFloat}) {
        if (text == WorldFormatName(candidate)) {
            format = candidate;
            return true;
        }
    }
    return false;
}

ChannelOrder ChannelOrderOf(WorldFormat format) {
    return IsPremiereFormat(format) ? ChannelOrder{2, 1, 0, 3} : ChannelOrder{1, 2, 3, 0};
}

PF_EffectWorld BorrowedWorld(WorldFormat format, void* data, A_long width, A_long height, A_long rowbytes) {
    PF_EffectWorld world{};
    world.world_flags = PF_WorldFlag_WRITEABLE | (format == WorldFormat::kArgb16 ? PF_WorldFlag_DEEP : 0);
    world.data = static_cast<PF_PixelPtr>(data);
    world.rowbytes = rowbytes;
    world.width = width;
    world.height = height;
    world.extent_hint = PF_LRect{0, 0, width, height};
    world.pix_aspect_ratio = PF_RationalScale{1, 1};
    return world;
}

World::World(WorldFormat format, A_long width, A_long height, std::size_t row_padding) : format_(format) {
    width = std::max<A_long>(width, 0);
    height = std::max<A_long>(height, 0);
    const std::size_t row_bytes = PixelBytes(format) * static_cast<std::size_t>(width) + row_padding;
    storage_.assign(kGuardBytes * 2 + row_bytes * static_cast<std::size_t>(height), kGuardByte);
    def_.world_flags = PF_WorldFlag_WRITEABLE | (format == WorldFormat::kArgb16 ? PF_WorldFlag_DEEP : 0);
    def_.data = reinterpret_cast<PF_PixelPtr>(storage_.data() + kGuardBytes);
    def_.rowbytes = static_cast<A_long>(row_bytes);
    def_.width = width;
    def_.height = height;
    def_.extent_hint = PF_LRect{0, 0, width, height};
    def_.pix_aspect_ratio = PF_RationalScale{1, 1};
    // The image itself starts cleared; only the guards carry the pattern.
    for (A_long y = 0; y < height; ++y) std::memset(Row(y), 0, image_row_bytes());
}

bool World::GuardsIntact() const {
    auto all_guard = [](const std::uint8_t* begin, std::size_t count) {
        return std::all_of(begin, begin + count, [](std::uint8_t b) { return b == kGuardByte; });
    };
    if (!all_guard(storage_.data(), kGuardBytes)) return false;
    if (!all_guard(storage_.data() + storage_.size() - kGuardBytes, kGuardBytes)) return false;
    const std::size_t padding = row_bytes() - image_row_bytes();
    for (A_long y = 0; y < height(); ++y) {
        if (!all_guard(Row(y) + image_row_bytes(), padding)) return false;
    }
    return true;
}

std::vector<std::uint8_t> World::PackedPixels() const {
    std::vector<std::uint8_t> packed(image_row_bytes() * static_cast<std::size_t>(height()));
    if (packed.empty()) return packed;  // a world of width 0: memcpy may not see its null data()
    for (A_long y = 0; y < height(); ++y) {
        std::memcpy(packed.data() + image_row_bytes() * static_cast<std::size_t>(y), Row(y), image_row_bytes());
    }
    return packed;
}

void World::SetPackedPixels(const std::uint8_t* packed) {
    if (image_row_bytes() == 0) return;
    for (A_long y = 0; y < height(); ++y) {
        std::memcpy(Row(y), packed + image_row_bytes() * static_cast<std::size_t>(y), image_row_bytes());
    }
}

}  // namespace qxv::hostsim
