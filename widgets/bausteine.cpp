// The small stand-in widgets of the window.
#include "widgets/bausteine.h"

#include "widgets/zugang.h"
#include "data/jpegbild.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPainter>

TBild::TBild(QWidget *parent) : QWidget(parent) {}

void TBild::SetzeBild(const QImage &bild) {
  FBild = bild;
  FAnzeige = bild;
  if (Transparent && !bild.isNull()) {
    // The classic see-through colour is the bottom-left pixel.
    const QRgb durch = bild.pixel(0, bild.height() - 1);
    FAnzeige = bild.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < FAnzeige.height(); ++y) {
      auto *zeile = reinterpret_cast<QRgb *>(FAnzeige.scanLine(y));
      for (int x = 0; x < FAnzeige.width(); ++x)
        if ((zeile[x] & 0xFFFFFF) == (durch & 0xFFFFFF))
          zeile[x] = 0;
    }
  }
  // The picture's size in logical pixels: a picture decoded for a HiDPI screen has more pixels.
  if (AutoSize && !bild.isNull())
    resize(bild.deviceIndependentSize().toSize());
  update();
}

void TBild::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  // An anchor stretches or shrinks the control with its parent; a picture that sizes itself keeps its
  // own size all the same, or a narrower window would cut the plate's code.
  const QSize eigene = FBild.deviceIndependentSize().toSize();
  if (AutoSize && !FBild.isNull() && size() != eigene)
    resize(eigene);
}

bool TBild::LadeDatei(const QString &pfad) {
  const std::optional<QImage> bild = LadeBildDatei(pfad, devicePixelRatioF());
  if (!bild)
    return false;
  SetzeBild(*bild);
  return true;
}

void TBild::paintEvent(QPaintEvent *) {
  if (FAnzeige.isNull())
    return;
  QPainter maler(this);
  if (Stretch) {
    maler.setRenderHint(QPainter::SmoothPixmapTransform);
    maler.drawImage(rect(), FAnzeige);
  } else {
    // A picture decoded for a whole ratio on a screen of a fractional one is drawn a little smaller.
    if (!qFuzzyCompare(FAnzeige.devicePixelRatio(), devicePixelRatioF()))
      maler.setRenderHint(QPainter::SmoothPixmapTransform);
    maler.drawImage(0, 0, FAnzeige);
  }
}

bool IstKlick(const QWidget *steuer, const QMouseEvent *event) {
  return event->button() == Qt::LeftButton && steuer->rect().contains(event->position().toPoint());
}

// The press is taken, so that its release comes back here; a control without a handler keeps the
// press to itself all the same, since it must not act as a click on what lies beneath it.
void TBild::mousePressEvent(QMouseEvent *event) { event->accept(); }

void TBild::mouseReleaseEvent(QMouseEvent *event) {
  if (IstKlick(this, event))
    emit Klick();
}

TPanel::TPanel(QWidget *parent) : QFrame(parent) {
  setAutoFillBackground(true);
  setFrameShape(QFrame::Panel);
}

void TPanel::SetzeCaption(const QString &text) {
  FCaption = text;
  update();
}

void TPanel::SetzeFarbe(const QColor &farbe) {
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, farbe);
  setPalette(palette);
}

void TPanel::paintEvent(QPaintEvent *event) {
  QFrame::paintEvent(event);
  if (FCaption.isEmpty())
    return;
  QPainter maler(this);
  maler.setFont(font());
  maler.setPen(palette().color(QPalette::WindowText));
  maler.drawText(contentsRect(), Qt::AlignCenter, FCaption);
}

void TPanel::mousePressEvent(QMouseEvent *event) { event->accept(); }

void TPanel::mouseReleaseEvent(QMouseEvent *event) {
  if (IstKlick(this, event))
    emit Klick();
}

TToolBar::TToolBar(QWidget *parent) : QFrame(parent) { setAutoFillBackground(true); }

void TToolBar::NeuAnordnen() {
  int links = 0;
  for (QObject *kind : children()) {
    auto *element = qobject_cast<QWidget *>(kind);
    if (!element || element->isHidden())
      continue;
    if (element->pos() != QPoint(links, 2))
      element->move(links, 2);
    links += element->width();
  }
}

bool TToolBar::eventFilter(QObject *watched, QEvent *event) {
  switch (event->type()) {
  case QEvent::Resize:
  case QEvent::ShowToParent:
  case QEvent::HideToParent: NeuAnordnen(); break;
  default: break;
  }
  return QFrame::eventFilter(watched, event);
}

void TToolBar::childEvent(QChildEvent *event) {
  if (event->added() && event->child()->isWidgetType())
    event->child()->installEventFilter(this);
  QFrame::childEvent(event);
}

void TToolBar::mousePressEvent(QMouseEvent *event) { event->accept(); }

void TToolBar::mouseReleaseEvent(QMouseEvent *event) {
  if (IstKlick(this, event))
    emit Klick();
}

TStatusBar::TStatusBar(QWidget *parent) : QFrame(parent) {}

void TStatusBar::SetzeSimpleText(const QString &text) {
  if (text == FText)
    return;
  FText = text;
  update();
  // The text is the bar's accessible name: a screen reader hears of the change.
  SageAn(this, QAccessible::NameChanged);
}

void TStatusBar::paintEvent(QPaintEvent *event) {
  QFrame::paintEvent(event);
  QPainter maler(this);
  maler.setPen(palette().color(QPalette::WindowText));
  maler.drawText(rect().adjusted(2, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, FText);
}
