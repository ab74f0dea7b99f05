// "PF Pixel Format Suite" 1 (Premiere Pro): ClearSupportedPixelFormats and
// AddSupportedPixelFormat are recorded in order; GetPixelFormat answers the format the host
// set for the world (Host::SetWorldPixelFormat); the remaining entries answer an error.
#pragma once

#include <string>

#include "AE_EffectPixelFormat.h"

namespace qxv::hostsim {

class Host;

extern const PF_PixelFormatSuite1 kPixelFormatSuite1;
void RegisterPixelFormatSuite(Host& host);

// "bgra" / "BGra" style text of a four-character pixel format code.
std::string PixelFormatName(PrPixelFormat format);

}  // namespace qxv::hostsim
