#!/usr/bin/python3
"""trelliwick as built, on a real desktop, driven as a user drives it.

Each test starts its own desktop: a private X server (Xvfb) with a window manager
(openbox), a private D-Bus session with the accessibility bus and a client that
listens to it as a screen reader does, and the program, copied with a word list
of the test's into a folder of its own. Keys and clicks go through xdotool; what
the window shows is read back through the accessibility interface (pyatspi), from
screenshots (ImageMagick's import) and from the X server's pointer (XFixes).

Nothing is sampled after a fixed pause: every wait is for a state the desktop
shows, with a limit, and a wait that runs out says what it saw last. Where
nothing should happen (a key that must not solve), a later key whose effect can
be seen is sent and waited for: the program handles its events in order.

    desktop_test.py [--time-limit SECONDS] PROGRAM TEST
                                       runs one test, such as DesktopTest.test_name;
                                       past the limit it ends itself, cleaning up
    desktop_test.py --list             lists the tests, one a line

One test a process: the accessibility library binds to the first desktop it meets.
ctest runs each as a test of its own (`ctest -R Desktop`).
"""

import ctypes
import os
import select
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
LENGTH_CAPTION = "Minimun Lenght"
MESSAGE = "File containing list of words - 'abc.txt' not found."
COLOUR_A = (255, 192, 128)
DESIGN_SCREEN = (1280, 1024)  # where the whole window fits
ARROW = "left_ptr"  # the arrow pointer's name in the cursor theme

# Limits, sized to the work on a loaded 2-core machine with the sanitizers' build.
STARTING = 60  # for each part of a desktop to come up
REACTING = 30  # for the window to show what a key or a click does
POLL = 0.02  # between two looks at the same thing
TIME_LIMIT = 140  # for a whole test, cleaning up included; --time-limit sets it

PROGRAM = None  # the built trelliwick, from the command line


class TimeLimitReached(BaseException):
    """Not an Exception, so that no wait takes it for a failed look."""


