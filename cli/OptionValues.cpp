#include "cli/OptionValues.h"

#include <cerrno>
#include <cstdlib>
#include <numeric>

namespace qxv::cli {

bool ParseHostApp(const std::string& text, hostsim::HostApp& app, std::string& error) {
    if (text == "ae") {
        app = hostsim::HostApp::kAfterEffects;
        return true;
    }
    if (text == "premiere") {
        app = hostsim::HostApp::kPremierePro;
        return true;
    }
    error = "--host must be ae or premiere, not \"" + text + "\"";
    return false;
}

bool ParseFrameDepth(const std::string& text, hostsim::FrameDepth& depth, std::string& error) {
    for (hostsim::FrameDepth candidate : {hostsim::FrameDepth::k8, hostsim::FrameDepth::k16, hostsim::FrameDepth::kFloat}) {
        if (text == FrameDepthName(candidate)) {
            depth = candidate;
            return true;
        }
    }
    error = "--depth must be 8, 16 or float, not \"" + text + "\"";
    return false;
}

const char* FrameDepthName(hostsim::FrameDepth depth) {
    switch (depth) {
        case hostsim::FrameDepth::k16: return "16";
        case hostsim::FrameDepth::kFloat: return "float";
        case hostsim::FrameDepth::k8: break;
    }
    return "8";
}

bool ParseFrameSize(const std::string& text, PF_Point& size) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 >= text.size()) return false;
    char* end = nullptr;
    const long w = std::strtol(text.c_str(), &end, 10);
    if (end != text.c_str() + x) return false;
    const long h = std::strtol(text.c_str() + x + 1, &end, 10);
    if (*end != '\0' || w < 1 || h < 1 || w > 65536 || h > 65536) return false;
    size = {static_cast<A_long>(w), static_cast<A_long>(h)};
    return true;
}

bool ParseZoom(const std::string& text, hostsim::Zoom& zoom, std::string& error) {
    error = "--zoom: \"" + text + "\" is not a zoom (a number from 1/64 to 64, e.g. 0.5, 2 or 1/3)";
    hostsim::Zoom parsed;
    const auto slash = text.find('/');
    try {
        std::size_t used = 0;
        if (slash != std::string::npos) {
            parsed.num = std::stoll(text.substr(0, slash), &used);
            if (used != slash) return false;
            const std::string den = text.substr(slash + 1);
            parsed.den = std::stoll(den, &used);
            if (used != den.size()) return false;
        } else {
            const auto point = text.find('.');
            const std::string digits = point == std::string::npos ? text : text.substr(0, point) + text.substr(point + 1);
            const std::size_t decimals = point == std::string::npos ? 0 : text.size() - point - 1;
            if (digits.empty() || decimals > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
            parsed.num = std::stoll(digits);
            for (std::size_t i = 0; i < decimals; ++i) parsed.den *= 10;
        }
    } catch (...) {
        return false;
    }
    if (parsed.num <= 0 || parsed.den <= 0 || parsed.num > 64 * parsed.den || 64 * parsed.num < parsed.den) return false;
    const std::int64_t divisor = std::gcd(parsed.num, parsed.den);
    zoom = hostsim::Zoom{parsed.num / divisor, parsed.den / divisor};
    error.clear();
    return true;
}

// Window and composition points reach the plug-in as 16.16 numbers, so a coordinate beyond
// 16 bits is refused rather than wrapped.
constexpr long kMaxCoordinate = 32767;

bool ParsePoint(const std::string& option, const std::string& text, PF_Point& point, std::string& error) {
    const char* const begin = text.c_str();
    char* comma = nullptr;
    char* end = nullptr;
    errno = 0;
    const long x = std::strtol(begin, &comma, 10);
    const bool x_read = comma != begin && *comma == ',';
    const long y = x_read ? std::strtol(comma + 1, &end, 10) : 0;
    if (!x_read || end == comma + 1 || *end != '\0' || errno == ERANGE || std::labs(x) > kMaxCoordinate ||
        std::labs(y) > kMaxCoordinate) {
        error = "--" + option + ": \"" + text + "\" is not a point X,Y in whole pixels from -32767 to 32767";
        return false;
    }
    point = {static_cast<A_long>(x), static_cast<A_long>(y)};
    return true;
}

bool ParseRational(const std::string& text, PF_RationalScale& value) {
    const std::size_t slash = text.find('/');
    const std::string num = slash == std::string::npos ? text : text.substr(0, slash);
    const std::string den = slash == std::string::npos ? "1" : text.substr(slash + 1);
    char* end = nullptr;
    const long n = std::strtol(num.c_str(), &end, 10);
    if (num.empty() || *end != '\0' || n < 1 || n > 1000000) return false;
    const long d = std::strtol(den.c_str(), &end, 10);
    if (den.empty() || *end != '\0' || d < 1 || d > 1000000) return false;
    value = PF_RationalScale{static_cast<A_long>(n), static_cast<A_u_long>(d)};
    return true;
}

bool ParseThreadCount(const std::string& text, unsigned& threads) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || n < 1 || n > 256) return false;
    threads = static_cast<unsigned>(n);
    return true;
}

bool ParseWholeNumber(const std::string& option, const std::string& text, int low, int high, int& value,
                      std::string& error) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos ||
        (value = std::stoi(text)) < low || value > high) {
        error = "--" + option + " must be a whole number from " + std::to_string(low) + " to " +
                std::to_string(high) + ", not \"" + text + "\"";
        return false;
    }
    return true;
}

Converter<PF_Point> PointOf(const std::string& option) {
    return [option](const std::string& text, PF_Point& point, std::string& error) {
        return ParsePoint(option, text, point, error);
    };
}

Converter<int> WholeNumberOf(const std::string& option, int low, int high) {
    return [option, low, high](const std::string& text, int& value, std::string& error) {
        return ParseWholeNumber(option, text, low, high, value, error);
    };
}

bool ParseDownsample(const std::string& text, hostsim::RenderSettings& settings, std::string& error) {
    const std::size_t comma = text.find(',');
    const std::string x = text.substr(0, comma);
    const std::string y = comma == std::string::npos ? x : text.substr(comma + 1);
    if (!ParseRational(x, settings.downsample_x) || !ParseRational(y, settings.downsample_y)) {
        error = "--downsample needs N/D or N/D,N/D with whole numbers from 1 (e.g. 1/2), not \"" + text + "\"";
        return false;
    }
    return true;
}

bool ParsePixelAspect(const std::string& text, PF_RationalScale& ratio, std::string& error) {
    if (ParseRational(text, ratio)) return true;
    error = "--pixel-aspect needs N/D with whole numbers from 1 (e.g. 10/11), not \"" + text + "\"";
    return false;
}

bool ParseQuality(const std::string& text, PF_Quality& quality, std::string& error) {
    if (text == "high") {
        quality = PF_Quality_HI;
    } else if (text == "low") {
        quality = PF_Quality_LO;
    } else {
        error = "--quality must be high or low, not \"" + text + "\"";
        return false;
    }
    return true;
}

}  // namespace qxv::cli
