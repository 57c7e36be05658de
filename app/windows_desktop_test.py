#!/usr/bin/python3
"""trelliwick for Windows, as a Windows user gets it, under wine on a real desktop.

Each test starts its own desktop as the Linux tests do (desktop_test.py: a private
X server with a window manager, keys from xdotool, nothing sampled after a fixed
pause) and a wine prefix of its own, which is a Windows of its own: it installs
the program from the packages as a user would, and runs it. What the window
shows is read back as wine hands it to X: the windows' titles from their X
properties, and texts through the clipboard, where the toolkit's lists copy their
current entry and its message box its title, text and buttons (Ctrl+C).

    windows_desktop_test.py [--time-limit SECONDS] PACKAGES TEST
                                    runs one test, such as WindowsDesktopTest.test_name,
                                    on the installer and the zip in the folder PACKAGES
    windows_desktop_test.py --list  lists the tests, one a line
    windows_desktop_test.py --on-desktop COMMAND...
                                    runs COMMAND in a wine prefix of its own on a
                                    private desktop, for the window's tests on the
                                    windows platform, and exits with its exit code

The window's unit tests, run on the windows platform under wine, check what is in
its lists and counts exactly; here it is the program as shipped.
"""

import glob
import os
import re
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import desktop_test  # noqa: E402  pylint: disable=wrong-import-position
from desktop_test import (CAPTION, MESSAGE, REACTING, STARTING, Desktop,  # noqa: E402
                          expect, wait_for)

DESIGN = (663, 537)  # the client area's pixels at 96 dots per inch: 9945 x 8055 twips
WORDS = ["tree", "rate", "axe", "tax", "extra", "treat"]

# What the packages hold: the program, its list, the libraries it loads and theirs,
# the toolkit's plugins, and the licences; nothing else.
PROGRAM_FILES = sorted([
    "abc.txt", "icudt72.dll", "icuuc72.dll", "libgcc_s_seh-1.dll", "libstdc++-6.dll",
    "libwinpthread-1.dll", "platforms/qwindows.dll", "Qt6Core.dll", "Qt6Gui.dll",
    "Qt6Widgets.dll", "styles/qwindowsvistastyle.dll", "trelliwick.exe",
    "licences/Apache-2.0.txt", "licences/GCC runtime.txt", "licences/GPL-3.0.txt",
    "licences/Highway.txt", "licences/ICU.txt", "licences/ICU licence.txt",
    "licences/LGPL-3.0.txt",
    "licences/mingw-w64 runtime.txt", "licences/Qt source.txt", "licences/Qt.txt",
    "licences/trelliwick.txt",
])


