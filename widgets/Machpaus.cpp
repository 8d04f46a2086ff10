// TMachPause.
#include "widgets/Machpaus.h"

#include <QTimer>

TMachPause::TMachPause(QObject *owner) : QObject(owner), FTimer(new QTimer(this)) {}
TMachPause::~TMachPause() = default;
int TMachPause::Interval() const { return FTimer ? FTimer->interval() : 0; }
void TMachPause::SetInterval(int value) {
  if (FTimer)
    FTimer->setInterval(value);
}
void TMachPause::Pause() {}
void TMachPause::PauseFor(int) {}
void TMachPause::TimerTick() { FElapsed = true; }
