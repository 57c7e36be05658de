#!/usr/bin/python3
"""trelliwick as built, on a real desktop, driven as a user drives it.

Each test starts its own desktop: a private X server (Xvfb) with a window manager
(openbox), a private D-Bus session with the accessibility bus and a client that
listens to it as a screen reader does, and the program, copied with a word list
of the test's into a folder of its own. Keys and clicks go through xdotool; what
the window shows is read back through the accessibility interface (pyatspi) and
from screenshots (ImageMagick's import). Every process it starts runs in a
process group of its own, ended by its id when the test ends, however it ends.

    desktop_test.py PROGRAM TEST     runs one test, such as DesktopTest.test_name
    desktop_test.py --list           lists the tests, one a line

One test a process: the accessibility library binds to the first desktop it meets.
ctest runs each as a test of its own (`ctest -R Desktop`).
"""

import ctypes
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

CAPTION = "Trelliwick Solver" + " " * 35 + "by Qorvendal"
LIST2 = "Example of words with the essential letter(s)"
LIST3 = "List of words with the above letters"
MESSAGE = "File containing list of words - 'abc.txt' not found."
COLOUR_A = (255, 192, 128)
SCREEN = (1280, 1024)
PATIENCE = 15  # seconds to wait for anything the desktop should do

PROGRAM = None  # the built trelliwick, from the command line


