// The path-finder that steers the adversaries and the title menu's demo snake. A call
// floods the Board breadth-first from the head toward the nearest fruit or edible egg
// (while the other snakes' heads flood the same queue and close narrow passages), checks
// with a second flood from beside the own body that the chosen step leaves a way out,
// and falls back on a fixed chain of choices when it does not. Nothing is kept between
// calls and no random number is drawn.

#include "snakes/path_finder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "display/board.h"
#include "snakes/snake.h"

namespace ravela {

namespace {

constexpr int32_t kPlayQueueCapacity = 1000;

// The working grid has the Board's 64 x 48 cells inside a frame one cell wide. Frame
// cells read as closed obstacles that both floods have already seen, so no flood ever
// queues, reads past or writes them: a neighbour off the Board is simply an obstacle.
constexpr int kGridWidth = kBoardColumns + 2;
constexpr int kGridHeight = kBoardRows + 2;
constexpr int kGridCells = kGridWidth * kGridHeight;

// Neighbours are always visited up, down, left, right; each carries one direction bit.
constexpr int kRowStep[] = {-1, 1, 0, 0};
constexpr int kColumnStep[] = {0, 0, -1, 1};
constexpr int kIndexStep[] = {-kGridWidth, kGridWidth, -1, 1};
constexpr uint8_t kDirectionBit[] = {1, 2, 4, 8};

// Marks in the low four bits of a working-grid byte.
constexpr uint8_t kMarkMask = 15;
constexpr uint8_t kMarkFree = 0;
constexpr uint8_t kMarkGoal = 1;
constexpr uint8_t kMarkHeadFront = 2;
constexpr uint8_t kMarkEggSide = 8;
constexpr uint8_t kMarkOwnTail = 9;      // route search: the own tail
constexpr uint8_t kMarkHeadDiagonal = 9; // escape flood: a diagonal neighbour of the head
constexpr uint8_t kMarkObstacle = 10;

// Flood bits above the mark; a sealed cell is an obstacle that both floods have seen.
constexpr uint8_t kRivalBit = 0x20;
constexpr uint8_t kOwnBit = 0x40;
constexpr uint8_t kSealed = kRivalBit | kOwnBit | kMarkObstacle; // 106

// Rival tags: 32 for an other-colour head, 48 for a same-colour one, plus the distance.
constexpr uint8_t kOtherColourTag = 32;
constexpr uint8_t kSameColourTag = 48;
constexpr uint8_t kSameColourBit = 0x10;
constexpr uint8_t kDistanceMask = 15;
constexpr int kRivalReach = 8;  // a rival head floods at most this many steps
constexpr int kFellowReach = 2; // first pass: cells this near a fellow's head are closed

// The working-grid cell of a head off the Board: none.
constexpr int32_t kNoCell = -1;

// Tail tag meaning that the snake has no tail worth waiting for.
constexpr uint8_t kNoTail = 15;

constexpr int gridIndex(int row, int col) {
    return (row + 1) * kGridWidth + col + 1;
}
static_assert(gridIndex(kBoardRows, kBoardColumns) == kGridCells - 1,
              "the frame's bottom-right corner is the last cell of the grid");

// An empty working grid: every Board cell 0, every frame cell sealed.
constexpr std::array<uint8_t, kGridCells> makeEmptyGrid() {
    std::array<uint8_t, kGridCells> grid{};
    for (int i = 0; i < kGridCells; ++i) {
        const int row = i / kGridWidth - 1;
        const int col = i % kGridWidth - 1;
        grid[i] = onGrid(row, col) ? 0 : kSealed;
    }
    return grid;
}
constexpr std::array<uint8_t, kGridCells> kEmptyGrid = makeEmptyGrid();

int popCount4(uint8_t bits) {
    return (bits & 1) + ((bits >> 1) & 1) + ((bits >> 2) & 1) + (bits >> 3);
}

// A queue entry: a working-grid cell and its step tag.
struct Entry {
    int32_t cell;
    uint8_t tag;
};

// The circular first-in-first-out queue. It holds at most capacity - 1 entries, since
// equal indexes mean empty; a push onto a full queue is dropped, never overwriting.
struct SearchQueue {
    Entry entries[kPlayQueueCapacity];
    int32_t capacity = kPlayQueueCapacity;
    int32_t read = 0;
    int32_t write = 0;
    int32_t peak = 0; // most entries waiting at once; the capacity once a push was dropped

