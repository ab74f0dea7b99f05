#include "hostsim/RenderFrame.h"

#include "hostsim/Host.h"

namespace qxv::hostsim {

PF_Err RenderFrame(Host& host, World& input, World& output, const RenderSettings& settings) {
    return RenderFrame(host, *input.def(), input.format(), *output.def(), output.format(), settings);
}

PF_Err RenderFrame(Host& host, PF_EffectWorld& input, WorldFormat input_format, PF_EffectWorld& output,
                   WorldFormat output_format, const RenderSettings& settings) {
    PF_InData& in_data = host.in_data();
    in_data.width = output.width;
    in_data.height = output.height;
    in_data.extent_hint = output.extent_hint;
    in_data.downsample_x = settings.downsample_x;
    in_data.downsample_y = settings.downsample_y;
    in_data.pixel_aspect_ratio = settings.pixel_aspect_ratio;
    in_data.quality = settings.quality;
    if (host.is_premiere()) {
        host.SetWorldPixelFormat(&input, PremierePixelFormat(input_format));
        host.SetWorldPixelFormat(&output, settings.pixel_format.value_or(PremierePixelFormat(output_format)));
    }
    host.ResetOutData();
    return host.SendWithParams(PF_Cmd_RENDER, &input, &output);
}

}  // namespace qxv::hostsim
