// The gallery's scrolling box: vertical scrolling only, with a range set from outside, and the
// position recorded before each scroll-bar action takes effect.
#pragma once

#include <QScrollArea>

class TScrollBox : public QScrollArea {
  Q_OBJECT
public:
  explicit TScrollBox(QWidget *parent = nullptr);

  // The widget that holds the tiles.
  QWidget *Inhalt() const { return FInhalt; }

  int ClientBreite() const;
  int ClientHoehe() const;
  // Resizes the box so that its client area gets this width.
  void SetzeClientBreite(int breite);

  // The vertical scroll range: the height of the content; the largest position is the range
  // minus the visible height, never below 0.
  int Bereich() const { return FBereich; }
  void SetzeBereich(int bereich);
  int Position() const;
  void SetzePosition(int position);
  int GroesstePosition() const;

  // Called by the vertical bar when a mouse action on it has ended.
  void MeldeAktionsende();

signals:
  // The position before a scroll-bar action of the user takes effect, and at its end.
  void PositionVorAktion(int position);

protected:
  void resizeEvent(QResizeEvent *event) override;
  // The window turns wheel notches into row steps; the box itself must not scroll on its own.
  void wheelEvent(QWheelEvent *event) override;

private:
  void PasseInhaltAn();

  QWidget *FInhalt;
  int FBereich = 0;
};
