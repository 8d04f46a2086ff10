// The progress file beside Kennzeichen.ini: read tolerantly, written with the settings' safe writer.
#pragma once

#include "data/lernstand.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Why progress is not saved, for telling the learner.
enum class TLernstandFehler {
  Keiner,
  Unlesbar,        // there, but this user may not read it
  ZuGross,         // larger than any progress can be
  KeineDatei,      // a folder, a pipe or a device under the file's name
  LinkOhneZiel,    // a link to a file that does not exist, which a write cannot follow
  NichtGeschrieben // the write failed: no permission, or the disk is full
};

class TLernstandDatei {
public:
  explicit TLernstandDatei(QString pfad = QString()) : FPfad(std::move(pfad)) {}

  // Reads the file; a missing one is an empty progress. A file that is there but cannot be read
  // (a folder, a pipe, far too large) is never written over in this run: it may be the learner's.
  TLernstand Lade();
  // False when nothing was written; the file then holds what it held before. What another running copy
  // wrote since this one last read or wrote is merged in first, into stand as well.
  bool Speichere(TLernstand &stand);
  bool Schreibbar() const { return FSchreibbar; }
  // Why the last load or save left the file as it was; Keiner after a save that went through.
  TLernstandFehler Fehler() const { return FFehler; }
  const QString &Pfad() const { return FPfad; }

private:
  QString FPfad;
  std::optional<QByteArray> FAlt; // the file's bytes as last read or written
  bool FSchreibbar = true;
  TLernstandFehler FFehler = TLernstandFehler::Keiner;
};
