// The question screen for one plate.
#include "app/tmainform.h"

void TMainForm::BildMouseDown(TKachel *, Qt::MouseButton) {}
void TMainForm::QuizEinrichten() {}
