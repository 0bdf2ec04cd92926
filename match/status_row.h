// The status row, row 0 of the Board: each player's lives and the fruits the level
// still needs.
#pragma once

#include <cstdint>

namespace ravela {

// Repaints player p's lives as up-facing heads; p outside the players does nothing.
void drawLives(int8_t player);
// Repaints the progress bar: one yellow fruit per fruit still needed.
void drawLevelProgress();

} // namespace ravela
