#pragma once

#include "font_image.h"

#include <string>

// Draws Latin-1 codes 32 to 255 of the TrueType font at fontPath into the
// image's cells (code c in column c % 16, row c / 16 from the top). Codes
// without a glyph in the font, the control codes among them, stay blank.
// Returns an empty string on success, else one line saying what failed.
std::string drawFontImage(const char* fontPath, FontImage& image);
