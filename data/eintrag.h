// One line of a range text file and the values derived from it.
#pragma once

#include <QString>

namespace KennzeichenEintrag {

// The first ", (optional)" replaced by its spelled-out form.
QString Erweitert(const QString &zeile);

// Text before the first TAB (the picture's file name); empty when the line holds no TAB.
QString Bildfeld(const QString &zeile);

// The list entry of a line with a TAB: expanded description, TAB, TAB, picture field.
// A line without a TAB is returned unchanged.
QString ListenEintrag(const QString &zeile);

// The plate code of a picture field: up to its first "_", else up to its first ".jpg".
QString Code(const QString &bildfeld);

// The district's name as the map button shows it and puts on the clipboard (not trimmed).
QString KartenName(const QString &listenEintrag, int gruppe);

// The picture name inside a list entry: 8 characters (Austrian) or 7 that end with ".jpg",
// trimmed; empty when the entry holds no ".jpg".
QString Bildname(const QString &listenEintrag);

// A line is right for a picture when its non-empty picture field is a prefix of the picture's name.
bool IstRichtig(const QString &bildfeld, const QString &bildDatei);

} // namespace KennzeichenEintrag

// The code as the question and the gallery name it: the picture's name without its first ".jpg" (any case).
QString FrageCode(const QString &bildDatei);
