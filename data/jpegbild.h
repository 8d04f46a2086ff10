// Decoding plate pictures: JPEG through libjpeg (called directly, with an error manager that
// returns control), bitmaps through Qt.
#pragma once

#include "data/dateilesen.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <functional>
#include <optional>

// A header that claims more pixels than this is refused before anything is allocated: no plate
// or photo comes near it, but a damaged or hostile file could ask for gigabytes.
constexpr qint64 GroessteBildpunkte = 64LL * 1024 * 1024;
// Pictures decoded at full size are shown at that size on the question screen and kept there (some
// twice, with their see-through copy), so their pixels get a tighter bound: 8 megapixels is more than
// any screen shows, and six such pictures stay under 200 MB. A larger JPEG is decoded reduced to
// fit, a larger bitmap is refused.
constexpr qint64 GroessteAnzeigeBildpunkte = 8LL * 1024 * 1024;

// A JPEG whose scans carry more colour components than this, all scans together, is refused: each
// scan costs a pass over every block of the components it carries, so a small file that repeats a
// scan thousands of times would keep a decode busy for minutes. Encoders stay well below: the
// usual progressive order carries 14 components in ten scans for a colour picture, 24 for CMYK.
constexpr int GroessteScanKomponenten = 100;

// A picture coded in several scans (progressive, or one component at a time) keeps its coefficients
// until the last scan, and each scan fills or refines them for every block it covers: the blocks all
// its scans together pass over are bounded by the file's size, a million for any file (an honest
// 8-megapixel progressive colour picture needs about that) and beyond that BloeckeJeByte per byte.
// A scan needs at least a bit for every block it codes, so an honest file never comes near; a
// kilobyte that claims 64 megapixels and repeats its scans, all filled in as missing data, is refused
// before its first scan touches the hundreds of megabytes of coefficients it asks for. A picture in
// one scan makes one pass, bounded by GroessteBildpunkte.
constexpr qint64 FreieScanBloecke = 1024LL * 1024;
constexpr qint64 BloeckeJeByte = 32;

// All decodes at once (every thread) hold at most this much memory between them: each reserves its
// share (libjpeg's working memory plus the decoded pixels) before it allocates, waits while others
// hold too much, and fails when it would need more than all of it alone (the largest thumbnail
// decode, a progressive colour picture of 64 megapixels, takes 391 MB). The whole program stays
// within 1 GB: this, the question screen's pictures (under 200 MB), the thumbnail cache (192 MB), a
// range's text file as lines and list (under 150 MB) and the window itself (some 50 MB).
constexpr qint64 DekodierSpeicher = 400LL * 1024 * 1024;

// The most that decodes have held at once so far.
qint64 DekodierSpeicherSpitze();

// Full-size decode, the decoder chosen by the file's extension (".jpg"/".jpeg" JPEG, ".bmp" bitmap,
// letter case ignored). No value for a missing, damaged, unsupported or too large file.
// For a screen with more device pixels per logical pixel the picture comes enlarged by the whole
// factor of Vergroesserung and carries it as its device-pixel ratio, so it keeps its size in
// logical pixels; at ratio 1 it is the file's pixels unchanged.
std::optional<QImage> LadeBildDatei(const QString &pfad, qreal pixelVerhaeltnis = 1.0);

// The whole factor a picture is decoded at for a screen's device-pixel ratio: the ratio rounded
// up (a picture drawn smaller stays sharp, one drawn larger would not), from 1 to the decoder's
// largest enlargement, 2.
constexpr int GroessteVergroesserung = 2;
int Vergroesserung(qreal pixelVerhaeltnis);

// Full-size JPEG decode of bytes in memory; no value when they are not a readable JPEG or it claims
// more than GroessteBildpunkte. Beyond GroessteAnzeigeBildpunkte it comes reduced to fit.
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

// The same by the file's extension; bitmaps are decoded at full size. With stand, the file is one a
// folder's listing has just named a regular file, and its size and time, as opened, go to stand:
// a folder's first load then asks the system about each file once.
std::optional<TVerkleinert> LadeVerkleinert(const QString &pfad, int laengsteSeite, TDateiStand *stand = nullptr);

// The DCT scale (n eighths) a thumbnail whose longer side is laengsteSeite is decoded at, from a
// picture whose longer side is quellSeite: the smallest that reaches the side, or the fast scale
// of libjpeg-turbo (1, 2, 4 or 8 eighths) just below it when that falls short by at most
// VorschauUnterschreitung per cent. Not more: a plate of 180 pixels at 4/8 (90 for 93) differs
// from its 5/8 thumbnail by over three levels per channel on average, and its letters soften.
constexpr int VorschauUnterschreitung = 2;
int VorschauDctZaehler(int quellSeite, int laengsteSeite);

// Resizes RGB888 pixels by averaging the area each target pixel covers: what Qt's smooth scale does
// when shrinking, without its conversions to and from 32 bits, straight into an RGB888 picture.
// Along a side that grows, each pixel is interpolated between its two nearest, as a smooth enlargement does.
QImage SkaliereFlaechig(const uchar *daten, int breite, int hoehe, qsizetype zeilenBytes, QSize ziel);

// Decodes a picture file straight into its thumbnail, RGB888, at the size zielGroesse gives for the
// file's own size (which comes along as Original). JPEGs are decoded on the fast DCT scales into a
// buffer each thread reuses; what is close enough in size is resized by SkaliereFlaechig, anything
// enlarged further by Qt's smooth scale. stand as for LadeVerkleinert.
std::optional<TVerkleinert> LadeVorschau(const QString &pfad, const std::function<QSize(QSize)> &zielGroesse,
                                         TDateiStand *stand = nullptr);
