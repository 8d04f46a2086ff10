// The thumbnail pack on disk: its layout, a reader that trusts nothing it reads, and a writer that
// replaces a pack only by a rename.
//
// Layout, all numbers little-endian: a head of KopfLaenge bytes (magic, version, tile size, ratio,
// entry count, where the table lies, its checksum, the head's own checksum), then the thumbnails'
// pixels (RGB888, rows without padding), then the table (the folder's path, then per entry its name,
// file size, modification time, change time, inode, thumbnail size, offset and checksum). The table comes last so that
// the pixels can be written as they come and the head once at the end.
#include "gallery/vorschaupaket.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtEndian>

#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr char Kennung[8] = {'N', 'F', 'V', 'O', 'R', 'S', 'C', 'H'};
// 2: the entries hold the change time and the inode; packs of version 1 are refused and rewritten.
constexpr quint32 Version = 2;
constexpr qint64 KopfLaenge = PaketKopfLaenge;
// Bounds on what a table may claim: far beyond any real folder, small enough to read without harm.
constexpr qint64 GroessteTabelle = 64LL * 1024 * 1024;
constexpr int GroessterName = 4096;
constexpr int GroessteSeite = 4096;
constexpr qint64 SchreibBlock = 1024 * 1024;
// A writer's temporary file older than this belongs to a run that was killed.
constexpr qint64 VerwaisteSekunden = 600;

const QString PaketEndung = QStringLiteral(".vorschau");

} // namespace

// A word-wise hash: it only has to notice damage, and it must keep up with reading 600 MB.
quint64 PaketPruefsumme(const char *daten, qint64 laenge) {
  quint64 spur[4] = {0x9E3779B97F4A7C15ULL, 0xC2B2AE3D27D4EB4FULL, 0x165667B19E3779F9ULL,
                     0x27D4EB2F165667C5ULL ^ quint64(laenge)};
  constexpr quint64 Faktor = 0x100000001B3ULL;
  qint64 i = 0;
  for (; i + 32 <= laenge; i += 32)
    for (int s = 0; s < 4; ++s) {
      quint64 wort;
      std::memcpy(&wort, daten + i + 8 * s, 8);
      spur[s] = (spur[s] ^ wort) * Faktor;
      spur[s] ^= spur[s] >> 29;
    }
  quint64 summe = spur[0] ^ (spur[1] << 1) ^ (spur[2] << 2) ^ (spur[3] << 3);
  for (; i < laenge; ++i)
    summe = (summe ^ quint8(daten[i])) * Faktor;
  return summe ^ (summe >> 31);
}

namespace {

quint64 Pruefsumme(const char *daten, qint64 laenge) { return PaketPruefsumme(daten, laenge); }

quint64 VerhaeltnisBits(qreal verhaeltnis) {
  quint64 bits;
  static_assert(sizeof bits == sizeof verhaeltnis, "ratio is a double");
  std::memcpy(&bits, &verhaeltnis, sizeof bits);
  return bits;
}

template <typename T> void Haenge(QByteArray &ziel, T wert) {
  char roh[sizeof(T)];
  qToLittleEndian(wert, roh);
  ziel.append(roh, sizeof(T));
}

// Takes numbers from a byte range and remembers when the range ran out.
class TLeser {
public:
  TLeser(const char *daten, qint64 laenge) : FDaten(daten), FRest(laenge) {}
  template <typename T> T Zahl() {
    if (FRest < qint64(sizeof(T))) {
      FKaputt = true;
      return T();
    }
    const T wert = qFromLittleEndian<T>(FDaten);
    FDaten += sizeof(T);
    FRest -= sizeof(T);
    return wert;
  }
  QString Text(qint64 laenge) {
    if (laenge > FRest) {
      FKaputt = true;
      return {};
    }
    const QString text = QString::fromUtf8(FDaten, qsizetype(laenge));
    FDaten += laenge;
    FRest -= laenge;
    return text;
  }
  bool Kaputt() const { return FKaputt; }
  qint64 Rest() const { return FRest; }

private:
  const char *FDaten;
  qint64 FRest;
  bool FKaputt = false;
};

bool LiesGenau(QIODevice &quelle, char *ziel, qint64 laenge) {
  while (laenge > 0) {
    const qint64 n = quelle.read(ziel, laenge);
    if (n <= 0)
      return false;
    ziel += n;
    laenge -= n;
  }
  return true;
}

// The absolute form, so that the same folder reached from two base folders is one pack.
QString AbsoluterOrdner(const QString &ordner) { return QDir::cleanPath(QDir(ordner).absolutePath()); }

const QRegularExpression &EigenerName() {
  static const QRegularExpression muster(QStringLiteral("^[0-9a-f]{32}\\.vorschau(\\.[A-Za-z0-9]{6})?$"));
  return muster;
}

} // namespace

