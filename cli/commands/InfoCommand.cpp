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

void PrintText(const Session& session, hostsim::Host& host, const std::string& about, PF_Err about_result,
               const PiPLSource& pipl) {
    const PF_OutData& global = session.after_global_setup;
    std::ostream& out = std::cout;
    out << "Plug-in        " << session.library->path() << "\n";
    out << "Host           " << hostsim::HostAppName(host.app()) << " (appl_id " << Hex32(host.in_data().appl_id)
        << ")\n";
    std::string about_lines = about;
    for (std::size_t cr; (cr = about_lines.find('\r')) != std::string::npos;) about_lines.replace(cr, 1, "\n               ");
    out << "About          " << about_lines << "\n";
    if (about_result) out << "               (PF_Cmd_ABOUT returned " << ErrorText(about_result) << ")\n";
    out << "my_version     " << Hex32(global.my_version) << " (" << VersionText(global.my_version) << ")\n";
    out << "out_flags      " << Hex32(global.out_flags) << " " << OutFlagNames(global.out_flags) << "\n";
    out << "out_flags2     " << Hex32(global.out_flags2) << "\n";
    if (session.global_setup_result) out << "GLOBAL_SETUP   returned " << ErrorText(session.global_setup_result) << "\n";
    if (std::string message = DisplayedMessage(global); !message.empty()) out << "Message        " << message << "\n";

    out << "Pixel formats  ";
    if (!host.is_premiere()) {
        out << "(After Effects does not ask)\n";
    } else if (host.SupportedPixelFormats().empty()) {
        out << "none registered\n";
    } else {
        bool first = true;
        for (PrPixelFormat format : host.SupportedPixelFormats()) {
            out << (first ? "" : ", ") << hostsim::PixelFormatName(format);
            first = false;
        }
        out << "\n";
    }
    for (const auto& ui : host.registered_ui()) out << "Custom UI      events " << ui.events << "\n";

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

    out << "\nParameters (num_params " << session.after_params_setup.num_params << ")";
    if (session.params_setup_result) out << ", PF_Cmd_PARAMS_SETUP returned " << ErrorText(session.params_setup_result);
    out << "\n";
    for (int i = 1; i <= host.params().count(); ++i) {
        const RegisteredParam& param = host.params().Param(i);
        out << "  " << i << ". " << param.registered_name << "\n"
            << "       type " << hostsim::ParamTypeName(param.def.param_type) << " (" << param.def.param_type << "), id "
            << param.def.uu.id << ", flags " << param.def.flags << ", ui_flags " << param.def.ui_flags << "\n"
            << "       default " << hostsim::FormatParamDefault(param);
        if (std::string range = RangeText(param); !range.empty()) out << "; " << range;
        out << "\n";
    }
    PrintViolations(out, host);
}

Json MakeJson(const Session& session, hostsim::Host& host, const std::string& about, PF_Err about_result,
              const PiPLSource& pipl, bool with_trace) {
    const PF_OutData& global = session.after_global_setup;
    Json formats = Json::array();
    for (PrPixelFormat format : host.SupportedPixelFormats()) formats.push_back(static_cast<std::uint32_t>(format));
    Json ui = Json::array();
    for (const auto& info : host.registered_ui()) ui.push_back({{"events", info.events}});
    Json json = {{"plugin", session.library->path()},
                 {"host", host.is_premiere() ? "premiere" : "ae"},
                 {"appl_id", host.in_data().appl_id},
                 {"about", about},
                 {"about_result", about_result},
                 {"global_setup_result", session.global_setup_result},
                 {"params_setup_result", session.params_setup_result},
                 {"my_version", static_cast<std::uint32_t>(global.my_version)},
                 {"version", VersionJson(global.my_version)},
                 {"out_flags", static_cast<std::uint32_t>(global.out_flags)},
                 {"out_flags2", static_cast<std::uint32_t>(global.out_flags2)},
                 {"message", DisplayedMessage(global)},
                 {"pixel_formats", std::move(formats)},
                 {"custom_ui", std::move(ui)},
                 {"num_params", session.after_params_setup.num_params},
                 {"pipl_source", pipl.path}};
    if (!pipl.error.empty()) json["pipl_error"] = pipl.error;
    Json entries = Json::array();
    for (const auto& entry : pipl.entries) entries.push_back({{"key", entry.key}, {"value", entry.value}});
    json["pipl"] = std::move(entries);
    json["params"] = hostsim::ParamDefinitionsJson(host.params());
    json["values"] = hostsim::ParamValuesJson(host.params());
    json["violations"] = ViolationsJson(host);
    if (with_trace) json["trace"] = TraceJson(host);
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

    PF_Err about_result = host.About();
    std::string about = CText(host.out_data().return_msg, sizeof host.out_data().return_msg);
    if (json) {
        std::cout << hostsim::DumpJson(MakeJson(session, host, about, about_result, pipl, trace), 2) << "\n";
    } else {
        PrintText(session, host, about, about_result, pipl);
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
