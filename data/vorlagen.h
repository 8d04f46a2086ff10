// Which plate template or state picture lies behind a plate picture.
#pragma once

#include <QString>

// Relative path (below the base folder) of the large plate for a picture of the group: the German
// plate or its armed-forces form, or the Austrian state plate. Empty when an Austrian name carries
// none of the eleven state suffixes, and for any other group.
QString GrosseVorlage(int gruppe, const QString &bildDatei);

// Relative path of the small plate shown for a wrongly chosen entry with that picture name.
QString KleineVorlage(int gruppe, const QString &bildname);
