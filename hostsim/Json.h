// qxv's JSON is nlohmann::ordered_json: members stay in the order they were set, so the output
// reads in the same order as the reports in text. Two conventions on top of the library:
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace qxv::hostsim {

using Json = nlohmann::ordered_json;

// A double as qxv has always written it: a whole number as an integer ("300", not "300.0"),
// so scripts that read a Width or a window coordinate as an integer keep working.
// Not-a-number and infinities are written as null.
Json JsonNumber(double value);

// The text of `json`, on one line when `indent` is 0. Bytes that are not UTF-8 (a plug-in's
// strings may hold anything) become U+FFFD rather than an exception.
std::string DumpJson(const Json& json, int indent = 0);

}  // namespace qxv::hostsim
