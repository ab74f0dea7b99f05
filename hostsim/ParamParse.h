// Parameter values from and to text, in the units of the effect controls, by the type the
// plug-in registered:
//   float slider   pixels ("400", "12.5"), within the valid range
//   fixed slider   percent ("25"), stored as round(v x 65536), within the valid range
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
// fills `error`, e.g. `"Width": "abc" is not a number of pixels from 0 to 15000`.
bool ParseParamValue(const RegisteredParam& param, std::string_view text, PF_ParamDefUnion& value,
                     std::string& error);

// The current value in the same units ("400", "25%", "30 deg", "3 (Multiply)"), for people.
std::string FormatParamValue(const RegisteredParam& param);
std::string FormatParamDefault(const RegisteredParam& param);

// The host's name of a parameter type: "PF_Param_POPUP".
std::string ParamTypeName(PF_ParamType type);

}  // namespace qxv::hostsim
