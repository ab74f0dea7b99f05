// On its own, apart from the suites: the overlay geometry asks which host is calling and
// needs nothing else of the host.
//
// Which host is calling. Premiere Pro identifies itself by the application id 'PrMr'; every
// other id is treated as After Effects.
#pragma once

#include "AE_Effect.h"

namespace qxv {

constexpr A_long kApplIdPremierePro = 0x50724D72;  // 'PrMr'

inline bool IsPremierePro(const PF_InData* in_data) { return in_data->appl_id == kApplIdPremierePro; }

}  // namespace qxv
