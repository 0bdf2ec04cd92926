// Program start-up: SDL video, the screen surface, the console lines, the caption,
// the Board and the one seeding of the random generator.
#pragma once

namespace ravela {

// How many times 640x480 the screen is drawn on a desktop of that size: the largest whole n
// whose picture fits in 0.9 of the desktop for a window, or the whole of it in full screen;
// at least 1, and 1 on a desktop of unknown (zero) size.
int chooseScale(int desktopWidth, int desktopHeight, bool window);
// The colour depth to ask for, given the desktop's: 16 when it lies outside 15..32.
int chooseDepth(int desktopBits);
// Brings up the screen (a window for an argument count of 1, else full screen) and the
// Board; on failure prints the reason to standard error and exits with status 1.
void startUp(int argumentCount);

} // namespace ravela
