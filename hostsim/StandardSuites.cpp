#include "hostsim/StandardSuites.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "AE_EffectPixelFormat.h"
#include "hostsim/Session.h"
#include "hostsim/ShippingLayouts.h"

namespace qxv::hostsim {

void RegisterStandardSuites(Session& session) {
    RegisterAnsiSuite(session);
    RegisterParamUtilsSuite(session);
    RegisterPixelFormatSuite(session);
    RegisterFrameSuites(session);
}

namespace {

// The plug-in's sprintf targets return_msg; the host never writes past its 256 bytes.
constexpr std::size_t kReturnMsgSize = sizeof(PF_OutData::return_msg);

std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The session whose calls are watched, null when none is.
Session* Observed() {
    Session* session = Session::Current();
    return session && session->observer() ? session : nullptr;
}

template <double (*F)(double)>
A_FpLong Unary(const char* name, A_FpLong x) {
    double result = F(x);
    if (Session* session = Observed()) session->Report(name, std::string(name) + "(" + Number(x) + ") = " + Number(result));
    return result;
}

template <double (*F)(double, double)>
A_FpLong Binary(const char* name, A_FpLong x, A_FpLong y) {
    double result = F(x, y);
    if (Session* session = Observed()) {
        session->Report(name, std::string(name) + "(" + Number(x) + ", " + Number(y) + ") = " + Number(result));
    }
    return result;
}

// The C library's overload sets cannot be template arguments; these fix the double forms.
double Atan(double x) { return std::atan(x); }
double Atan2(double y, double x) { return std::atan2(y, x); }
double Ceil(double x) { return std::ceil(x); }
double Cos(double x) { return std::cos(x); }
double Exp(double x) { return std::exp(x); }
double Fabs(double x) { return std::fabs(x); }
double Floor(double x) { return std::floor(x); }
double Fmod(double x, double y) { return std::fmod(x, y); }
double Hypot(double x, double y) { return std::hypot(x, y); }
double Log(double x) { return std::log(x); }
double Log10(double x) { return std::log10(x); }
double Pow(double x, double y) { return std::pow(x, y); }
double Sin(double x) { return std::sin(x); }
double Sqrt(double x) { return std::sqrt(x); }
double Tan(double x) { return std::tan(x); }
double Asin(double x) { return std::asin(x); }
double Acos(double x) { return std::acos(x); }

A_FpLong HostAtan(A_FpLong x) { return Unary<Atan>("atan", x); }
A_FpLong HostAtan2(A_FpLong y, A_FpLong x) { return Binary<Atan2>("atan2", y, x); }
A_FpLong HostCeil(A_FpLong x) { return Unary<Ceil>("ceil", x); }
A_FpLong HostCos(A_FpLong x) { return Unary<Cos>("cos", x); }
A_FpLong HostExp(A_FpLong x) { return Unary<Exp>("exp", x); }
A_FpLong HostFabs(A_FpLong x) { return Unary<Fabs>("fabs", x); }
A_FpLong HostFloor(A_FpLong x) { return Unary<Floor>("floor", x); }
A_FpLong HostFmod(A_FpLong x, A_FpLong y) { return Binary<Fmod>("fmod", x, y); }
A_FpLong HostHypot(A_FpLong x, A_FpLong y) { return Binary<Hypot>("hypot", x, y); }
A_FpLong HostLog(A_FpLong x) { return Unary<Log>("log", x); }
A_FpLong HostLog10(A_FpLong x) { return Unary<Log10>("log10", x); }
A_FpLong HostPow(A_FpLong x, A_FpLong y) { return Binary<Pow>("pow", x, y); }
A_FpLong HostSin(A_FpLong x) { return Unary<Sin>("sin", x); }
A_FpLong HostSqrt(A_FpLong x) { return Unary<Sqrt>("sqrt", x); }
A_FpLong HostTan(A_FpLong x) { return Unary<Tan>("tan", x); }
A_FpLong HostAsin(A_FpLong x) { return Unary<Asin>("asin", x); }
A_FpLong HostAcos(A_FpLong x) { return Unary<Acos>("acos", x); }

int HostSprintf(A_char* dst, const A_char* fmt, ...) {
    if (!dst || !fmt) {
        if (Session* session = Session::Current()) session->Violation("sprintf called with a null buffer or format");
        return -1;
    }
    va_list args;
    va_start(args, fmt);
    int written = std::vsnprintf(dst, kReturnMsgSize, fmt, args);
    va_end(args);
    if (Session* session = Observed()) session->Report("sprintf", QuoteText(fmt) + " -> " + QuoteText(dst));
    return written;
}

A_char* HostStrcpy(A_char* dst, const A_char* src) {
    if (!dst || !src) {
        if (Session* session = Session::Current()) session->Violation("strcpy called with a null argument");
        return dst;
    }
    std::strcpy(dst, src);
    if (Session* session = Observed()) session->Report("strcpy", QuoteText(src));
    return dst;
}

}  // namespace

const PF_ANSICallbacksSuite1 kAnsiSuite1 = {
    HostAtan, HostAtan2, HostCeil, HostCos,  HostExp, HostFabs,    HostFloor,  HostFmod, HostHypot, HostLog,
    HostLog10, HostPow,  HostSin,  HostSqrt, HostTan, HostSprintf, HostStrcpy, HostAsin, HostAcos};

PF_ANSICallbacks MakeAnsiCallbacks() {
    PF_ANSICallbacks ansi{};
    ansi.atan = HostAtan;
    ansi.atan2 = HostAtan2;
    ansi.ceil = HostCeil;
    ansi.cos = HostCos;
    ansi.exp = HostExp;
    ansi.fabs = HostFabs;
    ansi.floor = HostFloor;
    ansi.fmod = HostFmod;
    ansi.hypot = HostHypot;
    ansi.log = HostLog;
    ansi.log10 = HostLog10;
    ansi.pow = HostPow;
    ansi.sin = HostSin;
    ansi.sqrt = HostSqrt;
    ansi.tan = HostTan;
    ansi.sprintf = HostSprintf;
    ansi.strcpy = HostStrcpy;
    ansi.asin = HostAsin;
    ansi.acos = HostAcos;
    return ansi;
}

void RegisterAnsiSuite(Session& session) { session.RegisterSuite(kPFANSISuite, kPFANSISuiteVersion1, &kAnsiSuite1); }

namespace {

PF_Err UpdateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const PF_ParamDef* defP) {
    Session* session = Session::FromEffectRef(effect_ref);
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_ParamDef def = defP ? ReadParamDef(defP) : PF_ParamDef{};
    std::string detail = "index " + std::to_string(param_index);
    if (defP) {
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%X", static_cast<unsigned>(def.ui_flags));
        detail += ", name " + QuoteText(std::string(def.name, strnlen(def.name, sizeof def.name)).c_str()) +
                  ", ui_flags " + flags;
    }
    PF_Err err = session->Intercept("PF_UpdateParamUI");
    if (err) {
        detail += " (injected)";
    } else if (!defP) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else if (param_index < 1 || param_index > session->params().count()) {
        err = PF_Err_INVALID_INDEX;
    } else {
        ParamUIUpdate update;
        update.index = param_index;
        update.def = def;
        update.name.assign(def.name, strnlen(def.name, sizeof def.name));
        session->params().ApplyUIUpdate(param_index, def);
        if (SessionObserver* observer = session->observer()) observer->ParamUIUpdated(std::move(update));
    }
    session->Report("PF_UpdateParamUI", detail, err);
    return err;
}

// Keyframe access is outside what the simulated host models; a plug-in that asks is told so.
PF_Err NotProvided(const char* name) {
    if (Session* session = Session::Current()) session->Report(name, "not provided by the simulated host", PF_Err_BAD_CALLBACK_PARAM);
    return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err GetCurrentState(PF_ProgPtr, PF_ParamIndex, const A_Time*, const A_Time*, PF_State*) {
    return NotProvided("PF_GetCurrentState");
}
PF_Err AreStatesIdentical(PF_ProgPtr, const PF_State*, const PF_State*, A_Boolean*) {
    return NotProvided("PF_AreStatesIdentical");
}
PF_Err IsIdenticalCheckout(PF_ProgPtr, PF_ParamIndex, A_long, A_long, A_u_long, A_long, A_long, A_u_long,
                           PF_Boolean*) {
    return NotProvided("PF_IsIdenticalCheckout");
}
PF_Err FindKeyframeTime(PF_ProgPtr, PF_ParamIndex, A_long, A_u_long, PF_TimeDir, PF_Boolean*, PF_KeyIndex*, A_long*,
                        A_u_long*) {
    return NotProvided("PF_FindKeyframeTime");
}
PF_Err GetKeyframeCount(PF_ProgPtr, PF_ParamIndex, PF_KeyIndex*) { return NotProvided("PF_GetKeyframeCount"); }
PF_Err CheckoutKeyframe(PF_ProgPtr, PF_ParamIndex, PF_KeyIndex, A_long*, A_u_long*, PF_ParamDef*) {
    return NotProvided("PF_CheckoutKeyframe");
}
PF_Err CheckinKeyframe(PF_ProgPtr, PF_ParamDef*) { return NotProvided("PF_CheckinKeyframe"); }
PF_Err KeyIndexToTime(PF_ProgPtr, PF_ParamIndex, PF_KeyIndex, A_long*, A_u_long*) {
    return NotProvided("PF_KeyIndexToTime");
}

}  // namespace

const PF_ParamUtilsSuite3 kParamUtilsSuite3 = {UpdateParamUI,    GetCurrentState,  AreStatesIdentical,
                                               IsIdenticalCheckout, FindKeyframeTime, GetKeyframeCount,
                                               CheckoutKeyframe, CheckinKeyframe,  KeyIndexToTime};

void RegisterParamUtilsSuite(Session& session) {
    session.RegisterSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3, &kParamUtilsSuite3);
}

