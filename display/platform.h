// The platform: the few things the desktop and the browser do in their own way, each call
// complete on both. The screen (open it, show what changed, the cursor), waiting (for
// input or for a time), the clock, the pads and the end of the program.
// platform_desktop.cpp or platform_web.cpp is built in; everything else is shared.
#pragma once

#include <cstdint>

struct SDL_Surface;
union SDL_Event;

namespace ravela {

// --- The screen

// Starts SDL with what the game needs of it; false when it could not (SDL_GetError says
// why). Presses of the mouse are queued, their releases never.
bool startPlatform(bool window);

// The screen the game asks for.
struct ScreenMode {
    int width, height; // in window pixels
    int depth;         // bits per pixel
    bool fullScreen;   // the whole display instead of a window
    bool sdlScales;    // the player has the SDL layer scale the window
};
// Opens the screen; null when the video mode could not be set (SDL_GetError says why).
SDL_Surface *openScreen(const ScreenMode &mode);
// Whether direct pixel writes to the surface must be bracketed by SDL_LockSurface.
bool screenNeedsLock(SDL_Surface *surface);
// Shows a rectangle of the surface (all zeros: the whole surface). The rectangles shown
// reach the window together, in one go, when the program next waits (or ends): once per
// tick or menu frame, when its painting is done.
void showRect(SDL_Surface *surface, int x, int y, int w, int h);
// Shows or hides the mouse cursor over the game.
void showCursor(bool shown);

// --- Waiting and input

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
// Lets pointer motion into the event queue or keeps it out, where the platform can.
void setPointerMotionQueued(bool queued);

// --- The clock

// Milliseconds since SDL started.
uint32_t millisecondsSinceStart();

// --- Pads

// The numbers a pad's buttons have on this platform.
struct PadButtons {
    uint8_t a, b, back, start;     // the face buttons A and B, Back and Start
    uint8_t up, down, left, right; // the d-pad
};
extern const PadButtons kPadButtons;
// Starts SDL's list of pads afresh, so that it holds the pads present now, before they
// are opened; false when there is no joystick support. With lookForNew, a pad that is not
// listed yet may make itself known until the next restart: a browser lists a pad only
// once one of its buttons is pressed while the page looks, and looking costs it a poll of
// the devices every frame.
bool restartPads(bool lookForNew);

// --- The end

// Ends the program with that exit status; the browser page then offers a new game.
[[noreturn]] void endProgram(int status);

} // namespace ravela
