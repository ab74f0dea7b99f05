#!/usr/bin/env python3
"""Renders the sample frame through qx_vignette.so in the real programs that load frei0r
modules (FFmpeg, melt from the command line and from an MLT XML project, gst-launch-1.0) and
checks every frame against `qxv render` of the same values, byte for byte.

  real_hosts_test.py BUILD_DIR SAMPLE_PNG

The module and the plug-in are laid out in a scratch folder as the package installs them
(lib/frei0r-1/qx_vignette.so, lib/qx-vignette/QX_Vignette.so), so the module's search for the
plug-in beside its package folder is what the programs exercise. Exits 77 (skipped) when one
of the programs is missing, 1 on any difference.
"""
import os
import shutil
import sys
import tempfile

from program_run import lay_out_module, run

NAMES = ["Vignette Type", "Point of origin X", "Point of origin Y", "Width", "Height", "Angle", "Feather",
         "Fill with", "Color", "Opacity", "Blending mode", "Alpha falloff", "Invert", "Mask Only"]

# Values chosen as binary fractions so that fractions of the 960x540 frame are the same
# pixels, degrees and percent that qxv is given (no rounding in either direction).
BASE = {"Vignette Type": "Ellipse", "Point of origin X": 0.5, "Point of origin Y": 0.5, "Width": 0.3125,
        "Height": 0.375, "Angle": 0.0, "Feather": 0.125, "Fill with": "Color", "Color": (0.0, 0.0, 0.0),
        "Opacity": 0.25, "Blending mode": "Multiply", "Alpha falloff": "Linear", "Invert": False,
        "Mask Only": False}

CASES = [
    ("defaults", None),
    ("rectangle, 45 degrees", {"Vignette Type": "Rectangle", "Angle": 0.125, "Width": 0.5, "Point of origin X": 0.375}),
    ("transparent fill, Gaussian", {"Fill with": "Transparent", "Alpha falloff": "Gaussian", "Opacity": 0.75}),
    ("invert, Screen, blue", {"Invert": True, "Blending mode": "Screen", "Color": (0.2, 0.4, 1.0), "Opacity": 0.5}),
    ("mask only, Cubic", {"Mask Only": True, "Alpha falloff": "Cubic", "Height": 0.625}),
    ("ellipse turned, Overlay, Quadratic", {"Angle": 0.0625, "Blending mode": "Overlay", "Alpha falloff": "Quadratic",
                                            "Color": (1.0, 0.5, 0.0), "Opacity": 1.0}),
    ("rectangle, Soft light, Exponential", {"Vignette Type": "Rectangle", "Blending mode": "Soft light",
                                            "Alpha falloff": "Exponential", "Feather": 0.25, "Point of origin Y": 0.25}),
    ("Difference, Gamma 2.2, red", {"Blending mode": "Difference", "Alpha falloff": "Gamma 2.2",
                                    "Color": (1.0, 0.0, 0.0), "Opacity": 0.625}),
]

WIDTH, HEIGHT = 960, 540
# What the module's lengths are with nothing set: the effect's pixel defaults on 1920 x 1080
# (Width 300, Height 200, Feather 100) as fractions, the same in every host at every size.
DEFAULT_LENGTHS = [f"Width={300 / 1920 * WIDTH!r}", f"Height={200 / 1080 * HEIGHT!r}",
                   f"Feather={100 / 1920 * WIDTH!r}"]
FRAME_BYTES = WIDTH * HEIGHT * 4
failures = []


def values_of(changes):
    values = dict(BASE)
    values.update(changes or {})
    return values


def hex_color(rgb):
    return "#" + "".join(f"{round(c * 255):02x}" for c in rgb)


def qxv_sets(values):
    return [
        f"Vignette Type={values['Vignette Type']}",
        f"Point of origin={values['Point of origin X'] * WIDTH:g},{values['Point of origin Y'] * HEIGHT:g}",
        f"Width={values['Width'] * WIDTH:g}", f"Height={values['Height'] * HEIGHT:g}",
        f"Angle={values['Angle'] * 360:g}", f"Feather={values['Feather'] * WIDTH:g}",
        f"Fill with={values['Fill with']}", f"Color={hex_color(values['Color'])}",
        f"Opacity={values['Opacity'] * 100:g}", f"Blending mode={values['Blending mode']}",
        f"Alpha falloff={values['Alpha falloff']}", f"Invert={'on' if values['Invert'] else 'off'}",
        f"Mask Only={'on' if values['Mask Only'] else 'off'}",
    ]


