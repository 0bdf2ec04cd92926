// The rules of one match tick: adversaries move first, then waiting eggs may hatch, then
// the players move; fruit, eggs, trails and lives are settled as each snake steps.
#pragma once

#include <cstdint>

namespace ravela {

// Moves every snake once and applies the rules of the game.
void matchTick();
// Player p (0..2) loses a life: it becomes an egg, and with no lives left it is out and
// leaves a grey egg behind. Other values do nothing.
void loseLife(int8_t player);
// value + delta held within a signed byte (-128..127), so counters never wrap.
int8_t saturatingAdd(int8_t value, int32_t delta);

} // namespace ravela
