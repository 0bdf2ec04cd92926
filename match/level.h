// Level setup: the eight wall layouts, the starting places of the snakes and the
// random placement of fruit.
#pragma once

#include <cstdint>

namespace ravela {

struct Board;

// Yellow fruits the players eat to complete a level; the status row counts them down.
constexpr int8_t kFruitsPerLevel = 15;

// Writes the border and the inner walls of a layout straight into the cells (no painting).
void buildWalls(Board &target, int8_t levelType);
// Places a fruit of the given code on a random empty cell inside the border.
void placeFruit(int8_t code);
// placeFruit with a chosen number of random tries before the scan (tests use small ones).
void placeFruitWithin(int8_t code, int32_t drawLimit);
// Lays out the level of matchState.levelType with matchState.adversaryCount adversaries.
void setupLevel();

} // namespace ravela
