#pragma once

// The French key reference, drawn by onRender in place of the playlist panel.
void drawHelpScreen();
