#!/usr/bin/env python3
# installer_test.py: installs the Windows installer silently under Wine, starts the installed game
# from its Start-menu entry, closes it, uninstalls, and looks for anything left behind.
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

from Xlib import X, Xatom, display, protocol

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "support"))
import design  # noqa: E402  (the build's figures of the designs)

PROGRAM = ("Program Files", "Vorek")
SHORTCUT = ("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Vorek.lnk")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorek"
REGISTRY_ROOTS = (r"HKEY_LOCAL_MACHINE\Software", r"HKEY_CURRENT_USER\Software")
# Wine's own record of the display settings of its session, written when any program starts.
WINE_VOLATILE_KEYS = r"[HKEY_CURRENT_USER\Software\Wine\Temporary System Parameters"
MAIN_SIZE = design.load().client("Vorek")  # the main window's client area at 96 dpi
WAIT = 60  # seconds; only a failure waits this long
UNINSTALL_TRIES = 3


class Failure(Exception):
    pass


def wait_until(what, probe, timeout=WAIT):
    """Polls `probe` until it returns something true; fails with `what` at the deadline."""
    deadline = time.monotonic() + timeout
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            raise Failure(f"waited {timeout} s for {what}")
        time.sleep(0.05)


class Prefix:
    """A Wine prefix of the build's, reached through the build's wrapper."""

    def __init__(self, wine_run, prefix, home):
        self.wine_run = wine_run
        self.env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, ".local/share"),
                        XDG_CONFIG_HOME=os.path.join(home, ".config"), VOREK_WINEPREFIX=prefix)
        self.drive_c = os.path.join(prefix, "drive_c")

    def stop(self):
        """Stops the prefix's server and every program in it."""
        subprocess.run([self.wine_run, "--server", "-k"], env=self.env, capture_output=True,
                       timeout=WAIT)

    def run(self, args, **kwargs):
        return subprocess.run([self.wine_run] + args, env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=WAIT, **kwargs)

    def start(self, args):
        return subprocess.Popen([self.wine_run] + args, env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def path(self, parts):
        return os.path.join(self.drive_c, *parts)

    def files(self):
        found = set()
        for root, dirs, names in os.walk(self.drive_c):
            for name in dirs + names:
                found.add(os.path.relpath(os.path.join(root, name), self.drive_c))
        return found

    def registry_keys(self):
        """Every key under the machine's and the user's Software, as regedit exports them."""
        keys = set()
        with tempfile.TemporaryDirectory() as scratch:
            for number, root in enumerate(REGISTRY_ROOTS):
                out = os.path.join(scratch, f"{number}.reg")
                result = self.run(["regedit", "/E", "Z:" + out.replace("/", "\\"), root])
                if result.returncode != 0 or not os.path.exists(out):
                    raise Failure(f"regedit could not export {root}")
                with open(out, "rb") as f:
                    text = f.read().decode("utf-16")
                keys.update(line for line in text.splitlines() if line.startswith("[")
                            and not line.startswith(WINE_VOLATILE_KEYS))
        return keys

    def has_key(self, key):
        return self.run(["reg", "query", key]).returncode == 0


def left_files(prefix, before):
    """The files and folders made since `before`, outside the users' temporary folders."""
    def temporary(path):
        parts = path.split(os.sep)
        return len(parts) >= 3 and parts[0] == "users" and parts[2] == "Temp"
    return sorted(f for f in prefix.files() - before if not temporary(f))


def game_windows(x):
    """The X windows of Vorek's main window that are mapped: title "Vorek", its client size."""
    found = []
    root = x.screen().root
    name_atom = x.intern_atom("_NET_WM_NAME")
    utf8 = x.intern_atom("UTF8_STRING")

    def walk(window):
        for child in window.query_tree().children:
            try:
                attributes = child.get_attributes()
                title = child.get_full_property(name_atom, utf8)
                geometry = child.get_geometry()
            except Exception:
                continue
            if (attributes.map_state == X.IsViewable and title is not None
                    and title.value.decode() == "Vorek"
                    and (geometry.width, geometry.height) == MAIN_SIZE):
                found.append(child)
            walk(child)
    walk(root)
    return found


def close(x, window):
    """A title-bar close: the window manager's WM_DELETE_WINDOW request."""
    protocols = x.intern_atom("WM_PROTOCOLS")
    delete = x.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    window.send_event(event)
    x.flush()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--prefix", required=True, help="a Wine prefix for the test alone")
    parser.add_argument("--installer", required=True)
    options = parser.parse_args()

    with tempfile.TemporaryDirectory() as home:
        # A prefix made afresh, as a Windows without Vorek, whatever an earlier run left.
        prefix = Prefix(options.wine_run, options.prefix, home)
        prefix.stop()
        shutil.rmtree(options.prefix, ignore_errors=True)
        try:
            install_play_uninstall(options, prefix, home)
        finally:
            prefix.stop()


def install_play_uninstall(options, prefix, home):
    # The new prefix is set up by its first program; what it holds then is the baseline.
    prefix.run(["cmd", "/c", "exit"])
    files_before = prefix.files()
    keys_before = prefix.registry_keys()

    installer = "Z:" + os.path.abspath(options.installer).replace("/", "\\")
    result = prefix.run([installer, "/S"])
    if result.returncode != 0:
        raise Failure(f"the installer ended with status {result.returncode}")
    for parts in (PROGRAM + ("vorek.exe",), PROGRAM + ("Uninstall.exe",), SHORTCUT):
        if not os.path.isfile(prefix.path(parts)):
            raise Failure(f"the installer put no {os.path.join(*parts)}")
    with open(prefix.path(PROGRAM + ("vorek.exe",)), "rb") as f:
        installed = f.read()
    if installed[:2] != b"MZ":
        raise Failure("the installed vorek.exe is no program")
    listed = prefix.run(["reg", "query", UNINSTALL_KEY]).stdout.decode(errors="replace")
    for value in ("DisplayName    REG_SZ    Vorek", "DisplayVersion    REG_SZ    1.00",
                  r"UninstallString    REG_SZ    " + '"C:\\Program Files\\Vorek\\Uninstall.exe"'):
        if value not in listed:
            raise Failure(f"the uninstaller's registration lacks {value!r}:\n{listed}")
    print("installed: Program Files\\Vorek, its Start-menu entry and its registration")

    # The game, as the Start menu starts it.
    x = display.Display(os.environ.get("DISPLAY") or open(os.path.join(
        os.path.dirname(options.wine_run), "wine", "display")).read().strip())
    shortcut = "C:\\" + "\\".join(SHORTCUT)
    game = prefix.start(["start", "/wait", shortcut])
    try:
        windows = wait_until("the installed game's main window", lambda: game_windows(x))
        print("the installed game shows its main window")
        close(x, windows[0])
        status = game.wait(timeout=WAIT)
    finally:
        if game.poll() is None:
            game.kill()
    if status != 0:
        raise Failure(f"the game closed by its title bar ended with status {status}")
    print("closed by its title bar, it ended with status 0")

    # The uninstaller copies itself into the temporary folder, starts the copy, which does the
    # work, and ends; with status 2 when it could not start the copy, before anything is removed.
    # Under a loaded Wine that has happened once in many runs: try again, as a player would.
    for attempt in range(1, UNINSTALL_TRIES + 1):
        result = prefix.run([prefix.path(PROGRAM + ("Uninstall.exe",)), "/S"])
        if result.returncode != 2 or attempt == UNINSTALL_TRIES:
            break
        print(f"the uninstaller could not start its copy (status 2), try {attempt}: "
              f"{result.stderr.decode(errors='replace').strip()}; trying again")
    if result.returncode != 0:
        raise Failure(f"the uninstaller ended with status {result.returncode}: "
                      f"{result.stderr.decode(errors='replace').strip()}")
    # The uninstaller runs on from a copy of itself and returns at once: wait for its work.
    wait_until("the uninstaller to remove Program Files\\Vorek",
               lambda: not os.path.exists(prefix.path(PROGRAM)))
    wait_until("the uninstaller to remove its registration",
               lambda: not prefix.has_key(UNINSTALL_KEY))
    # The uninstaller runs from a copy of itself in the user's temporary folder, which
    # Windows clears by itself; that folder aside, nothing may be left.
    try:
        wait_until("no file left", lambda: not left_files(prefix, files_before), timeout=20)
    except Failure:
        raise Failure("files left after uninstalling: " +
                      ", ".join(left_files(prefix, files_before)))
    keys_left = sorted(prefix.registry_keys() - keys_before)
    if keys_left:
        raise Failure("registry keys left after uninstalling: " + ", ".join(keys_left))
    home_left = sorted(os.listdir(home))
    if home_left:
        raise Failure("Wine wrote into the home directory: " + ", ".join(home_left))
    print("uninstalled: no file, shortcut or registry key left, nothing in the home")


if __name__ == "__main__":
    try:
        main()
    except Failure as failure:
        print(f"installer_test: {failure}", file=sys.stderr)
        sys.exit(1)
