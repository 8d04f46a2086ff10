// Careful file access for Kennzeichen.ini, the progress file and the thumbnail packs. Qt's buffered
// QSaveFile can report success although the last flush failed on a full disk, so the writes here go to
// the file descriptor and check every step.
#include "data/dateizugriff.h"

#include "data/dateilesen.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void (*SchreibHaken)(TSchreibSchritt) = nullptr;

void Schritt(TSchreibSchritt schritt) {
  if (SchreibHaken)
    SchreibHaken(schritt);
}

bool Kuerze(int fd, off_t laenge) {
  int ergebnis;
  while ((ergebnis = ::ftruncate(fd, laenge)) != 0 && errno == EINTR) {
  }
  return ergebnis == 0;
}

bool SchliesseDatei(int fd) { return ::close(fd) == 0 || errno == EINTR; }

QByteArray OrdnerVon(const QByteArray &datei) {
  const int schnitt = datei.lastIndexOf('/');
  return schnitt < 0 ? QByteArray(".") : datei.left(qMax(schnitt, 1));
}

// Another process holds a lock for a moment only; one that holds it for good must not keep the
// program from ending, so the wait has a bound (some two seconds).
bool Sperre(int fd, int art) {
  constexpr int Versuche = 200;
  constexpr useconds_t Pause = 10000;
  for (int versuch = 0; versuch < Versuche; ++versuch) {
    if (::flock(fd, art | LOCK_NB) == 0)
      return true;
    if (errno != EWOULDBLOCK && errno != EINTR)
      return false;
    if (art & LOCK_NB)
      return false;
    ::usleep(Pause);
  }
  return false;
}

// Held while a temporary copy exists beside the file: shared by writers, taken alone by the clean-up,
// so that it never removes a copy that is about to be renamed. The lock goes with the process.
int SperreOrdner(const QByteArray &ordner, int art) {
  int fd = ::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0 && !Sperre(fd, art)) {
    ::close(fd);
    fd = -1;
  }
  return fd;
}

class TOrdnerSperre {
public:
  TOrdnerSperre(const QByteArray &ordner, int art) : FFd(SperreOrdner(ordner, art)) {}
  ~TOrdnerSperre() {
    if (FFd >= 0)
      ::close(FFd);
  }
  TOrdnerSperre(const TOrdnerSperre &) = delete;
  TOrdnerSperre &operator=(const TOrdnerSperre &) = delete;
  bool Gesperrt() const { return FFd >= 0; }

private:
  int FFd = -1;
};

// Makes the rename itself durable; a folder that refuses this loses nothing that is not already safe.
void SichereOrdner(const QByteArray &datei) {
  const int fd = ::open(OrdnerVon(datei).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

bool SchreibeKopie(TErsatzDatei &kopie, const QByteArray &neu) {
  Schritt(TSchreibSchritt::KopieAngelegt);
  const bool gut = kopie.Schreibe(neu.constData(), neu.size(), 0) && kopie.Schliesse(true);
  if (gut)
    Schritt(TSchreibSchritt::KopieGeschrieben);
  return gut;
}

// A new file gets the permissions an open with O_CREAT would have given it.
mode_t Umask() {
  const mode_t maske = ::umask(0);
  ::umask(maske);
  return maske;
}

bool SchreibeNeueDatei(const QByteArray &name, const QByteArray &neu) {
  TErsatzDatei kopie(name);
  if (!kopie.Offen())
    return false;
  // A link, unlike a rename, never replaces a file that someone made under the name meanwhile.
  if (::fchmod(kopie.Handle(), 0666 & ~Umask()) != 0 || !SchreibeKopie(kopie, neu) || !kopie.Verknuepfe())
    return false;
  Schritt(TSchreibSchritt::Ersetzt);
  SichereOrdner(name);
  return true;
}

// The file's current bytes, compared with what the new content was made from.
bool HatInhalt(int fd, const QByteArray &erwartet) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != erwartet.size())
    return false;
  QByteArray daten(erwartet.size(), Qt::Uninitialized);
  qint64 gelesen = 0;
  while (gelesen < daten.size()) {
    const ssize_t n = ::pread(fd, daten.data() + gelesen, size_t(daten.size() - gelesen), off_t(gelesen));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    gelesen += n;
  }
  return daten == erwartet;
}

// One blank line in the file's own encoding: what fills a shorter content up to the old length.
QByteArray LeereZeile(const QByteArray &inhalt) {
  if (inhalt.startsWith("\xFF\xFE"))
    return QByteArray("\n\0", 2);
  if (inhalt.startsWith("\xFE\xFF"))
    return QByteArray("\0\n", 2);
  return QByteArray("\n");
}

QByteArray Fuellung(const QByteArray &neu, qint64 laenge) {
  const QByteArray einheit = LeereZeile(neu);
  QByteArray fuellung = einheit.repeated(int(laenge / einheit.size() + 1));
  fuellung.truncate(qsizetype(laenge));
  return fuellung;
}

