// Plate groups and letter ranges.
#include "app/tmainform.h"

#include <QComboBox>

bool TMainForm::GruppeEinrichten(int) { return true; }
void TMainForm::ComboBox1Change() {}
void TMainForm::A_E_ButtonClick() {}
void TMainForm::F_J_ButtonClick() {}
void TMainForm::K_O_ButtonClick() {}
void TMainForm::P_T_ButtonClick() {}
void TMainForm::U_Z_ButtonClick() {}
int TMainForm::Gruppe() const { return ComboBox1->currentIndex(); }
