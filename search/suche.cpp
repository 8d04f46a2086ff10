// Finding a plate by its code: the search field's events and the search itself.
#include "search/suche.h"

#include "data/gruppen.h"
#include "search/suchregeln.h"
#include "widgets/meldung.h"

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

// Hands the search field's key presses and releases to the search's handlers; the field then
// handles the key as usual.
class TSuchTasten : public QObject {
public:
  explicit TSuchTasten(TSuche *suche) : QObject(suche), FSuche(suche) {}

protected:
  bool eventFilter(QObject *, QEvent *ereignis) override {
    const QEvent::Type art = ereignis->type();
    // Keys pressed before the field lost the focus (to a message box) are let go elsewhere.
    if (art == QEvent::FocusOut) {
      FGedrueckt.clear();
      FVerschluckt.clear();
    }
    if (art != QEvent::KeyPress && art != QEvent::KeyRelease)
      return false;
    auto *taste = static_cast<QKeyEvent *>(ereignis);
    // A held key repeats its press only; it is released once, when it is let go.
    if (taste->isAutoRepeat() && art == QEvent::KeyRelease)
      return false;
    // A key with Alt is an access key: one that does nothing on this screen must not type its letter.
    if (art == QEvent::KeyPress && (taste->modifiers() & Qt::AltModifier) && taste->key() != Qt::Key_Alt) {
      FVerschluckt.insert(Kennung(taste));
      return true;
    }
    if (art == QEvent::KeyRelease && FVerschluckt.remove(Kennung(taste)))
      return true;
    const int code = VirtuellerTastencode(taste->key());
    if (art == QEvent::KeyPress) {
      // Noted before the press is handled: the handling may open a message box.
      FGedrueckt.insert(Kennung(taste));
      FSuche->TasteImFeld();
      FSuche->SuchEditKeyDown(code);
    } else if (FGedrueckt.remove(Kennung(taste)) || (code != TasteEnter && !FSuche->FokusPerTaste())) {
      FSuche->SuchEditKeyUp(code, taste->text());
    } else {
      // Enter that closed a message box on its press: its release would search again and open the
      // box anew, forever. The letter of Alt+S: its release would put the caret behind the text it
      // has just selected. Like every release in the field, it still empties the term.
      FSuche->SetzeSuchtext(QString());
    }
    return false;
  }

private:
  TSuche *FSuche;
  QSet<qint64> FGedrueckt;
  QSet<qint64> FVerschluckt; // access keys the field kept from itself, press and release
};

} // namespace

TSuche::TSuche(QWidget *fenster, QLineEdit *suchEdit, TSuchWege wege)
    : QObject(fenster), FFenster(fenster), FSuchEdit(suchEdit), FWege(std::move(wege)) {
  // textChanged comes for every change, the program's own included, and not for an identical text.
  connect(FSuchEdit, &QLineEdit::textChanged, this, [this](const QString &) { SuchEditChange(); });
  FSuchEdit->installEventFilter(new TSuchTasten(this));
}

std::optional<int> TSuche::SucheButtonClick() {
  FSuchtext = Suchbegriff(FSuchEdit->text());
  std::optional<int> fund;

  const TGruppe *gruppe = GruppeNr(FWege.Gruppe());
  if (gruppe && gruppe->Bereichsknoepfe) {
    if (FSuchtext.isEmpty()) {
      ZeigeInformation(FFenster, KeinSuchtext);
    } else {
      const std::optional<TBereich> bereich = BereichFuerSuchbegriff(FSuchtext);
      // The range's handler runs even when its range is shown: the search is a reload.
      if (bereich)
        fund = FWege.LadeBereich(*bereich);
      if (FWege.Abgebrochen())
        return std::nullopt;
      MeldeSuchergebnis(fund.has_value());
      if (!fund)
        ZeigeInformation(FFenster, NichtGefunden(FSuchtext));
    }
  }

  // A separate test: the group is read again after the German part.
  gruppe = GruppeNr(FWege.Gruppe());
  if (gruppe && !gruppe->Bereichsknoepfe) {
    if (FSuchtext.isEmpty()) {
      ZeigeInformation(FFenster, KeinSuchtext);
    } else {
      fund = FWege.LadeBereich(gruppe->ErsterBereich);
      if (FWege.Abgebrochen())
        return std::nullopt;
      MeldeSuchergebnis(fund.has_value());
      if (!fund)
        ZeigeInformation(FFenster, NichtGefunden(FSuchtext));
    }
  }
  return fund;
}

void TSuche::SuchEditChange() {
  // Counted before any trimming: a blank alone still searches and reports the missing text.
  if (!FSuchEdit->text().isEmpty())
    SucheButtonClick();
}

void TSuche::SuchEditKeyDown(int) {}

void TSuche::SuchEditKeyUp(int Key, const QString &TastenText) {
  FSuchtext.clear();
  const bool BuchstabeGetippt = IstUmlaut(TasteZuText(TastenText)) || (Key >= TasteA && Key <= TasteZ);

  // Writing an identical text raises no change; a different one searches again through SuchEditChange.
  const QString text = NormalisierterFeldText(FSuchEdit->text());
  if (text != FSuchEdit->text())
    FSuchEdit->setText(text);
  if (FWege.Abgebrochen())
    return;

  if (BuchstabeGetippt)
    FSuchEdit->setCursorPosition(FSuchEdit->text().size());

  // One search: the found plate is framed and scrolled to, and the typing goes on in the field.
  if (Key == TasteEnter)
    SucheButtonClick();
}

void TSuche::NimmFokus() {
  // Selected only after the focus has been reported: a screen reader that hears of the caret before
  // the focus says nothing about an empty field.
  FSuchEdit->setFocus(Qt::OtherFocusReason);
  FSuchEdit->selectAll();
  FFokusPerTaste = true;
}

void TSuche::MeldeSuchergebnis(bool gefunden) {
  // Typing into the field, the user cannot see the frame appear.
  if (gefunden)
    FWege.Sage(FSuchtext + QStringLiteral(" gefunden"));
}
