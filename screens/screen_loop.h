// The screen loop: the title menu, the manual, the adversary-count screen and the
// matches, for as long as the program runs.
#pragma once

namespace ravela {

// Runs the screens after start-up and never returns: Escape on the title menu or a quit
// request on any screen ends the program with status 0.
[[noreturn]] void runScreens();

} // namespace ravela
