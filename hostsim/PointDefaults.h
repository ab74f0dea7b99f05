// A host places a point parameter's default in percent of the layer: a registered default of
// (50, 50) starts at the layer's centre. Hosts that know the frame size call this once the
// parameters are registered and before the user's values are applied.
#pragma once

#include "AE_Effect.h"
#include "hostsim/ParamStore.h"

namespace qxv::hostsim {

// Every point not yet given a value (by ParamStore::Set or by the plug-in) becomes its
// default placed on a layer of width x height pixels, round(percent / 100 x length) in 16.16
// fixed; placed points keep their values. The one place our hosts do this.
void PlacePointDefaults(ParamStore& store, A_long width, A_long height);

// One point's default coordinate (16.16 percent) placed on a layer side of `length` pixels.
PF_Fixed PlacePointDefault(PF_Fixed percent, A_long length);

}  // namespace qxv::hostsim
