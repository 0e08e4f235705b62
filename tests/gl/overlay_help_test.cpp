// The help page: fifteen lines of French in two columns, as they reach OpenGL.
#include "text_capture.h"

#include "overlay/help_screen.h"
#include "text/text.h"

namespace {

struct ExpectedLine {
    int x;
    int y;
    bool blue;
    const char* text;
};

const ExpectedLine helpPage[] = {
    {50, 400, false, "Appuyer sur 'h' pour quitter l'aide"},
    {50, 380, true, "a , b , c"},
    {200, 380, false, "changer le mode de visualisation"},
    {50, 360, true, "d"},
    {200, 360, false, "activer/desactiver la rotation automatique"},
    {50, 340, true, "        GAUCHE"},
    {50, 330, true, "fleches BAS"},
    {200, 330, false, "rotations (en mode manuel)"},
    {50, 320, true, "        DROITE"},
    {50, 300, true, "fleche HAUT"},
    {200, 300, false, "lancer une sphere"},
    {50, 260, true, "F2"},
    {200, 260, false, "afficher / cacher la play-list"},
    {50, 240, true, "F3"},
    {200, 240, false, "afficher / cacher le plugin"},
};

} // namespace

using HelpScreen = TextTest;

TEST_F(HelpScreen, fifteenLinesInOrderKeysInBlueAndWhatTheyDoInGreen) {
    const auto lines = groupLines(captureQuads([] { drawHelpScreen(); }));
    ASSERT_EQ(lines.size(), 15u);
    for (size_t i = 0; i < 15; ++i) {
        const ExpectedLine& expected = helpPage[i];
        EXPECT_EQ(lines[i].text, expected.text) << i;
        EXPECT_EQ(lines[i].x, expected.x) << expected.text;
        EXPECT_EQ(lines[i].y, expected.y) << expected.text;
        EXPECT_EQ(lines[i].size, 10) << expected.text;
        const float r = 0, g = expected.blue ? 0.0f : 0.8f, b = expected.blue ? 1.0f : 0.2f;
        EXPECT_FLOAT_EQ(lines[i].color[0], r) << expected.text;
        EXPECT_FLOAT_EQ(lines[i].color[1], g) << expected.text;
        EXPECT_FLOAT_EQ(lines[i].color[2], b) << expected.text;
    }
}
