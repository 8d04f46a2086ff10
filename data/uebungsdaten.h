// What practice is set to and what its overview shows: filled by the rules, kept in the progress file,
// shown by the window.
#pragma once

#include <QString>
#include <QStringList>

#include <array>

constexpr int KastenAnzahl = 5;

// Which plates practice asks, and how.
struct TUebungsEinstellung {
  // German Bundesländer and Austrian Länder as the descriptions name them ("Bayern", "Tirol"); none: every Land.
  QStringList Laender;
  // Codes as the learner typed them ("M FS LA DEG PA"); blank: none.
  QString Route;
  int NeueJeTag = 20;         // plates never asked before that one day brings
  bool AlleAntworten = false; // the range's whole answer list instead of a handful
  bool Umgekehrt = false;     // the district is asked, the plate is the answer

  bool operator==(const TUebungsEinstellung &o) const {
    return Laender == o.Laender && Route == o.Route && NeueJeTag == o.NeueJeTag && AlleAntworten == o.AlleAntworten &&
           Umgekehrt == o.Umgekehrt;
  }
  bool operator!=(const TUebungsEinstellung &o) const { return !(*this == o); }
};

// One row of the overview: a Land or a letter range, counted in the direction practised.
struct TUebersichtZeile {
  QString Name;
  int Neu = 0;                              // never asked
  std::array<int, KastenAnzahl> Kaesten{}; // plates in box 1 … 5
  int Faellig = 0;                          // due by the end of the learner's day
};
