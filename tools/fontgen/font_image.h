// The font image the generator fills: 16 by 16 cells of 16 by 16 pixels,
// 8-bit coverage, stored top-down in memory (row 0 is the top of the picture).
#pragma once

#include <vector>

constexpr int cellPixels = 16;
constexpr int gridCells = 16;
constexpr int imagePixels = cellPixels * gridCells;
// Empty texels kept around every glyph, so that linear filtering at a cell's
// border never picks up ink from the neighbouring cell.
constexpr int cellMargin = 1;

struct FontImage {
    std::vector<unsigned char> coverage = std::vector<unsigned char>(imagePixels * imagePixels, 0);

    unsigned char& at(int x, int y) { return coverage[y * imagePixels + x]; }
};
