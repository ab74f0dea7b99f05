#include "hostsim/ShippingLayouts.h"

#include <cstring>

namespace qxv::hostsim {

PF_CustomUIInfo ReadCustomUIInfo(const void* record) {
    A_long fields[kShippingCustomUIInfoSize / sizeof(A_long)];
    std::memcpy(fields, record, sizeof fields);
    PF_CustomUIInfo info{};
    info.reserved = fields[0];
    info.events = fields[1];
    info.comp_ui_width = fields[2];
    info.comp_ui_height = fields[3];
    info.comp_ui_alignment = fields[4];
    info.layer_ui_width = fields[5];
    info.layer_ui_height = fields[6];
    info.layer_ui_alignment = fields[7];
    info.preview_ui_width = fields[8];
    info.preview_ui_height = fields[9];
    info.preview_ui_alignment = fields[10];
    return info;
}

PF_ParamDef ReadParamDef(const void* record) {
    static_assert(sizeof(PF_ParamDef) >= kShippingParamDefSize, "a definition must hold what a host reads");
    PF_ParamDef def{};
    std::memcpy(&def, record, kShippingParamDefSize);
    return def;
}

}  // namespace qxv::hostsim
