#include "cli/preview/PreviewWindow.h"

#include <cctype>

namespace qxv::cli {

std::vector<ParamKey> AssignParamKeys(const hostsim::ParamStore& store, std::string_view taken) {
    std::string used(taken);
    std::vector<ParamKey> keys;
    for (int i = 1; i <= store.count(); ++i) {
        const hostsim::RegisteredParam& param = store.Param(i);
        if (param.def.param_type != PF_Param_POPUP && param.def.param_type != PF_Param_CHECKBOX) continue;
        for (char c : param.registered_name) {
            const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (key < 'a' || key > 'z' || used.find(key) != std::string::npos) continue;
            used += key;
            keys.push_back({key, i});
            break;
        }
    }
    return keys;
}

std::string ParamKeysText(const std::vector<ParamKey>& keys, const hostsim::ParamStore& store) {
    std::string text;
    for (const ParamKey& key : keys) {
        text += (text.empty() ? "" : ", ") + std::string(1, static_cast<char>(std::toupper(key.key))) + " " +
                store.Param(key.index).shown_name;
    }
    return text;
}

}  // namespace qxv::cli
