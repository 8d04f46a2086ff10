// Bounded, non-blocking reads of data files.
#include "data/dateilesen.h"

#include <QDateTime>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX
namespace {
TDateiStand StandAus(const struct stat &info) {
  TDateiStand stand;
  stand.Groesse = static_cast<qint64>(info.st_size);
  stand.Zeit = static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  stand.Wechsel = static_cast<qint64>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
  stand.Knoten = static_cast<quint64>(info.st_ino);
  return stand;
}
} // namespace
#endif

TLeseDatei::TLeseDatei(const QString &pfad, qint64 grenze, bool alsDateiGelistet) {
#ifdef Q_OS_UNIX
  const QByteArray name = QFile::encodeName(pfad);
  struct stat info {};
  // Looked at before it is opened, since opening a device can already have an effect; without
  // O_NONBLOCK, a pipe put there meanwhile would wait forever for a writer. The type is checked
  // again on the open handle, so nothing swapped in between slips past.
  if (!alsDateiGelistet) {
    if (::stat(name.constData(), &info) != 0) {
      FFehlt = errno == ENOENT || errno == ENOTDIR;
      return;
    }
    if (!S_ISREG(info.st_mode) || info.st_size > grenze)
      return;
  }
  const int handle = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (handle < 0) {
    FFehlt = errno == ENOENT || errno == ENOTDIR;
    return;
  }
  if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > grenze) {
    ::close(handle);
    return;
  }
  FHandle = handle;
  FGroesse = static_cast<qint64>(info.st_size);
  FStand = StandAus(info);
#else
  Q_UNUSED(alsDateiGelistet);
  // Where the file system holds no pipes or devices under a data file's name, the bound is enough.
  const QFileInfo info(pfad);
  FFehlt = !info.exists();
  if (!info.isFile() || info.size() > grenze || !FDatei.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
    return;
  FGroesse = info.size();
  FStand.Groesse = FGroesse;
  FStand.Zeit = info.lastModified().toMSecsSinceEpoch();
  FStand.Wechsel = info.metadataChangeTime().toMSecsSinceEpoch();
#endif
}

TDateiStand TLeseDatei::Stand() const {
  if (Offen())
    return FStand;
  TDateiStand stand;
  stand.Groesse = Fehlt() ? -1 : 0;
  return stand;
}

TDateiStand FrageStand(const QString &pfad) {
  TDateiStand stand;
#ifdef Q_OS_UNIX
  struct stat info {};
  if (::stat(QFile::encodeName(pfad).constData(), &info) == 0)
    stand = StandAus(info);
#else
  const QFileInfo info(pfad);
  if (info.exists()) {
    stand.Groesse = info.size();
    stand.Zeit = info.lastModified().toMSecsSinceEpoch();
    stand.Wechsel = info.metadataChangeTime().toMSecsSinceEpoch();
  }
#endif
  return stand;
}

TLeseDatei::~TLeseDatei() {
#ifdef Q_OS_UNIX
  if (FHandle >= 0)
    ::close(FHandle);
#endif
}

bool TLeseDatei::Offen() const {
#ifdef Q_OS_UNIX
  return FHandle >= 0;
#else
  return FDatei.isOpen();
#endif
}

qint64 TLeseDatei::Lies(char *ziel, qint64 laenge) {
  if (!Offen())
    return -1;
  // A file that grows while it is read is cut at the size it had when it was opened.
  const qint64 rest = FGroesse - FGelesen;
  if (rest <= 0 || laenge <= 0)
    return 0;
#ifdef Q_OS_UNIX
  ssize_t n;
  while ((n = ::read(FHandle, ziel, size_t(qMin(laenge, rest)))) < 0 && errno == EINTR) {
  }
#else
  const qint64 n = FDatei.read(ziel, qMin(laenge, rest));
#endif
  if (n > 0)
    FGelesen += n;
  return n;
}

// The block reader's checks, read to the size the file had when opened.
TDateiInhalt LiesRegulaereDatei(const QString &pfad, qint64 grenze) {
  TLeseDatei datei(pfad, grenze);
  if (!datei.Offen())
    return {datei.Fehlt() ? TDateiZustand::Fehlt : TDateiZustand::Unbrauchbar, {}};
  QByteArray daten(qsizetype(datei.Groesse()), Qt::Uninitialized);
  qint64 gelesen = 0;
  while (gelesen < daten.size()) {
    const qint64 n = datei.Lies(daten.data() + gelesen, daten.size() - gelesen);
    if (n < 0)
      return {TDateiZustand::Unbrauchbar, {}};
    if (n == 0)
      break;
    gelesen += n;
  }
  // A file that shrank meanwhile gives what it still held.
  daten.truncate(qsizetype(gelesen));
  return {TDateiZustand::Gelesen, daten};
}

#ifdef Q_OS_UNIX
bool SchreibeAlles(int fd, const char *daten, qint64 laenge, qint64 ab) {
  while (laenge > 0) {
    const ssize_t geschrieben = ::pwrite(fd, daten, size_t(laenge), off_t(ab));
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
#endif
