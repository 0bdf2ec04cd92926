// What the game needs from a desktop beyond what SDL does for it: a window visual that SDL
// can fill in software and a prompt end when the display goes away, both through the
// libX11 that SDL itself uses; the same end on Wayland; and whole-number scaling where the
// SDL layer scales the picture.
#pragma once

struct SDL_Surface;

namespace ravela {

// Before SDL starts: on a desktop whose depth SDL cannot draw into in software (30 bits),
// asks SDL for a 24- or 32-bit visual of the same screen instead.
void chooseWindowVisual();
// Once the window is open: a lost X connection ends the program at once with status 1
// and a message, instead of Xlib's exit, whose exit handlers would spin on the dead
// connection. On Wayland, remembers where the compositor listens.
void watchForDisplayLoss();
// SDL reports a lost Wayland compositor as a quit request: when the compositor no longer
// takes connections, ends the program with the same message and status 1.
void endIfDisplayLost();
// Once the screen is open: where the SDL layer scales the picture to its window (full
// screen, a window the compositor enlarges), it scales by a whole number, centred with
// black bars, where the SDL layer lets the game ask for that.
void keepWholePixelScale();

// Once a window of more than 640x480 is open: where SDL 2 draws it in software on X, the
// game takes over presenting, so that a changed rectangle is sent alone.
void presentDirectlyWhenScaled(SDL_Surface *surface);
// Sends a rectangle of the surface (all zeros: the whole surface) to the window; false
// when the SDL layer presents instead.
bool presentDirectly(SDL_Surface *surface, int x, int y, int w, int h);

} // namespace ravela
