// The gallery's rules: grid arithmetic, listing, thumbnail size, frames and tile pictures.
#include "gallery/galerieregeln.h"

#include "data/ansi.h"
#include "data/gruppen.h"
#include "data/vorlagen.h"
#include "data/zahlen.h"
#include "gallery/vorschaucache.h"

#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QVarLengthArray>
#include <QVector>

#include <cmath>
#include <cstring>
#include <filesystem>

#include <algorithm>
#include <utility>

#ifdef Q_OS_UNIX
#include <dirent.h>
#include <sys/stat.h>
#endif

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

int NaechsterKachelCursor(int cursor, int anzahl, int spalten, int taste) {
  if (anzahl <= 0)
    return -1;
  if (taste == Qt::Key_End)
    return anzahl - 1;
  if (cursor < 0 || cursor >= anzahl || taste == Qt::Key_Home)
    return 0;
  const int s = qMax(1, spalten);
  switch (taste) {
  case Qt::Key_Left: return qMax(0, cursor - 1);
  case Qt::Key_Right: return qMin(anzahl - 1, cursor + 1);
  case Qt::Key_Up: return cursor >= s ? cursor - s : cursor;
  // Down from above a short last row lands on its last tile: every row stays reachable.
  case Qt::Key_Down: return cursor / s < (anzahl - 1) / s ? qMin(anzahl - 1, cursor + s) : cursor;
  default: return cursor;
  }
}

int SichtSpalten(int aussenBreite) { return qMax(1, aussenBreite / SichtSpaltenBreite); }

int ScrollBereich(int anzahl, int sichtSpalten) { return (anzahl / qMax(1, sichtSpalten) + 1) * KachelRaster; }

int FundPosition(int gefundenIndex, int sichtSpalten) { return (gefundenIndex / qMax(1, sichtSpalten)) * KachelRaster; }

namespace {

// The upper-cased name the listing is ordered by. Plain ASCII names (all plates) are upper-cased
// in place, without the round trip through the code page that gives the same for them.
QString GrossName(const QString &name) {
  QString gross = name;
  for (QChar &c : gross) {
    if (c.unicode() >= 0x80)
      return AnsiGross(name);
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
      c = QChar(c.unicode() - 32);
  }
  return gross;
}

} // namespace

