// Holds the gallery's decodes back until the test lets them go, so that what a test does during a
// load happens during it on a fast machine as on a slow one.
#pragma once

#include "gallery/vorschaucache.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <condition_variable>
#include <functional>
#include <mutex>

class TSchleuse {
public:
  // Every load started while this object lives holds each decode until it is let go.
  TSchleuse() {
    SetzeDekodierHaken([this](int index) { Halte(index); });
  }
  ~TSchleuse() {
    Oeffne();
    SetzeDekodierHaken({});
  }
  TSchleuse(const TSchleuse &) = delete;
  TSchleuse &operator=(const TSchleuse &) = delete;

  // Runs once on the application's thread, from the event loop that waits for the load, as soon as
  // the first decode is held: the load is then surely under way.
  void BeimErsten(std::function<void()> tu) { FBeimErsten = std::move(tu); }

  // Lets every held and every later decode go.
  void Oeffne() {
    {
      std::lock_guard<std::mutex> sperre(FSchutz);
      FOffen = true;
    }
    FFrei.notify_all();
  }

  // Lets the decodes of that many more files of the list go, in list order.
  void Erlaube(int anzahl) {
    {
      std::lock_guard<std::mutex> sperre(FSchutz);
      FErlaubt += anzahl;
    }
    FFrei.notify_all();
  }

private:
  void Halte(int index) {
    std::unique_lock<std::mutex> sperre(FSchutz);
    if (FBeimErsten && !FGemeldet) {
      FGemeldet = true;
      QMetaObject::invokeMethod(qApp, FBeimErsten, Qt::QueuedConnection);
    }
    FFrei.wait(sperre, [this, index] { return FOffen || index < FErlaubt; });
  }

  std::mutex FSchutz;
  std::condition_variable FFrei;
  bool FOffen = false;
  int FErlaubt = 0;
  bool FGemeldet = false;
  std::function<void()> FBeimErsten;
};
