"""What the game draws, and how to tell it from a capture of its window.

The palette and the tile pictures are written out here from what the game should show, not
taken from its code, so a fault in the game's own tables shows up as a mismatch. A cell
(row r, column c) covers the pixels x = 10c ... 10c+9, y = 10r ... 10r+9.
"""

PALETTE = [
    (0, 0, 0), (128, 128, 128), (128, 128, 64), (255, 255, 64), (64, 128, 64), (64, 255, 64),
    (64, 128, 128), (64, 255, 255), (96, 96, 96), (224, 224, 224), (64, 96, 160),
    (128, 128, 192), (128, 192, 255), (255, 255, 128), (64, 192, 64), (255, 128, 64),
]
PALETTE_SET = set(PALETTE)
BLACK = PALETTE[0]
WHITE = (255, 255, 255)
BRICK_FACE = {PALETTE[10], PALETTE[11], PALETTE[12]}
BRICK_LIGHT = PALETTE[9]
BRICK_DARK = PALETTE[8]

# Body and stripe palette indexes of the four snake colours.
SNAKE_COLOURS = {16: (2, 3), 32: (4, 5), 48: (6, 7), 64: (8, 9)}

FRUIT_TABLE = """
......aa..
.....aaa..
.....a....
...aaaa...
.aaaaaaaa.
aaaaaaaaaa
aaaaaaaaaa
aaaaaaaaaa
.aaaaaaaa.
...aaaa...
"""

EMPTY_TABLE = """
..........
.aaaa.bbbb
.abbab.aab
.abbab.aab
.a..a.bbbb
..aa...aa.
.bbbb.a..a
.baa.b.bba
.baa.b.bba
.bbbb.aaaa
"""

# The sixteen snake tiles, four to a block: heads up, down, left, right; tails with the tip
# up, down, left, right; corners left-bottom, top-left, right-bottom, top-right; straight
# horizontal, straight vertical, broken egg, intact egg. 'b' is the body colour, 'c' the
# stripe, anything else black.
SNAKE_SHEET = [
    """
    .......... .bcbbbbbb. .......... ..........
    ...bbbb... .bcbbbbbb. ...bbbbbbb bbbbbbb...
    ..bbcbbb.. .bcbbbbbb. ..bbbccccc cccccbbb..
    .bb.bb.bb. .bcbbbbbb. .bb..bbbbb bbbbb..bb.
    .bb.bb.bb. .bcbbbbbb. .bcbbbbbbb bbbbbbbcb.
    .bcbbbbbb. .bb.bb.bb. .bbbbbbbbb bbbbbbbbb.
    .bcbbbbbb. .bb.bb.bb. .bb..bbbbb bbbbb..bb.
    .bcbbbbbb. ..bbcbbb.. ..bbbbbbbb bbbbbbbb..
    .bcbbbbbb. ...bbbb... ...bbbbbbb bbbbbbb...
    .bcbbbbbb. .......... .......... ..........
    """,
    """
    .......... .bcbbbbbb. .......... ..........
    ...bbbb... .bcbbbbbb. ...b.b.bbb bbb.b.b...
    ....c..... .bcbbbbbb. ...b.bcccc ccccb.b...
    .bbbcbbbb. ..c....... .b.bcc.bbb bbb.ccb.b.
    ...c...... .bbcbbbbb. .bcc.b.bbb bbb.b.ccb.
    .bbcbbbbb. ...c...... .b.b.b.bbb bbb.b.b.b.
    ..c....... .bbbcbbbb. .b.b.b.bbb bbb.b.b.b.
    .bcbbbbbb. ....c..... ...b.b.bbb bbb.b.b...
    .bcbbbbbb. ...bbbb... ...b.b.bbb bbb.b.b...
    .bcbbbbbb. .......... .......... ..........
    """,
    """
    .......... .bcbbbbbb. .......... .bcbbbbbb.
    bbbbb..... bbcbbbbbb. .....bbbbb .bcbbbbbbb
    ccccbbb... ccbbbbbbb. ...bbbcccc .bcbbbbbcc
    bbbbccbb.. bbbbbbbbb. ..bbccbbbb .bcbbbbbbb
    bbbbbbbb.. bbbbbbbbb. ..bcbbbbbb .bbcbbbbbb
    bbbbbbbbb. bbbbbbbb.. .bbcbbbbbb ..bcbbbbbb
    bbbbbbbbb. bbbbbbbb.. .bcbbbbbbb ..bbbbbbbb
    bbbbbbbbb. bbbbbbb... .bcbbbbbbb ...bbbbbbb
    bbcbbbbbb. bbbbb..... .bcbbbbbbb .....bbbbb
    .bcbbbbbb. .......... .bcbbbbbb. ..........
    """,
    """
    .......... .bcbbbbbb. ...bbbb... ..........
    bbbbbbbbbb .bcbbbbbb. ..bcccbb.. ...bbbb...
    cccccccccc .bccbbbbb. .bc.bbbbb. ..bcccbb..
    bbcbbbbcbb .bcbbbbbb. ...bbbbbb. .bcbbbbbb.
    bbbbbbbbbb .bcbbbbbb. .bc.b..bbb .bcbbbbbb.
    bbbbbbbbbb .bcbbbbbb. bcbb..bbbb bcbbbbbbbb
    bbbbbbbbbb .bcbbbbbb. bc.bbb..bb bcbbbbbbbb
    bbbbbbbbbb .bccbbbbb. bcbbb.bb.. bcbbbbbbbb
    bbbbbbbbbb .bcbbbbbb. .bcbb.bbb. .bcbbbbbb.
    .......... .bcbbbbbb. ..abbbba.. ..abbbba..
    """,
]

