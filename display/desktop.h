// What the game needs from an X desktop beyond what SDL does for it: a window visual that
// SDL can fill in software, and a prompt end when the display goes away. Both go through
// the libX11 that SDL itself uses; under any other video driver they do nothing.
#pragma once

namespace ravela {

// Before SDL starts: on a desktop whose depth SDL cannot draw into in software (30 bits),
// asks SDL for a 24- or 32-bit visual of the same screen instead.
void chooseWindowVisual();
// Once the window is open: a lost X connection ends the program at once with status 1
// and a message, instead of Xlib's exit, whose exit handlers would spin on the dead
// connection.
void watchForDisplayLoss();
// Once a full-screen mode is open: the picture is scaled by a whole number, centred with
// black bars, where the SDL layer lets the game ask for that.
void keepWholePixelScale();

} // namespace ravela
