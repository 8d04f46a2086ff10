// Finding a plate by its code.
#include "app/tmainform.h"

void TMainForm::SucheButtonClick() {}
void TMainForm::SuchEditChange() {}
void TMainForm::SuchEditKeyDown(int) {}
void TMainForm::SuchEditKeyUp(int, const QString &) {}
void TMainForm::SucheEinrichten() {}
