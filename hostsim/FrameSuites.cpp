#include "FrameSuites.h"

#include "IterateSuites.h"
#include "WorldTransformSuite.h"

namespace qxv::hostsim {

void RegisterFrameSuites(Host& host) {
    RegisterIterateSuites(host);
    RegisterWorldTransformSuite(host);
}

}  // namespace qxv::hostsim
