// Gallery loading, tile layout and the first-paint set-up of the window.
#include "app/tmainform.h"

void TMainForm::LadeDieBilder() {}
void TMainForm::SucheBilder(const QString &, const QString &) {}
void TMainForm::FormPaint() {}
int TMainForm::Dekodierungen() const { return 0; }
void TMainForm::ErzeugeArbeitsobjekte() {}
void TMainForm::FreigebenArbeitsobjekte() {}
