// The painted gallery view and its accessible tiles.
#include "gallery/galerieansicht.h"

#include "data/eintrag.h"
#include "gallery/galerieregeln.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>

namespace {

// One tile as assistive technology sees it: a button named after its plate. It holds only its index,
// so it always describes what the view shows at that place now.
class TKachelZugang : public QAccessibleInterface, public QAccessibleActionInterface {
public:
  TKachelZugang(TGalerieAnsicht *ansicht, int index) : FAnsicht(ansicht), FIndex(index) {}

  bool isValid() const override { return FAnsicht && FIndex < FAnsicht->Anzahl(); }
  QObject *object() const override { return nullptr; }
  QWindow *window() const override { return FAnsicht ? FAnsicht->window()->windowHandle() : nullptr; }
  QAccessibleInterface *childAt(int, int) const override { return nullptr; }
  QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(FAnsicht.data()); }
  QAccessibleInterface *child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface *) const override { return -1; }
  QString text(QAccessible::Text art) const override {
    if (!isValid())
      return {};
    if (art == QAccessible::Name)
      return FAnsicht->KachelName(FIndex);
    if (art == QAccessible::Description)
      return FAnsicht->KachelBeschreibung(FIndex);
    return {};
  }
  void setText(QAccessible::Text, const QString &) override {}
  QRect rect() const override {
    if (!isValid())
      return {};
    const QRect feld = Feld();
    return QRect(FAnsicht->mapToGlobal(feld.topLeft()), feld.size());
  }
  QAccessible::Role role() const override { return QAccessible::Button; }
  QAccessible::State state() const override {
    QAccessible::State zustand;
    if (!isValid() || !FAnsicht->isVisible()) {
      zustand.invisible = true;
      return zustand;
    }
    // A tile scrolled out of the box is there, but not on the screen.
    zustand.offscreen = !FAnsicht->visibleRegion().intersects(Feld());
    return zustand;
  }
  void *interface_cast(QAccessible::InterfaceType art) override {
    return art == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString &aktion) override {
    if (aktion == pressAction() && isValid())
      emit FAnsicht->KachelGedrueckt(FIndex, Qt::LeftButton);
  }
  QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
  QRect Feld() const { return QRect(KachelPosition(FIndex, FAnsicht->Spalten()), QSize(KachelGroesse, KachelGroesse)); }

  QPointer<TGalerieAnsicht> FAnsicht;
  int FIndex;
};

// The view with one accessible child per tile, made when first asked for. A gallery of 20 000
// tiles costs nothing until a screen reader walks it.
class TGalerieZugang : public QAccessibleWidget {
public:
  explicit TGalerieZugang(TGalerieAnsicht *ansicht) : QAccessibleWidget(ansicht, QAccessible::Pane) {}
  ~TGalerieZugang() override {
    for (QAccessible::Id id : std::as_const(FKinder))
      QAccessible::deleteAccessibleInterface(id);
  }

  int childCount() const override { return Ansicht()->Anzahl(); }
  QAccessibleInterface *child(int index) const override {
    if (index < 0 || index >= childCount())
      return nullptr;
    const auto gefunden = FKinder.constFind(index);
    if (gefunden != FKinder.cend())
      return QAccessible::accessibleInterface(*gefunden);
    auto *kind = new TKachelZugang(Ansicht(), index);
    FKinder.insert(index, QAccessible::registerAccessibleInterface(kind));
    return kind;
  }
  int indexOfChild(const QAccessibleInterface *kind) const override {
    for (auto it = FKinder.cbegin(); it != FKinder.cend(); ++it)
      if (QAccessible::accessibleInterface(it.value()) == kind)
        return it.key();
    return -1;
  }
  QAccessibleInterface *childAt(int x, int y) const override {
    return child(Ansicht()->KachelBei(Ansicht()->mapFromGlobal(QPoint(x, y))));
  }

private:
  TGalerieAnsicht *Ansicht() const { return static_cast<TGalerieAnsicht *>(widget()); }
  mutable QHash<int, QAccessible::Id> FKinder;
};

