// Scrolling the gallery with the mouse wheel.
#include "app/tmainform.h"

void TMainForm::FormMouseWheelDown() {}
void TMainForm::FormMouseWheelUp() {}
