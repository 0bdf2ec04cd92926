#!/usr/bin/env python3
# Writes the real-window suite's own statement of the picture (tools/harness/screen.py) as a
# C++ header, so that the unit tests compare what the game paints against the same palette,
# tiles and screen layouts, written independently of the game's code.
#
#   harness_tables.py OUTPUT.h   (with tools/ on PYTHONPATH)
import sys

from harness import screen as s


def braces(values):
    return "{" + ",".join(str(v) for v in values) + "}"


# A 48x64 table of codes, -1 where the harness states nothing.
def cells(table):
    return braces(braces(table.get((r, c), -1) for c in range(s.COLUMNS)) for r in range(s.ROWS))


rects = dict(Logo=s.LOGO, Credit=s.CREDIT, StartLabel=s.START_LABEL, ManualLabel=s.MANUAL_LABEL,
             StartOutline=s.START_OUTLINE, ManualOutline=s.MANUAL_OUTLINE, ManualPage=s.MANUAL_PAGE,
             CountHeader=s.COUNT_HEADER, PauseBanner=s.PAUSE_BANNER)
count_screens = [cells(s.count_screen_cells(h)) for h in [None, *range(10)]]
status_row = [s.level_start_cells(0)[(0, c)] for c in range(s.COLUMNS)]
header = f"""// Generated from tools/harness/screen.py by tests/harness_tables.py: the real-window
// suite's palette, tiles and layouts for the unit tests. Do not edit.
#pragma once
#include <cstdint>
namespace ravela::harness {{
struct Rgb {{ uint8_t r, g, b; }};
struct Rect {{ int x, y, w, h; }};
constexpr Rgb kPalette[{len(s.PALETTE)}] = {braces(map(braces, s.PALETTE))};
constexpr Rgb kBrickLight = {braces(s.BRICK_LIGHT)}, kBrickDark = {braces(s.BRICK_DARK)};
constexpr Rgb kBrickFace[3] = {braces(map(braces, sorted(s.BRICK_FACE)))};
// RGB bytes of every tile that never changes (fruit and snake codes); empty for the rest.
constexpr uint8_t kFixedTiles[80][300] = {braces(braces(s.FIXED_TILES.get(c, b"")) for c in range(80))};
constexpr bool kHasFixedTile[80] = {braces(str(c in s.FIXED_TILES).lower() for c in range(80))};
// The empty cell: '.' black, 'a' the first dark colour, 'b' the second.
constexpr char kEmptyLayout[] = "{s.EMPTY_LAYOUT}";
{"".join(f"constexpr Rect k{name} = {braces(r)};" for name, r in rects.items())}
constexpr int kTitleWalls[{len(s.TITLE_WALLS)}][2] = {braces(map(braces, sorted(s.TITLE_WALLS)))};
// The count screen's codes with nothing highlighted (index 0) or box n (index n + 1).
constexpr int8_t kCountScreenCells[11][48][64] = {braces(count_screens)};
// A fresh first level's status row (row 0), with five lives for every player.
constexpr int8_t kLevelStartStatusRow[64] = {braces(status_row)};
}} // namespace ravela::harness
"""
with open(sys.argv[1], "w", encoding="utf-8") as out:
    out.write(header)
