// fontgen FONT.ttf OUT.tga: draws the plug-in's font image (Latin-1 codes 32
// to 255 of a monospaced TrueType font on a 16 by 16 grid of 16-pixel cells)
// and writes it as an 8-bit greyscale TGA.
#include "glyph_raster.h"
#include "tga_writer.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: fontgen FONT.ttf OUT.tga\n");
        return 2;
    }
    FontImage image;
    const std::string error = drawFontImage(argv[1], image);
    if (!error.empty()) {
        std::fprintf(stderr, "fontgen: %s\n", error.c_str());
        return 1;
    }
    if (!writeGreyscaleTga(image, argv[2])) {
        std::fprintf(stderr, "fontgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