def number(value):
    return "1" if value is True else "0" if value is False else f"{value:g}"


def ffmpeg_params(values):
    parts = []
    for name in NAMES:
        value = values[name]
        parts.append("/".join(f"{c:g}" for c in value) if isinstance(value, tuple)
                     else ("y" if value else "n") if isinstance(value, bool)
                     else value.replace(" ", "\\ ") if isinstance(value, str) else f"{value:g}")
    return "|".join(parts)


def melt_properties(values):
    props = []
    for index, name in enumerate(NAMES):
        value = values[name]
        props.append(f"{index}={hex_color(value) if isinstance(value, tuple) else number(value) if not isinstance(value, str) else value}")
    return props


def gst_properties(values):
    props = []
    for name in NAMES:
        prop = "".join(c.lower() if c.isalnum() else "-" for c in name)
        value = values[name]
        if isinstance(value, tuple):
            props += [f"{prop}-{channel}={c:g}" for channel, c in zip("rgb", value)]
        elif isinstance(value, bool):
            props.append(f"{prop}={'true' if value else 'false'}")
        elif isinstance(value, str):
            props.append(f'{prop}="{value}"')
        else:
            props.append(f"{prop}={value:g}")
    return props


def frames_of(path):
    data = open(path, "rb").read()
    if len(data) == 0 or len(data) % FRAME_BYTES:
        return None
    return [data[i:i + FRAME_BYTES] for i in range(0, len(data), FRAME_BYTES)]


def check(label, path, expected, stderr=b""):
    frames = frames_of(path)
    if frames is None:
        failures.append(f"{label}: no whole frame written\n{stderr.decode(errors='replace')[-2000:]}")
        print(f"FAIL {label}: no whole frame")
        return
    bad = [i for i, frame in enumerate(frames) if frame != expected]
    if bad:
        first = frames[bad[0]]
        diff = sum(1 for a, b in zip(first, expected) if a != b)
        failures.append(f"{label}: frames {bad} of {len(frames)} differ ({diff} bytes in the first)")
        print(f"FAIL {label}: frames {bad} of {len(frames)} differ ({diff} of {FRAME_BYTES} bytes in the first)")
    else:
        print(f"ok   {label}: {len(frames)} frame(s) identical")


def expect_message(label, stderr, needle):
    text = stderr.decode(errors="replace")
    if needle not in text:
        failures.append(f"{label}: stderr lacks {needle!r}:\n{text[-2000:]}")
        print(f"FAIL {label}: no message naming {needle!r}")
    else:
        line = next(l for l in text.splitlines() if needle in l)
        print(f"ok   {label}: said \"{line.strip()}\"")


def melt_xml(path, values, shotcut=False):
    """As Kdenlive saves it (parameters by name), or Shotcut (by index, in a shotcut tractor)."""
    props = "".join(f'      <property name="{index if shotcut else name}">{value.split("=", 1)[1]}</property>\n'
                    for index, (name, value) in enumerate(zip(NAMES, melt_properties(values))))
    tractor_props = '    <property name="shotcut">1</property>\n' if shotcut else ""
    open(path, "w").write(f"""<?xml version="1.0" encoding="utf-8"?>
<mlt LC_NUMERIC="C" version="7.12.0" producer="main_bin">
  <profile description="sample" width="{WIDTH}" height="{HEIGHT}" progressive="1" sample_aspect_num="1"
           sample_aspect_den="1" display_aspect_num="16" display_aspect_den="9" frame_rate_num="25"
           frame_rate_den="1" colorspace="709"/>
  <producer id="producer0" in="0" out="1">
    <property name="resource">{SAMPLE}</property>
    <property name="mlt_service">pixbuf</property>
  </producer>
  <playlist id="playlist0">
    <entry producer="producer0" in="0" out="1"/>
  </playlist>
  <tractor id="tractor0" in="0" out="1">
{tractor_props}    <track producer="playlist0"/>
    <filter id="filter0">
      <property name="mlt_service">frei0r.qx_vignette</property>
{props}    </filter>
  </tractor>
</mlt>
""")