// The bytes of blank lines at the end of the content, after the end of its last line that holds
// anything: what a killed shrinking write in place leaves. A content of nothing but blank lines has
// none, and neither have blank lines in another form ("\r\n"), which the filling never writes.
qsizetype Fuellbytes(const QByteArray &inhalt) {
  const QByteArray einheit = LeereZeile(inhalt);
  const qsizetype breite = einheit.size();
  const qsizetype marke = inhalt.startsWith("\xEF\xBB\xBF") ? 3 : breite == 2 ? 2 : 0;
  // An odd byte at the end of a UTF-16 file is no blank line.
  if ((inhalt.size() - marke) % breite != 0)
    return 0;
  qsizetype ende = inhalt.size();
  while (ende - breite >= marke && QByteArrayView(inhalt).sliced(ende - breite, breite) == einheit)
    ende -= breite;
  // The first of the line ends belongs to the last line of content (or to its "\r").
  if (ende <= marke || inhalt.size() - ende < 2 * breite)
    return 0;
  return inhalt.size() - ende - breite;
}

// For a folder we may not create files in: the classic profile write wrote in place too. Only the part
// from the first changed byte on is written, in one write: the page cache takes a write within one page
// whole or not at all, even from a process killed during it, and a change of a setting near the end
// of a small file is such a write. A shorter content first goes in filled up with blank lines, which
// read as nothing, and the truncation follows. Room for a longer one is reserved first, so a full disk
// fails before a single old byte has changed; the old bytes go back on any later failure.
bool SchreibeAnOrt(const QByteArray &name, const QByteArray &alt, const QByteArray &neu) {
  const int fd = ::open(name.constData(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    return false;
  // Two instances closing at once take turns; whatever changed since it was read is not ours to
  // overwrite.
  if (!Sperre(fd, LOCK_EX) || !HatInhalt(fd, alt)) {
    ::close(fd);
    return false;
  }
  const qint64 ab =
      std::mismatch(alt.cbegin(), alt.cbegin() + std::min(alt.size(), neu.size()), neu.cbegin()).first - alt.cbegin();
  QByteArray stueck = neu.mid(qsizetype(ab));
  if (neu.size() < alt.size())
    stueck += Fuellung(neu, alt.size() - neu.size());
  if (neu.size() > alt.size()) {
    int reserviert;
    while ((reserviert = ::fallocate(fd, FALLOC_FL_KEEP_SIZE, off_t(alt.size()), off_t(neu.size() - alt.size()))) !=
               0 &&
           errno == EINTR) {
    }
    // A file system without reservations still gets the write, and its failure the old bytes back.
    if (reserviert != 0 && errno != EOPNOTSUPP && errno != ENOSYS) {
      ::close(fd);
      return false;
    }
  }
  bool gut = SchreibeAlles(fd, stueck.constData(), stueck.size(), off_t(ab));
  if (gut)
    Schritt(TSchreibSchritt::AnOrtGeschrieben);
  gut = gut && Kuerze(fd, off_t(neu.size()));
  if (gut)
    Schritt(TSchreibSchritt::AnOrtGekuerzt);
  gut = gut && ::fsync(fd) == 0;
  if (!gut && SchreibeAlles(fd, alt.constData() + ab, alt.size() - ab, off_t(ab)) && Kuerze(fd, off_t(alt.size())))
    ::fsync(fd);
  gut = SchliesseDatei(fd) && gut;
  return gut;
}

} // namespace

void SetzeSchreibHaken(void (*haken)(TSchreibSchritt)) { SchreibHaken = haken; }

bool ErsetzeDatei(const QString &pfad, const std::optional<QByteArray> &alt, const QByteArray &inhalt) {
  // A link stays a link: the file it points to gets the new content.
  const QFileInfo info(pfad);
  const QString ziel = info.isSymLink() ? info.canonicalFilePath() : pfad;
  if (ziel.isEmpty())
    return false;
  const QByteArray name = QFile::encodeName(ziel);
  if (!alt)
    return SchreibeNeueDatei(name, inhalt);

  // The blank lines a killed write left were read with the file and carried into the new content,
  // where every later write would keep them: they go now. Blank lines the caller made itself, which
  // the old content does not end with, stay.
  QByteArray neu = inhalt;
  neu.chop(qMin(Fuellbytes(*alt), Fuellbytes(neu)));

  struct stat altInfo {};
  // A file made read-only keeps its settings, as the classic write left it alone; replacing it by a
  // rename would get past its own protection.
  if (::stat(name.constData(), &altInfo) != 0 || !S_ISREG(altInfo.st_mode) || ::access(name.constData(), W_OK) != 0)
    return false;
  TErsatzDatei kopie(name);
  if (!kopie.Offen())
    return SchreibeAnOrt(name, *alt, neu);
  // Only root can hand the file back to its owner; everyone else owns it already.
  [[maybe_unused]] const int eigner = ::fchown(kopie.Handle(), altInfo.st_uid, altInfo.st_gid);
  if (::fchmod(kopie.Handle(), altInfo.st_mode & 07777) != 0 || !SchreibeKopie(kopie, neu) || !kopie.Ersetze())
    return false;
  Schritt(TSchreibSchritt::Ersetzt);
  SichereOrdner(name);
  return true;
}

TErsatzDatei::TErsatzDatei(const QByteArray &ziel) : FZiel(ziel), FKopie(ziel + ".XXXXXX") {
  // Without the lock (a folder that refuses it) the copy is written all the same: a clean-up that
  // removes it then costs this one write, never the file.
  FSperre = SperreOrdner(OrdnerVon(ziel), LOCK_SH);
  FHandle = ::mkostemp(FKopie.data(), O_CLOEXEC);
  FDa = FHandle >= 0;
  if (!FDa)
    Verwirf();
}

bool TErsatzDatei::Schreibe(const char *daten, qint64 laenge, qint64 ab) {
  return FHandle >= 0 && SchreibeAlles(FHandle, daten, laenge, ab);
}

bool TErsatzDatei::Schliesse(bool sichern) {
  if (FHandle < 0)
    return false;
  bool gut = !sichern || ::fsync(FHandle) == 0;
  gut = SchliesseDatei(FHandle) && gut;
  FHandle = -1;
  if (!gut)
    Verwirf();
  return gut;
}

bool TErsatzDatei::Ersetze() {
  if (!FDa || FHandle >= 0)
    return false;
  if (::rename(FKopie.constData(), FZiel.constData()) != 0) {
    Verwirf();
    return false;
  }
  FDa = false;
  Verwirf();
  return true;
}

bool TErsatzDatei::Verknuepfe() {
  const bool gut = FDa && FHandle < 0 && ::link(FKopie.constData(), FZiel.constData()) == 0;
  Verwirf();
  return gut;
}

void TErsatzDatei::Verwirf() {
  if (FHandle >= 0)
    ::close(FHandle);
  FHandle = -1;
  if (FDa)
    ::unlink(FKopie.constData());
  FDa = false;
  if (FSperre >= 0)
    ::close(FSperre);
  FSperre = -1;
}

bool RaeumeKopien(const QString &ordnerPfad, const std::function<bool(const QString &)> &unsere) {
  const QDir ordner(ordnerPfad);
  const TOrdnerSperre sperre(QFile::encodeName(ordner.absolutePath()), LOCK_EX | LOCK_NB);
  if (!sperre.Gesperrt())
    return false;
  for (const QString &eintrag : ordner.entryList(QDir::Files | QDir::Hidden)) {
    if (!unsere(eintrag))
      continue;
    const QByteArray rest8 = QFile::encodeName(ordner.filePath(eintrag));
    struct stat rinfo {};
    // Only a regular file of our own making; a link of that name is someone else's.
    if (::lstat(rest8.constData(), &rinfo) == 0 && S_ISREG(rinfo.st_mode))
      ::unlink(rest8.constData());
  }
  return true;
}

void RaeumeReste(const QString &pfad) {
  const QFileInfo info(pfad);
  // Exactly the names mkostemp gives: six letters or digits after the file's own name and a dot.
  const QString vorne = info.fileName() + QLatin1Char('.');
  RaeumeKopien(info.absolutePath(), [&vorne](const QString &eintrag) {
    if (eintrag.size() != vorne.size() + 6 || !eintrag.startsWith(vorne))
      return false;
    const QStringView rest = QStringView(eintrag).mid(vorne.size());
    return std::all_of(rest.begin(), rest.end(),
                       [](QChar c) { return c.isDigit() || (c.unicode() < 128 && c.isLetter()); });
  });
}

#else
#include <QSaveFile>

// Elsewhere Qt's own means, unbuffered so that every write reports its own failure.
bool ErsetzeDatei(const QString &pfad, const std::optional<QByteArray> &, const QByteArray &neu) {
  QSaveFile datei(pfad);
  if (!datei.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
    return false;
  if (datei.write(neu) != neu.size()) {
    datei.cancelWriting();
    datei.commit();
    return false;
  }
  return datei.commit();
}

void RaeumeReste(const QString &) {}
bool RaeumeKopien(const QString &, const std::function<bool(const QString &)> &) { return false; }
void SetzeSchreibHaken(void (*)(TSchreibSchritt)) {}

// Without mkostemp there is no copy: its users fall back on their own means.
TErsatzDatei::TErsatzDatei(const QByteArray &ziel) : FZiel(ziel) {}
bool TErsatzDatei::Schreibe(const char *, qint64, qint64) { return false; }
bool TErsatzDatei::Schliesse(bool) { return false; }
bool TErsatzDatei::Ersetze() { return false; }
bool TErsatzDatei::Verknuepfe() { return false; }
void TErsatzDatei::Verwirf() {}
#endif
