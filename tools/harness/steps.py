"""Steps that the real-window suite and the browser suite share, on any game that answers
key, point, click, capture and wait_for. The checks given to wait_for return None once the
capture shows what is awaited, else what is still wrong.
"""

import os

from .screen import (FIXED_TILES, HEAD_DOWN, HEAD_RIGHT, INTACT_EGG, PLAYER_1, arena_things, banner_gone,
                     banner_problem, cell, count_screen_problem, first_level_problem, fixed_code, grey_heads,
                     level_problem, manual_page_problem, player_head, selection, selection_problem,
                     title_problem)
from .xsession import Game, expect


def title_menu(game):
    """Waits for the title menu with nothing selected."""
    return game.wait_for(lambda c: title_problem(c) or selection_problem(c, "none"),
                         "the title menu with nothing selected")


def demo_snake_moves(game):
    first = grey_heads(arena_things(game.capture()))
    game.wait_for(lambda c: title_problem(c) or ("the demo snake's head has not moved"
                                                 if grey_heads(arena_things(c)) == first else None),
                  "the demo snake's head to move")


def new_game(x, program, workdir, **options):
    """A game started on the X server and on its title menu."""
    game = Game(x, program, workdir, **options)
    title_menu(game)
    return game


def select_item(game, item):
    """Tab until the white outline is on the item: Tab goes none → Começar → Manual → Começar."""
    for _ in range(2):
        current = selection(game.capture())
        if current == item:
            break
        game.press("Tab", lambda c: None if selection(c) not in (None, current) else f"the outline still shows "
                   f"{current}", "Tab to move the outline")
    return game.wait_for(lambda c: selection_problem(c, item), f"Tab to select {item}")


def open_manual(game):
    """From the title menu to the first manual page; returns the title as it was left."""
    title = select_item(game, "Manual")
    return title, game.press("Return", lambda c: manual_page_problem(c, title, []), "the first manual page")


def open_count_screen(game):
    """From the title menu: Tab selects "Começar", Return confirms it."""
    select_item(game, "Começar")
    return game.press("Return", lambda c: count_screen_problem(c, None), "the count screen, nothing highlighted")


def paused_level(game, adversaries):
    """From the count screen: Return right behind the digit pauses the fresh level on its
    first tick, before anything moves."""
    return game.press((str(adversaries), "Return"), lambda c: banner_problem(c) or level_problem(c, adversaries),
                      f"a paused first level with {adversaries} adversaries", delay=0)


def start_match(game, adversaries, paused=False):
    """From the title menu to a match against that many adversaries, paused on request."""
    open_count_screen(game)
    if paused:
        return paused_level(game, adversaries)
    return game.press(str(adversaries), first_level_problem, "the first level")


def leave_match(game):
    """Escape in a match, then Escape on the count screen: back on the title menu."""
    game.press("Escape", lambda c: count_screen_problem(c, None), "Escape in the match to bring back the count screen")
    game.key("Escape")
    title_menu(game)


def quit_on_title(game, where):
    """Escape on the title menu must end the program with status 0."""
    game.key("Escape")
    status = game.wait_exit()
    expect(status == 0, f"Escape on the title menu {where} ended the program with status {status}")


