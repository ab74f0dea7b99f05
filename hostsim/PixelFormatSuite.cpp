#include "hostsim/PixelFormatSuite.h"

#include <cstdio>

#include "hostsim/Host.h"

namespace qxv::hostsim {

namespace {

PF_Err Record(PF_ProgPtr effect_ref, const char* call, PrPixelFormat format, const std::string& detail) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = host->CheckFailure(call);
    if (!err) host->RecordPixelFormatCall(PixelFormatCall{call, format});
    host->Trace(call, detail + (err ? " (injected)" : ""), err);
    return err;
}

PF_Err AddSupportedPixelFormat(PF_ProgPtr effect_ref, PrPixelFormat format) {
    return Record(effect_ref, "AddSupportedPixelFormat", format, PixelFormatName(format));
}

PF_Err ClearSupportedPixelFormats(PF_ProgPtr effect_ref) {
    return Record(effect_ref, "ClearSupportedPixelFormats", 0, "");
}

PF_Err GetPixelFormat(PF_EffectWorld* world, PrPixelFormat* format) {
    Host* host = Host::Current();
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = host->CheckFailure("GetPixelFormat");
    PrPixelFormat known = 0;
    std::string detail;
    if (err) {
        detail = "(injected)";
    } else if (!world || !format) {
        err = PF_Err_BAD_CALLBACK_PARAM;
        detail = "null argument";
    } else if (!host->WorldPixelFormat(world, known)) {
        // Only worlds the host made have a format; anything else is the plug-in's mistake.
        err = PF_Err_BAD_CALLBACK_PARAM;
        detail = "a world the host did not hand out";
    } else {
        *format = known;
        detail = PixelFormatName(known);
    }
    host->Trace("GetPixelFormat", detail, err);
    return err;
}

PF_Err Unsupported(const char* name) {
    if (Host* host = Host::Current()) host->Trace(name, "not provided by the simulated host", PF_Err_BAD_CALLBACK_PARAM);
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

void RegisterPixelFormatSuite(Host& host) {
    // Premiere Pro's suite: After Effects does not offer it.
    if (host.is_premiere()) host.RegisterSuite(kPFPixelFormatSuite, kPFPixelFormatSuiteVersion1, &kPixelFormatSuite1);
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

}  // namespace qxv::hostsim
