// "PF Effect Custom UI Suite" 1 (the window's drawing reference) and "PF Effect Custom UI
// Overlay Theme Suite" 1 (the host's own overlay style: colours, widths, and strokes drawn
// in that style with an optional drop shadow), both recording into the session's
// DrawbotRecorder. Entries answer to the failure rules under their own names.
#pragma once

namespace qxv::hostsim {

class Host;

void RegisterCustomUISuites(Host& host);

}  // namespace qxv::hostsim
