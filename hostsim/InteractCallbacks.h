// in_data->inter: add_param into the host's parameter store, register_ui, abort and progress.
#pragma once

#include "AE_Effect.h"

namespace qxv::hostsim {

PF_InteractCallbacks MakeInteractCallbacks();

}  // namespace qxv::hostsim
