// Where the plug-in's hit test puts each of its ten overlay handles, found the way a user
// would: by clicking. The drawing gives each handle's place to within a pixel or two (the
// corner squares, feather circles, angle circle and opacity knob); clicks in a box around
// it give the set of window pixels that take the handle; the handle's hit point is the one
// candidate near the drawn place whose reach (city-block distance below 16, lower numbers
// winning) produces exactly that set. The host thus learns the positions from the plug-in's
// own answers rather than from a second copy of its geometry.
#pragma once

#include <vector>

#include "hostsim/EventSession.h"

namespace qxv::hostsim {

struct ProbedHandle {
    int number = 0;   // 1..10
    PF_Point point{};  // whole window pixels, as the hit test sees the handle
    bool probed = false;  // false: hidden under lower-numbered handles; `point` is where it is drawn
};

// Sends one draw event and many clicks through `session` (the parameters are not changed).
// Empty when the draw produced no handles to start from.
std::vector<ProbedHandle> ProbeHandles(EventSession& session, Host& host);

// The handle numbers' drawn places, from one draw event's strokes (empty if they are not all there).
std::vector<PF_Point> DrawnHandlePositions(const std::vector<RecordedStroke>& strokes);

}  // namespace qxv::hostsim
