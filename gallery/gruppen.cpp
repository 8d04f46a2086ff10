// Plate groups and letter ranges: the group list, the five range buttons and the group set-up.
#include "app/tmainform.h"

#include "widgets/bausteine.h"
#include "data/vorlagen.h"
#include "gallery/galerieregeln.h"
#include "search/tscrollbox.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace {
void SetzeFett(QPushButton *knopf, bool fett) {
  QFont schrift = knopf->font();
  schrift.setBold(fett);
  knopf->setFont(schrift);
}
} // namespace

bool TMainForm::GruppeEinrichten(int gruppe) {
  if (gruppe == 0)
    AktuellerOrdner = Pfade.Ordner(TBereich::A_E);
  else if (gruppe == 1)
    AktuellerOrdner = Pfade.Ordner(TBereich::Oesterreich);
  else
    return true; // no group: no folder, and the window's own templates stay
  for (const auto &[vorlage, bild] :
       {std::pair{GruppenVorlageGross(gruppe), Image2}, std::pair{GruppenVorlageKlein(gruppe), Image4}}) {
    const QString pfad = Pfade.Datei(vorlage);
    if (!QFileInfo(pfad).isFile()) {
      FatalerFehler(FehltMeldung(QStringLiteral("Datei: "), pfad));
      return false;
    }
    // A template that exists but cannot be decoded keeps the picture shown before; the classic
    // exception here would have cut the set-up short and repeated it on every paint.
    bild->LadeDatei(pfad);
  }
  return true;
}

void TMainForm::ComboBox1Change() {
  const int gruppe = Gruppe();
  if (!GruppeEinrichten(gruppe))
    return;
  if (gruppe == 0) {
    for (QPushButton *knopf : {F_J_Button, K_O_Button, P_T_Button, U_Z_Button})
      SetzeFett(knopf, false);
    SetzeFett(A_E_Button, true);
  }
  LadeDieBilder();
  if (!Panel1->isHidden())
    ZurueckBtnClick();
  ScrollBox1->resize(Breite() - GalerieRand, ScrollBox1->height());
  ScrollBoxPosition = 0;
  ScrollBox1->SetzePosition(0);
  if (gruppe == 0 || gruppe == 1) {
    for (QPushButton *knopf : {A_E_Button, F_J_Button, K_O_Button, P_T_Button, U_Z_Button})
      knopf->setVisible(gruppe == 0);
    SuchEdit->show();
  }
}

// The other four turn plain in the order of the range table, then the own one bold.
static void WaehleBereich(TMainForm *form, QPushButton *eigener, TBereich bereich) {
  for (QPushButton *knopf : {form->A_E_Button, form->F_J_Button, form->K_O_Button, form->P_T_Button, form->U_Z_Button})
    if (knopf != eigener)
      SetzeFett(knopf, false);
  SetzeFett(eigener, true);
  form->AktuellerOrdner = form->Pfade.Ordner(bereich);
  form->LadeDieBilder();
}

void TMainForm::A_E_ButtonClick() { WaehleBereich(this, A_E_Button, TBereich::A_E); }
void TMainForm::F_J_ButtonClick() { WaehleBereich(this, F_J_Button, TBereich::F_J); }
void TMainForm::K_O_ButtonClick() { WaehleBereich(this, K_O_Button, TBereich::K_O); }
void TMainForm::P_T_ButtonClick() { WaehleBereich(this, P_T_Button, TBereich::P_T); }
void TMainForm::U_Z_ButtonClick() { WaehleBereich(this, U_Z_Button, TBereich::U_Z); }

int TMainForm::Gruppe() const { return ComboBox1->currentIndex(); }
