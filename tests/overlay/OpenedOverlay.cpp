#include "OpenedOverlay.h"

namespace qxv::host_tests {

OpenedOverlay OpenOverlay(hostsim::HostApp app, const hostsim::OverlayView& view, const Settings& settings,
                        PF_RationalScale pixel_aspect_ratio) {
    OpenedOverlay overlay;
    overlay.host = MakeReadyHost(app);
    overlay.session = std::make_unique<hostsim::EventSession>(*overlay.host, view, kLayerSize, pixel_aspect_ratio);
    Settings all = {{"Point of origin", "240,135"}};
    all.insert(all.end(), settings.begin(), settings.end());
    for (const auto& [name, text] : all) {
        std::string error;
        EXPECT_TRUE(overlay.host->params().Set(name, text, error)) << error;
    }
    return overlay;
}

double OpenedOverlay::Value(const std::string& name) const {
    const PF_ParamDef& def = host->params().Param(host->params().IndexOf(name)).def;
    switch (def.param_type) {
        case PF_Param_FLOAT_SLIDER: return def.u.fs_d.value;
        case PF_Param_FIX_SLIDER: return def.u.fd.value / 65536.0;
        case PF_Param_ANGLE: return def.u.ad.value / 65536.0;
        default: return def.u.pd.value;
    }
}

A_long OpenedOverlay::Raw(const std::string& name) const {
    const PF_ParamDef& def = host->params().Param(host->params().IndexOf(name)).def;
    return def.param_type == PF_Param_ANGLE ? def.u.ad.value : def.u.fd.value;
}

hostsim::OverlayView View(PF_WindowType window, hostsim::Zoom zoom, PF_Point scroll, PF_Point layer_offset) {
    hostsim::OverlayView view;
    view.window = window;
    view.zoom = zoom;
    view.scroll = scroll;
    view.layer_offset = layer_offset;
    return view;
}

}  // namespace qxv::host_tests
