// The title menu: the logo, the items "Começar" and "Manual", and below them a walled
// arena where the demo snake hunts yellow fruit while the menu waits. One frame can be
// run on its own, so the menu can be driven without its frame delay.
#pragma once

#include <cstdint>

#include "screens/pointer.h"

namespace ravela {

// What the title menu returns.
constexpr int8_t kTitleQuit = 0;   // Escape: leave the program
constexpr int8_t kTitleStart = 1;  // "Começar": choose the adversaries, then play
constexpr int8_t kTitleManual = 2; // "Manual": show the manual pages

// One run of the title menu.
struct TitleMenuRun {
    int8_t selection;        // item marked by keyboard or pointer: 0 none, 1 "Começar", 2 "Manual"
    int8_t drawnSelection;   // selection the outlines show; -1 until the first frame draws them
    int8_t result;           // 0 until an item is confirmed, then that item
    int8_t fruitsToPlace;    // yellow fruits still to put into the arena
    PointerPosition pointer; // where the pointer was last seen
};

// Lays out the arena and the pictures, presents them and starts the demo snake.
TitleMenuRun setUpTitleMenu();
// One frame without its delay: events, demo snake, fruit, outlines. False when Escape
// ended the menu; a confirmed item shows in result. A quit request exits with status 0.
bool runTitleMenuFrame(TitleMenuRun &menu);
// Runs the title menu until an item is confirmed or Escape is pressed; returns kTitleQuit,
// kTitleStart or kTitleManual. A quit request exits with status 0.
int8_t titleMenu();

} // namespace ravela
