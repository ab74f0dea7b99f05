// qxv's JSON is nlohmann::ordered_json: members stay in the order they were set, so the output
// reads in the same order as the reports in text. First two conventions on top of the
// library, then the JSON of parameters.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "hostsim/Params.h"

namespace qxv::hostsim {

using Json = nlohmann::ordered_json;

// A double as qxv has always written it: a whole number as an integer ("300", not "300.0"),
// so scripts that read a Width or a window coordinate as an integer keep working.
// Not-a-number and infinities are written as null.
Json JsonNumber(double value);

// The text of `json`, on one line when `indent` is 0. Bytes that are not UTF-8 (a plug-in's
// strings may hold anything) become U+FFFD rather than an exception.
std::string DumpJson(const Json& json, int indent = 0);

// The one JSON form of parameters used by every qxv command. Values: an object keyed by the
// parameter names the plug-in registered, holding the host's raw values (16.16 values as
// integers, float sliders as numbers, popups and checkboxes as integers, the point as
// [x, y] raw, the colour as [a, r, g, b]). Definitions: a list in index order.
Json ParamValueJson(const RegisteredParam& param);     // the current value, raw
Json ParamDefaultJson(const RegisteredParam& param);   // the registered default, raw
Json ParamValuesJson(const ParamStore& store);
// {"index", "name", "type", "type_name", "id", "flags", "ui_flags", "default", ranges..., "choices"};
// a slider's "unit" is what its display_flags say: "percent", "pixels" or "".
Json ParamDefinitionJson(int index, const RegisteredParam& param);
Json ParamDefinitionsJson(const ParamStore& store);

}  // namespace qxv::hostsim