QString VorschauPaketOrdner() {
  QString basis = qEnvironmentVariable("XDG_CACHE_HOME");
  // A relative value is invalid by the XDG rules and would put the packs wherever the program starts.
  if (basis.isEmpty() || QDir::isRelativePath(basis)) {
    const QString heim = qEnvironmentVariable("HOME");
    if (heim.isEmpty() || QDir::isRelativePath(heim))
      return {};
    basis = heim + QStringLiteral("/.cache");
  }
  return basis + QStringLiteral("/nummernfibel");
}

QString VorschauPaketPfad(const QString &paketOrdner, const QString &ordner, int groesse, qreal verhaeltnis) {
  if (paketOrdner.isEmpty())
    return {};
  const QByteArray schluessel = AbsoluterOrdner(ordner).toUtf8() + '\n' + QByteArray::number(groesse) + '\n' +
                                QByteArray::number(verhaeltnis, 'g', 17);
  const QByteArray hash = QCryptographicHash::hash(schluessel, QCryptographicHash::Sha1).toHex().left(32);
  return paketOrdner + QLatin1Char('/') + QString::fromLatin1(hash) + PaketEndung;
}

bool TVorschauPaket::Oeffne(const QString &pfad, const QString &ordner, int groesse, qreal verhaeltnis) {
  FEintraege.clear();
  FNamen.clear();
  if (pfad.isEmpty())
    return false;
#ifdef Q_OS_UNIX
  // A pipe or device put in the pack's place must neither block nor be read.
  const int handle = ::open(QFile::encodeName(pfad).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (handle < 0)
    return false;
  struct stat info {};
  if (::fstat(handle, &info) != 0 || !S_ISREG(info.st_mode) ||
      !FDatei.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(handle);
    return false;
  }
#else
  FDatei.setFileName(pfad);
  if (!QFileInfo(pfad).isFile() || !FDatei.open(QIODevice::ReadOnly))
    return false;
#endif
  FQuelle = &FDatei;
  FAbbild = nullptr;
  if (Pruefe(FDatei, ordner, groesse, verhaeltnis)) {
    // Mapped, a thumbnail costs no read of its own: a restart touches only the pages of the tiles
    // it shows. The checksums of the head and the table are checked; each thumbnail's when it is read.
    FAbbild = FDatei.map(0, FLaenge);
    return true;
  }
  FDatei.close();
  FQuelle = nullptr;
  return false;
}

bool TVorschauPaket::OeffneDaten(const QByteArray &daten, const QString &ordner, int groesse, qreal verhaeltnis) {
  FEintraege.clear();
  FNamen.clear();
  FAbbild = nullptr;
  FDaten = daten;
  auto *puffer = new QBuffer(&FDaten);
  FPuffer.reset(puffer);
  puffer->open(QIODevice::ReadOnly);
  FQuelle = puffer;
  if (Pruefe(*puffer, ordner, groesse, verhaeltnis))
    return true;
  FQuelle = nullptr;
  return false;
}

bool TVorschauPaket::Pruefe(QIODevice &quelle, const QString &ordner, int groesse, qreal verhaeltnis) {
  FLaenge = quelle.size();
  FVerhaeltnis = verhaeltnis;
  char kopf[KopfLaenge];
  if (FLaenge < KopfLaenge || !LiesGenau(quelle, kopf, KopfLaenge))
    return false;
  if (std::memcmp(kopf, Kennung, sizeof Kennung) != 0 ||
      qFromLittleEndian<quint64>(kopf + PaketKopfSummeStelle) != Pruefsumme(kopf, PaketKopfSummeStelle))
    return false;
  TLeser k(kopf + sizeof Kennung, KopfLaenge - qint64(sizeof Kennung));
  const quint32 version = k.Zahl<quint32>();
  const quint32 seite = k.Zahl<quint32>();
  const quint64 ratio = k.Zahl<quint64>();
  const quint32 anzahl = k.Zahl<quint32>();
  k.Zahl<quint32>();
  const quint64 tabellenVersatz = k.Zahl<quint64>();
  const quint64 tabellenLaenge = k.Zahl<quint64>();
  const quint64 tabellenSumme = k.Zahl<quint64>();
  // Another version, tile size or ratio is another cache: it is replaced, not read.
  if (version != Version || seite != quint32(groesse) || ratio != VerhaeltnisBits(verhaeltnis))
    return false;
  if (tabellenLaenge > quint64(GroessteTabelle) || tabellenVersatz < quint64(KopfLaenge) ||
      tabellenVersatz > quint64(FLaenge) || tabellenLaenge != quint64(FLaenge) - tabellenVersatz)
    return false;

  QByteArray tabelle(qsizetype(tabellenLaenge), Qt::Uninitialized);
  if (!quelle.seek(qint64(tabellenVersatz)) || !LiesGenau(quelle, tabelle.data(), tabelle.size()) ||
      Pruefsumme(tabelle.constData(), tabelle.size()) != tabellenSumme)
    return false;
  TLeser t(tabelle.constData(), tabelle.size());
  const quint32 ordnerLaenge = t.Zahl<quint32>();
  if (t.Kaputt() || ordnerLaenge > quint32(t.Rest()) || t.Text(ordnerLaenge) != AbsoluterOrdner(ordner))
    return false;
  // Each entry takes at least 54 bytes, so a count the table cannot hold is refused before reserving.
  if (anzahl > quint64(t.Rest()) / 54)
    return false;
  FEintraege.reserve(anzahl);
  FNamen.reserve(int(anzahl));
  for (quint32 n = 0; n < anzahl; ++n) {
    const quint16 nameLaenge = t.Zahl<quint16>();
    if (nameLaenge == 0 || nameLaenge > GroessterName)
      return false;
    const QString name = t.Text(nameLaenge);
    TPaketEintrag e;
    e.Stand.Groesse = t.Zahl<qint64>();
    e.Stand.Zeit = t.Zahl<qint64>();
    e.Stand.Wechsel = t.Zahl<qint64>();
    e.Stand.Knoten = t.Zahl<quint64>();
    e.Breite = t.Zahl<quint16>();
    e.Hoehe = t.Zahl<quint16>();
    const quint64 versatz = t.Zahl<quint64>();
    e.Pruefsumme = t.Zahl<quint64>();
    if (t.Kaputt() || name.isEmpty() || name.contains(QLatin1Char('/')) || FNamen.contains(name))
      return false;
    if (e.Stand.Groesse < 0 || e.Breite > GroessteSeite || e.Hoehe > GroessteSeite || (e.Breite == 0) != (e.Hoehe == 0))
      return false;
    const quint64 bytes = quint64(e.Breite) * quint64(e.Hoehe) * 3;
    if (versatz < quint64(KopfLaenge) || versatz > tabellenVersatz || bytes > tabellenVersatz - versatz)
      return false;
    e.Versatz = qint64(versatz);
    FNamen.insert(name, int(FEintraege.size()));
    FEintraege.push_back(e);
  }
  if (t.Rest() != 0)
    return false;
  // The pixels are read from the start on, in the order they were written.
  return quelle.seek(KopfLaenge);
}

const TPaketEintrag *TVorschauPaket::Finde(const QString &name) const {
  const auto gefunden = FNamen.constFind(name);
  return gefunden == FNamen.cend() ? nullptr : &FEintraege[size_t(*gefunden)];
}

std::optional<QImage> TVorschauPaket::Lies(const TPaketEintrag &eintrag) {
  if (!FQuelle)
    return std::nullopt;
  if (eintrag.Breite == 0)
    return QImage();
  const qint64 zeilenBytes = qint64(eintrag.Breite) * 3;
  const qint64 bytes = zeilenBytes * eintrag.Hoehe;
  // Without a mapping there is no address to count from: the pixels are read into the buffer.
  const char *pixel = FAbbild ? reinterpret_cast<const char *>(FAbbild) + eintrag.Versatz : nullptr;
  if (!pixel) {
    FLesePuffer.resize(qsizetype(bytes));
    // Entries read in the order they were written need no seek: a buffered file reads on.
    if (FQuelle->pos() != eintrag.Versatz && !FQuelle->seek(eintrag.Versatz))
      return std::nullopt;
    if (!LiesGenau(*FQuelle, FLesePuffer.data(), bytes))
      return std::nullopt;
    pixel = FLesePuffer.constData();
  }
  if (Pruefsumme(pixel, bytes) != eintrag.Pruefsumme)
    return std::nullopt;
  QImage bild(eintrag.Breite, eintrag.Hoehe, QImage::Format_RGB888);
  if (bild.isNull())
    return std::nullopt;
  for (int y = 0; y < eintrag.Hoehe; ++y)
    std::memcpy(bild.scanLine(y), pixel + y * zeilenBytes, size_t(zeilenBytes));
  bild.setDevicePixelRatio(FVerhaeltnis);
  return bild;
}

TPaketSchreiber::TPaketSchreiber(const QString &pfad, const QString &ordner, int groesse, qreal verhaeltnis,
                                 int erwartet)
    : FErwartet(erwartet), FOrdner(ordner), FGroesse(groesse), FVerhaeltnis(verhaeltnis) {
  if (pfad.isEmpty() || !QDir().mkpath(QFileInfo(pfad).absolutePath()))
    return;
  FKopie = std::make_unique<TErsatzDatei>(QFile::encodeName(pfad));
  if (!FKopie->Offen())
    return;
  const QByteArray name = AbsoluterOrdner(ordner).toUtf8();
  Haenge<quint32>(FTabelle, quint32(name.size()));
  FTabelle.append(name);
  FVersatz = KopfLaenge;
  FPuffer.reserve(SchreibBlock + 64 * 1024);
}

TPaketSchreiber::~TPaketSchreiber() { Verwirf(); }

void TPaketSchreiber::Verwirf() {
  if (FKopie)
    FKopie->Verwirf();
}

bool TPaketSchreiber::Schreibe(const char *daten, qint64 laenge) {
  return FKopie->Schreibe(daten, laenge, FVersatz - FPuffer.size());
}

bool TPaketSchreiber::Leere() {
  const bool gut = FPuffer.isEmpty() || Schreibe(FPuffer.constData(), FPuffer.size());
  FPuffer.clear();
  return gut;
}

void TPaketSchreiber::Fuege(const QString &name, const TDateiStand &stand, const QImage &bild) {
  const QByteArray roh = name.toUtf8();
  if (!Gut() || roh.isEmpty() || roh.size() > GroessterName || stand.Groesse < 0)
    return;
  QImage rgb = bild;
  if (!rgb.isNull() && rgb.format() != QImage::Format_RGB888)
    rgb = rgb.convertToFormat(QImage::Format_RGB888);
  // A thumbnail larger than a pack may hold stays out; it is decoded again next time.
  if (rgb.width() > GroessteSeite || rgb.height() > GroessteSeite)
    return;
  const qint64 anfang = FVersatz;
  const qint64 zeilenBytes = qint64(rgb.width()) * 3;
  for (int y = 0; y < rgb.height(); ++y)
    FPuffer.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), qsizetype(zeilenBytes));
  const qint64 bytes = zeilenBytes * rgb.height();
  FVersatz += bytes;
  Haenge<quint16>(FTabelle, quint16(roh.size()));
  FTabelle.append(roh);
  Haenge<qint64>(FTabelle, stand.Groesse);
  Haenge<qint64>(FTabelle, stand.Zeit);
  Haenge<qint64>(FTabelle, stand.Wechsel);
  Haenge<quint64>(FTabelle, stand.Knoten);
  Haenge<quint16>(FTabelle, quint16(rgb.width()));
  Haenge<quint16>(FTabelle, quint16(rgb.height()));
  Haenge<quint64>(FTabelle, quint64(anfang));
  Haenge<quint64>(FTabelle, Pruefsumme(FPuffer.constData() + FPuffer.size() - bytes, bytes));
  ++FAnzahl;
  // The thumbnails so far stand for those to come; a few first ones would be a poor guess.
  constexpr int Stichprobe = 64;
  const qint64 voraus = FVersatz + (FVersatz - KopfLaenge) / FAnzahl * qMax(0, FErwartet - FAnzahl);
  // Decided before the first block goes to the disk at the latest, so that nothing is written in vain.
  const bool schaetzbar = FAnzahl >= qMin(Stichprobe, FErwartet) || FPuffer.size() >= SchreibBlock;
  if (FVersatz > PaketGrenze || (schaetzbar && voraus > PaketGrenze)) {
    FZuGross = true;
    qInfo("Vorschaupaket für %s nicht geschrieben: voraussichtlich %lld MB, mehr als die Grenze von %lld MB. "
          "Dieser Ordner wird bei jedem Start neu dekodiert.",
          qPrintable(QDir::toNativeSeparators(FOrdner)), static_cast<long long>(voraus >> 20),
          static_cast<long long>(PaketGrenze >> 20));
    Verwirf();
    FKopie.reset();
    return;
  }
  if (FPuffer.size() >= SchreibBlock && !Leere())
    Verwirf();
}

