"""Runs the programs the frei0r and editor tests drive (ffmpeg, melt, gst-launch-1.0, qxv),
collecting their output; a failure raises with the end of what the program said. Lays the
module out as the package installs it."""
import os
import shutil
import subprocess


def run(command, env=None, expect_ok=True):
    written = next((a.split(":", 1)[1] for a in command if a.startswith("avformat:")), None)
    if command[0] == "melt" and written and os.path.exists(written):
        os.remove(written)  # what an earlier program wrote there must not pass for melt's frames
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    if command[0] == "melt" and written and not (os.path.exists(written) and os.path.getsize(written)):
        # On a loaded machine melt now and then exits at once having written nothing, and says
        # nothing (1 in 20 runs at once here, with or without this module): once more.
        print(f"note: melt wrote nothing to {os.path.basename(written)}; running it again")
        result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=120)
    if expect_ok and result.returncode != 0:
        raise RuntimeError(f"{command[0]} failed ({result.returncode}):\n{result.stderr.decode(errors='replace')[-3000:]}")
    return result


def lay_out_module(build_dir, scratch):
    """The module and the plug-in under SCRATCH as the package lays them out (lib/frei0r-1,
    lib/qx-vignette), so the module's search for the plug-in beside its package folder is what
    the programs exercise. Returns the module's folder, for FREI0R_PATH."""
    module_dir = os.path.join(scratch, "lib", "frei0r-1")
    os.makedirs(module_dir)
    os.makedirs(os.path.join(scratch, "lib", "qx-vignette"))
    shutil.copy(os.path.join(build_dir, "qx_vignette.so"), module_dir)
    shutil.copy(os.path.join(build_dir, "QX_Vignette.so"), os.path.join(scratch, "lib", "qx-vignette"))
    return module_dir
