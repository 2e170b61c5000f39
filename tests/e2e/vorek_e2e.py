# vorek_e2e.py: plays the built vorek as a player would, on a private X server under openbox. Each
# test is one run of the program from start to end; each group (a mark: pytest -m windows) runs
# on an X server of its own.
import itertools
import time

import pytest
from PIL import Image, ImageDraw, ImageFont

import board
from board import GRID, HOLE, PARKING, cell_name, describe
from player import (ABOUT, ABOUT_SIZE, APPEAR, BRASSER, DESIGN, MAIN_SIZE, MAIN_TITLE, PORTRAIT,
                    PORTRAIT_BOX, REACT, TILES, Player)
from sessions import describe_windows, wait_until

# Quick pairs of clicks: how many rounds of two pairs, and the time between a pair's clicks.
QUICK_ROUNDS, QUICK_GAP = 10, 0.003
BUTTON_ROUNDS = 10  # rounds of every button clicked with the pointer leaving at once


def expect_sunken(image, x, y, width, height, what, edge=board.BORDER):
    """A sunken border `edge` pixels wide around (x, y, width, height): its inner half is one
    dark colour on the top and left and one lighter colour on the bottom and right. (The outer
    half is left alone: a neighbouring box may overlap it.)"""
    def ring(points):
        return {image.getpixel(p) for p in points}
    inner = range(edge // 2, edge)
    along, down = range(edge, width - edge), range(edge, height - edge)
    top = ring([(x + i, y + d) for i in along for d in inner])
    left = ring([(x + d, y + i) for i in down for d in inner])
    bottom = ring([(x + i, y + height - 1 - d) for i in along for d in inner])
    right = ring([(x + width - 1 - d, y + i) for i in down for d in inner])
    assert len(top) == 1 and top == left and len(bottom) == 1 and bottom == right \
        and sum(next(iter(top))) < sum(next(iter(bottom))), \
        (f"expected {what} inside a sunken border (inner ring dark on top and left, light on the "
         f"bottom and right); saw top {top}, left {left}, bottom {bottom}, right {right}")


@pytest.mark.layout
def test_initial_layout(player):
    """Each picture in a sunken box on its cell; the committed portrait and About pictures."""
    main = player.start()
    image = player.settled_shot(main, lambda _: True, "the main window drawn")
    player.save(image, "main-window")
    for cell, piece in enumerate(board.initial_layout()):
        x, y = board.cell_origin(cell)
        expect_sunken(image, x, y, board.BOX, board.BOX,
                      f"the picture of p{piece} on cell {cell_name(cell)}")

    player.play("Voir: main portrait")
    portrait = player.open["portrait"]
    player.wait_pictures(portrait, PORTRAIT, "the committed portrait in the portrait window")
    image = player.settled_shot(portrait, lambda _: True, "the portrait window drawn")
    player.save(image, "portrait-window")
    expect_sunken(image, *PORTRAIT_BOX, "the portrait", DESIGN.edge("V_portrait", "Picture1"))

    player.play("portrait Ok: main; Quitter: about")
    about = player.open["about"]
    assert (about.width, about.height) == ABOUT_SIZE, \
        f"expected the About window with a {ABOUT_SIZE} client area; saw {about.describe()}"
    player.wait_pictures(about, ABOUT, "the About pictures 1 to 4 in their boxes")
    player.save(player.shot(about), "about-window")
    player.play("About Ok: end")


@pytest.mark.density
def test_double_density(x, game, evidence):
    """On a desktop at 200 % (Xft.dpi: 192) the main window is twice its design: every
    picture on its doubled place, sharp, inside a sunken edge 4 pixels wide."""
    doubled = (2 * MAIN_SIZE[0], 2 * MAIN_SIZE[1])
    x.set_resources("Xft.dpi:\t192\n")
    try:
        player = Player(x, game(x), evidence)

        def one_doubled():
            found = [w for w in x.windows() if w.title == MAIN_TITLE]
            return found[0] if len(found) == 1 and found[0].rect[2:] == doubled else None
        main = wait_until(one_doubled, APPEAR, f"one main window of {doubled[0]}x{doubled[1]}",
                          lambda: describe_windows(x.windows()))
        # Where the window manager puts it: a picture taken before reads the wrong pixels.
        main = player.wait_centred(main, "the main window at 200 %")
        # Drawn: the first cell shows its picture, not the black of a window not yet painted.
        x0, y0 = board.cell_origin(0)
        first = (2 * (x0 + board.BORDER), 2 * (y0 + board.BORDER),
                 2 * (x0 + board.BOX - board.BORDER), 2 * (y0 + board.BOX - board.BORDER))
        image = player.settled_shot(main, lambda shot: shot.crop(first).getcolors(1) is None,
                                    "the main window drawn at 200 %")
        player.save(image, "main-window-200")
        edge = 2 * board.BORDER
        for cell, piece in enumerate(board.initial_layout()):
            left, top = (2 * n for n in board.cell_origin(cell))
            where = f"the picture of p{piece} on cell {cell_name(cell)} at 200 %"
            expect_sunken(image, left, top, 2 * board.BOX, 2 * board.BOX, where, edge)
            tile = TILES.by_piece[piece]
            shown = image.crop((left + edge, top + edge, left + edge + 2 * tile.width,
                                top + edge + 2 * tile.height))
            wanted = tile.resize((2 * tile.width, 2 * tile.height), Image.NEAREST)
            assert shown.tobytes() == wanted.tobytes(), \
                f"expected {where}, each pixel doubled; saw other pixels (see main-window-200.png)"
    finally:
        x.set_resources("")


def idle_clicks(player, layout):
    """Clicks that must move nothing: a piece away from the hole, the hole itself and the
    parked p20 (unless the hole is beside it). Clicks are handled in order, so the next move
    seen on the screen shows whether they moved anything."""
    hole = layout.index(HOLE)
    far = max(range(GRID), key=lambda cell: abs(cell % board.COLUMNS - hole % board.COLUMNS)
              + abs(cell // board.COLUMNS - hole // board.COLUMNS))
    player.board.click_cell(far)
    player.board.click_cell(hole)
    names = [f"p{layout[far]} (away from the hole)", "the white p0"]
    if hole != GRID - 1:  # not beside the parked p20
        player.board.click_cell(PARKING)
        names.append("the parked p20")
    return "after clicks that move nothing, on " + ", ".join(names) + ", "


def runs(flags):
    """The runs of true values in a list of flags, as ranges."""
    found, start = [], 0
    for flag, run in itertools.groupby(flags):
        end = start + len(list(run))
        found += [range(start, end)] if flag else []
        start = end
    return found


def ink_runs(image, rows, background):
    """The runs of columns that hold anything but the background in `rows`."""
    return runs([any(image.getpixel((x, y)) != background for y in rows)
                 for x in range(image.width)])


def bands(image, background):
    """The runs of rows that hold anything but the background."""
    return runs([any(image.getpixel((x, y)) != background for x in range(image.width))
                 for y in range(image.height)])


def prompt_width(text):
    """How wide the dark ink of `text` is, set in the program's font: DejaVu Sans 8 pt at
    96 dpi, that is 11 px."""
    font = ImageFont.truetype("DejaVuSans.ttf", 11)
    canvas = Image.new("L", (200, 40), 255)
    ImageDraw.Draw(canvas).text((10, 10), text, font=font, fill=0)
    found = ink_runs(canvas.point(lambda v: 0 if v < 160 else 255), range(40), 255)
    return found[-1].stop - found[0].start


def read_message_box(image):
    """The message box as the player sees it: one line of text over one button. Returns the
    text's ink runs and the button's rectangle in the box."""
    background = max(set(image.getdata()), key=list(image.getdata()).count)
    found = bands(image, background)
    assert len(found) == 2, (f"expected a message box with one line of text over one button; "
                             f"saw {len(found)} bands of ink, rows "
                             f"{[(b.start, b.stop) for b in found]}")
    text, buttons = found
    # The text's ink: dark pixels only, so that antialiasing's faint edges do not join glyphs.
    glyphs = ink_runs(image.convert("L").point(lambda v: 0 if v < 160 else 255), text, 255)
    controls = ink_runs(image, buttons, background)
    assert len(controls) == 1, (f"expected exactly one button in the message box; saw "
                                f"{len(controls)} separate controls in rows "
                                f"{buttons.start}-{buttons.stop}")
    (button,) = controls
    return glyphs, (button.start, buttons.start, len(button), len(buttons))


def win(player, game):
    """Brings p20 home on a solved grid: the "Bravo !" box, its OK, and the game is over."""
    main = player.open["main"]
    player.board.click_cell(PARKING)
    found = player.wait_windows(
        {"main": 1, "message": 1}, also=lambda w: w["main"][0].wid == main.wid,
        what=f' (the "Bravo !" box titled "{MAIN_TITLE}") after p20 came home')
    box = found["message"][0]
    image = player.settled_shot(box, lambda image: len(bands(image, image.getpixel((0, 0)))) == 2,
                                "the message box painted, one line of text over one button")
    player.save(image, f"game{game}-bravo")
    glyphs, (x, y, w, h) = read_message_box(image)
    # "Bravo !" is told from its look-alikes by its width and by the space before the "!".
    width = glyphs[-1].stop - glyphs[0].start if glyphs else 0
    wanted = prompt_width("Bravo !")
    assert abs(width - wanted) <= 2 and len(glyphs) >= 2 and len(glyphs[-1]) <= 2 \
        and glyphs[-1].start - glyphs[-2].stop >= 4, \
        (f'expected the prompt "Bravo !": about {wanted} px of text ending in a thin "!" after a '
         f"space; saw {width} px of text in glyph runs {glyphs} (see game{game}-bravo.png)")
    player.click(box, x + w // 2, y + h // 2, then=(x - 16, y + h // 2))  # the hand moves on
    player.expect("OK of the Bravo box", ["main"])
    player.board.wait(board.initial_layout(),
                      "p20 home and the white p0 on the parking cell after Bravo")
    player.third_button_reads("Quitter", "again, as at start")
    player.save(player.shot(main), f"game{game}-won")


@pytest.mark.games
def test_games(player):
    """Three games from three shuffles, each to "Bravo !"; the third after shuffling again in
    the middle of a game; then the way out."""
    player.start()
    deals = []
    for game in (1, 2, 3):
        player.play("Brasser: main")
        deals.append(player.layout)
        player.save(player.shot(player.open["main"]), f"game{game}-dealt")
        # The clicks that finish the deal; the last, p20's, is win()'s.
        clicks = board.solve(player.layout)[:-1]
        if game == 3:
            # A few moves, then a new shuffle: the game starts again from a new deal.
            player.board.slide(player.layout, *clicks[:6])
            player.play("Brasser: main")
            deals.append(player.layout)
            clicks = board.solve(player.layout)[:-1]
        before = idle_clicks(player, player.layout) if game == 1 else ""
        player.board.slide(player.layout, *clicks, before=before)
        win(player, game)
    assert len({tuple(d) for d in deals}) == len(deals), \
        f"expected a different deal from each shuffle; saw {[describe(d) for d in deals]}"
    player.play("Quitter: about; About Ok: end")


# The windows: the steps of each scenario and the windows after each, or the program's end.
WINDOW_SCENARIOS = {
    # Two "Voir" give one portrait; it stays where the player put it through a shuffle, a
    # restart and the way out; the About window's "Ok" ends both windows.
    "portrait_stays_where_put": "Voir: main portrait; drag: main portrait; "
    "Voir again: main portrait; Brasser: main portrait; Finir: main portrait; "
    "Quitter: portrait about; About Ok: end",
    # The portrait's "Ok" closes it; "Voir" then opens a new one, centred again.
    "portrait_comes_back_fresh": "Voir: main portrait; drag: main portrait; portrait Ok: main; "
    "Voir: main portrait; close main: portrait; close portrait: end",
    "closing_the_main_window_ends": "close main: end",
    "closing_the_main_window_leaves_the_portrait": "Voir: main portrait; close main: portrait; "
    "close portrait: end",
    "closing_the_about_window_ends": "Quitter: about; close about: end",
    "closing_the_about_window_leaves_the_portrait": "Voir: main portrait; drag: main portrait; "
    "Quitter: portrait about; close about: portrait; close portrait: end",
}


@pytest.mark.windows
@pytest.mark.parametrize("steps", WINDOW_SCENARIOS.values(), ids=WINDOW_SCENARIOS.keys())
def test_windows(player, steps):
    player.start()
    player.play(steps)


@pytest.mark.clicks
def test_quick_clicks(player):
    """Two pieces clicked a few milliseconds apart, over and over: each second click is made
    after the first one's handler has returned, so however busy the machine, both count."""
    player.start()
    home = board.initial_layout()
    out = list(home)  # p20 parked, then p19 slid into p20's home
    out[GRID - 2], out[GRID - 1], out[PARKING] = HOLE, 19, 20
    pairs = [((GRID - 1, GRID - 2), out, "p20 to the parking cell, then p19 after it"),
             ((GRID - 1, PARKING), home, "p19 back, then p20 home")]
    for round_ in range(1, QUICK_ROUNDS + 1):
        for (first, second), wanted, what in pairs:
            player.board.click_cell(first)
            time.sleep(QUICK_GAP)  # the player's hand, not a wait for the program
            player.board.click_cell(second)
            player.board.wait(wanted, f"{what}, {QUICK_GAP * 1000:g} ms apart (round {round_})")
    player.save(player.shot(player.open["main"]), "quick-clicks")
    player.play("close main: end")


@pytest.mark.clicks
def test_button_clicks(player):
    """Every button clicked as a hand clicks it, the pointer leaving the button right after the
    release: the click counts however late the program reads it. A drag off a button before
    the release cancels the click, as on every desktop."""
    main = player.start()
    raised = player.shot(main, BRASSER).tobytes()
    box = (BRASSER[0], BRASSER[1], BRASSER[0] + BRASSER[2], BRASSER[1] + BRASSER[3])
    x, y = (a + b for a, b in zip(main.rect, DESIGN.centre("Vorek", "Command1")))
    player.x.press(x, y)
    pressed = player.settled_shot(main, lambda image: image.crop(box).tobytes() != raised,
                                  "Brasser drawn pressed under the pointer").crop(box).tobytes()
    player.x.move_pointer(x - BRASSER[2], y)
    wait_until(lambda: player.shot(main, BRASSER).tobytes() != pressed, REACT,
               "Brasser drawn no longer pressed once the pointer is dragged off it",
               lambda: "it drawn pressed still")
    player.x.release()
    # Events are read in turn: once Voir's window is there, the release has been handled, and
    # the main window must be the same one: the drag shuffled nothing.
    player.play("Voir: main portrait; portrait Ok: main")
    for round_ in range(1, BUTTON_ROUNDS + 1):
        print(f"round {round_}")
        player.play("Brasser: main; Finir: main; Voir: main portrait; portrait Ok: main",
                    leave=True)
    player.play("Quitter: about; About Ok: end", leave=True)
