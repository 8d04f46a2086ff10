// The gallery's rules: grid arithmetic, listing, thumbnail size, frames and tile pictures.
#include "gallery/galerieregeln.h"

#include "app/einstellungen.h"
#include "data/ansi.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QVector>

#include <algorithm>
#include <utility>

TGitter BerechneGitter(int anzahl, int clientBreite) {
  if (anzahl <= 0)
    return {};
  TGitter gitter;
  gitter.Spalten = qMax(1, (clientBreite - KachelAbstand) / KachelRaster);
  if (anzahl < gitter.Spalten)
    gitter.Spalten = anzahl;
  gitter.Zeilen = anzahl / gitter.Spalten + (anzahl % gitter.Spalten > 0 ? 1 : 0);
  return gitter;
}

QPoint KachelPosition(int index, int spalten) {
  const int s = qMax(1, spalten);
  return {KachelRaster * (index % s) + KachelAbstand, KachelRaster * (index / s) + KachelAbstand};
}

int SichtSpalten(int aussenBreite) { return qMax(1, aussenBreite / SichtSpaltenBreite); }

int ScrollBereich(int anzahl, int sichtSpalten) { return (anzahl / qMax(1, sichtSpalten) + 1) * KachelRaster; }

int FundPosition(int gefundenIndex, int sichtSpalten) { return (gefundenIndex / qMax(1, sichtSpalten)) * KachelRaster; }

namespace {

// Only A-Z are lower-cased, as the classic extension test did.
QString KleinAZ(QString text) {
  for (QChar &c : text)
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
      c = QChar(c.unicode() + 32);
  return text;
}

} // namespace

QStringList ListeBilder(const QString &ordner, const QString &endungen) {
  QDir dir(ordner);
  if (ordner.trimmed().isEmpty() || !dir.exists())
    return {};
  // Hidden and system files count like any other; only folders are left out.
  const QStringList namen = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::NoSort);

  QVector<std::pair<QString, QString>> treffer; // (upper-cased name, name)
  for (const QString &name : namen) {
    const int punkt = name.lastIndexOf(QLatin1Char('.'));
    if (punkt < 0)
      continue;
    if (!endungen.contains(KleinAZ(name.mid(punkt))))
      continue;
    treffer.append({AnsiGross(name), name});
  }
  // Names that differ only in letter case (possible here, not on the classic file system) keep a
  // fixed order.
  std::sort(treffer.begin(), treffer.end());

  QString basis = ordner;
  if (!basis.endsWith(QLatin1Char('/')))
    basis += QLatin1Char('/');
  QStringList pfade;
  pfade.reserve(treffer.size());
  for (const auto &t : treffer)
    pfade.append(basis + t.second);
  return pfade;
}

QString DateiName(const QString &pfad) { return pfad.mid(pfad.lastIndexOf(QLatin1Char('/')) + 1); }

QSize ZwischenGroesse(QSize original, int groesse) {
  const qint64 w = original.width();
  const qint64 h = original.height();
  const int lang = groesse - 2;
  if (w <= 0 || h <= 0)
    return {lang, lang};
  // Trunc(groesse * kurz / lang) in whole numbers: the exact value, with no rounding error of the
  // quotient that could cost a pixel where it divides evenly. A very thin picture would come out
  // with a negative side; one pixel is the least it can have.
  if (w > h)
    return {lang, qMax(1, int(groesse * h / w) - 2)};
  return {qMax(1, int(groesse * w / h) - 2), lang};
}

TRahmen BestimmeRahmen(const QString &name, const QString &suchtext, int gruppe) {
  const QString gross = AnsiGross(name);
  if (suchtext.isEmpty() || !gross.contains(suchtext))
    return TRahmen::Duenn;
  if ((gruppe == 0 && gross.startsWith(suchtext + QLatin1Char('.'))) ||
      (gruppe == 1 && gross.startsWith(suchtext + QLatin1Char('_'))))
    return TRahmen::Treffer;
  return TRahmen::Keiner;
}

void MischeNichtXor(QImage &bild, const QRect &bereich, QColor stift) {
  const QRect r = bereich.intersected(bild.rect());
  const QRgb farbe = stift.rgb() & 0xFFFFFF;
  for (int y = r.top(); y <= r.bottom(); ++y) {
    auto *zeile = reinterpret_cast<QRgb *>(bild.scanLine(y));
    for (int x = r.left(); x <= r.right(); ++x)
      zeile[x] = 0xFF000000 | (~(farbe ^ zeile[x]) & 0xFFFFFF);
  }
}

