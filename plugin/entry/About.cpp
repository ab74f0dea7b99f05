#include "entry/About.h"

#include "host/SuiteCache.h"
#include "params/StringTable.h"
#include "resources/EffectIdentity.h"

namespace qxv {

PF_Err About(PF_InData* in_data, PF_OutData* out_data) {
    SuiteCache suites(in_data, out_data);
    // '\r' is the host's line break in this dialog.
    suites.ANSISuite()->sprintf(out_data->return_msg, "%s v%d.%d\r%s", StringTableText(StrID_Name), kMajorVersion,
                                kMinorVersion, StringTableText(StrID_Description));
    return PF_Err_NONE;
}

}  // namespace qxv
