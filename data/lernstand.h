// The learner's progress in practice mode as a text of its own: one line per plate asked (group,
// picture, box, when next due, counts right and wrong, when last and first answered), whether the mode
// was on and how practice is set.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include "data/uebungsdaten.h"

struct TLernEintrag {
  QString Gruppe; // as written: "Deutschland", "Österreich", or a group of a newer version
  QString Bild;   // the plate's picture file name
  int Kasten = 1;
  QDateTime Faellig; // UTC
  int Richtig = 0;
  int Falsch = 0;
  QDateTime Zuletzt;  // UTC, the last counted answer (or the reset); invalid when unknown
  QDateTime Erstmals; // UTC, the first counted answer; invalid when unknown
  QStringList Zusatz; // fields a newer version wrote after ours, written back as they came

  // Box 0: the learner reset the plate; it counts as never asked, and the line stays so that a merge
  // with another copy's older answer knows the reset came later.
  bool Geloescht() const { return Kasten < 1; }
};

class TLernstand {
public:
  bool Ueben = false;
  TUebungsEinstellung Einstellung;
  // Setting lines of a newer version ("key TAB value"), written back as they came.
  QStringList FremdeEinstellungen;

  // None for a plate never asked or reset.
  const TLernEintrag *Finde(const QString &gruppe, const QString &bild) const;
  // The plate's entry, made (box 1, due at once) when the plate was never asked or was reset.
  TLernEintrag &Hole(const QString &gruppe, const QString &bild);
  // Reset entries included (Geloescht()).
  const QVector<TLernEintrag> &Eintraege() const { return FEintraege; }

  // Forgets a plate's progress: box 0, marked at jetzt.
  void SetzeZurueck(const QString &gruppe, const QString &bild, const QDateTime &jetzt);
  // Takes in what another running copy wrote: its plates we lack, and its answers later than ours.
  // Our own settings stay; no entry is ever lost.
  void Vereine(const TLernstand &platte);

private:
  int Stelle(const QString &gruppe, const QString &bild) const; // -1: no line, not even a reset one
  TLernEintrag &Neu(const QString &gruppe, const QString &bild);

  QVector<TLernEintrag> FEintraege; // in the order of the file, new plates at the end
  QHash<QString, int> FIndex;
};

// The name a group is stored under; empty for no group. The reverse question ("Kreis zu Kennzeichen")
// keeps its boxes under a name of its own ("Deutschland umgekehrt").
QString LernGruppe(int gruppe, bool umgekehrt = false);
// Whether a stored group name is one of the reverse direction.
bool IstUmgekehrteLernGruppe(const QString &lernGruppe);

// Reads the file's bytes (UTF-8, a byte-order mark and CR LF allowed). A line that cannot be read is
// skipped and the rest kept; a plate no longer in the data set keeps its line.
TLernstand LiesLernstand(const QByteArray &inhalt);
// The file's bytes: UTF-8, LF, a comment saying what the columns are.
QByteArray SchreibeLernstand(const TLernstand &stand);