    bool empty() const { return read == write; }
    void clear() { read = write = 0; }
    bool push(int32_t cell, uint8_t tag) {
        int32_t next = write + 1;
        if (next == capacity) next = 0;
        if (next == read) {
            peak = capacity;
            return false;
        }
        entries[write] = Entry{cell, tag};
        write = next;
        peak = std::max(peak, (write - read + capacity) % capacity);
        return true;
    }
    Entry pop() {
        const Entry entry = entries[read];
        if (++read == capacity) read = 0;
        return entry;
    }
};

// A cell found by the board scan: a head (queued as a rival unless it is the steered
// snake's own head cell) or an other-colour egg.
struct ScannedTile {
    int16_t cell;
    int8_t code;
};

// Everything one call works with; it lives on the caller's stack. The big arrays are
// written before they are read; every other field starts at its value before the floods.
struct PathSearch {
    const Snake *snake = nullptr;
    int headRow = 0;
    int headCol = 0;
    int colourBase = 0;

    uint8_t grid[kGridCells];     // marks and flood bits of the current stage
    uint8_t scanGrid[kGridCells]; // the marks of the board scan, the start of each pass
    ScannedTile tiles[kBoardRows * kBoardColumns];
    int tileCount = 0;
    SearchQueue queue;

    uint8_t freeMask = 0;      // direction bits of the head's neighbours that can be entered
    uint8_t chosenTag = 0;     // first step(s) toward the goal; 0 when none was found
    int32_t goalCell = 0;      // the goal, valid when chosenTag is not 0
    uint8_t tailTag = kNoTail; // first step(s) toward the own tail; 0 not reached, 15 no tail
    uint8_t eggSideTag{};      // first step(s) toward a cell beside an other-colour intact egg;
                               // each pass starts it again

    int32_t escapeK{}; // the body position where the escape flood starts
    // Direction bits of the head's neighbours in escape-flood order.
    std::array<uint8_t, 3> arrival{};

    bool sameColour(int8_t code) const { return inColourBand(code, colourBase); }
    bool otherColour(int8_t code) const { return isSnakeCode(code) && !sameColour(code); }

    // Direction bits of the neighbours whose mark is 8 or more (the frame included).
    uint8_t closedSet(int32_t cell) const {
        uint8_t closed = 0;
        for (int d = 0; d < 4; ++d) {
            if ((grid[cell + kIndexStep[d]] & kMarkMask) >= kMarkEggSide)
                closed |= kDirectionBit[d];
        }
        return closed;
    }

