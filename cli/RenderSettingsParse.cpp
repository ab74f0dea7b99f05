#include "RenderSettingsParse.h"

#include <cstdlib>

namespace qxv::cli {

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

bool ParseRenderSettings(const ParsedArgs& args, hostsim::RenderSettings& settings, unsigned& threads,
                         std::string& error) {
    if (args.Has("downsample")) {
        const std::string text = args.Get("downsample");
        const std::size_t comma = text.find(',');
        const std::string x = text.substr(0, comma);
        const std::string y = comma == std::string::npos ? x : text.substr(comma + 1);
        if (!ParseRational(x, settings.downsample_x) || !ParseRational(y, settings.downsample_y)) {
            error = "--downsample needs N/D or N/D,N/D with whole numbers from 1 (e.g. 1/2), not \"" + text + "\"";
            return false;
        }
    }
    if (args.Has("pixel-aspect") && !ParseRational(args.Get("pixel-aspect"), settings.pixel_aspect_ratio)) {
        error = "--pixel-aspect needs N/D with whole numbers from 1 (e.g. 10/11), not \"" + args.Get("pixel-aspect") +
                "\"";
        return false;
    }
    if (args.Has("quality")) {
        const std::string quality = args.Get("quality");
        if (quality == "high") {
            settings.quality = PF_Quality_HI;
        } else if (quality == "low") {
            settings.quality = PF_Quality_LO;
        } else {
            error = "--quality must be high or low, not \"" + quality + "\"";
            return false;
        }
    }
    threads = 0;
    if (args.Has("threads")) {
        const std::string text = args.Get("threads");
        char* end = nullptr;
        const long n = std::strtol(text.c_str(), &end, 10);
        if (text.empty() || *end != '\0' || n < 1 || n > 256) {
            error = "--threads needs a number from 1 to 256, not \"" + text + "\"";
            return false;
        }
        threads = static_cast<unsigned>(n);
    }
    return true;
}

}  // namespace qxv::cli
