#include "hostsim/IterateSuites.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <string>

#include "hostsim/Host.h"
#include "hostsim/RowPool.h"

namespace qxv::hostsim {

namespace {

struct IterationState {
    std::unique_ptr<RowPool> pool;
    IterationReport last;

    // A pool of the host's iteration threads (0: one per core).
    RowPool& Pool(unsigned threads) {
        const unsigned wanted = threads ? threads : HardwareThreads();
        if (!pool || pool->threads() != wanted) pool = std::make_unique<RowPool>(wanted);
        return *pool;
    }
};

std::string RectText(const PF_LRect& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// The pixels both worlds have, within the area asked for and the output's extent hint.
PF_LRect IterationRegion(const PF_EffectWorld& src, const PF_EffectWorld& dst, const PF_Rect* area) {
    PF_LRect r = area ? *area : PF_LRect{0, 0, dst.width, dst.height};
    r.left = std::max({r.left, dst.extent_hint.left, A_long{0}});
    r.top = std::max({r.top, dst.extent_hint.top, A_long{0}});
    r.right = std::min({r.right, dst.extent_hint.right, dst.width, src.width});
    r.bottom = std::min({r.bottom, dst.extent_hint.bottom, dst.height, src.height});
    if (r.right < r.left) r.right = r.left;
    if (r.bottom < r.top) r.bottom = r.top;
    return r;
}

template <class Pixel>
Pixel* PixelAt(PF_EffectWorld* world, A_long x, A_long y) {
    return reinterpret_cast<Pixel*>(reinterpret_cast<char*>(world->data) + static_cast<std::ptrdiff_t>(y) * world->rowbytes) + x;
}

// One row through the pixel function, stopping at the first error. Out of line and with
// everything in arguments, so that the loop keeps what each call needs in registers.
template <class Pixel, class PixelFunc>
[[gnu::noinline]] PF_Err IterateRow(PixelFunc fn, void* refcon, A_long y, A_long left, A_long right, Pixel* in,
                                    Pixel* out) {
    for (A_long x = left; x < right; ++x, ++in, ++out) {
        if (PF_Err e = fn(refcon, x, y, in, out)) return e;
    }
    return PF_Err_NONE;
}

template <class Pixel, class PixelFunc>
PF_Err Iterate(const char* call, bool deep, PF_InData* in_data, A_long progress_base, A_long progress_final,
               PF_EffectWorld* src, const PF_Rect* area, void* refcon, PixelFunc pix_fn, PF_EffectWorld* dst) {
    Host* host = in_data ? Host::FromEffectRef(in_data->effect_ref) : Host::Current();
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = host->CheckFailure(call);
    if (err) {
        host->Trace(call, "(injected)", err);
        return err;
    }
    if (!in_data || !src || !dst || !pix_fn || !src->data || !dst->data) {
        host->Trace(call, "null argument", PF_Err_BAD_CALLBACK_PARAM);
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (((dst->world_flags & PF_WorldFlag_DEEP) != 0) != deep || ((src->world_flags & PF_WorldFlag_DEEP) != 0) != deep) {
        host->AddViolation(std::string(call) + " was given a world of the other bit depth");
        host->Trace(call, "world of the other bit depth", PF_Err_BAD_CALLBACK_PARAM);
        return PF_Err_BAD_CALLBACK_PARAM;
    }

    IterationState& state = host->Attachment<IterationState>();
    RowPool& pool = state.Pool(host->iteration_threads());
    const PF_LRect region = IterationRegion(*src, *dst, area);
    const A_long rows = region.bottom - region.top;
    std::atomic<A_long> rows_done{0};
    std::atomic<A_long> progress{progress_base};
    std::atomic<PF_Err> first_error{PF_Err_NONE};
    auto stop_with = [&](PF_Err e) {
        PF_Err none = PF_Err_NONE;
        first_error.compare_exchange_strong(none, e);
        return false;
    };

    pool.Run(region.top, region.bottom, [&](std::int64_t row) {
        const A_long y = static_cast<A_long>(row);
        if (PF_Err aborted = host->CheckFailure("abort")) return stop_with(aborted);
        if (PF_Err e = IterateRow(pix_fn, refcon, y, region.left, region.right, PixelAt<Pixel>(src, region.left, y),
                                  PixelAt<Pixel>(dst, region.left, y))) {
            return stop_with(e);
        }
        const A_long done = rows_done.fetch_add(1) + 1;
        const A_long now = progress_base + static_cast<A_long>(static_cast<long long>(done) *
                                                               (progress_final - progress_base) / std::max<A_long>(rows, 1));
        A_long before = progress.load();
        while (now > before && !progress.compare_exchange_weak(before, now)) {
        }
        return true;
    });

    err = first_error.load();
    state.last = IterationReport{rows_done.load(), progress.load(), progress_final, pool.threads(), err};
    host->Trace(call,
                "rows " + std::to_string(region.top) + ".." + std::to_string(region.bottom) + " of " +
                    RectText(region) + ", progress " + std::to_string(progress.load()) + "/" +
                    std::to_string(progress_final) + ", " + std::to_string(pool.threads()) + " threads",
                err);
    return err;
}

PF_Err Iterate8(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                const PF_Rect* area, void* refcon, PF_IteratePixel8Func pix_fn, PF_EffectWorld* dst) {
    return Iterate<PF_Pixel>("iterate", false, in_data, progress_base, progress_final, src, area, refcon, pix_fn, dst);
}

PF_Err Iterate16(PF_InData* in_data, A_long progress_base, A_long progress_final, PF_EffectWorld* src,
                 const PF_Rect* area, void* refcon, PF_IteratePixel16Func pix_fn, PF_EffectWorld* dst) {
    return Iterate<PF_Pixel16>("iterate16", true, in_data, progress_base, progress_final, src, area, refcon, pix_fn,
                               dst);
}

PF_Err NotOffered(const char* name) {
    if (Host* host = Host::Current()) host->Trace(name, "not provided by the simulated host", PF_Err_BAD_CALLBACK_PARAM);
    return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err IterateOrigin8(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*, const PF_Point*, void*,
                      PF_IteratePixel8Func, PF_EffectWorld*) {
    return NotOffered("iterate_origin");
}
PF_Err IterateLut8(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*, A_u_char*, A_u_char*, A_u_char*,
                   A_u_char*, PF_EffectWorld*) {
    return NotOffered("iterate_lut");
}
PF_Err IterateOriginNonClip8(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*, const PF_Point*, void*,
                             PF_IteratePixel8Func, PF_EffectWorld*) {
    return NotOffered("iterate_origin_non_clip_src");
}
PF_Err IterateGeneric(A_long, void*, PF_Err (*)(void*, A_long, A_long, A_long)) { return NotOffered("iterate_generic"); }
PF_Err IterateOrigin16(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*, const PF_Point*, void*,
                       PF_IteratePixel16Func, PF_EffectWorld*) {
    return NotOffered("iterate_origin16");
}
PF_Err IterateOriginNonClip16(PF_InData*, A_long, A_long, PF_EffectWorld*, const PF_Rect*, const PF_Point*, void*,
                              PF_IteratePixel16Func, PF_EffectWorld*) {
    return NotOffered("iterate_origin_non_clip_src16");
}

}  // namespace

const PF_Iterate8Suite1 kIterate8Suite1 = {Iterate8, IterateOrigin8, IterateLut8, IterateOriginNonClip8,
                                           IterateGeneric};
const PF_iterate16Suite1 kIterate16Suite1 = {Iterate16, IterateOrigin16, IterateOriginNonClip16};

void RegisterIterateSuites(Host& host) {
    host.RegisterSuite(kPFIterate8Suite, kPFIterate8SuiteVersion1, &kIterate8Suite1);
    host.RegisterSuite(kPFIterate16Suite, kPFIterate16SuiteVersion1, &kIterate16Suite1);
}

IterationReport LastIteration(Host& host) { return host.Attachment<IterationState>().last; }

}  // namespace qxv::hostsim
