# sessions.py: the private sessions the tests run programs in, on one base: Xvfb on a display it
# picks itself (-displayfd), with openbox and a D-Bus session bus when asked; or weston, headless
# or inside such an X display, with a bus of its own. And the ways a player uses a screen.
import ctypes
import os
import re
import select
import shutil
import signal
import socket
import subprocess
import tempfile
import time
from dataclasses import dataclass
from typing import NamedTuple

from PIL import Image
from Xlib import X, XK, Xatom, display, error
from Xlib.ext import xtest
from Xlib.protocol import event

SCREEN = (1024, 768)
POLL_SECONDS = 0.02

# X requests on a window that has just gone fail with one of these; the window is then gone.
_GONE = (error.BadWindow, error.BadDrawable, error.BadMatch, error.BadValue)


def wait_until(probe, timeout, expected, seen=None, act=None, every=None):
    """Polls probe() until it gives a true value, at most timeout seconds; returns that value.
    With `act`, does it first and again every `every` seconds: for an effect that one act may
    not bring, as a hand clicks again on a window that took no click yet.

    On time-out, fails saying what was expected and, from seen() (or the last value), what was
    seen instead."""
    deadline = time.monotonic() + timeout
    again = 0
    while True:
        if act and time.monotonic() >= again:
            act()
            again = time.monotonic() + every
        value = probe()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(
                f"expected {expected} within {timeout:g} s; saw {seen() if seen else value!r}")
        time.sleep(POLL_SECONDS)


def die_with_parent():
    # Should the test runner be killed (a CTest time-out), the kernel stops what it started too.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def stop_process(process):
    """Stops one process that the tests started, by its id: politely, then firmly."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=5)


class Session:
    """A home of its own for the programs started in it (under the log folder, so that even a
    killed run leaves nothing elsewhere) and the servers it runs, stopped by close() or on
    leaving a with block. Sockets go in a runtime folder of a short path of its own."""

    PLATFORM = None  # Qt's platform plugin for its programs

    def __init__(self, log_dir, **options):
        self.log_dir = log_dir
        self.home = os.path.join(log_dir, "home")
        shutil.rmtree(self.home, ignore_errors=True)
        for sub in ("config", "cache"):
            os.makedirs(os.path.join(self.home, sub), mode=0o700)
        self.runtime = tempfile.mkdtemp(prefix="vorek-runtime-")
        self.servers = []
        self.display = None
        # Everything a program here gets: nothing of the caller's desktop leaks in.
        self.env = {"PATH": os.environ.get("PATH", os.defpath), "HOME": self.home,
                    "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
                    "XDG_CACHE_HOME": os.path.join(self.home, "cache"),
                    "XDG_RUNTIME_DIR": self.runtime, "QT_QPA_PLATFORM": self.PLATFORM}
        try:
            self._start(**options)
        except BaseException:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def environment(self, **extra):
        """The environment of a program here, with `extra` (None: that variable unset)."""
        env = dict(self.env)
        env.update((k, v) for k, v in os.environ.items()
                   if k.startswith(("ASAN_", "LSAN_", "UBSAN_", "WINE")))
        env.update(extra)
        return {k: v for k, v in env.items() if v is not None}

    def start(self, argv, log_name, env=None, **popen):
        """A program here, its output to `log_name` in the log folder."""
        with open(os.path.join(self.log_dir, log_name), "wb") as log:
            return subprocess.Popen(argv, env=self.environment() if env is None else env,
                                    stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                    preexec_fn=die_with_parent, **popen)

    def _serve(self, argv, log_name, reports=None, env=None):
        """Starts a server for the session's length. With `reports`, the server writes one line
        to the descriptor put for "{fd}" in argv once it is ready; returns that line."""
        read_end, write_end = os.pipe()
        try:
            server = self.start([word.format(fd=write_end) for word in argv], log_name, env,
                                pass_fds=(write_end,))
            self.servers.append(server)
            os.close(write_end)
            write_end = -1
            line, deadline = b"", time.monotonic() + 30
            while reports and not line.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], max(deadline - time.monotonic(), 0))
                chunk = os.read(read_end, 256) if ready else b""
                assert chunk, (f"expected {argv[0]} to report {reports}; it exited with "
                               f"{server.poll()} or stayed silent (see {log_name})")
                line += chunk
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)
        return line.decode().strip()

    def start_bus(self):
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._serve(
            ["dbus-daemon", "--session", "--nofork", "--print-address={fd}"], "dbus.log",
            "its address")

    def health(self):
        """What became of the session's servers, for failure messages."""
        problems = [f"{server.args[0]} ended with status {server.poll()}"
                    for server in self.servers if server.poll() is not None]
        return "; " + ", ".join(problems) if problems else ""

    def close(self):
        if self.display is not None:
            self.display.close()
            self.display = None
        for server in reversed(self.servers):
            stop_process(server)
        self.servers = []
        shutil.rmtree(self.home, ignore_errors=True)
        shutil.rmtree(self.runtime, ignore_errors=True)


