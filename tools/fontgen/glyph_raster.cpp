#include "glyph_raster.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace {

constexpr int firstCode = 32;
constexpr int lastCode = 255;
constexpr int innerPixels = cellPixels - 2 * cellMargin;
// Pixels of the cell that one advance of the monospaced font fills. The text
// renderer draws every cell as a square while the font's glyphs are about
// 0.6 em wide, so the glyphs are widened to fill the cell inside its margins.
constexpr double advancePixels = 14.0;
// Vertical strokes are thickened by this much (in pixels): the overlays draw
// the 16-pixel cells at 10 pixels with linear filtering and no mipmaps, which
// would leave thin strokes faint.
constexpr double strokeWidening = 0.375;
// Share of the inner cell height that ASCII's full vertical extent (from the
// underscore's bottom to the bar's top) takes; the slack absorbs hinting.
constexpr double asciiHeightShare = 0.96;

// FreeType's 26.6 fixed point.
FT_Pos toFixed(double pixels) {
    return static_cast<FT_Pos>(std::lround(pixels * 64.0));
}

struct CellLayout {
    double emWidth = 0;  // horizontal pixels per em
    double emHeight = 0; // vertical pixels per em
    int baseline = 0;    // baseline, in pixels above the cell's bottom edge
};

// The vertical range that printable ASCII spans, in font units, sets the
// scale; taller glyphs (accented capitals) are squeezed later, one by one.
CellLayout layoutCells(FT_Face face) {
    FT_Pos low = 0;
    FT_Pos high = 0;
    for (FT_ULong code = firstCode; code < 127; ++code) {
        if (FT_Load_Char(face, code, FT_LOAD_NO_SCALE) != 0) continue;
        const FT_Glyph_Metrics& m = face->glyph->metrics;
        high = std::max(high, m.horiBearingY);
        low = std::min(low, m.horiBearingY - m.height);
    }
    FT_Pos advance = face->max_advance_width;
    if (FT_Load_Char(face, 'M', FT_LOAD_NO_SCALE) == 0) advance = face->glyph->advance.x;

    CellLayout layout;
    const double unitsPerEm = face->units_per_EM;
    const double extent = std::max<FT_Pos>(high - low, 1);
    layout.emHeight = innerPixels * asciiHeightShare * unitsPerEm / extent;
    layout.emWidth = advancePixels * unitsPerEm / std::max<FT_Pos>(advance, 1);
    layout.baseline =
        cellMargin + static_cast<int>(std::lround(-low * layout.emHeight / unitsPerEm));
    return layout;
}

// Narrows an outline already placed in the cell about the cell's centre, just
// enough to keep it clear of the side margins.
void fitHorizontally(FT_Outline* outline) {
    FT_BBox box;
    FT_Outline_Get_CBox(outline, &box);
    const FT_Pos low = cellMargin * 64;
    const FT_Pos high = (cellPixels - cellMargin) * 64;
    if (box.xMin < low || box.xMax > high) {
        const FT_Pos centre = cellPixels * 32;
        const double reach = std::max(centre - box.xMin, box.xMax - centre);
        const double scale = (centre - low) / reach;
        FT_Outline_Translate(outline, -centre, 0);
        FT_Matrix squeeze = {static_cast<FT_Fixed>(scale * 65536.0), 0, 0, 0x10000};
        FT_Outline_Transform(outline, &squeeze);
        FT_Outline_Translate(outline, centre, 0);
    }
}

// The scale that keeps a glyph inside the cell's margins above and below the
// baseline: 1 for most, less for the tall ones (the accented capitals).
double verticalFit(FT_Outline* outline, const CellLayout& layout) {
    FT_BBox box;
    FT_Outline_Get_CBox(outline, &box);
    const FT_Pos roomAbove = (cellPixels - cellMargin - layout.baseline) * 64;
    const FT_Pos roomBelow = (layout.baseline - cellMargin) * 64;
    double scale = 1.0;
    if (box.yMax > roomAbove) scale = std::min(scale, double(roomAbove) / box.yMax);
    if (box.yMin < -roomBelow) scale = std::min(scale, double(roomBelow) / -box.yMin);
    return scale;
}

