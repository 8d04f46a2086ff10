// Anchors for absolutely placed controls.
#include "widgets/anker.h"

#include <QEvent>
#include <QWidget>

TAnker::TAnker(QObject *parent) : QObject(parent) {}

void TAnker::Setze(QWidget *steuer, int kanten) {
  QWidget *eltern = steuer->parentWidget();
  if (!FRegeln.contains(eltern)) {
    eltern->installEventFilter(this);
    FElternGroesse.insert(eltern, eltern->size());
  }
  TRegel regel;
  regel.Steuer = steuer;
  regel.Kanten = kanten;
  regel.Entwurf = steuer->geometry();
  regel.Basis = eltern->size();
  regel.Gesetzt = steuer->geometry();
  FRegeln[eltern].append(regel);
}

namespace {
// One axis: start and length from the rule's start and length, the parent's old and new length.
void Achse(bool anfang, bool ende, int basis, int neu, int &start, int &laenge) {
  const int diff = neu - basis;
  if (anfang && ende) {
    laenge = qMax(0, laenge + diff);
  } else if (ende) {
    start += diff;
  } else if (!anfang && basis > 0) {
    const int mitte = (start * 2 + laenge) * neu / (2 * basis);
    start = mitte - laenge / 2;
  }
}
} // namespace

void TAnker::Anwenden(QWidget *eltern) {
  const QSize neu = eltern->size();
  const QSize alt = FElternGroesse.value(eltern, neu);
  for (TRegel &regel : FRegeln[eltern]) {
    if (!regel.Steuer)
      continue;
    // A control the program moved itself keeps that place as its new rule.
    if (regel.Steuer->geometry() != regel.Gesetzt) {
      regel.Entwurf = regel.Steuer->geometry();
      regel.Basis = alt;
    }
    const QRect ziel = Ziel(regel, neu);
    if (regel.Steuer->geometry() != ziel)
      regel.Steuer->setGeometry(ziel);
    regel.Gesetzt = regel.Steuer->geometry();
  }
  FElternGroesse.insert(eltern, neu);
}

QRect TAnker::Ziel(const TRegel &regel, QSize neu) {
  int x = regel.Entwurf.x(), y = regel.Entwurf.y();
  int w = regel.Entwurf.width(), h = regel.Entwurf.height();
  Achse(regel.Kanten & L, regel.Kanten & R, regel.Basis.width(), neu.width(), x, w);
  Achse(regel.Kanten & T, regel.Kanten & B, regel.Basis.height(), neu.height(), y, h);
  return QRect(x, y, w, h);
}

TAnker::TRegel *TAnker::Regel(QWidget *steuer) {
  auto gefunden = FRegeln.find(steuer->parentWidget());
  if (gefunden == FRegeln.end())
    return nullptr;
  for (TRegel &regel : *gefunden)
    if (regel.Steuer == steuer)
      return &regel;
  return nullptr;
}

QRect TAnker::Regelplatz(QWidget *steuer) const { return Regelplatz(steuer, steuer->parentWidget()->size()); }

QRect TAnker::Regelplatz(QWidget *steuer, QSize elternGroesse) const {
  TRegel *regel = const_cast<TAnker *>(this)->Regel(steuer);
  if (!regel)
    return steuer->geometry();
  // A control the program moved itself has that place as its rule, as the next change of size will find.
  if (steuer->geometry() != regel->Gesetzt) {
    TRegel neu = *regel;
    neu.Entwurf = steuer->geometry();
    neu.Basis = FElternGroesse.value(steuer->parentWidget(), steuer->parentWidget()->size());
    return Ziel(neu, elternGroesse);
  }
  return Ziel(*regel, elternGroesse);
}

void TAnker::Verlege(QWidget *steuer, const QRect &geometrie) {
  if (steuer->geometry() != geometrie)
    steuer->setGeometry(geometrie);
  if (TRegel *regel = Regel(steuer))
    regel->Gesetzt = steuer->geometry();
}

bool TAnker::eventFilter(QObject *watched, QEvent *event) {
  if (event->type() == QEvent::Resize)
    Anwenden(static_cast<QWidget *>(watched));
  return QObject::eventFilter(watched, event);
}
