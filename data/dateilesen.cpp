// Bounded, non-blocking reads of data files.
#include "data/dateilesen.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef O_CLOEXEC
#define O_CLOEXEC 0
#endif
#ifndef O_NOCTTY
#define O_NOCTTY 0
#endif
#ifndef O_NONBLOCK
#define O_NONBLOCK 0
#endif

TLeseDatei::TLeseDatei(const QString &pfad, qint64 grenze) {
  // Without O_NONBLOCK, opening a pipe nobody writes to would wait forever; the type is checked on
  // the open handle, so a file swapped in between cannot slip past.
  const int handle = ::open(QFile::encodeName(pfad).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (handle < 0)
    return;
  struct stat info {};
  if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > grenze) {
    ::close(handle);
    return;
  }
  FHandle = handle;
  FGroesse = static_cast<qint64>(info.st_size);
}

TLeseDatei::~TLeseDatei() {
  if (FHandle >= 0)
    ::close(FHandle);
}

qint64 TLeseDatei::Lies(char *ziel, qint64 laenge) {
  if (FHandle < 0)
    return -1;
  // A file that grows while it is read is cut at the size it had when it was opened.
  const qint64 rest = FGroesse - FGelesen;
  if (rest <= 0 || laenge <= 0)
    return 0;
  for (;;) {
    const ssize_t n = ::read(FHandle, ziel, static_cast<size_t>(qMin(laenge, rest)));
    if (n < 0 && errno == EINTR)
      continue;
    if (n > 0)
      FGelesen += n;
    return n;
  }
}

std::optional<QByteArray> LiesGanzeDatei(const QString &pfad, qint64 grenze) {
  TLeseDatei datei(pfad, grenze);
  if (!datei.Offen())
    return std::nullopt;
  QByteArray bytes(datei.Groesse(), Qt::Uninitialized);
  qint64 gelesen = 0;
  while (gelesen < bytes.size()) {
    const qint64 n = datei.Lies(bytes.data() + gelesen, bytes.size() - gelesen);
    if (n < 0)
      return std::nullopt;
    if (n == 0)
      break;
    gelesen += n;
  }
  // A file that shrank meanwhile gives what it still holds.
  bytes.truncate(gelesen);
  return bytes;
}
