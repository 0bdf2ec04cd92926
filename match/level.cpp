// Level setup: the eight wall layouts, the players' eggs and the adversaries at their
// starting places, and the random fruit placement that the match rules also use.

#include "match/level.h"

#include <algorithm>
#include <iterator>

#include "common/random.h"
#include "display/board.h"
#include "match/match_state.h"
#include "match/status_row.h"
#include "snakes/snake.h"

namespace ravela {

namespace {

// Starting places: players' eggs on row 4, adversaries along the bottom.
constexpr int kPlayerStartRow = 4;
constexpr int kPlayerStartColumn = 13;
constexpr int kPlayerColumnGap = 13;
constexpr int8_t kPlayerStartCountdown = 40;
constexpr int kAdversaryStartRow = kInnerBottomRow;
constexpr int kAdversaryStartColumn = 46;
constexpr int kAdversaryColumnGap = 2;

// Failed random tries after which placeFruit scans for a free cell instead.
constexpr int32_t kFruitDrawLimit = 50000;

void wallColumn(Board &target, int col, int firstRow, int lastRow) {
    for (int row = firstRow; row <= lastRow; ++row)
        target.cells[row][col] = kWall;
}

void wallRow(Board &target, int row, int firstCol, int lastCol) {
    for (int col = firstCol; col <= lastCol; ++col)
        target.cells[row][col] = kWall;
}

void buildBorder(Board &target) {
    for (auto &cells : target.cells)
        std::fill(std::begin(cells), std::end(cells), kEmpty);
    wallRow(target, kTopWallRow, kLeftWallColumn, kRightWallColumn);
    wallRow(target, kBottomWallRow, kLeftWallColumn, kRightWallColumn);
    wallColumn(target, kLeftWallColumn, kInnerTopRow, kInnerBottomRow);
    wallColumn(target, kRightWallColumn, kInnerTopRow, kInnerBottomRow);
}

void buildInnerWalls(Board &target, int8_t levelType) {
    switch (levelType) {
    case 1: // two vertical bars
        wallColumn(target, 16, 10, 39);
        wallColumn(target, 46, 10, 39);
        break;
    case 2: // a pinwheel of four bars, each joined to the border
        wallRow(target, 13, 33, kInnerRightColumn);
        wallRow(target, 35, kInnerLeftColumn, 30);
        wallColumn(target, 14, kInnerTopRow, 23);
        wallColumn(target, 49, 25, kInnerBottomRow);
        break;
    case 3: // a box open at its four corners
        wallRow(target, 12, 14, 49);
        wallRow(target, 36, 14, 49);
        wallColumn(target, 12, 14, 34);
        wallColumn(target, 51, 14, 34);
        break;
    case 4: // two dotted double columns
        for (int row = 3; row <= 45; row += 2)
            wallRow(target, row, 18, 19);
        for (int row = 4; row <= kInnerBottomRow; row += 2)
            wallRow(target, row, 43, 44);
        break;
    case 5: // two diagonals falling to the right
        for (int k = 10; k <= 37; ++k) {
            target.cells[k][k - 5] = kWall;
            target.cells[k][k + 20] = kWall;
        }
        break;
    case 6: // twelve vertical bars, every third column
        for (int col = 14; col <= 47; col += 3)
            wallColumn(target, col, 12, 36);
        break;
    case 7: // a comb: teeth hanging from the top border and rising from the bottom one
        for (int col = 16; col <= 48; col += 16)
            wallColumn(target, col, kInnerTopRow, 38);
        for (int col = 8; col <= 56; col += 16)
            wallColumn(target, col, 10, kInnerBottomRow);
        break;
    default: // layout 0 and unknown layouts: the bare border
        break;
    }
}

// Puts the fruit on the first empty inner cell in row-major order; a full range gets none.
void placeOnFirstEmptyCell(int8_t code) {
    for (int row = kInnerTopRow; row <= kInnerBottomRow; ++row) {
        for (int col = kInnerLeftColumn; col <= kInnerRightColumn; ++col) {
            if (board.cells[row][col] == kEmpty) {
                setCellAndDraw(board, code, row, col);
                return;
            }
        }
    }
}

} // namespace

void buildWalls(Board &target, int8_t levelType) {
    buildBorder(target);
    buildInnerWalls(target, levelType);
}

void placeFruitWithin(int8_t code, int32_t drawLimit) {
    constexpr int columnSpan = kInnerRightColumn - kInnerLeftColumn + 1;
    constexpr int rowSpan = kInnerBottomRow - kInnerTopRow + 1;
    for (int32_t tries = 0; tries < drawLimit; ++tries) {
        const int col = rand() % columnSpan + kInnerLeftColumn;
        const int row = rand() % rowSpan + kInnerTopRow;
        if (board.cells[row][col] == kEmpty) {
            setCellAndDraw(board, code, row, col);
            return;
        }
    }
    // The draws keep missing, so the range is full or nearly so: take the first free cell.
    placeOnFirstEmptyCell(code);
}

void placeFruit(int8_t code) {
    placeFruitWithin(code, kFruitDrawLimit);
}

void setupLevel() {
    board.autoPresent = 1;
    buildWalls(board, matchState.levelType);
    redrawBoard(board);

    for (int8_t p = 0; p < kPlayerCount; ++p) {
        Snake &player = playerSnake[p];
        const int8_t lives = player.lives; // the only player state kept between levels
        initSnake(player);
        player.lives = lives;
        player.colourBase = kPlayerBase[p];
        setHeadCell(player, kPlayerStartRow, kPlayerStartColumn + kPlayerColumnGap * p);
        turnToEgg(player, true, kPlayerStartCountdown);
        drawLives(p);
    }

    for (int i = 0; i < adversariesInPlay(); ++i) {
        startAdversary(adversarySnake[i], kAdversaryStartRow,
                       kAdversaryStartColumn + kAdversaryColumnGap * i);
    }

    placeFruit(kYellowFruit);
    placeFruit(kYellowFruit);
    placeFruit(kGreenFruit);
    placeFruit(kGreenFruit);
    placeFruit(kRedFruit);
    drawLevelProgress();
}

} // namespace ravela
