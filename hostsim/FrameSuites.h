// Everything a host offers for rendering frames: the iterate suites, the world-transform
// suite and the utility `copy`. One call registers them all with a host.
#pragma once

namespace qxv::hostsim {

class Host;

void RegisterFrameSuites(Host& host);

}  // namespace qxv::hostsim
