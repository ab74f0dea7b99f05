#include "hostsim/WorldTransformSuite.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "AE_EffectPixelFormat.h"
#include "hostsim/Host.h"

namespace qxv::hostsim {

A_long WorldPixelBytes(const Host& host, const PF_EffectWorld& world) {
    PrPixelFormat format = 0;
    if (host.WorldPixelFormat(&world, format)) {
        return format == PrPixelFormat_BGRA_4444_32f ? A_long{sizeof(PF_PixelFloat)} : A_long{sizeof(PF_Pixel)};
    }
    return (world.world_flags & PF_WorldFlag_DEEP) ? A_long{sizeof(PF_Pixel16)} : A_long{sizeof(PF_Pixel)};
}

namespace {

std::string RectText(const PF_Rect* r) {
    if (!r) return "whole";
    return "(" + std::to_string(r->left) + "," + std::to_string(r->top) + ")-(" + std::to_string(r->right) + "," +
           std::to_string(r->bottom) + ")";
}

// The pixel size of the pair: the destination decides when the host knows its format (the
// source may be the copy of the input layer in the parameter array).
A_long PairPixelBytes(const Host& host, const PF_EffectWorld& src, const PF_EffectWorld& dst) {
    PrPixelFormat format = 0;
    if (host.WorldPixelFormat(&dst, format) || !host.WorldPixelFormat(&src, format)) return WorldPixelBytes(host, dst);
    return WorldPixelBytes(host, src);
}

PF_Err CopyRows(Host& host, const PF_EffectWorld& src, PF_EffectWorld& dst, const PF_Rect* src_r,
                const PF_Rect* dst_r) {
    const PF_Rect from = src_r ? *src_r : PF_Rect{0, 0, src.width, src.height};
    const PF_Rect to = dst_r ? *dst_r : PF_Rect{0, 0, dst.width, dst.height};
    if (from.right - from.left != to.right - to.left || from.bottom - from.top != to.bottom - to.top) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (from.left < 0 || from.top < 0 || from.right > src.width || from.bottom > src.height || to.left < 0 ||
        to.top < 0 || to.right > dst.width || to.bottom > dst.height) {
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const A_long pixel = PairPixelBytes(host, src, dst);
    const std::size_t bytes = static_cast<std::size_t>(from.right - from.left) * static_cast<std::size_t>(pixel);
    const char* in = reinterpret_cast<const char*>(src.data) + static_cast<std::ptrdiff_t>(from.top) * src.rowbytes +
                     from.left * pixel;
    char* out = reinterpret_cast<char*>(dst.data) + static_cast<std::ptrdiff_t>(to.top) * dst.rowbytes + to.left * pixel;
    for (A_long y = from.top; y < from.bottom; ++y, in += src.rowbytes, out += dst.rowbytes) {
        std::memcpy(out, in, bytes);
    }
    return PF_Err_NONE;
}

PF_Err Copy(const char* call, PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r,
            PF_Rect* dst_r) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    const std::string detail = RectText(src_r) + " to " + RectText(dst_r);
    PF_Err err = host->CheckFailure(call);
    if (err) {
        host->Trace(call, detail + " (injected)", err);
        return err;
    }
    if (!src || !dst || !src->data || !dst->data) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else {
        err = CopyRows(*host, *src, *dst, src_r, dst_r);
    }
    host->Trace(call, detail, err);
    return err;
}

PF_Err SuiteCopy(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r) {
    return Copy("copy", effect_ref, src, dst, src_r, dst_r);
}

// Same-size copies involve no resampling, so the high-quality copy is the same copy.
PF_Err SuiteCopyHq(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r) {
    return Copy("copy_hq", effect_ref, src, dst, src_r, dst_r);
}

PF_Err NotOffered(PF_ProgPtr effect_ref, const char* name) {
    if (Host* host = Host::FromEffectRef(effect_ref)) {
        host->Trace(name, "not provided by the simulated host", PF_Err_BAD_CALLBACK_PARAM);
    }
    return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err CompositeRect(PF_ProgPtr effect_ref, PF_Rect*, A_long, PF_EffectWorld*, A_long, A_long, PF_Field, PF_XferMode,
                     PF_EffectWorld*) {
    return NotOffered(effect_ref, "composite_rect");
}
PF_Err Blend(PF_ProgPtr effect_ref, const PF_EffectWorld*, const PF_EffectWorld*, PF_Fixed, PF_EffectWorld*) {
    return NotOffered(effect_ref, "blend");
}
PF_Err Convolve(PF_ProgPtr effect_ref, PF_EffectWorld*, const PF_Rect*, A_u_long, A_long, void*, void*, void*, void*,
                PF_EffectWorld*) {
    return NotOffered(effect_ref, "convolve");
}
PF_Err TransferRect(PF_ProgPtr effect_ref, PF_Quality, PF_ModeFlags, PF_Field, const PF_Rect*, const PF_EffectWorld*,
                    const PF_CompositeMode*, const PF_MaskWorld*, A_long, A_long, PF_EffectWorld*) {
    return NotOffered(effect_ref, "transfer_rect");
}
PF_Err TransformWorld(PF_ProgPtr effect_ref, PF_Quality, PF_ModeFlags, PF_Field, const PF_EffectWorld*,
                      const PF_CompositeMode*, const PF_MaskWorld*, const PF_FloatMatrix*, A_long, PF_Boolean,
                      const PF_Rect*, PF_EffectWorld*) {
    return NotOffered(effect_ref, "transform_world");
}

}  // namespace

const PF_WorldTransformSuite1 kWorldTransformSuite1 = {CompositeRect, Blend,        Convolve,      SuiteCopy,
                                                       SuiteCopyHq,   TransferRect, TransformWorld};

void RegisterWorldTransformSuite(Host& host) {
    host.RegisterSuite(kPFWorldTransformSuite, kPFWorldTransformSuiteVersion1, &kWorldTransformSuite1);
    host.utils().copy = UtilsCopy;
}

PF_Err UtilsCopy(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r) {
    return Copy("utils copy", effect_ref, src, dst, src_r, dst_r);
}

}  // namespace qxv::hostsim