namespace {

PF_Err Record(PF_ProgPtr effect_ref, const char* call, PrPixelFormat format, const std::string& detail) {
    Session* session = Session::FromEffectRef(effect_ref);
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = session->Intercept(call);
    if (!err && session->observer()) session->observer()->PixelFormatCalled(PixelFormatCall{call, format});
    session->Report(call, detail + (err ? " (injected)" : ""), err);
    return err;
}

PF_Err AddSupportedPixelFormat(PF_ProgPtr effect_ref, PrPixelFormat format) {
    return Record(effect_ref, "AddSupportedPixelFormat", format, PixelFormatName(format));
}

PF_Err ClearSupportedPixelFormats(PF_ProgPtr effect_ref) {
    return Record(effect_ref, "ClearSupportedPixelFormats", 0, "");
}

PF_Err GetPixelFormat(PF_EffectWorld* world, PrPixelFormat* format) {
    Session* session = Session::Current();
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = session->Intercept("GetPixelFormat");
    PrPixelFormat known = 0;
    std::string detail;
    if (err) {
        detail = "(injected)";
    } else if (!world || !format) {
        err = PF_Err_BAD_CALLBACK_PARAM;
        detail = "null argument";
    } else if (!session->WorldPixelFormat(world, known)) {
        // Only worlds the host made have a format; anything else is the plug-in's mistake.
        err = PF_Err_BAD_CALLBACK_PARAM;
        detail = "a world the host did not hand out";
    } else {
        *format = known;
        detail = PixelFormatName(known);
    }
    session->Report("GetPixelFormat", detail, err);
    return err;
}

PF_Err Unsupported(const char* name) {
    if (Session* session = Session::Current()) session->Report(name, "not provided by the simulated host", PF_Err_BAD_CALLBACK_PARAM);
    return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err NewWorldOfPixelFormat(PF_ProgPtr, A_u_long, A_u_long, PF_NewWorldFlags, PrPixelFormat, PF_EffectWorld*) {
    return Unsupported("NewWorldOfPixelFormat");
}
PF_Err DisposeWorld(PF_ProgPtr, PF_EffectWorld*) { return Unsupported("DisposeWorld"); }
PF_Err GetBlackForPixelFormat(PrPixelFormat, void*) { return Unsupported("GetBlackForPixelFormat"); }
PF_Err GetWhiteForPixelFormat(PrPixelFormat, void*) { return Unsupported("GetWhiteForPixelFormat"); }
PF_Err ConvertColorToPixelFormattedData(PrPixelFormat, float, float, float, float, void*) {
    return Unsupported("ConvertColorToPixelFormattedData");
}

}  // namespace

const PF_PixelFormatSuite1 kPixelFormatSuite1 = {AddSupportedPixelFormat, ClearSupportedPixelFormats,
                                                 NewWorldOfPixelFormat,   DisposeWorld,
                                                 GetPixelFormat,          GetBlackForPixelFormat,
                                                 GetWhiteForPixelFormat,  ConvertColorToPixelFormattedData};

void RegisterPixelFormatSuite(Session& session) {
    // Premiere Pro's suite: After Effects does not offer it.
    if (session.is_premiere()) session.RegisterSuite(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, &kPixelFormatSuite1);
}

std::string PixelFormatName(PrPixelFormat format) {
    char text[32];
    std::string chars;
    for (int i = 0; i < 4; ++i) {
        char c = static_cast<char>((format >> (8 * i)) & 0xFF);
        chars += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(format));
    return std::string(text) + " '" + chars + "'";
}

void RegisterFrameSuites(Session& session) {
    RegisterIterateSuites(session);
    RegisterWorldTransformSuite(session);
}

namespace {

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
    Session* session = in_data ? Session::FromEffectRef(in_data->effect_ref) : Session::Current();
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = session->Intercept(call);
    if (err) {
        session->Report(call, "(injected)", err);
        return err;
    }
    if (!in_data || !src || !dst || !pix_fn || !src->data || !dst->data) {
        session->Report(call, "null argument", PF_Err_BAD_CALLBACK_PARAM);
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (((dst->world_flags & PF_WorldFlag_DEEP) != 0) != deep || ((src->world_flags & PF_WorldFlag_DEEP) != 0) != deep) {
        session->Violation(std::string(call) + " was given a world of the other bit depth");
        session->Report(call, "world of the other bit depth", PF_Err_BAD_CALLBACK_PARAM);
        return PF_Err_BAD_CALLBACK_PARAM;
    }

    RowPool& pool = session->IterationPool();
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

    const unsigned threads = pool.Run(region.top, region.bottom, region.right - region.left, [&](std::int64_t row) {
        const A_long y = static_cast<A_long>(row);
        if (PF_Err aborted = session->Intercept("abort")) return stop_with(aborted);
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
    if (SessionObserver* observer = session->observer()) {
        observer->Iterated(IterationReport{rows_done.load(), progress.load(), progress_final, threads, err});
        session->Report(call,
                        "rows " + std::to_string(region.top) + ".." + std::to_string(region.bottom) + " of " +
                            RectText(region) + ", progress " + std::to_string(progress.load()) + "/" +
                            std::to_string(progress_final) + ", " + std::to_string(threads) + " threads",
                        err);
    }
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
    if (Session* session = Session::Current()) session->Report(name, "not provided by the simulated host", PF_Err_BAD_CALLBACK_PARAM);
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

void RegisterIterateSuites(Session& session) {
    session.RegisterSuite(kPFIterate8Suite, kPFIterate8SuiteVersion1, &kIterate8Suite1);
    session.RegisterSuite(kPFIterate16Suite, kPFIterate16SuiteVersion1, &kIterate16Suite1);
}

A_long WorldPixelBytes(const Session& session, const PF_EffectWorld& world) {
    PrPixelFormat format = 0;
    if (session.WorldPixelFormat(&world, format)) {
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
A_long PairPixelBytes(const Session& session, const PF_EffectWorld& src, const PF_EffectWorld& dst) {
    PrPixelFormat format = 0;
    if (session.WorldPixelFormat(&dst, format) || !session.WorldPixelFormat(&src, format)) return WorldPixelBytes(session, dst);
    return WorldPixelBytes(session, src);
}

PF_Err CopyRows(Session& session, const PF_EffectWorld& src, PF_EffectWorld& dst, const PF_Rect* src_r,
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
    const A_long pixel = PairPixelBytes(session, src, dst);
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
    Session* session = Session::FromEffectRef(effect_ref);
    if (!session) return PF_Err_BAD_CALLBACK_PARAM;
    const std::string detail = RectText(src_r) + " to " + RectText(dst_r);
    PF_Err err = session->Intercept(call);
    if (err) {
        session->Report(call, detail + " (injected)", err);
        return err;
    }
    if (!src || !dst || !src->data || !dst->data) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else {
        err = CopyRows(*session, *src, *dst, src_r, dst_r);
    }
    session->Report(call, detail, err);
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
    if (Session* session = Session::FromEffectRef(effect_ref)) {
        session->Report(name, "not provided by the simulated host", PF_Err_BAD_CALLBACK_PARAM);
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

void RegisterWorldTransformSuite(Session& session) {
    session.RegisterSuite(kPFWorldTransformSuite, kPFWorldTransformSuiteVersion1, &kWorldTransformSuite1);
    session.utils().copy = UtilsCopy;
}

PF_Err UtilsCopy(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r) {
    return Copy("utils copy", effect_ref, src, dst, src_r, dst_r);
}

}  // namespace qxv::hostsim
