// The parameters as the host knows them: what the plug-in registered through add_param,
// deep-copied (names, choice texts, ranges, defaults, flags, ids), their current values and
// their UI state (name shown, ui_flags) as PF_UpdateParamUI left it. The host knows nothing
// else about the effect's parameters: everything here was learnt from the plug-in.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "AE_Effect.h"

namespace qxv::hostsim {

struct RegisteredParam {
    PF_ParamDef def{};  // as registered, with the current value; its pointer fields are null
    std::string registered_name;
    std::string shown_name;             // what the effect controls show now
    std::string choice_text;            // popup: the whole '|'-separated text as given
    std::vector<std::string> choices;   // popup: the first num_choices names, as offered
    std::string checkbox_text;          // checkbox: the text beside the box
    bool point_placed = false;          // point: its value is in layer pixels, no longer the default's percent
};

class ParamArray;

class ParamStore {
public:
    void Clear();

    // add_param: index -1 appends; an explicit index must be the next free one. Returns
    // PF_Err_NONE, or an error with `problem` saying why the definition was refused.
    PF_Err Add(PF_ParamIndex index, const PF_ParamDef& def, std::string& problem);

    int count() const { return static_cast<int>(params_.size()); }  // without the input layer
    const RegisteredParam& Param(int index) const { return params_.at(index - 1); }  // 1..count
    RegisteredParam& Param(int index) { return params_.at(index - 1); }

    // Index of the parameter registered or shown under `name` (case-insensitive), 0 if none.
    int IndexOf(std::string_view name) const;

    // Sets a value from text in effect-control units (see ParamParse.h). On failure the value
    // is unchanged and `error` names the parameter and the accepted form.
    bool Set(std::string_view name, std::string_view text, std::string& error);
    // The same by index (1..count), as a saved project or preset refers to a parameter.
    bool Set(int index, std::string_view text, std::string& error);

    // PF_UpdateParamUI: the name and ui_flags of the definition become what the host shows.
    void ApplyUIUpdate(int index, const PF_ParamDef& def);

    // Values the plug-in wrote into a command's array and marked PF_ChangeFlag_CHANGED_VALUE
    // become the current values. Returns the indices taken.
    std::vector<int> AcceptChangedValues(const ParamArray& array);

private:
    std::vector<RegisteredParam> params_;
};

// The PF_ParamDef* array handed to the plug-in with one command: index 0 is the input layer
// (`u.ld` is a copy of the world given, or empty), 1..count copies of the stored definitions
// with their text pointers aimed at the store's strings and uu.change_flags cleared, as the
// host does outside PARAMS_SETUP. Each record lives in an allocation of its own, of exactly
// the shipping size, so that a plug-in reading or writing past one is caught under
// AddressSanitizer. The store must outlive the array.
class ParamArray {
public:
    ParamArray(const ParamStore& store, const PF_LayerDef* input);
    ParamArray(const ParamArray&) = delete;
    ParamArray& operator=(const ParamArray&) = delete;

    PF_ParamDef** data() { return pointers_.data(); }
    PF_ParamDef& operator[](int index) { return *defs_.at(index); }
    const PF_ParamDef& operator[](int index) const { return *defs_.at(index); }
    int size() const { return static_cast<int>(defs_.size()); }

private:
    std::vector<std::unique_ptr<PF_ParamDef>> defs_;
    std::vector<PF_ParamDef*> pointers_;
};

}  // namespace qxv::hostsim
