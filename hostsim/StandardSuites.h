// The suites every simulated host offers. RegisterStandardSuites is the single list of
// them: support for more suites (frames and iteration, windows and Drawbot) adds one line
// there, calling its own Register...() function.
#pragma once

namespace qxv::hostsim {

class Host;

void RegisterStandardSuites(Host& host);

}  // namespace qxv::hostsim
