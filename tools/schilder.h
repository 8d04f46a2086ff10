// Drawings of the data set: blank plates, the Austrian state plates and the plate letters.
#pragma once

#include <QImage>
#include <QString>

// Sizes of the plates the program shows; the letters are placed on them at fixed offsets.
constexpr int SchildBreite = 313;
constexpr int SchildHoehe = 67;
constexpr int KleinBreite = 136;

enum class TSchildArt { Deutsch, Bundeswehr, Oesterreich };

// A blank plate of the given width (313 large, 136 small) and kind.
QImage ZeichneLeeresSchild(TSchildArt art, int breite);

// The Austrian plate of a state ('0' federal bodies, '1'-'9' the states, '-' none) with its coat of arms.
QImage ZeichneStaatsSchild(QChar land);

// The letters of a code, black on white, sized for the white field of the large plate.
QImage ZeichneKennzeichen(const QString &code, bool oesterreich);