    void computeFreeMask();
    void scanBoard();
    void markOwnTail();
    void queueOwn(int32_t cell, uint8_t tag) {
        if (queue.push(cell, tag)) grid[cell] |= kOwnBit;
    }
    void queueHeadNeighbours(int32_t ownHead);
    void startPass();
    bool runRivalEntry(const Entry &entry, bool firstPass);
    bool runOwnEntry(const Entry &entry);
    bool searchPass(bool firstPass);
    bool findEscapeCell();
    void markEscapeGrid();
    void escapeFlood();
    uint8_t latestArrival(uint8_t tag) const;
    uint8_t choose() const;
};

void PathSearch::computeFreeMask() {
    for (int d = 0; d < 4; ++d) {
        const int row = headRow + kRowStep[d];
        const int col = headCol + kColumnStep[d];
        if (!onGrid(row, col)) continue;
        const int8_t code = board.cells[row][col];
        if (code < kWall || isBrokenEggCode(code)) freeMask |= kDirectionBit[d];
    }
}

// Gives every cell below the status row its mark from its code and lets other-colour tiles
// project marks onto the cells around them. The Board does not change during a call, so
// both passes start from this one scan. Marking every cell before any projection gives
// the same marks as one row-major sweep: a projection writes only over marks 0 and 8,
// which a fruit or an obstacle scanned later would have replaced anyway.
void PathSearch::scanBoard() {
    std::memcpy(scanGrid, kEmptyGrid.data(), sizeof scanGrid);
    tileCount = 0;
    for (int row = kTopWallRow; row <= kBottomWallRow; ++row) {
        const int8_t *codes = board.cells[row];
        uint8_t *marks = &scanGrid[gridIndex(row, 0)];
        for (int col = 0; col < kBoardColumns; ++col) {
            const int8_t code = codes[col];
            if (code == kYellowFruit) {
                marks[col] = kMarkGoal;
            } else if (code >= kWall) {
                marks[col] = kMarkObstacle;
                if (!isSnakeCode(code)) continue;
                const int offset = tileOffset(code);
                if (offset <= kHeadRightTile || (otherColour(code) && offset >= kBrokenEggTile)) {
                    tiles[tileCount++] =
                        ScannedTile{static_cast<int16_t>(gridIndex(row, col)), code};
                }
            }
        }
    }
    for (int i = 0; i < tileCount; ++i) {
        const ScannedTile &tile = tiles[i];
        if (!otherColour(tile.code)) continue;
        const int offset = tileOffset(tile.code);
        if (offset <= kHeadRightTile) {
            // The free cell right in front of a rival's head: meet it head-on.
            uint8_t &ahead = scanGrid[tile.cell + kIndexStep[offset]];
            if (ahead == kMarkFree || ahead == kMarkEggSide) ahead = kMarkHeadFront;
        } else if (offset == kBrokenEggTile) {
            scanGrid[tile.cell] = kMarkGoal;
        } else {
            for (int d = 0; d < 4; ++d) {
                uint8_t &side = scanGrid[tile.cell + kIndexStep[d]];
                if (side == kMarkFree) side = kMarkEggSide;
            }
        }
    }
}

// The own tail waits in the grid as mark 9 where it lies in the inner columns above the
// bottom wall row (so never on that row, and on the top wall row only in name); the tail tag
// is 0 (not reached yet) for a snake with two or more cells behind its head. A shorter
// snake keeps kNoTail: no cell carries mark 9, so no pass changes its tag.
void PathSearch::markOwnTail() {
    if (snake->length < 2) return;
    const int tail = tailSlot(*snake);
    const int row = snake->rows[tail];
    const int col = snake->columns[tail];
    if (col >= kInnerLeftColumn && col <= kInnerRightColumn && row >= kTopWallRow &&
        row <= kInnerBottomRow) {
        grid[gridIndex(row, col)] = kMarkOwnTail;
    }
    tailTag = 0;
}

// Queues the head's four neighbours, then the diagonal cells (up-left, up-right,
// down-left, down-right) whose two orthogonal neighbours are open.
void PathSearch::queueHeadNeighbours(int32_t ownHead) {
    for (int d = 0; d < 4; ++d) {
        const int row = headRow + kRowStep[d];
        const int col = headCol + kColumnStep[d];
        if (onGrid(row, col)) queueOwn(gridIndex(row, col), kDirectionBit[d]);
    }
    if (ownHead == kNoCell) return;
    for (int vertical = 0; vertical < 2; ++vertical) {
        for (int horizontal = 2; horizontal < 4; ++horizontal) {
            const int row = headRow + kRowStep[vertical];
            const int col = headCol + kColumnStep[horizontal];
            const bool open = (grid[ownHead + kIndexStep[vertical]] & kMarkMask) < kMarkEggSide &&
                              (grid[ownHead + kIndexStep[horizontal]] & kMarkMask) < kMarkEggSide;
            const uint8_t tag = kDirectionBit[vertical] | kDirectionBit[horizontal];
            if (onGrid(row, col) && open) queueOwn(gridIndex(row, col), tag);
        }
    }
}

// Resets the pass: the scanned marks, the own tail, the rival heads in row-major order,
// then the head's neighbours; each entry queued marks its cell, and a cell may start in
// both floods. The queue is empty: a pass ends early only once it found a goal, and a
// second pass only runs when the first found none, which is also why the goal needs no
// reset.
void PathSearch::startPass() {
    eggSideTag = 0;
    std::memcpy(grid, scanGrid, sizeof grid);
    markOwnTail();

    const int32_t ownHead = onGrid(headRow, headCol) ? gridIndex(headRow, headCol) : kNoCell;
    for (int i = 0; i < tileCount; ++i) {
        const ScannedTile &tile = tiles[i];
        if (!isHeadCode(tile.code) || tile.cell == ownHead) continue;
        const uint8_t tag = sameColour(tile.code) ? kSameColourTag : kOtherColourTag;
        if (queue.push(tile.cell, tag)) grid[tile.cell] |= kRivalBit;
    }
    queueHeadNeighbours(ownHead);
}

// One step of a rival head's flood. It closes narrow cells within reach of the head
// and, in the first pass, every cell near a fellow adversary's head. Returns false.
bool PathSearch::runRivalEntry(const Entry &entry, bool firstPass) {
    int32_t cell = entry.cell;
    const uint8_t mark = grid[cell] & kMarkMask;
    grid[cell] |= kRivalBit;
    int distance = entry.tag & kDistanceMask;

    if (distance == 0) {
        // A head at the closed end of a corridor follows it without closing it.
        uint8_t closed = closedSet(cell);
        while (distance < kRivalReach && popCount4(closed) == 3) {
            int open = 0;
            while (closed & kDirectionBit[open])
                ++open;
            cell += kIndexStep[open];
            grid[cell] |= kRivalBit;
            ++distance;
            closed = closedSet(cell) | kDirectionBit[open ^ 1];
        }
        if (distance == kRivalReach) return false;
    } else {
        if (distance >= kRivalReach || mark >= kMarkEggSide) return false;
        const uint8_t closed = closedSet(cell);
        if ((closed & 3) == 3 || (closed & 12) == 12) grid[cell] = kSealed;
    }

    if (firstPass && (entry.tag & kSameColourBit) && distance <= kFellowReach) grid[cell] = kSealed;

    const uint8_t nextTag = static_cast<uint8_t>((entry.tag & ~kDistanceMask) | (distance + 1));
    for (int d = 0; d < 4; ++d) {
        const int32_t next = cell + kIndexStep[d];
        if (!(grid[next] & kRivalBit) && queue.push(next, nextTag)) grid[next] |= kRivalBit;
    }
    return false;
}

// One step of the snake's own flood; returns true when the pass's search ends.
bool PathSearch::runOwnEntry(const Entry &entry) {
    uint8_t &cell = grid[entry.cell];
    const uint8_t mark = cell & kMarkMask;
    cell |= kOwnBit;

    switch (mark) {
    case kMarkFree: break;
    case kMarkGoal:
    case kMarkHeadFront:
        if (chosenTag == 0) {
            chosenTag = entry.tag;
            goalCell = entry.cell;
        }
        if (tailTag != 0) return true;
        break;
    case kMarkEggSide:
        if (eggSideTag == 0) eggSideTag = entry.tag;
        return false;
    case kMarkOwnTail:
        if (tailTag == 0) tailTag = entry.tag;
        return chosenTag != 0;
    default: return false; // obstacle or sealed
    }

    for (int d = 0; d < 4; ++d) {
        const int32_t next = entry.cell + kIndexStep[d];
        if (!(grid[next] & kOwnBit) && queue.push(next, entry.tag)) grid[next] |= kOwnBit;
    }
    return false;
}

// One pass of the route search; true when it found a goal.
bool PathSearch::searchPass(bool firstPass) {
    startPass();
    while (!queue.empty()) {
        const Entry entry = queue.pop();
        const bool ended =
            (entry.tag & kRivalBit) ? runRivalEntry(entry, firstPass) : runOwnEntry(entry);
        if (ended) break;
    }
    return chosenTag != 0;
}

// Looks from the tail toward the neck for a body cell that the own flood touched, so
// that the escape flood can start from the part of the body that leaves first.
bool PathSearch::findEscapeCell() {
    int32_t adjacentK = 0; // the last touched position beside the head; 0 for none yet
    int32_t lastK = 2;     // the scan stops after this position
    for (int32_t k = snake->length; k >= lastK; --k) {
        const int index = ringSlot(int64_t{snake->headIndex} - k);
        const int row = snake->rows[index];
        const int col = snake->columns[index];
        if (!onGrid(row, col) || !(grid[gridIndex(row, col)] & kOwnBit)) continue;
        const bool nextToHead = (row == headRow && col >= headCol - 1 && col <= headCol + 1) ||
                                (col == headCol && row >= headRow - 1 && row <= headRow + 1);
        if (!nextToHead) {
            escapeK = k;
            return true;
        }
        // Only the first such cell sets the window: at most three more positions.
        if (adjacentK == 0) lastK = std::max(k - 3, int32_t{2});
        adjacentK = k;
    }
    escapeK = adjacentK;
    return adjacentK >= 6;
}

// The grid of the escape flood: every obstacle closed, every other cell free, except the
// head's neighbours, which carry their direction bit, and its diagonal cells, mark 9.
void PathSearch::markEscapeGrid() {
    std::memcpy(grid, kEmptyGrid.data(), sizeof grid);
    for (int row = kTopWallRow; row <= kBottomWallRow; ++row) {
        const int8_t *codes = board.cells[row];
        uint8_t *marks = &grid[gridIndex(row, 0)];
        for (int col = 0; col < kBoardColumns; ++col) {
            marks[col] = codes[col] >= kWall ? kMarkObstacle : kMarkFree;
        }
    }
    // The head's neighbours and diagonal cells take their marks only where no obstacle
    // lies: on a cell below 15, or on the status row, which holds no obstacles.
    const auto markNearHead = [this](int row, int col, uint8_t mark) {
        if (onGrid(row, col) && (row == 0 || board.cells[row][col] < kWall)) {
            grid[gridIndex(row, col)] = mark;
        }
    };
    for (int d = 0; d < 4; ++d) {
        markNearHead(headRow + kRowStep[d], headCol + kColumnStep[d], kDirectionBit[d]);
    }
    for (int vertical = 0; vertical < 2; ++vertical) {
        for (int horizontal = 2; horizontal < 4; ++horizontal) {
            markNearHead(headRow + kRowStep[vertical], headCol + kColumnStep[horizontal],
                         kMarkHeadDiagonal);
        }
    }
}

// Floods outward from the escape cell (once per call) and records the order in which it
// arrives at the head's free neighbours. The head's diagonal cells are held back until the flood
// has nothing else to do for two generations, so they do not steal the arrivals.
void PathSearch::escapeFlood() {
    markEscapeGrid();
    queue.clear();
    const int escapeSlot = ringSlot(int64_t{snake->headIndex} - escapeK);
    for (int d = 0; d < 4; ++d) {
        const int row = snake->rows[escapeSlot] + kRowStep[d];
        const int col = snake->columns[escapeSlot] + kColumnStep[d];
        if (onGrid(row, col)) queue.push(gridIndex(row, col), 0);
    }
    int generation = 0;
    int32_t generationEnd = queue.write;
    int arrivals = 0;

    while (!queue.empty()) {
        if (queue.read == generationEnd) {
            generationEnd = queue.write;
            ++generation;
        }
        const Entry entry = queue.pop();
        uint8_t &cell = grid[entry.cell];
        uint8_t mark = cell & kMarkMask;
        cell |= kOwnBit;

        if (mark == kMarkHeadDiagonal) {
            if (generation < 2) {
                queue.push(entry.cell, entry.tag);
                continue;
            }
            mark = kMarkFree; // released; it does not reset the generation counter
        } else {
            generation = 0;
        }
        if (popCount4(mark) == 1) { // a neighbour's direction bit
            arrival[arrivals++] = mark;
            if (arrivals == static_cast<int>(arrival.size())) return;
        }
        if (mark >= kMarkObstacle) continue;

        for (int d = 0; d < 4; ++d) {
            const int32_t next = entry.cell + kIndexStep[d];
            if (grid[next] < kMarkObstacle && queue.push(next, 0)) grid[next] |= kOwnBit;
        }
    }
}

// The bits of a tag that the escape flood reached last among its arrivals; 0 if none.
uint8_t PathSearch::latestArrival(uint8_t tag) const {
    for (auto it = arrival.rbegin(); it != arrival.rend(); ++it) {
        if (tag & *it) return tag & *it;
    }
    return 0;
}

// The fallback chain once the escape flood has run: the first non-zero value wins.
uint8_t PathSearch::choose() const {
    if (const uint8_t step = latestArrival(chosenTag)) return step;
    if (snake->greedy && chosenTag) return chosenTag;
    if (const uint8_t step = latestArrival(eggSideTag)) return step;
    if (snake->followsTail && snake->growth == 0 && (tailTag & freeMask)) return tailTag & freeMask;
    if (const uint8_t step = latestArrival(freeMask)) return step;
    if (tailTag & freeMask) return tailTag & freeMask;
    return tailTag;
}

// Sets the direction from a tag's bits in the order up, down, left, right; with two
// bits the horizontal one wins, and no bit leaves the direction as it was.
void applyTag(Snake &snake, uint8_t tag) {
    for (int d = 0; d < 4; ++d) {
        if (tag & kDirectionBit[d]) snake.direction = static_cast<int8_t>(d);
    }
}

uint8_t decide(PathSearch &search) {
    const Snake &snake = *search.snake;
    search.computeFreeMask();
    search.scanBoard();
    if (!search.searchPass(true)) search.searchPass(false);

    const uint8_t chosen = search.chosenTag;
    if (snake.greedy && popCount4(chosen) == 1) return chosen; // a single step
    if (chosen != 0 && (search.grid[search.goalCell] & kMarkMask) == kMarkHeadFront) {
        // Meeting a rival head-on: step along the axis on which it is nearer (up or down when
        // it lies farther across than up or down), where the chosen steps offer that axis.
        const int dr = search.goalCell / kGridWidth - 1 - search.headRow;
        const int dc = search.goalCell % kGridWidth - 1 - search.headCol;
        if (std::abs(dc) > std::abs(dr)) return (chosen & 3) ? (chosen & 3) : chosen;
        return (chosen & 12) ? (chosen & 12) : chosen;
    }
    if (snake.length < 2 || !search.findEscapeCell()) return chosen;
    search.escapeFlood();
    return search.choose();
}

} // namespace

int32_t chooseDirectionWithQueueCapacity(Snake &snake, int32_t queueCapacity) {
    if (snake.length < 0) return 0; // an egg does not steer
    PathSearch search;
    search.snake = &snake;
    search.queue.capacity = std::clamp(queueCapacity, int32_t{1}, kPlayQueueCapacity);
    const int head = ringSlot(snake.headIndex);
    search.headRow = snake.rows[head];
    search.headCol = snake.columns[head];
    search.colourBase = snake.colourBase;
    applyTag(snake, decide(search));
    return search.queue.peak;
}

void chooseDirection(Snake &snake) {
    chooseDirectionWithQueueCapacity(snake, kPlayQueueCapacity);
}

} // namespace ravela
