// Program entry: the application object, the one window, the event loop.
#include "app/qttexte.h"
#include "app/signale.h"
#include "app/tmainform.h"

#include <QApplication>
#include <QDir>

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("Nummernfibel"));
  // Lets the desktop match the window to its menu entry and icon (the Wayland app id).
  app.setDesktopFileName(QStringLiteral(NF_ANWENDUNGS_ID));
  LadeQtTexte(app, QtUebersetzungsOrdner());
  BeendeBeiSignal(app);
  // The data folder and the settings lie in the folder the program is started in.
  TMainForm hauptfenster(QDir::currentPath());
  // A fatal start-up message has already been shown and closed: end without the window.
  if (hauptfenster.Abgebrochen())
    return 0;
  hauptfenster.ZentriereAufDemSchirm();
  // The first paint's set-up, and with it the first load, runs from the event loop once the window
  // is on the screen.
  hauptfenster.show();
  const int status = app.exec();
  // A fatal message ends the program with status 0, however its box was closed.
  return hauptfenster.Abgebrochen() ? 0 : status;
}
