// Frames for host-level render tests: worlds in any of the four layouts, pixels read and
// written as (alpha, red, green, blue) whatever the layout, and parameter values set by the
// names the host shows. The effect is reached only through the loaded library.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <set>
#include <string>

#include "../LoadedPlugin.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/World.h"

namespace qxv::render_host_tests {

using hostsim::Host;
using hostsim::HostApp;
using hostsim::World;
using hostsim::WorldFormat;

// Channel values as stored: bytes for 8-bit, 0..32768 for 16-bit, floats for float.
struct Argb {
    double alpha, red, green, blue;
    bool operator==(const Argb& o) const {
        return alpha == o.alpha && red == o.red && green == o.green && blue == o.blue;
    }
    bool operator!=(const Argb& o) const { return !(*this == o); }
};

inline std::ostream& operator<<(std::ostream& out, const Argb& p) {
    return out << "(" << p.alpha << ", " << p.red << ", " << p.green << ", " << p.blue << ")";
}

inline void PutPixel(World& world, A_long x, A_long y, const Argb& p) {
    std::uint8_t* at = world.Pixel(x, y);
    switch (world.format()) {
        case WorldFormat::kArgb8:
            at[0] = static_cast<std::uint8_t>(p.alpha), at[1] = static_cast<std::uint8_t>(p.red);
            at[2] = static_cast<std::uint8_t>(p.green), at[3] = static_cast<std::uint8_t>(p.blue);
            break;
        case WorldFormat::kBgra8:
            at[3] = static_cast<std::uint8_t>(p.alpha), at[2] = static_cast<std::uint8_t>(p.red);
            at[1] = static_cast<std::uint8_t>(p.green), at[0] = static_cast<std::uint8_t>(p.blue);
            break;
        case WorldFormat::kArgb16: {
            const std::uint16_t v[4] = {static_cast<std::uint16_t>(p.alpha), static_cast<std::uint16_t>(p.red),
                                        static_cast<std::uint16_t>(p.green), static_cast<std::uint16_t>(p.blue)};
            std::memcpy(at, v, sizeof v);
            break;
        }
        case WorldFormat::kBgraFloat: {
            const float v[4] = {static_cast<float>(p.blue), static_cast<float>(p.green), static_cast<float>(p.red),
                                static_cast<float>(p.alpha)};
            std::memcpy(at, v, sizeof v);
            break;
        }
    }
}

inline Argb GetPixel(const World& world, A_long x, A_long y) {
    const std::uint8_t* at = world.Pixel(x, y);
    switch (world.format()) {
        case WorldFormat::kArgb8: return Argb{double(at[0]), double(at[1]), double(at[2]), double(at[3])};
        case WorldFormat::kBgra8: return Argb{double(at[3]), double(at[2]), double(at[1]), double(at[0])};
        case WorldFormat::kArgb16: {
            std::uint16_t v[4];
            std::memcpy(v, at, sizeof v);
            return Argb{double(v[0]), double(v[1]), double(v[2]), double(v[3])};
        }
        case WorldFormat::kBgraFloat: break;
    }
    float v[4];
    std::memcpy(v, at, sizeof v);
    return Argb{v[3], v[2], v[1], v[0]};
}

inline void Fill(World& world, const Argb& p) {
    for (A_long y = 0; y < world.height(); ++y)
        for (A_long x = 0; x < world.width(); ++x) PutPixel(world, x, y, p);
}

// A frame where every pixel differs from its neighbours in every channel.
inline void FillVaried(World& world) {
    const double full = world.format() == WorldFormat::kArgb16 ? 32768.0 : 255.0;
    for (A_long y = 0; y < world.height(); ++y) {
        for (A_long x = 0; x < world.width(); ++x) {
            Argb p{double((x * 7 + y * 3) % 256), double((x * 13) % 256), double((y * 11) % 256),
                   double((x * y) % 256)};
            if (world.format() == WorldFormat::kArgb16) {
                p = Argb{p.alpha * 128, p.red * 128, p.green * 128, p.blue * 128};
            } else if (world.format() == WorldFormat::kBgraFloat) {
                p = Argb{p.alpha / full, p.red / full, p.green / full, p.blue / full};
            }
            PutPixel(world, x, y, p);
        }
    }
}

inline void SetParams(Host& host, std::initializer_list<const char*> settings) {
    for (const char* setting : settings) {
        const std::string text = setting;
        const std::size_t equals = text.find('=');
        std::string error;
        ASSERT_TRUE(host.params().Set(text.substr(0, equals), text.substr(equals + 1), error)) << error;
    }
}

// The names of the suites the last command acquired.
inline std::set<std::string> SuitesAcquired(Host& host) {
    std::set<std::string> names;
    for (const auto& [key, count] : host.accounting().ThisCommand()) {
        if (count.acquired > 0) names.insert(key.name);
    }
    return names;
}

inline std::unique_ptr<Host> ReadyHost(WorldFormat format) { return host_tests::MakeReadyHost(hostsim::HostOfFormat(format)); }

inline std::string FormatLabel(const testing::TestParamInfo<WorldFormat>& info) {
    return hostsim::WorldFormatName(info.param);
}

inline const auto kAllFormats =
    testing::Values(WorldFormat::kArgb8, WorldFormat::kArgb16, WorldFormat::kBgra8, WorldFormat::kBgraFloat);

}  // namespace qxv::render_host_tests
