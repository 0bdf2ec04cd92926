// The adversary-count screen: ten boxes built from snake tiles, one per possible number
// of adversaries, under a header picture. A click or a digit starts the match.
#pragma once

#include <cstdint>

namespace ravela {

// Lets the player choose 0..9 adversaries. True: start a match with
// matchState.adversaryCount adversaries; false: back to the title menu. A quit request
// exits with status 0.
bool adversaryCountScreen();

} // namespace ravela
