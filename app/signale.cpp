// Terminating signals end the program through its event loop, never in the middle of a handler.
#include "app/signale.h"

#include <QApplication>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int SignalPaar[2] = {-1, -1};

void BeiSignal(int) {
  const int fehler = errno;
  const char zeichen = 1;
  // Only this is safe inside a signal handler; the event loop does the rest. It never waits: when the
  // socket is full, the reader is woken already and one byte more tells it nothing new.
  [[maybe_unused]] const ssize_t geschrieben = ::send(SignalPaar[0], &zeichen, 1, MSG_DONTWAIT | MSG_NOSIGNAL);
  errno = fehler;
}

void OhneWarten(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }
} // namespace

void BeendeBeiSignal(QApplication &app) {
  if (SignalPaar[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPaar) != 0)
    return;
  for (int fd : SignalPaar) {
    OhneWarten(fd);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  auto *melder = new QSocketNotifier(SignalPaar[1], QSocketNotifier::Read, &app);
  QObject::connect(melder, &QSocketNotifier::activated, &app, [&app] {
    // A burst of signals is one request to end: everything pending is read at once.
    char puffer[256];
    for (;;) {
      const ssize_t gelesen = ::read(SignalPaar[1], puffer, sizeof puffer);
      if (gelesen > 0 || (gelesen < 0 && errno == EINTR))
        continue;
      break;
    }
    app.closeAllWindows();
    app.quit();
  });
  struct sigaction aktion {};
  aktion.sa_handler = BeiSignal;
  sigemptyset(&aktion.sa_mask);
  aktion.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP})
    sigaction(signal, &aktion, nullptr);
  // Under a file-size limit a write then fails and is undone, instead of the signal killing the
  // program halfway through saving its settings.
  std::signal(SIGXFSZ, SIG_IGN);
}
#else
void BeendeBeiSignal(QApplication &) {}
#endif
