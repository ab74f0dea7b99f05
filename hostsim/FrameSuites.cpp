#include "hostsim/FrameSuites.h"

#include "hostsim/IterateSuites.h"
#include "hostsim/WorldTransformSuite.h"

namespace qxv::hostsim {

void RegisterFrameSuites(Host& host) {
    RegisterIterateSuites(host);
    RegisterWorldTransformSuite(host);
}

}  // namespace qxv::hostsim
