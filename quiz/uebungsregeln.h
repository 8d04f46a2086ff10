// The rules of practice mode without widgets: boxes of spaced repetition, which plate comes next,
// and the texts for the score and a plate's box.
#pragma once

#include "data/lernstand.h"
#include "data/lernstanddatei.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class TKatalog;
struct TKatalogEintrag;

// Days after which a plate that has just reached this box (1 to 5) is due again.
int KastenTage(int kasten);

// The learner's first choice for a plate: right moves it up one box (at most the last), wrong or
// revealed before a right choice back to box 1; it is then due after its box's days. A plate asked
// before it was due (practising ahead) keeps its box and due date on a right answer.
void WerteErsteWahlAus(TLernEintrag &eintrag, bool richtig, const QDateTime &jetzt);

// A plate as progress stores it: the group's progress name (LernGruppe) and the picture file name.
struct TLernSchluessel {
  QString Gruppe;
  QString Bild;
};

// Which of the candidates to ask next, or -1 when the day is done: due plates first, the most overdue
// first, but none of the last three asked; then new plates while the day's limit allows; then the
// due ones among the last three, the very last only when nothing else is due. With voraus the learner
// goes on ahead: plates due soonest, then new ones beyond the limit. zuletzt: this sitting's plates,
// the most recent last.
int PlaneNaechsteFrage(const QVector<TLernSchluessel> &kandidaten, const TLernstand &stand,
                       const QVector<TLernSchluessel> &zuletzt, int neueHeute, int neueJeTag, bool voraus,
                       const QDateTime &jetzt);
// Plates of one direction first answered on that local day (reset ones not counted).
int NeueAmTag(const TLernstand &stand, const QDate &tag, bool umgekehrt);
// How many of the plates lie in box 1 … 5 (new and reset ones in none).
std::array<int, KastenAnzahl> KastenZaehlung(const TLernstand &stand, const QVector<TLernSchluessel> &platten);
// The earliest due time after jetzt among the plates; invalid when none is waiting.
QDateTime NaechsteFaelligkeit(const TLernstand &stand, const QVector<TLernSchluessel> &platten, const QDateTime &jetzt);
// The day's end: "Für heute geschafft." on the first line, then the sitting's count, the boxes and
// when the next plates are due.
QString TagesendeText(int gefragt, int richtig, const std::array<int, KastenAnzahl> &kaesten, const QDateTime &naechste,
                      const QDateTime &jetzt);

// A handful of answers for a plate: the right entry and anzahl-1 plausible wrong ones of other codes
// (same Land first, then similar codes, then names with the same first letter), unsorted. eintraege
// are list entries as BaueFrageListe gives them.
QStringList WaehleAntworten(const QStringList &eintraege, const QString &richtigeZeile, const QString &bildDatei,
                            int anzahl, QRandomGenerator &zufall);
// The codes offered for the reverse question: the asked plate's and anzahl-1 plausible others of its
// group, each once, unsorted.
QStringList WaehleRueckCodes(const TKatalog &katalog, const TKatalogEintrag &gefragt, int anzahl,
                             QRandomGenerator &zufall);

// "7 von 9 richtig": first choices that were right, of the plates asked.
QString PunkteText(int richtig, int gefragt);
// A tile's description for a screen reader: "Kasten 3 von 5"; "Noch nicht geübt" for box 0.
QString KastenText(int kasten);
// The colour of a box's mark, from red (box 1) to green (the last).
QColor KastenFarbe(int kasten);

// The message for progress that cannot be saved: the file, why, and what it means for the answers.
QString LernstandFehlerText(TLernstandFehler fehler, const QString &pfad);
