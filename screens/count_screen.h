// The adversary-count screen: ten boxes built from snake tiles, one per possible number
// of adversaries, under a header picture. A click or a digit starts the match.
#pragma once

#include <cstdint>

namespace ravela {

// Colour bases of a box: grey when plain, player 1's colours under the pointer.
constexpr int8_t kPlainItem = 64;
constexpr int8_t kHighlightedItem = 16;

// Paints box n (0..9) of the screen in a colour base; other numbers are ignored.
void drawMenuItem(int8_t n, int8_t colourBase);
// Lets the player choose 0..9 adversaries. True: start a match with
// matchState.adversaryCount adversaries; false: back to the title menu. A quit request
// exits with status 0.
bool adversaryCountScreen();

} // namespace ravela