QStringList ListeBilder(const QString &ordner, const QString &endungen) {
  if (ordner.trimmed().isEmpty())
    return {};
  // The entry types come with the listing itself, so no file is queried here: the gallery asks
  // for each picture's size and time once, when it looks for its thumbnail.
  QStringList namen;
#ifdef Q_OS_UNIX
  // Read straight from the system: a folder of 20 000 plates is listed at every start, and the
  // standard library's iterator builds a full path object for each entry.
  const QByteArray roh = QFile::encodeName(ordner);
  DIR *verzeichnis = ::opendir(roh.constData());
  if (!verzeichnis)
    return {};
  const QByteArray basisRoh = roh.endsWith('/') ? roh : roh + '/';
  while (const dirent *eintrag = ::readdir(verzeichnis)) {
    const char *name = eintrag->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
      continue;
    // Hidden and system files count like any other; only folders are skipped (a link by what it
    // points to, so only links cost a query of their own). A broken link, a pipe or a device is an
    // entry that cannot be read: it gets its error tile, and the decoder never opens it.
    if (eintrag->d_type == DT_DIR)
      continue;
    if (eintrag->d_type == DT_LNK || eintrag->d_type == DT_UNKNOWN) {
      struct stat info {};
      if (::stat((basisRoh + name).constData(), &info) == 0 && S_ISDIR(info.st_mode))
        continue;
    }
    namen.append(QFile::decodeName(name));
  }
  ::closedir(verzeichnis);
#else
  std::error_code fehler;
  std::filesystem::directory_iterator eintrag(std::filesystem::path(QFile::encodeName(ordner).toStdString()), fehler);
  if (fehler)
    return {};
  for (; eintrag != std::filesystem::directory_iterator(); eintrag.increment(fehler)) {
    if (fehler)
      break;
    std::error_code artFehler;
    if (eintrag->is_directory(artFehler))
      continue;
    namen.append(QFile::decodeName(QByteArray::fromStdString(eintrag->path().filename().string())));
  }
#endif

  QVector<std::pair<QString, QString>> treffer; // (upper-cased name, name)
  for (const QString &name : namen) {
    const int punkt = name.lastIndexOf(QLatin1Char('.'));
    if (punkt < 0)
      continue;
    // Only A-Z are lower-cased, as the classic extension test did; on the stack, for 20 000 names.
    QVarLengthArray<QChar, 16> endung(name.size() - punkt);
    for (int i = punkt; i < name.size(); ++i) {
      const QChar c = name.at(i);
      endung[i - punkt] = c >= QLatin1Char('A') && c <= QLatin1Char('Z') ? QChar(c.unicode() + 32) : c;
    }
    if (!endungen.contains(QStringView(endung.constData(), endung.size())))
      continue;
    treffer.append({GrossName(name), name});
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
  const int w = original.width();
  const int h = original.height();
  const int lang = groesse - 2;
  if (w <= 0 || h <= 0)
    return {lang, lang};
  // The ratio in double precision, then the product truncated: where the quotient lies just below
  // the exact value (95 x 53 gives 52.99...), the shorter side is one pixel less than in whole
  // numbers, and that is the size the thumbnails have. A very thin picture would come out with a
  // negative side; one pixel is the least it can have.
  if (w > h) {
    const double f = double(h) / double(w);
    return {lang, qMax(1, int(groesse * f) - 2)};
  }
  const double f = double(w) / double(h);
  return {qMax(1, int(groesse * f) - 2), lang};
}

TRahmen BestimmeRahmen(const QString &name, const QString &suchtext, int gruppe) {
  // Asked for every tile of every load: without a search there is nothing to upper-case.
  if (suchtext.isEmpty())
    return TRahmen::Duenn;
  const QString gross = AnsiGross(name);
  if (!gross.contains(suchtext))
    return TRahmen::Duenn;
  const TGruppe *g = GruppeNr(gruppe);
  if (g && gross.startsWith(suchtext + g->Trenner))
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
  // The thin frame is drawn on every tile of every load: its outline needs no row-by-row work.
  if (w == 1) {
    const QRect rand = QRect(links, oben, rechts - links, unten - oben);
    MischeNichtXor(bild, QRect(rand.left(), rand.top(), rand.width(), 1), stift);
    if (rand.height() > 1)
      MischeNichtXor(bild, QRect(rand.left(), rand.bottom(), rand.width(), 1), stift);
    if (rand.height() > 2) {
      MischeNichtXor(bild, QRect(rand.left(), rand.top() + 1, 1, rand.height() - 2), stift);
      if (rand.width() > 1)
        MischeNichtXor(bild, QRect(rand.right(), rand.top() + 1, 1, rand.height() - 2), stift);
    }
    return;
  }
  const int halb = w / 2;
  const int rechtsLinie = rechts - 1;
  const int untenLinie = unten - 1;
  const double radius = w / 2.0 + 0.5;
  const QPoint ecken[] = {{links, oben}, {rechtsLinie, oben}, {links, untenLinie}, {rechtsLinie, untenLinie}};
  const QRgb farbe = stift.rgb() & 0xFFFFFF;
  const int breite = bild.width();

  const int erste = qMax(0, oben - halb);
  const int letzte = qMin(bild.height() - 1, untenLinie - halb + w - 1);
  for (int y = erste; y <= letzte; ++y) {
    // The pieces of pen on this row, as intervals; merged below so that none is mixed twice.
    QVarLengthArray<std::pair<int, int>, 8> stuecke;
    const auto waagrecht = [&](int linie) { return y >= linie - halb && y <= linie - halb + w - 1; };
    if (waagrecht(oben) || waagrecht(untenLinie))
      stuecke.append({links, rechtsLinie});
    if (y >= oben && y <= untenLinie) {
      stuecke.append({links - halb, links - halb + w - 1});
      stuecke.append({rechtsLinie - halb, rechtsLinie - halb + w - 1});
    }
    if (w > 1)
      for (const QPoint &ecke : ecken) {
        const int dy = y - ecke.y();
        if (qAbs(dy) > halb)
          continue;
        const int weite = int(std::sqrt(radius * radius - double(dy) * dy));
        stuecke.append({ecke.x() - weite, ecke.x() + weite});
      }
    std::sort(stuecke.begin(), stuecke.end());

    auto *zeile = reinterpret_cast<QRgb *>(bild.scanLine(y));
    int bisher = -1; // the last pixel already mixed on this row
    for (const auto &[von, bis] : stuecke) {
      for (int x = std::max({von, bisher + 1, 0}); x <= qMin(bis, breite - 1); ++x)
        zeile[x] = 0xFF000000 | (~(farbe ^ zeile[x]) & 0xFFFFFF);
      bisher = qMax(bisher, bis);
    }
  }
}

int GeraetePunkte(int logisch, qreal verhaeltnis) { return qRound(logisch * verhaeltnis); }

QSize VorschauZiel(QSize original, int groesse, qreal verhaeltnis) {
  const QSize logisch = ZwischenGroesse(original, groesse);
  const QSize ziel(GeraetePunkte(logisch.width(), verhaeltnis), GeraetePunkte(logisch.height(), verhaeltnis));
  if (!original.isEmpty() && 2 * qMax(original.width(), original.height()) <= qMax(ziel.width(), ziel.height()))
    return original;
  return ziel;
}

namespace {
void ZeichneRahmen(QImage &bild, TRahmen rahmen, int groesse, QColor farbe) {
  switch (rahmen) {
  case TRahmen::Treffer: ZeichneNichtXorRahmen(bild, 0, 0, groesse, groesse, GelberRahmenBreite, RahmenGelb); break;
  case TRahmen::Duenn: ZeichneNichtXorRahmen(bild, 1, 1, groesse, groesse, 1, farbe); break;
  case TRahmen::Keiner: break;
  }
}
} // namespace

QImage ZeichneKachel(const QImage &vorschau, TRahmen rahmen, qreal verhaeltnis, int groesse, QColor rahmenFarbe) {
  const int seite = GeraetePunkte(groesse, verhaeltnis);
  QImage bild(seite, seite, QImage::Format_RGB32);
  bild.fill(Qt::white);
  bild.setDevicePixelRatio(verhaeltnis);
  if (vorschau.isNull()) {
    QPainter maler(&bild);
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
    // A thumbnail at most half the tile's is a small picture kept at its own size (VorschauZiel):
    // it is enlarged here, as it always was.
    QImage quelle = vorschau;
    if (2 * qMax(quelle.width(), quelle.height()) <= GeraetePunkte(groesse - 2, verhaeltnis)) {
      const QSize logisch = ZwischenGroesse(quelle.size(), groesse);
      quelle = quelle.scaled(GeraetePunkte(logisch.width(), verhaeltnis), GeraetePunkte(logisch.height(), verhaeltnis),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    // Copied unscaled, row by row: a painter per tile would cost more than the whole tile.
    const int x0 = (seite - quelle.width()) / 2;
    const int y0 = (seite - quelle.height()) / 2;
    const QRect ziel = QRect(x0, y0, quelle.width(), quelle.height()).intersected(bild.rect());
    const bool rgb888 = quelle.format() == QImage::Format_RGB888;
    if (!rgb888 && quelle.format() != QImage::Format_RGB32)
      quelle = quelle.convertToFormat(QImage::Format_RGB32);
    for (int y = ziel.top(); y <= ziel.bottom(); ++y) {
      auto *aus = reinterpret_cast<QRgb *>(bild.scanLine(y)) + ziel.left();
      if (!rgb888) {
        std::memcpy(aus, reinterpret_cast<const QRgb *>(quelle.constScanLine(y - y0)) + (ziel.left() - x0),
                    sizeof(QRgb) * size_t(ziel.width()));
        continue;
      }
      // The thumbnails' own format, widened on the way: no converted copy of the whole thumbnail.
      const uchar *ein = quelle.constScanLine(y - y0) + 3 * (ziel.left() - x0);
      for (int x = 0; x < ziel.width(); ++x, ein += 3)
        aus[x] = qRgb(ein[0], ein[1], ein[2]);
    }
  }

  if (seite == groesse) {
    ZeichneRahmen(bild, rahmen, groesse, rahmenFarbe);
    return bild;
  }
  // On a denser screen the frame mixes the same logical pixels, each a block of device pixels: the
  // logical frame is drawn once on black, where every pixel it mixes turns non-black, and scaled up.
  QImage maske(groesse, groesse, QImage::Format_RGB32);
  maske.fill(Qt::black);
  ZeichneRahmen(maske, rahmen, groesse, Qt::black);
  const QRgb farbe = (rahmen == TRahmen::Treffer ? RahmenGelb : rahmenFarbe).rgb() & 0xFFFFFF;
  for (int y = 0; y < seite; ++y) {
    const auto *markiert = reinterpret_cast<const QRgb *>(maske.constScanLine(qMin(groesse - 1, int(y / verhaeltnis))));
    auto *zeile = reinterpret_cast<QRgb *>(bild.scanLine(y));
    for (int x = 0; x < seite; ++x)
      if (markiert[qMin(groesse - 1, int(x / verhaeltnis))] & 0xFFFFFF)
        zeile[x] = 0xFF000000 | (~(farbe ^ zeile[x]) & 0xFFFFFF);
  }
  return bild;
}

int GruppeAusAuswahl(const QString &wert) {
  if (wert.isEmpty())
    return 0;
  // A value that is no whole number counts as no value (the classic conversion failed at every paint).
  const std::optional<int> zahl = LiesGanzzahl(wert);
  if (!zahl)
    return 0;
  return GruppeNr(*zahl) ? *zahl : -1;
}

std::optional<QPoint> KennzeichenVersatz(int gruppe) {
  const TGruppe *g = GruppeNr(gruppe);
  return g ? std::optional<QPoint>(g->Versatz) : std::nullopt;
}

int ZentrierteLinks(int panelLinks, int panelBreite, int breite) {
  constexpr int Versatz = 20; // the question screen sits a little left of the middle
  return panelLinks + panelBreite / 2 - breite / 2 - Versatz;
}

TKachel::TKachel(int tag, const QRect &feld, const QImage &vorschau, TRahmen rahmen, qreal verhaeltnis,
                 std::shared_ptr<TVorschauNachlader> nachlader)
    : FTag(tag), FFeld(feld), FVorschau(vorschau), FRahmen(rahmen), FVerhaeltnis(verhaeltnis),
      FNachlader(std::move(nachlader)) {}

QImage TKachel::Bild() const {
  return ZeichneKachel(FNachlader ? FNachlader->Hole(FTag) : FVorschau, FRahmen, FVerhaeltnis);
}
