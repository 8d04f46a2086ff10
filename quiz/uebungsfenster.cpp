// The practice settings window and its overview chart.
#include "quiz/uebungsfenster.h"

TUebungsFenster::TUebungsFenster(QWidget *eltern) : QDialog(eltern) {}
void TUebungsFenster::SetzeLaender(const QStringList &) {}
void TUebungsFenster::SetzeEinstellung(const TUebungsEinstellung &) {}
TUebungsEinstellung TUebungsFenster::Einstellung() const { return {}; }
void TUebungsFenster::SetzeUebersicht(const QVector<TUebersichtZeile> &, const QString &) {}
bool TUebungsFenster::NachLand() const { return true; }
