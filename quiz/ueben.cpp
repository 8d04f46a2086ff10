// Practice mode: the question shows nothing of its answer until the learner has chosen, the first
// choice counts for the score and the plate's box, and the next plate comes from the boxes.
#include "quiz/ueben.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
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
  FFrageDa = true;
  FGruppe = LernName(gruppe);
  FUebungsBild = bild;
  // Only the last few matter for spacing.
  constexpr int Gemerkt = 8;
  FGefragt.append({FGruppe, bild});
  if (FGefragt.size() > Gemerkt)
    FGefragt.remove(0, FGefragt.size() - Gemerkt);
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
  WerteErsteWahlAus(FLernstand.Hole(FGruppe, FUebungsBild), richtig, Jetzt());
  Speichere();
  S.PunkteLabel->setText(PunkteText(FPunkteRichtig, FPunkteGefragt));
}

// Before the first choice no key but Enter, Space or a number chooses: the arrows and typed letters only
// move through the answers, since otherwise the first entry passed on the way would count as the
// learner's answer. Without a current entry Enter and Space do nothing; they never give the answer away.
bool TUeben::UebungsTaste(int key, const QString &text) {
  QListWidget *liste = S.Listbox1;
  const int anzahl = liste->count();
  if (!FFrageDa || !Ueben() || anzahl == 0)
    return false;
  // A handful of answers is chosen by its number, after the first choice too.
  const int nummer = text.size() == 1 && text.at(0).isDigit() ? text.at(0).digitValue() : 0;
  if (nummer >= 1 && anzahl <= 9) {
    if (nummer <= anzahl)
      liste->setCurrentRow(nummer - 1, QItemSelectionModel::ClearAndSelect);
    return true;
  }
  if (!FFrageOffen)
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
    // Selected as by a click: the list's own signal judges it.
    if (zeile >= 0)
      liste->setCurrentRow(zeile, QItemSelectionModel::ClearAndSelect);
    return true;
  default:
    if (text.isEmpty() || !text.at(0).isLetterOrNumber())
      return false;
    zeile = NaechsterTreffer(text);
    if (zeile < 0)
      return true;
  }
  liste->setCurrentRow(zeile, QItemSelectionModel::NoUpdate);
  liste->scrollToItem(liste->item(zeile));
  return true;
}

// Letters typed in quick succession spell the beginning of an entry, as in any list; a single letter
// typed again goes on to the next entry with it.
int TUeben::NaechsterTreffer(const QString &text) {
  if (!FTippUhr.isValid() || FTippUhr.elapsed() > QApplication::keyboardInputInterval())
    FGetippt.clear();
  FTippUhr.start();
  const bool weiter = FGetippt.isEmpty() || FGetippt.compare(text, Qt::CaseInsensitive) == 0;
  FGetippt = weiter ? text : FGetippt + text;
  QListWidget *liste = S.Listbox1;
  const int anzahl = liste->count();
  const int start = qMax(0, liste->currentRow() + (weiter ? 1 : 0));
  for (int i = 0; i < anzahl; ++i) {
    const int zeile = (start + i) % anzahl;
    if (liste->item(zeile)->text().startsWith(FGetippt, Qt::CaseInsensitive))
      return zeile;
  }
  return -1;
}

void TUeben::SetzeVoraus(bool voraus) { FVorausTag = voraus ? Jetzt().toLocalTime().date() : QDate(); }

bool TUeben::Voraus() const { return FVorausTag.isValid() && FVorausTag == Jetzt().toLocalTime().date(); }

int TUeben::PlaneNaechste(const QVector<TLernSchluessel> &platten) {
  const QDateTime jetzt = Jetzt();
  const int neueHeute = NeueAmTag(FLernstand, jetzt.toLocalTime().date(), Umgekehrt());
  return PlaneNaechsteFrage(platten, FLernstand, FGefragt, neueHeute, FLernstand.Einstellung.NeueJeTag, Voraus(), jetzt);
}

QString TUeben::Tagesende(const QVector<TLernSchluessel> &platten) const {
  const QDateTime jetzt = Jetzt();
  return TagesendeText(FPunkteGefragt, FPunkteRichtig, KastenZaehlung(FLernstand, platten),
                       NaechsteFaelligkeit(FLernstand, platten, jetzt), jetzt);
}

void TUeben::SetzeZurueck(const QVector<TLernSchluessel> &platten) {
  const QDateTime jetzt = Jetzt();
  for (const TLernSchluessel &platte : platten)
    FLernstand.SetzeZurueck(platte.Gruppe, platte.Bild, jetzt);
  Speichere();
}

void TUeben::SetzeEinstellung(const TUebungsEinstellung &einstellung) {
  if (FLernstand.Einstellung == einstellung)
    return;
  FLernstand.Einstellung = einstellung;
  // Another choice of plates or direction begins the day's work anew.
  SetzeVoraus(false);
  Speichere();
}

int TUeben::Kasten(int gruppe, const QString &bild) const {
  const TLernEintrag *eintrag = FLernstand.Finde(LernName(gruppe), bild);
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
