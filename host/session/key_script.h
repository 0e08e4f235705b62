// Scripted input for a render: key presses and clicks at given times,
// written on the command line as
//   --key TIME:KEY        a press: key down, released 100 ms later
//   --key TIME:KEY:HOLD   held for HOLD, auto-repeating like a keyboard
//                         (first repeat after 500 ms, then every 33 ms)
//   --click TIME:X,Y      left button down and up at client pixel (X, Y)
// TIME and HOLD are seconds ("5", "2.5s") or milliseconds ("250ms"), counted
// from the first rendered frame. KEY is one of A B C D H F2 F3 LEFT RIGHT UP
// DOWN (letters in either case). Each event becomes the window message a
// keyboard or mouse would produce, posted to the plug-in's window before the
// first frame at or after its time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class InputKind { keyDown, keyUp, buttonDown, buttonUp };

struct InputEvent {
    long long timeMs;
    InputKind kind;
    std::uint32_t wParam; // virtual-key code, or the mouse button state
    std::uint32_t lParam; // key data (repeat count, scan code, flags), or y << 16 | x
};

constexpr int keyTapMs = 100;
constexpr int keyRepeatDelayMs = 500;
constexpr int keyRepeatIntervalMs = 33;
// Each repeat of a held key is one event, so holds are kept to a sensible length.
constexpr long long keyHoldLimitMs = 10 * 60 * 1000;

// "5", "5s", "2.5s", "250ms"; non-negative.
bool parseTimeMs(const std::string& text, long long& ms);

bool parseKeyOption(const std::string& text, std::vector<InputEvent>& events, std::string& error);
bool parseClickOption(const std::string& text, std::vector<InputEvent>& events, std::string& error);

// Events in the order they are delivered: by time, then as they were given.
void sortInputEvents(std::vector<InputEvent>& events);
