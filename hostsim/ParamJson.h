// The one JSON form of parameters used by every qxv command. Values: an object keyed by the
// parameter names the plug-in registered, holding the host's raw values (16.16 values as
// integers, float sliders as numbers, popups and checkboxes as integers, the point as
// [x, y] raw, the colour as [a, r, g, b]). Definitions: a list in index order.
#pragma once

#include "hostsim/Json.h"
#include "hostsim/Params.h"

namespace qxv::hostsim {

Json ParamValueJson(const RegisteredParam& param);     // the current value, raw
Json ParamDefaultJson(const RegisteredParam& param);   // the registered default, raw
Json ParamValuesJson(const ParamStore& store);
// {"index", "name", "type", "type_name", "id", "flags", "ui_flags", "default", ranges..., "choices"};
// a slider's "unit" is what its display_flags say: "percent", "pixels" or "".
Json ParamDefinitionJson(int index, const RegisteredParam& param);
Json ParamDefinitionsJson(const ParamStore& store);

}  // namespace qxv::hostsim