def wait_for(what, read, accept=bool, timeout=REACTING):
    """Reads until accept(value) and returns that value. Past the limit it fails,
    naming `what` and the last value read, or the last exception the read raised."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = read()
            if accept(value):
                return value
            last = repr(value)
        except Exception as error:  # pylint: disable=broad-except
            last = f"{type(error).__name__}: {error}"
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}; "
                                 f"last seen: {last}")
        time.sleep(POLL)


def expect(what, read, expected, timeout=REACTING):
    return wait_for(f"{what} to be {expected!r}", read, lambda value: value == expected, timeout)


def start_reaper(scratch):
    """Starts a process outside the test's own tree that, once the test has ended
    however it ended (even killed outright), ends the process groups written to
    the returned pipe and removes `scratch`. Closing the pipe lets it go."""
    read, write = os.pipe()
    child = os.fork()
    if child == 0:
        try:
            os.setsid()
            if os.fork() == 0:
                null = os.open(os.devnull, os.O_RDWR)
                for fd in (0, 1, 2):
                    os.dup2(null, fd)  # ctest waits on the test's output until all close it
                os.closerange(3, read)
                os.closerange(read + 1, 1 << 16)
                reap(read, scratch)
        finally:
            os._exit(0)
    os.close(read)
    os.waitpid(child, 0)
    return write


def reap(pipe, scratch):
    with os.fdopen(pipe, "rb") as lines:
        words = [line.strip() for line in lines]  # until the test is gone
    if words[-1:] == [b"done"]:
        return  # the test cleaned up; the groups' numbers may be others' by now
    for group in reversed(words):
        end_group(int(group))
    shutil.rmtree(scratch, ignore_errors=True)


def end_group(group, wait=None):
    """Ends a process group: asked first, so that an X server removes its socket,
    then made to. A group already gone is no error."""
    try:
        os.killpg(group, signal.SIGTERM)
        deadline = time.monotonic() + 5
        while time.monotonic() < deadline:
            if wait is not None and wait(0.05):
                break
            os.killpg(group, 0)  # raises once the whole group is gone
            time.sleep(0.05)
        os.killpg(group, signal.SIGKILL)
    except ProcessLookupError:
        pass
    except OSError as error:
        print(f"could not end process group {group}: {error}", file=sys.stderr)


class Desktop:
    """A private desktop of the given size with trelliwick on it, started from
    `folder` (bytes); `environment` goes to the program only."""

    def __init__(self, folder, words, screen=DESIGN_SCREEN, environment=None):
        self.processes = []
        self.screen = screen
        self.scratch = tempfile.mkdtemp(prefix="trelliwick-desktop-")
        self.reaper = start_reaper(self.scratch)
        try:
            self._start(folder, words, environment or {})
        except BaseException:
            self.close()
            raise

    def _start(self, folder, words, environment):
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

        wait_for("the accessibility bus", lambda: pyatspi.Registry.getDesktop(0).childCount
                 is not None, timeout=STARTING)
        self.start([sys.executable, os.path.abspath(__file__), "--listen"])
        wait_for("the window manager's check window", lambda: self._run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]),
            lambda text: "window id" in text, timeout=STARTING)
        self.start([self.program], cwd=elsewhere, stderr=None,  # what it says, in the test's output
                   env=dict(self.env, **environment))
        self.window_id = wait_for("the window shown", lambda: self.shown_windows(
            "^Trelliwick Solver"), timeout=STARTING)[0]
        self.app = wait_for("the program on the accessibility bus", self._find_app,
                            timeout=STARTING)
        self.form = wait_for("the window on the accessibility bus", lambda: self.find(
            self.app, lambda a: a.getRoleName() in ("window", "frame") and a.name == CAPTION),
            timeout=STARTING)
        expect("the active window", lambda: self._run(["xdotool", "getactivewindow"]).strip(),
               self.window_id, timeout=STARTING)

    def _start_x_server(self):
        # -noreset: by default the server starts afresh whenever its last client
        # leaves, and drops a client that connects meanwhile, as the window manager
        # or the program may while a short-lived client ends.
        read, write = os.pipe()
        self.start(["Xvfb", "-displayfd", str(write), "-screen", "0",
                    f"{self.screen[0]}x{self.screen[1]}x24", "-nolisten", "tcp", "-noreset"],
                   pass_fds=[write])
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
        bus.stdout.close()
        if not address:
            raise RuntimeError("dbus-daemon did not start")
        return address

    def _find_app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == "trelliwick":
                return app
        return None

    def start(self, command, cwd=None, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
              pass_fds=(), env=None):
        """Starts `command` in a process group of its own, which close() ends, and
        the reaper too if the test cannot."""
        process = subprocess.Popen(command, cwd=cwd, env=env or getattr(self, "env", None),
                                   stdin=subprocess.DEVNULL, stdout=stdout, stderr=stderr,
                                   pass_fds=pass_fds, start_new_session=True)
        self.processes.append(process)
        os.write(self.reaper, f"{process.pid}\n".encode())
        return process

    def close(self):
        """Ends every process the desktop started and removes its folder; a process
        that is already gone stops nothing."""
        try:
            for process in reversed(self.processes):
                end_group(process.pid, wait=lambda timeout, p=process: self._exited(p, timeout))
                self._exited(process, None)
            os.write(self.reaper, b"done\n")
        finally:
            shutil.rmtree(self.scratch, ignore_errors=True)
            os.close(self.reaper)

    @staticmethod
    def _exited(process, timeout):
        try:
            process.wait(timeout)
            return True
        except subprocess.TimeoutExpired:
            return False

    def _run(self, command):
        return subprocess.run(command, env=self.env, capture_output=True, text=True,
                              timeout=REACTING).stdout

    def shown_windows(self, title):
        """The ids of the windows on the screen whose title matches the pattern."""
        return self._run(["xdotool", "search", "--onlyvisible", "--name", title]).split()

    def write_words(self, words):
        with open(os.path.join(self.folder, b"abc.txt"), "wb") as out:
            out.write("".join(word + "\r\n" for word in words).encode())

    def remove_words(self):
        os.remove(os.path.join(self.folder, b"abc.txt"))

    # Keyboard and pointer: X hands the program these events in the order sent.
    def keys(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "30", *keys], env=self.env, check=True)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "20", text], env=self.env, check=True)

    def click(self, accessible):
        x, y = centre(accessible)
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"],
                       env=self.env, check=True)

    def point_at(self, x, y):
        subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y)], env=self.env,
                       check=True)

    # What the window shows.
    def find(self, root, predicate):
        try:
            return pyatspi.findDescendant(root, predicate)
        except Exception:  # pylint: disable=broad-except
            return None

    def control(self, role, name=None, description=None):
        return wait_for(f"a {role} {name or description!r}", lambda: self.find(
            self.form, lambda a: a.getRoleName() == role
            and (name is None or a.name == name)
            and (description is None or a.description == description)))

    def count(self, list_name):
        """The caption of the count label beside the list."""
        return self.control("label", description=list_name).name

    def text(self, name):
        """What the text box of that name holds."""
        return self.control("text", name=name).queryText().getText(0, -1)

    def length(self):
        """What the length box's own text box holds."""
        box = self.control("combo box")
        field = wait_for("the length box's text box", lambda: self.find(
            box, lambda a: a.getRoleName() == "text"))
        return field.queryText().getText(0, -1)

    def drop_down_current(self):
        """The length box's drop-down's current item, or None while it is not shown."""
        items = wait_for("the length box's drop-down", lambda: self.find(
            self.control("combo box"), lambda a: a.getRoleName() == "list"))
        if not items.getState().contains(pyatspi.STATE_SHOWING):
            return None
        return next((item.name for item in descendants(items) if self.focused(item)), None)

    def focused(self, accessible):
        return accessible.getState().contains(pyatspi.STATE_FOCUSED)

    def is_current(self, list_name, row):
        """Whether the list's entry at `row` is its current one."""
        return self.current_row(list_name, [row]) == row

    def current_row(self, list_name, rows):
        """The row among `rows` of the list's current entry, or None."""
        entries = self.control("list", name=list_name)
        return next((row for row in rows if self.focused(entries.getChildAtIndex(row))), None)

    def selected_count(self, list_name):
        return self.control("list", name=list_name).queryTable().nSelectedRows

    def pixels(self, x, y, width=1, height=1):
        """The screen's pixels in that rectangle, row by row, as (red, green, blue)."""
        raw = subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}",
                              "-depth", "8", "rgb:-"], env=self.env, capture_output=True,
                             check=True).stdout
        return [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]

    def pixel(self, x, y):
        return self.pixels(x, y)[0]

    def pointer(self):
        """The pointer as X shows it now: its shape's name (if it has one), size and
        hot spot."""
        return cursor_image(self.env["DISPLAY"])

    def pointer_changes(self):
        """The changes of the pointer's shape from now on, as events (PointerChanges)."""
        return PointerChanges(self.env["DISPLAY"])

    def frame(self):
        """The window's frame on the screen: left, top, right, bottom (exclusive)."""
        extents = self._run(["xprop", "-id", self.window_id, "_NET_FRAME_EXTENTS"])
        left, right, top, bottom = (int(n) for n in extents.split("=")[1].split(","))
        x, y, width, height = self.client_area()
        return x - left, y - top, x + width + right, y + height + bottom

    def on_screen(self, accessible):
        """The control's left, top, width and height on the screen. The toolkit tells
        them in its own pixels, which a scale factor makes larger on the screen."""
        scale = self.client_area()[2] / extents(self.form)[2]
        return tuple(round(n * scale) for n in extents(accessible))

    def client_area(self):
        """The window's inside on the screen: left, top, width, height."""
        info = self._run(["xwininfo", "-id", self.window_id])
        field = {line.split(":")[0].strip(): line.split(":")[1].strip()
                 for line in info.splitlines() if ":" in line}
        return tuple(int(field[name]) for name in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))


