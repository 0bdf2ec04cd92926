"""The real-window scenarios: each plays the real ravela program in a private X server (or
Wayland compositor) of its own, as a person would, and checks what it shows pixel by pixel.
pytest runs each scenario_ function as one test, with the fixtures of conftest.py: x (an X
server), start_x and start_sway (more servers, on demand), program and workdir.
"""

import os
import subprocess
import threading
import time

from harness.screen import (BLACK, BORDER_WALLS, COLUMNS, MANUAL_PAGE, ROWS, banner_gone, banner_problem,
                            bricks_problem, cell_code, count_screen_problem, first_level_problem, grey_cells,
                            is_near_white, level_problem, manual_page_problem, selection_problem, title_problem)
from harness.xsession import Failure, Game, expect, poll, stop_process
from harness.wlsession import WaylandGame
from harness.steps import (PretendPads, demo_snake_moves, leave_match, new_game, open_count_screen,
                           open_manual, paused_level, play_by_pads, quit_on_title, start_match, steer_player_1,
                           title_menu)


# Window mode declares a window of fixed size, its hints allowing no more than 640×480;
# see scenario_full_screen.
FIXED_SIZE = (640, 480)
START_LINE = [b"Usando tela 640x480x%d  SWSURFACE\n" % depth for depth in (16, 24, 32)]

# ---------------------------------------------------------------------------------------
# Scenarios.


def scenario_startup(x, program, workdir):
    """The console lines, the window, the title menu and its moving demo snake."""
    game = new_game(x, program, workdir)
    out = poll(lambda: game.stdout().count(b"\n") >= 4 and game.stdout(), 10, "the start-up lines")
    hint = b"\nPara tela cheia executar o programa digitando\nqualquer coisa ap\xf3s o nome do programa\n"
    expect(out in [line + hint for line in START_LINE], f"start-up lines: {out!r}")
    expect((game.width, game.height) == (640, 480), f"the window is {game.width}x{game.height}")
    expect(game.name() == "Ravela", f"the window title is {game.name()!r}")
    expect(game.maximum_size() == FIXED_SIZE, f"the window is not of fixed size: at most {game.maximum_size()}")
    demo_snake_moves(game)


def scenario_title_navigation(x, program, workdir):
    """Tab and the pointer move the white outline; Return with nothing selected does nothing."""
    game = new_game(x, program, workdir)
    # The title menu reads its events in order: if it still shows the title and the outline
    # after the Tab, the Return before it was read and did nothing.
    game.press(("Return", "Tab"), lambda c: title_problem(c) or selection_problem(c, "Começar"),
               "a lone Return to do nothing and the Tab behind it to select \"Começar\"")
    for item in ("Manual", "Começar"):
        game.press("Tab", lambda c, item=item: selection_problem(c, item), f"Tab to move the outline to {item}")
    # Each pointer zone is its item's outline moved four pixels down: "Começar" x 212-430,
    # y 192-250; "Manual" x 225-413, y 252-302. Every move changes the selection.
    for x_pixel, y_pixel, item in ((300, 275, "Manual"), (300, 190, "none"), (300, 250, "Começar"),
                                   (300, 251, "none"), (212, 192, "Começar"), (211, 192, "none"),
                                   (413, 302, "Manual"), (414, 302, "none"), (430, 250, "Começar"),
                                   (300, 100, "none")):
        game.point(x_pixel, y_pixel)
        game.wait_for(lambda c, item=item: selection_problem(c, item),
                      f"the pointer at ({x_pixel}, {y_pixel}) to select {item}")
    game.press(("Return", "Tab"), lambda c: title_problem(c) or selection_problem(c, "Começar"),
               "Return after the pointer left both items to do nothing")


def scenario_manual(x, program, workdir):
    """Three pages in turn over the title screen, then back to the title menu."""
    game = new_game(x, program, workdir)
    title, page = open_manual(game)
    shots = [page]
    # Any key turns a page, Escape as well, and a mouse button turns the last one; neither
    # a key's release nor a pointer move does, or the pages would come out of turn.
    for n, key in ((2, "space"), (3, "Escape")):
        game.point(600, 20 * n)
        seen = [shot.area(*MANUAL_PAGE) for shot in shots]
        shots.append(game.press(key, lambda c: manual_page_problem(c, title, seen), f"{key} to show page {n}"))
    # Only the third page, the keys, has white in it: its key caps.
    white = [shot.count(MANUAL_PAGE, is_near_white) for shot in shots]
    expect(white[0] < 1000 and white[1] < 1000 and white[2] > 5000,
           f"white pixels on pages 1 to 3: {white}; only the third, with its key caps, should have many")
    game.click()
    title_menu(game)


