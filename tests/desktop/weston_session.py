"""weston_session.py: a private Wayland session for the tests that run the real program as a
Wayland client: weston, a session bus, and what the compositor shows (its screen, as
weston-screenshooter writes it, and its windows, as its scene graph lists them)."""
import ctypes
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass

from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from xsession import start_session_bus  # noqa: E402

SCREEN = (1024, 768)
SOCKET = "wayland-vorek"


def _die_with_parent():
    # Should this runner be killed (a CTest time-out), the kernel stops what it started too.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def _stop(process):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait(timeout=10)


@dataclass(frozen=True)
class Toplevel:
    """A top-level window as the compositor has it: its client's process, title, app_id and
    where it placed the window's surface on the screen (left, top, right, bottom)."""
    pid: int
    title: str
    app_id: str
    box: tuple

    def holds(self, x, y, width, height):
        left, top, right, bottom = self.box
        return left <= x and top <= y and x + width <= right and y + height <= bottom


# "View 0 (role xdg_toplevel, PID 42, surface ID 7, top-level window 'Vorek' of org.example.vorek,
# 0x5555):" then, on the next line, "position: (578, 62) -> (907, 308)".
_VIEW = re.compile(r"View \d+ \(role xdg_toplevel, PID (\d+), surface ID \d+, top-level window"
                   r"(?: '(.*?)')?(?: of ([^,]*))?, 0x[0-9a-f]+\):")
_POSITION = re.compile(r"position: \((-?\d+), (-?\d+)\) -> \((-?\d+), (-?\d+)\)")


def parse_scene(text):
    """The top-level windows in weston's scene-graph dump."""
    found = []
    lines = text.splitlines()
    for i, line in enumerate(lines):
        view = _VIEW.search(line)
        position = _POSITION.search(lines[i + 1]) if view and i + 1 < len(lines) else None
        if position:
            found.append(Toplevel(int(view[1]), view[2] or "", view[3] or "",
                                  tuple(int(n) for n in position.groups())))
    return found


class WestonSession:
    """weston on a socket in a private runtime directory (mode 0700), with a session bus of its
    own, for the length of a with block. backend is "headless" (no input device at all) or
    "x11", in the X display `x_display` (a window there, taking that display's pointer)."""

    def __init__(self, log_dir, backend="headless", x_display=None):
        self.log_dir = log_dir
        self.private = tempfile.mkdtemp(prefix="vorek-wayland-")
        self.runtime = os.path.join(self.private, "runtime")
        self.home = os.path.join(self.private, "home")
        os.mkdir(self.runtime, 0o700)
        os.mkdir(self.home, 0o700)
        self.bus = self.weston = None
        # What every program here gets: no display but this one, no home but ours.
        self.env = {"PATH": os.environ.get("PATH", os.defpath), "HOME": self.home,
                    "XDG_RUNTIME_DIR": self.runtime, "WAYLAND_DISPLAY": SOCKET,
                    "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
                    "XDG_CACHE_HOME": os.path.join(self.home, "cache")}
        try:
            self._start_bus()
            self._start_weston(backend, x_display)
        except BaseException:
            self.close()
            raise

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def _log(self, name):
        os.makedirs(self.log_dir, exist_ok=True)
        return open(os.path.join(self.log_dir, name), "wb")

    def _start_bus(self):
        with self._log("dbus.log") as log:
            self.bus, self.env["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(self.env, log)

    def _start_weston(self, backend, x_display):
        # --use-pixman: without a renderer the headless output draws nothing. --debug lets
        # weston-screenshooter and weston-debug in. No weston.ini of the machine's.
        argv = ["weston", f"--backend={backend}-backend.so", "--use-pixman", "--debug",
                f"--socket={SOCKET}", "--no-config", "--idle-time=0",
                f"--width={SCREEN[0]}", f"--height={SCREEN[1]}",
                f"--log={os.path.join(self.log_dir, 'weston.log')}"]
        env = dict(self.env)
        env.pop("WAYLAND_DISPLAY")  # its own socket is --socket; it nests in no compositor
        if x_display:
            env["DISPLAY"] = x_display
        with self._log("weston.out") as log:
            self.weston = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=log,
                                           stderr=log, preexec_fn=_die_with_parent)
        path = os.path.join(self.runtime, SOCKET)
        deadline = time.monotonic() + 30
        while not self._accepts(path):
            if self.weston.poll() is not None or time.monotonic() > deadline:
                raise RuntimeError(f"weston took no connection on {SOCKET} (status "
                                   f"{self.weston.poll()}; see weston.log in {self.log_dir})")
            time.sleep(0.05)

    @staticmethod
    def _accepts(path):
        with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as probe:
            try:
                probe.connect(path)
                return True
            except OSError:
                return False

    def program_env(self, **extra):
        """The environment of a program in this session: Qt on Wayland, and no X display."""
        env = dict(self.env, QT_QPA_PLATFORM="wayland")
        for name, value in os.environ.items():
            if name.startswith(("ASAN_", "LSAN_", "UBSAN_")):
                env[name] = value
        env.update(extra)
        return env

    def start(self, argv, **extra):
        """A program in this session; its output is read at its end."""
        return subprocess.Popen(argv, env=self.program_env(**extra), stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                                preexec_fn=_die_with_parent)

    def screenshot(self):
        """The compositor's screen now, as RGB. weston-screenshooter names its file by the
        second, so each shot is taken in a folder of its own."""
        with tempfile.TemporaryDirectory(dir=self.private) as folder:
            done = subprocess.run(["weston-screenshooter"], cwd=folder, env=self.env,
                                  capture_output=True, text=True, timeout=30)
            shots = os.listdir(folder)
            if done.returncode != 0 or len(shots) != 1:
                raise RuntimeError(f"weston-screenshooter: status {done.returncode}, files "
                                   f"{shots}: {done.stderr.strip()}")
            with Image.open(os.path.join(folder, shots[0])) as image:
                return image.convert("RGB")

    def toplevels(self):
        """The top-level windows on the screen, from the compositor's scene graph."""
        done = subprocess.run(["weston-debug", "scene-graph"], env=self.env,
                              capture_output=True, text=True, timeout=30)
        if done.returncode != 0:
            raise RuntimeError(f"weston-debug: status {done.returncode}: {done.stderr.strip()}")
        return parse_scene(done.stdout)

    def close(self):
        _stop(self.weston)
        _stop(self.bus)
        shutil.rmtree(self.private, ignore_errors=True)
