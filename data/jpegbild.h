// Decoding plate pictures: JPEG through libjpeg (called directly, with an error manager that
// returns control), bitmaps through Qt.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

// A header that claims more pixels than this is refused before anything is allocated: no plate
// or photo comes near it, but a damaged or hostile file could ask for gigabytes.
constexpr qint64 GroessteBildpunkte = 64LL * 1024 * 1024;

// Full-size decode, the decoder chosen by the file's extension (".jpg"/".jpeg" JPEG, ".bmp" bitmap,
// letter case ignored). No value for a missing, damaged or unsupported file.
// For a screen with more device pixels per logical pixel the picture comes enlarged by the whole
// factor of Vergroesserung and carries it as its device-pixel ratio, so it keeps its size in
// logical pixels; at ratio 1 it is the file's pixels unchanged.
std::optional<QImage> LadeBildDatei(const QString &pfad, qreal pixelVerhaeltnis = 1.0);

// The whole factor a picture is decoded at for a screen's device-pixel ratio: the ratio rounded
// up (a picture drawn smaller stays sharp, one drawn larger would not), from 1 to the decoder's
// largest enlargement, 2.
constexpr int GroessteVergroesserung = 2;
int Vergroesserung(qreal pixelVerhaeltnis);

// Full-size JPEG decode of bytes in memory; no value when they are not a readable JPEG.
std::optional<QImage> DekodiereJpeg(const QByteArray &daten);

// A picture decoded for a thumbnail: possibly reduced already while decoding, together with the
// size the file itself declares (the thumbnail's proportions come from that size).
struct TVerkleinert {
  QImage Bild;
  QSize Original;
};

// JPEG decode at the smallest DCT scale (n/8) whose longer side is still at least laengsteSeite;
// a picture that is smaller anyway is decoded at full size.
std::optional<TVerkleinert> DekodiereJpegVerkleinert(const QByteArray &daten, int laengsteSeite);

// The same by the file's extension; bitmaps are decoded at full size.
std::optional<TVerkleinert> LadeVerkleinert(const QString &pfad, int laengsteSeite);
