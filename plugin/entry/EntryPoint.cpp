// The one function the host calls. Every command is routed from here, and nothing thrown
// below may cross back into the host: this is the last place to stop it.
#include <new>

#include "AE_Effect.h"
#include "AE_EffectUI.h"
#include "entry/Commands.h"
#include "overlay/DrawbotOwners.h"
#include "params/ParamIndex.h"

namespace qxv {
namespace {

// Handlers read every parameter record; a host always sends all of them.
bool HasAllParams(PF_ParamDef* params[]) {
    if (!params) return false;
    for (int index = 0; index < kParamCount; ++index) {
        if (!params[index]) return false;
    }
    return true;
}

bool CanDefineParams(const PF_InData* in_data) {
    return in_data->utils && in_data->utils->ansi.strcpy && in_data->inter.add_param && in_data->inter.register_ui;
}

PF_Err Dispatch(A_u_long cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[],
                PF_LayerDef* output, void* extra) {
    switch (cmd) {
        case PF_Cmd_ABOUT:
        case PF_Cmd_GLOBAL_SETUP:
        case PF_Cmd_PARAMS_SETUP:
        case PF_Cmd_RENDER:
        case PF_Cmd_UPDATE_PARAMS_UI:
        case PF_Cmd_EVENT:
            break;
        default:
            return PF_Err_NONE;  // nothing to do, and nothing is touched
    }
    // A host always passes these records; refuse rather than crash if one is missing.
    if (!in_data || !out_data) return PF_Err_BAD_CALLBACK_PARAM;
    switch (cmd) {
        case PF_Cmd_ABOUT:
            return About(in_data, out_data);
        case PF_Cmd_GLOBAL_SETUP:
            return GlobalSetup(in_data, out_data);
        case PF_Cmd_PARAMS_SETUP:
            if (!CanDefineParams(in_data)) return PF_Err_BAD_CALLBACK_PARAM;
            return ParamsSetup(in_data, out_data);
        case PF_Cmd_RENDER:
            if (!HasAllParams(params) || !output) return PF_Err_BAD_CALLBACK_PARAM;
            return Render(in_data, out_data, params, output);
        case PF_Cmd_UPDATE_PARAMS_UI:
            if (!HasAllParams(params) || !in_data->utils || !in_data->utils->ansi.strcpy) {
                return PF_Err_BAD_CALLBACK_PARAM;
            }
            return UpdateParamsUI(in_data, out_data, params);
        case PF_Cmd_EVENT:
            if (!HasAllParams(params) || !extra) return PF_Err_BAD_CALLBACK_PARAM;
            return HandleOverlayEvent(in_data, out_data, params, output, static_cast<PF_EventExtra*>(extra));
        default:
            return PF_Err_NONE;
    }
}

}  // namespace
}  // namespace qxv

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data,
                                           PF_ParamDef* params[], PF_LayerDef* output, void* extra) {
    try {
        return qxv::Dispatch(static_cast<A_u_long>(cmd), in_data, out_data, params, output, extra);
    } catch (PF_Err err) {
        return err;  // a suite the host could not supply
    } catch (const qxv::DRAWBOT_Exception& e) {
        // A pen or path the host would not make or take back: its own code, not a generic one,
        // so that the host's log names what failed.
        return e.GetErr();
    } catch (const std::bad_alloc&) {
        return PF_Err_OUT_OF_MEMORY;
    } catch (...) {
        // Nothing else is thrown on purpose; should anything be, the command fails and the
        // host lives on.
        return PF_Err_INTERNAL_STRUCT_DAMAGED;
    }
}
