// The learner's progress in practice mode as a text of its own: one line per plate asked (group,
// picture, box, when next due, counts right and wrong) and whether the mode was on.
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
  QStringList Zusatz; // fields a newer version wrote after ours, written back as they came
};

class TLernstand {
public:
  bool Ueben = false;

  const TLernEintrag *Finde(const QString &gruppe, const QString &bild) const;
  // The plate's entry, made (box 1, due at once) when the plate was never asked.
  TLernEintrag &Hole(const QString &gruppe, const QString &bild);
  const QVector<TLernEintrag> &Eintraege() const { return FEintraege; }

private:
  QVector<TLernEintrag> FEintraege; // in the order of the file, new plates at the end
  QHash<QString, int> FIndex;
};

// The name a group is stored under; empty for no group.
QString LernGruppe(int gruppe);

// Reads the file's bytes (UTF-8, a byte-order mark and CR LF allowed). A line that cannot be read is
// skipped and the rest kept; a plate no longer in the data set keeps its line.
TLernstand LiesLernstand(const QByteArray &inhalt);
// The file's bytes: UTF-8, LF, a comment saying what the columns are.
QByteArray SchreibeLernstand(const TLernstand &stand);