QAccessibleInterface *GalerieZugangFabrik(const QString &klasse, QObject *objekt) {
  if (klasse == QLatin1String("TGalerieAnsicht") && objekt && objekt->isWidgetType())
    return new TGalerieZugang(static_cast<TGalerieAnsicht *>(objekt));
  return nullptr;
}

// The box mark: five small segments in the tile's bottom-right corner, inside the widest frame,
// as many filled as the plate's box, in the box's colour; empty ones for a plate never asked.
constexpr int MarkenSegmentBreite = 7;
constexpr int MarkenSegmentHoehe = 5;
constexpr int MarkenLuecke = 2;
constexpr int MarkenRand = 9;
const QColor MarkenLeer(255, 255, 255);
const QColor MarkenUmriss(96, 96, 96);

void ZeichneMarke(QPainter &maler, const QRect &feld, const TKachelMarke &marke) {
  const int breite = marke.Segmente * MarkenSegmentBreite + (marke.Segmente - 1) * MarkenLuecke;
  const QPoint ecke(feld.right() + 1 - MarkenRand - breite, feld.bottom() + 1 - MarkenRand - MarkenSegmentHoehe);
  maler.setPen(MarkenUmriss);
  for (int i = 0; i < marke.Segmente; ++i) {
    const QRect segment(ecke.x() + i * (MarkenSegmentBreite + MarkenLuecke), ecke.y(), MarkenSegmentBreite,
                        MarkenSegmentHoehe);
    maler.fillRect(segment, i < marke.Gefuellt ? marke.Farbe : MarkenLeer);
    maler.drawRect(segment.adjusted(0, 0, -1, -1));
  }
}

// The keyboard's tile carries the window's focus ring: dark blue outside, a white line inside.
const QColor CursorFarbe(0, 0, 160);
const QColor CursorInnen(255, 255, 255);
constexpr int CursorBreite = 2;

void ZeichneCursor(QPainter &maler, const QRect &feld) {
  maler.setPen(CursorFarbe);
  for (int i = 0; i < CursorBreite; ++i)
    maler.drawRect(feld.adjusted(i, i, -1 - i, -1 - i));
  maler.setPen(CursorInnen);
  maler.drawRect(feld.adjusted(CursorBreite, CursorBreite, -1 - CursorBreite, -1 - CursorBreite));
}

} // namespace

TGalerieAnsicht::TGalerieAnsicht(const QVector<TKachel> &kacheln, const QStringList &bildPfade, QWidget *parent)
    : QWidget(parent), FKacheln(kacheln), FBildPfade(bildPfade) {
  static const bool eingerichtet = [] {
    QAccessible::installFactory(GalerieZugangFabrik);
    return true;
  }();
  Q_UNUSED(eingerichtet);
  // No background of its own: the gaps between the tiles show the box behind, as before.
  setAttribute(Qt::WA_NoSystemBackground);
}

int TGalerieAnsicht::Anzahl() const { return FKacheln.size(); }

void TGalerieAnsicht::SetzeGitter(int spalten, int anzahl) {
  FSpalten = qMax(1, spalten);
  if (FCursor >= anzahl)
    FCursor = -1;
  const int zeilen = anzahl / FSpalten + (anzahl % FSpalten > 0 ? 1 : 0);
  setGeometry(0, 0, KachelRaster * FSpalten + KachelAbstand, KachelRaster * zeilen + KachelAbstand);
  update();
  QAccessibleEvent neu(this, QAccessible::ObjectReorder);
  QAccessible::updateAccessibility(&neu);
}

void TGalerieAnsicht::ZeigeKacheln(int von, int bis) {
  if (bis <= von)
    return;
  // The rows they lie in; a row's tiles come together, so this is seldom more than the new squares.
  const QPoint oben = KachelPosition(von, FSpalten);
  const QPoint unten = KachelPosition(bis - 1, FSpalten);
  update(QRect(0, oben.y(), width(), unten.y() + KachelGroesse - oben.y()));
}

