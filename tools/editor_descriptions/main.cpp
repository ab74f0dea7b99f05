// qxv_editor_descriptions OUTPUT_DIR: writes what Kdenlive and Shotcut need to offer the
// effect, learnt from the frei0r module built beside this program:
//   OUTPUT_DIR/kdenlive/frei0r_qx_vignette.xml
//   OUTPUT_DIR/shotcut/qx_vignette/meta.qml, ui.qml, vui.qml
// Exits non-zero, writing nothing, when the module cannot be read or a control cannot be
// described.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "Controls.h"

namespace fs = std::filesystem;

namespace {

bool Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    const fs::path partial = path.string() + ".partial";
    {
        std::ofstream file(partial, std::ios::binary);
        file << text;
        if (!file.flush()) return false;
    }
    fs::rename(partial, path);
    return true;
}

// Kdenlive splits a list's values at ';' and its shown names at ','.
bool LabelsFit(const qxv::editors::Effect& effect, std::string& error) {
    for (const auto& control : effect.controls) {
        for (const std::string& choice : control.choices) {
            if (choice.find_first_of(";,") != std::string::npos) {
                error = "\"" + control.name + "\": the choice \"" + choice + "\" holds ';' or ',', which Kdenlive cannot list";
                return false;
            }
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        qxv::editors::Effect effect;
        std::string error;
        if (!qxv::editors::LearnEffect(effect, error) || !LabelsFit(effect, error)) {
            std::fprintf(stderr, "qxv_editor_descriptions: %s\n", error.c_str());
            return 1;
        }
        const fs::path out = argv[1];
        if (!Write(out / "kdenlive" / "frei0r_qx_vignette.xml", qxv::editors::KdenliveXml(effect)) ||
            !Write(out / "shotcut" / "qx_vignette" / "meta.qml", qxv::editors::ShotcutMeta(effect)) ||
            !Write(out / "shotcut" / "qx_vignette" / "ui.qml", qxv::editors::ShotcutUi(effect)) ||
            !Write(out / "shotcut" / "qx_vignette" / "vui.qml", qxv::editors::ShotcutVui(effect))) {
            std::fprintf(stderr, "qxv_editor_descriptions: cannot write under %s\n", argv[1]);
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qxv_editor_descriptions: %s\n", e.what());
        return 1;
    }
    return 0;
}
