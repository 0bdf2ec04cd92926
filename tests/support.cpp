// Test set-up on SDL's dummy video driver, the helpers that lay snakes and read the Board,
// and the scripted players.

#include "tests/support.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/random.h"
#include "display/surface.h"
#include "match/controls.h"
#include "match/match_loop.h"
#include "snakes/path_finder.h"

namespace ravela::testing {

const SDLKey kPlayerKeys[12] = {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_w, SDLK_s,
                                SDLK_a,  SDLK_d,    SDLK_i,    SDLK_k,     SDLK_j, SDLK_l};

namespace {

constexpr int kCells = kBoardRows * kBoardColumns;

int8_t at(int cell) {
    return board.cells[cell / kBoardColumns][cell % kBoardColumns];
}
// What the scripted players go for: fruit of all three kinds, and grey eggs.
bool wanted(int cell) {
    return at(cell) > 0 && (at(cell) <= kRedFruit || at(cell) == kGreyEgg);
}
bool open(int cell) {
    return at(cell) == kEmpty || wanted(cell);
}

// Breadth-first steps from the first `count` cells of `queue`, at step `first`, through open
// cells that `rival` does not reach as soon, up to `limit` cells. Gives the cells reached and
// writes the steps to the nearest wanted cell. Open cells lie inside the border walls, so
// their neighbours are always on the Board.
int flood(int *queue, int count, int16_t first, int16_t *steps, const int16_t *rival, int limit,
          int &nearest) {
    std::fill(steps, steps + kCells, INT16_MAX);
    for (int i = 0; i < count; ++i)
        steps[queue[i]] = first;
    nearest = INT16_MAX;
    for (int read = 0; read < count && count < limit; ++read) {
        const int cell = queue[read];
        if (wanted(cell)) nearest = std::min<int>(nearest, steps[cell]);
        for (int next : {cell - kBoardColumns, cell + kBoardColumns, cell - 1, cell + 1}) {
            if (!open(next) || steps[next] != INT16_MAX || steps[cell] + 1 >= rival[next]) continue;
            steps[next] = static_cast<int16_t>(steps[cell] + 1);
            queue[count++] = next;
        }
    }
    return count;
}

} // namespace

SDL_Surface *makeSurface(int bitsPerPixel, int width, int height) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        if (SDL_Init(SDL_INIT_VIDEO) < 0) abort();
    }
    const bool fifteen = bitsPerPixel == 15, sixteen = bitsPerPixel == 16;
    const uint32_t r = fifteen ? 0x7c00 : sixteen ? 0xf800 : 0xff0000;
    const uint32_t g = fifteen ? 0x03e0 : sixteen ? 0x07e0 : 0x00ff00;
    const uint32_t b = fifteen || sixteen ? 0x001f : 0x0000ff;
    return SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, bitsPerPixel, r, g, b, 0);
}

void resetGame(SDL_Surface *surface, uint32_t seed) {
    std::memset(&board, 0, sizeof board);
    initBoard(board, surface);
    initAllSnakes();
    resetMatchState();
    surfaceTrace = SurfaceTrace{};
    resetMatchClock();
    closePads();
    for (SDL_Event event; SDL_PollEvent(&event);) {
    }
    srand(seed);
}

