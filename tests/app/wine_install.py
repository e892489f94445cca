#!/usr/bin/env python3
"""The Windows packages under Wine: the zip holds the program, its cues and a
readme; the MSI refuses a Windows older than the program supports, installs
them into Program Files with two Start-menu shortcuts (the second with
symbols), the installed program
starts and ends with status 0, and the uninstall takes everything away again.

    wine_install.py ZIP MSI"""

import re
import subprocess
import sys
import zipfile
from pathlib import Path

from checks import Checks
from servers import X11, Wine, wait_until

check = Checks()
DEADLINE = 60  # seconds; msiexec under a fresh prefix is slow, but never this slow
# What msiexec returns when a launch condition fails, 1603, as a Linux exit
# status keeps it: its low 8 bits.
ERROR_INSTALL_FAILURE = 1603 % 256


def symbols_option():
    """The symbols option as the core names it."""
    source = (Path(__file__).resolve().parents[2] / "src/design/design.h").read_text()
    return re.search(r'SymbolsOption = "([^"]*)"', source).group(1)


def start_menu(drive):
    return [p for p in drive.rglob("Pellorin*.lnk") if "Start Menu" in str(p)]


def main():
    archive, msi = (Path(arg).resolve() for arg in sys.argv[1:3])
    with zipfile.ZipFile(archive) as opened:
        names = sorted(opened.namelist())
    check(names == ["Bort.wav", "Pellorin.exe", "README.txt", "Swap.wav"], f"the zip holds {names}")

    with X11() as x11, Wine() as wine:
        env = wine.env(x11.env())
        drive = wine.prefix / "drive_c"
        installed = drive / "Program Files" / "Pellorin"
        wine.set_version("win81")
        try:
            status = subprocess.run(["wine", "msiexec", "/i", str(msi), "/qn"], env=env, timeout=DEADLINE).returncode
            subprocess.run(["wineserver", "-w"], env=env, timeout=DEADLINE)
        finally:
            wine.set_version("win10")
        check(status == ERROR_INSTALL_FAILURE and not installed.exists(),
              f"on Windows 8.1 msiexec /i refuses to install (status {status})")

        status = subprocess.run(["wine", "msiexec", "/i", str(msi), "/qn"], env=env, timeout=DEADLINE).returncode
        subprocess.run(["wineserver", "-w"], env=env, timeout=DEADLINE)
        files = sorted(p.name for p in installed.iterdir()) if installed.is_dir() else []
        shortcuts = start_menu(drive)
        check(status == 0 and files == ["Bort.wav", "Pellorin.exe", "README.txt", "Swap.wav"],
              f"msiexec /i installs into Program Files (status {status}): {files}")
        check(sorted(s.name for s in shortcuts) == ["Pellorin med symboler.lnk", "Pellorin.lnk"],
              f"with two shortcuts in the Start menu: {[str(s.relative_to(drive)) for s in shortcuts]}")
        # A shell link keeps its arguments as UTF-16 text.
        option = symbols_option()
        arguments = {s.name: option.encode("utf-16-le") in s.read_bytes() for s in shortcuts}
        check(arguments == {"Pellorin.lnk": False, "Pellorin med symboler.lnk": True},
              f"the second starts the program with {option}: {arguments}")

        game = subprocess.Popen(["wine", r"C:\Program Files\Pellorin\Pellorin.exe"], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        wait_until(lambda: x11.windows("Pellorin") or game.poll() is not None, DEADLINE, "the installed program's window")
        subprocess.run(["wmctrl", "-c", "Pellorin"], env=env, check=True)
        status = game.wait(timeout=DEADLINE)
        check(status == 0, f"the installed program runs and ends with status 0 (status {status})")

        status = subprocess.run(["wine", "msiexec", "/x", str(msi), "/qn"], env=env, timeout=DEADLINE).returncode
        subprocess.run(["wineserver", "-w"], env=env, timeout=DEADLINE)
        left = sorted(p.name for p in installed.iterdir()) if installed.is_dir() else []
        shortcuts = start_menu(drive)
        check(status == 0 and not left and not shortcuts,
              f"msiexec /x takes it all away again (status {status}; left: {left + [str(s) for s in shortcuts]})")
    return check.status()


if __name__ == "__main__":
    sys.exit(main())
