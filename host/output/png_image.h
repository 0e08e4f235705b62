// Writing one captured frame as an 8-bit RGB PNG (the alpha byte of the
// capture carries nothing a window shows, so it is dropped).
#pragma once

#include <string>

bool writePngImage(const std::string& path, const unsigned char* rgba, int width, int height,
                   std::string& error);
