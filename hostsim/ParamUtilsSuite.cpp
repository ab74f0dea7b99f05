#include "hostsim/ParamUtilsSuite.h"

#include <cstring>
#include <string>

#include "hostsim/Host.h"
#include "hostsim/ShippingLayouts.h"

namespace qxv::hostsim {

namespace {

PF_Err UpdateParamUI(PF_ProgPtr effect_ref, PF_ParamIndex param_index, const PF_ParamDef* defP) {
    Host* host = Host::FromEffectRef(effect_ref);
    if (!host) return PF_Err_BAD_CALLBACK_PARAM;
    const PF_ParamDef def = defP ? ReadParamDef(defP) : PF_ParamDef{};
    std::string detail = "index " + std::to_string(param_index);
    if (defP) {
        char flags[16];
        std::snprintf(flags, sizeof flags, "0x%X", static_cast<unsigned>(def.ui_flags));
        detail += ", name " + QuoteText(std::string(def.name, strnlen(def.name, sizeof def.name)).c_str()) +
                  ", ui_flags " + flags;
    }
    PF_Err err = host->CheckFailure("PF_UpdateParamUI");
    if (err) {
        detail += " (injected)";
    } else if (!defP) {
        err = PF_Err_BAD_CALLBACK_PARAM;
    } else if (param_index < 1 || param_index > host->params().count()) {
        err = PF_Err_INVALID_INDEX;
    } else {
        ParamUIUpdate update;
        update.index = param_index;
        update.def = def;
        update.name.assign(def.name, strnlen(def.name, sizeof def.name));
        host->params().ApplyUIUpdate(param_index, def);
        host->RecordParamUIUpdate(std::move(update));
    }
    host->Trace("PF_UpdateParamUI", detail, err);
    return err;
}

// Keyframe access is outside what the simulated host models; a plug-in that asks is told so.
PF_Err NotProvided(const char* name) {
    if (Host* host = Host::Current()) host->Trace(name, "not provided by the simulated host", PF_Err_BAD_CALLBACK_PARAM);
    return PF_Err_BAD_CALLBACK_PARAM;
}

PF_Err GetCurrentState(PF_ProgPtr, PF_ParamIndex, const A_Time*, const A_Time*, PF_State*) {
    return NotProvided("PF_GetCurrentState");
}
PF_Err AreStatesIdentical(PF_ProgPtr, const PF_State*, const PF_State*, A_Boolean*) {
    return NotProvided("PF_AreStatesIdentical");
}
PF_Err IsIdenticalCheckout(PF_ProgPtr, PF_ParamIndex, A_long, A_long, A_u_long, A_long, A_long, A_u_long,
                           PF_Boolean*) {
    return NotProvided("PF_IsIdenticalCheckout");
}
PF_Err FindKeyframeTime(PF_ProgPtr, PF_ParamIndex, A_long, A_u_long, PF_TimeDir, PF_Boolean*, PF_KeyIndex*, A_long*,
                        A_u_long*) {
    return NotProvided("PF_FindKeyframeTime");
}
PF_Err GetKeyframeCount(PF_ProgPtr, PF_ParamIndex, PF_KeyIndex*) { return NotProvided("PF_GetKeyframeCount"); }
PF_Err CheckoutKeyframe(PF_ProgPtr, PF_ParamIndex, PF_KeyIndex, A_long*, A_u_long*, PF_ParamDef*) {
    return NotProvided("PF_CheckoutKeyframe");
}
PF_Err CheckinKeyframe(PF_ProgPtr, PF_ParamDef*) { return NotProvided("PF_CheckinKeyframe"); }
PF_Err KeyIndexToTime(PF_ProgPtr, PF_ParamIndex, PF_KeyIndex, A_long*, A_u_long*) {
    return NotProvided("PF_KeyIndexToTime");
}

}  // namespace

const PF_ParamUtilsSuite3 kParamUtilsSuite3 = {UpdateParamUI,    GetCurrentState,  AreStatesIdentical,
                                               IsIdenticalCheckout, FindKeyframeTime, GetKeyframeCount,
                                               CheckoutKeyframe, CheckinKeyframe,  KeyIndexToTime};

void RegisterParamUtilsSuite(Host& host) {
    host.RegisterSuite(kPFParamUtilsSuite, kPFParamUtilsSuiteVersion3, &kParamUtilsSuite3);
}

}  // namespace qxv::hostsim
