// Plate drawings: the EU band, the red-white-red edges, simple coats of arms and the plate letters.
#include "tools/schilder.h"

#include "data/vorlagen.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const QColor Blau(0x00, 0x33, 0x99);
const QColor Gelb(0xFF, 0xCC, 0x00);
const QColor Rot(0xC8, 0x10, 0x2E);
const QColor Gold(0xFF, 0xCE, 0x00);
const QColor Gruen(0x00, 0x80, 0x3C);

constexpr int DeutschLinks = DeutscherKennzeichenVersatz.x();
constexpr int DeutschOben = DeutscherKennzeichenVersatz.y();
constexpr int OesterreichLinks = OesterreichischerKennzeichenVersatz.x();
constexpr int OesterreichOben = OesterreichischerKennzeichenVersatz.y();
constexpr int DeutschBildBreite = 180;
constexpr int DeutschBildHoehe = 59;
constexpr int OesterreichBildBreite = 74;
constexpr int OesterreichBildHoehe = 53;
constexpr int Rand = 2;          // black border of every plate
constexpr int BandBreite = 26;   // the blue EU band inside the border (German)
constexpr int StreifenHoehe = 4; // the red edges of the Austrian plate

// The letters must lie inside the border, and the Austrian ones between the red edges.
static_assert(DeutschLinks > Rand + BandBreite && DeutschLinks + DeutschBildBreite < SchildBreite - Rand);
static_assert(DeutschOben >= Rand && DeutschOben + DeutschBildHoehe <= SchildHoehe - Rand);
static_assert(OesterreichOben >= Rand + StreifenHoehe &&
              OesterreichOben + OesterreichBildHoehe <= SchildHoehe - Rand - StreifenHoehe);

// The plate font: the DIN face where installed, else a bold condensed sans.
QFont SchildSchrift(qreal pixel) {
  QFont schrift;
  if (QFontDatabase::families().contains(QStringLiteral("OSP-DIN")))
    schrift = QFont(QStringLiteral("OSP-DIN"));
  else {
    schrift = QFont(QStringLiteral("DejaVu Sans"));
    schrift.setWeight(QFont::Bold);
    schrift.setStretch(QFont::Condensed);
  }
  schrift.setPixelSize(qRound(pixel));
  schrift.setHintingPreference(QFont::PreferNoHinting);
  return schrift;
}

QPainterPath Stern(QPointF mitte, qreal aussen) {
  QPainterPath pfad;
  const qreal innen = aussen * 0.4;
  for (int i = 0; i < 10; ++i) {
    const qreal winkel = -M_PI / 2 + i * M_PI / 5;
    const qreal r = (i % 2 == 0) ? aussen : innen;
    const QPointF p(mitte.x() + r * qCos(winkel), mitte.y() + r * qSin(winkel));
    if (i == 0)
      pfad.moveTo(p);
    else
      pfad.lineTo(p);
  }
  pfad.closeSubpath();
  return pfad;
}

void ZeichneBandBuchstabe(QPainter &maler, const QRectF &feld, const QString &buchstabe) {
  QFont schrift(QStringLiteral("DejaVu Sans"));
  schrift.setWeight(QFont::Bold);
  schrift.setPixelSize(15);
  maler.setFont(schrift);
  maler.setPen(Qt::white);
  maler.drawText(feld, Qt::AlignHCenter | Qt::AlignBottom, buchstabe);
}

// The blue band with its ring of twelve stars and the country letter underneath.
void ZeichneEuBand(QPainter &maler, const QRectF &band, const QString &land) {
  maler.fillRect(band, Blau);
  const QPointF mitte(band.center().x(), band.top() + band.width() * 0.75);
  const qreal ring = band.width() * 0.32;
  maler.setPen(Qt::NoPen);
  maler.setBrush(Gelb);
  for (int i = 0; i < 12; ++i) {
    const qreal winkel = i * M_PI / 6;
    maler.drawPath(Stern(mitte + QPointF(ring * qCos(winkel), ring * qSin(winkel)), 2.2));
  }
  ZeichneBandBuchstabe(maler, band.adjusted(0, 0, 0, -5), land);
}

// Armed-forces plates carry the national colours instead of the EU band.
void ZeichneFahnenBand(QPainter &maler, const QRectF &band) {
  const qreal h = band.height() / 3.0;
  maler.fillRect(QRectF(band.left(), band.top(), band.width(), h), Qt::black);
  maler.fillRect(QRectF(band.left(), band.top() + h, band.width(), h), Qt::red);
  maler.fillRect(QRectF(band.left(), band.top() + 2 * h, band.width(), band.height() - 2 * h), Gold);
}

