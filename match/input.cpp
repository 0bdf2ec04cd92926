// The input poll of a match: egg upkeep for the three players, then the queued words.
// A steering word steers its player, a pause word toggles the pause, focus changes pause
// and a leave word ends the match; the controls show exposes and end the program on a quit.

#include "match/input.h"

#include "match/controls.h"
#include "match/match_state.h"
#include "snakes/snake.h"

namespace ravela {

namespace {

// Players' eggs wait for a key afresh every tick; repainting them brings back an egg
// that another snake covered for a while, and shows the egg as broken once its
// countdown has run out.
void keepEggs() {
    for (Snake &player : playerSnake) {
        if (!isEgg(player)) continue;
        repaintEgg(player);
        player.direction = kNoDirection;
    }
}

} // namespace

void requestDirection(Snake &snake, int8_t direction) {
    const int8_t lastMove = static_cast<int8_t>(snake.lastMoves[0]);
    const bool vertical = direction < kLeft;
    const bool lastMoveHorizontal = lastMove >= kLeft;
    // A turn at a right angle steers the next step; a key along the axis of the last move,
    // the reverse included, waits for the step after, so a snake never doubles back.
    if (vertical == lastMoveHorizontal || snake.direction < 0) {
        snake.direction = direction;
    } else {
        snake.pendingDirection = direction;
    }
}

void pollInput() {
    keepEggs();
    Input input{};
    while (pollWords(input)) {
        if (input.has(kPause)) matchState.paused = matchState.paused == 0 ? 1 : 0;
        if (input.has(kLeave)) matchState.matchRunning = 0;
        if (input.has(kSteer)) requestDirection(playerSnake[input.player], input.direction);
        // Gaining or losing focus both pause; only a pause word (Return, a pad's Start)
        // resumes.
        if (input.has(kFocusChange)) matchState.paused = 1;
    }
}

} // namespace ravela
