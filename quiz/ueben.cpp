// Practice mode: the question shows nothing of its answer until the learner has chosen, the first
// choice counts for the score and the plate's box, and the next plate comes from the boxes.
#include "app/tmainform.h"

#include "gallery/galerieansicht.h"
#include "gallery/galerieregeln.h"
#include "quiz/uebungsregeln.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QShortcut>

void TMainForm::UebenEinrichten() {
  connect(UebenCheckBox, &QCheckBox::clicked, this, &TMainForm::UebenCheckBoxClick);
  connect(NaechsteFrageBtn, &QPushButton::clicked, this, &TMainForm::NaechsteFrageBtnClick);
  // The button is hidden on the gallery screen, where Alt+N starts all the same: one shortcut for
  // both screens, since a mnemonic of the button beside it would make the key ambiguous.
  NaechsteFrageTaste = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_N), this);
  NaechsteFrageTaste->setEnabled(false);
  connect(NaechsteFrageTaste, &QShortcut::activated, this, &TMainForm::NaechsteFrageBtnClick);
}

bool TMainForm::Ueben() const { return UebenCheckBox->isChecked(); }

void TMainForm::LadeLernstand() {
  LernstandDatei = TLernstandDatei(Pfade.Lernstand());
  Lernstand = LernstandDatei.Lade();
  UebenCheckBox->setChecked(Lernstand.Ueben);
  ZeigeUebungsteile();
}

void TMainForm::UebenCheckBoxClick() {
  Lernstand.Ueben = Ueben();
  LernstandGeaendert = !LernstandDatei.Speichere(Lernstand);
  // Leaving the mode in the middle of a question shows its answer, as the question screen always did.
  if (!Ueben() && FrageOffen) {
    FrageOffen = false;
    ZeigDieAntwortBtnClick();
  }
  ZeigeUebungsteile();
}

void TMainForm::ZeigeUebungsteile() {
  const bool an = Ueben();
  PunkteLabel->setText(PunkteText(PunkteRichtig, PunkteGefragt));
  PunkteLabel->setVisible(an);
  NaechsteFrageBtn->setVisible(an && !GalerieSichtbar() && !ZurueckBtn->isHidden());
  NaechsteFrageTaste->setEnabled(an);
  if (an)
    Galerie->SetzeKastenQuelle([this](const QString &bild) {
      const TLernEintrag *eintrag = Lernstand.Finde(LernGruppe(Gruppe()), bild);
      return eintrag ? eintrag->Kasten : 0;
    });
  else
    Galerie->SetzeKastenQuelle({});
}

void TMainForm::ZaehleErsteWahl(bool richtig) {
  FrageOffen = false;
  const QString gruppe = LernGruppe(Gruppe());
  if (gruppe.isEmpty() || BildDatei.isEmpty())
    return;
  ++PunkteGefragt;
  if (richtig)
    ++PunkteRichtig;
  WerteErsteWahlAus(Lernstand.Hole(gruppe, BildDatei), richtig, QDateTime::currentDateTimeUtc());
  LernstandGeaendert = !LernstandDatei.Speichere(Lernstand);
  PunkteLabel->setText(PunkteText(PunkteRichtig, PunkteGefragt));
}

// Before the first choice the arrow keys only move through the answers, and Enter or Space chooses:
// otherwise the first entry passed on the way down would count as the learner's answer.
bool TMainForm::UebungsTaste(int key) {
  const int anzahl = Listbox1->count();
  if (!FrageOffen || anzahl == 0)
    return false;
  const int seite = qMax(1, Listbox1->viewport()->height() / qMax(1, Listbox1->sizeHintForRow(0)) - 1);
  int zeile = Listbox1->currentRow();
  switch (key) {
  case Qt::Key_Up: zeile = qMax(0, zeile - 1); break;
  case Qt::Key_Down: zeile = qMin(anzahl - 1, zeile + 1); break;
  case Qt::Key_PageUp: zeile = qMax(0, zeile - seite); break;
  case Qt::Key_PageDown: zeile = qMin(anzahl - 1, qMax(0, zeile) + seite); break;
  case Qt::Key_Home: zeile = 0; break;
  case Qt::Key_End: zeile = anzahl - 1; break;
  case Qt::Key_Return:
  case Qt::Key_Enter:
  case Qt::Key_Space:
    if (zeile < 0)
      return false;
    // Selected as by a click: the list's own signal judges it.
    Listbox1->setCurrentRow(zeile, QItemSelectionModel::ClearAndSelect);
    return true;
  default: return false;
  }
  Listbox1->setCurrentRow(zeile, QItemSelectionModel::NoUpdate);
  Listbox1->scrollToItem(Listbox1->item(zeile));
  return true;
}

void TMainForm::NaechsteFrageBtnClick() {
  // A load in progress owns the tile list; the plate follows once the gallery is there.
  if (!Ueben() || LaedtBilder() || Abgebrochen())
    return;
  QStringList bilder;
  bilder.reserve(BildPfade.size());
  for (const QString &pfad : std::as_const(BildPfade))
    bilder.append(DateiName(pfad));
  const int index = WaehleNaechsteFrage(bilder, LernGruppe(Gruppe()), Lernstand, UebungsBild, NeuesZuletzt,
                                        QDateTime::currentDateTimeUtc(), *QRandomGenerator::global());
  if (index < 0)
    return;
  TKachel kachel(index);
  BildMouseDown(&kachel, Qt::LeftButton);
}
