// Markup inside printed text: colour, bold and italic escapes, and
// backslashes that are no escape, malformed ones included.
#include "text_capture.h"

#include "text/text.h"

#include <string>

namespace {

std::string codes(const std::vector<CapturedQuad>& quads) {
    std::string text;
    for (const CapturedQuad& quad : quads)
        text += static_cast<char>(quad.code());
    return text;
}

std::vector<int> xs(const std::vector<CapturedQuad>& quads) {
    std::vector<int> result;
    for (const CapturedQuad& quad : quads)
        result.push_back(quad.x());
    return result;
}

void expectColor(const CapturedVertex& vertex, float r, float g, float b, float a) {
    EXPECT_FLOAT_EQ(vertex.color[0], r);
    EXPECT_FLOAT_EQ(vertex.color[1], g);
    EXPECT_FLOAT_EQ(vertex.color[2], b);
    EXPECT_NEAR(vertex.color[3], a, 1e-6);
}

} // namespace

using TextEscape = TextTest;

TEST_F(TextEscape, boldDrawsEachGlyphAgainOnePixelRightAndTakesNoRoom) {
    textSetSize(10);
    const auto quads = captureQuads([] { textPrint(0, 0, "\\b+X\\b-Y"); });
    EXPECT_EQ(codes(quads), "XXY");
    EXPECT_EQ(xs(quads), (std::vector<int>{0, 1, 10}));
}

TEST_F(TextEscape, italicShearsTheTopEdgeEightPixelsAtAnySize) {
    for (int size : {10, 30}) {
        textSetSize(size);
        const auto quads = captureQuads([] { textPrint(0, 0, "\\i+X\\i-Y"); });
        ASSERT_EQ(quads.size(), 2u);
        EXPECT_NEAR(quads[0].topLeft.x, 8, 0.01);
        EXPECT_NEAR(quads[0].topRight.x, size + 8, 0.01);
        EXPECT_NEAR(quads[0].bottomLeft.x, 0, 0.01);
        EXPECT_NEAR(quads[1].topLeft.x, size, 0.01);
    }
}

TEST_F(TextEscape, colourEscapeLastsToTheEndOfItsPrintOnly) {
    const auto red = captureQuads([] { textPrint(0, 0, "\\c(255 0 0)red"); });
    ASSERT_EQ(codes(red), "red");
    for (const CapturedQuad& quad : red) {
        expectColor(quad.bottomLeft, 1, 0, 0, 1);
        expectColor(quad.topRight, 1, 0, 0, 1);
    }
    const auto next = captureQuads([] { textPrint(0, 0, "w"); });
    ASSERT_EQ(next.size(), 1u);
    expectColor(next[0].bottomLeft, 1, 1, 1, 1);
}

TEST_F(TextEscape, alphaEscapeSetsAllFourComponents) {
    const auto quads = captureQuads([] { textPrint(0, 0, "\\a(0 255 51 102)g"); });
    ASSERT_EQ(quads.size(), 1u);
    expectColor(quads[0].bottomLeft, 0, 1, 0.2f, 0.4f);
}

TEST_F(TextEscape, colourEscapeResumesAfterTheFirstClosingParenthesis) {
    const auto quads = captureQuads([] { textPrint(0, 0, "\\c(255 0 0 red)x"); });
    ASSERT_EQ(codes(quads), "x");
    EXPECT_EQ(quads[0].x(), 0);
    expectColor(quads[0].topLeft, 1, 0, 0, 1);
}

TEST_F(TextEscape, colourEscapeWithoutClosingParenthesisTakesTheRestOfTheText) {
    const auto quads = captureQuads([] { textPrint(0, 0, "A\\c(0 0 255 B C"); });
    EXPECT_EQ(codes(quads), "A");
}

TEST_F(TextEscape, backslashBeforeAnyOtherLetterIsDrawnAsText) {
    for (const char* text : {"\\x", "\\B", "\\d", "\\e", "\\f", "\\g", "\\h"}) {
        textSetSize(10);
        const auto quads = captureQuads([&] { textPrint(0, 0, "%s", text); });
        EXPECT_EQ(codes(quads), text);
        EXPECT_EQ(xs(quads), (std::vector<int>{0, 10}));
    }
}

TEST_F(TextEscape, doubledBackslashDrawsOneAndLetsTheSecondStartAnEscape) {
    textSetSize(10);
    const auto quads = captureQuads([] { textPrint(0, 0, "\\\\b+X"); });
    EXPECT_EQ(codes(quads), "\\XX");
    EXPECT_EQ(xs(quads), (std::vector<int>{0, 10, 11}));
}

TEST_F(TextEscape, trailingBackslashIsNotDrawn) {
    const auto quads = captureQuads([] { textPrint(0, 0, "A\\"); });
    EXPECT_EQ(codes(quads), "A");
}

TEST_F(TextEscape, malformedEscapesAreDrawnAsTextWithoutTakingEffect) {
    for (const char* text :
         {"\\b?X", "\\i", "\\c(1 2)x", "\\c 1 2 3)x", "\\a(1 2 3)x", "\\c(a b c)x"}) {
        textSetSize(10);
        const auto quads = captureQuads([&] { textPrint(0, 0, "%s", text); });
        ASSERT_EQ(codes(quads), text) << text;
        for (size_t i = 0; i < quads.size(); ++i) {
            EXPECT_EQ(quads[i].x(), static_cast<int>(10 * i)) << text;
            EXPECT_NEAR(quads[i].topLeft.x, quads[i].bottomLeft.x, 0.01) << text;
            expectColor(quads[i].bottomLeft, 1, 1, 1, 1);
        }
    }
}