bool TPaketSchreiber::Schliesse() {
  if (!Gut() || !Leere())
    return false;
  const qint64 tabellenVersatz = FVersatz;
  FPuffer = FTabelle;
  FVersatz += FTabelle.size();
  if (!Leere()) {
    Verwirf();
    return false;
  }
  QByteArray kopf(Kennung, sizeof Kennung);
  Haenge<quint32>(kopf, Version);
  Haenge<quint32>(kopf, quint32(FGroesse));
  Haenge<quint64>(kopf, VerhaeltnisBits(FVerhaeltnis));
  Haenge<quint32>(kopf, quint32(FAnzahl));
  Haenge<quint32>(kopf, 0);
  Haenge<quint64>(kopf, quint64(tabellenVersatz));
  Haenge<quint64>(kopf, quint64(FTabelle.size()));
  Haenge<quint64>(kopf, Pruefsumme(FTabelle.constData(), FTabelle.size()));
  Haenge<quint64>(kopf, Pruefsumme(kopf.constData(), kopf.size()));
  // The head goes to the front, where the pixels left room for it.
  FPuffer = kopf;
  const qint64 ende = FVersatz;
  FVersatz = KopfLaenge;
  const bool gut = Leere();
  FVersatz = ende;
  if (!gut) {
    Verwirf();
    return false;
  }
  // A pack is a cache: without fsync a crash can at worst leave a pack the reader refuses.
  return FKopie->Schliesse(false) && FKopie->Ersetze();
}

