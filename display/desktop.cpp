// The X desktop's visual and the watch for a lost display. libX11 is opened at run time
// rather than linked, so the game builds without its headers and starts where there is
// no X at all; only the few calls and the one record used here are declared, as Xlib
// defines them.

#include "display/desktop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace ravela {

namespace {

struct XVisualInfo {
    void *visual;
    unsigned long visualid;
    int screen;
    int depth;
    int colourClass;
    unsigned long redMask, greenMask, blueMask;
    int colormapSize;
    int bitsPerRgb;
};
constexpr int kTrueColor = 4;

bool usesX11() {
    const char *driver = std::getenv("SDL_VIDEODRIVER");
    return std::getenv("DISPLAY") != nullptr &&
           (driver == nullptr || std::strcmp(driver, "x11") == 0);
}

int onDisplayLost(void *) {
    std::fputs("Conexao com a tela perdida\n", stderr);
    std::_Exit(1);
}

} // namespace

void chooseWindowVisual() {
    if (!usesX11() || std::getenv("SDL_VIDEO_X11_VISUALID") != nullptr) return;
    void *xlib = dlopen("libX11.so.6", RTLD_LAZY);
    if (xlib == nullptr) return;
    using OpenDisplay = void *(*)(const char *);
    using CloseDisplay = int (*)(void *);
    using ScreenQuery = int (*)(void *, int);
    using DefaultScreen = int (*)(void *);
    using MatchVisualInfo = int (*)(void *, int, int, int, XVisualInfo *);
    const auto openDisplay = reinterpret_cast<OpenDisplay>(dlsym(xlib, "XOpenDisplay"));
    const auto closeDisplay = reinterpret_cast<CloseDisplay>(dlsym(xlib, "XCloseDisplay"));
    const auto defaultScreen = reinterpret_cast<DefaultScreen>(dlsym(xlib, "XDefaultScreen"));
    const auto defaultDepth = reinterpret_cast<ScreenQuery>(dlsym(xlib, "XDefaultDepth"));
    const auto matchVisual = reinterpret_cast<MatchVisualInfo>(dlsym(xlib, "XMatchVisualInfo"));
    void *display = openDisplay && closeDisplay && defaultScreen && defaultDepth && matchVisual
                        ? openDisplay(nullptr)
                        : nullptr;
    if (display != nullptr) {
        const int screen = defaultScreen(display);
        // SDL's software path knows 15, 16, 24 and 32 bits; a deep-colour desktop of 30
        // would otherwise send it to OpenGL (with no GPU, llvmpipe's threads and memory).
        if (defaultDepth(display, screen) == 30) {
            XVisualInfo info{};
            if (matchVisual(display, screen, 24, kTrueColor, &info) ||
                matchVisual(display, screen, 32, kTrueColor, &info)) {
                char id[24];
                std::snprintf(id, sizeof id, "0x%lx", info.visualid);
                setenv("SDL_VIDEO_X11_VISUALID", id, 0);
            }
        }
        closeDisplay(display);
    }
    dlclose(xlib);
}

void watchForDisplayLoss() {
    void *xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr) return;
    using IoErrorHandler = int (*)(void *);
    using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);
    const auto setHandler = reinterpret_cast<SetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (setHandler != nullptr) setHandler(onDisplayLost);
    dlclose(xlib);
}

void keepWholePixelScale() {
    // The SDL 1.2 compatibility layer letterboxes a full-screen mode through an SDL 2
    // renderer; SDL 2 can hold that renderer to whole-number scales.
    using GetWindow = void *(*)();
    using GetRenderer = void *(*)(void *);
    using SetIntegerScale = int (*)(void *, int);
    const auto getWindow =
        reinterpret_cast<GetWindow>(dlsym(RTLD_DEFAULT, "SDL12COMPAT_GetWindow"));
    void *sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (getWindow == nullptr || sdl2 == nullptr) {
        if (sdl2 != nullptr) dlclose(sdl2);
        return;
    }
    const auto getRenderer = reinterpret_cast<GetRenderer>(dlsym(sdl2, "SDL_GetRenderer"));
    const auto setIntegerScale =
        reinterpret_cast<SetIntegerScale>(dlsym(sdl2, "SDL_RenderSetIntegerScale"));
    void *window = getWindow();
    void *renderer = window && getRenderer ? getRenderer(window) : nullptr;
    if (renderer != nullptr && setIntegerScale != nullptr) setIntegerScale(renderer, 1);
    dlclose(sdl2);
}

} // namespace ravela
