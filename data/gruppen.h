// The two plate groups of the group list: every fact in which the German and the Austrian plates differ.
#pragma once

#include "data/datenordner.h"

#include <QPoint>
#include <QString>

struct TGruppe {
  int Index;                    // the row of the group list, and the stored "Auswahl"
  const char16_t *Name;         // the group list's entry
  const char16_t *LernName;     // the name the progress file stores the group's plates under
  const char16_t *FrageAnfang;  // the question before the code
  const char16_t *VorlageGross; // the blank plates, relative to the base folder
  const char16_t *VorlageKlein;
  const char16_t *SonderVorlageGross; // the armed-forces plates of the code "Y"; none in Austria
  const char16_t *SonderVorlageKlein;
  bool Landesplatten;            // the large plate is the state's, by the picture name's suffix
  QPoint Versatz;                // where the code's letters lie on the large plate
  QChar Trenner;                 // what follows the code in a picture's name
  TBereich ErsterBereich;        // the range the group opens with
  bool Bereichsknoepfe;          // the group is split into the five letter ranges
  const char16_t *SonderEintrag; // a district name the map button shortens ...
  const char16_t *SonderName;    // ... to this
  QPoint KleinesBild;            // the code's picture on the small plate, below the list: left, offset from the list
  int KleinesBildHoehe;
};

// The group at this row of the group list; none for -1 (no group) or any other number.
const TGruppe *GruppeNr(int index);

// The German group's index: the only one whose codes a search brings up by letter range.
constexpr int DeutscheGruppe = 0;
constexpr int OesterreichischeGruppe = 1;
