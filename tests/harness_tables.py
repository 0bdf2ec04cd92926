#!/usr/bin/env python3
"""Writes the real-window suite's own statement of the picture (tools/harness/screen.py) as a
C++ header, so that the unit tests compare what the game paints against the same palette,
tiles and screen layouts, written independently of the game's code.

  harness_tables.py OUTPUT.h   (with tools/ on PYTHONPATH)
"""
import sys

from harness import screen


def braces(values):
    return "{" + ",".join(str(v) for v in values) + "}"


def rgb(colours):
    return braces(braces(c) for c in colours)


def cells(table):
    """A 48x64 table of codes, -1 where the harness states nothing."""
    return braces(braces(table.get((r, c), -1) for c in range(screen.COLUMNS)) for r in range(screen.ROWS))


RECTS = {"Logo": screen.LOGO, "Credit": screen.CREDIT, "StartLabel": screen.START_LABEL,
         "ManualLabel": screen.MANUAL_LABEL, "StartOutline": screen.START_OUTLINE,
         "ManualOutline": screen.MANUAL_OUTLINE, "ManualPage": screen.MANUAL_PAGE,
         "CountHeader": screen.COUNT_HEADER, "PauseBanner": screen.PAUSE_BANNER}
walls = sorted(screen.TITLE_WALLS)
lines = [
    "// Generated from tools/harness/screen.py by tests/harness_tables.py: the real-window",
    "// suite's palette, tiles and layouts for the unit tests. Do not edit.",
    "#pragma once",
    "#include <cstdint>",
    "namespace ravela::harness {",
    "struct Rgb { uint8_t r, g, b; };",
    "struct Rect { int x, y, w, h; };",
    f"constexpr Rgb kPalette[{len(screen.PALETTE)}] = {rgb(screen.PALETTE)};",
    f"constexpr Rgb kBrickLight = {braces(screen.BRICK_LIGHT)}, kBrickDark = {braces(screen.BRICK_DARK)};",
    f"constexpr Rgb kBrickFace[3] = {rgb(sorted(screen.BRICK_FACE))};",
    "// RGB bytes of every tile that never changes (fruit and snake codes); empty for the rest.",
    f"constexpr uint8_t kFixedTiles[80][300] = {braces(braces(screen.FIXED_TILES.get(c, b'')) for c in range(80))};",
    f"constexpr bool kHasFixedTile[80] = {braces('true' if c in screen.FIXED_TILES else 'false' for c in range(80))};",
    "// The empty cell: '.' black, 'a' the first dark colour, 'b' the second.",
    f'constexpr char kEmptyLayout[] = "{screen.EMPTY_LAYOUT}";',
    *(f"constexpr Rect k{name} = {braces(r)};" for name, r in RECTS.items()),
    f"constexpr int kTitleWalls[{len(walls)}][2] = {braces(braces(w) for w in walls)};",
    "// The count screen's codes with nothing highlighted (index 0) or box n (index n + 1).",
    f"constexpr int8_t kCountScreenCells[11][48][64] = "
    f"{braces(cells(screen.count_screen_cells(h)) for h in [None, *range(10)])};",
    "// A fresh first level's status row (row 0), with five lives for every player.",
    f"constexpr int8_t kLevelStartStatusRow[64] = "
    f"{braces(screen.level_start_cells(0)[(0, c)] for c in range(screen.COLUMNS))};",
    "} // namespace ravela::harness",
]
with open(sys.argv[1], "w", encoding="utf-8") as out:
    out.write("\n".join(lines) + "\n")
