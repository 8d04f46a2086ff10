// Anchors of absolutely placed controls: each keeps its place relative to the parent's edges it is
// anchored to when the parent changes size; a control anchored to neither side of an axis keeps its
// centre in proportion.
#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QVector>

class QWidget;

class TAnker : public QObject {
  Q_OBJECT
public:
  enum Kante { L = 1, T = 2, R = 4, B = 8 };

  explicit TAnker(QObject *parent = nullptr);
  // Registers a control with its current geometry as the rule.
  void Setze(QWidget *steuer, int kanten);
  // Applies the rules of every control on this parent for its current size.
  void Anwenden(QWidget *eltern);
  // The place a control's rule gives it for its parent's current size.
  QRect Regelplatz(QWidget *steuer) const;
  // The same for a parent of another size.
  QRect Regelplatz(QWidget *steuer, QSize elternGroesse) const;
  // Puts a control somewhere else for a while without making that its rule: the parent's next change of
  // size, or Zuruecksetzen, puts it back where the rule says.
  void Verlege(QWidget *steuer, const QRect &geometrie);
  void Zuruecksetzen(QWidget *steuer) { Verlege(steuer, Regelplatz(steuer)); }

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  struct TRegel;
  TRegel *Regel(QWidget *steuer);
  static QRect Ziel(const TRegel &regel, QSize neu);

  struct TRegel {
    QPointer<QWidget> Steuer;
    int Kanten = L | T;
    QRect Entwurf; // geometry the rule is measured from
    QSize Basis;   // the parent's size when Entwurf was taken
    QRect Gesetzt; // what the rule set last; anything else was set by the program
  };
  QHash<QWidget *, QVector<TRegel>> FRegeln;
  QHash<QWidget *, QSize> FElternGroesse;
};
