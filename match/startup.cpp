// Program start-up, in a fixed order: SDL, video mode, console lines, caption, cursor,
// Board and tile set, random seed.

#include "match/startup.h"

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "display/board.h"
#include "match/match_state.h"
#include "match/random.h"

namespace ravela {

int chooseDepth(int desktopBits) {
    return desktopBits < 15 || desktopBits > 32 ? 16 : desktopBits;
}

void startUp(int argumentCount) {
    // In a window the surface is shown pixel for pixel, so plain software copies are all
    // SDL needs. Without these hints SDL 2 under the 1.2 compatibility layer brings up an
    // OpenGL renderer for the copy (with no GPU: Mesa's llvmpipe, its threads and some
    // 90 MB). A setting already in the environment wins; full screen keeps SDL's choice,
    // which scales the picture on the GPU.
    if (argumentCount == 1) {
        setenv("SDL_RENDER_DRIVER", "software", 0);
        setenv("SDL_FRAMEBUFFER_ACCELERATION", "0", 0);
    }
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        std::exit(1);
    }
    std::atexit(SDL_Quit);
    SDL_EventState(SDL_MOUSEBUTTONUP, SDL_IGNORE);

    const SDL_VideoInfo *info = SDL_GetVideoInfo();
    const int depth = chooseDepth(info && info->vfmt ? info->vfmt->BitsPerPixel : 0);
    const bool window = argumentCount == 1;
    matchState.screenSurface = SDL_SetVideoMode(640, 480, depth, window ? 0 : SDL_FULLSCREEN);
    if (!matchState.screenSurface) {
        std::fprintf(stderr, "Nao consegui inicializar video: %s\n", SDL_GetError());
        std::exit(1);
    }

    std::printf("Usando tela 640x480x%d  SWSURFACE\n", depth);
    if (window)
        std::printf("\nPara tela cheia executar o programa digitando\n"
                    "qualquer coisa ap\xF3s o nome do programa\n");
    std::fflush(stdout);
    SDL_WM_SetCaption("Ravela", nullptr);
    SDL_ShowCursor(SDL_DISABLE);
    initBoard(board, matchState.screenSurface);
    srand(static_cast<uint32_t>(std::time(nullptr)));
}

} // namespace ravela
