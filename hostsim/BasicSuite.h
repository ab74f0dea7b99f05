// The basic suite (pica_basicP): AcquireSuite and ReleaseSuite against the current host's
// registry, with accounting, tracing and failure injection.
#pragma once

#include "SPBasic.h"

namespace qxv::hostsim {

SPBasicSuite MakeBasicSuite();

}  // namespace qxv::hostsim
