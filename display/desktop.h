// Inside the desktop platform: the work done through the libraries below SDL 1.2, libX11
// and SDL 2, each in a file of its own that includes the library's own headers. They meet
// platform_desktop.cpp through the plain types here. Both libraries are opened at run time
// rather than linked, so that the game starts where there is no X at all.
#pragma once

#include <cstdint>
#include <dlfcn.h>

namespace ravela {

// A library opened at run time for the length of one call: only if it is already loaded
// when noLoad, so that nothing is brought in that SDL did not bring.
class OpenedLibrary {
  public:
    OpenedLibrary(const char *name, bool noLoad)
        : library(dlopen(name, RTLD_LAZY | (noLoad ? RTLD_NOLOAD : 0))) {}
    ~OpenedLibrary() {
        if (library != nullptr) dlclose(library);
    }
    OpenedLibrary(const OpenedLibrary &) = delete;
    OpenedLibrary &operator=(const OpenedLibrary &) = delete;
    // The library's function of that name, typed as its own header declares it (the
    // function's type is given as decltype of its declaration); null if absent.
    template <typename Function> Function *find(const char *name) const {
        return library != nullptr ? reinterpret_cast<Function *>(dlsym(library, name)) : nullptr;
    }

  private:
    void *library;
};

// A rectangle of window pixels.
struct PixelRect {
    int x, y, w, h;
};

// The screen surface's pixels as SDL 1.2 holds them.
struct ScreenPixels {
    uint8_t *pixels;
    int w, h, pitch, bytesPerPixel;
    uint32_t redMask, greenMask, blueMask;
};

// Prints that the display is gone and ends the program with status 1 at once, without the
// exit handlers (which would wait on the dead connection).
[[noreturn]] void endForLostDisplay();

// libX11 (desktop_x11.cpp). Before SDL starts: on an X desktop whose depth SDL cannot draw
// into in software (30 bits), asks SDL for a 24- or 32-bit visual of the same screen.
void chooseSoftwareVisual();
// Once SDL's window is open on X: a lost X connection ends the program at once.
void endAtOnceWhenXIsLost();

// SDL 2 below sdl12-compat (desktop_sdl2.cpp). Where the SDL layer scales the picture to
// its window, holds it to whole-number scales.
void keepWholePixelScale();
// Where SDL 2 draws this screen's window in software, takes over presenting it, so that a
// changed rectangle is sent alone rather than the whole window; false when it cannot.
bool presentDirectlyFrom(const ScreenPixels &screen);
// Sends those rectangles of the screen to the window in one go; false when the SDL layer
// presents instead.
bool presentDirectly(const ScreenPixels &screen, const PixelRect *rects, int count);
// On Wayland: whether the connection to the compositor has failed. SDL reports a lost
// compositor as a quit request.
bool waylandConnectionLost();

} // namespace ravela
