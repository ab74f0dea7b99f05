// Values between a frei0r host's units and the control values the plug-in reads. FFmpeg and
// MLT pass numbers raw and unchecked: a number out of range is limited to what the control
// holds, while a non-finite number or an unknown label is refused and the value kept.
#pragma once

#include <optional>
#include <string>

#include "AE_Effect.h"
#include "ParamBindings.h"
#include "hostsim/Params.h"

namespace qxv::frei0r {

struct FrameSize {
    A_long width = 0;
    A_long height = 0;
};

// The frame on which a length the host never set is the effect's own default in pixels. Hosts
// read defaults from an instance of whatever size they like (MLT 720x576, GStreamer 640x480)
// and write them into every project or element, so a default must not depend on the instance:
// it is a fraction of the frame, the same picture scaled to any size, and on this frame exactly
// the effect's registered default.
inline constexpr FrameSize kDefaultsFrame{1920, 1080};

// The frei0r value a parameter starts at when its control's registered default depends on the
// frame (a length in pixels): that default as a fraction of kDefaultsFrame. Empty for the rest,
// whose registered defaults are the same on every frame.
std::optional<double> DefaultFraction(const ParamBinding& binding, const hostsim::RegisteredParam& param);

// Sets the control from the frei0r value at `value` (a double, an f0r_param_color or, as the
// header passes it, a char*, by the binding's type). On refusal returns false, leaves the
// control as it was and says why in `problem`.
bool SetFromFrei0r(const ParamBinding& binding, hostsim::RegisteredParam& param, FrameSize frame, const void* value,
                   std::string& problem);

// Sets a string parameter's control from the text read from the host (empty: none readable),
// as SetFromFrei0r does.
bool SetFromText(const ParamBinding& binding, hostsim::RegisteredParam& param, FrameSize frame,
                 const std::optional<std::string>& text, std::string& problem);

// The angle in degrees that an Angle of `turns` stands for (see the README's frei0r section):
// Kdenlive and Shotcut save turns with six significant digits, so -30 degrees arrives as
// -0.0833333 turn, 29.999988 degrees, and renders one step of the host's angle off what was
// typed. A number that is exactly what such an editor saves for an angle with at most three
// decimals of a degree is that angle; every other number is turns x 360.
double DegreesOfTurns(double turns);

// Writes the current value in frei0r's units to `value`. A string is handed out as a pointer
// into `text`, which keeps it alive until the next call with the same `text`.
void GetAsFrei0r(const ParamBinding& binding, const hostsim::RegisteredParam& param, FrameSize frame, void* value,
                 std::string& text);

}  // namespace qxv::frei0r
