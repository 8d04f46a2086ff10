// TMachPause: waits a number of milliseconds while the user interface keeps running.
#pragma once

#include <QObject>

class QTimer;

class TMachPause : public QObject {
  Q_OBJECT
public:
  explicit TMachPause(QObject *owner = nullptr);
  ~TMachPause() override;

  // The timer's interval in milliseconds; 0 without a timer.
  int Interval() const;
  void SetInterval(int value);
  // Waits one interval; events of the whole program are handled meanwhile.
  void Pause();
  // Makes Milliseconds the interval (it stays after the wait) and waits as Pause does.
  void PauseFor(int Milliseconds);

private:
  void TimerTick();

  QTimer *FTimer = nullptr;
  bool FElapsed = false;
};
