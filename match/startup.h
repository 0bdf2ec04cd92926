// Program start-up: SDL video, the screen surface, the console lines, the caption,
// the Board and the one seeding of the random generator.
#pragma once

namespace ravela {

// The colour depth to ask for, given the desktop's: 16 when it lies outside 15..32.
int chooseDepth(int desktopBits);
// Brings up the screen (a window for an argument count of 1, else full screen) and the
// Board; on failure prints the reason to standard error and exits with status 1.
void startUp(int argumentCount);

} // namespace ravela