def scenario_count_screen(x, program, workdir):
    """The pointer highlights items; 3 starts a match with three adversaries."""
    game = new_game(x, program, workdir)
    open_count_screen(game)
    # Items are 320×80 pixels from y 80: even counts on the left, odd ones on the right.
    for x_pixel, y_pixel, item in ((480, 285, 5), (10, 80, 0), (639, 479, 9), (160, 239, 2), (320, 79, None)):
        game.point(x_pixel, y_pixel)
        game.wait_for(lambda c, item=item: count_screen_problem(c, item),
                      f"the pointer at ({x_pixel}, {y_pixel}) to highlight item {item}")
    paused_level(game, 3)


def scenario_play(x, program, workdir):
    """An arrow key hatches player 1, which then moves that way; another turns it."""
    game = new_game(x, program, workdir)
    start_match(game, 0)
    steer_player_1(game, lambda: game.key("Down"), lambda: game.key("Right"))


def scenario_pause(x, program, workdir):
    """Return shows the banner and freezes the match; Return again removes it, and the
    board comes back in known tiles, the walls in bricks, the adversaries moving again."""
    game = new_game(x, program, workdir)
    start_match(game, 2)
    first = game.press("Return", banner_problem, "Return to show the pause banner")
    time.sleep(0.6)  # five ticks' time, in which nothing may change
    second = game.capture()
    expect(first.rgb == second.rgb, "the screen changed while paused")
    shown = game.press("Return", banner_gone, "Return again to remove the banner")
    unknown = [(r, c) for r in range(ROWS) for c in range(COLUMNS) if cell_code(shown, r, c) is None]
    expect(not unknown, f"cells show no known tile after the banner went: {unknown[:5]}")
    expect(bricks_problem(shown, BORDER_WALLS) is None, "the walls were not repainted in bricks")
    frozen = grey_cells(second)
    game.wait_for(lambda c: "the adversaries stand still" if grey_cells(c) == frozen else None,
                  "the adversaries to move again")


def scenario_ending(x, program, workdir):
    """Escape leaves the match, then the count screen, then the program with status 0."""
    game = new_game(x, program, workdir)
    start_match(game, 1)
    leave_match(game)
    quit_on_title(game, "after a match")


def scenario_close(x, program, workdir):
    """Closing the window ends the program with status 0, whatever screen is up."""
    screens = (("title menu", lambda game: None),
               ("manual", open_manual),
               ("count screen", open_count_screen),
               ("match", lambda game: start_match(game, 2)),
               ("paused match", lambda game: start_match(game, 2, paused=True)))
    for name, reach in screens:
        game = new_game(x, program, workdir)
        reach(game)
        game.request_close()
        status = game.wait_exit()
        expect(status == 0, f"closing the window on the {name} gave status {status}")


def scenario_full_screen(start_x, program, workdir):
    """With any argument, even an empty one: the same first line and no full-screen hint,
    and SDL's size hints no longer declare a fixed-size window (without a window manager
    nobody resizes it). On a 640×480 screen the picture is not scaled, and the menu
    answers the keyboard however slowly it is used."""
    x = start_x(size=(640, 480))
    for argument in ("full", ""):
        game = new_game(x, program, workdir, arguments=[argument])
        out = poll(lambda: game.stdout().endswith(b"\n") and game.stdout(), 10, "the start-up line")
        expect(out in START_LINE, f"with the argument {argument!r} the program printed {out!r}")
        expect(game.maximum_size() != FIXED_SIZE, f"with the argument {argument!r} the window is "
               f"a fixed-size window: at most {game.maximum_size()}")
        game.press("Tab", lambda c: selection_problem(c, "Começar"), "Tab to select \"Começar\"")
        time.sleep(0.5)  # a player's pause, in which the cursor is shown and hidden eight times
        game.press("Return", lambda c: count_screen_problem(c, None), "Return, half a second later, to confirm")
        game.key("Escape")
        title_menu(game)
        quit_on_title(game, "in full screen")


def scenario_repaint(x, program, workdir):
    """Hiding the window and showing it again brings back what it showed: the count screen,
    a paused match with its banner, and the banner of a match that paused while hidden."""
    game = new_game(x, program, workdir)
    open_count_screen(game)
    game.hide_and_show()
    game.wait_for(lambda c: count_screen_problem(c, None), "the count screen again")
    paused_level(game, 2)
    game.hide_and_show()
    game.wait_for(lambda c: banner_problem(c) or level_problem(c, 2), "the paused level and its banner again")
    game.press("Return", banner_gone, "Return to resume the match")
    game.hide_and_show(hidden_for=0.5)
    game.wait_for(banner_problem, "the banner of the pause that losing the window brought")


