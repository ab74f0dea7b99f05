#!/usr/bin/env python3
"""Sets every string property of a playing frei0r-filter-qx-vignette element, as Pitivi's
effect panel does on every keystroke, and checks each following frame against `qxv render`
of the last good values.

  gst_live_properties_test.py BUILD_DIR

GStreamer hands a running element's string property to the module as the char* itself, not as
the pointer to it that the frei0r header (and GStreamer at construction) use: the module must
read the form its caller uses, keep rendering the last good value for text that names no choice
(an empty box, a half-typed label, garbage) and never crash, while reading the property back
answers the text as set, so that a box rewritten from it after each keystroke can be typed in. Needs Debian's python3-gi and the GStreamer
typelibs; exits 77 (skipped) without them.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import gi
    gi.require_version("Gst", "1.0")
    gi.require_version("GstApp", "1.0")
    from gi.repository import Gst, GstApp  # noqa: F401 (GstApp gives appsrc/appsink their methods)
except (ImportError, ValueError) as missing:
    print(f"GStreamer's Python bindings are missing ({missing}): apt-get install python3-gi gir1.2-gst-plugins-base-1.0")
    sys.exit(77)

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from program_run import lay_out_module  # noqa: E402

WIDTH, HEIGHT = 64, 48
# The module's lengths never set are fractions of 1920 x 1080 (Width 300, Height 200, Feather 100).
LENGTHS = {"Width": 300 / 1920 * WIDTH, "Height": 200 / 1080 * HEIGHT, "Feather": 100 / 1920 * WIDTH}
CHOICES = ["Vignette Type", "Fill with", "Blending mode", "Alpha falloff"]


def choices_of(qxv):
    info = json.loads(subprocess.run([qxv, "info", "--json"], check=True, capture_output=True).stdout)
    params = {p["name"]: p for p in info["params"]}
    return {name: params[name]["choices"] for name in CHOICES}


def input_frame():
    pixels = bytearray()
    for y in range(HEIGHT):
        for x in range(WIDTH):
            pixels += bytes(((x * 37 + y * 11) % 256, (x * 5 + y * 29) % 256, (x * y) % 256, 255))
    return bytes(pixels)


class Expected:
    """qxv render of the frame with the given choices, rendered once per set of values."""

    def __init__(self, qxv, scratch, frame):
        self.qxv, self.scratch, self.cache = qxv, scratch, {}
        self.input = os.path.join(scratch, "in.bgra")
        open(self.input, "wb").write(frame)

    def __call__(self, state):
        key = tuple(sorted(state.items()))
        if key not in self.cache:
            out = os.path.join(self.scratch, "expected.bgra")
            sets = [f"{name}={value!r}" for name, value in LENGTHS.items()] + [f"{n}={v}" for n, v in key]
            subprocess.run([self.qxv, "render", "--raw", f"{WIDTH}x{HEIGHT}", "--format", "bgra8",
                            *[a for s in sets for a in ("--set", s)], self.input, out], check=True)
            self.cache[key] = open(out, "rb").read()
        return self.cache[key]


def run(build_dir, scratch):
    module_dir = lay_out_module(build_dir, scratch)
    os.environ.update(FREI0R_PATH=module_dir, GST_REGISTRY=os.path.join(scratch, "registry.bin"))
    Gst.init(None)
    qxv = os.path.join(build_dir, "qxv")
    choices = choices_of(qxv)
    frame = input_frame()
    expected = Expected(qxv, scratch, frame)

    pipeline = Gst.parse_launch(
        f"appsrc name=src format=time caps=video/x-raw,format=BGRA,width={WIDTH},height={HEIGHT},framerate=25/1 "
        "! frei0r-filter-qx-vignette name=fx ! appsink name=sink sync=false")
    source, effect, sink = (pipeline.get_by_name(n) for n in ("src", "fx", "sink"))
    # Set before the first frame: handed over at construction, as a pointer to the char*.
    state = {"Vignette Type": "Rectangle", "Fill with": "Color", "Blending mode": "Screen", "Alpha falloff": "Cubic"}
    for name, value in state.items():
        effect.set_property(prop(name), value)
    pipeline.set_state(Gst.State.PLAYING)

    failures = []
    frames = 0

    def push_and_check(what):
        nonlocal frames
        buffer = Gst.Buffer.new_wrapped(frame)
        buffer.pts = frames * Gst.SECOND // 25
        buffer.duration = Gst.SECOND // 25
        if source.emit("push-buffer", buffer) != Gst.FlowReturn.OK:
            failures.append(f"{what}: the pipeline refused a frame")
            return
        sample = sink.emit("try-pull-sample", 10 * Gst.SECOND)
        frames += 1
        if sample is None:
            failures.append(f"{what}: no frame came out")
            return
        ok, info = sample.get_buffer().map(Gst.MapFlags.READ)
        got = bytes(info.data)
        sample.get_buffer().unmap(info)
        if got != expected(state):
            failures.append(f"{what}: the frame differs from qxv render of {state}")

    def check_read_back(name, text):
        answered = effect.get_property(prop(name))
        if answered != text:
            failures.append(f"{prop(name)}: set {text!r}, read back {answered!r}")
        return answered

    push_and_check("first frame")
    for name in CHOICES:
        labels = choices[name]
        tries = [(label, label) for label in labels] + [(str(i + 1), labels[i]) for i in range(len(labels))]
        tries += [(labels[-1].upper(), labels[-1]), ("", None), (labels[0][:2], None), ("#~garbage~#", None),
                  (str(len(labels) + 1), None), ("0", None)]
        for text, meaning in tries:
            effect.set_property(prop(name), text)  # on a running element: the char* itself
            if meaning is not None:
                state[name] = meaning
            check_read_back(name, text)
            push_and_check(f"{prop(name)}={text!r}")

    # Typing as Pitivi does: each keystroke sets the box's text, then the box is rewritten with
    # what the element answers, and the next keystroke adds to that.
    for name, typed in (("Blending mode", ["", *"soft LIGHT"]), ("Vignette Type", ["", "2", "\b", " ", "1"]),
                        ("Alpha falloff", ["", *"Gamma 2.2"])):
        box = effect.get_property(prop(name))
        for key in typed:
            box = "" if key == "" else box[:-1] if key == "\b" else box + key
            effect.set_property(prop(name), box)
            state[name] = meaning_of(box, choices[name]) or state[name]
            box = check_read_back(name, box)
            push_and_check(f"typing {prop(name)}={box!r}")

    # Short texts set thousands of times: every answer and every message holds only what was
    # set; a text's own bytes are never followed as if they were a pointer to another text.
    shorts = ["", " ", "0", "x", "Screen", "7"]
    with stderr_to(os.path.join(scratch, "said.txt")) as said:
        for turn in range(3000):
            text = shorts[turn % len(shorts)]
            effect.set_property(prop("Blending mode"), text)
            if effect.get_property(prop("Blending mode")) != text:
                failures.append(f"blending-mode={text!r} read back {effect.get_property(prop('Blending mode'))!r}")
                break
    quoted = set(re.findall(r'"Blending mode": "(.*?)" is not one of', said.read()))
    if not quoted or quoted - set(shorts):
        failures.append(f"the module quoted texts nobody set: {sorted(quoted - set(shorts))} (quoted: {sorted(quoted)})")
    state["Blending mode"] = meaning_of(shorts[-1], choices["Blending mode"])
    push_and_check("after 3000 short texts")

    # Stopped and played again, the element fills a new instance from its texts: where one names
    # no choice (Fill with "0", Blending mode "Scr") the frames go on with the last valid one,
    # and the box still shows the text.
    effect.set_property(prop("Blending mode"), "Scr")
    pipeline.set_state(Gst.State.NULL)
    pipeline.set_state(Gst.State.PLAYING)
    check_read_back("Blending mode", "Scr")
    push_and_check("played again after blending-mode='Scr'")
    effect.set_property(prop("Blending mode"), "Scre en")
    effect.set_property(prop("Blending mode"), "screen")
    state["Blending mode"] = "Screen"
    push_and_check("blending-mode='screen' after playing again")

    source.emit("end-of-stream")
    message = pipeline.get_bus().timed_pop_filtered(30 * Gst.SECOND, Gst.MessageType.EOS | Gst.MessageType.ERROR)
    if message is None or message.type != Gst.MessageType.EOS:
        failures.append("the pipeline did not reach the end of the stream"
                        + (f": {message.parse_error()[0].message}" if message else ""))
    pipeline.set_state(Gst.State.NULL)

    print(f"{frames} frames, {len(expected.cache)} sets of values, {len(failures)} failure(s)")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


class stderr_to:
    """Standard error of this process (where the module writes) into a file while in the block;
    `read()` gives what was written."""

    def __init__(self, path):
        self.path = path

    def __enter__(self):
        sys.stderr.flush()
        self.saved = os.dup(2)
        with open(self.path, "wb") as file:
            os.dup2(file.fileno(), 2)
        return self

    def __exit__(self, *unused):
        os.dup2(self.saved, 2)
        os.close(self.saved)

    def read(self):
        return open(self.path, encoding="utf-8", errors="replace").read()


def meaning_of(text, labels):
    """The label a text names (any case, spaces around ignored) or its number, else None."""
    wanted = text.strip().lower()
    for index, label in enumerate(labels):
        if wanted in (label.lower(), str(index + 1)):
            return label
    return None


def prop(name):
    return "".join(c.lower() if c.isalnum() else "-" for c in name)


def main():
    scratch = tempfile.mkdtemp(prefix="qxv-gst-live-")
    try:
        return run(os.path.abspath(sys.argv[1]), scratch)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
