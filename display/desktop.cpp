// The X desktop's visual, the watch for a lost display, and whole-number scaling. libX11
// and SDL 2 are opened at run time rather than linked, so the game builds without their
// headers and starts where there is no X at all; only the few calls and the one record
// used here are declared, as Xlib and SDL 2 define them.

#include "display/desktop.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <SDL.h>

#include "display/surface.h"

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

// The compositor's socket, as libwayland-client finds it; empty when not on Wayland.
sockaddr_un compositor{};

void rememberCompositor() {
    const char *name = std::getenv("WAYLAND_DISPLAY");
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string path = name != nullptr ? name : "wayland-0";
    if (path.front() != '/') path = std::string(runtime != nullptr ? runtime : "") + "/" + path;
    if (path.size() >= sizeof compositor.sun_path) return;
    compositor.sun_family = AF_UNIX;
    std::memcpy(compositor.sun_path, path.c_str(), path.size() + 1);
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
    char driver[32] = "";
    if (SDL_VideoDriverName(driver, sizeof driver) == nullptr) return;
    if (std::strcmp(driver, "wayland") == 0) {
        rememberCompositor();
        return;
    }
    if (std::strcmp(driver, "x11") != 0) return;
    void *xlib = dlopen("libX11.so.6", RTLD_LAZY | RTLD_NOLOAD);
    if (xlib == nullptr) return;
    using IoErrorHandler = int (*)(void *);
    using SetIoErrorHandler = IoErrorHandler (*)(IoErrorHandler);
    const auto setHandler = reinterpret_cast<SetIoErrorHandler>(dlsym(xlib, "XSetIOErrorHandler"));
    if (setHandler != nullptr) setHandler(onDisplayLost);
    dlclose(xlib);
}

void endIfDisplayLost() {
    if (compositor.sun_family != AF_UNIX) return;
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    const bool answers =
        connect(fd, reinterpret_cast<const sockaddr *>(&compositor), sizeof compositor) == 0;
    close(fd);
    if (!answers) onDisplayLost(nullptr);
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

namespace {

// The leading fields of SDL 2's records that are read here, as SDL 2 lays them out.
struct Sdl2Format {
    uint32_t format;
    void *palette;
    uint8_t bitsPerPixel, bytesPerPixel, padding[2];
    uint32_t redMask, greenMask, blueMask;
};
struct Sdl2Surface {
    uint32_t flags;
    Sdl2Format *format;
    int w, h, pitch;
    void *pixels;
};
struct Sdl2Rect {
    int x, y, w, h;
};
struct Sdl2RendererInfo {
    const char *name;
    uint32_t flags, textureFormatCount, textureFormats[16];
    int maxTextureWidth, maxTextureHeight;
};

// SDL 2's window and the two calls that put pixels on it; no window when the game leaves
// presenting to the SDL layer.
struct DirectPresent {
    void *window;
    Sdl2Surface *(*windowSurface)(void *);
    int (*updateRects)(void *, const Sdl2Rect *, int);
} direct{};

} // namespace

void presentDirectlyWhenScaled(SDL_Surface *surface) {
    // The SDL 1.2 layer presents its whole window for every rectangle it is given: at n
    // times 640x480 that costs n squared as much. Where SDL 2 draws the window in software
    // on X, the window's own surface holds what the window shows, and the game can copy a
    // changed rectangle there and send that alone.
    using GetWindow = void *(*)();
    using GetRenderer = void *(*)(void *);
    using GetRendererInfo = int (*)(void *, Sdl2RendererInfo *);
    char driver[32] = "";
    const auto getWindow =
        reinterpret_cast<GetWindow>(dlsym(RTLD_DEFAULT, "SDL12COMPAT_GetWindow"));
    void *sdl2 = dlopen("libSDL2-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (pixelScale(surface) == 1 || getWindow == nullptr || sdl2 == nullptr ||
        SDL_VideoDriverName(driver, sizeof driver) == nullptr || std::strcmp(driver, "x11") != 0)
        return;
    const auto getRenderer = reinterpret_cast<GetRenderer>(dlsym(sdl2, "SDL_GetRenderer"));
    const auto getInfo = reinterpret_cast<GetRendererInfo>(dlsym(sdl2, "SDL_GetRendererInfo"));
    DirectPresent found{
        getWindow(),
        reinterpret_cast<Sdl2Surface *(*)(void *)>(dlsym(sdl2, "SDL_GetWindowSurface")),
        reinterpret_cast<int (*)(void *, const Sdl2Rect *, int)>(
            dlsym(sdl2, "SDL_UpdateWindowSurfaceRects"))};
    void *renderer = found.window && getRenderer ? getRenderer(found.window) : nullptr;
    Sdl2RendererInfo info{};
    if (renderer == nullptr || getInfo == nullptr || found.windowSurface == nullptr ||
        found.updateRects == nullptr || getInfo(renderer, &info) != 0 || info.name == nullptr ||
        std::strcmp(info.name, "software") != 0)
        return;
    const Sdl2Surface *target = found.windowSurface(found.window);
    const SDL_PixelFormat *format = surface->format;
    if (target != nullptr && target->w == surface->w && target->h == surface->h &&
        target->format->bytesPerPixel == format->BytesPerPixel &&
        target->format->redMask == format->Rmask && target->format->greenMask == format->Gmask &&
        target->format->blueMask == format->Bmask)
        direct = found;
}

bool presentDirectly(SDL_Surface *surface, int x, int y, int w, int h) {
    if (direct.window == nullptr) return false;
    Sdl2Surface *target = direct.windowSurface(direct.window);
    if (target == nullptr || target->w != surface->w || target->h != surface->h) return false;
    if (x == 0 && y == 0 && w == 0 && h == 0) {
        w = surface->w;
        h = surface->h;
    }
    x = std::max(x, 0);
    y = std::max(y, 0);
    w = std::min(w, surface->w - x);
    h = std::min(h, surface->h - y);
    if (w <= 0 || h <= 0) return true;
    const int bytesPerPixel = surface->format->BytesPerPixel;
    for (int row = y; row < y + h; ++row)
        std::memcpy(static_cast<uint8_t *>(target->pixels) + row * target->pitch +
                        x * bytesPerPixel,
                    static_cast<const uint8_t *>(surface->pixels) + row * surface->pitch +
                        x * bytesPerPixel,
                    static_cast<size_t>(w * bytesPerPixel));
    const Sdl2Rect rect{x, y, w, h};
    direct.updateRects(direct.window, &rect, 1);
    return true;
}

} // namespace ravela
