// Careful file access for Kennzeichen.ini. Qt's buffered QSaveFile can report success although the last
// flush failed on a full disk, so the writes here go to the file descriptor and check every step.
#include "app/dateizugriff.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool SchreibeAlles(int fd, const char *daten, qint64 laenge, off_t ab) {
  while (laenge > 0) {
    const ssize_t geschrieben = ::pwrite(fd, daten, size_t(laenge), ab);
    if (geschrieben < 0 && errno == EINTR)
      continue;
    if (geschrieben <= 0)
      return false;
    daten += geschrieben;
    laenge -= geschrieben;
    ab += geschrieben;
  }
  return true;
}

bool Kuerze(int fd, off_t laenge) {
  int ergebnis;
  while ((ergebnis = ::ftruncate(fd, laenge)) != 0 && errno == EINTR) {
  }
  return ergebnis == 0;
}

bool Schliesse(int fd) { return ::close(fd) == 0 || errno == EINTR; }

// Makes the rename itself durable; a folder that refuses this loses nothing that is not already safe.
void SichereOrdner(const QByteArray &datei) {
  const int schnitt = datei.lastIndexOf('/');
  const QByteArray ordner = schnitt < 0 ? QByteArray(".") : datei.left(qMax(schnitt, 1));
  const int fd = ::open(ordner.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

bool SchreibeNeueDatei(const QByteArray &name, const QByteArray &neu) {
  const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0)
    return false;
  bool gut = SchreibeAlles(fd, neu.constData(), neu.size(), 0) && ::fsync(fd) == 0;
  gut = Schliesse(fd) && gut;
  // No empty or cut file may stay where there was none.
  if (!gut) {
    ::unlink(name.constData());
    return false;
  }
  SichereOrdner(name);
  return true;
}

// For a folder we may not create files in: the classic profile write wrote in place too. The part beyond
// the old end goes first, so a full disk fails before a single old byte has changed; the old bytes go back
// on any later failure.
bool SchreibeAnOrt(const QByteArray &name, const QByteArray &alt, const QByteArray &neu) {
  const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0)
    return false;
  struct stat info {};
  // Whatever changed since it was read is not ours to overwrite.
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size != alt.size()) {
    ::close(fd);
    return false;
  }
  const qint64 gemeinsam = std::min(alt.size(), neu.size());
  if (neu.size() > alt.size() &&
      !SchreibeAlles(fd, neu.constData() + alt.size(), neu.size() - alt.size(), alt.size())) {
    Kuerze(fd, alt.size());
    ::close(fd);
    return false;
  }
  bool gut = SchreibeAlles(fd, neu.constData(), gemeinsam, 0) && Kuerze(fd, neu.size()) && ::fsync(fd) == 0;
  if (!gut && SchreibeAlles(fd, alt.constData(), alt.size(), 0) && Kuerze(fd, alt.size()))
    ::fsync(fd);
  gut = Schliesse(fd) && gut;
  return gut;
}

} // namespace

bool ErsetzeDatei(const QString &pfad, const std::optional<QByteArray> &alt, const QByteArray &neu) {
  // A link stays a link: the file it points to gets the new content.
  const QFileInfo info(pfad);
  const QString ziel = info.isSymLink() ? info.canonicalFilePath() : pfad;
  if (ziel.isEmpty())
    return false;
  const QByteArray name = QFile::encodeName(ziel);
  if (!alt)
    return SchreibeNeueDatei(name, neu);

  struct stat altInfo {};
  // A file made read-only keeps its settings, as the classic write left it alone; replacing it by a
  // rename would get past its own protection.
  if (::stat(name.constData(), &altInfo) != 0 || !S_ISREG(altInfo.st_mode) || ::access(name.constData(), W_OK) != 0)
    return false;
  QByteArray muster = name + ".XXXXXX";
  const int fd = ::mkostemp(muster.data(), O_CLOEXEC);
  if (fd < 0)
    return SchreibeAnOrt(name, *alt, neu);
  // Only root can hand the file back to its owner; everyone else owns it already.
  [[maybe_unused]] const int eigner = ::fchown(fd, altInfo.st_uid, altInfo.st_gid);
  bool gut = ::fchmod(fd, altInfo.st_mode & 07777) == 0 && SchreibeAlles(fd, neu.constData(), neu.size(), 0) &&
             ::fsync(fd) == 0;
  gut = Schliesse(fd) && gut;
  if (gut)
    gut = ::rename(muster.constData(), name.constData()) == 0;
  if (!gut) {
    ::unlink(muster.constData());
    return false;
  }
  SichereOrdner(name);
  return true;
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
#endif
