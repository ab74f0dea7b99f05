#include "GoldenInput.h"

#include <cstdint>

#include "../render/RenderHost.h"

namespace qxv::golden_tests {
namespace {

using render_host_tests::Argb;
using hostsim::WorldFormat;

std::uint32_t Mix(std::uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// One sample: about 1 in 64 is 0, 1 in 64 is full scale, the rest spread over the range.
double Sample(WorldFormat format, std::uint32_t n) {
    const bool is_float = format == WorldFormat::kBgraFloat;
    const double full = format == WorldFormat::kArgb16 ? 32768.0 : is_float ? 1.0 : 255.0;
    if (n % 64 == 0) return 0.0;
    if (n % 64 == 1) return full;
    n >>= 6;
    if (is_float) return static_cast<double>(static_cast<int>(n % 1201) - 100) / 1000.0;  // -0.1 .. 1.1
    return static_cast<double>(n % (static_cast<std::uint32_t>(full) + 1));
}

}  // namespace

void FillGoldenInput(hostsim::World& world) {
    const WorldFormat format = world.format();
    for (A_long y = 0; y < world.height(); ++y) {
        for (A_long x = 0; x < world.width(); ++x) {
            const std::uint32_t place = (static_cast<std::uint32_t>(y) << 16 | static_cast<std::uint32_t>(x)) * 4u;
            render_host_tests::PutPixel(world, x, y,
                                        Argb{Sample(format, Mix(place)), Sample(format, Mix(place + 1)),
                                             Sample(format, Mix(place + 2)), Sample(format, Mix(place + 3))});
        }
    }
}

}  // namespace qxv::golden_tests
