// Which plate template or state picture lies behind a plate picture.
#pragma once

#include <QPoint>
#include <QString>

// Where a code's letters start on the large plate of each group: the question screen lays the code's
// picture there, and the generated templates keep that field free.
constexpr QPoint DeutscherKennzeichenVersatz(30, 4);
constexpr QPoint OesterreichischerKennzeichenVersatz(34, 7);

// The large and the small template of a group (0 German, 1 Austrian), relative to the base folder;
// empty for any other group.
QString GruppenVorlageGross(int gruppe);
QString GruppenVorlageKlein(int gruppe);

// Relative path (below the base folder) of the large plate for a picture of the group: the German
// plate or its armed-forces form, or the Austrian state plate. Empty when an Austrian name carries
// none of the eleven state suffixes, and for any other group.
QString GrosseVorlage(int gruppe, const QString &bildDatei);

// Relative path of the small plate shown for a wrongly chosen entry with that picture name.
QString KleineVorlage(int gruppe, const QString &bildname);