class WineDesktop(Desktop):
    """A private desktop with a Windows of its own on it, wine's, of the given size
    and dots per inch; the program is installed and started by the tests."""

    def __init__(self, screen=desktop_test.DESIGN_SCREEN, dpi=96, managed=True):
        self.dpi = dpi
        self.managed = managed
        super().__init__(b"", [], screen)

    def _start(self, folder, words, environment):  # as Desktop's, for wine
        display = self._start_x_server()
        runtime = os.path.join(self.scratch, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.prefix = os.path.join(self.scratch, "wine")
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.scratch,
            "DISPLAY": display,
            "XDG_RUNTIME_DIR": runtime,
            "LC_ALL": "C.UTF-8",
            "WINEPREFIX": self.prefix,
            "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=",  # no offer to install .NET or a browser
        }
        self.start(["openbox", "--sm-disable"])
        wait_for("the window manager's check window", lambda: self._run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]),
            lambda text: "window id" in text, timeout=STARTING)
        # A wine server that outlives each program by a minute (close() ends it): one
        # that ends as its last program goes drops a program that starts meanwhile.
        os.makedirs(self.prefix)
        subprocess.run(["wineserver", "--persistent=60"], env=self.env, check=True)
        self.wine("wineboot", "--init")
        # Wine's own fonts where a Windows has its own: wine looks for them elsewhere
        # than where Debian puts them.
        fonts = self.unix_path(r"C:\windows\Fonts")
        for font in glob.glob("/usr/share/wine/fonts/*"):
            os.symlink(font, os.path.join(fonts, os.path.basename(font)))
        if not self.managed:
            # Windows placed and framed by wine itself, as by Windows, not by the
            # window manager.
            self.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed",
                      "/t", "REG_SZ", "/d", "N", "/f")
        if self.dpi != 96:
            self.wine("reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                      "/t", "REG_DWORD", "/d", str(self.dpi), "/f")
        # Ready for wine-run, which would otherwise make the prefix again.
        open(os.path.join(self.prefix, ".ready"), "w").close()
        self.windows = []  # the program's X windows, by their ids

    def close(self):
        # Wine's own processes outlive the program; its server ends them all.
        if hasattr(self, "prefix"):
            subprocess.run(["wineserver", "--kill"], env=self.env, check=False,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        super().close()

    def wine(self, *command, timeout=STARTING):
        """Runs a Windows program to its end; returns its exit code."""
        return subprocess.run(["wine", *command], env=self.env, timeout=timeout,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode

    def unix_path(self, windows_path):
        """Where a path on drive C: of this Windows lies on this machine, its folders
        found whatever their case, as Windows finds them."""
        assert windows_path[:3].upper() == "C:\\", windows_path
        path = os.path.join(self.prefix, "drive_c")
        for name in windows_path[3:].split("\\"):
            there = os.listdir(path) if os.path.isdir(path) else []
            path = os.path.join(path, next((n for n in there if n.lower() == name.lower()), name))
        return path

    def start_program(self, executable, environment=None, stderr=None):
        """Starts the program at `executable` (a Windows path) from another folder, and
        waits for its window, active. Wine hands the program the variables of
        `environment` (the toolkit's QT_ ones included); what the program writes on
        stderr goes to the file `stderr`, or to the test's output."""
        elsewhere = os.path.join(self.scratch, "elsewhere")
        os.makedirs(elsewhere, exist_ok=True)
        env = dict(self.env)
        for name, value in (environment or {}).items():
            env[("WINE" if name.startswith("QT_") else "") + name] = value
        log = open(stderr, "wb") if stderr else None
        try:
            self.program_process = self.start(["wine", executable], cwd=elsewhere, stderr=log,
                                              env=env)
        finally:
            if log:
                log.close()
        self.window_id = wait_for("the window shown", lambda: self.shown_windows(
            "^Trelliwick Solver"), timeout=STARTING)[0]
        expect("the active window", lambda: self._run(["xdotool", "getactivewindow"]).strip(),
               self.window_id, timeout=STARTING)

    def title(self, window_id):
        """A window's title, as wine gives it to X."""
        text = self._run(["xprop", "-id", window_id, "-notype", "_NET_WM_NAME"])
        return text.split(" = ", 1)[1].strip()[1:-1] if " = " in text else None

    def clipboard(self):
        return subprocess.run(["xclip", "-selection", "clipboard", "-out"], env=self.env,
                              capture_output=True, timeout=REACTING).stdout.decode()

    def copied(self, what, expected):
        """Presses Ctrl+C and waits for the clipboard to hold `expected`."""
        self.keys("ctrl+c")
        expect(what, self.clipboard, expected)

    def screenshot(self, name):
        """Keeps a picture of the screen beside the packages, for a person to look at."""
        folder = os.path.join(packages(), "screenshots")
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")],
                       env=self.env, check=True)

    def write_list(self, folder, words):
        with open(os.path.join(folder, "abc.txt"), "wb") as out:
            out.write("".join(word + "\r\n" for word in words).encode())


def packages():
    """The folder with the installer and the zip, from the command line."""
    return desktop_test.PROGRAM


def read_bytes(path):
    with open(path, "rb") as file:
        return file.read()


def package(pattern):
    found = glob.glob(os.path.join(packages(), pattern))
    assert len(found) == 1, f"{pattern} in {packages()}: {found}"
    return found[0]


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(top, name), folder).replace(os.sep, "/")
                  for top, _, names in os.walk(folder) for name in names)


