#!/usr/bin/env python3
"""Compares a frame rendered by the Linux plug-in with the same frame rendered by the .aex
under wine, both Netpbm PAM or both raw streams.

  compare-frames.py exact LINUX WINDOWS       every byte equal
  compare-frames.py last-unit LINUX WINDOWS   PAM samples equal or one unit apart: allowed only
                                              for frames whose maths calls cos, sin or pow, which
                                              the two C runtimes round differently in the last bit

Prints one line saying what it found; exits 1 when the frames differ beyond what is allowed.
"""
import sys


def pam(data):
    end = data.find(b"ENDHDR\n")
    if not data.startswith(b"P7\n") or end < 0:
        return None, data
    fields = dict(line.split(b" ", 1) for line in data[3:end].split(b"\n") if b" " in line)
    return int(fields[b"MAXVAL"]), data[end + len(b"ENDHDR\n"):]


def samples(maxval, raster):
    if maxval > 255:
        return [raster[i] << 8 | raster[i + 1] for i in range(0, len(raster), 2)]
    return raster


def main():
    kind, linux_path, windows_path = sys.argv[1:4]
    linux = open(linux_path, "rb").read()
    windows = open(windows_path, "rb").read()
    name = windows_path.rsplit("/", 1)[-1]
    if linux == windows:
        print(f"  {name}: identical ({len(linux)} bytes)")
        return 0
    linux_max, linux_raster = pam(linux)
    windows_max, windows_raster = pam(windows)
    if kind != "last-unit" or linux_max is None or linux_max != windows_max or len(linux_raster) != len(windows_raster):
        print(f"  {name}: DIFFERS and must be identical")
        return 1
    a, b = samples(linux_max, linux_raster), samples(windows_max, windows_raster)
    differing = [abs(x - y) for x, y in zip(a, b) if x != y]
    if max(differing) > 1:
        print(f"  {name}: DIFFERS by up to {max(differing)} units in {len(differing)} of {len(a)} samples")
        return 1
    print(f"  {name}: {len(differing)} of {len(a)} samples one unit apart "
          "(allowed: cos/sin/pow round differently in the last bit on the two runtimes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
