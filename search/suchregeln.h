// The search's rules without widgets: the search term, the field's normalised text, the letter
// range of a code, and the translation of a released key.
#pragma once

#include "data/datenordner.h"

#include <QString>
#include <optional>

// The field's text as the search uses it: Windows-1252, upper case, trimmed.
QString Suchbegriff(const QString &feldText);

// What a key release writes back into the field: Windows-1252, upper case, at most three characters,
// not trimmed.
constexpr int HoechstensZeichen = 3;
QString NormalisierterFeldText(const QString &feldText);

// The German letter range that holds codes beginning with the first character of the term; none for
// an empty term or a character that begins no German code.
std::optional<TBereich> BereichFuerSuchbegriff(const QString &suchbegriff);

// The text a released key types, as the classic keyboard translation gave it: at most two
// Windows-1252 characters, empty for a key that types nothing.
QString TasteZuText(const QString &ereignisText);

// True for the six umlauts "ä", "ö", "ü", "Ä", "Ö", "Ü".
bool IstUmlaut(const QString &tastenText);

// The classic virtual-key code of a Qt key (letters 65-90, Enter 13 ...); 0 for keys without one.
constexpr int TasteEnter = 13;
constexpr int TasteA = 65;
constexpr int TasteZ = 90;
int VirtuellerTastencode(int qtTaste);
