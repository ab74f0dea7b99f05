#include "overlay/HitTestHandles.h"

#include <cstdint>
#include <cstdlib>

#include "host/HostApp.h"
#include "host/SuiteCache.h"
#include "overlay/FixedMath.h"
#include "overlay/OverlayHandles.h"
#include "overlay/OverlayParams.h"

namespace qxv {
namespace {

constexpr std::int64_t kHandleReach = 16;  // window pixels, city-block distance

}  // namespace

bool HitTestHandles(PF_InData* in_data, SuiteCache& cache, PF_ParamDef* params[], PF_EventExtra* extra) {
    const auto handles = ComputeHitTestHandles(in_data, cache, ReadOverlayParams(params), extra);
    PF_DoClickEventInfo& click = extra->u.do_click;
    const PF_Point mouse = click.screen_point;
    const bool premiere = IsPremierePro(in_data);

    for (int number = 1; number <= kHandleCount; ++number) {
        const PF_Point handle = handles[number - 1];
        const std::int64_t dx = static_cast<std::int64_t>(handle.h) - mouse.h;
        const std::int64_t dy = static_cast<std::int64_t>(handle.v) - mouse.v;
        std::int64_t distance;
        if (premiere) {
            distance = std::llabs(dx) + std::llabs(dy);
        } else {
            // After Effects takes its absolute values from the host; both give the same distance.
            const PF_ANSICallbacksSuite1* ansi = cache.ANSISuite();
            distance = static_cast<std::int64_t>(TruncateToLong(ansi->fabs(static_cast<double>(dx)))) +
                       TruncateToLong(ansi->fabs(static_cast<double>(dy)));
        }
        if (distance < kHandleReach) {
            click.send_drag = 1;
            click.continue_refcon[0] = number;
            click.continue_refcon[1] = 0;
            click.continue_refcon[2] = 0;
            click.continue_refcon[3] = 0;
            return true;
        }
    }
    return false;
}

}  // namespace qxv
