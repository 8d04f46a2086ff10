// TMachPause: a wait that keeps the event loop running, built on one single-purpose timer.
#include "widgets/Machpaus.h"

#include <QEventLoop>
#include <QTimer>

TMachPause::TMachPause(QObject *owner) : QObject(owner), FTimer(new QTimer(this)) {
  FTimer->setObjectName(QStringLiteral("FTimer"));
  FTimer->setInterval(1000);
  // A coarse timer may fire a little early; a wait must never be shorter than asked.
  FTimer->setTimerType(Qt::PreciseTimer);
}

TMachPause::~TMachPause() {
  delete FTimer;
  FTimer = nullptr;
}

int TMachPause::Interval() const { return FTimer ? FTimer->interval() : 0; }

void TMachPause::SetInterval(int value) {
  // Setting the same value again must not restart a running wait.
  if (FTimer && FTimer->interval() != value)
    FTimer->setInterval(value);
}

void TMachPause::Pause() {
  // Without a timer, or with an interval of 0 or less, no tick would ever end the wait.
  if (!FTimer || FTimer->interval() <= 0)
    return;
  FElapsed = false;
  disconnect(FTimer, &QTimer::timeout, this, &TMachPause::TimerTick);
  connect(FTimer, &QTimer::timeout, this, &TMachPause::TimerTick);
  // start() restarts a timer that an outer wait is still running: the next tick comes one full
  // interval from now and ends this wait first, then the outer one.
  FTimer->start();
  // Not QEventLoop::exec(): closing the last window quits every running loop, yet the wait must
  // still run to its tick so that the caller can finish its work before the program ends.
  QEventLoop schleife;
  while (!FElapsed)
    schleife.processEvents(QEventLoop::WaitForMoreEvents);
  if (FTimer)
    FTimer->stop();
}

void TMachPause::PauseFor(int Milliseconds) {
  if (!FTimer)
    return;
  // A timer of 0 or fewer milliseconds would never end the wait.
  if (Milliseconds <= 0)
    return;
  SetInterval(Milliseconds);
  Pause();
}

void TMachPause::TimerTick() { FElapsed = true; }
