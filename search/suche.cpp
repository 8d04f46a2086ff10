// Finding a plate by its code: the search field's events and the search itself.
#include "app/tmainform.h"

#include "widgets/meldung.h"
#include "widgets/zugang.h"
#include "search/suchregeln.h"
#include "search/tscrollbox.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSet>

namespace {

const QString KeinSuchtext = QStringLiteral("Sie haben kein Suchtext eingegeben!");

QString NichtGefunden(const QString &suchtext) {
  return QStringLiteral("Das Kennzeichen ") + suchtext + QStringLiteral(" wurde nicht gefunden!");
}

// The physical key: its Qt code can differ between press and release when Shift is let go first.
qint64 Kennung(const QKeyEvent *taste) {
  if (taste->nativeScanCode() != 0)
    return (qint64(1) << 32) | taste->nativeScanCode();
  return taste->key();
}

// Hands the search field's key presses and releases to the window's handlers; the field then
// handles the key as usual.
class TSuchTasten : public QObject {
public:
  TSuchTasten(TMainForm *fenster) : QObject(fenster), FFenster(fenster) {}

protected:
  bool eventFilter(QObject *, QEvent *ereignis) override {
    const QEvent::Type art = ereignis->type();
    // Keys pressed before the field lost the focus (to a message box) are let go elsewhere.
    if (art == QEvent::FocusOut)
      FGedrueckt.clear();
    if (art != QEvent::KeyPress && art != QEvent::KeyRelease)
      return false;
    auto *taste = static_cast<QKeyEvent *>(ereignis);
    // A held key repeats its press only; it is released once, when it is let go.
    if (taste->isAutoRepeat() && art == QEvent::KeyRelease)
      return false;
    const int code = VirtuellerTastencode(taste->key());
    if (art == QEvent::KeyPress) {
      // Noted before the press is handled: the handling may open a message box.
      FGedrueckt.insert(Kennung(taste));
      FFenster->SuchEditKeyDown(code);
    } else if (FGedrueckt.remove(Kennung(taste)) || code != TasteEnter) {
      FFenster->SuchEditKeyUp(code, taste->text());
    } else {
      // Enter that closed a message box on its press: its release would search again and open the
      // box anew, forever. Like every release in the field, it still empties the term.
      FFenster->Suchtext.clear();
    }
    return false;
  }

private:
  TMainForm *FFenster;
  QSet<qint64> FGedrueckt;
};

} // namespace

void TMainForm::SucheEinrichten() {
  // textChanged comes for every change, the program's own included, and not for an identical text.
  connect(SuchEdit, &QLineEdit::textChanged, this, [this](const QString &) { SuchEditChange(); });
  SuchEdit->installEventFilter(new TSuchTasten(this));
  connect(ScrollBox1, &TScrollBox::PositionVorAktion, this, [this](int position) { ScrollBoxPosition = position; });
}

void TMainForm::SucheButtonClick() {
  Suchtext = Suchbegriff(SuchEdit->text());

  if (ComboBox1->currentIndex() == 0) {
    if (Suchtext.isEmpty()) {
      ZeigeInformation(this, KeinSuchtext);
    } else {
      const std::optional<TBereich> bereich = BereichFuerSuchbegriff(Suchtext);
      // The range's handler runs even when its range is shown: the search is a reload.
      if (bereich) {
        switch (*bereich) {
        case TBereich::A_E: A_E_ButtonClick(); break;
        case TBereich::F_J: F_J_ButtonClick(); break;
        case TBereich::K_O: K_O_ButtonClick(); break;
        case TBereich::P_T: P_T_ButtonClick(); break;
        case TBereich::U_Z: U_Z_ButtonClick(); break;
        case TBereich::Oesterreich: break;
        }
      }
      if (FAbgebrochen)
        return;
      MeldeSuchergebnis(bereich && Gefunden);
      if (!bereich || !Gefunden)
        ZeigeInformation(this, NichtGefunden(Suchtext));
    }
  }

  // A separate test: the group is read again after the German part.
  if (ComboBox1->currentIndex() == 1) {
    if (Suchtext.isEmpty()) {
      ZeigeInformation(this, KeinSuchtext);
    } else {
      AktuellerOrdner = Pfade.Ordner(TBereich::Oesterreich);
      LadeDieBilder();
      if (FAbgebrochen)
        return;
      MeldeSuchergebnis(Gefunden);
      if (!Gefunden)
        ZeigeInformation(this, NichtGefunden(Suchtext));
    }
  }
}

void TMainForm::SuchEditChange() {
  // Counted before any trimming: a blank alone still searches and reports the missing text.
  if (!SuchEdit->text().isEmpty())
    SucheButtonClick();
}

void TMainForm::SuchEditKeyDown(int) {}

void TMainForm::SuchEditKeyUp(int Key, const QString &TastenText) {
  Suchtext.clear();
  const bool BuchstabeGetippt = IstUmlaut(TasteZuText(TastenText)) || (Key >= TasteA && Key <= TasteZ);

  // Writing an identical text raises no change; a different one searches again through SuchEditChange.
  const QString text = NormalisierterFeldText(SuchEdit->text());
  if (text != SuchEdit->text())
    SuchEdit->setText(text);
  if (FAbgebrochen)
    return;

  if (BuchstabeGetippt)
    SuchEdit->setCursorPosition(SuchEdit->text().size());

  if (Key == TasteEnter) {
    // Only this search's own load can frame a plate: one that loads nothing must not open an older find.
    Gefunden = false;
    SucheButtonClick();
    if (!FAbgebrochen && Gefunden && GalerieSichtbar())
      OeffneGefundeneFrage();
  }
}

void TMainForm::OeffneGefundeneFrage() {
  // The tile the gallery scrolled to, opened as a left click on it would.
  for (const TKachel &kachel : std::as_const(Kacheln))
    if (kachel.Tag() == GefundenIndex) {
      TKachel gefunden = kachel;
      BildMouseDown(&gefunden, Qt::LeftButton);
      return;
    }
}

void TMainForm::MeldeSuchergebnis(bool gefunden) {
  // Typing into the field, the user cannot see the frame appear.
  if (gefunden)
    Ansage->Sage(Suchtext + QStringLiteral(" gefunden"));
}
