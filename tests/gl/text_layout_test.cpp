// Where a print puts its glyphs: pen movement, lines, tabs, the clip window
// and the limits, as the quads reach OpenGL.
#include "text_capture.h"

#include "text/text.h"

#include <GL/gl.h>

#include <array>
#include <string>

namespace {

std::array<int, 4> scissorBox() {
    std::array<int, 4> box{};
    glGetIntegerv(GL_SCISSOR_BOX, box.data());
    return box;
}

void expectCell(const CapturedQuad& quad, int x, int y, int size) {
    EXPECT_NEAR(quad.bottomLeft.x, x, 0.01);
    EXPECT_NEAR(quad.bottomLeft.y, y, 0.01);
    EXPECT_NEAR(quad.bottomRight.x, x + size, 0.01);
    EXPECT_NEAR(quad.bottomRight.y, y, 0.01);
    EXPECT_NEAR(quad.topRight.x, x + size, 0.01);
    EXPECT_NEAR(quad.topRight.y, y + size, 0.01);
    EXPECT_NEAR(quad.topLeft.x, x, 0.01);
    EXPECT_NEAR(quad.topLeft.y, y + size, 0.01);
}

} // namespace

using TextLayout = TextTest;

TEST_F(TextLayout, twoLettersAdvanceOneSquareCellEach) {
    const auto quads = captureQuads([] { textPrint(10, 20, "AB"); });
    ASSERT_EQ(quads.size(), 2u);
    expectCell(quads[0], 10, 20, 12);
    expectCell(quads[1], 22, 20, 12);
    EXPECT_FLOAT_EQ(quads[0].bottomLeft.s, 0.0625f);
    EXPECT_FLOAT_EQ(quads[0].bottomLeft.t, 0.6875f);
    EXPECT_FLOAT_EQ(quads[0].topRight.s, 0.125f);
    EXPECT_FLOAT_EQ(quads[0].topRight.t, 0.75f);
    EXPECT_EQ(quads[1].code(), 'B');
}

TEST_F(TextLayout, newlineStartsTheNextLineOneSizeLowerAtTheStartX) {
    textSetSize(10);
    const auto quads = captureQuads([] { textPrint(10, 100, "a\nb"); });
    ASSERT_EQ(quads.size(), 2u);
    expectCell(quads[0], 10, 100, 10);
    expectCell(quads[1], 10, 90, 10);
    EXPECT_EQ(scissorBox(), (std::array<int, 4>{10, 90, 30, 20}));
}

TEST_F(TextLayout, tabMovesFiveCellsAndWidensTheScissorBoxFourfold) {
    textSetSize(10);
    const auto quads = captureQuads([] { textPrint(0, 100, "a\tb"); });
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[1].x(), 60);
    EXPECT_EQ(scissorBox(), (std::array<int, 4>{0, 100, 120, 10}));
}

TEST_F(TextLayout, spacesAndControlCodesTakeACellAndAreDrawn) {
    textSetSize(10);
    const auto quads = captureQuads([] {
        textPrint(0, 0,
                  "a \x01"
                  "b");
    });
    ASSERT_EQ(quads.size(), 4u);
    EXPECT_EQ(quads[1].code(), ' ');
    EXPECT_EQ(quads[2].code(), 1);
    EXPECT_EQ(quads[3].x(), 30);
}

TEST_F(TextLayout, latinOneCodesUseTheirOwnGlyph) {
    const auto quads = captureQuads([] { textPrint(0, 0, "\xe9"); });
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_EQ(quads[0].code(), 233);
    EXPECT_FLOAT_EQ(quads[0].bottomLeft.s, 0.5625f);
    EXPECT_FLOAT_EQ(quads[0].bottomLeft.t, 0.0625f);
}

TEST_F(TextLayout, emptyTextDrawsNothingWithAZeroWidthScissorBox) {
    textSetSize(30);
    const auto quads = captureQuads([] { textPrint(5, 7, "%s", ""); });
    EXPECT_TRUE(quads.empty());
    EXPECT_EQ(scissorBox(), (std::array<int, 4>{5, 7, 0, 30}));
    EXPECT_EQ(textState.size, 12);
}

TEST_F(TextLayout, printStopsForGoodOncePenPassesTheViewportsRightEdge) {
    glViewport(0, 0, 100, 458);
    textSetSize(10);
    // J starts at x 95, inside the limit, and is drawn (OpenGL clips its right
    // half); the pen then stands at 105, past the limit, and nothing more is
    // drawn, not even the line below.
    const auto quads = captureQuads([] { textPrint(5, 200, "ABCDEFGHIJKLM\nZ"); });
    ASSERT_EQ(quads.size(), 10u);
    EXPECT_EQ(quads.back().code(), 'J');
    EXPECT_EQ(quads.back().x(), 95);
    for (const CapturedQuad& quad : quads)
        EXPECT_EQ(quad.y(), 200);
}

TEST_F(TextLayout, formattedTextIsCutAfter1023Characters) {
    // Lines of nine letters and a newline: 102 full lines, then three letters.
    std::string text;
    for (int line = 0; line < 120; ++line)
        text += "ABCDEFGHI\n";
    textSetSize(2);
    const auto quads = captureQuads([&] { textPrint(0, 400, "%s", text.c_str()); });
    ASSERT_EQ(quads.size(), 102u * 9 + 3);
    EXPECT_EQ(quads.back().code(), 'C');
    EXPECT_EQ(quads.back().x(), 4);
    EXPECT_EQ(quads.back().y(), 400 - 102 * 2);
}

TEST_F(TextLayout, clipWindowWrapsLinesAndDropsTextBelowIt) {
    textSetClipWindow(100, 200, 50, 40);
    textSetSize(10);
    const auto quads = captureQuads([] { textPrint(0, 0, "ABCDEFGHIJKLMNOPQRSTUVWXY"); });
    ASSERT_EQ(quads.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(quads[i].x(), 100 + 10 * (i % 5)) << i;
        EXPECT_EQ(quads[i].y(), 190 - 10 * (i / 5)) << i;
        EXPECT_EQ(quads[i].code(), 'A' + i);
    }
    EXPECT_EQ(scissorBox(), (std::array<int, 4>{100, 160, 50, 40}));
    EXPECT_EQ(textState.clipEnabled, 0);
}

TEST_F(TextLayout, newlineInTheClipWindowReturnsToThePrintsX) {
    textSetClipWindow(100, 200, 50, 40);
    textSetSize(10);
    const auto quads = captureQuads([] { textPrint(110, 0, "A\nB"); });
    ASSERT_EQ(quads.size(), 2u);
    expectCell(quads[0], 100, 190, 10);
    expectCell(quads[1], 110, 180, 10);
}
