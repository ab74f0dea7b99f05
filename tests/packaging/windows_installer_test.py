#!/usr/bin/env python3
"""The Windows setup program under wine, each case in a wine prefix of its own.

  windows_installer_test.py LINUX_BUILD_DIR SAMPLE_PNG

LINUX_BUILD_DIR is build/linux, whose windows/ sub-build has made the setup program (target
"installer"). The cases: After Effects versions in the registry, two sharing one common
plug-in folder and one with its own (one copy of the built .aex visible to each; the
uninstall entry; the installed qxv.exe renders a PNG as the Linux qxv does; a silent
uninstall leaves no file and no key); an upgrade over a setup of a lower version; no After
Effects at all (Adobe's common folder, made and removed again; a running AfterFX.exe is
warned about); /PLUGINDIR= and /D= from a batch file; a folder that cannot be written (the message, exit code 2, nothing left).
Exits 77 without wine or makensis.
"""
import hashlib
import os
import pathlib
import re
import shutil
import subprocess
import sys
import time

SOURCE = pathlib.Path(__file__).resolve().parents[2]
UNINSTALL_KEY = r"Software\Microsoft\Windows\CurrentVersion\Uninstall\QX Vignette"
PROGRAM_DIR = "Program Files/QX Vignette"
FALLBACK_DIR = "Program Files/Adobe/Common/Plug-ins/7.0/MediaCore"
EXIT_CANNOT_WRITE = 2


def fail(message):
    print(f"FAILED: {message}", file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


class Prefix:
    """A wine prefix for one case: the base prefix's files hard-linked (wine never writes into
    the files a fresh prefix has; it replaces the registry files whole, and those are copied)."""

    def __init__(self, base, path):
        if path.exists():
            shutil.rmtree(path)
        subprocess.run(["cp", "-al", str(base), str(path)], check=True)
        for hive in base.glob("*.reg"):
            (path / hive.name).unlink()
            shutil.copy2(hive, path / hive.name)
        self.path = path
        self.drive = path / "drive_c"
        self.drives = {"c": self.drive}
        self.env = dict(os.environ, WINEPREFIX=str(path), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("DISPLAY", None)
        self.env.pop("WAYLAND_DISPLAY", None)

    def run(self, *args, cwd=None):
        return subprocess.run(["wine", *map(str, args)], env=self.env, cwd=cwd, capture_output=True, text=True,
                              errors="replace", timeout=300)

    def wait(self):
        """Until every process of the prefix has ended and the registry is on disk."""
        subprocess.run(["wineserver", "-w"], env=self.env, check=True, timeout=300)

    def import_keys(self, versions):
        """After Effects versions: {version: (CommonPluginInstallPath, PluginInstallPath)}."""
        lines = ["Windows Registry Editor Version 5.00", ""]
        for version, (common, own) in versions.items():
            lines += [rf"[HKEY_LOCAL_MACHINE\SOFTWARE\Adobe\After Effects\{version}]",
                      '"CommonPluginInstallPath"="%s"' % common.replace("\\", "\\\\"),
                      '"PluginInstallPath"="%s"' % own.replace("\\", "\\\\"), ""]
        keys = self.path / "keys.reg"
        keys.write_text("\r\n".join(lines))
        result = self.run("regedit", "/S", "Z:" + str(keys).replace("/", "\\"))
        check(result.returncode == 0, f"regedit could not import the keys: {result.stderr}")
        self.wait()
        keys.unlink()

    def add_drive(self, letter, directory):
        directory.mkdir(parents=True, exist_ok=True)
        (self.path / "dosdevices" / f"{letter}:").symlink_to(directory)
        self.drives[letter] = directory

    def unix(self, windows_path):
        letter, rest = windows_path.replace("\\", "/").split(":", 1)
        return self.path / "dosdevices" / f"{letter.lower()}:" / rest.lstrip("/")

    def keys(self):
        """HKLM as wine keeps it: {key: {value: data}}, strings and dwords decoded."""
        keys, current = {}, None
        for line in (self.path / "system.reg").read_text(errors="replace").splitlines():
            header = re.match(r"^\[(.*)\](?: \d+)?$", line)
            if header:
                current = keys.setdefault(header.group(1).replace("\\\\", "\\"), {})
                continue
            value = re.match(r'^"((?:[^"\\]|\\.)*)"=(.*)$', line)
            if value and current is not None:
                name, data = value.group(1), value.group(2)
                if data.startswith('"'):
                    data = re.sub(r"\\(.)", r"\1", data[1:-1])
                elif data.startswith("dword:"):
                    data = int(data[6:], 16)
                current[name] = data
        return keys

    def files(self):
        """Every file and folder of the drives but Windows' own and the users' (where the
        temporary files are)."""
        found = set()
        for letter, root in self.drives.items():
            for path in root.rglob("*"):
                relative = path.relative_to(root).as_posix()
                if not relative.startswith(("windows", "users")):
                    found.add(f"{letter}:/{relative}")
        return found


def plugin_copies(prefix, folder):
    """The .aex files a host loads from a plug-in folder: it descends about ten levels."""
    root = prefix.unix(folder)
    if not root.exists():
        return []
    return [path for path in root.rglob("*.aex") if len(path.relative_to(root).parts) <= 11]


def setup(prefix, program, *options):
    result = prefix.run(program, "/S", *options)
    prefix.wait()
    return result


def uninstall(prefix):
    uninstaller = prefix.drive / PROGRAM_DIR / "uninstall.exe"
    check(uninstaller.exists(), "no uninstall.exe in the program folder")
    result = prefix.run(uninstaller, "/S")
    check(result.returncode == 0, f"the uninstaller exited with {result.returncode}: {result.stderr}")
    prefix.wait()  # the uninstaller runs on from a copy of itself in the temporary folder


def decoded(path):
    """The samples of an image file, as FFmpeg decodes them, with their pixel format."""
    probe = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "stream=pix_fmt", "-of", "csv=p=0", str(path)],
                           capture_output=True, text=True, check=True).stdout.strip()
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", str(path), "-f", "rawvideo", "-pix_fmt", "rgba64le", "-"],
                         capture_output=True, check=True).stdout
    return probe, hashlib.sha256(raw).hexdigest()


