// Writes the seed corpora of the fuzz targets: the test fixtures' text files in every encoding the
// program reads, settings files of every shape the tests know, small pictures of each JPEG kind, and
// thumbnail packs.
#include "data/ansi.h"
#include "data/textdatei.h"
#include "gallery/vorschaupaket.h"
#include "tests/fixturbaum.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QStringEncoder>

#include <cstdio>

namespace {

bool Schreibe(const QString &pfad, const QByteArray &daten) {
  QFile datei(pfad);
  return datei.open(QIODevice::WriteOnly) && datei.write(daten) == daten.size();
}

QByteArray MitMarke(const QString &text, QStringConverter::Encoding kodierung) {
  QStringEncoder kodierer(kodierung, QStringConverter::Flag::WriteBom);
  return kodierer.encode(text);
}

// Every text file of the fixtures in the four encodings, once with its own line ends and once with LF.
bool Texte(const QString &fixtures, const QString &ziel) {
  int nummer = 0;
  QDirIterator dateien(fixtures, {QStringLiteral("*.txt")}, QDir::Files, QDirIterator::Subdirectories);
  while (dateien.hasNext()) {
    const std::optional<QStringList> zeilen = LadeZeilen(dateien.next());
    if (!zeilen)
      return false;
    for (const char *ende : {"\r\n", "\n"}) {
      const QString text = zeilen->join(QLatin1String(ende)) + QLatin1String(ende);
      const QByteArray formen[] = {MitMarke(text, QStringConverter::Utf8), MitMarke(text, QStringConverter::Utf16LE),
                                   MitMarke(text, QStringConverter::Utf16BE), NachAnsi(text)};
      for (const QByteArray &form : formen)
        if (!Schreibe(ziel + QStringLiteral("/text%1").arg(nummer++, 3, 10, QLatin1Char('0')), form))
          return false;
    }
  }
  return nummer > 0;
}

bool Einstellungen(const QString &ziel) {
  const QByteArray formen[] = {
      "[Einstellung]\r\nGroesse=770x734\r\nKartenAdresse=https://www.openstreetmap.org/\r\nAuswahl=0\r\n",
      "[einstellung]\nGROESSE = 900x700\nauswahl=\"1\"\n",
      "; Kommentar\r\n[Andere]\r\nAuswahl=5\r\n[Einstellung]\r\nAuswahl=x\r\n[Einstellung]\r\nAuswahl=1",
      "[Einstellung\rGroesse=-5x0\rKartenAdresse='file:///etc/passwd'\r",
      "",
      "\xEF\xBB\xBF[Einstellung]\r\nKartenAdresse=https://example.org/" + QByteArray(300, 'a') + "\r\n",
      "[Einstellung]\r\nGroesse=2147483647x2147483647\r\nAuswahl=\xE4\r\n=\r\n[]\r\n",
  };
  int nummer = 0;
  for (const QByteArray &form : formen)
    if (!Schreibe(ziel + QStringLiteral("/ini%1").arg(nummer++), form))
      return false;
  return true;
}

QByteArray AlsJpeg(const QImage &bild, bool progressiv) { return Fixturbaum::JpegBytes(bild, 80, progressiv); }

bool Bilder(const QString &fixtures, const QString &ziel) {
  QImage farbe(48, 24, QImage::Format_RGB32);
  for (int y = 0; y < farbe.height(); ++y)
    for (int x = 0; x < farbe.width(); ++x)
      farbe.setPixel(x, y, qRgb(x * 5, y * 10, 255 - x * 5));
  const QByteArray formen[] = {AlsJpeg(farbe, false), AlsJpeg(farbe, true),
                               AlsJpeg(farbe.convertToFormat(QImage::Format_Grayscale8), false),
                               AlsJpeg(farbe.convertToFormat(QImage::Format_Grayscale8), true)};
  int nummer = 0;
  for (const QByteArray &form : formen)
    if (form.isEmpty() || !Schreibe(ziel + QStringLiteral("/jpeg%1").arg(nummer++), form))
      return false;
  QDirIterator dateien(fixtures, {QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
  while (dateien.hasNext()) {
    const QString quelle = dateien.next();
    QFile::remove(ziel + QLatin1Char('/') + dateien.fileName());
    if (!QFile::copy(quelle, ziel + QLatin1Char('/') + dateien.fileName()))
      return false;
  }
  return true;
}

// Packs as the gallery writes them, for the folder and tile size the fuzz target reads them with:
// thumbnails of both orientations, a file that did not decode, and an empty folder.
bool Pakete(const QString &ziel) {
  QImage quer(93, 29, QImage::Format_RGB888), hoch(20, 93, QImage::Format_RGB888);
  quer.fill(QColor(10, 200, 30));
  hoch.fill(Qt::white);
  {
    TPaketSchreiber voll(ziel + QStringLiteral("/paket0"), QStringLiteral("/nf-fuzz/Bilder"), 95, 1.0);
    voll.Fuege(QStringLiteral("A.jpg"), {1234, 1700000000000000000LL, 1700000000500000000LL, 4711}, quer);
    voll.Fuege(QStringLiteral("Ö_Kfz.jpg"), {99, 5, 6, 7}, hoch);
    voll.Fuege(QStringLiteral("kaputt.jpg"), {6, 7, 8, 9}, QImage());
    if (!voll.Schliesse())
      return false;
  }
  TPaketSchreiber leer(ziel + QStringLiteral("/paket1"), QStringLiteral("/nf-fuzz/Bilder"), 95, 1.0);
  return leer.Schliesse();
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <build folder> <fixtures folder>\n", argv[0]);
    return 2;
  }
  const QString basis = QString::fromLocal8Bit(argv[1]);
  const QString fixtures = QString::fromLocal8Bit(argv[2]);
  const QString text = basis + QStringLiteral("/korpus-textdatei");
  const QString ini = basis + QStringLiteral("/korpus-einstellungen");
  const QString jpeg = basis + QStringLiteral("/korpus-jpeg");
  const QString paket = basis + QStringLiteral("/korpus-vorschaupaket");
  for (const QString &ordner : {text, ini, jpeg, paket})
    if (!QDir().mkpath(ordner))
      return 1;
  if (!Texte(fixtures, text) || !Einstellungen(ini) || !Bilder(fixtures, jpeg) || !Pakete(paket)) {
    std::fprintf(stderr, "could not write the seed corpora\n");
    return 1;
  }
  return 0;
}
