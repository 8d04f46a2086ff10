// The layout's pictures, drawn once with QPainter.
#include "app/layoutbilder.h"

#include "data/jpegbild.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace {

const QColor EuBlau(0, 51, 153);

// A blank picture of that size in logical pixels with the device pixels of the ratio: a painter
// on it draws in logical coordinates, so each picture is drawn once for every ratio.
QImage Leinwand(int breite, int hoehe, qreal verhaeltnis, const QColor &grund) {
  const int faktor = Vergroesserung(verhaeltnis);
  QImage bild(breite * faktor, hoehe * faktor, QImage::Format_RGB32);
  bild.setDevicePixelRatio(faktor);
  bild.fill(grund);
  return bild;
}
const QColor EuGelb(255, 204, 0);

QFont FetteSchrift(int pixel) {
  QFont schrift(QStringLiteral("DejaVu Sans"));
  schrift.setBold(true);
  schrift.setPixelSize(pixel);
  return schrift;
}

void Sterne(QPainter &maler, QPointF mitte, qreal radius, qreal sternRadius) {
  maler.setPen(Qt::NoPen);
  maler.setBrush(EuGelb);
  for (int i = 0; i < 12; ++i) {
    const qreal w = i * M_PI / 6;
    const QPointF p = mitte + QPointF(radius * qSin(w), -radius * qCos(w));
    QPainterPath stern;
    for (int k = 0; k < 10; ++k) {
      const qreal r = (k % 2) ? sternRadius * 0.45 : sternRadius;
      const qreal a = k * M_PI / 5;
      const QPointF q = p + QPointF(r * qSin(a), -r * qCos(a));
      k == 0 ? stern.moveTo(q) : stern.lineTo(q);
    }
    stern.closeSubpath();
    maler.drawPath(stern);
  }
}

// The blue band on the left end of a plate: ring of stars over a white "D".
void Band(QPainter &maler, const QRect &band) {
  maler.fillRect(band, EuBlau);
  const qreal r = band.width() * 0.28;
  Sterne(maler, QPointF(band.center().x() + 0.5, band.top() + band.height() * 0.33), r, r * 0.28);
  maler.setFont(FetteSchrift(qMax(8, band.height() * 3 / 10)));
  maler.setPen(Qt::white);
  maler.drawText(QRect(band.left(), band.top() + band.height() * 6 / 10, band.width(), band.height() * 4 / 10),
                 Qt::AlignCenter, QStringLiteral("D"));
}

QImage Kennzeichen(int breite, int hoehe, int grauAb, qreal verhaeltnis) {
  QImage bild = Leinwand(breite, hoehe, verhaeltnis, Qt::white);
  QPainter maler(&bild);
  maler.setRenderHint(QPainter::Antialiasing);
  if (grauAb < breite)
    maler.fillRect(QRect(grauAb, 0, breite - grauAb, hoehe), QColor(192, 192, 192));
  Band(maler, QRect(3, 3, hoehe * 4 / 10, hoehe - 6));
  maler.setBrush(Qt::NoBrush);
  maler.setPen(QPen(Qt::black, 2));
  maler.drawRoundedRect(QRectF(1, 1, breite - 2, hoehe - 2), 5, 5);
  return bild;
}

// The word is read on the silver answer panel, through the picture's see-through white: in the badge's
// bright colour it would be too faint there, so it is written in a darker shade of it (5:1 on silver).
QImage Ergebnis(const QColor &farbe, const QColor &schrift, const QString &wort, bool haken, qreal verhaeltnis) {
  QImage bild = Leinwand(206, 50, verhaeltnis, Qt::white);
  QPainter maler(&bild);
  maler.setRenderHint(QPainter::Antialiasing);
  maler.setFont(FetteSchrift(30));
  maler.setPen(schrift);
  maler.drawText(QRect(0, 0, 150, 50), Qt::AlignVCenter | Qt::AlignLeft, wort);
  maler.setPen(Qt::NoPen);
  maler.setBrush(farbe);
  maler.drawEllipse(QRectF(158, 3, 44, 44));
  maler.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (haken) {
    maler.drawPolyline(QPolygonF({QPointF(168, 26), QPointF(177, 35), QPointF(193, 15)}));
  } else {
    maler.drawLine(QPointF(169, 14), QPointF(191, 36));
    maler.drawLine(QPointF(191, 14), QPointF(169, 36));
  }
  // Anti-aliasing must not tint the see-through colour at the bottom-left corner.
  maler.end();
  bild.setPixel(0, bild.height() - 1, qRgb(255, 255, 255));
  return bild;
}

} // namespace

namespace LayoutBilder {

QImage GrossesKennzeichen(qreal verhaeltnis) { return Kennzeichen(313, 67, 250, verhaeltnis); }

QImage KleinesKennzeichen(qreal verhaeltnis) { return Kennzeichen(136, 67, 136, verhaeltnis); }

QImage Richtig(qreal verhaeltnis) {
  return Ergebnis(QColor(0, 150, 0), QColor(0, 85, 0), QStringLiteral("Richtig"), true, verhaeltnis);
}

QImage Falsch(qreal verhaeltnis) {
  return Ergebnis(QColor(220, 0, 0), QColor(150, 0, 0), QStringLiteral("Falsch!"), false, verhaeltnis);
}

QImage AntwortGlyphe(qreal verhaeltnis) {
  QImage bild = Leinwand(240, 30, verhaeltnis, QColor(190, 240, 170));
  QPainter maler(&bild);
  maler.setRenderHint(QPainter::TextAntialiasing);
  maler.setFont(FetteSchrift(14));
  maler.setPen(Qt::black);
  maler.drawText(QRect(0, 0, 240, 30), Qt::AlignCenter, QStringLiteral("Zeig mir die richtige Antwort"));
  return bild;
}

QImage Symbol() {
  QImage bild(32, 32, QImage::Format_RGB32);
  bild.fill(Qt::white);
  QPainter maler(&bild);
  maler.setRenderHint(QPainter::Antialiasing);
  Band(maler, QRect(0, 0, 14, 32));
  maler.setPen(QPen(Qt::black, 1));
  maler.drawLine(14, 0, 31, 0);
  maler.drawLine(14, 31, 31, 31);
  // Sixteen colours, as the classic icon had: the standard sixteen-colour palette, each pixel taken
  // to its nearest entry (a conversion without a palette of its own keeps every shade it finds).
  static const QVector<QRgb> Palette16 = {
      qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
      qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
      qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
      qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
  return bild.convertToFormat(QImage::Format_Indexed8, Palette16, Qt::ThresholdDither | Qt::AvoidDither)
      .convertToFormat(QImage::Format_RGB32);
}

} // namespace LayoutBilder
