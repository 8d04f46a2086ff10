// Terminating signals (logout, shutdown, Ctrl+C) close the window the normal way.
#pragma once

class QApplication;

// Installs the handlers; a signal then closes every window and ends the event loop, so that the
// window's shutdown runs and writes the settings as on any other close. However many signals arrive,
// no thread ever waits in a handler.
void BeendeBeiSignal(QApplication &app);
