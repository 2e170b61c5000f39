"""accessible_tree.py: what a screen reader finds over AT-SPI: the main window's three buttons and
twenty-one boxes by their French names, then the model and About windows reached by pressing the
buttons through AT-SPI itself. Usage: accessible_tree.py VOREK"""
import os
import subprocess
import sys
import time

from desktop_session import Session

PROGRAM = sys.argv[1]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def wait(find, what, timeout=30.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.1)
    raise RuntimeError(f"not found over AT-SPI after {timeout} s: {what}")


def children(node):
    # A window going away may leave a hole between the count and the fetch.
    found = (node.getChildAtIndex(i) for i in range(node.childCount))
    return [child for child in found if child is not None]


def main():
    with Session(bus=True) as session:
        # pyatspi reaches the accessibility bus through our session bus.
        os.environ.update(session.env)
        import pyatspi

        desktop = pyatspi.Registry.getDesktop(0)  # starts the accessibility bus and registry
        env = session.program_env(QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        game = subprocess.Popen([PROGRAM], env=env, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True)
        try:
            explore(pyatspi, desktop)
            status = game.wait(timeout=30)
        finally:
            if game.poll() is None:
                game.kill()
            output = game.communicate(timeout=30)[0]
    print(output, end="")
    check(status == 0, f"the program ended with status {status} after the About window's Ok")
    for failure in failures:
        print(f"FAILED: {failure}")
    return 1 if failures else 0


def explore(pyatspi, desktop):
    def application():
        for app in children(desktop):
            if app is not None and app.name == "vorek":
                return app
        return None

    app = wait(application, "the application « vorek »")

    def window(name, *wanted):
        """The top-level window of this name once it holds a child of each wanted name."""
        def find():
            for top in children(app):
                names = [c.name for c in children(top)]
                if top.name == name and all(n in names for n in wanted):
                    return top
            return None
        return wait(find, f"the window « {name} » with {', '.join(wanted)}")

    def named(top, name):
        return next(c for c in children(top) if c.name == name)

    def press(top, name):
        action = named(top, name).queryAction()
        check(action.nActions > 0, f"{name} offers an action")
        action.doAction(0)

    buttons = ["Voir", "Brasser", "Quitter"]
    boxes = [f"Pièce {k}" for k in range(1, 21)] + ["Case libre"]
    main = window("Vorek", *buttons, *boxes)
    listing = [(c.getRoleName(), c.name) for c in children(main)]
    print("Vorek:", listing)
    check(len(listing) == 24, f"the main window has 24 children, not {len(listing)}")
    for name in buttons:
        check(named(main, name).getRole() == pyatspi.ROLE_PUSH_BUTTON, f"{name} is a push button")
    check(sum(role == "push button" for role, _ in listing) == 3, "three push buttons")
    check(sorted(n for _, n in listing) == sorted(buttons + boxes),
          "the children are the three buttons and the twenty-one boxes, each once")
    check(all(c.getState().contains(pyatspi.STATE_SHOWING) for c in children(main)),
          "every child of the main window is showing")

    # The buttons work from a screen reader too; the model window has its own named parts.
    press(main, "Voir")
    portrait = window("Vorek", "Image entière du puzzle", "Ok")
    print("Vorek (modèle):", [(c.getRoleName(), c.name) for c in children(portrait)])
    press(portrait, "Ok")
    wait(lambda: None if any(t.name == "Vorek" and "Ok" in [c.name for c in children(t)]
                             for t in children(app)) else True, "the model window closed")

    press(main, "Quitter")
    about = window("A propos de Tralden", "Le programme", "L'auteur", "Ok", "Pièce de puzzle",
                   "Tableau", "Palette de peintre", "Étoile")
    everything = []

    def walk(node, depth):
        everything.append((depth, node.getRoleName(), node.name))
        for child in children(node):
            walk(child, depth + 1)

    walk(about, 0)
    print("A propos de Tralden:", everything)
    labels = [name for _, role, name in everything if role == "label"]
    check(len(labels) == 2 and all(len(text) > 40 for text in labels),
          f"the About window's two texts are labels read whole: {labels}")
    check(all(name for _, _, name in everything), "every part of the About window has a name")
    press(about, "Ok")


if __name__ == "__main__":
    sys.exit(main())
