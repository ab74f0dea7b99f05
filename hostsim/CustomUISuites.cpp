#include "hostsim/CustomUISuites.h"

#include "AE_EffectSuites.h"
#include "hostsim/DrawbotSuites.h"
#include "hostsim/Host.h"

namespace qxv::hostsim {

namespace {

template <typename Out>
PF_Err Answer(const char* name, Out* out, Out value, const std::string& detail) {
    Host* host = nullptr;
    CurrentDrawbot(host);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    if (!out) {
        host->AddViolation(std::string(name) + " called without an out pointer");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (PF_Err injected = host->CheckFailure(name)) {
        host->Trace(name, "error (injected)", injected);
        return injected;
    }
    *out = value;
    host->Trace(name, detail);
    return PF_Err_NONE;
}

PF_Err GetDrawingReference(const PF_ContextH contextH, DRAWBOT_DrawRef* referenceP0) {
    Host* host = nullptr;
    DrawbotRecorder* drawbot = CurrentDrawbot(host);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    if (referenceP0) *referenceP0 = nullptr;
    if (contextH != drawbot->context || !referenceP0) {
        host->AddViolation("PF_GetDrawingReference called without the event's context or an out pointer");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    if (PF_Err injected = host->CheckFailure("PF_GetDrawingReference")) {
        host->Trace("PF_GetDrawingReference", "error (injected)", injected);
        return injected;
    }
    if (drawbot->gives_drawing_reference) *referenceP0 = drawbot->draw_ref();
    host->Trace("PF_GetDrawingReference", *referenceP0 ? "" : "no reference: the window is not drawn now");
    return PF_Err_NONE;
}

OverlayTheme Theme() {
    Host* host = nullptr;
    DrawbotRecorder* drawbot = CurrentDrawbot(host);
    return drawbot ? drawbot->theme : OverlayTheme{};
}

PF_Err GetPreferredForegroundColor(DRAWBOT_ColorRGBA* colour) {
    const DRAWBOT_ColorRGBA value = Theme().foreground;
    return Answer("PF_GetPreferredForegroundColor", colour, value, ColourText(value));
}

PF_Err GetPreferredShadowColor(DRAWBOT_ColorRGBA* colour) {
    const DRAWBOT_ColorRGBA value = Theme().shadow;
    return Answer("PF_GetPreferredShadowColor", colour, value, ColourText(value));
}

PF_Err GetPreferredStrokeWidth(float* width) {
    return Answer("PF_GetPreferredStrokeWidth", width, Theme().stroke_width, "");
}

PF_Err GetPreferredVertexSize(float* size) {
    return Answer("PF_GetPreferredVertexSize", size, Theme().vertex_size, "");
}

PF_Err GetPreferredShadowOffset(A_LPoint* offset) {
    return Answer("PF_GetPreferredShadowOffset", offset, Theme().shadow_offset, "");
}

PF_Err ThemeStrokePath(const DRAWBOT_DrawRef drawbot_ref, const DRAWBOT_PathRef path_ref, PF_Boolean draw_shadowB) {
    Host* host = nullptr;
    DrawbotRecorder* drawbot = CurrentDrawbot(host);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_Err injected = CheckStrokeFailure(*host, host->CheckFailure("PF_StrokePath"));
    if (injected) {
        host->Trace("PF_StrokePath", "error (injected)", injected);
        return injected;
    }
    DrawbotObject* path = drawbot->Find(path_ref);
    if (drawbot_ref != drawbot->draw_ref() || !path || path->is_pen || path->releases) {
        host->AddViolation("PF_StrokePath called without the drawing reference or a live path");
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const OverlayTheme& theme = drawbot->theme;
    drawbot->AddStroke(RecordedStroke{StrokeBy::kOverlayTheme, path->ops, theme.foreground, theme.stroke_width,
                                      draw_shadowB != 0});
    host->Trace("PF_StrokePath", std::to_string(path->ops.size()) + " ops" + (draw_shadowB ? ", shadow" : ""));
    return PF_Err_NONE;
}

// Filling is not part of any overlay this host shows; answered so that a plug-in may ask.
PF_Err ThemeFillPath(const DRAWBOT_DrawRef, const DRAWBOT_PathRef, PF_Boolean) {
    if (Host* host = Host::Current()) host->Trace("PF_FillPath", "not drawn by this host");
    return PF_Err_NONE;
}

PF_Err ThemeFillVertex(const DRAWBOT_DrawRef, const A_FloatPoint*, PF_Boolean) {
    if (Host* host = Host::Current()) host->Trace("PF_FillVertex", "not drawn by this host");
    return PF_Err_NONE;
}

const PF_EffectCustomUISuite1 kCustomUISuite1 = {GetDrawingReference};

const PF_EffectCustomUIOverlayThemeSuite1 kOverlayThemeSuite1 = {
    GetPreferredForegroundColor, GetPreferredShadowColor, GetPreferredStrokeWidth, GetPreferredVertexSize,
    GetPreferredShadowOffset,    ThemeStrokePath,         ThemeFillPath,           ThemeFillVertex};

}  // namespace

void RegisterCustomUISuites(Host& host) {
    host.RegisterSuite(kPFEffectCustomUISuite, kPFEffectCustomUISuiteVersion1, &kCustomUISuite1);
    host.RegisterSuite(kPFEffectCustomUIOverlayThemeSuite, kPFEffectCustomUIOverlayThemeSuiteVersion1,
                       &kOverlayThemeSuite1);
}

}  // namespace qxv::hostsim