def centre(accessible):
    x, y, width, height = extents(accessible)
    return x + width // 2, y + height // 2


def extents(accessible):
    box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def lies_within(inner, outer):
    """Whether the rectangle inner (left, top, width, height) lies within outer."""
    return (inner[0] >= outer[0] and inner[1] >= outer[1]
            and inner[0] + inner[2] <= outer[0] + outer[2]
            and inner[1] + inner[3] <= outer[1] + outer[3])


class XFixesCursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class XFixesCursorNotifyEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("subtype", ctypes.c_int), ("cursor_serial", ctypes.c_ulong),
                ("timestamp", ctypes.c_ulong), ("cursor_name", ctypes.c_ulong)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("cursor", XFixesCursorNotifyEvent),
                ("pad", ctypes.c_long * 24)]


def x_libraries():
    """Xlib and its XFixes extension, their functions typed."""
    x11 = ctypes.CDLL("libX11.so.6")
    xfixes = ctypes.CDLL("libXfixes.so.3")
    display = ctypes.c_void_p
    for function, result, arguments in [
            (x11.XOpenDisplay, display, [ctypes.c_char_p]),
            (x11.XCloseDisplay, ctypes.c_int, [display]),
            (x11.XFree, ctypes.c_int, [ctypes.c_void_p]),
            (x11.XDefaultRootWindow, ctypes.c_ulong, [display]),
            (x11.XConnectionNumber, ctypes.c_int, [display]),
            (x11.XSync, ctypes.c_int, [display, ctypes.c_int]),
            (x11.XPending, ctypes.c_int, [display]),
            (x11.XNextEvent, ctypes.c_int, [display, ctypes.POINTER(XEvent)]),
            (x11.XGetAtomName, ctypes.c_void_p, [display, ctypes.c_ulong]),
            (xfixes.XFixesGetCursorImage, ctypes.POINTER(XFixesCursorImage), [display]),
            (xfixes.XFixesQueryExtension, ctypes.c_int,
             [display, ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]),
            (xfixes.XFixesSelectCursorInput, None, [display, ctypes.c_ulong, ctypes.c_ulong])]:
        function.restype = result
        function.argtypes = arguments
    return x11, xfixes


