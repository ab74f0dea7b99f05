// Temporary entry point until the command dispatch lands.
#include "AE_Effect.h"

extern "C" DllExport PF_Err EntryPointFunc(PF_Cmd, PF_InData*, PF_OutData*, PF_ParamDef*[], PF_LayerDef*, void*) {
    return PF_Err_NONE;
}
