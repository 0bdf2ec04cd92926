// Program start-up, in a fixed order: SDL, video mode, console lines, caption, cursor,
// Board and tile set, random seed. Before any of it the standard streams are made safe;
// what a platform does beyond that happens inside its own calls (display/platform.h).

#include "match/startup.h"

#include <SDL.h>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>

#include "common/random.h"
#include "display/board.h"
#include "display/platform.h"

namespace ravela {

namespace {

// A closed standard stream would hand its number to the next file opened, the X
// connection, and the console lines would then be written into it; a closed pipe would
// end the program on the first line. Closed streams become /dev/null and a failed write
// is only a failed write.
void guardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    std::signal(SIGPIPE, SIG_IGN);
}

// With no display to talk to, SDL falls back to a driver that shows nothing, and the game
// would run where nobody can see it. Only a player who asks for such a driver gets it.
bool onlyAnInvisibleDriver() {
    if (std::getenv("SDL_VIDEODRIVER") != nullptr) return false;
    char name[32] = "";
    if (SDL_VideoDriverName(name, sizeof name) == nullptr) return false;
    return std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0;
}

void failVideo(const char *reason) {
    std::fprintf(stderr, "Nao consegui inicializar video: %s\n", reason);
    endProgram(1);
}

// Opens the surface of 640x480 game pixels, each n x n, at the depth asked for; a depth the
// SDL layer cannot open (15 bits, for one) falls back to 16 and then 32. Returns the
// surface and sets depth to the depth that opened.
SDL_Surface *openGameScreen(int &depth, int n, bool fullScreen, bool sdlScales) {
    std::string firstError;
    for (const int tried : {depth, 16, 32}) {
        SDL_Surface *surface =
            openScreen(ScreenMode{n * kBoardColumns * kCellPixels, n * kBoardRows * kCellPixels,
                                  tried, fullScreen, sdlScales});
        if (surface != nullptr) {
            depth = tried;
            return surface;
        }
        if (firstError.empty()) firstError = SDL_GetError();
    }
    failVideo(firstError.c_str());
    return nullptr;
}

} // namespace

int chooseScale(int desktopWidth, int desktopHeight, bool window) {
    // A window leaves a tenth of the desktop for panels and borders: 640n <= 0.9 width.
    const int room = window ? 9 : 10;
    const int n = std::min(desktopWidth * room / (10 * kBoardColumns * kCellPixels),
                           desktopHeight * room / (10 * kBoardRows * kCellPixels));
    return std::max(n, 1);
}

int chooseDepth(int desktopBits) {
    return desktopBits < 15 || desktopBits > 32 ? 16 : desktopBits;
}

void startUp(int argumentCount) {
    guardStandardStreams();
    const bool window = argumentCount == 1;
    if (!startPlatform(window)) {
        std::fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        endProgram(1);
    }
    std::atexit(SDL_Quit);
    if (onlyAnInvisibleDriver()) failVideo("no display to show the game on");

    const SDL_VideoInfo *info = SDL_GetVideoInfo();
    int depth = chooseDepth(info && info->vfmt ? info->vfmt->BitsPerPixel : 0);
    // The game draws itself n times larger for the desktop it finds, unless the player
    // has the SDL layer scale the window.
    const bool playerScales = window && std::getenv("SDL12COMPAT_WINDOW_SCALING") != nullptr;
    const int n = info && !playerScales ? chooseScale(info->current_w, info->current_h, window) : 1;
    SDL_Surface *surface = openGameScreen(depth, n, !window, playerScales);

    std::printf("Usando tela 640x480x%d  SWSURFACE\n", depth);
    if (window)
        std::printf("\nPara tela cheia executar o programa digitando\n"
                    "qualquer coisa ap\xF3s o nome do programa\n");
    std::fflush(stdout);
    SDL_WM_SetCaption("Ravela", nullptr);
    showCursor(false);
    initBoard(board, surface);
    srand(static_cast<uint32_t>(std::time(nullptr)));
}

} // namespace ravela
