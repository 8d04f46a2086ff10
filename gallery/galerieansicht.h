// The gallery as one painted view inside the scroll box: it draws the tiles in sight from their
// records, turns a press on a tile's square into that tile's index, and shows the tiles to
// assistive technology as children with a name and a press action.
#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <functional>

class TKachel;

// The mark a tile carries in practice mode: how many of its segments are filled and in which colour,
// and what a screen reader says of it.
struct TKachelMarke {
  int Gefuellt = 0;
  int Segmente = 0;
  QColor Farbe;
  QString Text;
};
// The mark of a plate by its picture name.
using TMarkenQuelle = std::function<TKachelMarke(const QString &bild)>;

class TGalerieAnsicht : public QWidget {
  Q_OBJECT
public:
  // The view reads the window's tile list and picture paths; it keeps no copy of its own.
  TGalerieAnsicht(const QVector<TKachel> &kacheln, const QStringList &bildPfade, QWidget *parent);

  // Covers the grid of anzahl tiles in spalten columns, the margin beyond the last column included.
  void SetzeGitter(int spalten, int anzahl);
  int Spalten() const { return FSpalten; }
  // Tiles von .. bis - 1 have just got their records: only their squares are painted again.
  void ZeigeKacheln(int von, int bis);
  // The index of the tile whose square holds the point (view coordinates), or -1 for a gap.
  int KachelBei(QPoint punkt) const;
  // The tile's name for assistive technology: "Kennzeichen " and its code as the question names it.
  QString KachelName(int index) const;
  int Anzahl() const;
  // In practice mode each tile carries the mark of its plate. An empty function: no marks, the tiles
  // as always.
  void SetzeMarkenQuelle(TMarkenQuelle quelle);
  // The tile's description for assistive technology: its mark's text in practice mode, else nothing.
  QString KachelBeschreibung(int index) const;

  // The keyboard's tile, -1 for none. Its ring is drawn only once keys have moved it: a search sets
  // it unseen, and the gallery of the mouse stays as it was.
  int Cursor() const { return FCursor; }
  void SetzeCursor(int index);
  void ZeigeCursor(bool zeigen);

signals:
  // A press of a mouse button on a tile, or the press action of its accessible child (left button).
  void KachelGedrueckt(int index, Qt::MouseButton knopf);

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  const QVector<TKachel> &FKacheln;
  const QStringList &FBildPfade;
  int FSpalten = 1;
  TMarkenQuelle FMarke;
  int FCursor = -1;
  bool FCursorSichtbar = false;
};
