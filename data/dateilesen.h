// Reading data files that may be hostile in blocks: a pipe, a device or a huge file in place of a
// picture must neither block the program nor fill its memory. Whole files are read under the same rules.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Picture files larger than this are refused; the data set's largest is some kilobytes.
constexpr qint64 GroessteDatenDatei = 64LL * 1024 * 1024;

// A regular file (a symbolic link to one counts) of at most the given size, open for reading.
// Opening never waits: a pipe without a writer or a device is refused at once.
class TLeseDatei {
public:
  TLeseDatei(const QString &pfad, qint64 grenze);

  bool Offen() const { return FDatei.isOpen(); }
  // Not open because nothing is there under that name (rather than something unusable).
  bool Fehlt() const { return FFehlt; }
  qint64 Groesse() const { return FGroesse; }
  // Up to laenge bytes from the current position: 0 at the end (or the size bound), -1 on an error.
  qint64 Lies(char *ziel, qint64 laenge);

private:
  QFile FDatei;
  qint64 FGroesse = 0;
  qint64 FGelesen = 0;
  bool FFehlt = false;
};

enum class TDateiZustand {
  Fehlt,      // nothing under that name
  Gelesen,    // a regular file, read whole
  Unbrauchbar // a pipe, a device, a folder, a file larger than the limit, or one that cannot be read
};

struct TDateiInhalt {
  TDateiZustand Zustand = TDateiZustand::Fehlt;
  QByteArray Daten;
};

// Reads a regular file (a link to one counts) of at most `grenze` bytes. Opening never waits for a
// writer, and only a regular file is ever opened.
TDateiInhalt LiesRegulaereDatei(const QString &pfad, qint64 grenze);
