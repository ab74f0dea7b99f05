// The keys qxv preview steps parameters with, learnt from the registrations as everything
// else about the effect: every popup and checkbox the plug-in registered gets the first
// letter of its name that no window key and no earlier parameter has taken ("Invert" I,
// "Mask Only" M; a parameter whose letters are all taken gets none).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "hostsim/Params.h"

namespace qxv::cli {

struct ParamKey {
    char key;   // a lower-case letter
    int index;  // the parameter's index
};

// In index order; `taken` holds the window's own letter keys.
std::vector<ParamKey> AssignParamKeys(const hostsim::ParamStore& store, std::string_view taken);

// "V Vignette Type, I Invert, ..." with the names the effect controls show now.
std::string ParamKeysText(const std::vector<ParamKey>& keys, const hostsim::ParamStore& store);

}  // namespace qxv::cli
