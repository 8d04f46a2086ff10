// The focus ring: a child of the focused control, so that it moves, hides and clips with it.
#include "app/fokusrahmen.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>

// Dark blue against silver 7.7:1, against white 13.9:1; the white line inside keeps it apart from
// a control's own dark border.
const QColor TFokusRahmen::Farbe(0, 0, 160);
const QColor TFokusRahmen::Innen(255, 255, 255);

TFokusRahmen::TFokusRahmen(QWidget *fenster) : QFocusFrame(fenster), FFenster(fenster) {
  setObjectName(QStringLiteral("FokusRahmen"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::NoFocus);
  hide();
  connect(qApp, &QApplication::focusChanged, this, [this] { Folge(); });
  FFenster->installEventFilter(this);
}

void TFokusRahmen::Folge() {
  QWidget *fokus = QApplication::focusWidget();
  // Only the window's own controls; the window itself and a closed drop-down have no ring.
  if (fokus && (fokus == FFenster || fokus->window() != FFenster || !FFenster->isActiveWindow()))
    fokus = nullptr;
  if (FZiel && FZiel != fokus)
    FZiel->removeEventFilter(this);
  if (!fokus) {
    FZiel = nullptr;
    hide();
    return;
  }
  if (FZiel != fokus) {
    FZiel = fokus;
    FZiel->installEventFilter(this);
    setParent(fokus);
  }
  setGeometry(fokus->rect());
  raise();
  show();
  update();
}

bool TFokusRahmen::eventFilter(QObject *watched, QEvent *event) {
  switch (event->type()) {
  case QEvent::Resize:
    if (watched == FZiel)
      setGeometry(FZiel->rect());
    break;
  case QEvent::ChildAdded:
    // A child made later (a list's viewport, an editor) would cover the ring.
    if (watched == FZiel)
      QMetaObject::invokeMethod(
          this, [this] { raise(); }, Qt::QueuedConnection);
    break;
  case QEvent::WindowActivate:
  case QEvent::WindowDeactivate:
    if (watched == FFenster)
      Folge();
    break;
  default: break;
  }
  return QFocusFrame::eventFilter(watched, event);
}

void TFokusRahmen::paintEvent(QPaintEvent *) {
  QPainter maler(this);
  const QRect r = rect();
  for (int i = 0; i < Breite; ++i) {
    maler.setPen(Farbe);
    maler.drawRect(r.adjusted(i, i, -1 - i, -1 - i));
  }
  maler.setPen(Innen);
  maler.drawRect(r.adjusted(Breite, Breite, -1 - Breite, -1 - Breite));
}