class WindowsDesktopTest(unittest.TestCase):
    def setUp(self):
        self.desktop = WineDesktop()
        self.addCleanup(self.desktop.close)

    def test_the_installer_puts_it_in_program_files_and_its_uninstaller_takes_it_away(self):
        d = self.desktop
        installed = r"C:\Program Files\trelliwick"
        folder = d.unix_path(installed)
        program_files = d.unix_path(r"C:\Program Files")
        before = sorted(os.listdir(program_files))
        self.assertEqual(d.wine(package("trelliwick-*-win64.exe"), "/S", timeout=REACTING * 4), 0)
        self.assertEqual(files_under(folder), sorted(PROGRAM_FILES + ["Uninstall.exe"]))
        menu = d.unix_path(r"C:\ProgramData\Microsoft\Windows\Start Menu\Programs\trelliwick")
        self.assertIn("trelliwick.lnk", os.listdir(menu))
        uninstall = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\trelliwick"
        self.assertEqual(d.wine("reg", "query", uninstall, "/v", "UninstallString"), 0)

        # The program as installed, with the list it comes with.
        d.start_program(installed + r"\trelliwick.exe")
        self.assertEqual(d.title(d.window_id), CAPTION)
        d.type("q")
        d.keys("Tab")
        d.type("uizaeon")
        d.keys("Return", "Tab", "Tab")
        d.copied("List2's first entry", "acquaint")  # the list's first word with a Q
        d.screenshot("installed")
        d.keys("alt+F4")
        d.program_process.wait(REACTING)

        # The uninstaller runs on from a copy of its own, in its time: each of the
        # installer's traces is waited for to go.
        self.assertEqual(d.wine(installed + r"\Uninstall.exe", "/S"), 0)
        expect("what is in Program Files", lambda: sorted(os.listdir(program_files)), before,
               timeout=STARTING)
        expect("whether the Start menu entry is there", lambda: os.path.exists(menu), False)
        wait_for("the uninstaller's entry gone", lambda: d.wine(
            "reg", "query", uninstall), lambda code: code != 0)

    def test_from_a_folder_named_in_any_script_it_reads_its_own_list_or_says_it_is_missing(self):
        d = self.desktop
        installed = r"C:\Users\Łukasz\Spiele\Zoë"
        self.assertEqual(d.wine(package("trelliwick-*-win64.exe"), "/S", "/D=" + installed,
                                timeout=REACTING * 4), 0)
        folder = d.unix_path(installed)
        os.remove(os.path.join(folder, "abc.txt"))
        log = os.path.join(d.scratch, "stderr.txt")
        d.start_program(installed + r"\trelliwick.exe", stderr=log, environment={
            "QT_LOGGING_RULES": "trelliwick.solve=true", "QT_FORCE_STDERR_LOGGING": "1"})

        # No list: Enter shows the message, titled and worded as it must be, with its
        # one button, and Enter closes it.
        d.keys("Return")
        box = wait_for("the message", lambda: d.shown_windows("^trelliwick$"))[0]
        expect("the active window", lambda: d._run(["xdotool", "getactivewindow"]).strip(), box)
        separator = "-" * 27 + "\n"
        d.copied("the message's title, text and buttons", separator + "trelliwick\n"
                 + separator + MESSAGE + "\n" + separator + "OK   \n" + separator)
        d.screenshot("message")
        # The cause, logged as asked, names the list by its path, in the code page's
        # letters (the toolkit writes its log so), and says what the system said.
        cause = re.compile(rb"trelliwick\.solve: the run failed: C:\\Users\\[^\\]+\\Spiele"
                           rb"\\Zo.\\abc\.txt: .+")
        wait_for("the cause logged", lambda: read_bytes(log), cause.search)
        d.keys("Return")
        wait_for("the message to close", lambda: d.shown_windows("^trelliwick$"),
                 lambda windows: windows == [])

        # Its own list, beside it: Solve fills both lists.
        d.write_list(folder, WORDS)
        d.keys("e", "Tab")
        d.type("rtxa")
        d.keys("Return", "Tab", "Tab")
        d.copied("List2's first entry", "tree")
        d.keys("End")
        d.copied("List2's last entry", "treat")
        d.keys("Tab")
        d.copied("List3's first entry", "rate")
        d.keys("End")
        d.copied("List3's last entry", "extra")
        d.screenshot("solved")

    def test_the_portable_folder_runs_where_it_is_unpacked_at_the_designs_size(self):
        d = self.desktop
        with zipfile.ZipFile(package("trelliwick-*-win64.zip")) as archive:
            names = [name for name in archive.namelist() if not name.endswith("/")]
            top = names[0].split("/")[0]
            self.assertEqual(sorted(name.split("/", 1)[1] for name in names), PROGRAM_FILES)
            archive.extractall(d.unix_path(r"C:\Zoë"))
        d.start_program(r"C:\Zoë" + "\\" + top + r"\trelliwick.exe")
        self.assertEqual(tuple(d.client_area()[2:]), DESIGN)
        d.keys("e", "Tab")
        d.type("rtxaslno")
        d.keys("Return", "Tab", "Tab")
        d.copied("List2's first entry", "abacuses")  # the list's first word with an E