def scenario_display_loss(start_x, program, workdir):
    """The X server going away ends the game within seconds, with a message and status 1,
    on the title menu and in a match of nine adversaries, run after run."""
    for run in range(6):
        x = start_x()
        game = new_game(x, program, workdir)
        if run % 2:
            start_match(game, 9)
        x.process.kill()
        status = game.wait_exit(timeout=5)
        expect(status == 1, f"run {run}: the game ended with status {status} when its display went away")
        expect(b"Conexao com a tela perdida\n" in game.stderr(), f"run {run}: stderr {game.stderr()!r}")


def scenario_streams(x, program, workdir):
    """Whatever standard output is, closed, a pipe nobody reads or a full device, the game
    opens its titled window, plays its title menu and ends on Escape with status 0."""
    reader, writer = os.pipe()
    os.close(reader)
    with open("/dev/full", "wb") as full:
        for name, stdout in (("closed", "closed"), ("a closed pipe", writer), ("/dev/full", full)):
            quit_on_title(new_game(x, program, workdir, stdout=stdout), f"with standard output {name}")
    os.close(writer)


def scenario_no_display(x, program, workdir):
    """With no display, or one that no server answers, start-up fails at once with the
    video message and status 1. SDL's dummy driver, asked for by name, still runs the
    game, and SIGTERM ends it."""
    env = {k: v for k, v in x.env.items() if k not in ("DISPLAY", "SDL_VIDEODRIVER", "WAYLAND_DISPLAY")}
    for display in (None, x.display + "9"):
        run_env = dict(env, DISPLAY=display) if display else env
        try:
            done = subprocess.run([program], env=run_env, capture_output=True, timeout=20)
        except subprocess.TimeoutExpired as error:
            raise Failure(f"with DISPLAY {display} the game still ran after 20 s") from error
        expect(done.returncode == 1 and done.stdout == b"" and
               b"Nao consegui inicializar video: " in done.stderr,
               f"with DISPLAY {display}: status {done.returncode}, out {done.stdout!r}, errors {done.stderr!r}")
    game = subprocess.Popen([program], env=dict(env, SDL_VIDEODRIVER="dummy"), stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
    try:
        expect(game.stdout.readline().startswith(b"Usando tela 640x480x"), "the dummy driver did not start")
        game.terminate()
        expect(game.wait(timeout=10) == 0, f"SIGTERM ended the game with status {game.returncode}")
    finally:
        stop_process(game, "ravela")


def scenario_pointer_flood(x, program, workdir):
    """Keys reach a match while the pointer races over the window at thousands of moves a
    second: each of eight Returns shows or removes the pause banner."""
    game = new_game(x, program, workdir)
    start_match(game, 0)
    flooding = threading.Event()
    flooding.set()

    def flood():
        moves = [word for i in range(300) for word in
                 ("mousemove", str(game.left + 20 + i), str(game.top + 50 + i % 200))]
        while flooding.is_set():
            x.run("xdotool", *moves)
            time.sleep(0.1)

    thread = threading.Thread(target=flood, daemon=True)
    thread.start()
    try:
        for n in range(8):
            game.press("Return", banner_gone if n % 2 else banner_problem, f"Return {n + 1} to show or hide the banner")
    finally:
        flooding.clear()
        thread.join()


def scenario_pads(x, program, workdir):
    """Three players by pretend pads under the unchanged game; Back on the title menu ends
    the program."""
    pads = PretendPads(workdir, 2)
    game = new_game(x, program, workdir, env=pads.env)
    play_by_pads(game, pads)
    pads.press(2, "back")
    status = game.wait_exit()
    expect(status == 0, f"Back on the title menu ended the program with status {status}")


def scenario_desktop_depths(start_x, program, workdir):
    """A 15-bit desktop, which SDL cannot open a window for, gets a 16-bit one; a 30-bit
    desktop keeps the light software path, drawing exact colours on the single thread the
    game has."""
    for depth, opened in ((15, 16), (30, 32)):
        x = start_x(depth=depth)
        game = Game(x, program, workdir)
        out = poll(lambda: b"\n" in game.stdout() and game.stdout(), 10, "the start-up lines")
        expect(out.startswith(b"Usando tela 640x480x%d " % opened),
               f"on a {depth}-bit desktop the game printed {game.stdout()!r}")
        if depth == 30:
            title_menu(game)  # pixel for pixel, as on a 24-bit screen
        threads = len(os.listdir(f"/proc/{game.process.pid}/task"))
        expect(threads == 1, f"on a {depth}-bit desktop the game runs {threads} threads")
        quit_on_title(game, f"of a {depth}-bit desktop")
        x.stop()


def scenario_window_size(start_x, program, workdir):
    """The window is the largest whole multiple of 640×480 within nine tenths of the screen,
    unless the player scales it; each game pixel is one sharp n×n block, also where the SDL
    layer enlarges the picture for the player, and the picture is the title menu as at 1×
    (the checks read it back block by block). A click on "Começar" at 2× and at 4× opens
    the count screen."""
    for screen, env, size in (((1024, 768), {}, (640, 480)), ((1920, 1080), {}, (1280, 960)),
                              ((3840, 2160), {"SDL12COMPAT_WINDOW_SCALING": "1"}, (640, 480)),
                              ((1920, 1080), {"SDL12COMPAT_WINDOW_SCALING": "2"}, (1280, 960)),
                              ((3840, 2160), {}, (2560, 1920))):
        x = start_x(size=screen)
        game = new_game(x, program, workdir, env=env)
        expect((game.width, game.height) == size, f"on a {screen} screen with {env} the window is "
               f"{game.width}×{game.height}, not {size}")
        if game.scale > 1:
            game.point(300, 210)
            game.wait_for(lambda c: selection_problem(c, "Começar"), f"the pointer to select \"Começar\" at "
                          f"{game.scale}×")
            game.click()
            game.wait_for(lambda c: count_screen_problem(c, None), f"a click to open the count screen at {game.scale}×")
        x.stop()


def scenario_full_screen_wm(start_x, program, workdir):
    """Under a window manager that honours full screen, on a 1920×1080 screen: the picture
    at 2×, 1280×960 in sharp blocks of the game's colours, centred between black bars."""
    x = start_x(size=(1920, 1080), window_manager=True)
    game = Game(x, program, workdir, arguments=["full"])
    poll(lambda: (game.viewable_geometry() or (0, 0, 0, 0))[2:] == (1920, 1080), 10, "the window to fill the screen")
    game.wait_window()
    title_menu(game)
    screen = game.window_capture()
    bars = ((0, 0, 1920, 60), (0, 1020, 1920, 60), (0, 60, 320, 960), (1600, 60, 320, 960))
    lit = [screen.count(bar, lambda *rgb: rgb != BLACK) for bar in bars]
    expect(lit == [0, 0, 0, 0], f"pixels that are not black in the bars above, below, left and right: {lit}")
    open_count_screen(game)
    game.key("Escape")
    title_menu(game)
    quit_on_title(game, "in full screen under a window manager")


def wayland_game(sway, program, workdir):
    """The game on its title menu on sway."""
    game = WaylandGame(sway, program, workdir)
    title_menu(game)
    return game


def scenario_wayland(start_sway, program, workdir):
    """Natively on Wayland: the console lines, the title menu, Tab and Return to the count
    screen, a match (paused: the typing tool's keyboard leaving takes the focus away),
    Escape back to the title and Escape to leave with status 0, as on X."""
    game = wayland_game(start_sway(), program, workdir)
    hint = b"\nPara tela cheia executar o programa digitando\nqualquer coisa ap\xf3s o nome do programa\n"
    expect(game.stdout() in [line + hint for line in START_LINE], f"start-up lines: {game.stdout()!r}")
    game.press(("Tab", "Return"), lambda c: count_screen_problem(c, None), "Tab and Return: the count screen")
    game.press("3", lambda c: banner_problem(c) or first_level_problem(c), "a paused first level")
    game.press("Escape", lambda c: count_screen_problem(c, None), "Escape: the count screen")
    game.key("Escape")
    title_menu(game)
    quit_on_title(game, "on Wayland")


def scenario_wayland_quit_on_a_handed_connection(start_sway, program, workdir):
    """A game handed its connection to the compositor (WAYLAND_SOCKET), with WAYLAND_DISPLAY
    unset and then set to an empty string: Escape on the title menu is a normal quit, status 0
    and no message, however the game reached its compositor."""
    for display in (None, ""):
        sway = start_sway()
        fd = sway.connection()
        try:
            game = WaylandGame(sway, program, workdir, env={"WAYLAND_SOCKET": str(fd), "WAYLAND_DISPLAY": display},
                               pass_fds=(fd,))
        finally:
            os.close(fd)
        title_menu(game)
        game.key("Escape")
        status = game.wait_exit()
        expect(status == 0 and game.stderr() == b"", f"WAYLAND_DISPLAY {display!r}: Escape on the title menu "
               f"ended the game with status {status}, errors {game.stderr()!r}")
        sway.stop()


def scenario_wayland_loss(start_sway, program, workdir):
    """A killed compositor ends the game within 5 s with the message and status 1, on the
    title menu and in a match of nine adversaries."""
    for run in range(2):
        sway = start_sway()
        game = wayland_game(sway, program, workdir)
        if run:
            game.press(("Tab", "Return"), lambda c: count_screen_problem(c, None), "the count screen")
            game.press("9", first_level_problem, "a first level with nine")
        sway.kill()
        status = game.wait_exit(timeout=5)
        expect(status == 1 and game.stderr() == b"Conexao com a tela perdida\n",
               f"run {run}: status {status}, errors {game.stderr()!r}")
        sway.stop()
