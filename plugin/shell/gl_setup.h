// The render window's pixel format, palette and the GL state every frame
// starts from. All of it runs inside the window's creation message.
#pragma once

#include <windows.h>

// The request: double-buffered RGBA for a window, 16 colour and 16 depth bits.
PIXELFORMATDESCRIPTOR pixelFormatRequest();
// Chooses and sets the format; on failure shows an error box and returns false.
bool setupPixelFormat(HDC dc);
// Builds, selects and realises a logical palette when the set format needs one.
void setupPalette(HDC dc);
void reselectPalette();
// The palette entry for colour index i of a palette format.
PALETTEENTRY paletteEntryFor(int index, const PIXELFORMATDESCRIPTOR& format);
// Entries a palette format gets: 2^colour bits, at most 256.
int paletteSizeFor(const PIXELFORMATDESCRIPTOR& format);

void initGLState();
void setViewport(int width, int height);

// Where fontGray.tga is read from: beside the plug-in library when it is
// there, else under the host's default plug-in folder.
const char* pluginFontPath();
