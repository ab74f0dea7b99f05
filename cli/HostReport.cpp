#include "cli/HostReport.h"

#include <cstdio>

namespace qxv::cli {

using hostsim::Json;

std::string Hex32(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string OutFlagNames(std::uint32_t flags) {
    static const struct {
        std::uint32_t bit;
        const char* name;
    } kFlags[] = {
        {PF_OutFlag_KEEP_RESOURCE_OPEN, "PF_OutFlag_KEEP_RESOURCE_OPEN"},
        {PF_OutFlag_WIDE_TIME_INPUT, "PF_OutFlag_WIDE_TIME_INPUT"},
        {PF_OutFlag_NON_PARAM_VARY, "PF_OutFlag_NON_PARAM_VARY"},
        {PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING, "PF_OutFlag_SEQUENCE_DATA_NEEDS_FLATTENING"},
        {PF_OutFlag_I_DO_DIALOG, "PF_OutFlag_I_DO_DIALOG"},
        {PF_OutFlag_USE_OUTPUT_EXTENT, "PF_OutFlag_USE_OUTPUT_EXTENT"},
        {PF_OutFlag_SEND_DO_DIALOG, "PF_OutFlag_SEND_DO_DIALOG"},
        {PF_OutFlag_DISPLAY_ERROR_MESSAGE, "PF_OutFlag_DISPLAY_ERROR_MESSAGE"},
        {PF_OutFlag_I_EXPAND_BUFFER, "PF_OutFlag_I_EXPAND_BUFFER"},
        {PF_OutFlag_PIX_INDEPENDENT, "PF_OutFlag_PIX_INDEPENDENT"},
        {PF_OutFlag_I_WRITE_INPUT_BUFFER, "PF_OutFlag_I_WRITE_INPUT_BUFFER"},
        {PF_OutFlag_I_SHRINK_BUFFER, "PF_OutFlag_I_SHRINK_BUFFER"},
        {PF_OutFlag_WORKS_IN_PLACE, "PF_OutFlag_WORKS_IN_PLACE"},
        {PF_OutFlag_CUSTOM_UI, "PF_OutFlag_CUSTOM_UI"},
        {PF_OutFlag_REFRESH_UI, "PF_OutFlag_REFRESH_UI"},
        {PF_OutFlag_NOP_RENDER, "PF_OutFlag_NOP_RENDER"},
        {PF_OutFlag_I_USE_SHUTTER_ANGLE, "PF_OutFlag_I_USE_SHUTTER_ANGLE"},
        {PF_OutFlag_I_USE_AUDIO, "PF_OutFlag_I_USE_AUDIO"},
        {PF_OutFlag_I_AM_OBSOLETE, "PF_OutFlag_I_AM_OBSOLETE"},
        {PF_OutFlag_FORCE_RERENDER, "PF_OutFlag_FORCE_RERENDER"},
        {PF_OutFlag_PiPL_OVERRIDES_OUTDATA_OUTFLAGS, "PF_OutFlag_PiPL_OVERRIDES_OUTDATA_OUTFLAGS"},
        {PF_OutFlag_I_HAVE_EXTERNAL_DEPENDENCIES, "PF_OutFlag_I_HAVE_EXTERNAL_DEPENDENCIES"},
        {PF_OutFlag_DEEP_COLOR_AWARE, "PF_OutFlag_DEEP_COLOR_AWARE"},
        {PF_OutFlag_SEND_UPDATE_PARAMS_UI, "PF_OutFlag_SEND_UPDATE_PARAMS_UI"},
    };
    std::string names;
    std::uint32_t unnamed = flags;
    for (const auto& flag : kFlags) {
        if (flags & flag.bit) {
            names += (names.empty() ? "" : " | ") + std::string(flag.name);
            unnamed &= ~flag.bit;
        }
    }
    if (unnamed) names += (names.empty() ? "" : " | ") + Hex32(unnamed);
    return names.empty() ? "none" : names;
}

VersionParts DecodeVersion(std::uint32_t version) {
    // The major version is split: its low 3 bits at 19-21, the rest at 26-29.
    int major = static_cast<int>(((version >> 19) & 0x7) | (((version >> 26) & 0xF) << 3));
    return VersionParts{major, static_cast<int>((version >> 15) & 0xF), static_cast<int>((version >> 11) & 0xF),
                        static_cast<int>((version >> 9) & 0x3), static_cast<int>(version & 0x1FF)};
}

namespace {

const char* StageName(int stage) {
    static const char* const kStages[] = {"develop", "alpha", "beta", "release"};
    return kStages[stage & 3];
}

}  // namespace

std::string VersionText(std::uint32_t version) {
    VersionParts v = DecodeVersion(version);
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.bugfix) + " " +
           StageName(v.stage) + " build " + std::to_string(v.build);
}

Json VersionJson(std::uint32_t version) {
    VersionParts v = DecodeVersion(version);
    return {{"major", v.major}, {"minor", v.minor}, {"bugfix", v.bugfix}, {"stage", StageName(v.stage)}, {"build", v.build}};
}

void PrintTrace(std::ostream& out, hostsim::Host& host) {
    out << "Host calls, in order:\n";
    int n = 0;
    for (const auto& call : host.trace().Calls()) {
        if (call.name == "EntryPointFunc") {
            out << "  -- " << call.detail << "\n";
            continue;
        }
        out << "  " << ++n << ". " << call.name;
        if (!call.detail.empty()) out << " " << call.detail;
        if (call.result) out << " -> " << call.result;
        out << "\n";
    }
}

Json TraceJson(hostsim::Host& host) {
    Json list = Json::array();
    for (const auto& call : host.trace().Calls()) {
        list.push_back({{"command", call.command}, {"call", call.name}, {"detail", call.detail}, {"result", call.result}});
    }
    return list;
}

void PrintViolations(std::ostream& out, const hostsim::Host& host) {
    if (host.AllViolations().empty()) return;
    out << "Host findings:\n";
    for (const auto& violation : host.AllViolations()) out << "  " << violation << "\n";
}

Json ViolationsJson(const hostsim::Host& host) {
    return host.AllViolations();
}

}  // namespace qxv::cli