def pe_subsystem(path):
    """The subsystem that a Windows program's header names: 2 for a windowed one,
    3 for one that opens a console."""
    with open(path, "rb") as file:
        header = file.read(4096)
    pe = struct.unpack_from("<I", header, 0x3C)[0]
    assert header[pe:pe + 4] == b"PE\0\0", path
    return struct.unpack_from("<H", header, pe + 24 + 68)[0]


class ProgramFileTest(unittest.TestCase):
    """What Windows reads of trelliwick.exe before it runs it."""

    def test_it_is_a_windowed_program_with_its_icon_and_its_version(self):
        with tempfile.TemporaryDirectory() as folder:
            with zipfile.ZipFile(package("trelliwick-*-win64.zip")) as archive:
                name = next(n for n in archive.namelist() if n.endswith("/trelliwick.exe"))
                program = archive.extract(name, folder)
            self.assertEqual(pe_subsystem(program), 2, "not a windowed program")
            resource = lambda *kind: subprocess.run(["wrestool", "--extract", *kind, program],
                                                    capture_output=True, check=True).stdout
            version = resource("--raw", "--type=16").decode("utf-16-le", errors="replace")
            for key, value in [("ProductName", "trelliwick"), ("ProductVersion", "1.00"),
                               ("FileVersion", "1.00"), ("OriginalFilename", "trelliwick.exe")]:
                self.assertRegex(version, f"{key}\0+{re.escape(value)}\0", key)
            icon = os.path.join(folder, "trelliwick.ico")
            with open(icon, "wb") as out:
                out.write(resource("--type=14"))
            sizes = subprocess.run(["icotool", "--list", icon], capture_output=True, text=True,
                                   check=True).stdout
            self.assertEqual(sorted({int(w) for w in re.findall(r"--width=(\d+)", sizes)}),
                             [16, 24, 32, 48, 64, 128, 256])


class ScaledTest(unittest.TestCase):
    def test_at_150_percent_the_window_is_half_as_large_again(self):
        d = WineDesktop(screen=(1920, 1080), dpi=144)
        self.addCleanup(d.close)
        with zipfile.ZipFile(package("trelliwick-*-win64.zip")) as archive:
            top = archive.namelist()[0].split("/")[0]
            archive.extractall(d.unix_path(r"C:\trelliwick"))
        d.start_program(r"C:\trelliwick" + "\\" + top + r"\trelliwick.exe")
        width, height = d.client_area()[2:]
        self.assertAlmostEqual(width, DESIGN[0] * 1.5, delta=2)
        self.assertAlmostEqual(height, DESIGN[1] * 1.5, delta=2)
        d.screenshot("scaled")


def on_desktop(command):
    """Runs `command` on a private desktop with a Windows of its own, on a screen
    where the window fits at its design's size, and not at twice that."""
    d = WineDesktop(screen=(1024, 768), managed=False)
    try:
        return subprocess.run(command, env=dict(os.environ, **d.env)).returncode
    finally:
        d.close()


def main():
    arguments = sys.argv[1:]
    if arguments[:1] == ["--on-desktop"] and len(arguments) > 1:
        sys.exit(on_desktop(arguments[1:]))
    desktop_test.main()


if __name__ == "__main__":
    main()
