// The converters of qxv's options (Options.h): hosts, frame sizes, zooms, points, ratios and
// counts, and the viewing settings of a render. Each says what it refuses in one line that
// names the option, as the user typed it.
#pragma once

#include <functional>
#include <string>

#include "AE_Effect.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/instruments/OverlayEvents.h"
#include "cli/Options.h"

namespace qxv::cli {

// "ae" or "premiere".
bool ParseHostApp(const std::string& text, hostsim::HostApp& app, std::string& error);

// "8", "16" or "float".
bool ParseFrameDepth(const std::string& text, hostsim::FrameDepth& depth, std::string& error);
const char* FrameDepthName(hostsim::FrameDepth depth);

// "1920x1080": both from 1 to 65536. No message: the options word it differently.
bool ParseFrameSize(const std::string& text, PF_Point& size);

// "0.5", "2", "1/3", "33.3": a positive number from 1/64 to 64, kept as a fraction.
bool ParseZoom(const std::string& text, hostsim::Zoom& zoom, std::string& error);

// "x,y" in whole pixels from -32767 to 32767.
bool ParsePoint(const std::string& option, const std::string& text, PF_Point& point, std::string& error);

// "1/2" -> {1, 2}; both from 1 to 1000000.
bool ParseRational(const std::string& text, PF_RationalScale& value);

// A thread count from 1 to 256 ("4"). No message: the commands word it differently.
bool ParseThreadCount(const std::string& text, unsigned& threads);

// Digits only, from `low` to `high`.
bool ParseWholeNumber(const std::string& option, const std::string& text, int low, int high, int& value,
                      std::string& error);

// The same for the option named: --from, --to, --scroll, --layer-offset, --steps, ...
Converter<PF_Point> PointOf(const std::string& option);
Converter<int> WholeNumberOf(const std::string& option, int low, int high);

// A converter from a parser that has no message of its own; `message` words the refusal of a text.
template <class T>
Converter<T> Worded(bool (*parse)(const std::string& text, T& value),
                    std::function<std::string(const std::string& text)> message) {
    return [parse, message](const std::string& text, T& value, std::string& error) {
        if (parse(text, value)) return true;
        error = message(text);
        return false;
    };
}

// --downsample N/D[,N/D]: x then y, one value sets both.
bool ParseDownsample(const std::string& text, hostsim::RenderSettings& settings, std::string& error);
// --pixel-aspect N/D.
bool ParsePixelAspect(const std::string& text, PF_RationalScale& ratio, std::string& error);
// --quality high|low.
bool ParseQuality(const std::string& text, PF_Quality& quality, std::string& error);

}  // namespace qxv::cli
