// qxv preview: a live window that plays the host for the effect.
#pragma once

#include <string>
#include <vector>

namespace qxv::cli {

int RunPreview(const std::vector<std::string>& args);

}  // namespace qxv::cli
