// The nine pictures compiled into the program, each a complete JFIF file.
#pragma once

#include <cstdint>

namespace ravela {

struct Picture {
    const uint8_t *bytes; // the JFIF file, from SOI to EOI
    int32_t length;       // its size in bytes
};

extern const Picture titleLogo;    // 602x150, title menu
extern const Picture authorCredit; // 99x15, title menu
extern const Picture startLabel;   // 212x55, "Começar"
extern const Picture manualLabel;  // 185x47, "Manual"
extern const Picture manualPage1;  // 600x300
extern const Picture manualPage2;  // 600x300
extern const Picture manualPage3;  // 600x300
extern const Picture countHeader;  // 585x67, "Adversários (0 a 9)"
extern const Picture pauseBanner;  // 540x177, progressive, "Pausa"

} // namespace ravela
