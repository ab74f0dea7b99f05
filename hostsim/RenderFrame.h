// One frame rendered the way a host asks for it: in_data describes the output (size, extent
// hint) and the user's viewing settings (downsampling, pixel aspect, quality), out_data starts
// fresh, and PF_Cmd_RENDER goes out with the parameter values of the host's store and the
// input world as layer 0. In Premiere Pro the host also records the worlds' pixel format,
// which GetPixelFormat answers.
#pragma once

#include <optional>

#include "AE_Effect.h"
#include "AE_EffectPixelFormat.h"
#include "hostsim/World.h"

namespace qxv::hostsim {

class Host;

struct RenderSettings {
    PF_RationalScale downsample_x{1, 1};
    PF_RationalScale downsample_y{1, 1};
    PF_RationalScale pixel_aspect_ratio{1, 1};
    PF_Quality quality = PF_Quality_HI;
    // Premiere Pro: the format GetPixelFormat answers for the output instead of the world's own.
    std::optional<PrPixelFormat> pixel_format;
};

PF_Err RenderFrame(Host& host, World& input, World& output, const RenderSettings& settings = {});
// The same for worlds the host does not own (see BorrowedWorld), of the formats given.
PF_Err RenderFrame(Host& host, PF_EffectWorld& input, WorldFormat input_format, PF_EffectWorld& output,
                   WorldFormat output_format, const RenderSettings& settings = {});

}  // namespace qxv::hostsim
