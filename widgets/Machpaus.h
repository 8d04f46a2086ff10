// TMachPause: waits a number of milliseconds while the user interface keeps running.
#pragma once

#include <QObject>

class QTimer;

class TMachPause : public QObject {
  Q_OBJECT
public:
  explicit TMachPause(QObject *owner = nullptr);
  ~TMachPause() override;

  int Interval() const;
  void SetInterval(int value);
  void Pause();
  void PauseFor(int Milliseconds);

private:
  void TimerTick();

  QTimer *FTimer = nullptr;
  bool FElapsed = false;
};
