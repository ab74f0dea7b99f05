// The host reads our records at fixed offsets; these pin the x64 layout documented for the host.
#include "AE_Effect.h"
#include "AE_EffectCB.h"
#include "AE_EffectUI.h"
#include "AE_EffectSuites.h"
#include "AE_EffectPixelFormat.h"
#include "SPBasic.h"
#include "DrawbotSuite.h"
#include <cstddef>
static_assert(sizeof(PF_InteractCallbacks)==176, "host record layout");
static_assert(offsetof(PF_InData,pica_basicP)==384, "host record layout");
static_assert(sizeof(PF_InData)==408, "host record layout");
static_assert(offsetof(PF_OutData,return_msg)==100, "host record layout");
static_assert(offsetof(PF_OutData,out_flags2)==400, "host record layout");
static_assert(sizeof(PF_LayerDef)==120, "host record layout");
static_assert(offsetof(PF_ParamDef,u)==56, "host record layout");
static_assert(offsetof(PF_EventExtra,cbs)==128, "host record layout");
static_assert(offsetof(PF_DoClickEventInfo,send_drag)==56, "host record layout");
static_assert(offsetof(PF_CheckBoxDef,u)==8, "host record layout");
static_assert(offsetof(PF_PopupDef,u)==8, "host record layout");
static_assert(offsetof(PF_Context,w_type)==4, "host record layout");
static_assert(offsetof(PF_UtilCallbacks,ansi)==208, "host record layout");
static_assert(offsetof(PF_UtilCallbacks,copy)==64, "host record layout");
static_assert(sizeof(PF_ANSICallbacks)==160, "host record layout");
static_assert(PrPixelFormat_BGRA_4444_8u==0x61726762u && PrPixelFormat_BGRA_4444_32f==0x61724742u, "host record layout");

