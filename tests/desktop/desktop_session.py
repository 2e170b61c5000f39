"""desktop_session.py: a private desktop session for the tests that run the real program (the
shared X session helper, with a D-Bus session bus when asked), and the player's clicks through
xdotool."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import design  # noqa: E402
import xsession  # noqa: E402

# Where the buttons are, in pixels from the window's corner, and the windows' client sizes: all
# from the design tables, as the build wrote them.
DESIGN = design.load()
VOIR = DESIGN.centre("Vorek", "Voir")
QUITTER = DESIGN.centre("Vorek", "Quitter")
PORTRAIT_OK = DESIGN.centre("V_portrait", "Command1")
ABOUT_OK = DESIGN.centre("Sujet", "ok")
MAIN_SIZE = DESIGN.client("Vorek")
PORTRAIT_SIZE = DESIGN.client("V_portrait")


class Session:
    """A private X server, and with bus=True a session bus of its own, for the length of a with
    block. Their own files go in a private directory, so that a test can give the program fresh
    ones."""

    def __init__(self, bus=False):
        self.bus = bus

    def __enter__(self):
        self.private = tempfile.mkdtemp(prefix="vorek-session-")
        try:
            self.x = xsession.XSession(self.private, window_manager=False, bus=self.bus)
        except BaseException:
            shutil.rmtree(self.private, ignore_errors=True)
            raise
        self.display = self.x.display_name
        self.env = dict(self.x.env)
        return self

    def __exit__(self, *_):
        self.x.close()
        shutil.rmtree(self.private, ignore_errors=True)

    def program_env(self, **extra):
        """The environment of a program in this session: no display but ours."""
        env = {k: v for k, v in os.environ.items()
               if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "DBUS_SESSION_BUS_ADDRESS")}
        env.update(self.env)
        env.update(extra)
        return env

    def run(self, *command, check=True):
        done = subprocess.run(command, env=self.program_env(), capture_output=True, text=True,
                              timeout=30)
        if check and done.returncode != 0:
            raise RuntimeError(f"{command[0]} failed: {done.stderr.strip()}")
        return done

    def windows(self, title):
        """The visible windows with this exact title."""
        done = self.run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$", check=False)
        return [int(w) for w in done.stdout.split()]

    def wait_window(self, title, size=None, timeout=30.0):
        """The one visible window with this title (and size, when given), once it is there."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            window = self.find_window(title, size)
            if window is not None:
                return window
            time.sleep(0.05)
        raise RuntimeError(f"no window « {title} » {size or ''} after {timeout} s")

    def size(self, window):
        done = self.run("xwininfo", "-id", str(window), check=False)
        values = {}
        for line in done.stdout.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        try:
            return int(values["Width"]), int(values["Height"])
        except (KeyError, ValueError):
            return None

    def click(self, window, point):
        # A window that went meanwhile takes no click; the caller sees what happened.
        self.run("xdotool", "mousemove", "--window", str(window), str(point[0]), str(point[1]),
                 "click", "1", check=False)

    def click_until(self, window, point, done, what, tries=10):
        """Clicks until done() gives something: a window just mapped may not take the first
        click yet. Every click used here is harmless to repeat."""
        for _ in range(tries):
            self.click(window, point)
            deadline = time.monotonic() + 3.0
            while time.monotonic() < deadline:
                found = done()
                if found:
                    return found
                time.sleep(0.05)
        raise RuntimeError(f"{what}: nothing after {tries} clicks")

    def find_window(self, title, size=None):
        for window in self.windows(title):
            if size is None or self.size(window) == size:
                return window
        return None

    def wm_class(self, window):
        """WM_CLASS as (instance, class)."""
        done = self.run("xprop", "-id", str(window), "WM_CLASS")
        # WM_CLASS(STRING) = "vorek", "vorek"
        parts = done.stdout.split("=", 1)[1].split(",")
        return tuple(p.strip().strip('"') for p in parts)


def play_and_quit(session, game, timeout=30.0):
    """Plays the way out as a player would: the model picture and back, then Quitter and the
    About window's Ok. Returns the program's exit status."""
    main = session.wait_window("Vorek", MAIN_SIZE)
    portrait = session.click_until(main, VOIR, lambda: session.find_window("Vorek", PORTRAIT_SIZE),
                                   "Voir")
    session.click_until(portrait, PORTRAIT_OK, lambda: portrait not in session.windows(".*"),
                        "the model's Ok")
    about = session.click_until(main, QUITTER, lambda: session.find_window("A propos de Tralden"),
                                "Quitter")
    session.click_until(about, ABOUT_OK, lambda: game.poll() is not None, "the About window's Ok")
    return game.wait(timeout=timeout)