def open_display(x11, display_name):
    display = x11.XOpenDisplay(display_name.encode())
    if not display:
        raise RuntimeError(f"cannot open the display {display_name}")
    return display


def cursor_image(display_name):
    """The pointer's shape as (name, width, height, hot x, hot y). An animated
    shape, such as the busy one, shows as one pixel under its name."""
    x11, xfixes = x_libraries()
    display = open_display(x11, display_name)
    try:
        image = xfixes.XFixesGetCursorImage(display).contents
        shape = ((image.name or b"").decode(), image.width, image.height, image.xhot, image.yhot)
        x11.XFree(ctypes.addressof(image))
        return shape
    finally:
        x11.XCloseDisplay(display)


class PointerChanges:
    """The changes of the pointer's shape on the screen, as the X server reports
    them from the moment this is made: each is an event that waits to be read, so
    none is missed however soon the next follows it. Use it in a with statement."""

    CURSOR_NOTIFY = 1  # the event's number after the extension's first
    DISPLAY_CURSOR_NOTIFY_MASK = 1

    def __init__(self, display_name):
        self.x11, xfixes = x_libraries()
        self.display = open_display(self.x11, display_name)
        self.seen = []  # the names of the shapes reported, in order, each once a change
        event_base, error_base = ctypes.c_int(), ctypes.c_int()
        if not xfixes.XFixesQueryExtension(self.display, ctypes.byref(event_base),
                                           ctypes.byref(error_base)):
            self.close()
            raise RuntimeError(f"the display {display_name} has no XFixes")
        self.notify = event_base.value + self.CURSOR_NOTIFY
        xfixes.XFixesSelectCursorInput(self.display, self.x11.XDefaultRootWindow(self.display),
                                       self.DISPLAY_CURSOR_NOTIFY_MASK)
        self.x11.XSync(self.display, 0)  # the server reports changes from here on

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def close(self):
        self.x11.XCloseDisplay(self.display)

    def wait_for(self, what, accept, timeout=REACTING):
        """Reads the reported changes until one to a shape whose name (None for a shape
        without one) passes accept(name). Past the limit it fails, naming `what` and
        the shapes reported until then."""
        deadline = time.monotonic() + timeout
        event = XEvent()
        while True:
            while self.x11.XPending(self.display):
                self.x11.XNextEvent(self.display, ctypes.byref(event))
                if event.type != self.notify:
                    continue
                shape = self._atom_name(event.cursor.cursor_name)
                if self.seen[-1:] != [shape]:
                    self.seen.append(shape)
                if accept(shape):
                    return
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                raise AssertionError(f"timed out after {timeout} s waiting for the pointer "
                                     f"to change to {what}; changes seen: {self.seen}")
            select.select([self.x11.XConnectionNumber(self.display)], [], [], remaining)

    def _atom_name(self, atom):
        if not atom:
            return None  # a shape without a name
        text = self.x11.XGetAtomName(self.display, atom)
        try:
            return ctypes.string_at(text).decode()
        finally:
            self.x11.XFree(text)