QImage NeuesBild(int breite, int hoehe) {
  QImage bild(breite, hoehe, QImage::Format_RGB32);
  bild.fill(Qt::white);
  return bild;
}

void ZeichneRahmen(QPainter &maler, int breite, int hoehe) {
  maler.setBrush(Qt::NoBrush);
  maler.setPen(QPen(Qt::black, Rand, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  maler.drawRect(QRectF(Rand / 2.0, Rand / 2.0, breite - Rand, hoehe - Rand));
}

// ---- coats of arms, drawn into a shield of about 26 x 32 pixels ----

QPainterPath Schild(const QRectF &r) {
  QPainterPath pfad;
  pfad.moveTo(r.topLeft());
  pfad.lineTo(r.topRight());
  pfad.lineTo(r.right(), r.top() + r.height() * 0.55);
  pfad.quadTo(r.right(), r.bottom(), r.center().x(), r.bottom());
  pfad.quadTo(r.left(), r.bottom(), r.left(), r.top() + r.height() * 0.55);
  pfad.closeSubpath();
  return pfad;
}

// A heraldic eagle with spread wings, fitted into the rectangle.
QPainterPath Adler(const QRectF &r) {
  const auto p = [&r](qreal x, qreal y) { return QPointF(r.left() + x * r.width(), r.top() + y * r.height()); };
  QPainterPath pfad;
  pfad.setFillRule(Qt::WindingFill);
  // Wings: from the shoulders out and down in three feathers each.
  const QPointF linkerFluegel[] = {p(0.40, 0.30), p(0.02, 0.10), p(0.08, 0.35), p(0.00, 0.40),
                                   p(0.10, 0.55), p(0.04, 0.62), p(0.38, 0.62)};
  const QPointF rechterFluegel[] = {p(0.60, 0.30), p(0.98, 0.10), p(0.92, 0.35), p(1.00, 0.40),
                                    p(0.90, 0.55), p(0.96, 0.62), p(0.62, 0.62)};
  pfad.addPolygon(QPolygonF(std::begin(linkerFluegel), std::end(linkerFluegel)));
  pfad.addPolygon(QPolygonF(std::begin(rechterFluegel), std::end(rechterFluegel)));
  // Body, tail and legs.
  const QPointF koerper[] = {p(0.38, 0.25), p(0.62, 0.25), p(0.64, 0.70), p(0.75, 0.95),
                             p(0.50, 0.85), p(0.25, 0.95), p(0.36, 0.70)};
  pfad.addPolygon(QPolygonF(std::begin(koerper), std::end(koerper)));
  pfad.addEllipse(QRectF(p(0.41, 0.04), p(0.59, 0.26)));
  return pfad.simplified();
}

// A rampant beast (lion or panther): body, raised forelegs, tail.
QPainterPath Tier(const QRectF &r) {
  const auto p = [&r](qreal x, qreal y) { return QPointF(r.left() + x * r.width(), r.top() + y * r.height()); };
  const QPointF umriss[] = {p(0.35, 0.05), p(0.60, 0.05), p(0.62, 0.20), p(0.90, 0.15), p(0.70, 0.30),
                            p(0.85, 0.40), p(0.62, 0.42), p(0.65, 0.70), p(0.80, 0.98), p(0.62, 0.98),
                            p(0.50, 0.75), p(0.38, 0.98), p(0.20, 0.98), p(0.32, 0.65), p(0.10, 0.50),
                            p(0.05, 0.20), p(0.18, 0.45), p(0.33, 0.40), p(0.28, 0.22)};
  QPainterPath pfad;
  pfad.addPolygon(QPolygonF(std::begin(umriss), std::end(umriss)));
  pfad.closeSubpath();
  return pfad;
}

void ZeichneWappen(QPainter &maler, QChar land, const QRectF &r) {
  const QPainterPath schild = Schild(r);
  const qreal mx = r.center().x();
  const qreal halb = r.width() / 2;
  maler.setPen(Qt::NoPen);
  maler.save();
  maler.setClipPath(schild);
  switch (land.toLatin1()) {
  case '0': {
    // The federal eagle, black, with the red-white-red breast shield.
    maler.restore();
    maler.save();
    const QRectF adler = r.adjusted(-3, -1, 3, 0);
    maler.fillPath(Adler(adler), Qt::black);
    const QRectF brust(adler.center().x() - 3.5, adler.top() + adler.height() * 0.36, 7, 9);
    maler.setClipPath(Schild(brust));
    maler.fillRect(brust, Rot);
    maler.fillRect(QRectF(brust.left(), brust.top() + 3, 7, 3), Qt::white);
    maler.restore();
    return;
  }
  case '1': // Burgenland: red eagle on gold
    maler.fillRect(r, Gold);
    maler.fillPath(Adler(r.adjusted(3, 3, -3, -4)), Rot);
    break;
  case '2': // Kärnten: three black lions on gold, beside red-white-red
    maler.fillRect(QRectF(r.left(), r.top(), halb, r.height()), Gold);
    for (int i = 0; i < 3; ++i)
      maler.fillPath(Tier(QRectF(r.left() + 2, r.top() + 2 + i * 9, halb - 4, 8)), Qt::black);
    maler.fillRect(QRectF(mx, r.top(), halb, r.height()), Rot);
    maler.fillRect(QRectF(mx, r.top() + r.height() * 0.36, halb, r.height() * 0.3), Qt::white);
    break;
  case '3': // Niederösterreich: five golden eagles on blue
    maler.fillRect(r, Blau);
    for (const QPointF &ort :
         {QPointF(0.28, 0.22), QPointF(0.72, 0.22), QPointF(0.28, 0.50), QPointF(0.72, 0.50), QPointF(0.50, 0.76)})
      maler.fillPath(Adler(QRectF(r.left() + ort.x() * r.width() - 5, r.top() + ort.y() * r.height() - 5, 10, 10)),
                     Gold);
    break;
  case '4': { // Oberösterreich: gold eagle on black, beside pales of red and white
    maler.fillRect(QRectF(r.left(), r.top(), halb, r.height()), Qt::black);
    maler.fillPath(Adler(QRectF(r.left() + 1, r.top() + 6, halb - 2, 16)), Gold);
    const qreal pfahl = halb / 4;
    for (int i = 0; i < 4; ++i)
      maler.fillRect(QRectF(mx + i * pfahl, r.top(), pfahl, r.height()), i % 2 == 0 ? Qt::white : Rot);
    break;
  }
  case '5': // Salzburg: black lion on gold, beside red with a white bar
    maler.fillRect(QRectF(r.left(), r.top(), halb, r.height()), Gold);
    maler.fillPath(Tier(QRectF(r.left() + 1, r.top() + 4, halb - 2, 20)), Qt::black);
    maler.fillRect(QRectF(mx, r.top(), halb, r.height()), Rot);
    maler.fillRect(QRectF(mx, r.top() + r.height() * 0.36, halb, r.height() * 0.25), Qt::white);
    break;
  case '6': // Steiermark: white panther on green
    maler.fillRect(r, Gruen);
    maler.fillPath(Tier(r.adjusted(3, 3, -3, -5)), Qt::white);
    break;
  case '7': // Tirol: red eagle with a green wreath on white
    maler.fillRect(r, Qt::white);
    maler.fillPath(Adler(r.adjusted(2, 2, -2, -4)), Rot);
    maler.setPen(QPen(Gruen, 1.5));
    maler.setBrush(Qt::NoBrush);
    maler.drawArc(QRectF(mx - 6, r.top() + 7, 12, 8), 200 * 16, 140 * 16);
    maler.setPen(Qt::NoPen);
    break;
  case '8': { // Vorarlberg: the red banner on white
    maler.fillRect(r, Qt::white);
    const auto p = [&r](qreal x, qreal y) { return QPointF(r.left() + x * r.width(), r.top() + y * r.height()); };
    const QPointF fahne[] = {p(0.20, 0.15), p(0.80, 0.15), p(0.80, 0.55), p(0.70, 0.85), p(0.62, 0.55), p(0.55, 0.85),
                             p(0.50, 0.55), p(0.45, 0.85), p(0.38, 0.55), p(0.30, 0.85), p(0.20, 0.55)};
    maler.setBrush(Rot);
    maler.drawPolygon(fahne, int(std::size(fahne)));
    maler.fillRect(QRectF(p(0.20, 0.08), p(0.80, 0.14)), Rot);
    break;
  }
  case '9': // Wien: white cross on red
    maler.fillRect(r, Rot);
    maler.fillRect(QRectF(mx - 2.5, r.top(), 5, r.height()), Qt::white);
    maler.fillRect(QRectF(r.left(), r.top() + r.height() * 0.38, r.width(), 5), Qt::white);
    break;
  default: // a plate without coat of arms
    maler.restore();
    return;
  }
  maler.restore();
  maler.setBrush(Qt::NoBrush);
  maler.setPen(QPen(Qt::black, 1));
  maler.drawPath(schild);
}

} // namespace

QImage ZeichneLeeresSchild(TSchildArt art, int breite) {
  QImage bild = NeuesBild(breite, SchildHoehe);
  QPainter maler(&bild);
  maler.setRenderHint(QPainter::Antialiasing);
  const qreal innenHoehe = SchildHoehe - 2 * Rand;
  if (art == TSchildArt::Oesterreich) {
    const QRectF band(Rand, Rand, OesterreichLinks - Rand - 3, innenHoehe);
    // Red edges along the top and bottom; the band ends before the letters at x 34.
    maler.fillRect(QRectF(Rand, Rand, breite - 2 * Rand, StreifenHoehe), Rot);
    maler.fillRect(QRectF(Rand, SchildHoehe - Rand - StreifenHoehe, breite - 2 * Rand, StreifenHoehe), Rot);
    ZeichneEuBand(maler, band, QStringLiteral("A"));
  } else {
    const QRectF band(Rand, Rand, BandBreite, innenHoehe);
    if (art == TSchildArt::Bundeswehr)
      ZeichneFahnenBand(maler, band);
    else
      ZeichneEuBand(maler, band, QStringLiteral("D"));
  }
  maler.setRenderHint(QPainter::Antialiasing, false);
  ZeichneRahmen(maler, breite, SchildHoehe);
  return bild;
}

QImage ZeichneStaatsSchild(QChar land) {
  QImage bild = ZeichneLeeresSchild(TSchildArt::Oesterreich, SchildBreite);
  QPainter maler(&bild);
  maler.setRenderHint(QPainter::Antialiasing);
  // Between the code (x 34 .. 34 + picture width) and the number.
  const qreal links = OesterreichLinks + OesterreichBildBreite + 4;
  ZeichneWappen(maler, land, QRectF(links, 16, 24, 32));
  return bild;
}

QImage ZeichneKennzeichen(const QString &code, bool oesterreich) {
  const int breite = oesterreich ? OesterreichBildBreite : DeutschBildBreite;
  const int hoehe = oesterreich ? OesterreichBildHoehe : DeutschBildHoehe;
  QImage bild = NeuesBild(breite, hoehe);
  QPainter maler(&bild);
  maler.setRenderHint(QPainter::Antialiasing);
  maler.setRenderHint(QPainter::TextAntialiasing);

  // Capital letters fill about two thirds of the height, leaving room above for umlaut dots.
  const qreal grossHoehe = hoehe * 0.66;
  QFont schrift = SchildSchrift(grossHoehe);
  const qreal gemessen = QFontMetricsF(schrift).tightBoundingRect(QStringLiteral("H")).height();
  schrift.setPixelSize(qRound(schrift.pixelSize() * grossHoehe / qMax<qreal>(1.0, gemessen)));
  schrift.setLetterSpacing(QFont::AbsoluteSpacing, 1);
  maler.setFont(schrift);
  const QFontMetricsF mass(schrift);
  const qreal grundlinie = (hoehe + grossHoehe) / 2.0 + hoehe * 0.06;
  const qreal rand = 6;
  const qreal textBreite = mass.horizontalAdvance(code);
  // A wide code is squeezed rather than cut off.
  const qreal faktor = qMin<qreal>(1.0, (breite - 2 * rand) / qMax<qreal>(1.0, textBreite));
  maler.translate(rand, grundlinie);
  maler.scale(faktor, 1.0);
  maler.setPen(Qt::black);
  const qreal punkt = grossHoehe * 0.13;
  qreal x = 0;
  for (const QChar zeichen : code) {
    // The plate font draws some umlauts without their dots: draw the base letter and add the dots.
    const QString basis = QString(zeichen).normalized(QString::NormalizationForm_D);
    const bool umlaut = basis.size() == 2 && basis.at(1) == QChar(0x0308);
    const QString buchstabe = umlaut ? basis.left(1) : QString(zeichen);
    maler.drawText(QPointF(x, 0), buchstabe);
    if (umlaut) {
      const QRectF umriss = mass.tightBoundingRect(buchstabe).translated(x, 0);
      const qreal oben = -grossHoehe - punkt * 1.4;
      for (const qreal anteil : {0.3, 0.7})
        maler.fillRect(QRectF(umriss.left() + anteil * umriss.width() - punkt / 2, oben, punkt, punkt), Qt::black);
    }
    x += mass.horizontalAdvance(zeichen);
  }
  return bild;
}
