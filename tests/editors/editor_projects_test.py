#!/usr/bin/env python3
"""Renders MLT XML projects as Kdenlive and Shotcut save them, with the filter as their panels
set it up (every default the generated descriptions write, then non-default choices, a colour
and a keyframed number), through melt, and checks every frame against `qxv render` of the
values at that frame, byte for byte.

  editor_projects_test.py BUILD_DIR SAMPLE_PNG

Kdenlive names the frei0r parameters, Shotcut numbers them; both write keyframes as
"time=value;...". The keyframes run over binary fractions so that every frame's interpolated
value is exact. Exits 77 when melt is missing, 1 on any difference.
"""
import os
import re
import shutil
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "frei0r"))
from program_run import lay_out_module, run  # noqa: E402

WIDTH, HEIGHT, FRAMES = 960, 540, 5
FRAME_BYTES = WIDTH * HEIGHT * 4

# frei0r value -> qxv --set text, by parameter name.
TO_QXV = {
    "Point of origin X": None, "Point of origin Y": None,  # one point, joined below
    "Width": lambda v: repr(float(v) * WIDTH), "Height": lambda v: repr(float(v) * HEIGHT),
    "Feather": lambda v: repr(float(v) * WIDTH), "Angle": lambda v: repr(float(v) * 360),
    "Opacity": lambda v: repr(float(v) * 100),
    "Invert": lambda v: "on" if float(v) >= 0.5 else "off", "Mask Only": lambda v: "on" if float(v) >= 0.5 else "off",
}

KDENLIVE_CHANGES = {"Vignette Type": "Rectangle", "Blending mode": "Screen", "Alpha falloff": "Gaussian",
                    "Color": "#3366ff", "Invert": "1", "Width": [0.25, 0.5]}
SHOTCUT_CHANGES = {"Blending mode": "Overlay", "Alpha falloff": "Cubic", "Fill with": "Transparent",
                   "Angle": "0.125", "Opacity": [0.25, 0.75]}


def keyframes(values):
    """First value at frame 0, last at frame FRAMES - 1, as both editors write times (25 fps)."""
    return ";".join(f"00:00:00.{i * (FRAMES - 1) * 40:03d}={v!r}" for i, v in enumerate(values))


def at_frame(value, frame):
    if not isinstance(value, list):
        return value
    first, last = value
    return repr(first + (last - first) * frame / (FRAMES - 1))


def qxv_sets(values):
    sets = [f"Point of origin={float(values['Point of origin X']) * WIDTH!r},{float(values['Point of origin Y']) * HEIGHT!r}"]
    for name, value in values.items():
        if name.startswith("Point of origin"):
            continue
        sets.append(f"{name}={TO_QXV[name](value) if name in TO_QXV else value}")
    return [a for s in sets for a in ("--set", s)]


def project(path, sample, properties, shotcut):
    props = "".join(f'      <property name="{n}">{v}</property>\n' for n, v in properties)
    tractor_props = '    <property name="shotcut">1</property>\n' if shotcut else ""
    open(path, "w").write(f"""<?xml version="1.0" encoding="utf-8"?>
<mlt LC_NUMERIC="C" version="7.12.0" producer="main_bin">
  <profile description="sample" width="{WIDTH}" height="{HEIGHT}" progressive="1" sample_aspect_num="1"
           sample_aspect_den="1" display_aspect_num="16" display_aspect_den="9" frame_rate_num="25"
           frame_rate_den="1" colorspace="709"/>
  <producer id="producer0" in="0" out="{FRAMES - 1}">
    <property name="resource">{sample}</property>
    <property name="mlt_service">pixbuf</property>
    <filter id="filter0">
      <property name="mlt_service">frei0r.qx_vignette</property>
{props}    </filter>
  </producer>
  <playlist id="playlist0">
    <entry producer="producer0" in="0" out="{FRAMES - 1}"/>
  </playlist>
  <tractor id="tractor0" in="0" out="{FRAMES - 1}">
{tractor_props}    <track producer="playlist0"/>
  </tractor>
</mlt>
""")


def main():
    build_dir, sample = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    if not shutil.which("melt") or not shutil.which("ffmpeg"):
        print("melt or ffmpeg is not installed (scripts/deps.sh installs them)")
        return 77
    editors = os.path.join(build_dir, "editors")
    # The defaults as each panel writes them into a new filter.
    kdenlive = {p.get("name"): p.get("default")
                for p in ET.parse(os.path.join(editors, "kdenlive", "frei0r_qx_vignette.xml")).getroot().iter("parameter")}
    ui = open(os.path.join(editors, "shotcut", "qx_vignette", "ui.qml")).read()
    isnew = ui.split("if (filter.isNew) {", 1)[1].split("}", 1)[0]
    shotcut = [v for _, v in re.findall(r"filter\.set\('(\d+)', '([^']*)'\)", isnew)]
    names = list(kdenlive)  # frei0r index order
    if len(shotcut) != len(names):
        print(f"FAIL the Shotcut panel sets {len(shotcut)} defaults, Kdenlive's {len(names)}")
        return 1

    scratch = tempfile.mkdtemp(prefix="qxv-editors-")
    try:
        module_dir = lay_out_module(build_dir, scratch)
        env = dict(os.environ, FREI0R_PATH=module_dir, HOME=scratch)
        frame_in = os.path.join(scratch, "in.bgra")
        run(["ffmpeg", "-v", "error", "-i", sample, "-f", "rawvideo", "-pix_fmt", "bgra", "-y", frame_in])
        failures = 0
        for label, defaults, changes, shotcut_style in (
                ("Kdenlive", dict(zip(names, kdenlive.values())), KDENLIVE_CHANGES, False),
                ("Shotcut", dict(zip(names, shotcut)), SHOTCUT_CHANGES, True)):
            values = dict(defaults, **changes)
            properties = [(str(i) if shotcut_style else name,
                           keyframes(values[name]) if isinstance(values[name], list) else values[name])
                          for i, name in enumerate(names)]
            path, out = os.path.join(scratch, f"{label}.mlt"), os.path.join(scratch, f"{label}.bgra")
            project(path, sample, properties, shotcut_style)
            result = run(["melt", "-silent", path, "-consumer", f"avformat:{out}", "f=rawvideo", "pix_fmt=bgra",
                          "real_time=0"], env)
            rendered = open(out, "rb").read()
            if len(rendered) != FRAMES * FRAME_BYTES:
                print(f"FAIL {label}: {len(rendered)} bytes, not {FRAMES} frames\n{result.stderr.decode(errors='replace')[-2000:]}")
                failures += 1
                continue
            for frame in range(FRAMES):
                expected = os.path.join(scratch, "qxv.bgra")
                run([build_dir + "/qxv", "render", "--raw", f"{WIDTH}x{HEIGHT}", "--format", "bgra8",
                     *qxv_sets({n: at_frame(v, frame) for n, v in values.items()}), frame_in, expected])
                same = rendered[frame * FRAME_BYTES:(frame + 1) * FRAME_BYTES] == open(expected, "rb").read()
                print(f"{'ok  ' if same else 'FAIL'} {label} project, frame {frame}")
                failures += not same
        return 1 if failures else 0
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
