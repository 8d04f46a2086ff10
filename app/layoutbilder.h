// The pictures the window's layout carries, drawn by code so that no binary lacks its source.
#pragma once

#include <QImage>

namespace LayoutBilder {
QImage GrossesKennzeichen(); // 313 x 67: blank plate with blue band, ring of stars, "D", gray right part
QImage KleinesKennzeichen(); // 136 x 67: small blank plate, white field
QImage Richtig();            // 206 x 50: green "Richtig" and a green badge with a white tick
QImage Falsch();             // 206 x 50: red "Falsch!" and a red badge with a white cross
QImage AntwortGlyphe();      // 240 x 30: light-green face, "Zeig mir die richtige Antwort"
QImage Symbol();             // 32 x 32: left end of a plate, blue band with stars over a white "D"
} // namespace LayoutBilder