def case_versions(base, work, program, aex, linux_qxv, sample):
    """Two versions share one common folder, a third has its own; everything goes again."""
    prefix = Prefix(base, work / "versions")
    shared, own = r"C:\Program Files\Adobe\Common\Plug-ins\7.0\MediaCore", r"D:\Adobe\Plug-ins\AE22\Common"
    prefix.add_drive("d", work / "versions-d")
    versions = {
        "23.0": (shared + "\\", r"C:\Program Files\Adobe\Adobe After Effects 2023\Support Files\Plug-ins"),
        "24.0": (shared, r"C:\Program Files\Adobe\Adobe After Effects 2024\Support Files\Plug-ins"),
        "22.0": (own, r"C:\Program Files\Adobe\Adobe After Effects 2022\Support Files\Plug-ins"),
    }
    for _, specific in versions.values():
        prefix.unix(specific).mkdir(parents=True)
    prefix.unix(shared).mkdir(parents=True)
    prefix.import_keys(versions)
    files_before, keys_before = prefix.files(), set(prefix.keys())
    # A copy put by hand, as the zip's text said, into a host's own folder: the install removes it.
    by_hand = prefix.unix(versions["24.0"][1]) / "Quillmoor" / "QX_Vignette.aex"
    by_hand.parent.mkdir()
    by_hand.write_bytes(b"an earlier copy")

    result = setup(prefix, program)
    check(result.returncode == 0, f"silent install exited with {result.returncode}: {result.stderr}")
    check(not by_hand.exists() and "removed C:\\Program Files\\Adobe\\Adobe After Effects 2024" in result.stderr,
          f"the copy put by hand into After Effects 24.0's own folder stays: {result.stderr!r}")
    by_hand.parent.rmdir()
    for version, (common, specific) in versions.items():
        copies = plugin_copies(prefix, common) + plugin_copies(prefix, specific)
        check(len(copies) == 1, f"After Effects {version} sees {len(copies)} copies of the plug-in: {copies}")
        check(copies[0].read_bytes() == aex, f"After Effects {version} sees other bytes than the built .aex")
    print("  one copy of the built .aex visible to each of After Effects 22.0, 23.0, 24.0 (one put by hand removed)")

    entry = prefix.keys().get(UNINSTALL_KEY)
    check(entry is not None, "no uninstall entry")
    expected = {
        "DisplayName": "QX Vignette", "DisplayVersion": "1.3.0", "Publisher": "Quillmoor",
        "UninstallString": '"C:\\Program Files\\QX Vignette\\uninstall.exe"',
        "InstallLocation": "C:\\Program Files\\QX Vignette",
        "DisplayIcon": "C:\\Program Files\\QX Vignette\\uninstall.exe,0",
    }
    for name, value in expected.items():
        check(entry.get(name) == value, f"uninstall entry {name} is {entry.get(name)!r}, not {value!r}")
    # Two folders for three versions, and qxv.exe's own copy among the program's files.
    size_kib = (len(aex) * 2 + sum(path.stat().st_size for path in (prefix.drive / PROGRAM_DIR).iterdir())) // 1024
    check(isinstance(entry.get("EstimatedSize"), int) and abs(entry["EstimatedSize"] - size_kib) <= 8,
          f"EstimatedSize {entry.get('EstimatedSize')} KiB, the files take about {size_kib} KiB")
    print("  uninstall entry: " + ", ".join(f"{name}={entry[name]}" for name in (*expected, "EstimatedSize")))

    # The installed qxv.exe against the Linux qxv, on a PNG and to a PNG.
    shutil.copy(sample, work / "meadow.png")
    subprocess.run([str(linux_qxv), "render", "--set", "Feather=250", "meadow.png", "linux.png"], cwd=work, check=True)
    result = prefix.run(prefix.drive / PROGRAM_DIR / "qxv.exe", "render", "--set", "Feather=250", "meadow.png",
                        "windows.png", cwd=work)
    check(result.returncode == 0, f"the installed qxv.exe failed: {result.stdout}{result.stderr}")
    check(decoded(work / "linux.png") == decoded(work / "windows.png"),
          "the installed qxv.exe renders another PNG than the Linux qxv")
    print("  the installed qxv.exe renders the sample PNG as the Linux qxv does")

    uninstall(prefix)
    left = prefix.files() - files_before
    check(not left, f"the uninstaller left files behind: {sorted(left)}")
    check(prefix.files() == files_before, "the uninstaller removed files it had not installed")
    keys_after = set(prefix.keys())
    check(not [key for key in keys_after - keys_before if "QX Vignette" in key or "Quillmoor" in key],
          "the uninstaller left keys behind")
    check(all(key in keys_after for key in keys_before if "Adobe" in key), "the uninstaller removed Adobe's keys")
    print("  silent uninstall: no file, no key left; the hosts' folders and keys kept")


