// The fixed input frame of the golden frames, one per pixel layout: every channel of every
// pixel drawn from an integer hash of its place, so neighbours differ, every comparison of
// source against fill goes both ways, and the extremes (0 and full scale) occur in every
// channel. Float frames also carry values a little below 0 and above 1, which float BGRA
// passes through unlimited. Integer arithmetic and one division per sample: the same bits
// on every platform.
#pragma once

#include "hostsim/World.h"

namespace qxv::golden_tests {

void FillGoldenInput(hostsim::World& world);

}  // namespace qxv::golden_tests