// The classic device draws a wide pen as one region, so every pixel is mixed once even where the
// sides overlap. Each side is a band of the pen's width centred on the line: the lines run at
// links, rechts - 1, oben and unten - 1, and the band covers c - w/2 .. c - w/2 + w - 1. For the
// tile's (0,0)-(95,95) and width 14 that is 0..6 at the left and top and 87..94 at the right and
// bottom, clipped to the bitmap. The round joins lie around the outer corners, outside the tile.
void ZeichneNichtXorRahmen(QImage &bild, int links, int oben, int rechts, int unten, int stiftBreite, QColor stift) {
  if (bild.isNull() || rechts <= links || unten <= oben)
    return;
  const int w = qMax(1, stiftBreite);
  const int halb = w / 2;
  const int rechtsLinie = rechts - 1;
  const int untenLinie = unten - 1;
  QVector<QRect> baender = {
      QRect(links - halb, oben, w, untenLinie - oben + 1),        // left
      QRect(rechtsLinie - halb, oben, w, untenLinie - oben + 1),  // right
      QRect(links, oben - halb, rechtsLinie - links + 1, w),      // top
      QRect(links, untenLinie - halb, rechtsLinie - links + 1, w) // bottom
  };

  const QRect flaeche = bild.rect();
  QVector<bool> maske(bild.width() * bild.height(), false);
  auto markiere = [&](int x, int y) {
    if (flaeche.contains(x, y))
      maske[y * bild.width() + x] = true;
  };
  for (const QRect &band : baender)
    for (int y = band.top(); y <= band.bottom(); ++y)
      for (int x = band.left(); x <= band.right(); ++x)
        markiere(x, y);
  if (w > 1) {
    // Round joins: a disc of the pen's width on each corner.
    const double radius = w / 2.0 + 0.5;
    for (const QPoint ecke :
         {QPoint(links, oben), QPoint(rechtsLinie, oben), QPoint(links, untenLinie), QPoint(rechtsLinie, untenLinie)})
      for (int dy = -halb; dy <= halb + 1; ++dy)
        for (int dx = -halb; dx <= halb + 1; ++dx)
          if (dx * dx + dy * dy <= radius * radius)
            markiere(ecke.x() + dx, ecke.y() + dy);
  }

  const QRgb farbe = stift.rgb() & 0xFFFFFF;
  for (int y = 0; y < bild.height(); ++y) {
    auto *zeile = reinterpret_cast<QRgb *>(bild.scanLine(y));
    for (int x = 0; x < bild.width(); ++x)
      if (maske[y * bild.width() + x])
        zeile[x] = 0xFF000000 | (~(farbe ^ zeile[x]) & 0xFFFFFF);
  }
}

TKachelBild ZeichneKachel(const QImage &vorschau, const QString &name, const QString &suchtext, int gruppe, int groesse,
                          QColor rahmenFarbe) {
  TKachelBild kachel;
  kachel.Bild = QImage(groesse, groesse, QImage::Format_RGB32);
  kachel.Bild.fill(Qt::white);
  {
    QPainter maler(&kachel.Bild);
    if (vorschau.isNull()) {
      // Crisp letters: the red must stay pure red, as the classic canvas drew it.
      QFont schrift = maler.font();
      schrift.setStyleStrategy(QFont::NoAntialias);
      maler.setFont(schrift);
      maler.setPen(FehlerRot);
      const QString text = QStringLiteral("FEHLER");
      const QFontMetrics mass(schrift);
      const int x = (groesse - mass.horizontalAdvance(text)) / 2;
      const int y = (groesse - mass.height()) / 2;
      maler.drawText(x, y + mass.ascent(), text);
    } else {
      maler.drawImage((groesse - vorschau.width()) / 2, (groesse - vorschau.height()) / 2, vorschau);
    }
  }

  switch (BestimmeRahmen(name, suchtext, gruppe)) {
  case TRahmen::Treffer:
    kachel.Treffer = true;
    ZeichneNichtXorRahmen(kachel.Bild, 0, 0, groesse, groesse, GelberRahmenBreite, RahmenGelb);
    break;
  case TRahmen::Duenn: ZeichneNichtXorRahmen(kachel.Bild, 1, 1, groesse, groesse, 1, rahmenFarbe); break;
  case TRahmen::Keiner: break;
  }
  return kachel;
}

int GruppeAusAuswahl(const QString &wert) {
  if (wert.isEmpty())
    return 0;
  // A value that is no whole number counts as no value (the classic conversion failed at every paint).
  const std::optional<int> zahl = LiesGanzzahl(wert);
  if (!zahl)
    return 0;
  return (*zahl == 0 || *zahl == 1) ? *zahl : -1;
}

std::optional<QPoint> KennzeichenVersatz(int gruppe) {
  if (gruppe == 0)
    return QPoint(30, 4);
  if (gruppe == 1)
    return QPoint(34, 7);
  return std::nullopt;
}

int ZentrierteLinks(int panelLinks, int panelBreite, int breite) {
  constexpr int Versatz = 20; // the question screen sits a little left of the middle
  return panelLinks + panelBreite / 2 - breite / 2 - Versatz;
}
