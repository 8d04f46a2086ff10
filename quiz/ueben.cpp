// Practice mode: the question shows nothing of its answer until the learner has chosen, the first
// choice counts for the score and the plate's box, and the next plate comes from the boxes.
#include "quiz/ueben.h"

#include "quiz/uebungsregeln.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QShortcut>

TUeben::TUeben(QObject *eltern, const TUebenSteuer &steuer) : QObject(eltern), S(steuer) {}

bool TUeben::Ueben() const { return S.UebenCheckBox->isChecked(); }

void TUeben::LadeLernstand(const QString &pfad) {
  FLernstandDatei = TLernstandDatei(pfad);
  FLernstand = FLernstandDatei.Lade();
  S.UebenCheckBox->setChecked(FLernstand.Ueben);
}

bool TUeben::UebenCheckBoxClick() {
  FLernstand.Ueben = Ueben();
  Speichere();
  if (Ueben() || !FFrageOffen)
    return false;
  FFrageOffen = false;
  return true;
}

void TUeben::ZeigeUebungsteile(bool frageSchirm) {
  const bool an = Ueben();
  S.PunkteLabel->setText(PunkteText(FPunkteRichtig, FPunkteGefragt));
  S.PunkteLabel->setVisible(an);
  S.NaechsteFrageBtn->setVisible(an && frageSchirm);
  S.NaechsteFrageTaste->setEnabled(an);
}

void TUeben::FrageGestellt(int gruppe, const QString &bild) {
  FFrageOffen = true;
  FGruppe = LernGruppe(gruppe);
  FNeuesZuletzt = !FLernstand.Finde(FGruppe, bild);
  FUebungsBild = bild;
}

void TUeben::Beurteilt(bool richtig) {
  if (FFrageOffen)
    ZaehleErsteWahl(richtig);
}

void TUeben::AntwortVerlangt() {
  if (FFrageOffen)
    ZaehleErsteWahl(false);
}

void TUeben::ZaehleErsteWahl(bool richtig) {
  FFrageOffen = false;
  if (FGruppe.isEmpty() || FUebungsBild.isEmpty())
    return;
  ++FPunkteGefragt;
  if (richtig)
    ++FPunkteRichtig;
  WerteErsteWahlAus(FLernstand.Hole(FGruppe, FUebungsBild), richtig, QDateTime::currentDateTimeUtc());
  Speichere();
  S.PunkteLabel->setText(PunkteText(FPunkteRichtig, FPunkteGefragt));
}

// Before the first choice the arrow keys only move through the answers, and Enter or Space chooses:
// otherwise the first entry passed on the way down would count as the learner's answer.
bool TUeben::UebungsTaste(int key) {
  QListWidget *liste = S.Listbox1;
  const int anzahl = liste->count();
  if (!FFrageOffen || anzahl == 0)
    return false;
  const int seite = qMax(1, liste->viewport()->height() / qMax(1, liste->sizeHintForRow(0)) - 1);
  int zeile = liste->currentRow();
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
    liste->setCurrentRow(zeile, QItemSelectionModel::ClearAndSelect);
    return true;
  default: return false;
  }
  liste->setCurrentRow(zeile, QItemSelectionModel::NoUpdate);
  liste->scrollToItem(liste->item(zeile));
  return true;
}

int TUeben::WaehleNaechsteFrage(const QStringList &bilder, int gruppe) {
  return ::WaehleNaechsteFrage(bilder, LernGruppe(gruppe), FLernstand, FUebungsBild, FNeuesZuletzt,
                               QDateTime::currentDateTimeUtc(), *QRandomGenerator::global());
}

int TUeben::Kasten(int gruppe, const QString &bild) const {
  const TLernEintrag *eintrag = FLernstand.Finde(LernGruppe(gruppe), bild);
  return eintrag ? eintrag->Kasten : 0;
}

void TUeben::Speichere() {
  FLernstandGeaendert = !FLernstandDatei.Speichere(FLernstand);
  if (!FLernstandGeaendert || FFehlerGemeldet)
    return;
  FFehlerGemeldet = true;
  emit NichtGespeichert(LernstandFehlerText(FLernstandDatei.Fehler(), FLernstandDatei.Pfad()));
}

void TUeben::SichereAmEnde() {
  if (FLernstandGeaendert)
    FLernstandDatei.Speichere(FLernstand);
}
