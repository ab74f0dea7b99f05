// frei0r.h declares the module's C entry points without extern "C"; every file here takes it
// through this header so that the definitions in Frei0rEntryPoints.cpp get C linkage.
#pragma once

extern "C" {
#include <frei0r.h>
}
