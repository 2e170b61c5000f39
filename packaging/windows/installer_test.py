# installer_test.py: installs the Windows installer (--vorek) silently under Wine (--run-with the
# build's wrapper, in the prefix VOREK_WINEPREFIX), starts the installed game from its Start-menu
# entry, closes it, uninstalls, and looks for anything left behind.
import os
import shutil
import subprocess
import tempfile

import pytest

import design
from sessions import Screen, wait_until

PROGRAM = ("Program Files", "Vorek")
SHORTCUT = ("ProgramData", "Microsoft", "Windows", "Start Menu", "Programs", "Vorek.lnk")
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vorek"
REGISTRY_ROOTS = (r"HKEY_LOCAL_MACHINE\Software", r"HKEY_CURRENT_USER\Software")
# Wine's own record of the display settings of its session, written when any program starts.
WINE_VOLATILE_KEYS = r"[HKEY_CURRENT_USER\Software\Wine\Temporary System Parameters"
WAIT = 60  # seconds; only a failure waits this long
UNINSTALL_TRIES = 3


class Prefix:
    """A Wine prefix of the build's, reached through the build's wrapper."""

    def __init__(self, wine_run, home):
        self.wine_run = wine_run
        self.env = dict(os.environ, HOME=home, XDG_DATA_HOME=os.path.join(home, ".local/share"),
                        XDG_CONFIG_HOME=os.path.join(home, ".config"))
        self.drive_c = os.path.join(os.environ["VOREK_WINEPREFIX"], "drive_c")

    def run(self, *args):
        return subprocess.run([self.wine_run, *args], env=self.env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=WAIT)

    def path(self, *parts):
        return os.path.join(self.drive_c, *parts)

    def files(self):
        return {os.path.relpath(os.path.join(root, name), self.drive_c)
                for root, dirs, names in os.walk(self.drive_c) for name in dirs + names}

    def left_files(self, before):
        """The files and folders made since `before`, outside the users' temporary folders."""
        def temporary(parts):
            return len(parts) >= 3 and parts[0] == "users" and parts[2] == "Temp"
        return sorted(f for f in self.files() - before if not temporary(f.split(os.sep)))

    def registry_keys(self):
        """Every key under the machine's and the user's Software, as regedit exports them."""
        keys = set()
        with tempfile.TemporaryDirectory() as scratch:
            for number, root in enumerate(REGISTRY_ROOTS):
                out = os.path.join(scratch, f"{number}.reg")
                result = self.run("regedit", "/E", "Z:" + out.replace("/", "\\"), root)
                assert result.returncode == 0 and os.path.exists(out), \
                    f"regedit could not export {root}"
                with open(out, "rb") as f:
                    keys.update(line for line in f.read().decode("utf-16").splitlines()
                                if line.startswith("[") and not line.startswith(WINE_VOLATILE_KEYS))
        return keys


@pytest.fixture
def prefix(request, tmp_path):
    """A prefix made afresh, as a Windows without Vorek, whatever an earlier run left; its new
    home is `tmp_path`."""
    prefix = Prefix(request.config.getoption("run_with")[0], str(tmp_path))
    prefix.run("--server", "-k")  # its server stopped, and every program in it
    shutil.rmtree(os.environ["VOREK_WINEPREFIX"], ignore_errors=True)
    yield prefix
    prefix.run("--server", "-k")


def test_installs_runs_and_uninstalls_to_nothing(request, prefix, tmp_path):
    # The new prefix is set up by its first program; what it holds then is the baseline.
    prefix.run("cmd", "/c", "exit")
    files_before, keys_before = prefix.files(), prefix.registry_keys()

    installer = os.path.abspath(request.config.getoption("vorek"))
    assert prefix.run("Z:" + installer.replace("/", "\\"), "/S").returncode == 0
    for parts in (PROGRAM + ("vorek.exe",), PROGRAM + ("Uninstall.exe",), SHORTCUT):
        assert os.path.isfile(prefix.path(*parts)), f"the installer put no {os.path.join(*parts)}"
    with open(prefix.path(*PROGRAM, "vorek.exe"), "rb") as f:
        assert f.read(2) == b"MZ", "the installed vorek.exe is no program"
    listed = prefix.run("reg", "query", UNINSTALL_KEY).stdout.decode(errors="replace")
    for value in ("DisplayName    REG_SZ    Vorek", "DisplayVersion    REG_SZ    1.00",
                  r"UninstallString    REG_SZ    " + '"C:\\Program Files\\Vorek\\Uninstall.exe"'):
        assert value in listed, "the uninstaller's registration"

    # The game, as the Start menu starts it; closed by its title bar.
    x = Screen().connect(os.environ.get("DISPLAY") or open(os.path.join(
        os.path.dirname(prefix.wine_run), "wine", "display")).read().strip())
    game = subprocess.Popen([prefix.wine_run, "start", "/wait", "C:\\" + "\\".join(SHORTCUT)],
                            env=prefix.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    try:
        main = wait_until(lambda: x.mapped("Vorek", design.load().client("Vorek")), WAIT,
                          "the installed game's main window")[0]
        x.request_close(main.wid)
        assert game.wait(timeout=WAIT) == 0, "the game closed by its title bar: status 0"
    finally:
        if game.poll() is None:
            game.kill()

    # The uninstaller copies itself into the temporary folder, starts the copy, which does the
    # work, and ends; with status 2 when it could not start the copy, before anything is removed.
    # Under a loaded Wine that has happened once in many runs: try again, as a player would.
    for attempt in range(1, UNINSTALL_TRIES + 1):
        result = prefix.run(prefix.path(*PROGRAM, "Uninstall.exe"), "/S")
        if result.returncode != 2 or attempt == UNINSTALL_TRIES:
            break
        print(f"the uninstaller could not start its copy (status 2), try {attempt}: "
              f"{result.stderr.decode(errors='replace').strip()}; trying again")
    assert result.returncode == 0, \
        f"the uninstaller's status: {result.stderr.decode(errors='replace').strip()}"
    # The uninstaller runs on from a copy of itself and returns at once: wait for its work.
    wait_until(lambda: not os.path.exists(prefix.path(*PROGRAM)), WAIT,
               "the uninstaller to remove Program Files\\Vorek")
    wait_until(lambda: prefix.run("reg", "query", UNINSTALL_KEY).returncode != 0, WAIT,
               "the uninstaller to remove its registration")
    # The uninstaller runs from a copy of itself in the user's temporary folder, which
    # Windows clears by itself; that folder aside, nothing may be left.
    wait_until(lambda: not prefix.left_files(files_before), 20, "no file left",
               lambda: prefix.left_files(files_before))
    assert sorted(prefix.registry_keys() - keys_before) == [], "registry keys left"
    assert sorted(os.listdir(tmp_path)) == [], "Wine wrote into the home directory"
