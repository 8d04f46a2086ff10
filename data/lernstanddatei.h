// The progress file beside Kennzeichen.ini: read tolerantly, written with the settings' safe writer.
#pragma once

#include "data/lernstand.h"

#include <QByteArray>
#include <QString>

#include <optional>

class TLernstandDatei {
public:
  explicit TLernstandDatei(QString pfad = QString()) : FPfad(std::move(pfad)) {}

  // Reads the file; a missing one is an empty progress. A file that is there but cannot be read
  // (a folder, a pipe, far too large) is never written over in this run: it may be the learner's.
  TLernstand Lade();
  // False when nothing was written; the file then holds what it held before.
  bool Speichere(const TLernstand &stand);
  bool Schreibbar() const { return FSchreibbar; }

private:
  QString FPfad;
  std::optional<QByteArray> FAlt; // the file's bytes as last read or written
  bool FSchreibbar = true;
};
