// Decoding plate pictures: JPEG through libjpeg (called directly, with an error manager that
// returns control), bitmaps through Qt.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <optional>

// Full-size decode, the decoder chosen by the file's extension (".jpg"/".jpeg" JPEG, ".bmp" bitmap,
// letter case ignored). No value for a missing, damaged or unsupported file.
std::optional<QImage> LadeBildDatei(const QString &pfad);

// Full-size JPEG decode of bytes in memory; no value when they are not a readable JPEG.
std::optional<QImage> DekodiereJpeg(const QByteArray &daten);
