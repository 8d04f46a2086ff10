// The one way to the user's message boxes.
#include "widgets/meldung.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>

namespace {
TMeldungsAnzeige &Anzeige() {
  static TMeldungsAnzeige anzeige;
  return anzeige;
}
} // namespace

void SetzeMeldungsAnzeige(TMeldungsAnzeige anzeige) { Anzeige() = std::move(anzeige); }

void ZeigeInformation(QWidget *eltern, const QString &text) {
  if (Anzeige()) {
    Anzeige()(text);
    return;
  }
  QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), text, QMessageBox::Ok, eltern);
  box.setDefaultButton(QMessageBox::Ok);
  box.setEscapeButton(QMessageBox::Ok);
  // Without a visible owner the box is centred on the screen.
  if (!eltern || !eltern->isVisible()) {
    box.adjustSize();
    if (QScreen *schirm = QGuiApplication::primaryScreen())
      box.move(schirm->availableGeometry().center() - box.rect().center());
  }
  box.exec();
}
