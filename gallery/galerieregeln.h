// The gallery's rules without widgets: grid arithmetic, the folder listing, the thumbnail size,
// the frame of a tile and the tile picture itself.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class TVorschauNachlader;

constexpr int KachelGroesse = 95;                           // side of a tile
constexpr int KachelAbstand = 4;                            // gap between tiles, and the left and top margin
constexpr int KachelRaster = KachelGroesse + KachelAbstand; // pitch of the grid: one row is 99 high
constexpr int SichtSpaltenBreite = 100;                     // the scroll range counts columns by this width
constexpr int FundSchwelle = 95;                            // a found row this close to the top shows from 0
constexpr int GelberRahmenBreite = 14;
constexpr int GalerieRand = 55; // the gallery is the window's outer width minus this
const QColor RahmenGelb(255, 255, 0);
const QColor KnopfSchatten(128, 128, 128); // the classic button-shadow colour
const QColor FehlerRot(255, 0, 0);
const QString BilderEndungen = QStringLiteral(".jpg");

struct TGitter {
  int Spalten = 0;
  int Zeilen = 0;
};

// Columns and rows for anzahl tiles in a client area this wide. At least one column, even when the
// area is narrower than one tile, so that the row count never divides by zero.
TGitter BerechneGitter(int anzahl, int clientBreite);

// Top-left corner of tile index in a grid with spalten columns (content coordinates).
QPoint KachelPosition(int index, int spalten);

// Where an arrow, Home or End key (a Qt::Key) moves the keyboard's tile among anzahl tiles in spalten
// columns; from no tile (-1) every key lands on the first, End on the last. -1 when there is no tile.
int NaechsterKachelCursor(int cursor, int anzahl, int spalten, int taste);

// The column count the scroll range and the jump to a found tile work with: the box's outer width
// in units of 100 pixels, at least 1 (a box narrower than 100 pixels would divide by zero).
int SichtSpalten(int aussenBreite);

// Vertical scroll range for anzahl tiles: one row more than the tiles fill.
int ScrollBereich(int anzahl, int sichtSpalten);

// Scroll position that brings the row of the found tile to the top.
int FundPosition(int gefundenIndex, int sichtSpalten);

// The file names of the pictures in a folder: every entry but folders (and links to them), taken when
// the lower-cased extension (from the last ".", dot included, not empty) occurs in endungen;
// ordered by the upper-cased name, character code by character code. Full paths; empty for a
// folder that cannot be read.
QStringList ListeBilder(const QString &ordner, const QString &endungen);

// What follows the last "/" (or ":") of a path.
QString DateiName(const QString &pfad);

// Size of the thumbnail of a picture of this size in a tile of side groesse: the longer side
// becomes groesse - 2, the shorter Trunc(groesse * f) - 2 with f the ratio of the sides as a double,
// never below 1 pixel.
QSize ZwischenGroesse(QSize original, int groesse = KachelGroesse);

// The size a thumbnail is kept at, in device pixels: the tile's thumbnail size (ZwischenGroesse at
// this ratio), except for a picture at most half as long as that, which is kept at its own size and
// enlarged only when its tile is drawn; a 16 x 16 picture needs no 93 x 93 copy in memory or pack.
QSize VorschauZiel(QSize original, int groesse, qreal verhaeltnis);

enum class TRahmen { Duenn, Treffer, Keiner };

// The frame a tile gets: Treffer when its upper-cased name begins with suchtext + "." (group 0)
// or suchtext + "_" (group 1); none when suchtext merely occurs in the name; thin otherwise.
TRahmen BestimmeRahmen(const QString &name, const QString &suchtext, int gruppe);

// Inverts pen XOR destination per channel on every pixel of the region (the not-xor mix).
void MischeNichtXor(QImage &bild, const QRect &bereich, QColor stift);

// The outline of rectangle (links, oben)-(rechts, unten), right and bottom exclusive, drawn with a
// centred pen of this width in the not-xor mix; the interior stays as it is.
void ZeichneNichtXorRahmen(QImage &bild, int links, int oben, int rechts, int unten, int stiftBreite, QColor stift);

// One tile with its frame, for a screen of the thumbnail's device-pixel ratio: white, the thumbnail
// centred (a null vorschau shows "FEHLER" in red), groesse logical pixels a side, each drawn as
// ratio x ratio device pixels.
QImage ZeichneKachel(const QImage &vorschau, TRahmen rahmen, qreal verhaeltnis = 1.0, int groesse = KachelGroesse,
                     QColor rahmenFarbe = KnopfSchatten);

// A length in logical pixels on a screen of this device-pixel ratio; unchanged at ratio 1.
int GeraetePunkte(int logisch, qreal verhaeltnis);

// The group the stored "Auswahl" selects: 0 or 1, -1 for any other whole number; an empty value,
// or one that is no whole number, keeps the German group.
int GruppeAusAuswahl(const QString &wert);

// Where the plate's picture lies on the large template of a group (Image1 relative to Image2);
// no value for no group.
std::optional<QPoint> KennzeichenVersatz(int gruppe);

// Left edge that centres a control of this width on the panel, as the question screen places it.
int ZentrierteLinks(int panelLinks, int panelBreite, int breite);

// One gallery tile: a light record that the gallery view paints. Tag is its index into BildPfade;
// its square lies in the gallery's content coordinates; its thumbnail is shared with the thumbnail
// cache, and its picture (white, thumbnail, frame) is composed only when asked for. A tile beyond the
// memory bound holds no thumbnail but its nachlader, which fetches it whenever the tile is drawn.
class TKachel {
public:
  explicit TKachel(int tag = -1, const QRect &feld = QRect(), const QImage &vorschau = QImage(),
                   TRahmen rahmen = TRahmen::Duenn, qreal verhaeltnis = 1.0,
                   std::shared_ptr<TVorschauNachlader> nachlader = nullptr);
  int Tag() const { return FTag; }
  const QRect &Feld() const { return FFeld; }
  TRahmen Rahmen() const { return FRahmen; }
  // The tile's picture, at the device-pixel ratio of its thumbnail.
  QImage Bild() const;

private:
  int FTag;
  QRect FFeld;
  QImage FVorschau;
  TRahmen FRahmen;
  qreal FVerhaeltnis;
  std::shared_ptr<TVorschauNachlader> FNachlader;
};
