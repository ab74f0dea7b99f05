// The parameter values and host factors the overlay works from. Nothing is kept between
// events: every draw, click and drag reads them afresh from the host's records.
#pragma once

#include "AE_Effect.h"

namespace qxv {

struct OverlayParams {
    A_long vignette_type;    // 1 Ellipse, 2 Rectangle
    PF_FixedPoint origin;    // Point of origin, 16.16 layer coordinates
    double width, height;    // layer pixels
    PF_Fixed angle;          // degrees, 16.16
    double feather;          // square pixels
    PF_Fixed opacity;        // percent, 16.16
};

OverlayParams ReadOverlayParams(PF_ParamDef* params[]);

// Degrees to radians in double precision, then held in single precision: every overlay
// routine works from this same float.
float AngleRadians(PF_Fixed degrees);

// The pixel aspect ratio num / den, and its inverse den / num, each as a single-precision
// quotient of the two single-precision terms.
float PixelAspect(const PF_InData* in_data);
float InversePixelAspect(const PF_InData* in_data);

}  // namespace qxv
