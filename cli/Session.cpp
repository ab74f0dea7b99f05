#include "cli/Session.h"

#include <cstring>


#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace qxv::cli {

using hostsim::Host;

std::string DirectoryOf(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string BesideQxv(const std::string& name) {
#if defined(_WIN32)
    char buffer[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return DirectoryOf(std::string(buffer, n)) + "\\" + name;
#else
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::string exe = n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string("./qxv");
    return DirectoryOf(exe) + "/" + name;
#endif
}

std::string DefaultPluginPath() {
#if defined(_WIN32)
    return BesideQxv("QX_Vignette.aex");
#else
    return BesideQxv("QX_Vignette.so");
#endif
}

std::string DisplayedMessage(const PF_OutData& out_data) {
    if (!(out_data.out_flags & PF_OutFlag_DISPLAY_ERROR_MESSAGE)) return "";
    return std::string(out_data.return_msg, strnlen(out_data.return_msg, sizeof out_data.return_msg));
}

std::string ErrorText(PF_Err err) {
    const char* name = nullptr;
    switch (err) {
        case PF_Err_NONE: name = "PF_Err_NONE"; break;
        case PF_Err_OUT_OF_MEMORY: name = "PF_Err_OUT_OF_MEMORY"; break;
        case PF_Err_INTERNAL_STRUCT_DAMAGED: name = "PF_Err_INTERNAL_STRUCT_DAMAGED"; break;
        case PF_Err_INVALID_INDEX: name = "PF_Err_INVALID_INDEX"; break;
        case PF_Err_UNRECOGNIZED_PARAM_TYPE: name = "PF_Err_UNRECOGNIZED_PARAM_TYPE"; break;
        case PF_Err_INVALID_CALLBACK: name = "PF_Err_INVALID_CALLBACK"; break;
        case PF_Err_BAD_CALLBACK_PARAM: name = "PF_Err_BAD_CALLBACK_PARAM"; break;
        case PF_Interrupt_CANCEL: name = "PF_Interrupt_CANCEL"; break;
        default: break;
    }
    std::string text = "error " + std::to_string(err);
    return name ? text + " (" + name + ")" : text;
}

namespace {

std::string CommandFailure(const char* command, PF_Err err, const PF_OutData& out_data) {
    std::string text = std::string(command) + " failed with " + ErrorText(err);
    std::string message = DisplayedMessage(out_data);
    return message.empty() ? text : text + ": " + message;
}

}  // namespace

bool OpenSession(const SessionOptions& options, Session& session, std::string& error, bool tolerate_setup_errors) {
    session.library = hostsim::PluginLibrary::Load(options.plugin_path, error);
    if (!session.library) return false;
    if (options.instrumented || !options.failing_suites.empty()) {
        auto instrumented = std::make_unique<Host>(options.host, session.library->entry());
        for (const std::string& suite : options.failing_suites) instrumented->failures().FailSuite(suite);
        session.instruments = instrumented.get();
        session.host = std::move(instrumented);
    } else {
        session.host = std::make_unique<hostsim::Session>(options.host, session.library->entry());
    }
    hostsim::Session& host = *session.host;
    host.SetIterationThreads(options.threads);

    session.global_setup_result = host.GlobalSetup();
    session.after_global_setup = host.out_data();
    if (session.global_setup_result && !tolerate_setup_errors) {
        error = CommandFailure("PF_Cmd_GLOBAL_SETUP", session.global_setup_result, host.out_data());
        return false;
    }
    session.params_setup_result = host.ParamsSetup();
    session.after_params_setup = host.out_data();
    if (session.params_setup_result && !tolerate_setup_errors) {
        error = CommandFailure("PF_Cmd_PARAMS_SETUP", session.params_setup_result, host.out_data());
        return false;
    }

    for (const std::string& assignment : options.assignments) {
        std::size_t equals = assignment.find('=');
        if (equals == std::string::npos) {
            error = "--set needs NAME=VALUE, not \"" + assignment + "\"";
            return false;
        }
        if (!host.params().Set(assignment.substr(0, equals), assignment.substr(equals + 1), error)) return false;
    }
    return true;
}

}  // namespace qxv::cli
