// Reading data files that may be hostile in blocks: a pipe, a device or a huge file in place of a
// picture must neither block the program nor fill its memory. Whole files are read under the same rules.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// A file's size (-1 when it is not there), modification time in nanoseconds, status change time and
// inode. A picture rewritten with the same size within one tick of a coarse clock keeps its size and
// time; the change time moves with every write, and a file put in its place by a rename has another
// inode, so the four together tell whether a thumbnail still shows the file.
struct TDateiStand {
  qint64 Groesse = -1;
  qint64 Zeit = 0;
  qint64 Wechsel = 0;
  quint64 Knoten = 0;
  bool operator==(const TDateiStand &ander) const {
    return Groesse == ander.Groesse && Zeit == ander.Zeit && Wechsel == ander.Wechsel && Knoten == ander.Knoten;
  }
  bool operator!=(const TDateiStand &ander) const { return !(*this == ander); }
};

// The state of the file under that name, in one query; size -1 when nothing is there.
TDateiStand FrageStand(const QString &pfad);

// Picture files larger than this are refused; the data set's largest is some kilobytes.
constexpr qint64 GroessteDatenDatei = 64LL * 1024 * 1024;

// A regular file (a symbolic link to one counts) of at most the given size, open for reading.
// Opening never waits: a pipe without a writer or a device is refused at once.
class TLeseDatei {
public:
  // alsDateiGelistet: a folder's listing has just named it a regular file, so the look before
  // opening is left out (the open handle is still checked).
  TLeseDatei(const QString &pfad, qint64 grenze, bool alsDateiGelistet = false);
  ~TLeseDatei();
  TLeseDatei(const TLeseDatei &) = delete;
  TLeseDatei &operator=(const TLeseDatei &) = delete;

  bool Offen() const;
  // Not open because nothing is there under that name (rather than something unusable).
  bool Fehlt() const { return FFehlt; }
  qint64 Groesse() const { return FGroesse; }
  // The modification time of the open file, in nanoseconds where the system has them.
  qint64 Zeit() const { return FStand.Zeit; }
  // Size, times and inode of the open file (size -1 when nothing is there, 0 when unusable).
  TDateiStand Stand() const;
  // Up to laenge bytes from the current position: 0 at the end (or the size bound), -1 on an error.
  qint64 Lies(char *ziel, qint64 laenge);

private:
#ifdef Q_OS_UNIX
  int FHandle = -1; // read directly: QFile would query the file twice more on every open
#else
  QFile FDatei;
#endif
  qint64 FGroesse = 0;
  TDateiStand FStand; // as opened
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

#ifdef Q_OS_UNIX
// Writes all of `laenge` bytes at `ab`, going on after interrupts and short writes; false on any error.
bool SchreibeAlles(int fd, const char *daten, qint64 laenge, qint64 ab);
#endif
