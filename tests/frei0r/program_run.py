"""Runs the programs the frei0r and editor tests drive (ffmpeg, melt, gst-launch-1.0, qxv),
collecting their output; a failure raises with the end of what the program said."""
import os
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
