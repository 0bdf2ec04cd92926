// Pretend pads for the real-window suite: preloaded below the unchanged game, this library
// answers SDL 1.2's joystick calls as if pads were plugged in, and turns the lines that the
// driver appends to a file into joystick events. RAVELA_PRETEND_PADS names the file; its
// lines are "pads N" (that many pads are plugged in from now on), "P button B" (pad P's
// button B is pressed and released) and "P axis A V" (pad P's axis A moves to V).

#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

int plugged = 0;     // pads the joystick list shows once it starts again
int listed = 0;      // pads in the list since the joystick subsystem last started
std::FILE *script;   // the driver's lines
std::string pending; // a line read only in part

template <typename Function> Function real(const char *name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void obey(const std::string &line) {
    static const auto pushEvent = real<int (*)(SDL_Event *)>("SDL_PushEvent");
    int pad = 0, which = 0, value = 0;
    char kind[16] = "";
    if (std::sscanf(line.c_str(), "pads %d", &plugged) == 1) return;
    const int fields = std::sscanf(line.c_str(), "%d %15s %d %d", &pad, kind, &which, &value);
    if (fields < 3 || pad < 0 || pad >= listed) return; // a pad the game does not know of
    const bool axis = std::strcmp(kind, "axis") == 0;
    SDL_Event events[2]{}; // an axis moves; a button goes down and up
    if (axis) {
        events[0].jaxis = {SDL_JOYAXISMOTION, Uint8(pad), Uint8(which), Sint16(value)};
    } else {
        events[0].jbutton = {SDL_JOYBUTTONDOWN, Uint8(pad), Uint8(which), SDL_PRESSED};
        events[1].jbutton = {SDL_JOYBUTTONUP, Uint8(pad), Uint8(which), SDL_RELEASED};
    }
    for (int i = 0; i < (axis ? 1 : 2); ++i)
        pushEvent(&events[i]);
}

// Reads the lines the driver has appended since the last call.
void readScript() {
    if (script == nullptr) {
        const char *path = std::getenv("RAVELA_PRETEND_PADS");
        if (path == nullptr || (script = std::fopen(path, "r")) == nullptr) return;
    }
    char buffer[256];
    std::clearerr(script);
    while (std::fgets(buffer, sizeof buffer, script) != nullptr) {
        pending += buffer;
        if (pending.back() != '\n') continue;
        obey(pending);
        pending.clear();
    }
}

} // namespace

extern "C" {

int SDL_InitSubSystem(Uint32 flags) {
    if (flags & SDL_INIT_JOYSTICK) {
        readScript();
        listed = plugged;
    }
    flags &= ~SDL_INIT_JOYSTICK;
    return flags == 0 ? 0 : real<int (*)(Uint32)>("SDL_InitSubSystem")(flags);
}

void SDL_QuitSubSystem(Uint32 flags) {
    if (flags & SDL_INIT_JOYSTICK) listed = 0;
    flags &= ~SDL_INIT_JOYSTICK;
    if (flags != 0) real<void (*)(Uint32)>("SDL_QuitSubSystem")(flags);
}

int SDL_NumJoysticks(void) {
    return listed;
}

SDL_Joystick *SDL_JoystickOpen(int device) {
    if (device < 0 || device >= listed) return nullptr;
    return reinterpret_cast<SDL_Joystick *>(static_cast<uintptr_t>(device + 1));
}

void SDL_JoystickClose(SDL_Joystick *) {}

int SDL_JoystickEventState(int state) {
    return state;
}

int SDL_PollEvent(SDL_Event *event) {
    static const auto pollEvent = real<int (*)(SDL_Event *)>("SDL_PollEvent");
    readScript();
    return pollEvent(event);
}

int SDL_WaitEvent(SDL_Event *event) {
    static const auto pollEvent = real<int (*)(SDL_Event *)>("SDL_PollEvent");
    for (;;) {
        readScript();
        if (pollEvent(event)) return 1;
        usleep(5000);
    }
}

} // extern "C"
