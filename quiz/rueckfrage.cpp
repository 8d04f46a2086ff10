// The reverse question's plates, keys and judgement.
#include "quiz/rueckfrage.h"

#include <QKeyEvent>

TRueckWahl RueckWahlFuer(int, const QString &code, const QString &bildPfad, const QString &vorlagePfad) {
  return {code, bildPfad, vorlagePfad, {}, {}};
}
QImage KleinesKennzeichen(const TRueckWahl &, qreal) { return {}; }
TRueckfrage::TRueckfrage(QWidget *eltern) : QWidget(eltern) {}
void TRueckfrage::Stelle(const QString &, const QVector<TRueckWahl> &, const QString &) {}
void TRueckfrage::keyPressEvent(QKeyEvent *event) { QWidget::keyPressEvent(event); }
