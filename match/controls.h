// The game's controls: the one place where SDL's events become what the game hears. Every
// screen and the match read these words, never SDL events; the steering keys and the pads
// live here, and quit requests and exposes are handled here the same way for all of them.
#pragma once

#include <cstdint>

#include "snakes/snake.h"

union SDL_Event;
struct _SDL_Joystick;

namespace ravela {

// Where the pointer is, in game pixels (640x480 however large the window).
struct PointerPosition {
    int x; // game pixels from the left edge of the screen
    int y; // game pixels from the top edge
};

// What an event says. One event may say several things (Return confirms on a menu and
// pauses a match); each screen listens for the words it knows.
enum Word : uint16_t {
    kSteer = 1 << 0,         // a player asks for a direction: arrows, W/A/S/D, I/J/K/L, a pad
    kMoveSelection = 1 << 1, // a menu's selection moves on: the arrows, Tab, a pad's directions
    kConfirm = 1 << 2,       // Return, the keypad's Enter, a pad's A
    kPause = 1 << 3,         // Return, a pad's Start: pause or resume the match
    kLeave = 1 << 4,         // Escape, a pad's Back: end the match, or the program from the title
    kBack = 1 << 5,          // Escape, a pad's B or Back: from the count screen to the title
    kDigit = 1 << 6,         // a digit key 0..9
    kPageTurn = 1 << 7,      // any key or button pressed: the manual turns its page
    kPointerMove = 1 << 8,   // the pointer moved (or SDL repeated where it is)
    kPointerPress = 1 << 9,  // a mouse button went down: left, middle or right, not the wheel
    kQuit = 1 << 10,         // the window is closed: the program ends
    kExpose = 1 << 11,       // the window must be shown again
    kFocusChange = 1 << 12,  // the window gained or lost the keyboard focus, or was hidden
    kTap = 1 << 13,          // a finger tapped the screen: the pointer lands there and presses
};

// One event in the game's words.
struct Input {
    uint16_t words;          // the Word bits the event says; 0 for events the game ignores
    int8_t player;           // kSteer: the player 0..2 it steers
    int8_t direction;        // kSteer, kMoveSelection: kUp..kRight; kNoDirection for Tab
    int8_t digit;            // kDigit: 0..9
    bool fromPad;            // said by a pad (player's), not by the keyboard or the pointer
    PointerPosition pointer; // kPointerMove, kTap: where the pointer is now
    // Whether the event says that word.
    bool has(Word word) const { return (words & word) != 0; }
};

// The pads, one for each player in the order the platform numbers them.
struct Pads {
    _SDL_Joystick *opened[kPlayerCount]; // player p's pad as SDL opened it, or null
    int device[kPlayerCount];            // the platform's number for player p's pad; -1 none
    int stick[kPlayerCount][2];          // where its left stick last was along x and y
    int8_t stickDirection[kPlayerCount]; // what the stick last asked for; none once centred
};
extern Pads pads;

// Closes the pads and opens those present now, for players 1 to 3 in the platform's
// order; a fourth is left alone. Without joystick support there are simply none. With
// lookForNew, a pad not listed yet may make itself known for the next opening (see
// restartPads).
void openPads(bool lookForNew = false);
// Closes every pad; their events then say nothing.
void closePads();
// What one event says, with nothing done about it beyond following the pads' sticks.
Input readEvent(const SDL_Event &event);
// The next queued event in words, without waiting; false when the queue is empty. An
// expose shows the screen again and a quit request ends the program with status 0.
bool pollWords(Input &input);
// Waits for the next event in words; false when the event queue failed. An expose
// shows the screen again and a quit request ends the program with status 0.
bool waitWords(Input &input);
// The pointer's position as SDL knows it now.
PointerPosition pointerNow();

// Input that a page hands the game, put into SDL's event queue so that it reaches the
// screens and the match in order with the rest.
// Player p's key for that direction, pressed: the same as the key itself.
void queueSteer(int8_t player, int8_t direction);
// Return pressed: what the page's "Pausa" button does.
void queueReturn();
// Escape pressed: what the page's "Sair" button does.
void queueEscape();
// A tap at the game pixel (x, y): the pointer lands there and presses, however it came
// before, so a tap where the pointer already rests acts there too.
void queueTap(int x, int y);

} // namespace ravela