def case_upgrade(base, work, program, older, aex):
    """A 1.2.0 install, then this version over it: one copy each, the new bytes, one entry."""
    prefix = Prefix(base, work / "upgrade")
    common = r"C:\Program Files\Adobe\Common\Plug-ins\7.0\MediaCore"
    prefix.import_keys({"24.0": (common, r"C:\Program Files\Adobe\Adobe After Effects 2024\Support Files\Plug-ins")})
    files_before = prefix.files()
    result = setup(prefix, older)
    check(result.returncode == 0, f"the 1.2.0 setup exited with {result.returncode}")
    check(prefix.keys()[UNINSTALL_KEY]["DisplayVersion"] == "1.2.0", "the 1.2.0 setup did not register 1.2.0")
    result = setup(prefix, program)
    check(result.returncode == 0, f"the upgrade exited with {result.returncode}: {result.stderr}")
    check("upgrading QX Vignette 1.2.0 to 1.3.0 in place" in result.stderr,
          f"the upgrade did not say so: {result.stderr!r}")
    copies = plugin_copies(prefix, common)
    check(len(copies) == 1 and copies[0].read_bytes() == aex, f"after the upgrade: {copies}")
    entry = prefix.keys()[UNINSTALL_KEY]
    check(entry["DisplayVersion"] == "1.3.0", f"after the upgrade DisplayVersion is {entry['DisplayVersion']}")
    check((prefix.drive / PROGRAM_DIR / "QX_Vignette.aex").read_bytes() == aex, "qxv.exe's copy was not upgraded")
    uninstall(prefix)
    check(prefix.files() == files_before, f"after upgrade and uninstall: {sorted(prefix.files() ^ files_before)}")
    print("  upgrade over 1.2.0: said so, one copy of the new bytes, one entry at 1.3.0; uninstall leaves nothing")


