// The manual pages. Each page is painted over whatever the screen shows (the title
// logo stays visible above it) and waits for any key or mouse button; nothing else,
// not even Escape, leaves the manual early.

#include "screens/manual_pages.h"

#include "assets/pictures.h"
#include "display/board.h"
#include "display/picture.h"
#include "display/platform.h"
#include "match/controls.h"

namespace ravela {

namespace {

constexpr int kPageTop = 175;

// Waits for a key or button press; the controls show the page again after an expose and
// end the program on a quit request.
void waitForPageTurn() {
    Input input{};
    while (waitWords(input))
        if (input.has(kPageTurn)) return;
}

} // namespace

void manualPages() {
    const Picture *pages[] = {&manualPage1, &manualPage2, &manualPage3};
    const int left = (kBoardColumns * kCellPixels - kManualPageSize.width) / 2;
    for (const Picture *page : pages) {
        showPictures({{page, kPageTop, left}});
        showCursor(true);
        waitForPageTurn();
        showCursor(false);
    }
}

} // namespace ravela
