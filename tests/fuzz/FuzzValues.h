// Values a fuzzed host hands the effect: mostly the edges where code breaks (zero, negative,
// the largest integers, NaN and the infinities, denormals), sometimes anything at all.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "AE_Effect.h"

namespace qxv::fuzz {

inline std::int32_t EdgyInt32(FuzzedDataProvider& in, std::int32_t typical_low, std::int32_t typical_high) {
    switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0: return 0;
        case 1: return -1;
        case 2: return std::numeric_limits<std::int32_t>::min();
        case 3: return std::numeric_limits<std::int32_t>::max();
        case 4: return in.ConsumeIntegral<std::int32_t>();
        default: return in.ConsumeIntegralInRange(typical_low, typical_high);
    }
}

// A 16.16 value, usually within [low, high] whole units.
inline PF_Fixed EdgyFixed(FuzzedDataProvider& in, int low, int high) {
    if (in.ConsumeBool()) return EdgyInt32(in, low * 65536, high * 65536);
    return in.ConsumeIntegralInRange(low, high) * 65536;
}

inline double EdgyDouble(FuzzedDataProvider& in, double typical_low, double typical_high) {
    switch (in.ConsumeIntegralInRange(0, 11)) {
        case 0: return std::numeric_limits<double>::quiet_NaN();
        case 1: return std::numeric_limits<double>::infinity();
        case 2: return -std::numeric_limits<double>::infinity();
        case 3: return 1e300;
        case 4: return -1e300;
        case 5: return 0.0;
        case 6: return -0.0;
        case 7: return std::numeric_limits<double>::denorm_min();
        case 8: {
            const auto bits = in.ConsumeIntegral<std::uint64_t>();
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return value;
        }
        default: return in.ConsumeFloatingPointInRange(typical_low, typical_high);
    }
}

// A float pixel channel: within [0, 1] unless `wild`, then any bit pattern may come.
inline float Channel(FuzzedDataProvider& in, bool wild) {
    if (wild && in.ConsumeIntegralInRange(0, 3) == 0) {
        const auto bits = in.ConsumeIntegral<std::uint32_t>();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    return static_cast<float>(in.ConsumeIntegral<std::uint8_t>()) / 255.0f;
}

inline PF_RationalScale EdgyRatio(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 9)) {
        case 0: return {0, 1};
        case 1: return {1, 0};
        case 2: return {0, 0};
        case 3: return {std::numeric_limits<A_long>::max(), 1};
        case 4: return {1, std::numeric_limits<A_u_long>::max()};
        case 5: return {-1, 2};
        case 6: return {in.ConsumeIntegral<A_long>(), in.ConsumeIntegral<A_u_long>()};
        default: return {in.ConsumeIntegralInRange<A_long>(1, 4), in.ConsumeIntegralInRange<A_u_long>(1, 4)};
    }
}

inline bool FiniteRatio(const PF_RationalScale& ratio) { return ratio.num > 0 && ratio.den > 0; }

}  // namespace qxv::fuzz
