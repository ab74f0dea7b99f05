// qxv info: what a host learns about the effect at start-up. It reads the PiPL, sends
// GLOBAL_SETUP, PARAMS_SETUP and ABOUT, and shows what came back.
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>

#include "cli/Commands.h"
#include "hostsim/instruments/Json.h"
#include "hostsim/Params.h"
#include "hostsim/PluginLibrary.h"
#include "hostsim/instruments/PeImage.h"
#include "hostsim/StandardSuites.h"
#include "cli/HostReport.h"
#include "cli/Options.h"
#include "cli/Session.h"

namespace qxv::cli {

namespace {

using hostsim::Json;
using hostsim::RegisteredParam;

const char kCommand[] = "info";
const char kDescription[] =
    "Loads the plug-in into a simulated host, sends global set-up, parameter set-up and About,\n"
    "and shows the About text, version and out flags, registered pixel formats (Premiere Pro),\n"
    "the PiPL properties and the parameter table as the host received it.";

struct PiPLSource {
    std::string path;
    std::string error;  // empty when the properties were read
    std::vector<PiPLEntry> entries;
    std::vector<std::string> exports;  // from an .aex
    std::vector<std::string> imports;
};

#if !defined(_WIN32)
bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return true;
}
#endif

// From the .aex at `aex_path`, or as the host finds it beside or in the library.
PiPLSource ReadPiPL(const std::optional<std::string>& aex_path, const hostsim::PluginLibrary& library) {
    PiPLSource source;
    std::vector<std::uint8_t> bytes;
    if (aex_path) {
        source.path = *aex_path;
        std::optional<PeImage> image = ReadPeFile(source.path, source.error);
        if (!image) return source;
        source.exports = image->exported_names;
        source.imports = image->imported_dlls;
        std::optional<std::vector<std::uint8_t>> resource = FindPeResource(*image, "PIPL", 16000, 0x0409, source.error);
        if (!resource) return source;
        bytes = std::move(*resource);
    } else {
#if defined(_WIN32)
        // As a Windows host does: from the resources of the library it loaded.
        source.path = library.path();
        if (std::optional<PeImage> image = ReadPeFile(source.path, source.error)) {
            source.exports = image->exported_names;
            source.imports = image->imported_dlls;
        }
        if (!library.ReadResource("PIPL", 16000, 0x0409, bytes, source.error)) return source;
#else
        source.path = DirectoryOf(library.path()) + "/QX_Vignette.pipl";
        if (!ReadFile(source.path, bytes)) {
            source.error = "cannot read " + source.path;
            return source;
        }
#endif
    }
    std::optional<std::vector<PiPLEntry>> entries = DecodePiPL(bytes, source.error);
    if (entries) {
        source.entries = std::move(*entries);
        source.error.clear();
    }
    return source;
}

std::string CText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

std::string RangeText(const RegisteredParam& param) {
    std::ostringstream text;
    hostsim::VisitParam(
        param, hostsim::Overloaded{
                   [&](const PF_FloatSliderDef& d) {
                       text << "valid " << d.valid_min << ".." << d.valid_max << ", slider " << d.slider_min << ".."
                            << d.slider_max << ", precision " << d.precision;
                   },
                   [&](const PF_FixedSliderDef& d) {
                       text << "valid " << d.valid_min / 65536.0 << ".." << d.valid_max / 65536.0 << ", slider "
                            << d.slider_min / 65536.0 << ".." << d.slider_max / 65536.0 << ", precision "
                            << d.precision;
                   },
                   [&](const PF_PointDef& d) {
                       text << (d.restrict_bounds ? "bounds restricted" : "bounds not restricted");
                   },
                   [&](const PF_PopupDef&) {
                       text << param.choices.size() << " choices:";
                       for (std::size_t i = 0; i < param.choices.size(); ++i) {
                           text << (i ? ", " : " ") << param.choices[i];
                       }
                   },
                   [&](const PF_CheckBoxDef&) { text << "\"" << param.checkbox_text << "\""; },
                   [](const auto&) {},
               });
    if (const std::string unit = hostsim::SliderUnit(param); !unit.empty()) text << ", " << unit;
    return text.str();
}

// What a host learns at start-up, gathered once; the text and the JSON are two views of it.
struct EffectInfo {
    std::string plugin;
    hostsim::HostApp app = hostsim::HostApp::kAfterEffects;
    A_long appl_id = 0;
    std::string about;
    PF_Err about_result = PF_Err_NONE;
    PF_Err global_setup_result = PF_Err_NONE;
    PF_Err params_setup_result = PF_Err_NONE;
    PF_OutData global{};  // what GLOBAL_SETUP answered
    A_long num_params = 0;
    std::vector<PrPixelFormat> pixel_formats;
    std::vector<PF_CustomUIInfo> custom_ui;
    PiPLSource pipl;
    const hostsim::Host* host = nullptr;  // its parameters, violations and trace
};

// After PF_Cmd_ABOUT, whose text is still in the host's out_data.
EffectInfo GatherInfo(const Session& session, hostsim::Host& host, PF_Err about_result, PiPLSource pipl) {
    EffectInfo info;
    info.plugin = session.library->path();
    info.app = host.app();
    info.appl_id = host.in_data().appl_id;
    info.about = CText(host.out_data().return_msg, sizeof host.out_data().return_msg);
    info.about_result = about_result;
    info.global_setup_result = session.global_setup_result;
    info.params_setup_result = session.params_setup_result;
    info.global = session.after_global_setup;
    info.num_params = session.after_params_setup.num_params;
    info.pixel_formats = host.SupportedPixelFormats();
    info.custom_ui = host.registered_ui();
    info.pipl = std::move(pipl);
    info.host = &host;
    return info;
}

void PrintText(const EffectInfo& info) {
    const PF_OutData& global = info.global;
    const PiPLSource& pipl = info.pipl;
    std::ostream& out = std::cout;
    out << "Plug-in        " << info.plugin << "\n";
    out << "Host           " << hostsim::HostAppName(info.app) << " (appl_id " << Hex32(info.appl_id) << ")\n";
    std::string about_lines = info.about;
    for (std::size_t cr; (cr = about_lines.find('\r')) != std::string::npos;) about_lines.replace(cr, 1, "\n               ");
    out << "About          " << about_lines << "\n";
    if (info.about_result) out << "               (PF_Cmd_ABOUT returned " << ErrorText(info.about_result) << ")\n";
    out << "my_version     " << Hex32(global.my_version) << " (" << VersionText(global.my_version) << ")\n";
    out << "out_flags      " << Hex32(global.out_flags) << " " << OutFlagNames(global.out_flags) << "\n";
    out << "out_flags2     " << Hex32(global.out_flags2) << "\n";
    if (info.global_setup_result) out << "GLOBAL_SETUP   returned " << ErrorText(info.global_setup_result) << "\n";
    if (std::string message = DisplayedMessage(global); !message.empty()) out << "Message        " << message << "\n";

    out << "Pixel formats  ";
    if (info.app != hostsim::HostApp::kPremierePro) {
        out << "(After Effects does not ask)\n";
    } else if (info.pixel_formats.empty()) {
        out << "none registered\n";
    } else {
        bool first = true;
        for (PrPixelFormat format : info.pixel_formats) {
            out << (first ? "" : ", ") << hostsim::PixelFormatName(format);
            first = false;
        }
        out << "\n";
    }
    for (const auto& ui : info.custom_ui) out << "Custom UI      events " << ui.events << "\n";

    out << "\nPiPL (" << pipl.path << ")\n";
    if (!pipl.error.empty()) out << "  not read: " << pipl.error << "\n";
    if (!pipl.exports.empty()) {
        out << "  exports:";
        for (const auto& name : pipl.exports) out << " " << name;
        out << "\n  imports:";
        for (const auto& name : pipl.imports) out << " " << name;
        out << "\n";
    }
    for (const auto& entry : pipl.entries) out << "  " << entry.key << "  " << entry.value << "\n";
    if (auto eVER = PiPLWord(pipl.entries, "eVER")) {
        out << "  eVER " << (*eVER == global.my_version ? "equals" : "DIFFERS FROM") << " my_version\n";
    }
    if (auto eGLO = PiPLWord(pipl.entries, "eGLO")) {
        // The display-error flag only marks a message of this one call, not a global property.
        auto global_flags = static_cast<std::uint32_t>(global.out_flags) & ~std::uint32_t{PF_OutFlag_DISPLAY_ERROR_MESSAGE};
        out << "  eGLO " << (*eGLO == global_flags ? "equals" : "DIFFERS FROM") << " out_flags\n";
    }

    out << "\nParameters (num_params " << info.num_params << ")";
    if (info.params_setup_result) out << ", PF_Cmd_PARAMS_SETUP returned " << ErrorText(info.params_setup_result);
    out << "\n";
    const hostsim::ParamStore& params = info.host->params();
    for (int i = 1; i <= params.count(); ++i) {
        const RegisteredParam& param = params.Param(i);
        out << "  " << i << ". " << param.registered_name << "\n"
            << "       type " << hostsim::ParamTypeName(param.def.param_type) << " (" << param.def.param_type << "), id "
            << param.def.uu.id << ", flags " << param.def.flags << ", ui_flags " << param.def.ui_flags << "\n"
            << "       default " << hostsim::FormatParamDefault(param);
        if (std::string range = RangeText(param); !range.empty()) out << "; " << range;
        out << "\n";
    }
    PrintViolations(out, *info.host);
}

Json InfoJson(const EffectInfo& info) {
    const PF_OutData& global = info.global;
    const PiPLSource& pipl = info.pipl;
    Json formats = Json::array();
    for (PrPixelFormat format : info.pixel_formats) formats.push_back(static_cast<std::uint32_t>(format));
    Json ui = Json::array();
    for (const auto& custom_ui : info.custom_ui) ui.push_back({{"events", custom_ui.events}});
    Json json = {{"plugin", info.plugin},
                 {"host", info.app == hostsim::HostApp::kPremierePro ? "premiere" : "ae"},
                 {"appl_id", info.appl_id},
                 {"about", info.about},
                 {"about_result", info.about_result},
                 {"global_setup_result", info.global_setup_result},
                 {"params_setup_result", info.params_setup_result},
                 {"my_version", static_cast<std::uint32_t>(global.my_version)},
                 {"version", VersionJson(global.my_version)},
                 {"out_flags", static_cast<std::uint32_t>(global.out_flags)},
                 {"out_flags2", static_cast<std::uint32_t>(global.out_flags2)},
                 {"message", DisplayedMessage(global)},
                 {"pixel_formats", std::move(formats)},
                 {"custom_ui", std::move(ui)},
                 {"num_params", info.num_params},
                 {"pipl_source", pipl.path}};
    if (!pipl.error.empty()) json["pipl_error"] = pipl.error;
    Json entries = Json::array();
    for (const auto& entry : pipl.entries) entries.push_back({{"key", entry.key}, {"value", entry.value}});
    json["pipl"] = std::move(entries);
    json["params"] = hostsim::ParamDefinitionsJson(info.host->params());
    json["values"] = hostsim::ParamValuesJson(info.host->params());
    json["violations"] = ViolationsJson(*info.host);
    return json;
}

}  // namespace

