#pragma once

#include "font_image.h"

// Writes the image as an uncompressed greyscale TGA (image type 3, 8 bits per
// pixel, no image ID), rows bottom-up as TGA readers expect by default.
// Returns false when the file cannot be written.
bool writeGreyscaleTga(const FontImage& image, const char* path);
