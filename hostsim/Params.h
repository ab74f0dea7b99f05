// The parameters as the host knows them: what the plug-in registered through add_param,
// deep-copied (names, choice texts, ranges, defaults, flags, ids), their current values and
// their UI state (name shown, ui_flags) as PF_UpdateParamUI left it. The host knows nothing
// else about the effect's parameters: everything here was learnt from the plug-in.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
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

    // Sets a value from text in effect-control units (see ParseParamValue). On failure the value
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

// Parameter values from and to text, in the units of the effect controls, by what the
// plug-in registered:
//   float slider   a number within the valid range, in the unit its display_flags give
//   fixed slider   the same, stored as round(v x 65536)
//                  (PF_ValueDisplayFlag_PERCENT: percent, shown "25.0%" and read with or
//                  without the "%"; PF_ValueDisplayFlag_PIXEL: pixels, "400.0 px"; neither:
//                  a bare number), shown with the registered precision's decimal places
//   angle          degrees ("-30.5"), stored as round(v x 65536)
//   point          "x,y" in pixels, each stored as round(v x 65536)
//   color          "#rrggbb" or "r,g,b" (0-255), alpha 255
//   popup          a choice label (case-insensitive) or its 1-based number
//   checkbox       on/off, 1/0, true/false

// Parses `text` into `value` (the value fields only). On failure leaves `value` alone and
// fills `error` with one line, e.g. `"Opacity": "abc" is not a number from 0 to 100 (percent)`.
bool ParseParamValue(const RegisteredParam& param, std::string_view text, PF_ParamDefUnion& value,
                     std::string& error);

// The current value in the same units ("400.0", "25.0%", "30 deg", "3 (Multiply)"), for people.
std::string FormatParamValue(const RegisteredParam& param);
std::string FormatParamDefault(const RegisteredParam& param);

// The one switch on a parameter's type: calls `visit` with the member of `u` the type keeps its
// definition in (u.fs_d for a float slider, u.fd, u.ad, u.td, u.cd, u.pd, u.bd), or with the
// type itself for one whose value the host does not keep (a layer, or a type it does not know).
// `u` may be const or not; every layer that reads or writes values by type goes through here.
template <class Union, class Visitor>
decltype(auto) VisitParamUnion(PF_ParamType type, Union& u, Visitor&& visit) {
    switch (type) {
        case PF_Param_FLOAT_SLIDER: return visit(u.fs_d);
        case PF_Param_FIX_SLIDER: return visit(u.fd);
        case PF_Param_ANGLE: return visit(u.ad);
        case PF_Param_POINT: return visit(u.td);
        case PF_Param_COLOR: return visit(u.cd);
        case PF_Param_POPUP: return visit(u.pd);
        case PF_Param_CHECKBOX: return visit(u.bd);
        default: return visit(type);
    }
}

template <class Visitor>
decltype(auto) VisitParam(const RegisteredParam& param, Visitor&& visit) {
    return VisitParamUnion(param.def.param_type, param.def.u, std::forward<Visitor>(visit));
}

// One visitor from several lambdas, one per type: VisitParam(param, Overloaded{...}).
template <class... Lambdas>
struct Overloaded : Lambdas... {
    using Lambdas::operator()...;
};
template <class... Lambdas>
Overloaded(Lambdas...) -> Overloaded<Lambdas...>;

// The unit a slider's display_flags give its number: "percent", "pixels", or "" for none
// (and for every other type).
std::string SliderUnit(const RegisteredParam& param);

// The host's name of a parameter type: "PF_Param_POPUP".
std::string ParamTypeName(PF_ParamType type);

// A host places a point parameter's default in percent of the layer: a registered default of
// (50, 50) starts at the layer's centre. Hosts that know the frame size call this once the
// parameters are registered and before the user's values are applied.

// Every point not yet given a value (by ParamStore::Set or by the plug-in) becomes its
// default placed on a layer of width x height pixels, round(percent / 100 x length) in 16.16
// fixed; placed points keep their values. The one place our hosts do this.
void PlacePointDefaults(ParamStore& store, A_long width, A_long height);

// One point's default coordinate (16.16 percent) placed on a layer side of `length` pixels.
PF_Fixed PlacePointDefault(PF_Fixed percent, A_long length);

}  // namespace qxv::hostsim