# Cell codes, and offsets from a snake's colour base.
EMPTY, YELLOW_FRUIT, WALL = 0, 1, 15
HEAD_UP, HEAD_DOWN, HEAD_RIGHT = 0, 1, 3
TAIL_TIP_DOWN, STRAIGHT_HORIZONTAL, STRAIGHT_VERTICAL = 5, 12, 13
CORNER_LEFT_BOTTOM, CORNER_TOP_LEFT, CORNER_RIGHT_BOTTOM, CORNER_TOP_RIGHT = 8, 9, 10, 11
INTACT_EGG = 15
PLAYER_1, PLAYER_BASES, GREY = 16, (16, 32, 48), 64
ROWS, COLUMNS, CELL = 48, 64, 10


def table_rows(text):
    return [line.strip() for line in text.strip().splitlines()]


# The sixteen snake tiles in order, each a list of ten rows of ten characters.
SNAKE_TILES = [[line.split()[k] for line in table_rows(block)] for block in SNAKE_SHEET for k in range(4)]


def tile_pixels(code):
    """The 100 pixels of a tile that never changes (fruit, snake), as packed RGB bytes."""
    if code < 16:
        colours, rows = {"a": PALETTE[12 + code]}, table_rows(FRUIT_TABLE)
    else:
        body, stripe = SNAKE_COLOURS[code - code % 16]
        colours, rows = {"b": PALETTE[body], "c": PALETTE[stripe]}, SNAKE_TILES[code % 16]
    return b"".join(bytes(colours.get(ch, BLACK)) for row in rows for ch in row)


FIXED_TILES = {code: tile_pixels(code) for code in [1, 2, 3] + list(range(16, 80))}
CODE_OF_PIXELS = {pixels: code for code, pixels in FIXED_TILES.items()}
EMPTY_LAYOUT = "".join(table_rows(EMPTY_TABLE))


def describe(code):
    if code is None:
        return "no known tile"
    names = {0: "empty", 1: "yellow fruit", 2: "green fruit", 3: "red fruit", 15: "wall"}
    return f"{code} ({names[code]})" if code in names else f"snake tile {code}"