def steer_player_1(game, down, right):
    """On a fresh level, down() hatches player 1, which then moves down column 13 cell by
    cell; right() turns it. Down first: along row 4 the egg of player 2 lies in the way."""
    egg = FIXED_TILES[PLAYER_1 + INTACT_EGG]
    down()
    rows = []

    def heading_down(capture):
        head = player_head(capture)
        if head is None:
            expect(cell(capture, 4, 13) == egg, "player 1's egg went away and no head came")
            return "player 1 has not hatched"
        row, col, code = head
        expect(col == 13 and code == PLAYER_1 + HEAD_DOWN and row >= max(rows, default=5),
               f"player 1's head shows tile {code} at ({row}, {col}) after being in rows {rows}")
        rows.append(row)
        if row < 10:
            return f"the head has only come to row {row}"
        # The hatched egg's picture stays until its cell leaves the snake as its tail, three
        # steps on; a fruit eaten on the way (one can lie in column 13) holds the tail there.
        grown = sum(PLAYER_1 <= (fixed_code(capture, r, 13) or 0) < PLAYER_1 + INTACT_EGG
                    for r in range(5, row + 1)) > 3
        return "the egg is still in its cell" if cell(capture, 4, 13) == egg and not grown else None

    game.wait_for(heading_down, "player 1 to hatch and head down column 13, leaving its egg cell")
    expect(len(set(rows)) >= 2, f"the head was seen in too few places: rows {rows}")
    right()
    turn = []

    def heading_right(capture):
        head = player_head(capture)
        expect(head is not None, "player 1's head went away after Right")
        row, col, code = head
        if code == PLAYER_1 + HEAD_DOWN and col == 13 and not turn:
            return "player 1 has not turned yet"
        turn[:] = turn or [row]
        expect(code == PLAYER_1 + HEAD_RIGHT and row == turn[0],
               f"after Right, player 1's head shows tile {code} at ({row}, {col})")
        return None if col >= 19 else f"the head has only come to column {col}"

    game.wait_for(heading_right, "player 1 to turn right")


class PretendPads:
    """Pads that tests/e2e/pretend_pads.cpp, preloaded below the game, makes up: it reads
    what they do from a file this appends to. Button numbers are the SDL layer's
    game-controller layout."""
    library = None  # the preloaded library; the real-window suite sets it (--pretend-pads)
    BUTTONS = {"a": 0, "b": 1, "back": 4, "start": 6, "up": 11, "down": 12, "left": 13, "right": 14}

    def __init__(self, workdir, plugged):
        expect(self.library, "no pretend pads' library: give --pretend-pads")
        self.path = os.path.join(workdir, "pads")
        self.env = {"LD_PRELOAD": self.library, "RAVELA_PRETEND_PADS": self.path}
        self.say(f"pads {plugged}")

    # A line for the library: "pads N" plugs in pads up to N; else a press or a tilt.
    def say(self, line):
        with open(self.path, "a") as script:
            script.write(line + "\n")

    def press(self, pad, button):
        self.say(f"{pad} button {self.BUTTONS[button]}")

    def tilt(self, pad, axis, value):
        self.say(f"{pad} axis {axis} {value}")


def play_by_pads(game, pads):
    """Three players by pad alone, from the title menu back to it, two pads plugged in at
    first. A third pad plugged in on the title menu joins when the count screen opens.
    The d-pad moves the outline and the highlight and A confirms; each pad steers its own
    player, by d-pad or stick; Start pauses and resumes; Back leaves the match, B the
    count screen."""
    pads.press(0, "down")
    game.wait_for(lambda c: selection_problem(c, "Começar"), "pad 1's d-pad to select \"Começar\"")
    pads.say("pads 3")
    pads.press(1, "a")
    game.wait_for(lambda c: count_screen_problem(c, None), "pad 2's A to open the count screen")
    pads.press(2, "right")
    game.wait_for(lambda c: count_screen_problem(c, 1), "the third pad's first move to highlight item 1")
    pads.press(1, "left")
    game.wait_for(lambda c: count_screen_problem(c, 0), "pad 2's d-pad to move the highlight to item 0")
    pads.press(0, "a")
    game.wait_for(first_level_problem, "pad 1's A to start a level without adversaries")
    pads.press(0, "down"), pads.tilt(1, 1, 32767), pads.press(2, "down")

    def heads_down(capture):
        for player in range(3):
            head = player_head(capture, player)
            if head is None or head[1] != 13 + 13 * player or head[0] < 9:
                return f"player {player + 1}'s head is at {head}, not down its column"
        return None

    game.wait_for(heads_down, "each pad to hatch its player and steer it down")
    pads.press(2, "start")
    game.wait_for(banner_problem, "pad 3's Start to pause")
    pads.press(0, "start")
    game.wait_for(banner_gone, "pad 1's Start to resume")
    pads.press(1, "back")
    game.wait_for(lambda c: count_screen_problem(c, None), "pad 2's Back to end the match")
    pads.press(0, "b")
    title_menu(game)