uint32_t pixelAt(SDL_Surface *surface, int x, int y) {
    const int bpp = surface->format->BytesPerPixel;
    const uint8_t *p = static_cast<const uint8_t *>(surface->pixels) + y * surface->pitch + x * bpp;
    uint32_t value = 0;
    for (int i = bpp - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

SDL_Event keyEvent(SDLKey key, uint32_t type) {
    SDL_Event event{}; // fields by name: the browser's SDL lays the record out differently
    event.type = event.key.type = static_cast<decltype(event.type)>(type);
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    return event;
}

SDL_Event motion(int x, int y) {
    SDL_Event event{.type = SDL_MOUSEMOTION};
    event.motion.x = Uint16(x);
    event.motion.y = Uint16(y);
    return event;
}

void pressKey(SDLKey key, uint32_t type) {
    queue({keyEvent(key, type)});
}

void givePads(const std::vector<int> &devices) {
    closePads();
    for (size_t p = 0; p < devices.size(); ++p)
        pads.device[p] = devices[p];
}

SDL_Event buttonDown(uint8_t button) {
    return {.button = {.type = SDL_MOUSEBUTTONDOWN,
                       .which = 0,
                       .button = button,
                       .state = SDL_PRESSED,
                       .x = 0,
                       .y = 0}};
}

SDL_Event padButton(int device, uint8_t button) {
    return {.jbutton = {.type = SDL_JOYBUTTONDOWN,
                        .which = uint8_t(device),
                        .button = button,
                        .state = SDL_PRESSED}};
}

SDL_Event padAxis(int device, uint8_t axis, int value) {
    return {.jaxis = {.type = SDL_JOYAXISMOTION,
                      .which = uint8_t(device),
                      .axis = axis,
                      .value = int16_t(value)}};
}

void queue(std::vector<SDL_Event> events) {
    for (SDL_Event &event : events)
        SDL_PushEvent(&event);
}

Snake &snakeNo(int i) {
    return i < 3 ? playerSnake[i] : adversarySnake[i - 3];
}

Snake &layEgg(int i, int row, int col, int32_t length) {
    Snake &s = snakeNo(i);
    if (isEgg(s)) setCellAndDraw(board, kEmpty, headRow(s), headColumn(s));
    s.colourBase = i < 3 ? kPlayerBase[i] : kAdversaryBase;
    s.length = length, s.growth = 0, s.direction = kNoDirection;
    setHeadCell(s, row, col);
    setCellAndDraw(board, static_cast<int8_t>(s.colourBase + (length < -1 ? 15 : 14)), row, col);
    return s;
}

Snake &laySnake(int i, int row, int col, int8_t d, int behind) {
    const int dr = (d == kDown) - (d == kUp), dc = (d == kRight) - (d == kLeft);
    Snake &s = layEgg(i, row - dr * behind, col - dc * behind, 0);
    s.direction = d;
    s.lastMoves[0] = static_cast<uint8_t>(d);
    setCellAndDraw(board, static_cast<int8_t>(s.colourBase + d), headRow(s), headColumn(s));
    for (int k = 0; k < behind; ++k)
        advanceHead(s);
    return s;
}

std::string cellsOf(const Snake &snake) {
    std::string text;
    for (int32_t k = 0; k <= std::max(snake.length, 0); ++k) {
        const int slot = ringSlot(int64_t{snake.headIndex} - k);
        text += (k ? " " : "") + std::to_string(snake.rows[slot]) + "," +
                std::to_string(snake.columns[slot]);
    }
    return text;
}

int countCells(int lo, int hi) {
    const int8_t *cells = board.cells[1];
    return static_cast<int>(std::count_if(cells, cells + kCells - kBoardColumns, [&](int8_t c) {
        return c >= lo && c <= std::max(lo, hi);
    }));
}

int8_t scriptedWay(const Snake &snake) {
    static int16_t rival[kCells], mine[kCells];
    static int queue[kCells];
    const int head = headRow(snake) * kBoardColumns + headColumn(snake);
    int heads = 0, nearest = 0, bestScore = -1;
    for (int cell = kBoardColumns; cell < kCells; ++cell) // other heads in rows 1..47
        if (isHeadCode(at(cell)) && cell != head) queue[heads++] = cell;
    flood(queue, heads, 0, rival, rival, kCells, nearest); // unreached cells never block
    const int limit = std::max(80, snake.length + 20);
    int8_t best = kNoDirection;
    for (int8_t d = 0; d < 4; ++d) {
        queue[0] = head + (d < 2 ? (d ? kBoardColumns : -kBoardColumns) : (d == 3 ? 1 : -1));
        if (!open(queue[0]) || rival[queue[0]] <= 1) continue;
        const int room = flood(queue, 1, 1, mine, rival, limit, nearest);
        const int score = room >= limit ? 100000 - nearest : room;
        if (score > bestScore) best = d, bestScore = score;
    }
    return best;
}

void pressScriptedKeys(std::mt19937 *wander) {
    static Snake copy; // too large for the stack
    for (int p = 0; p < kPlayerCount; ++p) {
        Snake &player = playerSnake[p];
        const uint32_t roll = wander ? (*wander)() : 0;
        if (player.lives < 0 || (wander && isEgg(player) && roll % 8 != 0)) continue;
        int8_t way = static_cast<int8_t>(roll / 8 % 4);
        if (!wander || roll / 32 % 4 == 0) {
            way = scriptedWay(player);
        } else if (!isEgg(player) && roll / 128 % 16 != 0) {
            copy = player;
            chooseDirection(copy);
            way = static_cast<int8_t>(copy.direction & 3);
        }
        // A wandering player mostly turns from a way that is shut.
        for (int turn = 0; wander && turn < 4 && roll / 4096 % 8 != 0; ++turn) {
            copy = player;
            copy.direction = way;
            const int8_t ahead = lookAhead(copy);
            if (ahead < kWall || isBrokenEggCode(ahead)) break;
            way = static_cast<int8_t>((way + 1) & 3);
        }
        if (way >= 0 && (isEgg(player) || way != player.direction))
            pressKey(kPlayerKeys[4 * p + way]);
    }
}

} // namespace ravela::testing
