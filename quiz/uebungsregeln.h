// The rules of practice mode without widgets: boxes of spaced repetition, which plate comes next,
// and the texts for the score and a plate's box.
#pragma once

#include "data/lernstand.h"
#include "data/lernstanddatei.h"

#include <QColor>
#include <QDateTime>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>

// Days after which a plate that has just reached this box (1 to 5) is due again.
int KastenTage(int kasten);

// The learner's first choice for a plate: right moves it up one box (at most the last), wrong or
// revealed before a right choice back to box 1; it is then due after its box's days.
void WerteErsteWahlAus(TLernEintrag &eintrag, bool richtig, const QDateTime &jetzt);

// Which plate of a range to ask next, as an index into bilder (the range's picture names in the
// gallery's order), or -1 when there is none but the one just asked. Never the one just asked.
// Due plates come by box, the lowest first, at random among equal boxes; plates never asked come
// in the range's order, taking turns with the due ones (neuesZuletzt: the last question was one).
// With nothing due and nothing new, the plate due soonest.
int WaehleNaechsteFrage(const QStringList &bilder, const QString &gruppe, const TLernstand &stand,
                        const QString &zuletzt, bool neuesZuletzt, const QDateTime &jetzt, QRandomGenerator &zufall);

// "7 von 9 richtig": first choices that were right, of the plates asked.
QString PunkteText(int richtig, int gefragt);
// A tile's description for a screen reader: "Kasten 3 von 5"; "Noch nicht geübt" for box 0.
QString KastenText(int kasten);
// The colour of a box's mark, from red (box 1) to green (the last).
QColor KastenFarbe(int kasten);

// The message for progress that cannot be saved: the file, why, and what it means for the answers.
QString LernstandFehlerText(TLernstandFehler fehler, const QString &pfad);
