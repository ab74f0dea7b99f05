#include "hostsim/SessionObserver.h"

#include <cstdio>

namespace qxv::hostsim {

std::string SuiteKey::ToString() const { return name + " v" + std::to_string(version); }

std::string QuoteText(const char* text) {
    if (!text) return "(null)";
    std::string quoted = "\"";
    for (const char* c = text; *c; ++c) {
        switch (*c) {
            case '\r': quoted += "\\r"; break;
            case '\n': quoted += "\\n"; break;
            case '\t': quoted += "\\t"; break;
            case '"': quoted += "\\\""; break;
            case '\\': quoted += "\\\\"; break;
            default:
                if (static_cast<unsigned char>(*c) < 0x20) {
                    char hex[8];
                    std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned char>(*c));
                    quoted += hex;
                } else {
                    quoted += *c;
                }
        }
    }
    return quoted + "\"";
}

std::string CommandName(PF_Cmd cmd) {
    static const char* const kNames[] = {
        "PF_Cmd_ABOUT", "PF_Cmd_GLOBAL_SETUP", "PF_Cmd_UNUSED_0", "PF_Cmd_GLOBAL_SETDOWN", "PF_Cmd_PARAMS_SETUP",
        "PF_Cmd_SEQUENCE_SETUP", "PF_Cmd_SEQUENCE_RESETUP", "PF_Cmd_SEQUENCE_FLATTEN", "PF_Cmd_SEQUENCE_SETDOWN",
        "PF_Cmd_DO_DIALOG", "PF_Cmd_FRAME_SETUP", "PF_Cmd_RENDER", "PF_Cmd_FRAME_SETDOWN",
        "PF_Cmd_USER_CHANGED_PARAM", "PF_Cmd_UPDATE_PARAMS_UI", "PF_Cmd_EVENT", "PF_Cmd_GET_EXTERNAL_DEPENDENCIES",
        "PF_Cmd_COMPLETELY_GENERAL", "PF_Cmd_QUERY_DYNAMIC_FLAGS", "PF_Cmd_AUDIO_RENDER", "PF_Cmd_AUDIO_SETUP",
        "PF_Cmd_AUDIO_SETDOWN", "PF_Cmd_ARBITRARY_CALLBACK", "PF_Cmd_SMART_PRE_RENDER", "PF_Cmd_SMART_RENDER"};
    auto code = static_cast<std::uint32_t>(cmd);
    if (code < sizeof(kNames) / sizeof(kNames[0])) return kNames[code];
    return "command " + std::to_string(code);
}

}  // namespace qxv::hostsim
