// The effect's controls as a video editor's panel offers them, learnt from the frei0r module
// the editor renders with: names, types and defaults through the frei0r calls MLT makes, the
// choices, ranges and units from what the plug-in registered behind the module. Nothing here
// is written down twice: a control the plug-in gains or renames changes every description.
#pragma once

#include <string>
#include <vector>

namespace qxv::editors {

enum class ControlKind { kChoice, kNumber, kColor, kSwitch };

struct Control {
    int index = 0;                  // frei0r index: Shotcut's property name
    std::string name;               // frei0r name: Kdenlive's property name
    ControlKind kind = ControlKind::kNumber;
    std::string label;              // what the panel shows
    std::string default_value;      // as MLT takes it: the shortest text that reads back exactly
    // Numbers: the panel shows frei0r value x factor in `suffix` units, from min to max.
    double factor = 1;
    double min = 0;
    double max = 1;
    int decimals = 0;
    std::string suffix;
    bool keyframes = false;         // the control may change over time (MLT animates doubles)
    std::vector<std::string> choices;  // as registered, in order; a frei0r value is one of them
};

struct Effect {
    std::string name;          // the module's name, "QX Vignette"
    std::string author;
    std::string service;       // MLT service, "frei0r.qx_vignette"
    std::string description;   // what the effect does, for a user choosing it
    std::string version;       // "1.3"
    std::vector<Control> controls;  // in frei0r index order
};

// Reads the effect from the module linked into this program. On failure returns false and
// says why in `error`.
bool LearnEffect(Effect& effect, std::string& error);

std::string KdenliveXml(const Effect& effect);
std::string ShotcutMeta(const Effect& effect);
std::string ShotcutUi(const Effect& effect);
std::string ShotcutVui(const Effect& effect);  // throws when a control the handles drive is missing

}  // namespace qxv::editors
