// X key events to Windows' virtual-key codes and key data. The key is named
// by its unshifted key symbol, so the layout decides which letter a key is;
// the scan code is the PC keyboard's for that virtual key, not the server's
// key code, which differs between servers.
#include "x11_state.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

namespace zdp {
namespace {

struct KeyEntry {
    KeySym symbol;
    WPARAM key;
};

const KeyEntry namedKeys[] = {
    {XK_Left, VK_LEFT},         {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},       {XK_Down, VK_DOWN},
    {XK_space, VK_SPACE},       {XK_Escape, VK_ESCAPE},
    {XK_Return, VK_RETURN},     {XK_KP_Enter, VK_RETURN},
    {XK_BackSpace, VK_BACK},    {XK_Tab, VK_TAB},
    {XK_Shift_L, VK_SHIFT},     {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL}, {XK_Control_R, VK_CONTROL},
    {XK_Alt_L, VK_MENU},        {XK_Alt_R, VK_MENU},
    {XK_Prior, VK_PRIOR},       {XK_Next, VK_NEXT},
    {XK_Home, VK_HOME},         {XK_End, VK_END},
    {XK_Delete, VK_DELETE},
};

struct ScanEntry {
    WPARAM key;
    unsigned scanCode;
    bool extended;
};

// PC scan codes (set 1) of the keys that have no run of codes of their own.
const ScanEntry scanCodes[] = {
    {VK_ESCAPE, 0x01, false}, {VK_BACK, 0x0E, false},    {VK_TAB, 0x0F, false},
    {VK_RETURN, 0x1C, false}, {VK_CONTROL, 0x1D, false}, {VK_SHIFT, 0x2A, false},
    {VK_MENU, 0x38, false},   {VK_SPACE, 0x39, false},   {VK_F11, 0x57, false},
    {VK_F12, 0x58, false},    {VK_HOME, 0x47, true},     {VK_UP, 0x48, true},
    {VK_PRIOR, 0x49, true},   {VK_LEFT, 0x4B, true},     {VK_RIGHT, 0x4D, true},
    {VK_END, 0x4F, true},     {VK_DOWN, 0x50, true},     {VK_NEXT, 0x51, true},
    {VK_DELETE, 0x53, true},
};

// Letter scan codes in alphabetical order, as the keyboard's rows scatter them.
const unsigned char letterScanCodes[26] = {
    0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C,
};

ScanEntry scanCodeFor(WPARAM key) {
    if (key >= 'A' && key <= 'Z') return {key, letterScanCodes[key - 'A'], false};
    if (key >= '1' && key <= '9') return {key, unsigned(0x02 + key - '1'), false};
    if (key == '0') return {key, 0x0B, false};
    if (key >= VK_F1 && key <= VK_F10) return {key, unsigned(0x3B + key - VK_F1), false};
    for (const ScanEntry& entry : scanCodes)
        if (entry.key == key) return entry;
    return {key, 0, false};
}

} // namespace

WPARAM virtualKeyFor(XKeyEvent& event) {
    KeySym symbol = XLookupKeysym(&event, 0);
    if (symbol >= XK_a && symbol <= XK_z) return WPARAM('A' + (symbol - XK_a));
    if (symbol >= XK_A && symbol <= XK_Z) return WPARAM('A' + (symbol - XK_A));
    if (symbol >= XK_0 && symbol <= XK_9) return WPARAM('0' + (symbol - XK_0));
    if (symbol >= XK_F1 && symbol <= XK_F12) return WPARAM(VK_F1 + (symbol - XK_F1));
    for (const KeyEntry& entry : namedKeys)
        if (entry.symbol == symbol) return entry.key;
    return 0;
}

LPARAM keyDataFor(WPARAM key, bool altDown, bool wasDown, bool release) {
    ScanEntry scan = scanCodeFor(key);
    uint32_t data = 1 | (scan.scanCode << 16);
    if (scan.extended) data |= 1u << 24;
    if (altDown) data |= 1u << 29;
    if (wasDown) data |= 1u << 30;
    if (release) data |= 1u << 31;
    return LPARAM(data);
}

} // namespace zdp
