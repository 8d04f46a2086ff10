// Opening data files that may be hostile: a pipe, a device or a huge file in place of a picture or a
// text file must neither block the program nor fill its memory.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

// Whole-file reads of pictures and text files stop here; the data set's largest file is far below.
constexpr qint64 GroessteDatenDatei = 64LL * 1024 * 1024;

// A regular file (a symbolic link to one counts) of at most the given size, open for reading.
// Opening never waits: a pipe without a writer or a device is refused at once.
class TLeseDatei {
public:
  TLeseDatei(const QString &pfad, qint64 grenze);

  bool Offen() const { return FDatei.isOpen(); }
  qint64 Groesse() const { return FGroesse; }
  // Up to laenge bytes from the current position: 0 at the end (or the size bound), -1 on an error.
  qint64 Lies(char *ziel, qint64 laenge);

private:
  QFile FDatei;
  qint64 FGroesse = 0;
  qint64 FGelesen = 0;
};

// The whole file under the rules above; no value for a missing, non-regular or larger file, or when
// a read fails.
std::optional<QByteArray> LiesGanzeDatei(const QString &pfad, qint64 grenze = GroessteDatenDatei);
