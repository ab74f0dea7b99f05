#include <cmath>
#include <cstdint>

#include "hostsim/Json.h"

namespace qxv::hostsim {

Json JsonNumber(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        return static_cast<std::int64_t>(value);
    }
    return value;
}

std::string DumpJson(const Json& json, int indent) {
    return json.dump(indent > 0 ? indent : -1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace qxv::hostsim
