#include "hostsim/EventCallbacks.h"

#include <string>

#include "hostsim/Host.h"

namespace qxv::hostsim {

namespace {

std::string PointText(const PF_FixedPoint& p) {
    return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ")";
}

// The shared prologue: checks the refcon and context the plug-in handed back, counts the
// call, and applies `map` unless a failure is injected.
template <typename Map>
PF_Err MapPoint(const char* name, void* refcon, PF_ContextH contextH, PF_FixedPoint* pt, int& counter, Map map) {
    auto* window = static_cast<OverlayWindow*>(refcon);
    Host* host = Host::Current();
    ++counter;
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    if (!window || !window->Owns(contextH) || !pt) {
        host->AddViolation(std::string(name) + " called with a refcon, context or point the host did not give");
        host->Trace(name, "bad argument", PF_Err_BAD_CALLBACK_PARAM);
        return PF_Err_BAD_CALLBACK_PARAM;
    }
    const std::string before = PointText(*pt);
    if (PF_Err injected = host->CheckFailure(name)) {
        host->Trace(name, before + " -> error (injected)", injected);
        return injected;
    }
    *pt = map(window->view(), *pt);
    host->Trace(name, before + " -> " + PointText(*pt));
    return PF_Err_NONE;
}

OverlayWindow* WindowOf(void* refcon) { return static_cast<OverlayWindow*>(refcon); }

// Counts go to a scratch slot when the refcon is null, so that the check above reports it.
int& Counter(void* refcon, int MappingCalls::*member) {
    static thread_local int scratch = 0;
    return refcon ? WindowOf(refcon)->calls().*member : scratch;
}

PF_Err LayerToCompCallback(void* refcon, PF_ContextH contextH, A_long, A_long, PF_FixedPoint* pt) {
    return MapPoint("layer_to_comp", refcon, contextH, pt, Counter(refcon, &MappingCalls::layer_to_comp), LayerToComp);
}

PF_Err CompToLayerCallback(void* refcon, PF_ContextH contextH, A_long, A_long, PF_FixedPoint* pt) {
    return MapPoint("comp_to_layer", refcon, contextH, pt, Counter(refcon, &MappingCalls::comp_to_layer), CompToLayer);
}

PF_Err SourceToFrameCallback(void* refcon, PF_ContextH contextH, PF_FixedPoint* pt) {
    return MapPoint("source_to_frame", refcon, contextH, pt, Counter(refcon, &MappingCalls::source_to_frame),
                    SourceToFrame);
}

PF_Err FrameToSourceCallback(void* refcon, PF_ContextH contextH, PF_FixedPoint* pt) {
    return MapPoint("frame_to_source", refcon, contextH, pt, Counter(refcon, &MappingCalls::frame_to_source),
                    FrameToSource);
}

}  // namespace

PF_EventCallbacks MakeEventCallbacks(OverlayWindow& window) {
    PF_EventCallbacks callbacks{};
    callbacks.refcon = &window;
    callbacks.layer_to_comp = LayerToCompCallback;
    callbacks.comp_to_layer = CompToLayerCallback;
    callbacks.source_to_frame = SourceToFrameCallback;
    callbacks.frame_to_source = FrameToSourceCallback;
    return callbacks;
}

}  // namespace qxv::hostsim