def case_no_keys(base, work, program, aex, sleeper):
    """No After Effects: Adobe's common folder, made by setup and removed by the uninstaller.
    A running AfterFX.exe is warned about and setup goes on."""
    prefix = Prefix(base, work / "no-keys")
    files_before = prefix.files()
    host = subprocess.Popen(["wine", str(sleeper)], env=prefix.env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, text=True)
    try:
        check(host.stdout.readline().strip() == "running", "the stand-in AfterFX.exe did not start")
        result = prefix.run(program, "/S")
    finally:
        host.kill()
        subprocess.run(["wineserver", "-k"], env=prefix.env)
        prefix.wait()
    check(result.returncode == 0, f"setup failed while AfterFX.exe ran: {result.returncode} {result.stderr}")
    check("warning: AfterFX.exe is running" in result.stderr, f"no warning about AfterFX.exe: {result.stderr!r}")
    copies = plugin_copies(prefix, "C:\\" + FALLBACK_DIR.replace("/", "\\"))
    check(len(copies) == 1 and copies[0].read_bytes() == aex, f"no-keys fallback: {copies}")
    uninstall(prefix)
    check(prefix.files() == files_before, f"no-keys uninstall left: {sorted(prefix.files() ^ files_before)}")
    print("  no After Effects keys: Adobe's common folder, made and removed again; AfterFX.exe running: warned")


def case_command_line(base, work, program, aex):
    """/PLUGINDIR= and /D= with spaces, from a batch file as a deployment runs them."""
    prefix = Prefix(base, work / "command-line")
    prefix.import_keys({"24.0": (r"C:\Program Files\Adobe\Common\Plug-ins\7.0\MediaCore", r"C:\AE\Plug-ins")})
    files_before = prefix.files()
    shutil.copy(program, prefix.drive / "setup.exe")
    (prefix.drive / "deploy.bat").write_bytes(
        b'C:\\setup.exe /S /PLUGINDIR="C:\\Studio Plug-ins\\Common" /D=C:\\Tools\\QX Vignette\r\n'
        b"exit %errorlevel%\r\n")
    result = prefix.run("cmd", "/c", "C:\\deploy.bat")
    prefix.wait()
    check(result.returncode == 0, f"setup from a batch file exited with {result.returncode}: {result.stderr}")
    copies = plugin_copies(prefix, r"C:\Studio Plug-ins") + plugin_copies(prefix, r"C:\Program Files\Adobe")
    check([path.parent.name for path in copies] == ["Common"] and copies[0].read_bytes() == aex,
          f"/PLUGINDIR= was not the one plug-in folder: {copies}")
    check((prefix.drive / "Tools/QX Vignette/qxv.exe").exists(), "/D= was not the program folder")
    check(prefix.keys()[UNINSTALL_KEY]["InstallLocation"] == r"C:\Tools\QX Vignette", "InstallLocation is not /D=")
    (prefix.drive / "setup.exe").unlink()
    (prefix.drive / "deploy.bat").unlink()
    result = prefix.run(prefix.drive / "Tools/QX Vignette/uninstall.exe", "/S")
    prefix.wait()
    check(prefix.files() == files_before, f"after /PLUGINDIR= and /D=: {sorted(prefix.files() ^ files_before)}")
    print("  /PLUGINDIR= and /D= from a batch file: the plug-in and the program where they say; uninstall leaves nothing")


