"""Runs Wine programs under several computer names, in a prefix of the test's own: a
copy of the session prefix's registry and drive letters (sharing its drive_c), with
its own wineserver. Wine answers GetComputerNameW from
HKLM\\System\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName
(docs/wine-notes.md), so a name is set by writing that value; the session's prefix
and the host keep their names. Shared by the fleet tests."""
import pathlib
import shutil
import subprocess

NAME_KEY = r"HKLM\System\CurrentControlSet\Control\ComputerName\ActiveComputerName"


def private_prefix(session_prefix, folder):
    """A prefix of its own: the session's registry and drive letters, its drive_c."""
    prefix = folder / "prefix"
    prefix.mkdir()
    for name in ["system.reg", "user.reg", "userdef.reg", ".update-timestamp"]:
        if (session_prefix / name).exists():
            shutil.copy2(session_prefix / name, prefix / name)
    shutil.copytree(session_prefix / "dosdevices", prefix / "dosdevices", symlinks=True)
    (prefix / "drive_c").symlink_to(session_prefix / "drive_c")
    return prefix


def wine(env, folder, *args):
    """Runs a Wine program; its output goes through files (Wine's background processes
    may inherit the handles). Returns the exit code, standard output and error."""
    with open(folder / "out", "wb") as out, open(folder / "err", "wb") as err:
        code = subprocess.run(["wine", *args], env=env, stdin=subprocess.DEVNULL,
                              stdout=out, stderr=err, timeout=240).returncode
    return code, (folder / "out").read_bytes(), (folder / "err").read_bytes()


def set_name(env, folder, name):
    """Makes `name` the computer name of the prefix's next programs; the exit code."""
    return wine(env, folder, "reg", "add", NAME_KEY, "/v", "ComputerName", "/d", name,
                "/f")


def stop_server(env):
    """Stops the private prefix's wineserver, and only that one."""
    for flag in ("-k", "-w"):
        subprocess.run(["wineserver", flag], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)


def windows_path(path):
    """The Z: path of a host path."""
    return "Z:" + str(path).replace("/", "\\")
