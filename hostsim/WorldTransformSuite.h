// "PF World Transform Suite" 1 `copy` and `copy_hq`, and the utility callback `copy` of
// PF_UtilCallbacks: the host copies a frame row by row with memcpy, which is as fast as a
// frame can be produced and is what an effect falls back on when it has nothing to do.
// Null rectangles mean the whole world; rectangles of different sizes (a scaling copy) are not
// offered and answer PF_Err_BAD_CALLBACK_PARAM. The other entries of the suite are not
// offered either.
#pragma once

#include "AE_EffectCB.h"
#include "AE_EffectSuites.h"

namespace qxv::hostsim {

class Host;

extern const PF_WorldTransformSuite1 kWorldTransformSuite1;
void RegisterWorldTransformSuite(Host& host);

// The `copy` of PF_UtilCallbacks (Premiere Pro's effects copy through it).
PF_Err UtilsCopy(PF_ProgPtr effect_ref, PF_EffectWorld* src, PF_EffectWorld* dst, PF_Rect* src_r, PF_Rect* dst_r);

// Bytes per pixel of a world the host handed out: by its Premiere pixel format when the host
// set one, else 8 for a deep world and 4 otherwise.
A_long WorldPixelBytes(const Host& host, const PF_EffectWorld& world);

}  // namespace qxv::hostsim
