// The way through the window without a mouse: Alt+letter keys for the controls, their underlines while
// Alt is held, and the ring that shows where the keyboard focus is. The key hook lets every key with
// Alt through, so none of this changes what a key without Alt does.
#include "app/tmainform.h"

#include "app/fokusrahmen.h"
#include "gallery/galerie.h"
#include "search/suche.h"
#include "widgets/zugang.h"

#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QShortcut>

namespace {

// True while the Alt key is held down in the window: then the letters of the access keys are underlined.
bool AltGehalten = false;

// Draws the caption's access letter underlined while Alt is held, and the caption exactly as before
// otherwise: an underline always shown would change every caption for everyone.
class TZugriffStil : public QProxyStyle {
public:
  explicit TZugriffStil(int buchstabe) : QProxyStyle(QApplication::style()->name()), FBuchstabe(buchstabe) {}

  void drawItemText(QPainter *maler, const QRect &rechteck, int ausrichtung, const QPalette &palette, bool aktiv,
                    const QString &text, QPalette::ColorRole rolle) const override {
    if (!AltGehalten || FBuchstabe >= text.size()) {
      QProxyStyle::drawItemText(maler, rechteck, ausrichtung, palette, aktiv, text, rolle);
      return;
    }
    const QString mitZeichen = text.left(FBuchstabe) + QLatin1Char('&') + text.mid(FBuchstabe);
    QProxyStyle::drawItemText(maler, rechteck, (ausrichtung & ~Qt::TextHideMnemonic) | Qt::TextShowMnemonic, palette,
                              aktiv, mitZeichen, rolle);
  }

private:
  int FBuchstabe;
};

// Watches the Alt key for the underlines. It only looks: the key goes on to the window's key hook.
class TAltWaechter : public QObject {
public:
  TAltWaechter(QWidget *fenster, QList<QWidget *> beschriftet)
      : QObject(fenster), FFenster(fenster), FBeschriftet(std::move(beschriftet)) {}

protected:
  bool eventFilter(QObject *ziel, QEvent *ereignis) override {
    switch (ereignis->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      auto *taste = static_cast<QKeyEvent *>(ereignis);
      auto *steuer = qobject_cast<QWidget *>(ziel);
      if (steuer && steuer->window() == FFenster && (taste->key() == Qt::Key_Alt || taste->key() == Qt::Key_AltGr))
        Setze(ereignis->type() == QEvent::KeyPress && taste->key() == Qt::Key_Alt);
      break;
    }
    case QEvent::WindowDeactivate:
      if (ziel == FFenster)
        Setze(false);
      break;
    default: break;
    }
    return false;
  }

private:
  void Setze(bool gehalten) {
    if (AltGehalten == gehalten)
      return;
    AltGehalten = gehalten;
    for (QWidget *steuer : std::as_const(FBeschriftet))
      steuer->update();
  }

  QWidget *FFenster;
  QList<QWidget *> FBeschriftet;
};

// An access key for a control whose caption cannot carry the letter (no caption, a picture, or a
// caption that the program rewrites). It acts only while its control is shown and enabled.
void Zugriffstaste(QWidget *steuer, QKeyCombination taste, std::function<void()> aktion) {
  auto *kurz = new QShortcut(QKeySequence(taste), steuer);
  kurz->setContext(Qt::WindowShortcut);
  QObject::connect(kurz, &QShortcut::activated, steuer, std::move(aktion));
}

} // namespace

void TMainForm::ZugriffEinrichten() {
  // The letter-range captions begin with their letter; each button's key is that letter.
  const QList<QAbstractButton *> bereiche = Bereichsknoepfe->buttons();
  for (QAbstractButton *knopf : bereiche) {
    auto *stil = new TZugriffStil(0);
    stil->setParent(knopf);
    knopf->setStyle(stil);
    knopf->setShortcut(QKeySequence(Qt::ALT | Qt::Key(knopf->text().at(0).unicode())));
    // Setting the caption and name while the button was made already fixed Qt's plain button
    // interface for it, before the property that makes it a toggle was set: the next query builds
    // ours, which reports the bold one as checked.
    if (QAccessibleInterface *alt = QAccessible::queryAccessibleInterface(knopf))
      QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(alt));
  }
  // Practice mode: the box has its own key; Alt+N is one key of the window for both screens.
  for (QAbstractButton *knopf :
       {static_cast<QAbstractButton *>(UebenCheckBox), static_cast<QAbstractButton *>(NaechsteFrageBtn)}) {
    auto *stil = new TZugriffStil(0);
    stil->setParent(knopf);
    knopf->setStyle(stil);
  }
  UebenCheckBox->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Udiaeresis));
  // A button's own key moves the focus to it and presses it, as a click does; the key is also
  // what a screen reader names as the button's shortcut.
  HilfeBtn->setShortcut(QKeySequence(Qt::ALT | Qt::Key_H));
  ZurueckBtn->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Z));
  ZeigDieAntwortBtn->setShortcut(QKeySequence(Qt::ALT | Qt::Key_R));
  // Shown only while practising, and so only then a key.
  EinrichtenBtn->setShortcut(QKeySequence(Qt::ALT | Qt::Key_E));
  // The map button is pressed where the focus is: the answers keep it, as after a click on the button.
  Zugriffstaste(KarteBtn, Qt::ALT | Qt::Key_L, [this] {
    if (KarteBtn->isEnabled())
      KarteBtn->animateClick();
  });
  Zugriffstaste(SuchEdit, Qt::ALT | Qt::Key_S, [this] { FSuche->NimmFokus(); });
  Zugriffstaste(ComboBox1, Qt::ALT | Qt::Key_G, [this] { ComboBox1->setFocus(Qt::ShortcutFocusReason); });

  // The tiles by keyboard. Window keys, so that they work from the search field too; the group list
  // keeps Alt+arrow down, which opens it.
  QList<QShortcut *> kachelTasten;
  for (Qt::Key taste : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End}) {
    auto *kurz = new QShortcut(QKeySequence(Qt::ALT | taste), this);
    connect(kurz, &QShortcut::activated, this, [this, taste] { BewegeKachelCursor(taste); });
    kachelTasten << kurz;
  }
  for (Qt::Key taste : {Qt::Key_Return, Qt::Key_Enter})
    connect(new QShortcut(QKeySequence(Qt::ALT | taste), this), &QShortcut::activated, this,
            &TMainForm::OeffneKachelCursor);
  // Tied to the list, not to the window: the window's own end moves the focus once more, when only its
  // children are left.
  connect(qApp, &QApplication::focusChanged, ComboBox1, [liste = ComboBox1, kachelTasten](QWidget *, QWidget *jetzt) {
    for (QShortcut *kurz : kachelTasten)
      kurz->setEnabled(jetzt != liste);
  });
  // A range switch by its key is heard with what it brought.
  connect(Bereichsknoepfe, &QButtonGroup::idClicked, this, [this](int bereich) {
    if (QAbstractButton *knopf = Bereichsknoepfe->button(bereich))
      Ansage->Sage(knopf->accessibleName() + QStringLiteral(", %1 Kennzeichen").arg(FGalerie->Kacheln().size()));
  });

  QList<QWidget *> beschriftet{bereiche.cbegin(), bereiche.cend()};
  beschriftet << UebenCheckBox << NaechsteFrageBtn;
  qApp->installEventFilter(new TAltWaechter(this, beschriftet));
  FokusRahmen = new TFokusRahmen(this);
  Ansage = new TAnsage(this);
}
