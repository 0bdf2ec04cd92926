#!/usr/bin/env python3
"""Writes the real-window suite's own statement of the picture (tools/harness/screen.py) as a
C++ header, so that the unit tests compare what the game paints against the same palette,
tiles and screen layouts, written independently of the game's code.

  harness_tables.py OUTPUT.h   (with tools/ on PYTHONPATH)
"""
import sys

from harness import screen


def rgb_list(colours):
    return ", ".join("{%d, %d, %d}" % tuple(c) for c in colours)


def rect(name, r):
    return "constexpr Rect k%s = {%d, %d, %d, %d};" % (name, *r)


def cells_rows(cells):
    """A 48x64 table of codes, -1 where the harness states nothing."""
    rows = []
    for r in range(screen.ROWS):
        rows.append("{" + ",".join(str(cells.get((r, c), -1)) for c in range(screen.COLUMNS)) + "}")
    return "{" + ",\n".join(rows) + "}"


def main(out):
    tiles = []
    for code in range(80):
        pixels = screen.FIXED_TILES.get(code)
        tiles.append("{" + ",".join(str(b) for b in pixels) + "}" if pixels else "{}")
    title_walls = [(r, c) for r, c in sorted(screen.TITLE_WALLS)]
    lines = [
        "// Generated from tools/harness/screen.py by tests/harness_tables.py: the real-window",
        "// suite's palette, tiles and layouts for the unit tests. Do not edit.",
        "#pragma once",
        "#include <cstdint>",
        "namespace ravela::harness {",
        "struct Rgb { uint8_t r, g, b; };",
        "struct Rect { int x, y, w, h; };",
        "constexpr Rgb kPalette[%d] = {%s};" % (len(screen.PALETTE), rgb_list(screen.PALETTE)),
        "constexpr Rgb kBrickLight = {%d, %d, %d};" % screen.BRICK_LIGHT,
        "constexpr Rgb kBrickDark = {%d, %d, %d};" % screen.BRICK_DARK,
        "constexpr Rgb kBrickFace[3] = {%s};" % rgb_list(sorted(screen.BRICK_FACE)),
        "// RGB bytes of every tile that never changes (fruit and snake codes); empty rows for the rest.",
        "constexpr uint8_t kFixedTiles[80][300] = {%s};" % ",\n".join(tiles),
        "constexpr bool kHasFixedTile[80] = {%s};"
        % ",".join("true" if code in screen.FIXED_TILES else "false" for code in range(80)),
        "// The empty cell: '.' black, 'a' the first dark colour, 'b' the second.",
        'constexpr char kEmptyLayout[] = "%s";' % screen.EMPTY_LAYOUT,
        rect("Logo", screen.LOGO), rect("Credit", screen.CREDIT),
        rect("StartLabel", screen.START_LABEL), rect("ManualLabel", screen.MANUAL_LABEL),
        rect("StartOutline", screen.START_OUTLINE), rect("ManualOutline", screen.MANUAL_OUTLINE),
        rect("ManualPage", screen.MANUAL_PAGE), rect("CountHeader", screen.COUNT_HEADER),
        rect("PauseBanner", screen.PAUSE_BANNER),
        "constexpr int kTitleWallCount = %d;" % len(title_walls),
        "constexpr int kTitleWalls[%d][2] = {%s};"
        % (len(title_walls), ",".join("{%d,%d}" % w for w in title_walls)),
        "// The count screen's codes with nothing highlighted (index 0) or box n (index n + 1).",
        "constexpr int8_t kCountScreenCells[11][48][64] = {%s};"
        % ",\n".join(cells_rows(screen.count_screen_cells(h)) for h in [None] + list(range(10))),
        "// A fresh first level's status row (row 0), with five lives for every player.",
        "constexpr int8_t kLevelStartStatusRow[64] = {%s};"
        % ",".join(str(screen.level_start_cells(0)[(0, c)]) for c in range(screen.COLUMNS)),
        "} // namespace ravela::harness",
    ]
    with open(out, "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(sys.argv[1])
