// Judging an answer, the right answer on request, the map button and the placement timer.
#include "app/tmainform.h"

void TMainForm::ListBox1Click() {}
void TMainForm::ZeigDieAntwortBtnClick() {}
void TMainForm::KarteBtnClick() {}
void TMainForm::Timer1Timer() {}
