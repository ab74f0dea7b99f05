// A minimal host for driving Render directly: a basic suite that hands out iterate, world
// transform and pixel-format suites and counts acquisitions and releases by name, worlds
// with padded rows, and utils with copy and sprintf. The iterate suites simply loop over
// the destination on the calling thread. One FakeHost may exist at a time.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_EffectPixelFormat.h"
#include "AE_EffectSuites.h"
#include "SPBasic.h"

namespace qxv::test {

// A world over its own zero-padded buffer: rowbytes exceeds width * pixel size.
struct World {
    std::vector<unsigned char> bytes;
    PF_EffectWorld def{};

    World(A_long width, A_long height, size_t pixel_size, PF_WorldFlags flags = 0) {
        def.width = width;
        def.height = height;
        def.rowbytes = static_cast<A_long>(width * pixel_size + 3 * pixel_size);
        def.world_flags = flags;
        def.extent_hint = {0, 0, width, height};
        bytes.assign(static_cast<size_t>(def.rowbytes) * height, 0);
        def.data = reinterpret_cast<PF_PixelPtr>(bytes.data());
    }
    template <class Pixel>
    Pixel* At(A_long x, A_long y) {
        return reinterpret_cast<Pixel*>(bytes.data() + static_cast<size_t>(y) * def.rowbytes) + x;
    }
    // Fills every byte of the visible pixels with a repeatable pattern.
    void FillPattern(size_t pixel_size, unsigned seed) {
        for (A_long y = 0; y < def.height; ++y) {
            for (size_t i = 0; i < def.width * pixel_size; ++i) {
                bytes[y * def.rowbytes + i] = static_cast<unsigned char>((seed + i * 7 + y * 13) & 0xFF);
            }
        }
    }
};

class FakeHost {
public:
    std::map<std::string, int> acquired, released;
    std::set<std::string> missing;  // suites the host will not hand out
    std::vector<std::string> calls;  // "copy", "copy_hq", "utils copy", "iterate8", "iterate16"
    PrPixelFormat pixel_format = PrPixelFormat_BGRA_4444_8u;
    PF_Err iterate_result = PF_Err_NONE;  // what iterate returns after the loop, e.g. an abort
    PF_Err copy_result = PF_Err_NONE;
    A_long last_progress_final = -1;

    PF_InData in_data{};
    PF_OutData out_data{};

    explicit FakeHost(A_long appl_id = 0x46585443 /* 'FXTC' */) {
        current_ = this;
        basic_.AcquireSuite = &Acquire;
        basic_.ReleaseSuite = &Release;
        iterate8_.iterate = &Iterate8;
        iterate16_.iterate = &Iterate16;
        transform_.copy = &TransformCopy;
        transform_.copy_hq = &TransformCopyHq;
        pixel_format_suite_.GetPixelFormat = &GetPixelFormat;
        utils_.copy = &UtilsCopy;
        utils_.ansi.sprintf = &Sprintf;
        in_data.appl_id = appl_id;
        in_data.pica_basicP = &basic_;
        in_data.utils = &utils_;
        in_data.quality = PF_Quality_HI;
        in_data.downsample_x = {1, 1};
        in_data.downsample_y = {1, 1};
        in_data.pixel_aspect_ratio = {1, 1};
    }
    ~FakeHost() { current_ = nullptr; }
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    bool Balanced() const { return acquired == released; }

private:
    static FakeHost* current_;

    static SPErr Acquire(const char* name, int32_t, const void** suite) {
        FakeHost* host = current_;
        *suite = nullptr;
        if (host->missing.count(name)) return 1;
        const std::string n = name;
        if (n == kPFIterate8Suite) *suite = &host->iterate8_;
        if (n == kPFIterate16Suite) *suite = &host->iterate16_;
        if (n == kPFWorldTransformSuite) *suite = &host->transform_;
        if (n == kPFPixelFormatSuite) *suite = &host->pixel_format_suite_;
        if (*suite) ++host->acquired[n];
        return *suite ? 0 : 1;
    }
    static SPErr Release(const char* name, int32_t) {
        ++current_->released[name];
        return 0;
    }

    template <class Pixel, class Func>
    static PF_Err Loop(A_long progress_final, PF_EffectWorld* src, void* refcon, Func fn, PF_EffectWorld* dst) {
        current_->last_progress_final = progress_final;
        for (A_long y = 0; y < dst->height; ++y) {
            for (A_long x = 0; x < dst->width; ++x) {
                auto* in = reinterpret_cast<Pixel*>(reinterpret_cast<char*>(src->data) + y * src->rowbytes) + x;
                auto* out = reinterpret_cast<Pixel*>(reinterpret_cast<char*>(dst->data) + y * dst->rowbytes) + x;
                fn(refcon, x, y, in, out);
            }
        }
        return current_->iterate_result;
    }
    static PF_Err Iterate8(PF_InData*, A_long, A_long progress_final, PF_EffectWorld* src, const PF_Rect*,
                           void* refcon, PF_IteratePixel8Func fn, PF_EffectWorld* dst) {
        current_->calls.push_back("iterate8");
        return Loop<PF_Pixel>(progress_final, src, refcon, fn, dst);
    }
    static PF_Err Iterate16(PF_InData*, A_long, A_long progress_final, PF_EffectWorld* src, const PF_Rect*,
                            void* refcon, PF_IteratePixel16Func fn, PF_EffectWorld* dst) {
        current_->calls.push_back("iterate16");
        return Loop<PF_Pixel16>(progress_final, src, refcon, fn, dst);
    }
    static PF_Err CopyRows(PF_EffectWorld* src, PF_EffectWorld* dst) {
        for (A_long y = 0; y < dst->height; ++y) {
            std::memcpy(reinterpret_cast<char*>(dst->data) + y * dst->rowbytes,
                        reinterpret_cast<char*>(src->data) + y * src->rowbytes, dst->rowbytes);
        }
        return current_->copy_result;
    }
    static PF_Err TransformCopy(PF_ProgPtr, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect*, PF_Rect*) {
        current_->calls.push_back("copy");
        return CopyRows(src, dst);
    }
    static PF_Err TransformCopyHq(PF_ProgPtr, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect*, PF_Rect*) {
        current_->calls.push_back("copy_hq");
        return CopyRows(src, dst);
    }
    static PF_Err UtilsCopy(PF_ProgPtr, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect*, PF_Rect*) {
        current_->calls.push_back("utils copy");
        return CopyRows(src, dst);
    }
    static PF_Err GetPixelFormat(PF_EffectWorld*, PrPixelFormat* format) {
        *format = current_->pixel_format;
        return PF_Err_NONE;
    }
    static int Sprintf(A_char* dst, const A_char* fmt, ...) {
        va_list args;
        va_start(args, fmt);
        const int n = std::vsnprintf(dst, 256, fmt, args);
        va_end(args);
        return n;
    }

    SPBasicSuite basic_{};
    PF_Iterate8Suite1 iterate8_{};
    PF_iterate16Suite1 iterate16_{};
    PF_WorldTransformSuite1 transform_{};
    PF_PixelFormatSuite1 pixel_format_suite_{};
    PF_UtilCallbacks utils_{};
};

inline FakeHost* FakeHost::current_ = nullptr;

}  // namespace qxv::test
