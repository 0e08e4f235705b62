#include "help_screen.h"

#include "text/text.h"

namespace {

struct HelpLine {
    int x;
    int y;
    bool key; // key labels in blue, what they do in green
    const char* text;
};

// GAUCHE and DROITE start eight cells in, above and below BAS, so the three
// read as the left, down and right arrows.
const HelpLine helpLines[] = {
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

void drawHelpScreen() {
    for (const HelpLine& line : helpLines) {
        textSetSize(10);
        if (line.key)
            textSetColor(0.0f, 0.0f, 1.0f);
        else
            textSetColor(0.0f, 0.8f, 0.2f);
        // The texts hold no percent sign, so "%s" prints them unchanged.
        textPrint(line.x, line.y, "%s", line.text);
    }
}
