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
std::optional<QImage> LadeBildDatei(const QString &pfad);

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
