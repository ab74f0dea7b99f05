#include "overlay/RotateCorners.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "host/HostApp.h"
#include "overlay/FixedMath.h"

namespace qxv {
namespace {

template <typename Real>
void RotateAbout(CornerSet* corners, PF_FixedPoint centre, Real cos_a, Real sin_a) {
    for (PF_FixedPoint* p : {&corners->top_left, &corners->top_right, &corners->bottom_left, &corners->bottom_right}) {
        const Real dx = static_cast<Real>(static_cast<std::int64_t>(p->x) - centre.x);
        const Real dy = static_cast<Real>(static_cast<std::int64_t>(p->y) - centre.y);
        const Real x = dx * cos_a - dy * sin_a + static_cast<Real>(centre.x);
        const Real y = dy * cos_a + dx * sin_a + static_cast<Real>(centre.y);
        p->x = TruncateToLong(x);
        p->y = TruncateToLong(y);
    }
}

}  // namespace

void RotateCorners(const PF_InData* in_data, SuiteCache& cache, CornerSet* corners, PF_FixedPoint centre, float angle) {
    if (IsPremierePro(in_data)) {
        RotateAbout<float>(corners, centre, std::cos(angle), std::sin(angle));
        return;
    }
    const PF_ANSICallbacksSuite1* ansi = cache.ANSISuite();
    const double cos_a = ansi->cos(angle);
    const double sin_a = ansi->sin(angle);
    RotateAbout<double>(corners, centre, cos_a, sin_a);
}

}  // namespace qxv
