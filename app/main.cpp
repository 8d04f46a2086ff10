// Program entry: the application object, the one window, the event loop.
#include "app/tmainform.h"

#include <QApplication>
#include <QScreen>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int SignalPaar[2] = {-1, -1};

void BeiSignal(int) {
  const char zeichen = 1;
  // Only this is safe inside a signal handler; the event loop does the rest.
  [[maybe_unused]] const ssize_t geschrieben = ::write(SignalPaar[0], &zeichen, 1);
}

// A session that ends (logout, shutdown, Ctrl+C in a terminal) closes the window the normal way,
// so that the settings are written as on any other close.
void BeendeBeiSignal(QApplication &app) {
  if (::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPaar) != 0)
    return;
  auto *melder = new QSocketNotifier(SignalPaar[1], QSocketNotifier::Read, &app);
  QObject::connect(melder, &QSocketNotifier::activated, &app, [&app] {
    char zeichen = 0;
    [[maybe_unused]] const ssize_t gelesen = ::read(SignalPaar[1], &zeichen, 1);
    app.closeAllWindows();
    app.quit();
  });
  struct sigaction aktion {};
  aktion.sa_handler = BeiSignal;
  sigemptyset(&aktion.sa_mask);
  aktion.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP})
    sigaction(signal, &aktion, nullptr);
}
} // namespace
#endif

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("Nummernfibel"));
#ifdef Q_OS_UNIX
  BeendeBeiSignal(app);
#endif
  TMainForm hauptfenster;
  // A fatal start-up message has already been shown and closed: end without the window.
  if (hauptfenster.Abgebrochen())
    return 0;
  if (const QScreen *schirm = hauptfenster.screen()) {
    const QRect frei = schirm->availableGeometry();
    hauptfenster.move(frei.center() - QPoint(hauptfenster.width() / 2, hauptfenster.height() / 2));
  }
  hauptfenster.show();
  const int status = app.exec();
  // A fatal message ends the program with status 0, however its box was closed.
  return hauptfenster.Abgebrochen() ? 0 : status;
}
