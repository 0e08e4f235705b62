// Logical palettes: created from a LOGPALETTE, selected into device contexts
// and realised. The display is true-colour unless the palette-format hook is
// on, so realising maps every entry and changes no other window's colours.
#include "gdi_state.h"
#include "hooks_state.h"
#include "window_state.h"

#include <algorithm>

namespace zdp {
namespace {

constexpr WORD logPaletteVersion = 0x300;

HandleTable<Palette>& paletteTable() {
    static auto* table = new HandleTable<Palette>(HandleKind::Palette);
    return *table;
}

const std::vector<PALETTEENTRY>& entriesOf(HPALETTE palette) {
    if (!palette || isDefaultPalette(palette)) return defaultPaletteEntries();
    return findPalette(palette)->entries;
}

} // namespace

Palette* findPalette(HPALETTE palette) {
    return paletteTable().find(handleValue(palette));
}

HPALETTE defaultPaletteHandle() {
    return handleFrom<HPALETTE>(stockHandle(StockFamily::GdiObject, DEFAULT_PALETTE));
}

bool isDefaultPalette(HGDIOBJ object) {
    return handleValue(object) == handleValue(defaultPaletteHandle());
}

// The twenty static colours of Windows' default palette.
const std::vector<PALETTEENTRY>& defaultPaletteEntries() {
    static const std::vector<PALETTEENTRY> entries = {
        {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0},
        {192, 220, 192, 0}, {166, 202, 240, 0}, {255, 251, 240, 0}, {160, 160, 164, 0},
        {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},     {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
    };
    return entries;
}

bool deletePalette(HGDIOBJ object) {
    HPALETTE palette = reinterpret_cast<HPALETTE>(object);
    if (!paletteTable().remove(handleValue(palette))) return false;
    forgetPalette(palette);
    return true;
}

void forgetPalette(HPALETTE palette) {
    for (uintptr_t value : deviceContextTable().handles()) {
        DeviceContext* context = deviceContextTable().find(value);
        if (context->palette == palette) context->palette = nullptr;
    }
}

void deleteAllPalettes() {
    StateLock lock(stateMutex());
    for (uintptr_t value : paletteTable().handles())
        paletteTable().remove(value);
}

int livePaletteCount() {
    StateLock lock(stateMutex());
    return paletteTable().size();
}

} // namespace zdp

using namespace zdp;

HPALETTE WINAPI CreatePalette(const LOGPALETTE* logical) {
    StateLock lock(stateMutex());
    if (!logical || logical->palVersion != logPaletteVersion || logical->palNumEntries == 0) {
        setError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto palette = std::make_unique<Palette>();
    palette->entries.assign(logical->palPalEntry, logical->palPalEntry + logical->palNumEntries);
    HPALETTE handle = handleFrom<HPALETTE>(paletteTable().add(std::move(palette)));
    if (!handle) setError(ERROR_NOT_ENOUGH_MEMORY);
    return handle;
}

// Returns the palette selected before, the default palette at first.
HPALETTE WINAPI SelectPalette(HDC dc, HPALETTE palette, BOOL) {
    StateLock lock(stateMutex());
    DeviceContext* context = checkDeviceContext(dc);
    if (!context) return nullptr;
    bool isDefault = isDefaultPalette(palette);
    if (!isDefault && !findPalette(palette)) {
        setError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HPALETTE previous = context->palette ? context->palette : defaultPaletteHandle();
    context->palette = isDefault ? nullptr : palette;
    return previous;
}

UINT WINAPI RealizePalette(HDC dc) {
    StateLock lock(stateMutex());
    const DeviceContext* context = checkDeviceContext(dc);
    if (!context) return UINT(GDI_ERROR);
    return UINT(entriesOf(context->palette).size());
}

// With no buffer, tells how many entries the palette holds.
UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries) {
    StateLock lock(stateMutex());
    if (!isDefaultPalette(palette) && !findPalette(palette)) {
        setError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const std::vector<PALETTEENTRY>& all = entriesOf(palette);
    if (!entries) return UINT(all.size());
    if (start >= all.size()) return 0;
    UINT copied = std::min<UINT>(count, UINT(all.size()) - start);
    std::copy_n(all.begin() + start, copied, entries);
    return copied;
}
