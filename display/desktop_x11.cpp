// The desktop's dealings with libX11 itself: a visual that SDL can fill in software, and a
// prompt end when the X connection is lost. libX11 is opened at run time (it is the one SDL
// already uses), with its own header's types, so the game starts where there is no X.

#include <X11/Xutil.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/desktop.h"

namespace ravela {

namespace {

constexpr const char *kXlib = "libX11.so.6";

bool usesX11() {
    const char *driver = std::getenv("SDL_VIDEODRIVER");
    return std::getenv("DISPLAY") != nullptr &&
           (driver == nullptr || std::strcmp(driver, "x11") == 0);
}

int onLostConnection(Display *) {
    endForLostDisplay();
}

} // namespace

void chooseSoftwareVisual() {
    if (!usesX11() || std::getenv("SDL_VIDEO_X11_VISUALID") != nullptr) return;
    const OpenedLibrary xlib(kXlib, false);
    const auto openDisplay = xlib.find<decltype(XOpenDisplay)>("XOpenDisplay");
    const auto closeDisplay = xlib.find<decltype(XCloseDisplay)>("XCloseDisplay");
    const auto defaultScreen = xlib.find<decltype(XDefaultScreen)>("XDefaultScreen");
    const auto defaultDepth = xlib.find<decltype(XDefaultDepth)>("XDefaultDepth");
    const auto matchVisual = xlib.find<decltype(XMatchVisualInfo)>("XMatchVisualInfo");
    if (!openDisplay || !closeDisplay || !defaultScreen || !defaultDepth || !matchVisual) return;
    Display *display = openDisplay(nullptr);
    if (display == nullptr) return;
    const int screen = defaultScreen(display);
    // SDL's software path knows 15, 16, 24 and 32 bits; a deep-colour desktop of 30 would
    // otherwise send it to OpenGL (with no GPU, llvmpipe's threads and memory).
    if (defaultDepth(display, screen) == 30) {
        XVisualInfo info{};
        if (matchVisual(display, screen, 24, TrueColor, &info) ||
            matchVisual(display, screen, 32, TrueColor, &info)) {
            char id[24];
            std::snprintf(id, sizeof id, "0x%lx", info.visualid);
            setenv("SDL_VIDEO_X11_VISUALID", id, 0);
        }
    }
    closeDisplay(display);
}

void endAtOnceWhenXIsLost() {
    // Xlib's own handler exits, and the exit handlers would then spin on the dead connection.
    const OpenedLibrary xlib(kXlib, true);
    const auto setHandler = xlib.find<decltype(XSetIOErrorHandler)>("XSetIOErrorHandler");
    if (setHandler != nullptr) setHandler(onLostConnection);
}

} // namespace ravela
