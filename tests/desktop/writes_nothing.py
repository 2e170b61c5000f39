"""writes_nothing.py: the program, given a fresh home and fresh XDG directories, leaves them as
empty as it found them after a game's way out. Usage: writes_nothing.py VOREK"""
import os
import subprocess
import sys
import tempfile

from desktop_session import Session, play_and_quit

PROGRAM = sys.argv[1]
PLACES = {"HOME": "home", "XDG_CONFIG_HOME": "config", "XDG_CACHE_HOME": "cache",
          "XDG_DATA_HOME": "data", "XDG_STATE_HOME": "state", "XDG_RUNTIME_DIR": "runtime",
          "TMPDIR": "tmp"}


def everything_under(root):
    found = []
    for folder, dirs, files in os.walk(root):
        found += [os.path.relpath(os.path.join(folder, name), root) for name in dirs + files]
    return sorted(found)


def main():
    with tempfile.TemporaryDirectory(prefix="vorek-fresh-") as fresh, Session(bus=True) as session:
        env = {}
        for variable, name in PLACES.items():
            os.mkdir(os.path.join(fresh, name), 0o700)
            env[variable] = os.path.join(fresh, name)
        # The working directory too: a file written "here" would land there.
        work = os.path.join(fresh, "work")
        os.mkdir(work)
        before = everything_under(fresh)
        game = subprocess.Popen([PROGRAM], cwd=work, env=session.program_env(**env),
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        try:
            status = play_and_quit(session, game)
        finally:
            if game.poll() is None:
                game.kill()
            output = game.communicate()[0]
        after = everything_under(fresh)
    print(output, end="")
    created = [path for path in after if path not in before]
    for path in created:
        print(f"created: {path}")
    if status != 0:
        print(f"the program ended with status {status}, not 0")
    if created or status != 0:
        return 1
    print(f"writes_nothing.py: nothing created under the {len(PLACES) + 1} fresh directories")
    return 0


if __name__ == "__main__":
    sys.exit(main())
