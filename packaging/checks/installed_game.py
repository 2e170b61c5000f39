# installed_game.py: the game installed by the Debian package starts from its menu entry's command
# in a private X session, shows its main window with the entry's StartupWMClass, and ends when
# the player leaves through the About window.
import os
import shutil
import subprocess

import pytest

from player import Player

# A desktop session's search path, games included (root's own has no games directory).
PATH = "/usr/local/bin:/usr/bin:/bin:/usr/local/games:/usr/games"


def test_the_installed_game_starts_from_its_menu_entry(x, game, evidence):
    listing = subprocess.run(["dpkg-query", "-L", "vorek"], capture_output=True, text=True)
    if listing.returncode != 0:
        # Only where the install was skipped, that is without root.
        pytest.exit("vorek is not installed; skipped", returncode=77)
    files = [path for path in listing.stdout.split("\n") if os.path.isfile(path)]
    entries = [path for path in files if path.endswith(".desktop")]
    assert len(entries) == 1, f"expected one desktop entry in the package; saw {entries}"
    with open(entries[0], encoding="utf-8") as entry:
        keys = dict(line.rstrip("\n").split("=", 1) for line in entry
                    if "=" in line and not line.startswith("#"))
    program = shutil.which(keys["Exec"], path=PATH)
    assert program and os.path.realpath(program) in files, \
        f"expected the entry's command « {keys['Exec']} » to be the package's program: {program}"
    icons = [path for path in files if os.path.basename(path) == keys["Icon"] + ".png"]
    assert len(icons) == 4, f"expected the icon in 4 sizes; saw {icons}"

    player = Player(x, game(x, [program], PATH=PATH), evidence)
    main = player.start()
    assert x.wm_class(main.wid)[1] == keys["StartupWMClass"]
    player.play("Voir: main portrait; portrait Ok: main; Quitter: about; About Ok: end")