@dataclass(frozen=True)
class ClientWindow:
    """One top-level window, as a player sees it."""
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


class Screen:
    """An X display as a player sees and uses it: its windows, its pixels, and a hand (XTest's
    pointer and keys, as from a real mouse and keyboard)."""

    def connect(self, name):
        self.display_name = name
        self.display = display.Display(name)
        self.root = self.display.screen().root
        self.atom = self.display.intern_atom
        self.size = (self.display.screen().width_in_pixels,
                     self.display.screen().height_in_pixels)
        return self

    def windows(self, stacked=False):
        """The window list as the window manager keeps it; stacked: from the bottom up."""
        name = "_NET_CLIENT_LIST_STACKING" if stacked else "_NET_CLIENT_LIST"
        prop = self.root.get_full_property(self.atom(name), Xatom.WINDOW)
        return [w for w in (self._client(int(wid)) for wid in (prop.value if prop else []))
                if w is not None]

    def mapped(self, title=None, size=None):
        """Every window on the screen, window manager or not, of this title and client size when
        given."""
        found = []

        def walk(window):
            try:
                children = window.query_tree().children
            except _GONE:
                return
            for child in children:
                client = self._client(child.id)
                if client and title in (None, client.title) and size in (None, client.rect[2:]):
                    found.append(client)
                walk(child)
        walk(self.root)
        return found

    def _client(self, wid):
        try:
            window = self.display.create_resource_object("window", wid)
            if window.get_attributes().map_state != X.IsViewable:
                return None  # not on the screen: not a window a player sees
            geometry = window.get_geometry()
            origin = self.root.translate_coords(window, 0, 0)
            name = window.get_full_property(self.atom("_NET_WM_NAME"), self.atom("UTF8_STRING"))
            title = name.value.decode("utf-8") if name else (window.get_wm_name() or "")
            transient = window.get_full_property(Xatom.WM_TRANSIENT_FOR, Xatom.WINDOW)
        except _GONE:
            return None
        return ClientWindow(wid, title, origin.x, origin.y, geometry.width, geometry.height,
                            int(transient.value[0]) if transient and transient.value else 0)

    def wm_class(self, wid):
        """WM_CLASS as (instance, class)."""
        return self.display.create_resource_object("window", wid).get_wm_class()

    def active_window(self):
        prop = self.root.get_full_property(self.atom("_NET_ACTIVE_WINDOW"), Xatom.WINDOW)
        return int(prop.value[0]) if prop and prop.value else 0

    def tree(self):
        """Every window on the server, mapped or not: for failure reports."""
        return subprocess.run(["xwininfo", "-root", "-tree"], env=dict(os.environ, DISPLAY=
                              self.display_name), capture_output=True, text=True).stdout

    def frame_extents(self, wid):
        window = self.display.create_resource_object("window", wid)
        prop = window.get_full_property(self.atom("_NET_FRAME_EXTENTS"), Xatom.CARDINAL)
        return tuple(prop.value) if prop else (0, 0, 0, 0)

    def screenshot(self, rect=None):
        """The root window's pixels, as any screenshot tool sees them."""
        x, y, width, height = rect or (0, 0, *self.size)
        image = self.root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
        return Image.frombytes("RGB", (width, height), image.data, "raw", "BGRX")

    def keep_evidence(self, stem):
        self.screenshot().save(stem + ".png")
        with open(stem + "-windows.txt", "w", encoding="utf-8") as report:
            report.write(self.tree())

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

    def key(self, name):
        code = self.display.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self.display, X.KeyPress, code)
        xtest.fake_input(self.display, X.KeyRelease, code)
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


