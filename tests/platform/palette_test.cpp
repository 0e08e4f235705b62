#include "platform_test.h"

#include <memory>

namespace {

using Palettes = PlatformTest;

std::unique_ptr<LOGPALETTE, void (*)(void*)> logicalPalette(int count) {
    size_t bytes = sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * size_t(count - 1);
    auto* palette = static_cast<LOGPALETTE*>(calloc(1, bytes));
    palette->palVersion = 0x300;
    palette->palNumEntries = WORD(count);
    for (int i = 0; i < count; ++i)
        palette->palPalEntry[i] = {BYTE(i), BYTE(255 - i), BYTE(i / 2), 0};
    return {palette, free};
}

TEST_F(Palettes, keep_a_copy_of_their_entries) {
    auto logical = logicalPalette(256);
    HPALETTE palette = CreatePalette(logical.get());
    ASSERT_NE(palette, nullptr);
    logical->palPalEntry[1].peRed = 99;
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 256u);
    PALETTEENTRY entries[4] = {};
    EXPECT_EQ(GetPaletteEntries(palette, 254, 4, entries), 2u);
    EXPECT_EQ(entries[0].peRed, 254);
    EXPECT_EQ(entries[1].peGreen, 0);
    EXPECT_EQ(GetPaletteEntries(palette, 1, 1, entries), 1u);
    EXPECT_EQ(entries[0].peRed, 1);
}

TEST_F(Palettes, select_returns_the_previous_palette_and_realize_maps_every_entry) {
    HWND window = createToolWindow();
    HDC dc = GetDC(window);
    auto logical = logicalPalette(256);
    HPALETTE palette = CreatePalette(logical.get());
    HPALETTE original = SelectPalette(dc, palette, FALSE);
    EXPECT_EQ(original, GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(GetPaletteEntries(original, 0, 0, nullptr), 20u);
    EXPECT_EQ(RealizePalette(dc), 256u);
    EXPECT_TRUE(UnrealizeObject(palette));
    EXPECT_EQ(SelectPalette(dc, original, FALSE), palette);
}

TEST_F(Palettes, deleting_one_frees_it_and_its_handle_is_refused_after) {
    HWND window = createToolWindow();
    HDC dc = GetDC(window);
    auto logical = logicalPalette(8);
    HPALETTE palette = CreatePalette(logical.get());
    SelectPalette(dc, palette, FALSE);
    EXPECT_EQ(platformLivePaletteCount(), 1);
    EXPECT_TRUE(DeleteObject(palette));
    EXPECT_EQ(platformLivePaletteCount(), 0);
    EXPECT_FALSE(DeleteObject(palette));
    EXPECT_FALSE(UnrealizeObject(palette));
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 0u);
    EXPECT_EQ(RealizePalette(dc), 20u); // back to the default palette
}

TEST_F(Palettes, only_version_0x300_with_entries_is_accepted) {
    auto logical = logicalPalette(4);
    logical->palVersion = 0x200;
    EXPECT_EQ(CreatePalette(logical.get()), nullptr);
    logical->palVersion = 0x300;
    logical->palNumEntries = 0;
    EXPECT_EQ(CreatePalette(logical.get()), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(Palettes, stock_objects_survive_delete) {
    HGDIOBJ brush = GetStockObject(WHITE_BRUSH);
    ASSERT_NE(brush, nullptr);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(GetStockObject(WHITE_BRUSH), brush);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), brush);
}

} // namespace
