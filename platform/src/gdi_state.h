// Device contexts, palettes and pixel formats as the subset keeps them,
// shared by the GDI files and by WGL.
#pragma once

#include "handles.h"

#include <windows.h>

#include <vector>

namespace zdp {

struct Window;

struct DeviceContext {
    HWND window = nullptr;      // null for the screen
    HPALETTE palette = nullptr; // null while the default palette is selected
};

struct Palette {
    std::vector<PALETTEENTRY> entries;
};

HandleTable<DeviceContext>& deviceContextTable();
// Sets ERROR_INVALID_HANDLE when `dc` is not a live device context.
DeviceContext* checkDeviceContext(HDC dc);
void releaseAllDeviceContexts();
// The window behind `dc` once it has a pixel format, its handle stored in
// `handle` when given; null with ERROR_INVALID_HANDLE for a dead device
// context, ERROR_INVALID_PIXEL_FORMAT for a window without a format.
Window* formattedWindowOf(HDC dc, HWND* handle = nullptr);

Palette* findPalette(HPALETTE palette);
bool isDefaultPalette(HGDIOBJ object);
HPALETTE defaultPaletteHandle();
const std::vector<PALETTEENTRY>& defaultPaletteEntries();
bool deletePalette(HGDIOBJ object);
// Device contexts holding a deleted palette fall back to the default one.
void forgetPalette(HPALETTE palette);

// Stock objects, icons and cursors share one handle kind, told apart by generation.
enum class StockFamily : uint32_t { GdiObject = 1, Icon = 2, Cursor = 3 };
uintptr_t stockHandle(StockFamily family, uint32_t id);
bool isStockHandle(uintptr_t value);

} // namespace zdp
