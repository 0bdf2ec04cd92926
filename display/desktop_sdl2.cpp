// The desktop's dealings with SDL 2, which sdl12-compat draws through: whole-number scaling
// of a scaled picture, the game's own present of a large window drawn in software, and the
// state of a Wayland connection. SDL 2 and libwayland-client are reached only where they
// are already loaded, with their own headers' types; sdl12-compat names its SDL 2 window.

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <wayland-client-core.h>

#include "display/desktop.h"

namespace ravela {

namespace {

constexpr const char *kSdl2 = "libSDL2-2.0.so.0";

// The SDL 2 window that sdl12-compat shows the screen in; null under another SDL 1.2.
SDL_Window *compatWindow() {
    using GetWindow = SDL_Window *(void);
    const auto getWindow =
        reinterpret_cast<GetWindow *>(dlsym(RTLD_DEFAULT, "SDL12COMPAT_GetWindow"));
    return getWindow != nullptr ? getWindow() : nullptr;
}

// SDL 2's window and the two calls that put pixels on it; no window while the SDL layer
// presents.
struct DirectPresent {
    SDL_Window *window;
    decltype(SDL_GetWindowSurface) *windowSurface;
    decltype(SDL_UpdateWindowSurfaceRects) *updateRects;
} direct{};

// The name of SDL 2's video driver ("x11", "wayland"); empty without SDL 2.
const char *sdl2DriverName() {
    const OpenedLibrary sdl2(kSdl2, true);
    const auto driver = sdl2.find<decltype(SDL_GetCurrentVideoDriver)>("SDL_GetCurrentVideoDriver");
    const char *name = driver != nullptr ? driver() : nullptr;
    return name != nullptr ? name : "";
}

} // namespace

void keepWholePixelScale() {
    // sdl12-compat letterboxes a full-screen mode through an SDL 2 renderer; SDL 2 can hold
    // that renderer to whole-number scales.
    const OpenedLibrary sdl2(kSdl2, true);
    const auto getRenderer = sdl2.find<decltype(SDL_GetRenderer)>("SDL_GetRenderer");
    const auto integerScale =
        sdl2.find<decltype(SDL_RenderSetIntegerScale)>("SDL_RenderSetIntegerScale");
    SDL_Window *window = compatWindow();
    SDL_Renderer *renderer = window && getRenderer ? getRenderer(window) : nullptr;
    if (renderer != nullptr && integerScale != nullptr) integerScale(renderer, SDL_TRUE);
}

bool presentDirectlyFrom(const ScreenPixels &screen) {
    // sdl12-compat presents its whole window for every rectangle it is given: at n times
    // 640x480 that costs n squared as much. Where SDL 2 draws the window in software on X,
    // the window's own surface holds what the window shows, and the game can copy the
    // changed rectangles there and send those alone.
    const OpenedLibrary sdl2(kSdl2, true);
    const auto getRenderer = sdl2.find<decltype(SDL_GetRenderer)>("SDL_GetRenderer");
    const auto getInfo = sdl2.find<decltype(SDL_GetRendererInfo)>("SDL_GetRendererInfo");
    DirectPresent found{
        compatWindow(), sdl2.find<decltype(SDL_GetWindowSurface)>("SDL_GetWindowSurface"),
        sdl2.find<decltype(SDL_UpdateWindowSurfaceRects)>("SDL_UpdateWindowSurfaceRects")};
    if (std::strcmp(sdl2DriverName(), "x11") != 0 || found.window == nullptr ||
        getRenderer == nullptr || getInfo == nullptr || found.windowSurface == nullptr ||
        found.updateRects == nullptr)
        return false;
    SDL_Renderer *renderer = getRenderer(found.window);
    SDL_RendererInfo info{};
    if (renderer == nullptr || getInfo(renderer, &info) != 0 || info.name == nullptr ||
        std::strcmp(info.name, "software") != 0)
        return false;
    const SDL_Surface *target = found.windowSurface(found.window);
    if (target == nullptr || target->w != screen.w || target->h != screen.h ||
        target->format->BytesPerPixel != screen.bytesPerPixel ||
        target->format->Rmask != screen.redMask || target->format->Gmask != screen.greenMask ||
        target->format->Bmask != screen.blueMask)
        return false;
    direct = found;
    return true;
}

bool presentDirectly(const ScreenPixels &screen, const PixelRect *rects, int count) {
    if (direct.window == nullptr) return false;
    SDL_Surface *target = direct.windowSurface(direct.window);
    if (target == nullptr || target->w != screen.w || target->h != screen.h) return false;
    constexpr int kMostRects = 64;
    SDL_Rect sent[kMostRects];
    int sending = 0;
    for (int i = 0; i < count; ++i) {
        const int x = std::max(rects[i].x, 0), y = std::max(rects[i].y, 0);
        const int w = std::min(rects[i].x + rects[i].w, screen.w) - x;
        const int h = std::min(rects[i].y + rects[i].h, screen.h) - y;
        if (w <= 0 || h <= 0) continue;
        const size_t bytes = static_cast<size_t>(w) * screen.bytesPerPixel;
        for (int row = y; row < y + h; ++row)
            std::memcpy(static_cast<uint8_t *>(target->pixels) + row * target->pitch +
                            x * screen.bytesPerPixel,
                        screen.pixels + row * screen.pitch + x * screen.bytesPerPixel, bytes);
        sent[sending++] = SDL_Rect{x, y, w, h};
        if (sending == kMostRects) {
            direct.updateRects(direct.window, sent, sending);
            sending = 0;
        }
    }
    if (sending > 0) direct.updateRects(direct.window, sent, sending);
    return true;
}

bool waylandConnectionLost() {
    const OpenedLibrary sdl2(kSdl2, true);
    const OpenedLibrary wayland("libwayland-client.so.0", true);
    const auto getInfo = sdl2.find<decltype(SDL_GetWindowWMInfo)>("SDL_GetWindowWMInfo");
    const auto displayError = wayland.find<decltype(wl_display_get_error)>("wl_display_get_error");
    const auto roundtrip = wayland.find<decltype(wl_display_roundtrip)>("wl_display_roundtrip");
    SDL_Window *window = compatWindow();
    if (window == nullptr || getInfo == nullptr || displayError == nullptr || roundtrip == nullptr)
        return false;
    SDL_SysWMinfo info{};
    SDL_VERSION(&info.version);
    if (!getInfo(window, &info) || info.subsystem != SDL_SYSWM_WAYLAND) return false;
    // A connection that failed keeps its error; one that still looks sound is asked for an
    // answer, which a compositor that went away cannot give.
    wl_display *display = info.info.wl.display;
    return display == nullptr || displayError(display) != 0 || roundtrip(display) < 0;
}

} // namespace ravela
