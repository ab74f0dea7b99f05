#include "hostsim/StandardSuites.h"

#include "hostsim/AnsiSuite.h"
#include "hostsim/CustomUISuites.h"
#include "hostsim/DrawbotSuites.h"
#include "hostsim/FrameSuites.h"
#include "hostsim/Host.h"
#include "hostsim/ParamUtilsSuite.h"
#include "hostsim/PixelFormatSuite.h"

namespace qxv::hostsim {

void RegisterStandardSuites(Host& host) {
    RegisterAnsiSuite(host);
    RegisterParamUtilsSuite(host);
    RegisterPixelFormatSuite(host);
    RegisterFrameSuites(host);
    RegisterCustomUISuites(host);
    RegisterDrawbotSuites(host);
}

}  // namespace qxv::hostsim
