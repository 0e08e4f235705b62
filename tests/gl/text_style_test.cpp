// The style set before a print: size, colours, shadow, gradient, and its
// return to the load values when the print ends.
#include "text_capture.h"

#include "text/text.h"

#include <array>
#include <cstring>

namespace {

void expectColor(const CapturedVertex& vertex, const float (&rgba)[4]) {
    for (int i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(vertex.color[i], rgba[i]) << i;
}

} // namespace

using TextStyle = TextTest;

TEST_F(TextStyle, shadowWithBoldLiesTwoRightOneUpAndIsDrawnFirst) {
    textSetSize(10);
    textSetShadow();
    textSetShadowColor(0.25f, 0.5f, 0.75f);
    textSetColor(1, 0, 0);
    const auto quads = captureQuads([] { textPrint(40, 50, "\\b+X"); });
    ASSERT_EQ(quads.size(), 3u);
    EXPECT_EQ(quads[0].x(), 42);
    EXPECT_EQ(quads[0].y(), 51);
    expectColor(quads[0].bottomLeft, {0.25f, 0.5f, 0.75f, 1});
    expectColor(quads[0].topRight, {0.25f, 0.5f, 0.75f, 1});
    EXPECT_EQ(quads[1].x(), 40);
    EXPECT_EQ(quads[1].y(), 50);
    EXPECT_EQ(quads[2].x(), 41);
    expectColor(quads[1].bottomLeft, {1, 0, 0, 1});
    expectColor(quads[2].topLeft, {1, 0, 0, 1});
}

TEST_F(TextStyle, shadowAloneLiesOneRightOneUp) {
    textSetShadow();
    const auto quads = captureQuads([] { textPrint(0, 0, "X"); });
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].x(), 1);
    EXPECT_EQ(quads[0].y(), 1);
    expectColor(quads[0].bottomLeft, {0.5f, 0.5f, 0.5f, 1});
}

TEST_F(TextStyle, gradientColoursTheBottomEdgeWhileTheShadowStaysFlat) {
    textSetGradient();
    textSetGradientColor4(0, 0, 1, 0.5f);
    textSetColor4(1, 1, 0, 1);
    textSetShadow();
    textSetShadowColorv(std::array<float, 3>{0.1f, 0.2f, 0.3f}.data());
    const auto quads = captureQuads([] { textPrint(0, 0, "G"); });
    ASSERT_EQ(quads.size(), 2u);
    for (const CapturedVertex& v :
         {quads[0].bottomLeft, quads[0].bottomRight, quads[0].topRight, quads[0].topLeft})
        expectColor(v, {0.1f, 0.2f, 0.3f, 1});
    expectColor(quads[1].bottomLeft, {0, 0, 1, 0.5f});
    expectColor(quads[1].bottomRight, {0, 0, 1, 0.5f});
    expectColor(quads[1].topRight, {1, 1, 0, 1});
    expectColor(quads[1].topLeft, {1, 1, 0, 1});
}

TEST_F(TextStyle, everyPrintEndsWithTheLoadStyle) {
    textSetSize(30);
    textSetColor4v(std::array<float, 4>{0.1f, 0.2f, 0.3f, 0.4f}.data());
    textSetGradientColorv(std::array<float, 3>{0.3f, 0.3f, 0.3f}.data());
    textSetShadowColor4(0, 0, 0, 0);
    textSetShadow();
    textSetGradient();
    textSetClipWindow(1, 2, 3, 4);
    textPrint(0, 0, "x");

    const TextState loaded;
    EXPECT_EQ(0, std::memcmp(&textState, &loaded, sizeof loaded));
    const auto next = captureQuads([] { textPrint(0, 0, "y"); });
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].size(), 12);
    expectColor(next[0].bottomLeft, {1, 1, 1, 1});
}
