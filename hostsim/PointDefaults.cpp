#include "hostsim/PointDefaults.h"

#include <cmath>

namespace qxv::hostsim {

PF_Fixed PlacePointDefault(PF_Fixed percent, A_long length) {
    return static_cast<PF_Fixed>(std::lround(percent / 100.0 * length));
}

void PlacePointDefaults(ParamStore& store, A_long width, A_long height) {
    for (int index = 1; index <= store.count(); ++index) {
        RegisteredParam& param = store.Param(index);
        PF_ParamDef& def = param.def;
        if (def.param_type != PF_Param_POINT || param.point_placed) continue;
        def.u.td.x_value = PlacePointDefault(def.u.td.x_dephault, width);
        def.u.td.y_value = PlacePointDefault(def.u.td.y_dephault, height);
        param.point_placed = true;
    }
}

}  // namespace qxv::hostsim
