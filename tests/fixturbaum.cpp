// Building the tests' data folder.
#include "fixturbaum.h"

#include "data/datenordner.h"
#include "data/vorlagen.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

namespace Fixturbaum {

namespace {
const TBereich AlleBereiche[] = {TBereich::Oesterreich, TBereich::A_E, TBereich::F_J,
                                 TBereich::K_O,         TBereich::P_T, TBereich::U_Z};
const QSize GrosseVorlage(313, 67);
const QSize KleineVorlage(136, 67);

QString MitTrenner(const QString &basis) { return basis.endsWith(QLatin1Char('/')) ? basis : basis + QLatin1Char('/'); }
} // namespace

bool LegeOrdnerAn(const QString &basis, const QStringList &ohne) {
  for (TBereich bereich : AlleBereiche)
    if (!ohne.contains(RelativerOrdner(bereich)) && !QDir(basis).mkpath(RelativerOrdner(bereich)))
      return false;
  return true;
}

bool LegeVorlagenAn(const QString &basis, QColor deutsch, QColor oesterreich) {
  const QString ort = MitTrenner(basis);
  return SchreibeBild(ort + GruppenVorlageGross(0), GrosseVorlage, deutsch) &&
         SchreibeBild(ort + GruppenVorlageKlein(0), KleineVorlage, deutsch) &&
         SchreibeBild(ort + GruppenVorlageGross(1), GrosseVorlage, oesterreich) &&
         SchreibeBild(ort + GruppenVorlageKlein(1), KleineVorlage, oesterreich);
}

bool SchreibeBild(const QString &pfad, QSize groesse, QColor farbe) {
  QImage bild(groesse, QImage::Format_RGB888);
  bild.fill(farbe);
  const bool bitmap = pfad.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
  return QDir().mkpath(QFileInfo(pfad).absolutePath()) && bild.save(pfad, bitmap ? "BMP" : "JPG");
}

bool KopiereTextDateien(const QString &basis, const QString &quelle) {
  for (TBereich bereich : AlleBereiche) {
    const QString ordner = RelativerOrdner(bereich);
    const QString name = bereich == TBereich::Oesterreich
                             ? QStringLiteral("Ö-Kfz.txt")
                             : ordner.section(QLatin1Char('/'), -1) + QStringLiteral(".txt");
    const QString von = QDir(quelle).filePath(name);
    if (QFileInfo::exists(von) && !QFile::copy(von, MitTrenner(basis) + ordner + QLatin1Char('/') + name))
      return false;
  }
  return true;
}

QByteArray JpegBytes(const QImage &bild, int qualitaet, bool progressiv) {
  QByteArray daten;
  QBuffer puffer(&daten);
  puffer.open(QIODevice::WriteOnly);
  QImageWriter schreiber(&puffer, "jpg");
  schreiber.setQuality(qualitaet);
  schreiber.setProgressiveScanWrite(progressiv);
  schreiber.write(bild);
  return daten;
}

QString AlsZeilenText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
      .replace(QLatin1Char('\r'), QLatin1Char('\n'))
      .replace(QChar(0x2028), QLatin1Char('\n'));
  if (text.endsWith(QLatin1Char('\n')))
    text.chop(1);
  return text;
}

void MachSchreibbar(const QString &pfad) {
  QFile::setPermissions(pfad, QFile::permissions(pfad) | QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
  for (const QString &name : QDir(pfad).entryList(QDir::Dirs | QDir::Hidden | QDir::NoSymLinks | QDir::NoDotAndDotDot))
    MachSchreibbar(pfad + QLatin1Char('/') + name);
}

QString EigenerCache() {
  static QTemporaryDir cache;
  qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
  return cache.path();
}

} // namespace Fixturbaum
