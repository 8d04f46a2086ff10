// The program's own fixed light look: the same colours on every desktop, light or dark.
#pragma once

#include <QPalette>

// Every role of every colour group is set, so that nothing is left for a desktop theme to fill in.
// The colours are those the window was laid out and checked with: light grey controls, white
// fields, black text.
QPalette FestePalette();

// The Fusion style and the fixed palette for the whole application, tool tips and message boxes
// included. Cheap to repeat.
void RichteAussehenEin();
