#include "overlay/EllipseOutline.h"

#include <cmath>
#include <cstdint>

#include "host/HostApp.h"
#include "overlay/FixedMath.h"
#include "overlay/OverlayParams.h"
#include "overlay/WindowMapping.h"

namespace qxv {

EllipseOutline ComputeEllipseOutline(const PF_InData* in_data, SuiteCache& cache, PF_FixedPoint origin, double angle,
                                     double half_width, double half_height, const PF_EventExtra* extra) {
    // Premiere Pro's maths is the standard library's, so no suite is needed there.
    const PF_ANSICallbacksSuite1* ansi = IsPremierePro(in_data) ? nullptr : cache.ANSISuite();
    const auto cosine = [ansi](double v) { return ansi ? ansi->cos(v) : std::cos(v); };
    const auto sine = [ansi](double v) { return ansi ? ansi->sin(v) : std::sin(v); };

    const double aspect = PixelAspect(in_data);
    const double cos_a = cosine(angle);
    const double sin_a = sine(angle);

    EllipseOutline outline;
    for (int i = 0; i < kEllipseOutlinePoints; ++i) {
        const double t = i * 6.283185307179586 * 0.015625;
        const double along = cosine(t) * half_width;
        const double across = sine(t) * half_height;
        const double x = (cos_a * along - sin_a * across) / aspect;
        const double y = sin_a * along + cos_a * across;
        PF_FixedPoint point = {SaturateToLong(static_cast<std::int64_t>(origin.x) + RoundToFixed(x)),
                               SaturateToLong(static_cast<std::int64_t>(origin.y) + RoundToFixed(y))};
        LayerToWindow(in_data, extra, &point);
        outline[i] = {static_cast<float>(point.x * kFixedScale), static_cast<float>(point.y * kFixedScale)};
    }
    return outline;
}

}  // namespace qxv
