// What the desktop and the browser do differently, in the few places that talk to SDL:
// how drawing reaches the screen, waiting, focus, the cursor, the end of the program and
// how pads are started and numbered.
// platform_desktop.cpp or platform_web.cpp is built in; everything else is shared.
#pragma once

#include <cstdint>

struct SDL_Surface;
union SDL_Event;

namespace ravela {

// Whether direct pixel writes to the surface must be bracketed by a lock.
bool surfaceNeedsLock(SDL_Surface *surface);
// Locks the surface for direct pixel writes.
void lockScreen(SDL_Surface *surface);
// Releases the lock.
void unlockScreen(SDL_Surface *surface);
// Shows a rectangle of the surface (all zeros: the whole surface). In the browser the
// screen reaches the canvas in one copy when the program next waits.
void showRect(SDL_Surface *surface, int x, int y, int w, int h);
// Lets events of that type into the event queue or keeps them out, where the platform
// can filter them.
void setEventQueued(uint32_t type, bool queued);
// Fills a rectangle of the surface with a mapped pixel value.
void fillRect(SDL_Surface *surface, int x, int y, int w, int h, uint32_t pixel);
// Lets pointer motion into the event queue or keeps it out, where the platform can.
void setPointerMotionQueued(bool queued);
// Milliseconds since SDL started.
uint32_t millisecondsSinceStart();
// Waits that many milliseconds; the browser page runs meanwhile.
void waitMilliseconds(uint32_t milliseconds);
// Waits for the next event; false when the event queue failed.
bool waitForEvent(SDL_Event *event);
// Waits, while nothing on screen moves, until input may have come: on the desktop one
// tick's time (SDL 1.2 cannot wake a sleep on input), in the browser until the page hears
// input, at most half a second. The input stays queued.
void restUntilInput(uint32_t tickMilliseconds);
// Whether the event says the window gained or lost the keyboard focus, or was hidden.
bool isFocusChange(const SDL_Event &event);
// Shows or hides the mouse cursor over the game.
void showCursor(bool shown);
// Ends the program with that exit status; the browser page then offers a new game.
[[noreturn]] void endProgram(int status);

// The numbers a pad's buttons have on this platform.
struct PadButtons {
    uint8_t a, b, back, start;     // the face buttons A and B, Back and Start
    uint8_t up, down, left, right; // the d-pad
};
extern const PadButtons kPadButtons;
// Starts SDL with its video (and, in the browser, its pads); false when it could not.
bool startSdl();
// Starts SDL's joystick list afresh, so that it holds the pads present now; false when
// there is no joystick support to start.
bool restartJoysticks();
// Tells the platform whether any pad is open. A browser's pads send no events: SDL asks for
// them whenever the program looks for events, so a waiting screen must then look often.
void watchPads(bool any);
// Tells the platform whether to look for pads that are not open yet. A browser lists a pad
// only once one of its buttons is pressed while the page looks, and looking costs it a
// poll of the devices every frame, so the page looks only while a menu asks it to.
void lookForNewPads(bool looking);

} // namespace ravela