def listen():
    """A client of the accessibility bus that listens to events, as a screen reader does."""
    import pyatspi
    signal.signal(signal.SIGTERM, signal.SIG_DFL)  # its loop runs no Python handler
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
        expect("Label2's count", lambda: d.count(LIST2), "7")
        d.keys("shift+Tab", "shift+Tab")  # back to the essential letters
        d.write_words(["tree", "rate"])
        d.keys("Return")
        expect("Label2's count", lambda: d.count(LIST2), "2")
        d.write_words(["rate"])
        d.keys("Tab", "Return")  # in the other letters
        expect("Label2's count", lambda: d.count(LIST2), "1")

        # Enter with Ctrl, from the main keys or the keypad, does not solve: the
        # letter typed after it shows with the count unchanged. The keypad's Enter does.
        d.write_words(self.WORDS)
        d.keys("ctrl+Return", "ctrl+KP_Enter", "End")
        d.type("s")
        expect("the other letters", lambda: d.text("Others"), "rtxas")
        self.assertEqual(d.count(LIST2), "1", "Enter with Ctrl solved")
        d.keys("BackSpace", "KP_Enter")
        expect("Label2's count after the keypad's Enter", lambda: d.count(LIST2), "7")

        # In the open drop-down Enter picks and no more; the next Enter solves.
        d.write_words(["rate"])
        d.keys("Tab", "ctrl+a", "BackSpace")
        d.type("2")
        d.keys("alt+Down")  # the drop-down takes keys once it is open, not while it opens
        expect("the drop-down's current item", d.drop_down_current, "2")
        d.keys("Down")
        expect("the drop-down's current item", d.drop_down_current, "3")
        d.keys("Return")
        expect("the length picked", d.length, "3")
        d.keys("shift+Tab")  # seen once the pick's keys are handled
        wait_for("the focus back in the other letters",
                 lambda: d.focused(d.control("text", name="Others")))
        self.assertEqual(d.count(LIST2), "7", "the pick in the drop-down also solved")
        d.keys("Return")
        expect("Label2's count with the length picked", lambda: d.count(LIST2), "1")
        # Tab selects the length box's text, and Enter there still solves.
        d.write_words(["rate", "tree"])
        d.keys("Tab", "Return")
        expect("Label2's count from the length box reached by Tab", lambda: d.count(LIST2), "2")

    def test_each_list_starts_at_its_first_entry_and_its_keys_move_at_once(self):
        d = self.desktop
        d.write_words([f"word{i}" for i in range(200)])
        self.type_puzzle("w", "ord0123456789" * 3, "0")
        d.keys("Return")
        expect("Label3's count", lambda: d.count(LIST3), "200")
        self.assertEqual(d.count(LIST2), "200")
        # Into List2 by Tab: End, Home and Page Down move at once.
        d.keys("Tab")
        self.expect_at_top_with_nothing_selected(LIST2, LIST3)
        self.expect_keys_move(LIST2, "End", "Home", "Next")

        # A run from within List2, its last entry selected: both lists start again at
        # their first entry, nothing selected, and the keys move at once in both.
        d.keys("End", "space")
        expect("the entries selected", lambda: d.selected_count(LIST2), 1)
        d.keys("Return")
        self.expect_at_top_with_nothing_selected(LIST2, LIST3)
        self.expect_keys_move(LIST2, "End")
        d.keys("Tab")
        self.expect_keys_move(LIST3, "Next", "Home", "End")

        # Into List3 by a click, after a new run, which leaves its last entry.
        d.click(d.control("push button", name="Solve"))
        self.expect_at_top_with_nothing_selected(LIST3)
        d.click(d.control("list", name=LIST3))
        self.expect_keys_move(LIST3, "End")

    def expect_at_top_with_nothing_selected(self, *list_names):
        d = self.desktop
        for list_name in list_names:
            expect(f"{list_name}: whether the first entry is current, and the entries selected",
                   lambda: (d.is_current(list_name, 0), d.selected_count(list_name)), (True, 0))

    def expect_keys_move(self, list_name, *keys):
        """Presses each key in the list of 200 entries and waits for its move."""
        d = self.desktop
        moves = {"End": [199], "Home": [0], "Next": range(2, 40)}
        for key in keys:
            d.keys(key)
            wait_for(f"{key} to move in {list_name} to a row among {moves[key]}",
                     lambda: d.current_row(list_name, moves[key]),
                     lambda row: row is not None)

    def test_the_solve_button_shows_colour_a_however_it_is_reached(self):
        d = self.desktop
        button = d.control("push button", name="Solve")
        x, y, width, height = extents(button)
        inside, edge = (x + 6, y + height // 2), (x, y + height // 2)
        self.assertEqual(d.pixel(*inside), COLOUR_A, "unfocused")
        unfocused_edge = d.pixel(*edge)
        d.keys("shift+Tab")  # from the essential letters, back to the button
        wait_for("the focus on the button", lambda: d.focused(button))
        # The focus shows as the button's border, drawn with its inside.
        wait_for("the button's border to show the focus", lambda: d.pixel(*edge),
                 lambda colour: colour != unfocused_edge)
        self.assertEqual(d.pixel(*inside), COLOUR_A, "with keyboard focus")

        # Clicked, the button runs a solve; the count it writes is drawn with the
        # button released.
        label = extents(d.control("label", description=LIST2))
        d.click(button)
        d.point_at(x + width * 3, y)  # off the button
        expect("Label2's count", lambda: d.count(LIST2), "7")
        wait_for("Label2's count drawn", lambda: set(d.pixels(*label)),
                 lambda colours: colours != {COLOUR_A})
        self.assertEqual(d.pixel(*inside), COLOUR_A, "after a click")

    def test_the_pointer_is_busy_while_a_run_reads_and_the_arrow_after_and_over_the_message(self):
        d = self.desktop
        d.click(d.control("text", name="Essential"))
        d.point_at(*centre(d.form))  # over the window, not over an input
        arrow = wait_for("the arrow over the window", d.pointer,
                         lambda shape: shape[0] == ARROW)

        # A long list, every line listed: the pointer is busy while it is read, and the
        # arrow again once the run has ended. The X server reports each change as an
        # event, which waits to be read however short the run. The busy shape moves: it
        # is reported frame by frame, and its frames have no name.
        lines = 1_500_000
        with open(os.path.join(d.folder, b"abc.txt"), "wb") as out:
            out.write(b"ab\r\n" * lines)
        d.keys("Tab", "Tab", "ctrl+a", "BackSpace")
        d.type("0")
        with d.pointer_changes() as changes:
            d.keys("Return")
            changes.wait_for("another shape than the arrow", lambda shape: shape != ARROW)
            changes.wait_for("the arrow", lambda shape: shape == ARROW, timeout=120)
        expect("Label2's count", lambda: d.count(LIST2), str(lines))
        expect("the pointer after the run", d.pointer, arrow)

        # No list: the message, with the arrow over it.
        d.remove_words()
        d.keys("Return")
        box = wait_for("the message", self.find_message)
        self.assertEqual(box.name, "trelliwick")
        texts = [a.name for a in descendants(box) if a.getRoleName() == "label"]
        self.assertIn(MESSAGE, texts)
        buttons = [a for a in descendants(box) if a.getRoleName() == "push button"]
        self.assertEqual([b.name for b in buttons], ["OK"])
        shown = [a for a in descendants(box) if a.getState().contains(pyatspi.STATE_SHOWING)]
        self.assertEqual([a for a in shown if a.getRoleName() in ("image", "icon")], [])
        # The program set the arrow before it mapped the message's window.
        d.point_at(*centre(box))
        wait_for("the message's window shown", lambda: d.shown_windows("^trelliwick$"))
        expect("the pointer over the message", d.pointer, arrow)
        d.keys("Return")
        wait_for("the message to close", self.find_message, lambda box: box is None)

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
        expect("Label2's count", lambda: desktop.count(LIST2), "2")


class OnScreen:
    """On one screen: the window's frame lies on it, Tab brings Solve into view,
    inside the window, and the length box is named after its caption. A screen
    where the window fits shows it as designed: centred, without scroll bars."""

    SCREEN = DESIGN_SCREEN
    ENVIRONMENT = {}
    FITS = False

    def test_the_window_lies_on_the_screen_and_tab_reaches_solve_in_view(self):
        d = Desktop(b"trelliwick", ["tree"], self.SCREEN, self.ENVIRONMENT)
        self.addCleanup(d.close)
        width, height = self.SCREEN
        on_screen = lambda frame: (frame[0] >= 0 and frame[1] >= 0 and frame[2] <= width
                                   and frame[3] <= height)
        with self.subTest("the frame on the screen"):
            wait_for(f"the frame within the screen {width}x{height}", d.frame, on_screen)
        if self.FITS:
            with self.subTest("the window as designed"):
                wait_for("the frame centred", d.frame, lambda frame: (
                    abs(frame[0] + frame[2] - width) <= 2
                    and abs(frame[1] + frame[3] - height) <= 2))
                self.assertIsNone(d.find(d.form, lambda a: a.getRoleName() == "scroll bar"
                                         and a.getState().contains(pyatspi.STATE_SHOWING)))
        with self.subTest("the length box named"):
            self.assertEqual(d.control("combo box").name, LENGTH_CAPTION)

        with self.subTest("Solve in view"):
            button = d.control("push button", name="Solve")
            d.keys(*["Tab"] * 5)  # from the essential letters, through the others
            wait_for("the focus on Solve", lambda: d.focused(button))
            window = d.client_area()
            wait_for(f"Solve inside the window {window} and the screen",
                     lambda: d.on_screen(button), lambda place: lies_within(place, window)
                     and lies_within(place, (0, 0, width, height)))
            self.assertTrue(on_screen(d.frame()), f"the frame {d.frame()} left the screen")


def on_screen_test(name, screen, environment=None, fits=False):
    globals()[name] = type(name, (OnScreen, unittest.TestCase), {
        "SCREEN": screen, "ENVIRONMENT": environment or {}, "FITS": fits})


on_screen_test("Screen1280x1024", (1280, 1024), fits=True)
on_screen_test("Screen1366x768At125", (1366, 768), {"QT_SCALE_FACTOR": "1.25"})
on_screen_test("Screen1366x768At144Dpi", (1366, 768), {"QT_FONT_DPI": "144"})
on_screen_test("Screen1920x1080At200", (1920, 1080), {"QT_SCALE_FACTOR": "2"})
on_screen_test("Screen1024x600", (1024, 600))


def descendants(accessible):
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield child
            yield from descendants(child)


def test_names():
    suite = unittest.defaultTestLoader.loadTestsFromModule(sys.modules["__main__"])
    return [test.id().removeprefix("__main__.") for group in suite for test in group]


def run_test(program, name, time_limit):
    global PROGRAM
    PROGRAM = program

    def time_is_up(*_):
        raise TimeLimitReached(f"the test ran past its limit of {time_limit} s")

    # Past its limit the test ends itself, and so ends what it started, before
    # whatever runs it kills it outright; the reaper cleans up after that too.
    signal.signal(signal.SIGALRM, time_is_up)
    signal.alarm(time_limit)
    unittest.main(argv=[sys.argv[0], name])


def main():
    warnings.simplefilter("ignore")  # the accessibility library's own, at its import
    # Ended from outside, as by a timeout, the test still ends what it started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("ended from outside"))
    arguments = sys.argv[1:]
    time_limit = TIME_LIMIT
    if arguments[:1] == ["--time-limit"] and len(arguments) > 1 and arguments[1].isdigit():
        time_limit = int(arguments[1])
        arguments = arguments[2:]
    if arguments == ["--listen"]:
        listen()
    elif arguments == ["--list"]:
        print("\n".join(test_names()))
    elif len(arguments) == 2 and arguments[1] in test_names():
        run_test(arguments[0], arguments[1], time_limit)
    else:
        sys.exit(__doc__.split("\n\n")[-2])


if __name__ == "__main__":
    main()
