// Every command the entry point routes, declared in one place; each is defined in the folder
// of its topic (entry, params, overlay, render). Exceptions they let through are caught in
// EntryPointFunc, never by the host.
#pragma once

#include "AE_Effect.h"
#include "AE_EffectUI.h"

namespace qxv {

// PF_Cmd_GLOBAL_SETUP: reports version and capabilities; in Premiere Pro also registers the
// two BGRA pixel formats the render path handles.
PF_Err GlobalSetup(PF_InData* in_data, PF_OutData* out_data);

// PF_Cmd_ABOUT: the effect's name, version and a line of description.
PF_Err About(PF_InData* in_data, PF_OutData* out_data);

// PF_Cmd_PARAMS_SETUP: defines the thirteen parameters and registers the overlay for the
// composition and layer windows.
PF_Err ParamsSetup(PF_InData* in_data, PF_OutData* out_data);

// PF_Cmd_UPDATE_PARAMS_UI: while "Mask Only" is on, "Blending mode" and "Opacity" are greyed
// out and relabelled, since neither applies to the bare mask.
PF_Err UpdateParamsUI(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[]);

// PF_Cmd_EVENT: draw events go to the overlay drawing; a click picks a handle and the drag
// events that follow change the parameters it drives. Only the composition and layer
// windows are served. Which handle is held travels in the click data's continue_refcon,
// which the host carries from the click to the drags; nothing is kept here between events.
// Returns PF_Err_NONE. Every event the overlay acts on holds one SuiteCache for the
// command, so it needs the host's basic suite; a suite the host cannot supply throws
// PF_Err, and a pen or path the Drawbot supplier cannot make or give back throws
// DRAWBOT_Exception. output is not used.
PF_Err HandleOverlayEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                          PF_EventExtra* extra);

// PF_Cmd_RENDER: resolves the parameters once into a RenderContext, then copies the input
// (opacity 0) or shades every output pixel in the host's pixel format. params[0] is the
// input layer. A suite the SuiteCache cannot get is thrown as PF_Err_BAD_CALLBACK_PARAM,
// after the suites taken so far have been released; the entry point turns it into the
// command's result. Every other failure is returned.
PF_Err Render(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output);

}  // namespace qxv
