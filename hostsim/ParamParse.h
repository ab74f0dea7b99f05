// Parameter values from and to text, in the units of the effect controls, by what the
// plug-in registered:
//   float slider   a number within the valid range, in the unit its display_flags give
//   fixed slider   the same, stored as round(v x 65536)
//                  (PF_ValueDisplayFlag_PERCENT: percent, shown "25.0%" and read with or
//                  without the "%"; PF_ValueDisplayFlag_PIXEL: pixels, "400.0 px"; neither:
//                  a bare number), shown with the registered precision's decimal places
//   angle          degrees ("-30.5"), stored as round(v x 65536)
//   point          "x,y" in pixels, each stored as round(v x 65536)
//   color          "#rrggbb" or "r,g,b" (0-255), alpha 255
//   popup          a choice label (case-insensitive) or its 1-based number
//   checkbox       on/off, 1/0, true/false
#pragma once

#include <string>
#include <string_view>

#include "hostsim/ParamStore.h"

namespace qxv::hostsim {

// Parses `text` into `value` (the value fields only). On failure leaves `value` alone and
// fills `error` with one line, e.g. `"Opacity": "abc" is not a number from 0 to 100 (percent)`.
bool ParseParamValue(const RegisteredParam& param, std::string_view text, PF_ParamDefUnion& value,
                     std::string& error);

// The current value in the same units ("400.0", "25.0%", "30 deg", "3 (Multiply)"), for people.
std::string FormatParamValue(const RegisteredParam& param);
std::string FormatParamDefault(const RegisteredParam& param);

// The unit a slider's display_flags give its number: "percent", "pixels", or "" for none
// (and for every other type).
std::string SliderUnit(const RegisteredParam& param);

// The host's name of a parameter type: "PF_Param_POPUP".
std::string ParamTypeName(PF_ParamType type);

}  // namespace qxv::hostsim
