// Decoding cost of each compiled-in picture: decodeAndBlit onto a 32-bit 640x480 surface at
// the place the program shows it. Items are painted pixels.

#include <benchmark/benchmark.h>

#include <SDL.h>

#include "assets/pictures.h"
#include "display/picture.h"
#include "tests/support.h"

namespace {

void decodePicture(benchmark::State &state, const ravela::Picture *picture, int top, int left,
                   ravela::PictureSize size) {
    SDL_Surface *surface = ravela::testing::makeSurface(32);
    for (auto _ : state) {
        ravela::decodeAndBlit(picture->bytes, picture->length, surface, top, left);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * size.width * size.height);
    state.SetBytesProcessed(state.iterations() * picture->length);
    SDL_FreeSurface(surface);
}

using ravela::authorCredit;
using ravela::countHeader;
using ravela::kAuthorCreditSize;
using ravela::kCountHeaderSize;
using ravela::kManualLabelSize;
using ravela::kManualPageSize;
using ravela::kPauseBannerSize;
using ravela::kStartLabelSize;
using ravela::kTitleLogoSize;
using ravela::manualLabel;
using ravela::manualPage1;
using ravela::manualPage2;
using ravela::manualPage3;
using ravela::pauseBanner;
using ravela::startLabel;
using ravela::titleLogo;

BENCHMARK_CAPTURE(decodePicture, title_logo, &titleLogo, 5, 19, kTitleLogoSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePicture, author_credit, &authorCredit, 142, 270, kAuthorCreditSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePicture, start_label, &startLabel, 190, 214, kStartLabelSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePicture, manual_label, &manualLabel, 250, 227, kManualLabelSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePicture, manual_page1, &manualPage1, 175, 20, kManualPageSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePicture, manual_page2, &manualPage2, 175, 20, kManualPageSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePicture, manual_page3, &manualPage3, 175, 20, kManualPageSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePicture, count_header, &countHeader, 6, 27, kCountHeaderSize)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(decodePicture, pause_banner, &pauseBanner, 151, 50, kPauseBannerSize)
    ->Unit(benchmark::kMicrosecond);

} // namespace
