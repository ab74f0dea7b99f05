#include "hostsim/InteractCallbacks.h"

#include <cstring>
#include <string>

#include "hostsim/Host.h"
#include "hostsim/Params.h"
#include "hostsim/ShippingLayouts.h"

namespace qxv::hostsim {

namespace {

std::string DefinitionText(const PF_ParamDef* def) {
    if (!def) return "null definition";
    return QuoteText(std::string(def->name, strnlen(def->name, sizeof def->name)).c_str()) + " " +
           ParamTypeName(def->param_type) + " id " + std::to_string(def->uu.id);
}

PF_Err AddParam(PF_ProgPtr effect_ref, PF_ParamIndex index, PF_ParamDefPtr def) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    std::string detail = "index " + std::to_string(index) + ", " + DefinitionText(def);
    PF_Err err = host->CheckFailure("add_param");
    if (err) {
        detail += " (injected)";
    } else if (!def) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else {
        std::string problem;
        err = host->params().Add(index, ReadParamDef(def), problem);
        if (err) {
            detail += ": " + problem;
            host->AddViolation("add_param refused " + DefinitionText(def) + ": " + problem);
        }
    }
    host->Trace("add_param", detail, err);
    return err;
}

PF_Err RegisterUI(PF_ProgPtr effect_ref, PF_CustomUIInfo* info) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_CustomUIInfo read = info ? ReadCustomUIInfo(info) : PF_CustomUIInfo{};
    std::string detail = info ? "events " + std::to_string(read.events) : "null record";
    PF_Err err = host->CheckFailure("register_ui");
    if (err) {
        detail += " (injected)";
    } else if (!info) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else {
        // A shipping host takes this as success and shows the overlay nowhere.
        if ((read.events & (PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER | PF_CustomEFlag_EFFECT)) == 0) {
            host->AddViolation("register_ui names no window in events (" + std::to_string(read.events) +
                               " at offset 4, reserved " + std::to_string(read.reserved) +
                               "): the custom UI would appear nowhere");
        }
        host->RecordRegisterUI(read);
    }
    host->Trace("register_ui", detail, err);
    return err;
}

PF_Err Abort(PF_ProgPtr effect_ref) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = host->CheckFailure("abort");
    host->Trace("abort", "", err);
    return err;
}

PF_Err Progress(PF_ProgPtr effect_ref, A_long current, A_long total) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    PF_Err err = host->CheckFailure("progress");
    host->Trace("progress", std::to_string(current) + " of " + std::to_string(total), err);
    return err;
}

}  // namespace

PF_InteractCallbacks MakeInteractCallbacks() {
    PF_InteractCallbacks inter{};
    inter.add_param = AddParam;
    inter.register_ui = RegisterUI;
    inter.abort = Abort;
    inter.progress = Progress;
    return inter;
}

}  // namespace qxv::hostsim