def case_cannot_write(base, work, program):
    """A plug-in folder on a drive nobody can write (root included): message, exit code 2,
    and nothing left of the install."""
    prefix = Prefix(base, work / "cannot-write")
    (prefix.path / "dosdevices" / "r:").symlink_to("/proc/self")  # not in drives: nothing to list
    prefix.import_keys({"24.0": (r"R:\Adobe\MediaCore", r"C:\Program Files\Adobe\After Effects 2024\Plug-ins")})
    files_before = prefix.files()
    result = setup(prefix, program)
    check(result.returncode == EXIT_CANNOT_WRITE,
          f"setup exited with {result.returncode}, not {EXIT_CANNOT_WRITE}: {result.stderr}")
    check(re.search(r"error: cannot (create the folder|write into) R:\\Adobe\\MediaCore\. Nothing was installed",
                    result.stderr), f"no clear message: {result.stderr!r}")
    check(prefix.files() == files_before, f"half installed: {sorted(prefix.files() ^ files_before)}")
    check(UNINSTALL_KEY not in prefix.keys(), "an uninstall entry was written")
    print(f"  unwritable plug-in folder: exit code {EXIT_CANNOT_WRITE}, the message, nothing installed")


def main():
    linux = pathlib.Path(sys.argv[1]).resolve()
    sample = pathlib.Path(sys.argv[2]).resolve()
    windows = linux / "windows"
    if not shutil.which("wine") or not shutil.which("makensis"):
        print("wine or makensis is missing: skipped")
        return 77
    start = time.monotonic()
    program = windows / "qx-vignette_1.3.0_windows-x64-setup.exe"
    aex = (windows / "QX_Vignette.aex").read_bytes()
    work = windows / "installer-checks"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir()

    # A setup of a lower version, with other plug-in bytes, to upgrade from.
    older_aex = work / "QX_Vignette-1.2.0.aex"
    older_aex.write_bytes(aex + b"1.2.0")
    older = work / "qx-vignette_1.2.0_windows-x64-setup.exe"
    subprocess.run(["makensis", "-V1", "-DVERSION=1.2.0", f"-DAEX={older_aex}", f"-DQXV={windows / 'qxv.exe'}",
                    f"-DREADME={SOURCE / 'README.md'}", f"-DWHERE={SOURCE / 'packaging/windows/WHERE-HOSTS-LOOK.txt'}",
                    f"-DOUTFILE={older}", str(SOURCE / "packaging/windows/installer.nsi")], check=True)
    # A stand-in for After Effects: a process named AfterFX.exe that waits.
    sleeper = work / "AfterFX.exe"
    (work / "sleeper.c").write_text("#include <stdio.h>\n#include <windows.h>\n"
                                    "int main(void) { puts(\"running\"); fflush(stdout); Sleep(120000); return 0; }\n")
    subprocess.run(["x86_64-w64-mingw32-gcc", "-O", "-o", str(sleeper), str(work / "sleeper.c")], check=True)

    # One prefix made once and kept (making one takes half a minute); each case links a copy.
    base = linux / "wine-installer-prefix"
    if not (base / "system.reg").exists():
        env = dict(os.environ, WINEPREFIX=str(base), WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        env.pop("DISPLAY", None)
        subprocess.run(["wineboot", "-i"], env=env, check=True, capture_output=True)
        subprocess.run(["wineserver", "-w"], env=env, check=True)

    case_versions(base, work, program, aex, linux / "qxv", sample)
    case_upgrade(base, work, program, older, aex)
    case_no_keys(base, work, program, aex, sleeper)
    case_command_line(base, work, program, aex)
    case_cannot_write(base, work, program)
    for case in ("versions", "versions-d", "upgrade", "no-keys", "command-line", "cannot-write"):
        shutil.rmtree(work / case, ignore_errors=True)
    print(f"== setup program under wine: {time.monotonic() - start:.0f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
