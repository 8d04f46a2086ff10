// Terminating signals end the program through its event loop, never in the middle of a handler.
#include "app/signale.h"

#include <QApplication>

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
} // namespace

void BeendeBeiSignal(QApplication &app) {
  if (SignalPaar[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPaar) != 0)
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
#else
void BeendeBeiSignal(QApplication &) {}
#endif
