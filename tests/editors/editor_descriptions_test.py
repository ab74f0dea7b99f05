#!/usr/bin/env python3
"""Checks the generated Kdenlive and Shotcut descriptions against what the built module tells a
frei0r host (loaded here with ctypes, as MLT loads it): every parameter under its name or index
with the control its type needs, every choice offered, files that parse.

  editor_descriptions_test.py BUILD_DIR
"""
import ctypes
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

STRING, DOUBLE, COLOR, BOOL = 4, 1, 2, 0


class PluginInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("author", ctypes.c_char_p), ("plugin_type", ctypes.c_int),
                ("color_model", ctypes.c_int), ("frei0r_version", ctypes.c_int), ("major_version", ctypes.c_int),
                ("minor_version", ctypes.c_int), ("num_params", ctypes.c_int), ("explanation", ctypes.c_char_p)]


class ParamInfo(ctypes.Structure):
    _fields_ = [("name", ctypes.c_char_p), ("type", ctypes.c_int), ("explanation", ctypes.c_char_p)]


def module_params(build_dir):
    """(name, type, choices) in index order; a choice's labels from its explanation, "A, B (or 1 to 2)"."""
    module = ctypes.CDLL(os.path.join(build_dir, "qx_vignette.so"))
    module.f0r_init()
    info = PluginInfo()
    module.f0r_get_plugin_info(ctypes.byref(info))
    params = []
    for i in range(info.num_params):
        p = ParamInfo()
        module.f0r_get_param_info(ctypes.byref(p), i)
        choices = p.explanation.decode().rsplit(" (or 1 to", 1)[0].split(", ") if p.type == STRING else []
        params.append((p.name.decode(), p.type, choices))
    return params


def main():
    build_dir = os.path.abspath(sys.argv[1])
    editors = os.path.join(build_dir, "editors")
    params = module_params(build_dir)
    problems = []

    # Kdenlive: a parameter per frei0r name, of the kind its type needs, lists holding every label.
    effect = ET.parse(os.path.join(editors, "kdenlive", "frei0r_qx_vignette.xml")).getroot()
    if effect.get("tag") != "frei0r.qx_vignette" or effect.get("id") != "frei0r.qx_vignette":
        problems.append(f"kdenlive: effect tag/id {effect.get('tag')}/{effect.get('id')}")
    described = {p.get("name"): p for p in effect.findall("parameter")}
    kinds = {STRING: {"list"}, DOUBLE: {"animated", "constant"}, COLOR: {"color"}, BOOL: {"bool"}}
    for name, kind, choices in params:
        p = described.pop(name, None)
        if p is None or p.get("type") not in kinds[kind]:
            problems.append(f"kdenlive: {name!r} missing or of type {None if p is None else p.get('type')}")
        elif choices and (p.get("paramlist").split(";") != choices or
                          p.find("paramlistdisplay").text.split(",") != choices):
            problems.append(f"kdenlive: {name!r} lists {p.get('paramlist')!r}, the module offers {choices}")
    problems += [f"kdenlive: {name!r} is no module parameter" for name in described]

    # Shotcut: every index set by the panel and in its preset, every label in a combo box, the
    # doubles and only they keyframed.
    folder = os.path.join(editors, "shotcut", "qx_vignette")
    meta = open(os.path.join(folder, "meta.qml")).read()
    ui = open(os.path.join(folder, "ui.qml")).read()
    for text, file in ((meta, "meta.qml"), (ui, "ui.qml")):
        if text.count("{") != text.count("}") or text.count("[") != text.count("]"):
            problems.append(f"shotcut: {file}: unbalanced brackets")
    preset = re.search(r"parameters: \[([^\]]*)\]", ui.split("Shotcut.Preset", 1)[1]).group(1)
    if preset != ", ".join(f"'{i}'" for i in range(len(params))):
        problems.append(f"shotcut: the preset holds [{preset}]")
    for index, (name, kind, choices) in enumerate(params):
        if f"filter.set('{index}', " not in ui:
            problems.append(f"shotcut: ui.qml never sets {name!r} ('{index}')")
        if choices and f"model: [{', '.join(repr(c) for c in choices)}]" not in ui:
            problems.append(f"shotcut: no combo box offers {choices}")
    # The handles: meta.qml names vui.qml, which gives each value they drive its index.
    vui = open(os.path.join(folder, "vui.qml")).read()
    if "vui: 'vui.qml'" not in meta or not os.path.exists(os.path.join(folder, "VignetteVui.qml")):
        problems.append("shotcut: meta.qml names no vui.qml, or VignetteVui.qml is not beside it")
    names = [name for name, _, _ in params]
    for role, name in (("typeProperty", "Vignette Type"), ("xProperty", "Point of origin X"),
                       ("widthProperty", "Width"), ("angleProperty", "Angle"), ("opacityProperty", "Opacity")):
        if f"{role}: '{names.index(name)}'" not in vui:
            problems.append(f"shotcut: vui.qml does not give {role} the index of {name!r}")
    keyframed = re.search(r"simpleProperties: \[([^\]]*)\]", meta).group(1)
    doubles = [f"'{i}'" for i, (_, kind, _) in enumerate(params) if kind == DOUBLE]
    if keyframed != ", ".join(doubles):
        problems.append(f"shotcut: keyframes for [{keyframed}], doubles are {doubles}")

    # qmllint (qtdeclarative5-dev-tools), where installed, for what the brackets cannot tell.
    qmllint = shutil.which("qmllint") or shutil.which("/usr/lib/qt5/bin/qmllint")
    if qmllint:
        qml_files = sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".qml"))
        result = subprocess.run([qmllint, *qml_files],
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        if result.returncode:
            problems.append("shotcut: qmllint:\n" + result.stdout.decode(errors="replace"))

    for problem in problems:
        print("FAIL", problem)
    print(f"{len(params)} parameters; {len(problems)} problem(s){'' if qmllint else ' (no qmllint: brackets only)'}")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
