// The status row, row 0 of the Board: each player's lives and the fruits the level
// still needs.
#pragma once

#include <cstdint>

namespace ravela {

// Where the displays lie on row 0: each player's lives from its first column on, one up-facing
// head per life up to the most shown, and the progress bar from its first column on.
constexpr int kLivesShown = 12;
constexpr int kLivesFirstColumn = 3;
constexpr int kLivesColumnGap = 14;
constexpr int kProgressFirstColumn = 47;
// The first column of player p's lives.
constexpr int livesColumn(int player) {
    return kLivesFirstColumn + kLivesColumnGap * player;
}

// Repaints player p's lives as up-facing heads; p outside the players does nothing.
void drawLives(int8_t player);
// Repaints the progress bar: one yellow fruit per fruit still needed.
void drawLevelProgress();

} // namespace ravela