// Squeezes the glyph towards the baseline, which stays where it is.
void fitVertically(FT_Outline* outline, const CellLayout& layout) {
    const double scale = verticalFit(outline, layout);
    if (scale >= 1.0) return;
    FT_Matrix squeeze = {0x10000, 0, 0, static_cast<FT_Fixed>(scale * 65536.0)};
    FT_Outline_Transform(outline, &squeeze);
}

// The outline arrives with its origin on the baseline; this moves it into the
// cell's coordinates (pixels from the cell's bottom-left corner, y upward),
// its advance centred.
void placeOutline(FT_Outline* outline, const CellLayout& layout) {
    fitVertically(outline, layout);
    const FT_Pos advance = toFixed(advancePixels);
    FT_Outline_Translate(outline, (cellPixels * 64 - advance) / 2, layout.baseline * 64);
    fitHorizontally(outline);
}

// Copies the rendered bitmap into the cell whose top-left image pixel is
// (left, top), clipped to the cell's inner area.
void blitGlyph(const FT_GlyphSlot slot, FontImage& image, int left, int top) {
    const FT_Bitmap& bitmap = slot->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        const int cellY = slot->bitmap_top - 1 - static_cast<int>(row); // from the bottom
        if (cellY < cellMargin || cellY >= cellPixels - cellMargin) continue;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            const int cellX = slot->bitmap_left + static_cast<int>(column);
            if (cellX < cellMargin || cellX >= cellPixels - cellMargin) continue;
            const unsigned char value = bitmap.buffer[row * bitmap.pitch + column];
            image.at(left + cellX, top + cellPixels - 1 - cellY) = value;
        }
    }
}

// Loads the hinted outline; a glyph too tall for the cell is loaded again at
// a smaller height, so the hinter still lines its strokes up with the pixels
// (squeezing the outline itself would blur them).
bool loadFittingOutline(FT_Face face, FT_UInt index, const CellLayout& layout) {
    const FT_Int32 flags = FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT;
    double height = layout.emHeight;
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (FT_Set_Char_Size(face, toFixed(layout.emWidth), toFixed(height), 72, 72) != 0 ||
            FT_Load_Glyph(face, index, flags) != 0 ||
            face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return false;
        const double scale = verticalFit(&face->glyph->outline, layout);
        if (scale >= 1.0) break;
        height *= scale * 0.99;
    }
    return FT_Set_Char_Size(face, toFixed(layout.emWidth), toFixed(layout.emHeight), 72, 72) == 0;
}

bool drawGlyph(FT_Face face, int code, const CellLayout& layout, FontImage& image) {
    const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (index == 0) return true; // no glyph: the cell stays blank
    if (!loadFittingOutline(face, index, layout)) return false;
    FT_GlyphSlot slot = face->glyph;
    FT_Outline_EmboldenXY(&slot->outline, toFixed(strokeWidening), 0);
    placeOutline(&slot->outline, layout);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    blitGlyph(slot, image, (code % gridCells) * cellPixels, (code / gridCells) * cellPixels);
    return true;
}

} // namespace

std::string drawFontImage(const char* fontPath, FontImage& image) {
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0) return "cannot start FreeType";
    FT_Face face;
    std::string error;
    if (FT_New_Face(library, fontPath, 0, &face) != 0) {
        error = std::string("cannot read the font ") + fontPath;
    } else {
        const CellLayout layout = layoutCells(face);
        if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0)
            error = std::string("no Unicode character map in ") + fontPath;
        for (int code = firstCode; error.empty() && code <= lastCode; ++code)
            if (!drawGlyph(face, code, layout, image))
                error = "cannot draw character " + std::to_string(code) + " of " + fontPath;
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return error;
}
