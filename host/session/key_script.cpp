#include "session/key_script.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace {
struct KeyName {
    const char* name;
    std::uint32_t virtualKey;
    std::uint32_t scanCode;
    bool extended;
};

// Virtual-key codes and the PC keyboard's scan codes for the keys the plug-in reads.
const KeyName keyNames[] = {
    {"A", 0x41, 0x1E, false},    {"B", 0x42, 0x30, false},   {"C", 0x43, 0x2E, false},
    {"D", 0x44, 0x20, false},    {"H", 0x48, 0x23, false},   {"F2", 0x71, 0x3C, false},
    {"F3", 0x72, 0x3D, false},   {"LEFT", 0x25, 0x4B, true}, {"UP", 0x26, 0x48, true},
    {"RIGHT", 0x27, 0x4D, true}, {"DOWN", 0x28, 0x50, true},
};

const KeyName* findKey(std::string name) {
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const KeyName& key : keyNames)
        if (name == key.name) return &key;
    return nullptr;
}

// Key data as Windows packs it: repeat count 1, scan code, extended flag,
// previous key state (bit 30) and transition state (bit 31).
std::uint32_t keyData(const KeyName& key, bool wasDown, bool releasing) {
    std::uint32_t data = 1 | (key.scanCode << 16) | (key.extended ? 1u << 24 : 0);
    if (wasDown) data |= 1u << 30;
    if (releasing) data |= 1u << 31;
    return data;
}

void addPress(const KeyName& key, long long time, long long holdMs,
              std::vector<InputEvent>& events) {
    events.push_back({time, InputKind::keyDown, key.virtualKey, keyData(key, false, false)});
    for (long long t = keyRepeatDelayMs; t < holdMs; t += keyRepeatIntervalMs)
        events.push_back({time + t, InputKind::keyDown, key.virtualKey, keyData(key, true, false)});
    events.push_back({time + holdMs, InputKind::keyUp, key.virtualKey, keyData(key, true, true)});
}

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

bool parseCoordinate(const std::string& text, std::uint32_t& value) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    long parsed = std::strtol(text.c_str(), nullptr, 10);
    if (parsed > 0xFFFF) return false;
    value = static_cast<std::uint32_t>(parsed);
    return true;
}
} // namespace

bool parseTimeMs(const std::string& text, long long& ms) {
    std::string number = text;
    double scale = 1000.0;
    if (number.size() > 2 && number.compare(number.size() - 2, 2, "ms") == 0) {
        number.resize(number.size() - 2);
        scale = 1.0;
    } else if (!number.empty() && number.back() == 's') {
        number.pop_back();
    }
    // Digits with at most one point: no signs, exponents or hexadecimal.
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
        number.find('.') != number.rfind('.') || number == ".")
        return false;
    char* end = nullptr;
    double value = std::strtod(number.c_str(), &end);
    if (*end != '\0' || value < 0.0 || value * scale > 1e12) return false;
    ms = static_cast<long long>(value * scale + 0.5);
    return true;
}

bool parseKeyOption(const std::string& text, std::vector<InputEvent>& events, std::string& error) {
    std::vector<std::string> parts = split(text, ':');
    long long time = 0;
    long long hold = keyTapMs;
    const KeyName* key = parts.size() >= 2 && parts.size() <= 3 ? findKey(parts[1]) : nullptr;
    if (parts.size() < 2 || parts.size() > 3 || !parseTimeMs(parts[0], time) || !key ||
        (parts.size() == 3 && (!parseTimeMs(parts[2], hold) || hold == 0))) {
        error = "bad --key '" + text +
                "': expected TIME:KEY or TIME:KEY:HOLD with KEY one of A B C D H F2 F3 LEFT "
                "RIGHT UP DOWN (e.g. 5s:B, 12s:UP:1.5s)";
        return false;
    }
    if (hold > keyHoldLimitMs) {
        error = "bad --key '" + text + "': a key is held for 10 minutes at most";
        return false;
    }
    addPress(*key, time, hold, events);
    return true;
}

bool parseClickOption(const std::string& text, std::vector<InputEvent>& events,
                      std::string& error) {
    std::vector<std::string> parts = split(text, ':');
    std::vector<std::string> point = parts.size() == 2 ? split(parts[1], ',') : parts;
    long long time = 0;
    std::uint32_t x = 0, y = 0;
    if (parts.size() != 2 || point.size() != 2 || !parseTimeMs(parts[0], time) ||
        !parseCoordinate(point[0], x) || !parseCoordinate(point[1], y)) {
        error = "bad --click '" + text + "': expected TIME:X,Y (e.g. 12s:300,51)";
        return false;
    }
    const std::uint32_t leftButton = 0x0001; // MK_LBUTTON
    events.push_back({time, InputKind::buttonDown, leftButton, (y << 16) | x});
    events.push_back({time, InputKind::buttonUp, 0, (y << 16) | x});
    return true;
}

void sortInputEvents(std::vector<InputEvent>& events) {
    std::stable_sort(events.begin(), events.end(),
                     [](const InputEvent& a, const InputEvent& b) { return a.timeMs < b.timeMs; });
}
