# xsession.py: the one way the tests get a display: a private Xvfb on a display it picks itself
# (-displayfd), optionally openbox and a D-Bus session bus, and the ways a player uses them.
import ctypes
import os
import select
import shutil
import signal
import subprocess
import time
from dataclasses import dataclass

from PIL import Image
from Xlib import X, Xatom, display, error
from Xlib.ext import xtest
from Xlib.protocol import event

SCREEN_WIDTH, SCREEN_HEIGHT = 1024, 768
POLL_SECONDS = 0.02

# X requests on a window that has just gone fail with one of these; the window is then gone.
_GONE = (error.BadWindow, error.BadDrawable, error.BadMatch, error.BadValue)


class CheckFailed(Exception):
    """A check saw something other than what it expected."""


def expect(condition, expected, seen):
    if not condition:
        raise CheckFailed(f"expected {expected}; saw {seen}")


def wait_until(probe, timeout, expected, seen=None):
    """Polls probe() until it gives a true value, at most timeout seconds; returns that value.

    On time-out, fails saying what was expected and, from seen() (or the last value), what was
    seen instead."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise CheckFailed(
                f"expected {expected} within {timeout:g} s; saw {seen() if seen else value!r}")
        time.sleep(POLL_SECONDS)


def _die_with_parent():
    # Should this runner be killed (a CTest time-out), the kernel stops what it started too.
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def stop_process(process):
    """Stops one process that this runner started, by its id: politely, then firmly."""
    if process is None or process.poll() is not None:
        return
    try:
        os.kill(process.pid, signal.SIGTERM)
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        os.kill(process.pid, signal.SIGKILL)
        process.wait(timeout=5)
    except ProcessLookupError:
        pass


def start_session_bus(env, log):
    """A private D-Bus session bus, logging to `log`: its process and its address."""
    read_end, write_end = os.pipe()
    try:
        bus = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", f"--print-address={write_end}"],
            env=env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
            pass_fds=(write_end,), preexec_fn=_die_with_parent)
        os.close(write_end)
        write_end = -1
        with os.fdopen(read_end) as pipe:
            read_end = -1
            address = pipe.readline().strip()
    finally:
        for fd in (read_end, write_end):
            if fd >= 0:
                os.close(fd)
    if not address:
        stop_process(bus)
        raise CheckFailed(f"expected dbus-daemon to print its address; it exited with "
                          f"{bus.poll()} (see dbus.log)")
    return bus, address


@dataclass(frozen=True)
class ClientWindow:
    """One top-level window that the window manager manages, as a player sees it."""
    wid: int
    title: str
    x: int  # the client area's top-left corner on the screen
    y: int
    width: int
    height: int
    transient_for: int

    @property
    def rect(self):
        return (self.x, self.y, self.width, self.height)

    def describe(self):
        return f'"{self.title}" {self.width}x{self.height}+{self.x}+{self.y} (0x{self.wid:x})'


def describe_windows(windows):
    return "[" + ", ".join(w.describe() for w in windows) + "]" if windows else "no window"


class XSession:
    """Xvfb on a free display number, with openbox and a session bus when asked; stopped by
    close(), or on leaving a with block. Everything it starts dies with this runner."""

    def __init__(self, log_dir, window_manager=True, bus=False,
                 screen=(SCREEN_WIDTH, SCREEN_HEIGHT)):
        self.log_dir = log_dir
        self.screen = screen
        os.makedirs(log_dir, exist_ok=True)
        # A home of their own for the programs started here, under the log folder, so that
        # even a killed run leaves nothing elsewhere; the next run starts it afresh.
        self.home = os.path.join(log_dir, "home")
        shutil.rmtree(self.home, ignore_errors=True)
        for sub in ("config", "cache", "runtime"):
            os.makedirs(os.path.join(self.home, sub), mode=0o700)
        self.server = None
        self.wm = None
        self.bus = None
        self.display = None
        # What a program needs to live in this session; environment() adds the rest.
        self.env = {"XDG_RUNTIME_DIR": os.path.join(self.home, "runtime")}
        try:
            self._start_server()
            if bus:
                self._start_bus()
            if window_manager:
                self._start_wm()
        except BaseException:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    # The environment of every program started here: nothing of the caller's desktop leaks in.
    def environment(self, **extra):
        env = {"PATH": os.environ.get("PATH", os.defpath), "HOME": self.home,
               "QT_QPA_PLATFORM": "xcb",
               "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
               "XDG_CACHE_HOME": os.path.join(self.home, "cache"), **self.env}
        for name, value in os.environ.items():
            if name.startswith(("ASAN_", "LSAN_", "UBSAN_", "WINE")):
                env[name] = value
        env.update(extra)
        return env

    def _log(self, name):
        return open(os.path.join(self.log_dir, name), "wb")

    def _start_server(self):
        read_end, write_end = os.pipe()
        try:
            with self._log("xvfb.log") as log:
                self.server = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                     f"{self.screen[0]}x{self.screen[1]}x24", "-nolisten", "tcp", "-noreset"],
                    stdin=subprocess.DEVNULL, stdout=log, stderr=log, pass_fds=(write_end,),
                    preexec_fn=_die_with_parent)
            os.close(write_end)
            write_end = -1
            # Xvfb writes the display number it took once it accepts connections.
            number = b""
            deadline = time.monotonic() + 30
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(left, 0))
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    raise CheckFailed(f"expected Xvfb to report its display number; it exited "
                                      f"with {self.server.poll()} or stayed silent (see xvfb.log)")
                number += chunk
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)
        self.display_name = f":{int(number)}"
        self.env["DISPLAY"] = self.display_name
        self.display = display.Display(self.display_name)
        self.root = self.display.screen().root
        self.atom = self.display.intern_atom

    def _start_bus(self):
        with self._log("dbus.log") as log:
            self.bus, self.env["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(
                self.environment(), log)

    def _start_wm(self):
        with self._log("openbox.log") as log:
            self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.environment(),
                                       stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                       preexec_fn=_die_with_parent)

        def wm_ready():
            prop = self.root.get_full_property(self.atom("_NET_SUPPORTING_WM_CHECK"), Xatom.WINDOW)
            return prop is not None and self.wm.poll() is None
        wait_until(wm_ready, 30, "openbox to take the screen",
                   lambda: f"openbox status {self.wm.poll()} (see openbox.log)")
        # Openbox claims the screen before it has finished starting, and a window mapped in
        # between may never be managed: ask with a window of our own until it frames it.
        probe = self.root.create_window(0, 0, 16, 16, 0, X.CopyFromParent)
        probe.set_wm_name("vorek-e2e probe")

        def managed():
            prop = self.root.get_full_property(self.atom("_NET_CLIENT_LIST"), Xatom.WINDOW)
            return prop is not None and probe.id in prop.value

        def ask_again():
            # A withdrawn window mapped again: a fresh request to manage it.
            probe.unmap()
            probe.map()
            self.display.sync()
            try:
                wait_until(managed, 2, "")
                return True
            except CheckFailed:
                return False
        wait_until(ask_again, 30, "openbox to manage a first window",
                   lambda: f"openbox status {self.wm.poll()}, the window never managed")
        probe.destroy()
        self.display.sync()
        wait_until(lambda: not managed(), 30, "openbox to let the first window go",
                   lambda: "it still listed")

    def health(self):
        """What became of the server and the window manager, for failure messages."""
        problems = [f"{name} ended with status {process.poll()}"
                    for name, process in (("Xvfb", self.server), ("openbox", self.wm),
                                          ("dbus-daemon", self.bus))
                    if process is not None and process.poll() is not None]
        return "; " + ", ".join(problems) if problems else ""

    def start(self, argv, log_name):
        with self._log(log_name) as log:
            return subprocess.Popen(argv, env=self.environment(), stdin=subprocess.DEVNULL,
                                    stdout=log, stderr=log, preexec_fn=_die_with_parent)

    def close(self):
        if self.display is not None:
            self.display.close()
            self.display = None
        stop_process(self.wm)
        stop_process(self.bus)
        stop_process(self.server)
        shutil.rmtree(self.home, ignore_errors=True)

    # The window list, as the window manager keeps it; stacked: from the bottom to the top.
    def windows(self, stacked=False):
        name = "_NET_CLIENT_LIST_STACKING" if stacked else "_NET_CLIENT_LIST"
        prop = self.root.get_full_property(self.atom(name), Xatom.WINDOW)
        found = []
        for wid in (prop.value if prop else []):
            try:
                client = self._client(int(wid))
            except _GONE:
                continue
            if client is not None:
                found.append(client)
        return found

    def _client(self, wid):
        window = self.display.create_resource_object("window", wid)
        attributes = window.get_attributes()
        if attributes.map_state != X.IsViewable:
            return None  # listed, but not on the screen: not a window a player sees
        geometry = window.get_geometry()
        origin = self.root.translate_coords(window, 0, 0)
        name = window.get_full_property(self.atom("_NET_WM_NAME"), self.atom("UTF8_STRING"))
        title = name.value.decode("utf-8") if name else (window.get_wm_name() or "")
        transient = window.get_full_property(Xatom.WM_TRANSIENT_FOR, Xatom.WINDOW)
        return ClientWindow(wid, title, origin.x, origin.y, geometry.width, geometry.height,
                            int(transient.value[0]) if transient and transient.value else 0)

    def active_window(self):
        prop = self.root.get_full_property(self.atom("_NET_ACTIVE_WINDOW"), Xatom.WINDOW)
        return int(prop.value[0]) if prop and prop.value else 0

    def tree(self):
        """Every window on the server, mapped or not, as indented lines: for failure reports."""
        lines = []

        def walk(window, depth):
            try:
                geometry = window.get_geometry()
                attributes = window.get_attributes()
                name = window.get_wm_name()
                children = window.query_tree().children
            except _GONE:
                return
            state = {X.IsUnmapped: "unmapped", X.IsUnviewable: "unviewable",
                     X.IsViewable: "viewable"}[attributes.map_state]
            lines.append(f"{'  ' * depth}0x{window.id:x} {name!r} {geometry.width}x"
                         f"{geometry.height}+{geometry.x}+{geometry.y} {state}")
            for child in children:
                walk(child, depth + 1)
        walk(self.root, 0)
        return "\n".join(lines)

    def frame_extents(self, wid):
        window = self.display.create_resource_object("window", wid)
        prop = window.get_full_property(self.atom("_NET_FRAME_EXTENTS"), Xatom.CARDINAL)
        return tuple(prop.value) if prop else (0, 0, 0, 0)

    # What the screen shows: the root window's pixels, as any screenshot tool sees them.
    def screenshot(self, rect=None):
        x, y, width, height = rect or (0, 0, *self.screen)
        image = self.root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (width, height), image.data, "raw", "BGRX")

    # The player's hand: XTest events, as from a real mouse.
    def move_pointer(self, x, y):
        xtest.fake_input(self.display, X.MotionNotify, x=int(x), y=int(y))
        self.display.sync()

    def click(self, x, y, then=None):
        """A click at (x, y); with `then`, the pointer goes on there right after the release,
        as a hand does, before the program may have read the click."""
        self.move_pointer(x, y)
        xtest.fake_input(self.display, X.ButtonPress, 1)
        xtest.fake_input(self.display, X.ButtonRelease, 1)
        if then is not None:
            xtest.fake_input(self.display, X.MotionNotify, x=int(then[0]), y=int(then[1]))
        self.display.sync()

    def press(self, x, y):
        self.move_pointer(x, y)
        xtest.fake_input(self.display, X.ButtonPress, 1)
        self.display.sync()

    def release(self):
        xtest.fake_input(self.display, X.ButtonRelease, 1)
        self.display.sync()

    def set_resources(self, text):
        """The X resources the programs started from now on read, as xrdb sets them
        ("Xft.dpi:\t192\n" for a desktop at 200 %)."""
        self.root.change_property(Xatom.RESOURCE_MANAGER, Xatom.STRING, 8, text.encode())
        self.display.sync()

    def request_close(self, wid):
        """Asks the window manager to close a window, as its title-bar close button does; the
        window manager sends the program WM_DELETE_WINDOW."""
        message = event.ClientMessage(
            window=self.display.create_resource_object("window", wid),
            client_type=self.atom("_NET_CLOSE_WINDOW"), data=(32, [X.CurrentTime, 2, 0, 0, 0]))
        self.root.send_event(message, event_mask=X.SubstructureRedirectMask |
                             X.SubstructureNotifyMask)
        self.display.sync()