def wait_for(what, condition, timeout=PATIENCE):
    """Returns condition()'s first true value, or fails naming `what`."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.05)


class Desktop:
    """A private desktop with trelliwick on it, started from `folder` (bytes)."""

    def __init__(self, folder, words):
        self.processes = []
        self.scratch = tempfile.mkdtemp(prefix="trelliwick-desktop-")
        try:
            self._start(folder, words)
        except BaseException:
            self.close()
            raise

    def _start(self, folder, words):
        # The program and its list in a folder of their own; it starts elsewhere, so
        # that only the folder of its executable can give it that list.
        self.folder = os.path.join(os.fsencode(self.scratch), folder)
        os.makedirs(self.folder)
        self.program = os.path.join(self.folder, b"trelliwick")
        shutil.copy(PROGRAM, self.program)
        self.write_words(words)
        elsewhere = os.path.join(self.scratch, "elsewhere")
        os.makedirs(elsewhere)

        display = self._start_x_server()
        runtime = os.path.join(self.scratch, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": self.scratch,
            "DISPLAY": display,
            "XDG_RUNTIME_DIR": runtime,
            "LANG": "C.UTF-8",
            "QT_QPA_PLATFORM": "xcb",
            "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
            "ASAN_OPTIONS": "detect_leaks=0",
        }
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_session_bus()
        self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        self.start(["openbox", "--sm-disable"])
        os.environ.update(self.env)  # for pyatspi, imported only now
        global pyatspi
        import pyatspi

        wait_for("the accessibility bus", self._registry_answers)
        self.start([sys.executable, os.path.abspath(__file__), "--listen"])
        wait_for("the window manager", lambda: "window id" in self._run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]))
        self.start([self.program], cwd=elsewhere, stderr=None)  # what it says, in the test's output
        self.window_id = wait_for("the window", lambda: self._run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Trelliwick Solver"]).split())[0]
        self.app = wait_for("the program on the accessibility bus", self._find_app)
        self.form = wait_for("the window on the accessibility bus", lambda: self.find(
            self.app, lambda a: a.getRoleName() in ("window", "frame") and a.name == CAPTION))
        wait_for("the window to be active", lambda: self._run(
            ["xdotool", "getactivewindow"]).strip() == self.window_id)

    def _start_x_server(self):
        read, write = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write), "-screen", "0",
                    f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp"], pass_fds=[write])
        os.close(write)
        with os.fdopen(read) as reader:
            number = reader.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        return ":" + number

    def _start_session_bus(self):
        bus = self.start(["dbus-daemon", "--session", "--nofork", "--print-address"],
                         stdout=subprocess.PIPE)
        address = bus.stdout.readline().decode().strip()
        if not address:
            raise RuntimeError("dbus-daemon did not start")
        return address

    def _registry_answers(self):
        try:
            pyatspi.Registry.getDesktop(0).childCount
            return True
        except Exception:
            return False

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "trelliwick":
                return app
        return None

    def start(self, command, cwd=None, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
              pass_fds=()):
        """Starts `command` in a process group of its own, which close() ends."""
        process = subprocess.Popen(command, cwd=cwd, env=getattr(self, "env", None),
                                   stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr,
                                   pass_fds=pass_fds, start_new_session=True)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            try:
                os.killpg(process.pid, signal.SIGTERM)
                process.wait(timeout=5)
            except ProcessLookupError:
                pass
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        shutil.rmtree(self.scratch, ignore_errors=True)

    def _run(self, command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True,
                              timeout=PATIENCE).stdout

    def write_words(self, words):
        with open(os.path.join(self.folder, b"abc.txt"), "wb") as out:
            out.write("".join(word + "\r\n" for word in words).encode())

    def remove_words(self):
        os.remove(os.path.join(self.folder, b"abc.txt"))

    # Keyboard and pointer.
    def keys(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "30", *keys], env=self.env, check=True)
        time.sleep(0.2)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "20", text], env=self.env, check=True)

    def click(self, accessible):
        x, y = centre(accessible)
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                       env=self.env, check=True)
        time.sleep(0.2)

    def point_at(self, x, y):
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y)], env=self.env,
                       check=True)
        time.sleep(0.2)

    # What the window shows.
    def find(self, root, predicate):
        try:
            return pyatspi.findDescendant(root, predicate)
        except Exception:
            return None

    def control(self, role, name=None, description=None):
        return wait_for(f"a {role} {name or description!r}", lambda: self.find(
            self.form, lambda a: a.getRoleName() == role
            and (name is None or a.name == name)
            and (description is None or a.description == description)))

    def count(self, list_name):
        """The caption of the count label beside the list."""
        return self.control("label", description=list_name).name

    def is_current(self, list_name, row):
        """Whether the list's entry at `row` is its current one."""
        return self.current_row(list_name, [row]) == row

    def current_row(self, list_name, rows):
        """The row among `rows` of the list's current entry, or None."""
        entries = self.control("list", name=list_name)
        focused = pyatspi.STATE_FOCUSED
        return next((row for row in rows
                     if entries.getChildAtIndex(row).getState().contains(focused)), None)

    def selected_count(self, list_name):
        return self.control("list", name=list_name).queryTable().nSelectedRows

    def pixel(self, x, y):
        raw = subprocess.run(["import", "-window", "root", "-crop", f"1x1+{x}+{y}", "-depth", "8",
                              "rgb:-"], env=self.env, capture_output=True, check=True).stdout
        return tuple(raw[:3])

    def pointer_image(self):
        """The pointer's size, hot spot and pixels, as X shows it now."""
        return cursor_image(self.env["DISPLAY"])

    def frame(self):
        """The window's frame on the screen: left, top, width, height."""
        extents = self._run(["xprop", "-id", self.window_id, "_NET_FRAME_EXTENTS"])
        left, right, top, bottom = (int(n) for n in extents.split("=")[1].split(","))
        info = self._run(["xwininfo", "-id", self.window_id])
        field = {line.split(":")[0].strip(): line.split(":")[1].strip()
                 for line in info.splitlines() if ":" in line}
        x, y = int(field["Absolute upper-left X"]), int(field["Absolute upper-left Y"])
        width, height = int(field["Width"]), int(field["Height"])
        return x - left, y - top, width + left + right, height + top + bottom


def centre(accessible):
    extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return extents.x + extents.width // 2, extents.y + extents.height // 2


class XFixesCursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def cursor_image(display_name):
    x11 = ctypes.CDLL("libX11.so.6")
    xfixes = ctypes.CDLL("libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(XFixesCursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(display_name.encode())
    try:
        image = xfixes.XFixesGetCursorImage(display).contents
        pixels = tuple(image.pixels[i] for i in range(image.width * image.height))
        shape = (image.width, image.height, image.xhot, image.yhot, pixels)
        x11.XFree(ctypes.addressof(image))
        return shape
    finally:
        x11.XCloseDisplay(display)


def listen():
    """A client of the accessibility bus that listens to events, as a screen reader does."""
    import pyatspi
    pyatspi.Registry.registerEventListener(lambda event: None, "object:", "window:", "focus:")
    pyatspi.Registry.start()


class DesktopTest(unittest.TestCase):
    WORDS = ["tree", "rate", "axe", "tax", "extra", "treat", "eater", "tea", "retreat", "terrace"]

    def setUp(self):
        self.desktop = Desktop(b"trelliwick", self.WORDS)
        self.addCleanup(self.desktop.close)

    def type_puzzle(self, essentials, others, minimum):
        """Types the three inputs, from the first, as a user does, leaving the focus in
        the length box."""
        d = self.desktop
        d.click(d.control("text", name="Essential"))
        d.keys("ctrl+a", "BackSpace")
        d.type(essentials)
        d.keys("Tab", "ctrl+a", "BackSpace")
        d.type(others)
        d.keys("Tab", "ctrl+a", "BackSpace")
        d.type(minimum)

    def test_enter_in_each_input_solves_and_in_the_open_drop_down_only_picks(self):
        d = self.desktop
        self.type_puzzle("e", "rtxa", "4")
        d.keys("Return")  # in the length box, closed
        wait_for("Label2 to count 7", lambda: d.count(LIST2) == "7")
        d.keys("shift+Tab", "shift+Tab")  # back to the essential letters
        d.write_words(["tree", "rate"])
        d.keys("Return")
        wait_for("Label2 to count 2", lambda: d.count(LIST2) == "2")
        d.write_words(["rate"])
        d.keys("Tab", "Return")  # in the other letters
        wait_for("Label2 to count 1", lambda: d.count(LIST2) == "1")

        # In the open drop-down Enter picks and no more; the next Enter solves.
        d.write_words(self.WORDS)
        d.keys("Tab", "ctrl+a", "BackSpace")
        d.type("2")
        d.keys("alt+Down", "Down", "Return")
        combo = d.control("combo box")
        wait_for("the pick of 3", lambda: combo.name == "3")
        time.sleep(1)  # time for a run that should not come
        self.assertEqual(d.count(LIST2), "1", "the pick in the drop-down also solved")
        d.keys("Return")
        wait_for("Label2 to count 9", lambda: d.count(LIST2) == "9")

    def test_each_list_starts_at_its_first_entry_and_its_keys_move_at_once(self):
        d = self.desktop
        d.write_words([f"word{i}" for i in range(200)])
        self.type_puzzle("w", "ord0123456789" * 3, "0")
        d.keys("Return")
        wait_for("Label3 to count 200", lambda: d.count(LIST3) == "200")
        self.assertEqual(d.count(LIST2), "200")
        # Into List2 by Tab: End, Home and Page Down move at once.
        d.keys("Tab")
        self.expect_at_top_with_nothing_selected(LIST2, LIST3)
        self.expect_keys_move(LIST2, "End", "Home", "Next")

        # A run from within List2, its last entry selected: both lists start again at
        # their first entry, nothing selected, and the keys move at once in both.
        d.keys("End", "space")
        wait_for("the last entry selected", lambda: d.selected_count(LIST2) == 1)
        d.keys("Return")
        self.expect_at_top_with_nothing_selected(LIST2, LIST3)
        self.expect_keys_move(LIST2, "End")
        d.keys("Tab")
        self.expect_keys_move(LIST3, "Next", "End", "Home")

        # Into List3 by a click, after a new run.
        d.click(d.control("push button", name="Solve"))
        self.expect_at_top_with_nothing_selected(LIST3)
        d.click(d.control("list", name=LIST3))
        self.expect_keys_move(LIST3, "End")

    def expect_at_top_with_nothing_selected(self, *list_names):
        for list_name in list_names:
            wait_for(f"{list_name}: the first entry current, nothing selected",
                     lambda: self.desktop.is_current(list_name, 0)
                     and self.desktop.selected_count(list_name) == 0)

    def expect_keys_move(self, list_name, *keys):
        """Presses each key in the list of 200 entries and waits for its move."""
        d = self.desktop
        moves = {"End": [199], "Home": [0], "Next": range(2, 40)}
        for key in keys:
            d.keys(key)
            wait_for(f"{key} to move in {list_name}",
                     lambda: d.current_row(list_name, moves[key]) is not None)

    def test_the_framed_window_is_centred_when_first_shown(self):
        left, top, width, height = self.desktop.frame()
        self.assertGreater(height, 400)
        self.assertAlmostEqual(left + width / 2, SCREEN[0] / 2, delta=1.5)
        self.assertAlmostEqual(top + height / 2, SCREEN[1] / 2, delta=1.5)

    def test_the_solve_button_shows_colour_a_however_it_is_reached(self):
        d = self.desktop
        button = d.control("push button", name="Solve")
        extents = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        inside = (extents.x + 6, extents.y + extents.height // 2)
        self.assertEqual(d.pixel(*inside), COLOUR_A, "unfocused")
        d.keys("shift+Tab")  # from the essential letters, back to the button
        wait_for("the focus on the button",
                 lambda: button.getState().contains(pyatspi.STATE_FOCUSED))
        time.sleep(0.3)
        self.assertEqual(d.pixel(*inside), COLOUR_A, "with keyboard focus")
        d.click(button)
        d.point_at(extents.x + extents.width * 3, extents.y)  # off the button
        self.assertEqual(d.pixel(*inside), COLOUR_A, "after a click")

    def test_the_message_has_its_title_text_one_ok_no_icon_and_the_arrow_pointer(self):
        d = self.desktop
        d.point_at(*centre(d.form))  # over the window, not over an input
        arrow = d.pointer_image()
        d.remove_words()
        d.click(d.control("text", name="Essential"))
        d.point_at(*centre(d.form))
        d.keys("Return")
        box = wait_for("the message", lambda: self.find_message())
        self.assertEqual(box.name, "trelliwick")
        texts = [a.name for a in descendants(box) if a.getRoleName() == "label"]
        self.assertIn(MESSAGE, texts)
        buttons = [a for a in descendants(box) if a.getRoleName() == "push button"]
        self.assertEqual([b.name for b in buttons], ["OK"])
        shown = [a for a in descendants(box) if a.getState().contains(pyatspi.STATE_SHOWING)]
        self.assertEqual([a for a in shown if a.getRoleName() in ("image", "icon")], [])
        self.assertTrue(d.pointer_image() == arrow, "the pointer over the message is not the arrow")
        d.keys("Return")
        wait_for("the message to close", lambda: self.find_message() is None)

    def find_message(self):
        d = self.desktop
        for i in range(d.app.childCount):
            window = d.app.getChildAtIndex(i)
            if window is not None and window.name == "trelliwick":
                return window
        return None


class UnusualFolderTest(unittest.TestCase):
    def test_a_folder_whose_name_is_not_utf8_holds_the_list(self):
        desktop = Desktop(b"bad\xffdir", ["tree", "rate"])
        self.addCleanup(desktop.close)
        desktop.click(desktop.control("text", name="Essential"))
        desktop.type("e")
        desktop.keys("Return")
        wait_for("Label2 to count 2", lambda: desktop.count(LIST2) == "2")


def descendants(accessible):
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def test_names():
    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules[__name__])
    return [test.id().removeprefix("__main__.") for group in suite for test in group]


def main():
    global PROGRAM
    warnings.simplefilter("ignore")  # the accessibility library's own, at its import
    # Ended from outside, as by a timeout, the test still ends what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("ended from outside"))
    if sys.argv[1:] == ["--listen"]:
        listen()
    elif sys.argv[1:] == ["--list"]:
        print("\n".join(test_names()))
    elif len(sys.argv) == 3 and sys.argv[2] in test_names():
        PROGRAM = sys.argv[1]
        unittest.main(argv=[sys.argv[0], sys.argv[2]])
    else:
        sys.exit(__doc__.split("\n\n")[-2])


if __name__ == "__main__":
    main()