def main():
    global SAMPLE
    build_dir, SAMPLE = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    for program in ("ffmpeg", "melt", "gst-launch-1.0"):
        if not shutil.which(program):
            print(f"{program} is not installed (scripts/deps.sh installs it)")
            return 77
    scratch = tempfile.mkdtemp(prefix="qxv-frei0r-")
    try:
        return run_all(build_dir, scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def run_all(build_dir, scratch):
    module_dir = lay_out_module(build_dir, scratch)
    env = dict(os.environ, FREI0R_PATH=module_dir, GST_REGISTRY=os.path.join(scratch, "gst-registry.bin"),
               HOME=scratch)
    qxv = os.path.join(build_dir, "qxv")
    input_raw = os.path.join(scratch, "meadow.bgra")
    run(["ffmpeg", "-v", "error", "-i", SAMPLE, "-f", "rawvideo", "-pix_fmt", "bgra", "-y", input_raw])
    profile = os.path.join(scratch, "profile")
    open(profile, "w").write(f"description=sample\nwidth={WIDTH}\nheight={HEIGHT}\nprogressive=1\nsample_aspect_num=1\nsample_aspect_den=1\n"
                             "display_aspect_num=16\ndisplay_aspect_den=9\nframe_rate_num=25\nframe_rate_den=1\n"
                             "colorspace=709\n")
    raw_out = ["f=rawvideo", "pix_fmt=bgra"]
    # The sample is read by MLT's pixbuf producer: left to choose, MLT tries its Qt image
    # producer first, which needs a display, and on a loaded machine the fallback after it
    # sometimes gives no frame at all (1 in 8 runs at once here).
    # melt's default consumer thread (real_time=1) drops frames it cannot make in time, and on a
    # loaded machine that can be every frame; real_time=0 renders each frame, on one thread.
    one_thread = ["real_time=0"]
    expected = {}
    for label, changes in CASES:
        out = os.path.join(scratch, "qxv.bgra")
        sets = [a for s in (DEFAULT_LENGTHS if changes is None else qxv_sets(values_of(changes))) for a in ("--set", s)]
        run([qxv, "render", "--raw", f"{WIDTH}x{HEIGHT}", "--format", "bgra8", *sets, input_raw, out])
        expected[label] = open(out, "rb").read()

    for label, changes in CASES:
        values = values_of(changes)
        out = os.path.join(scratch, "out.bgra")
        # FFmpeg: positional values; none at all leaves every default as it is.
        frei0r = "frei0r=filter_name=qx_vignette" + ("" if changes is None else ":filter_params=" + ffmpeg_params(values))
        result = run(["ffmpeg", "-v", "error", "-f", "rawvideo", "-pix_fmt", "bgra", "-s", f"{WIDTH}x{HEIGHT}",
                      "-i", input_raw, "-vf", frei0r, "-f", "rawvideo", "-pix_fmt", "bgra", "-y", out], env)
        check(f"ffmpeg   {label}", out, expected[label], result.stderr)
        # melt: properties by index, set again before every frame.
        props = [] if changes is None else melt_properties(values)
        result = run(["melt", "-silent", "-profile", profile, f"pixbuf:{SAMPLE}", "out=1", "-filter", "frei0r.qx_vignette", *props,
                      "-consumer", f"avformat:{out}", *raw_out, *one_thread], env)
        check(f"melt     {label}", out, expected[label], result.stderr)
        # gst-launch-1.0: properties named after the parameters.
        props = [] if changes is None else gst_properties(values)
        result = run(["gst-launch-1.0", "-q", "filesrc", f"location={SAMPLE}", "!", "pngdec", "!", "videoconvert", "!",
                      "video/x-raw,format=BGRA", "!", "frei0r-filter-qx-vignette", *props, "!", "filesink",
                      f"location={out}"], env)
        check(f"gst      {label}", out, expected[label], result.stderr)

    # An MLT XML project as Kdenlive and Shotcut save them, parameters by name.
    label, changes = CASES[3]
    project = os.path.join(scratch, "project.mlt")
    out = os.path.join(scratch, "out.bgra")
    melt_xml(project, values_of(changes))
    result = run(["melt", "-silent", project, "-consumer", f"avformat:{out}", *raw_out, *one_thread], env)
    check(f"melt xml {label}", out, expected[label], result.stderr)

    # Angles typed in degrees, which both editors save as turns with six significant digits
    # (-30 as -0.0833333, 29.999988 degrees), render at the angle typed.
    for degrees in (-30, 15, 90, 0.5):
        values = values_of({"Vignette Type": "Rectangle", "Width": 0.5, "Angle": degrees / 360})
        qxv_out = os.path.join(scratch, "qxv-angle.bgra")
        run([qxv, "render", "--raw", f"{WIDTH}x{HEIGHT}", "--format", "bgra8",
             *[a for s in qxv_sets(values) if not s.startswith("Angle=") for a in ("--set", s)],
             "--set", f"Angle={degrees}", input_raw, qxv_out])
        for editor in ("Kdenlive", "Shotcut"):
            melt_xml(project, values, shotcut=editor == "Shotcut")
            result = run(["melt", "-silent", project, "-consumer", f"avformat:{out}", *raw_out, *one_thread], env)
            check(f"melt xml {editor} Angle {degrees}° saved as {degrees / 360:g}", out, open(qxv_out, "rb").read(),
                  result.stderr)

    # Several instances updated in parallel give the frames of one thread.
    label, changes = CASES[1]
    result = run(["melt", "-silent", "-profile", profile, f"pixbuf:{SAMPLE}", "out=7", "-filter", "frei0r.qx_vignette",
                  *melt_properties(values_of(changes)), "-consumer", f"avformat:{out}", *raw_out, "real_time=-2"], env)
    check(f"melt real_time=-2 {label}", out, expected[label], result.stderr)

    # Bad values: a message, and the frame rendered with the values that were good.
    bad = ffmpeg_params(values_of(CASES[2][1])).split("|")
    bad[0] = "Hexagon"
    bad[3] = "nan"
    result = run(["ffmpeg", "-v", "error", "-f", "rawvideo", "-pix_fmt", "bgra", "-s", f"{WIDTH}x{HEIGHT}",
                  "-i", input_raw, "-vf", "frei0r=filter_name=qx_vignette:filter_params=" + "|".join(bad),
                  "-f", "rawvideo", "-pix_fmt", "bgra", "-y", out], env)
    expect_message("ffmpeg   bad label", result.stderr, "Hexagon")
    expect_message("ffmpeg   bad number", result.stderr, "nan")
    check("ffmpeg   bad values keep the good ones", out, expected_with_default_width(qxv, input_raw, scratch), result.stderr)

    props = melt_properties(values_of(CASES[2][1]))
    props[0], props[3] = "0=Hexagon", "3=nan"
    result = run(["melt", "-silent", "-profile", profile, f"pixbuf:{SAMPLE}", "out=1", "-filter", "frei0r.qx_vignette", *props,
                  "-consumer", f"avformat:{out}", *raw_out, *one_thread], env)
    expect_message("melt     bad label", result.stderr, "Hexagon")
    check("melt     bad values keep the good ones", out, expected_with_default_width(qxv, input_raw, scratch), result.stderr)

    props = [p for p in gst_properties(values_of(CASES[2][1])) if not p.startswith("vignette-type")]
    result = run(["gst-launch-1.0", "-q", "filesrc", f"location={SAMPLE}", "!", "pngdec", "!", "videoconvert", "!",
                  "video/x-raw,format=BGRA", "!", "frei0r-filter-qx-vignette", 'vignette-type="Hexagon"', *props,
                  "!", "filesink", f"location={out}"], env)
    expect_message("gst      bad label", result.stderr, "Hexagon")
    check("gst      bad label keeps the good value", out, expected[CASES[2][0]], result.stderr)

    print(f"{sum(1 for _ in failures)} failure(s)")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


def expected_with_default_width(qxv, input_raw, scratch):
    """The transparent-fill case with the Vignette Type and Width the effect starts with."""
    values = values_of(CASES[2][1])
    sets = [s for s in qxv_sets(values) if not s.startswith(("Width=", "Vignette Type="))] + DEFAULT_LENGTHS[:1]
    out = os.path.join(scratch, "qxv-bad.bgra")
    run([qxv, "render", "--raw", f"{WIDTH}x{HEIGHT}", "--format", "bgra8", *[a for s in sets for a in ("--set", s)],
         input_raw, out])
    return open(out, "rb").read()


if __name__ == "__main__":
    sys.exit(main())
