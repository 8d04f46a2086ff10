// The gallery's scrolling box.
#include "search/tscrollbox.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

namespace {

// The vertical bar: it tells when a mouse action on it has ended, after its own handling, so that the
// position then is the one the action reached. The wheel is left to the window.
class TLeiste : public QScrollBar {
public:
  TLeiste(Qt::Orientation richtung, TScrollBox *box) : QScrollBar(richtung), FBox(box) {}

protected:
  void mouseReleaseEvent(QMouseEvent *event) override {
    QScrollBar::mouseReleaseEvent(event);
    FBox->MeldeAktionsende();
  }
  void wheelEvent(QWheelEvent *event) override { event->ignore(); }

private:
  TScrollBox *FBox;
};

} // namespace

TScrollBox::TScrollBox(QWidget *parent) : QScrollArea(parent), FInhalt(new QWidget) {
  setVerticalScrollBar(new TLeiste(Qt::Vertical, this));
  setWidgetResizable(false);
  // A bar that comes and goes would change the client width under the tile arithmetic.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Sunken);
  setWidget(FInhalt);
  verticalScrollBar()->setSingleStep(8);
  verticalScrollBar()->setTracking(true);
  // Emitted before the bar's value changes, so the position is still the old one.
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this](int) { emit PositionVorAktion(Position()); });
  PasseInhaltAn();
}

void TScrollBox::MeldeAktionsende() { emit PositionVorAktion(Position()); }

void TScrollBox::wheelEvent(QWheelEvent *event) { event->ignore(); }

int TScrollBox::ClientBreite() const { return width() - 2 * frameWidth() - verticalScrollBar()->sizeHint().width(); }

int TScrollBox::ClientHoehe() const { return height() - 2 * frameWidth(); }

void TScrollBox::SetzeClientBreite(int breite) { resize(breite + (width() - ClientBreite()), height()); }

void TScrollBox::SetzeBereich(int bereich) {
  FBereich = bereich;
  PasseInhaltAn();
}

int TScrollBox::Position() const { return verticalScrollBar()->value(); }

void TScrollBox::SetzePosition(int position) {
  PasseInhaltAn();
  verticalScrollBar()->setValue(position);
}

int TScrollBox::GroesstePosition() const { return qMax(0, FBereich - ClientHoehe()); }

void TScrollBox::resizeEvent(QResizeEvent *event) {
  QScrollArea::resizeEvent(event);
  PasseInhaltAn();
}

// The content is as wide as the client area and as high as the range, so that the scroll bar's
// largest value is exactly the range minus the visible height.
void TScrollBox::PasseInhaltAn() {
  const int hoehe = qMax(FBereich, ClientHoehe());
  if (FInhalt->size() != QSize(ClientBreite(), hoehe))
    FInhalt->resize(ClientBreite(), hoehe);
  QScrollBar *leiste = verticalScrollBar();
  leiste->setPageStep(ClientHoehe());
  leiste->setRange(0, GroesstePosition());
}
