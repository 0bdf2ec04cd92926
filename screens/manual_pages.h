// The manual: three pictures shown one after another over the title menu.
#pragma once

namespace ravela {

// Shows the three manual pages, each until a key or a mouse button is pressed, then
// returns. A quit request exits with status 0.
void manualPages();

} // namespace ravela
