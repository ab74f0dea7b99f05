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

// A pixel format code as hex and as its four characters: 0x61726762 'bgra'.
std::string PixelFormatName(PrPixelFormat format);

}  // namespace qxv::hostsim
