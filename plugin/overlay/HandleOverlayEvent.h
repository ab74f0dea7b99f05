// PF_Cmd_EVENT: draw events go to the overlay drawing; a click picks a handle and the drag
// events that follow change the parameters it drives. Only the composition and layer
// windows are served. Which handle is held travels in the click data's continue_refcon,
// which the host carries from the click to the drags; nothing is kept here between events.
#pragma once

#include "AE_EffectUI.h"

namespace qxv {

// Returns PF_Err_NONE. Every event the overlay acts on holds one SuiteCache for the
// command, so it needs the host's basic suite; a suite the host cannot supply throws
// PF_Err, and a pen or path the Drawbot supplier cannot make or give back throws
// DRAWBOT_Exception. output is not used.
PF_Err HandleOverlayEvent(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef* output,
                          PF_EventExtra* extra);

// PF_Event_DO_CLICK: on a hit the event is marked handled; a miss leaves it as it came.
void HandleOverlayClick(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_EventExtra* extra);

// PF_Event_DRAG: applies the drag of the held handle (1-10) and marks the event handled;
// any other handle number leaves the event untouched.
void HandleOverlayDrag(PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_EventExtra* extra);

}  // namespace qxv