class XSession(Screen, Session):
    """Xvfb on a free display number, with openbox and a session bus when asked."""

    PLATFORM = "xcb"

    def _start(self, window_manager=True, bus=False, screen=SCREEN):
        number = self._serve(["Xvfb", "-displayfd", "{fd}", "-screen", "0",
                              f"{screen[0]}x{screen[1]}x24", "-nolisten", "tcp", "-noreset"],
                             "xvfb.log", "its display number", env=os.environ)
        self.connect(f":{int(number)}")
        self.env["DISPLAY"] = self.display_name
        if bus:
            self.start_bus()
        if window_manager:
            self._start_wm()

    def _start_wm(self):
        wm = self.start(["openbox", "--sm-disable"], "openbox.log")
        self.servers.append(wm)

        def wm_ready():
            prop = self.root.get_full_property(self.atom("_NET_SUPPORTING_WM_CHECK"), Xatom.WINDOW)
            return prop is not None and wm.poll() is None
        wait_until(wm_ready, 30, "openbox to take the screen",
                   lambda: f"openbox status {wm.poll()} (see openbox.log)")
        # Openbox claims the screen before it has finished starting, and a window mapped in
        # between may never be managed: ask with a window of our own until it frames it.
        probe = self.root.create_window(0, 0, 16, 16, 0, X.CopyFromParent)
        probe.set_wm_name("vorek-e2e probe")

        def managed():
            prop = self.root.get_full_property(self.atom("_NET_CLIENT_LIST"), Xatom.WINDOW)
            return prop is not None and probe.id in prop.value

        def ask():
            # A withdrawn window mapped again: a fresh request to manage it.
            probe.unmap()
            probe.map()
            self.display.sync()
        wait_until(managed, 30, "openbox to manage a first window",
                   lambda: f"openbox status {wm.poll()}, the window never managed", ask, 2)
        probe.destroy()
        self.display.sync()
        wait_until(lambda: not managed(), 30, "openbox to let the first window go",
                   lambda: "it still listed")


class Toplevel(NamedTuple):
    """A top-level window as the compositor has it: its client's process, title, app_id and
    where it placed the window's surface on the screen (left, top, right, bottom)."""
    pid: int
    title: str
    app_id: str
    box: tuple

    def holds(self, x, y, width, height):
        return self.box[0] <= x and self.box[1] <= y and x + width <= self.box[2] \
            and y + height <= self.box[3]


# "View 0 (role xdg_toplevel, PID 42, surface ID 7, top-level window 'Vorek' of org.example.vorek,
# 0x5555):" then, on the next line, "position: (578, 62) -> (907, 308)".
_VIEW = re.compile(r"View \d+ \(role xdg_toplevel, PID (\d+), surface ID \d+, top-level window"
                   r"(?: '(.*?)')?(?: of ([^,]*))?, 0x[0-9a-f]+\):\n\s*position: \((-?\d+), "
                   r"(-?\d+)\) -> \((-?\d+), (-?\d+)\)")


class WestonSession(Session):
    """weston with a session bus of its own: its headless backend (no input device at all), or
    its X11 backend in the X display `x_display` (a window there, taking that display's pointer
    and keys as its seat's). What it shows is read through weston-screenshooter, and its windows
    through its scene graph."""

    PLATFORM = "wayland"
    SOCKET = "wayland-vorek"

    def _start(self, backend="headless", x_display=None):
        self.start_bus()
        # --use-pixman: without a renderer the headless output draws nothing. --debug lets
        # weston-screenshooter and weston-debug in. No weston.ini of the machine's.
        self._serve(["weston", f"--backend={backend}-backend.so", "--use-pixman", "--debug",
                     f"--socket={self.SOCKET}", "--no-config", "--idle-time=0",
                     f"--width={SCREEN[0]}", f"--height={SCREEN[1]}",
                     f"--log={os.path.join(self.log_dir, 'weston.log')}"],
                    "weston.out", env=self.environment(DISPLAY=x_display))
        wait_until(lambda: self._accepts(os.path.join(self.runtime, self.SOCKET)), 30,
                   f"weston to take connections on {self.SOCKET}",
                   lambda: f"none{self.health()} (see weston.log)")
        self.env["WAYLAND_DISPLAY"] = self.SOCKET

    @staticmethod
    def _accepts(path):
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as probe:
            return probe.connect_ex(path) == 0

    def _tool(self, argv, **options):
        done = subprocess.run(argv, env=self.environment(), capture_output=True, text=True,
                              timeout=30, **options)
        assert done.returncode == 0, f"{argv[0]}: status {done.returncode}: {done.stderr}"
        return done.stdout

    def screenshot(self):
        """The compositor's screen now, as RGB. weston-screenshooter names its file by the
        second, so each shot is taken in a folder of its own."""
        with tempfile.TemporaryDirectory(dir=self.runtime) as folder:
            self._tool(["weston-screenshooter"], cwd=folder)
            (shot,) = os.listdir(folder)
            with Image.open(os.path.join(folder, shot)) as image:
                return image.convert("RGB")

    def keep_evidence(self, stem):
        self.screenshot().save(stem + ".png")

    def toplevels(self):
        """The top-level windows on the screen, from the compositor's scene graph."""
        return [Toplevel(int(m[1]), m[2] or "", m[3] or "", tuple(map(int, m.groups()[3:])))
                for m in _VIEW.finditer(self._tool(["weston-debug", "scene-graph"]))]
