#include "StandardSuites.h"

#include "AnsiSuite.h"
#include "CustomUISuites.h"
#include "DrawbotSuites.h"
#include "FrameSuites.h"
#include "Host.h"
#include "ParamUtilsSuite.h"
#include "PixelFormatSuite.h"

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
