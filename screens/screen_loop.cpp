// The screen loop. The title menu leads to the manual (and back) or to the
// adversary-count screen; that screen starts a match or goes back to the title, and
// every match ends on the adversary-count screen again.

#include "screens/screen_loop.h"

#include "display/platform.h"
#include "match/controls.h"
#include "match/match_loop.h"
#include "screens/count_screen.h"
#include "screens/manual_pages.h"
#include "screens/title_menu.h"

namespace ravela {

void runScreens() {
    for (;;) {
        // Pads plugged in since the last menu join here. A browser lists a new pad once one
        // of its buttons is pressed on the title menu; it joins when the next screen opens
        // the pads.
        openPads(true);
        const int8_t choice = titleMenu();
        if (choice == kTitleQuit) endProgram(0);
        if (choice == kTitleManual) {
            openPads(false);
            manualPages();
            continue;
        }
        for (;;) {
            openPads(false);
            if (!adversaryCountScreen()) break;
            playMatch();
        }
    }
}

} // namespace ravela
