"""wayland_client.py: the program as a native Wayland client under weston's headless backend,
which has no input device at all: the buttons are pressed over AT-SPI, and each window is
checked by its title over AT-SPI, in the compositor's scene graph and by its pictures on the
compositor's screen. Usage: wayland_client.py VOREK PICTURES SCREENSHOTS LOGS"""
import sys

from wayland_windows import (TIMEOUT, Form, Shots, compositor_windows, expect, on_screen, places,
                             play_program, wait_until)
from weston_session import WestonSession

BUTTONS = ["Voir", "Brasser", "Quitter"]
BOXES = [f"Pièce {k}" for k in range(1, 21)] + ["Case libre"]
PORTRAIT_PARTS = ["Image entière du puzzle", "Ok"]
ABOUT_PARTS = ["Le programme", "L'auteur", "Ok"]


def play(weston, game, pictures, shots, accessible):
    board = Form(pictures, "Vorek", "p1")
    model = Form(pictures, "V_portrait", "Picture1")
    about = Form(pictures, "Sujet", "Picture1")
    shoot = weston.screenshot

    accessible.attach(game.pid)
    main = accessible.window("Vorek", *BUTTONS, *BOXES)
    (window,) = compositor_windows(weston, game.pid, ["Vorek"])
    # The start: every piece home, the free cell parked.
    corner, screen = on_screen(shoot, board, window, "the board at its start")
    shots.keep(screen, "main")
    print(f"« Vorek »: client area at {corner} in the surface {window.box}")

    accessible.press(main, "Voir")
    portrait = accessible.window("Vorek", *PORTRAIT_PARTS)
    windows = compositor_windows(weston, game.pid, ["Vorek", "Vorek"])
    # The compositor places the new window where it likes, over the board or not.
    _, screen = on_screen(shoot, model, next(w for w in windows if w.box != window.box),
                          "the whole picture in the model window")
    shots.keep(screen, "model")
    accessible.press(portrait, "Ok")
    accessible.gone(*PORTRAIT_PARTS)
    compositor_windows(weston, game.pid, ["Vorek"])
    wait_until(lambda: not places(shoot(), model.key[1]), TIMEOUT,
               "the whole picture gone from the screen", lambda: "it still there")

    # No game going: Quitter leaves the board for the About window.
    accessible.press(main, "Quitter")
    window = accessible.window("A propos de Tralden", *ABOUT_PARTS)
    (placed,) = compositor_windows(weston, game.pid, ["A propos de Tralden"])
    on_screen(shoot, about, placed, "the About window's four pictures")
    wait_until(lambda: board.find(shoot()) is None, TIMEOUT,
               "the board gone from the screen with the main window", lambda: "it still there")
    _, screen = on_screen(shoot, about, placed, "the About window alone")
    shots.keep(screen, "about")
    accessible.press(window, "Ok")
    status = game.wait(timeout=TIMEOUT)
    expect(status == 0, "status 0 after the About window's Ok", status)


def main():
    program, pictures, screenshots, logs = sys.argv[1:5]
    shots = Shots(screenshots, "headless")
    with WestonSession(logs) as weston:
        if play_program(weston, program, shots, weston.screenshot,
                        lambda game, accessible: play(weston, game, pictures, shots, accessible)):
            return 1
    print("wayland_client.py: the three windows shown, and their buttons pressed, on weston's "
          "headless output")
    return 0


if __name__ == "__main__":
    sys.exit(main())
