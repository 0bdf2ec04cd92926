// The rules of one match tick and the loss of a life. Every cell a snake changes goes
// through the Board, and the status row is redrawn whenever a life or a yellow fruit
// changes hands. The signed-byte counters saturate instead of wrapping.

#include "match/tick.h"

#include <algorithm>
#include <limits>

#include "display/board.h"
#include "match/level.h"
#include "match/match_state.h"
#include "match/status_row.h"
#include "snakes/path_finder.h"
#include "snakes/snake.h"

namespace ravela {

namespace {

// Egg countdown after a lost life; such an egg may hatch once six steps of it are done.
constexpr int8_t kLostLifeCountdown = 50;
constexpr int32_t kStepsBeforeHatch = 6;
constexpr int32_t kEarliestHatchLength = eggLength(kLostLifeCountdown) + kStepsBeforeHatch;
// Growth every adversary gets when a player meets a green or red fruit.
constexpr int32_t kAdversaryFruitGrowth = 12;
// Trail mode keeps at most two cells behind the head and never stops growing.
constexpr int32_t kTrailLength = 2;
constexpr int32_t kTrailGrowth = 10;
// Where an out player's record is parked: a wall cell in every layout.
constexpr int kParkingRow = kTopWallRow;
constexpr int kParkingColumn = kLeftWallColumn;

// Growth for a yellow fruit: more the further the level has come.
int32_t yellowGrowth() {
    return 2 * static_cast<int32_t>(matchState.levelFruitCount) + 2;
}

// The code of a player's broken egg: what another snake swallows.
int32_t brokenEggOf(const Snake &snake) {
    return snake.colourBase + kBrokenEggTile;
}

bool isFruitThatMovesAdversaries(int8_t code) {
    return code == kGreenFruit || code == kRedFruit;
}

void adversaryTurn(Snake &adversary) {
    // Adversary eggs are always broken and never count down.
    if (isEgg(adversary)) return;
    // Shrunk to its head: it dies as a grey egg where it stands.
    if (adversary.length == 0) {
        turnToEgg(adversary, false, kNoCountdown);
        return;
    }
    chooseDirection(adversary);
    const int8_t ahead = lookAhead(adversary);
    for (int8_t p = 0; p < kPlayerCount; ++p)
        if (ahead == brokenEggOf(playerSnake[p])) loseLife(p);
    // A green or red fruit an adversary takes reappears elsewhere before it is eaten.
    if (isFruitThatMovesAdversaries(ahead)) placeFruit(ahead);
    // Yellow fruit eaten by an adversary is replaced but does not count for the level.
    if (stepSnake(adversary, yellowGrowth()) == kStepAteYellow) placeFruit(kYellowFruit);
}

// A waiting egg hatches when its player pressed a key, is not out (a player at no lives
// left still plays) and has waited long enough; hatch itself refuses while another snake
// covers the egg.
void hatchIfKeyed(Snake &player) {
    if (player.direction >= 0 && isEgg(player) && player.lives >= 0 &&
        player.length >= kEarliestHatchLength) {
        hatch(player);
    }
}

void playerTurn(int8_t p) {
    Snake &player = playerSnake[p];
    const int8_t ahead = lookAhead(player);

    if (ahead == kGreyEgg) {
        player.lives = saturatingAdd(player.lives, 1);
        drawLives(p);
    }
    if (ahead == kGreenFruit) {
        // Cut back to the head: body and trail go, and the step below eats the fruit.
        turnToEgg(player, true, 1);
        hatch(player);
        player.trailMode = 0;
    }
    if (ahead == kRedFruit) player.trailMode = 1;
    if (isFruitThatMovesAdversaries(ahead)) {
        for (int i = 0; i < adversariesInPlay(); ++i)
            adversarySnake[i].growth += kAdversaryFruitGrowth;
    }
    if (player.trailMode) {
        // Cells beyond the second behind the head stay on the Board as the player's wall.
        player.length = std::min(player.length, kTrailLength);
        player.growth = kTrailGrowth;
    }
    for (int8_t q = 0; q < kPlayerCount; ++q)
        if (q != p && ahead == brokenEggOf(playerSnake[q])) loseLife(q);

    const StepResult result = stepSnake(player, yellowGrowth());
    if (result == kStepAteYellow) {
        placeFruit(kYellowFruit);
        matchState.levelFruitCount = saturatingAdd(matchState.levelFruitCount, 1);
        player.levelFruits = saturatingAdd(player.levelFruits, 1);
        drawLevelProgress();
    } else if (result == kStepBlocked) {
        loseLife(p);
    }
}

} // namespace

int8_t saturatingAdd(int8_t value, int32_t delta) {
    const int64_t sum = static_cast<int64_t>(value) + delta;
    return static_cast<int8_t>(std::clamp<int64_t>(sum, std::numeric_limits<int8_t>::min(),
                                                   std::numeric_limits<int8_t>::max()));
}

void loseLife(int8_t p) {
    if (p < 0 || p >= kPlayerCount) return;
    Snake &player = playerSnake[p];

    // A living player is wiped with its trail; an egg restarts its countdown in place.
    turnToEgg(player, true, kLostLifeCountdown);
    player.lives = saturatingAdd(player.lives, -1);
    player.trailMode = 0;
    // Each life lost takes back one of the player's yellow fruits of this level.
    if (player.levelFruits != 0) {
        player.levelFruits = saturatingAdd(player.levelFruits, -1);
        matchState.levelFruitCount = saturatingAdd(matchState.levelFruitCount, -1);
        drawLevelProgress();
    }

    if (player.lives < 0) {
        // Out: the egg turns grey and belongs to nobody; the record waits on a wall cell.
        hatch(player);
        player.colourBase = kAdversaryBase;
        turnToEgg(player, false, kNoCountdown);
        setHeadCell(player, kParkingRow, kParkingColumn);
        if (player.levelFruits != 0) {
            matchState.levelFruitCount =
                saturatingAdd(matchState.levelFruitCount, -player.levelFruits);
            drawLevelProgress();
        }
    }
    drawLives(p);

    // With every player out the adversaries stop snatching single-step goals.
    for (const Snake &each : playerSnake)
        if (each.lives >= 0) return;
    for (int i = 0; i < adversariesInPlay(); ++i)
        adversarySnake[i].greedy = 0;
}

void matchTick() {
    for (int i = 0; i < adversariesInPlay(); ++i)
        adversaryTurn(adversarySnake[i]);
    for (Snake &player : playerSnake)
        hatchIfKeyed(player);
    for (int8_t p = 0; p < kPlayerCount; ++p)
        playerTurn(p);
}

} // namespace ravela
