#include "hostsim/ParamStore.h"

#include <cctype>
#include <cstring>

#include "hostsim/ParamParse.h"
#include "hostsim/ShippingLayouts.h"

namespace qxv::hostsim {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The host keeps its own copies of the texts; the definition it stores points at nothing.
void ClearTextPointers(PF_ParamDef& def) {
    if (def.param_type == PF_Param_POPUP) def.u.pd.u.namesptr = nullptr;
    if (def.param_type == PF_Param_CHECKBOX) def.u.bd.u.nameptr = nullptr;
}

std::vector<std::string> SplitChoices(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t bar = text.find('|', start);
        if (bar == std::string::npos) bar = text.size();
        names.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
    return names;
}

}  // namespace

void ParamStore::Clear() { params_.clear(); }

PF_Err ParamStore::Add(PF_ParamIndex index, const PF_ParamDef& def, std::string& problem) {
    if (index != -1 && index != count() + 1) {
        problem = "index " + std::to_string(index) + " is neither -1 nor the next free index " +
                  std::to_string(count() + 1);
        return PF_Err_INVALID_INDEX;
    }
    std::size_t name_length = strnlen(def.name, sizeof def.name);
    if (name_length == sizeof def.name) {
        problem = "the name is not terminated within its 32 bytes";
        return PF_Err_BAD_CALLBACK_PARAM;
    }

    RegisteredParam param;
    param.def = def;
    param.registered_name.assign(def.name, name_length);
    param.shown_name = param.registered_name;

    if (def.param_type == PF_Param_POPUP) {
        if (!def.u.pd.u.namesptr) {
            problem = "popup without choice text";
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        param.choice_text = def.u.pd.u.namesptr;
        std::vector<std::string> names = SplitChoices(param.choice_text);
        int offered = def.u.pd.num_choices;
        if (offered < 1 || offered > static_cast<int>(names.size())) {
            problem = "popup registers " + std::to_string(offered) + " choices but its text holds " +
                      std::to_string(names.size());
            return PF_Err_BAD_CALLBACK_PARAM;
        }
        // The host offers the first num_choices names; whatever the text holds beyond is unseen.
        param.choices.assign(names.begin(), names.begin() + offered);
    } else if (def.param_type == PF_Param_CHECKBOX && def.u.bd.u.nameptr) {
        param.checkbox_text = def.u.bd.u.nameptr;
    }
    ClearTextPointers(param.def);
    params_.push_back(std::move(param));
    return PF_Err_NONE;
}

int ParamStore::IndexOf(std::string_view name) const {
    for (int i = 0; i < count(); ++i) {
        if (SameNameIgnoringCase(params_[i].registered_name, name) || SameNameIgnoringCase(params_[i].shown_name, name)) {
            return i + 1;
        }
    }
    return 0;
}

bool ParamStore::Set(std::string_view name, std::string_view text, std::string& error) {
    int index = IndexOf(name);
    if (index == 0) {
        error = "no parameter named \"" + std::string(name) + "\"; the effect has:";
        for (const auto& param : params_) error += " \"" + param.registered_name + "\"";
        return false;
    }
    return Set(index, text, error);
}

bool ParamStore::Set(int index, std::string_view text, std::string& error) {
    if (index < 1 || index > count()) {
        error = "no parameter at index " + std::to_string(index) + "; the effect registered " +
                std::to_string(count());
        return false;
    }
    RegisteredParam& param = Param(index);
    if (!ParseParamValue(param, text, param.def.u, error)) return false;
    param.point_placed = true;
    return true;
}

void ParamStore::ApplyUIUpdate(int index, const PF_ParamDef& def) {
    RegisteredParam& param = Param(index);
    param.shown_name.assign(def.name, strnlen(def.name, sizeof def.name));
    param.def.ui_flags = def.ui_flags;
}

std::vector<int> ParamStore::AcceptChangedValues(const ParamArray& array) {
    std::vector<int> changed;
    for (int i = 1; i < array.size() && i <= count(); ++i) {
        if (array[i].uu.change_flags & PF_ChangeFlag_CHANGED_VALUE) {
            params_[i - 1].def.u = array[i].u;
            ClearTextPointers(params_[i - 1].def);
            params_[i - 1].point_placed = true;
            changed.push_back(i);
        }
    }
    return changed;
}

ParamArray::ParamArray(const ParamStore& store, const PF_LayerDef* input) {
    for (int i = 0; i <= store.count(); ++i) defs_.push_back(MakeShippingRecord<PF_ParamDef, kShippingParamDefSize>());
    defs_[0]->param_type = PF_Param_LAYER;
    if (input) defs_[0]->u.ld = *input;
    for (int i = 1; i <= store.count(); ++i) {
        const RegisteredParam& param = store.Param(i);
        PF_ParamDef& def = *defs_[i];
        def = param.def;
        def.uu.change_flags = PF_ChangeFlag_NONE;
        std::memset(def.name, 0, sizeof def.name);
        std::strncpy(def.name, param.shown_name.c_str(), sizeof def.name - 1);
        if (def.param_type == PF_Param_POPUP) def.u.pd.u.namesptr = param.choice_text.c_str();
        if (def.param_type == PF_Param_CHECKBOX) def.u.bd.u.nameptr = param.checkbox_text.c_str();
    }
    for (auto& def : defs_) pointers_.push_back(def.get());
}

}  // namespace qxv::hostsim