int RunInfo(const std::vector<std::string>& args) {
    SessionOptions options;
    bool trace = false, json = false;
    std::optional<std::string> aex_path;
    CommandLine command_line(kCommand, "", kDescription);
    command_line.HostOptions(options, trace, json)
        .FailureOptions(options)
        .Option("aex", "PATH",
                "read the PiPL from this Windows .aex (default: QX_Vignette.pipl beside a Linux plug-in, the loaded "
                "library's own resource on Windows)",
                aex_path);
    if (const auto done = command_line.Parse(args)) return *done;
    std::string error;
    if (!command_line.arguments().empty()) {
        return Fail(kCommand, "unexpected argument " + command_line.arguments()[0], kExitUsage);
    }

    Session session;
    if (!OpenSession(options, session, error, /*tolerate_setup_errors=*/true)) return Fail(kCommand, error, kExitFailure);
    hostsim::Host& host = *session.instruments;
    PiPLSource pipl = ReadPiPL(aex_path, *session.library);
    if (aex_path && !pipl.error.empty()) return Fail(kCommand, pipl.error, kExitFailure);

    const PF_Err about_result = host.About();
    const EffectInfo info = GatherInfo(session, host, about_result, std::move(pipl));
    if (json) {
        Json shown = InfoJson(info);
        if (trace) shown["trace"] = TraceJson(host);
        std::cout << hostsim::DumpJson(shown, 2) << "\n";
    } else {
        PrintText(info);
        if (trace) {
            std::cout << "\n";
            PrintTrace(std::cout, host);
        }
    }
    // Everything was shown; a command the plug-in failed still makes the run a failure.
    bool failed = session.global_setup_result || session.params_setup_result || about_result;
    return failed ? kExitFailure : kExitOk;
}

}  // namespace qxv::cli
