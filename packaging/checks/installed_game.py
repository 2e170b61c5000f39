"""installed_game.py: the game installed by the Debian package starts from its menu entry's
command in a private X session, shows its main window with the entry's StartupWMClass, and
ends when the player leaves through the About window. Usage: installed_game.py XSESSION_DIR"""
import os
import shutil
import subprocess
import sys

sys.path.insert(0, sys.argv[1])
from desktop_session import MAIN_SIZE, Session, play_and_quit  # noqa: E402

# A desktop session's search path, games included (root's own has no games directory).
PATH = "/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games"


def installed_files():
    listing = subprocess.run(["dpkg-query", "-L", "vorek"], capture_output=True, text=True)
    if listing.returncode != 0:
        return None
    return [path for path in listing.stdout.split("\n") if os.path.isfile(path)]


def desktop_entry(files):
    entries = [path for path in files if path.endswith(".desktop")]
    if len(entries) != 1:
        raise RuntimeError(f"the package has {len(entries)} desktop entries")
    keys = {}
    with open(entries[0], encoding="utf-8") as entry:
        for line in entry:
            key, equals, value = line.rstrip("\n").partition("=")
            if equals and not key.startswith("#"):
                keys[key] = value
    return keys


def main():
    files = installed_files()
    if files is None:
        # Only where the install was skipped, that is without root.
        print("installed_game.py: vorek is not installed; skipped")
        return 77
    entry = desktop_entry(files)
    program = shutil.which(entry["Exec"], path=PATH)
    if program is None or os.path.realpath(program) not in files:
        print(f"the entry's command « {entry['Exec']} » is not the package's program: {program}")
        return 1
    icons = [path for path in files if os.path.basename(path) == entry["Icon"] + ".png"]
    print(f"installed: {program}, icon in {len(icons)} sizes")
    if len(icons) != 4:
        return 1
    with Session() as session:
        game = subprocess.Popen([program], env=session.program_env(PATH=PATH),
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        try:
            main_window = session.wait_window("Vorek", MAIN_SIZE)
            instance, wm_class = session.wm_class(main_window)
            status = play_and_quit(session, game)
        finally:
            if game.poll() is None:
                game.kill()
            output = game.communicate()[0]
    print(output, end="")
    failed = False
    if wm_class != entry["StartupWMClass"]:
        print(f"WM_CLASS is « {instance} », « {wm_class} », "
              f"the entry says « {entry['StartupWMClass']} »")
        failed = True
    if status != 0:
        print(f"the game ended with status {status}, not 0")
        failed = True
    if not failed:
        print(f"installed_game.py: the installed game ran, class « {wm_class} », and ended")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
