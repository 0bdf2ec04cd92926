// The nine pictures compiled into the program, each a complete JFIF file, and the size
// of each in pixels, by which the screens place them.
#pragma once

#include <cstdint>

namespace ravela {

struct Picture {
    const uint8_t *bytes; // the JFIF file, from SOI to EOI
    int32_t length;       // its size in bytes
};

struct PictureSize {
    int width;  // pixels
    int height; // pixels
};

extern const Picture titleLogo; // title menu
constexpr PictureSize kTitleLogoSize = {602, 150};
extern const Picture authorCredit; // title menu
constexpr PictureSize kAuthorCreditSize = {99, 15};
extern const Picture startLabel; // title menu, "Começar"
constexpr PictureSize kStartLabelSize = {212, 55};
extern const Picture manualLabel; // title menu, "Manual"
constexpr PictureSize kManualLabelSize = {185, 47};
extern const Picture manualPage1;
extern const Picture manualPage2;
extern const Picture manualPage3;
constexpr PictureSize kManualPageSize = {600, 300}; // each of the three
extern const Picture countHeader; // adversary-count screen, "Adversários (0 a 9)"
constexpr PictureSize kCountHeaderSize = {585, 67};
extern const Picture pauseBanner; // progressive, "Pausa"
constexpr PictureSize kPauseBannerSize = {540, 177};

} // namespace ravela
