// The manual pages. Each page is painted over whatever the screen shows (the title
// logo stays visible above it) and waits for any key or mouse button; nothing else,
// not even Escape, leaves the manual early.

#include "screens/manual_pages.h"

#include <SDL.h>
#include "assets/pictures.h"
#include "display/picture.h"
#include "display/platform.h"
#include "display/surface.h"
#include "match/match_state.h"

namespace ravela {

namespace {

constexpr int kPageTop = 175;
constexpr int kPageWidth = 600;

// Waits for a key or button press, showing the page again after an expose; a quit
// request ends the program.
void waitForPageTurn() {
    SDL_Event event;
    while (waitForEvent(&event)) {
        if (event.type == SDL_QUIT) endProgram(0);
        repaintIfExposed(event);
        if (event.type == SDL_KEYDOWN || event.type == SDL_MOUSEBUTTONDOWN) return;
    }
}

} // namespace

void manualPages() {
    const Picture *pages[] = {&manualPage1, &manualPage2, &manualPage3};
    SDL_Surface *surface = matchState.screenSurface;
    for (const Picture *page : pages) {
        const bool locked = lockSurface(surface);
        decodeAndBlit(page->bytes, page->length, surface, kPageTop, (surface->w - kPageWidth) / 2);
        if (locked) unlockSurface(surface);
        presentRect(surface, 0, 0, 0, 0);
        showCursor(true);
        waitForPageTurn();
        showCursor(false);
    }
}

} // namespace ravela
