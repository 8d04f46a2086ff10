// The pictures the window's layout carries, drawn by code so that no binary lacks its source.
#pragma once

#include <QImage>

// Sizes in logical pixels; drawn for a screen's device-pixel ratio, a picture has the device
// pixels of the whole factor that plate pictures are decoded at, and carries it as its ratio.
namespace LayoutBilder {
QImage GrossesKennzeichen(qreal verhaeltnis = 1.0); // 313 x 67: blank plate, blue band, stars, "D", gray right
QImage KleinesKennzeichen(qreal verhaeltnis = 1.0); // 136 x 67: small blank plate, white field
QImage Richtig(qreal verhaeltnis = 1.0);            // 206 x 50: green "Richtig", green badge with a white tick
QImage Falsch(qreal verhaeltnis = 1.0);             // 206 x 50: red "Falsch!", red badge with a white cross
QImage AntwortGlyphe(qreal verhaeltnis = 1.0);      // 240 x 30: light-green face, "Zeig mir die richtige Antwort"
QImage Symbol();                                    // 32 x 32: left end of a plate, stars over a white "D"
} // namespace LayoutBilder