def colours_at(pixels, symbol):
    """The set of colours at the positions of one symbol of the empty-cell table."""
    return {pixels[3 * i:3 * i + 3] for i, ch in enumerate(EMPTY_LAYOUT) if ch == symbol}


def is_empty_tile(pixels):
    """An empty cell: black where its table has '.', one dark colour on every 'a' (green 30,
    red and blue even and at most 38) and another on every 'b' (green at most 19)."""
    blacks, first, second = colours_at(pixels, "."), colours_at(pixels, "a"), colours_at(pixels, "b")
    if blacks != {bytes(BLACK)} or len(first) != 1 or len(second) != 1:
        return False
    (r1, g1, b1), (r2, g2, b2) = first.pop(), second.pop()
    dark = all(v % 2 == 0 and v <= 38 for v in (r1, b1, r2, b2))
    return dark and g1 == 30 and g2 <= 19


def is_brick(pixels, open_sides=None):
    """A wall cell in its brick texture. open_sides tells, for top, bottom, left and right,
    whether that neighbour is not wall, so that edge is bevelled light (top, left) or dark
    (bottom, right); None accepts any edges."""
    for k in range(100):
        y, x = divmod(k, 10)
        allowed = BRICK_FACE | {BRICK_LIGHT, BRICK_DARK}
        if open_sides is not None:
            allowed = BRICK_FACE
            # The edges are laid in this order, so a corner takes the colour of its column.
            for edge_open, on_edge, edge_colour in zip(open_sides, (y == 0, y == 9, x == 0, x == 9),
                                                       (BRICK_LIGHT, BRICK_DARK, BRICK_LIGHT, BRICK_DARK)):
                if edge_open and on_edge:
                    allowed = {edge_colour}
        if tuple(pixels[3 * k:3 * k + 3]) not in allowed:
            return False
    return True


def is_near_white(r, g, b):
    return r >= 235 and g >= 235 and b >= 235


def is_tile_colour(r, g, b):
    """A colour a tile can show: the fixed palette or the dark colours of empty cells."""
    return (r, g, b) in PALETTE_SET or r <= 38 and b <= 38 and (g == 30 or g <= 19) and r % 2 == b % 2 == 0


def cell(capture, row, col):
    return capture.area(CELL * col, CELL * row, CELL, CELL)


def fixed_code(capture, row, col):
    """The code of a fruit or snake tile shown exactly in the cell, or None."""
    return CODE_OF_PIXELS.get(cell(capture, row, col))


def cell_code(capture, row, col):
    """The code the cell shows: a fixed tile, 0 for empty, 15 for a brick, None for anything else."""
    pixels = cell(capture, row, col)
    if pixels in CODE_OF_PIXELS:
        return CODE_OF_PIXELS[pixels]
    if is_empty_tile(pixels):
        return EMPTY
    return WALL if is_brick(pixels) else None


# ---------------------------------------------------------------------------------------
# Screen layouts: pictures as (x, y, width, height) on the 640×480 window.

LOGO = (19, 5, 602, 150)
CREDIT = (270, 142, 99, 15)
START_LABEL = (214, 190, 212, 55)
MANUAL_LABEL = (227, 250, 185, 47)
START_OUTLINE = (212, 188, 219, 59)
MANUAL_OUTLINE = (225, 248, 189, 51)
TITLE_PICTURES = (LOGO, CREDIT, START_LABEL, MANUAL_LABEL, START_OUTLINE, MANUAL_OUTLINE)
ARENA_TOP, ARENA_BOTTOM, ARENA_LEFT, ARENA_RIGHT = 32, 47, 10, 53
MANUAL_PAGE = (20, 175, 600, 300)
COUNT_HEADER = (27, 6, 585, 67)
PAUSE_BANNER = (50, 151, 540, 177)


def overlaps(rect, other):
    x, y, w, h = rect
    ox, oy, ow, oh = other
    return x < ox + ow and ox < x + w and y < oy + oh and oy < y + h