void BegrenzePakete(const QString &paketOrdner, const QString &schonen, qint64 grenze) {
  if (paketOrdner.isEmpty())
    return;
  QDir ordner(paketOrdner);
  // Only files of our own naming are ever removed: the folder may have been pointed elsewhere.
  QFileInfoList pakete;
  qint64 summe = 0;
  const QDateTime jetzt = QDateTime::currentDateTimeUtc();
  for (const QFileInfo &info : ordner.entryInfoList(QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Time)) {
    if (!EigenerName().match(info.fileName()).hasMatch())
      continue;
    if (!info.fileName().endsWith(PaketEndung)) {
      if (info.lastModified().secsTo(jetzt) > VerwaisteSekunden)
        QFile::remove(info.absoluteFilePath());
      // A write in progress takes room too; the bound is on everything here.
      else
        summe += info.size();
      continue;
    }
    summe += info.size();
    pakete.append(info);
  }
  // Newest first, so the oldest are at the back.
  while (summe > grenze && !pakete.isEmpty()) {
    const QFileInfo aeltestes = pakete.takeLast();
    if (aeltestes.absoluteFilePath() == QFileInfo(schonen).absoluteFilePath())
      continue;
    if (QFile::remove(aeltestes.absoluteFilePath()))
      summe -= aeltestes.size();
  }
}

void RaeumePaketReste(const QString &paketOrdner, qint64 grenze) {
  if (paketOrdner.isEmpty())
    return;
  RaeumeKopien(paketOrdner,
               [](const QString &name) { return EigenerName().match(name).hasMatch() && !name.endsWith(PaketEndung); });
  BegrenzePakete(paketOrdner, QString(), grenze);
}

void BeruehrePaket(const QString &pfad) {
#ifdef Q_OS_UNIX
  // A pack in a folder we may not write in keeps its age; that costs nothing but its turn.
  ::utimensat(AT_FDCWD, QFile::encodeName(pfad).constData(), nullptr, 0);
#else
  Q_UNUSED(pfad);
#endif
}