int TGalerieAnsicht::KachelBei(QPoint punkt) const {
  if (punkt.x() < KachelAbstand || punkt.y() < KachelAbstand)
    return -1;
  const int spalte = (punkt.x() - KachelAbstand) / KachelRaster;
  const int zeile = (punkt.y() - KachelAbstand) / KachelRaster;
  if (spalte >= FSpalten)
    return -1;
  const int index = zeile * FSpalten + spalte;
  if (index >= FKacheln.size() || !FKacheln.at(index).Feld().contains(punkt))
    return -1;
  return index;
}

QString TGalerieAnsicht::KachelName(int index) const {
  const int tag = FKacheln.at(index).Tag();
  const QString datei = tag >= 0 && tag < FBildPfade.size() ? DateiName(FBildPfade.at(tag)) : QString();
  return QStringLiteral("Kennzeichen ") + FrageCode(datei);
}

void TGalerieAnsicht::SetzeMarkenQuelle(TMarkenQuelle quelle) {
  FMarke = std::move(quelle);
  update();
}

QString TGalerieAnsicht::KachelBeschreibung(int index) const {
  if (!FMarke)
    return {};
  const int tag = FKacheln.at(index).Tag();
  return tag >= 0 && tag < FBildPfade.size() ? FMarke(DateiName(FBildPfade.at(tag))).Text : QString();
}

void TGalerieAnsicht::SetzeCursor(int index) {
  if (index == FCursor)
    return;
  if (FCursorSichtbar && FCursor >= 0 && FCursor < FKacheln.size())
    update(FKacheln.at(FCursor).Feld());
  FCursor = index;
  if (FCursorSichtbar && FCursor >= 0 && FCursor < FKacheln.size())
    update(FKacheln.at(FCursor).Feld());
}

void TGalerieAnsicht::ZeigeCursor(bool zeigen) {
  if (zeigen == FCursorSichtbar)
    return;
  FCursorSichtbar = zeigen;
  if (FCursor >= 0 && FCursor < FKacheln.size())
    update(FKacheln.at(FCursor).Feld());
}

void TGalerieAnsicht::paintEvent(QPaintEvent *event) {
  const QRect bereich = event->rect();
  const int ersteZeile = qMax(0, (bereich.top() - KachelAbstand) / KachelRaster);
  const int letzteZeile = qMax(0, (bereich.bottom() - KachelAbstand) / KachelRaster);
  const int bis = qMin(int(FKacheln.size()), (letzteZeile + 1) * FSpalten);
  QPainter maler(this);
  for (int i = ersteZeile * FSpalten; i < bis; ++i) {
    const TKachel &kachel = FKacheln.at(i);
    if (!kachel.Feld().intersects(bereich))
      continue;
    maler.drawImage(kachel.Feld().topLeft(), kachel.Bild());
    if (FMarke && kachel.Tag() >= 0 && kachel.Tag() < FBildPfade.size())
      ZeichneMarke(maler, kachel.Feld(), FMarke(DateiName(FBildPfade.at(kachel.Tag()))));
    if (FCursorSichtbar && i == FCursor)
      ZeichneCursor(maler, kachel.Feld());
  }
}

// A press on a gap is no press on a tile: it goes on to the box, as it did between the tile widgets.
void TGalerieAnsicht::mousePressEvent(QMouseEvent *event) {
  const int index = KachelBei(event->position().toPoint());
  if (index < 0) {
    event->ignore();
    return;
  }
  // The mouse takes over: the keys go on from the tile it pressed, and the ring goes.
  ZeigeCursor(false);
  SetzeCursor(index);
  emit KachelGedrueckt(index, event->button());
}

// The release of a press on a tile belongs to the tile too; a release over a gap goes on.
void TGalerieAnsicht::mouseReleaseEvent(QMouseEvent *event) {
  event->setAccepted(KachelBei(event->position().toPoint()) >= 0);
}