def ring(top, bottom, left, right):
    """The cells of a rectangle's border, as walls round an arena lie."""
    return {(row, col) for row in range(top, bottom + 1) for col in range(left, right + 1)
            if row in (top, bottom) or col in (left, right)}


TITLE_WALLS = ring(ARENA_TOP, ARENA_BOTTOM, ARENA_LEFT, ARENA_RIGHT)  # the demo arena
BORDER_WALLS = ring(1, 47, 0, 63)  # level layout 0, the layout of a program's first match


def count_screen_cells(highlighted):
    """The codes of the adversary-count screen: ten framed items, the one under the pointer
    in player 1's colours, the others grey; empty cells between them and beside the header."""
    cells = {(r, c): EMPTY for r in range(ROWS) for c in range(COLUMNS) if r >= 8 or c in (0, 1, 62, 63)}
    for n in range(10):
        base = PLAYER_1 if n == highlighted else GREY
        top, left = 8 + 8 * (n // 2), 32 * (n % 2)
        for i in range(1, 31):
            cells[(top, left + i)] = cells[(top + 7, left + i)] = base + STRAIGHT_HORIZONTAL
        for i in range(1, 7):
            cells[(top + i, left)] = cells[(top + i, left + 31)] = base + STRAIGHT_VERTICAL
        cells[(top, left)] = base + CORNER_RIGHT_BOTTOM
        cells[(top, left + 31)] = base + CORNER_LEFT_BOTTOM
        cells[(top + 7, left)] = base + CORNER_TOP_RIGHT
        cells[(top + 7, left + 31)] = base + CORNER_TOP_LEFT
        for p in (1, 2, 3):
            cells[(top + 3, left + 5 + p)] = 16 * p + HEAD_UP
            cells[(top + 4, left + 5 + p)] = 16 * p + HEAD_DOWN
        for i in range(n):
            cells[(top + 3, left + 12 + i + i // 2)] = GREY + HEAD_UP
            cells[(top + 4, left + 12 + i + i // 2)] = GREY + HEAD_DOWN
    return cells


def level_start_cells(adversaries):
    """A fresh first level's status row (lives, the full progress bar), eggs, and the
    adversaries' tails below their starts on row 45."""
    cells = {(0, col): EMPTY for col in range(COLUMNS)}
    for p, base in enumerate(PLAYER_BASES):
        for i in range(5):
            cells[(0, 3 + 14 * p + i)] = base + HEAD_UP
        cells[(4, 13 + 13 * p)] = base + INTACT_EGG
    for i in range(15):
        cells[(0, 47 + i)] = YELLOW_FRUIT
    for i in range(adversaries):
        cells[(46, 46 + 2 * i)] = GREY + TAIL_TIP_DOWN
    return cells


# ---------------------------------------------------------------------------------------
# Checks. Each returns None when the capture shows what it should, else what is wrong.


def cells_problem(capture, expected):
    for (row, col), code in sorted(expected.items()):
        pixels = cell(capture, row, col)
        if not (is_empty_tile(pixels) if code == EMPTY else pixels == FIXED_TILES[code]):
            return f"cell ({row}, {col}) shows {describe(cell_code(capture, row, col))}, not {describe(code)}"
    return None


def bricks_problem(capture, walls):
    """Every wall cell must be a brick, bevelled exactly toward its open sides."""
    for row, col in sorted(walls):
        open_sides = tuple((row + dr, col + dc) not in walls for dr, dc in ((-1, 0), (1, 0), (0, -1), (0, 1)))
        if not is_brick(cell(capture, row, col), open_sides):
            return f"wall cell ({row}, {col}) shows {describe(cell_code(capture, row, col))}, not a brick"
    return None


def logo_problem(capture):
    """The title logo: red bricks round a mosaic shading from green (left) to blue (right)."""
    x, y, width, height = LOGO

    def mean(rect):
        pixels = capture.area(*rect)
        return [3 * sum(pixels[i::3]) / len(pixels) for i in range(3)]

    frames = (mean((x, y, width, 8)), mean((x, y, 10, height)))
    left, right = mean((x + 20, y + 15, 150, 20)), mean((x + width - 170, y + 15, 150, 20))
    if not all(r > g + 40 and r > b + 40 for r, g, b in frames):
        return f"the logo has no red brick frame (mean colours {frames})"
    if not (left[1] > left[2] + 10 and right[2] > right[1] + 10):
        return f"the logo mosaic does not shade from green to blue ({left} to {right})"
    return None


def outline_state(capture, outline):
    """'white' or 'black' when the whole two-pixel frame has that colour, else None."""
    x, y, width, height = outline
    frame = b"".join(capture.area(*strip) for strip in ((x, y, width, 2), (x, y + height - 2, width, 2),
                                                        (x, y, 2, height), (x + width - 2, y, 2, height)))
    colours = {frame[i:i + 3] for i in range(0, len(frame), 3)}
    return {bytes(WHITE): "white", bytes(BLACK): "black"}.get(colours.pop()) if len(colours) == 1 else None


def selection(capture):
    """Which title item wears the white outline: "Começar", "Manual" or "none"; None when
    the outlines are in no such state."""
    states = (outline_state(capture, START_OUTLINE), outline_state(capture, MANUAL_OUTLINE))
    return {("white", "black"): "Começar", ("black", "white"): "Manual", ("black", "black"): "none"}.get(states)


def selection_problem(capture, item):
    shown = selection(capture)
    return None if shown == item else f"the outline shows {shown or 'no clear'} selection, not {item}"


def arena_things(capture):
    """Every cell inside the demo arena that is not empty, with the code it shows."""
    return {(row, col): cell_code(capture, row, col)
            for row in range(ARENA_TOP + 1, ARENA_BOTTOM) for col in range(ARENA_LEFT + 1, ARENA_RIGHT)
            if not is_empty_tile(cell(capture, row, col))}


def grey_heads(things):
    return {cell for cell, code in things.items() if code is not None and GREY <= code <= GREY + 3}


def title_problem(capture):
    """The title menu: the logo, the arena walls in bricks, every cell clear of the pictures
    and the arena empty, and in the arena one grey snake and at most two yellow fruits."""
    outside = {(r, c): EMPTY for r in range(ROWS) for c in range(COLUMNS)
               if not (ARENA_TOP <= r <= ARENA_BOTTOM and ARENA_LEFT <= c <= ARENA_RIGHT)
               and not any(overlaps((CELL * c, CELL * r, CELL, CELL), rect) for rect in TITLE_PICTURES)}
    problem = bricks_problem(capture, TITLE_WALLS) or logo_problem(capture) or cells_problem(capture, outside)
    if problem:
        return problem
    things = arena_things(capture)
    odd = [cell for cell, code in things.items()
           if code is None or not (GREY <= code < GREY + 16 or code == YELLOW_FRUIT)]
    fruits = [cell for cell, code in things.items() if code == YELLOW_FRUIT]
    if odd or len(grey_heads(things)) != 1 or len(fruits) > 2:
        return (f"the arena holds {len(grey_heads(things))} grey heads, {len(fruits)} yellow fruits"
                f" and unexpected cells {odd[:5]}")
    return None


def count_screen_problem(capture, highlighted):
    """The adversary-count screen with that item (None: none) in player 1's colours."""
    x, y, width, height = COUNT_HEADER
    if capture.count((x, y + 4, width, height - 8), is_tile_colour) > width * height // 4:
        return "the header picture is missing"
    return cells_problem(capture, count_screen_cells(highlighted))


def banner_problem(capture, alone=False):
    """The pause banner: mostly white inside a black border two pixels wide, which lies
    exactly on the edge of its rectangle. alone leaves out the lines outside it, where
    snakes that moved next to it may show light pixels."""
    x, y, width, height = PAUSE_BANNER
    inner = (x + 4, y + 4, width - 8, height - 8)
    white = capture.count(inner, is_near_white)
    if white < inner[2] * inner[3] * 6 // 10:
        return f"only {white} near-white pixels inside the banner rectangle"

    def light(r, g, b):
        return min(r, g, b) >= 200

    # For each side: the line just inside the border, the border's inner line, and the line
    # outside, where a grey snake's light stripe may lie but no white of the banner.
    sides = (((x + 2, y + 10, 1, height - 20), (x + 1, y, 1, height), (x - 1, y, 1, height)),
             ((x + width - 3, y + 10, 1, height - 20), (x + width - 2, y, 1, height), (x + width, y, 1, height)),
             ((x + 10, y + 2, width - 20, 1), (x, y + 1, width, 1), (x, y - 1, width, 1)),
             ((x + 10, y + height - 3, width - 20, 1), (x, y + height - 2, width, 1), (x, y + height, width, 1)))
    for inside, border, outside in sides:
        if capture.count(inside, light) < (inside[2] * inside[3]) * 9 // 10:
            return f"the banner's white does not reach {inside}"
        if capture.count(border, light) or not alone and capture.count(outside, is_near_white):
            return f"no black border at {border}, or light pixels outside at {outside}"
    return None


def banner_gone(capture):
    return "the banner is still there" if capture.count(PAUSE_BANNER, is_near_white) else None


def manual_page_problem(capture, title, earlier_pages):
    """A manual page over the title menu: the page rectangle holds a picture (no arena
    bricks, few tile colours) unlike the pages before it, and everything outside the
    rectangle is still exactly as the title menu left it."""
    x, y, width, height = MANUAL_PAGE
    if capture.area(*MANUAL_PAGE) in earlier_pages:
        return "the page is one shown before"
    if capture.count((x, CELL * ARENA_TOP, width, CELL), lambda *rgb: rgb in BRICK_FACE) > 100:
        return "the arena wall shows through the page"
    if capture.count(MANUAL_PAGE, is_tile_colour) > width * height // 3:
        return "the page rectangle is mostly tiles"
    outside = [(0, 0, 640, y), (0, y, x, height), (x + width, y, 640 - x - width, height),
               (0, y + height, 640, 480 - y - height)]
    for rect in outside:
        if capture.area(*rect) != title.area(*rect):
            return f"the screen outside the page changed in {rect}"
    return None


def level_problem(capture, adversaries):
    """A first level that has run at most one tick: border walls in bricks, the status row
    and eggs of a fresh match, and the adversaries' heads or necks on row 45."""
    problem = bricks_problem(capture, BORDER_WALLS) or cells_problem(capture, level_start_cells(adversaries))
    if problem:
        return problem
    for i in range(adversaries):
        code = fixed_code(capture, 45, 46 + 2 * i)
        if code is None or not GREY <= code < GREY + 14:
            return f"adversary {i} is not on row 45: cell (45, {46 + 2 * i}) shows {describe(code)}"
    heads = [(r, c) for r in range(43, 47) for c in range(43, 63)
             if GREY <= (fixed_code(capture, r, c) or 0) <= GREY + 3]
    if len(heads) != adversaries:
        return f"{len(heads)} grey heads near the bottom right, not {adversaries}"
    return None


def first_level_problem(capture):
    """The first level is up: its border walls and player 1's intact egg."""
    return bricks_problem(capture, BORDER_WALLS) or cells_problem(capture, {(4, 13): PLAYER_1 + INTACT_EGG})


def player_head(capture, player=0):
    """(row, column, code) of that player's head (player 1's by default) anywhere in the
    arena, or None."""
    base = PLAYER_BASES[player]
    for row in range(2, 47):
        for col in range(1, 63):
            code = fixed_code(capture, row, col)
            if code is not None and base <= code <= base + 3:
                return row, col, code
    return None


def grey_cells(capture):
    """Every cell showing an adversary tile, with its code."""
    return {(r, c, code) for r in range(ROWS) for c in range(COLUMNS)
            for code in [fixed_code(capture, r, c)] if code is not None and code >= GREY}
