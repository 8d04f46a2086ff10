// The one way to the user's message boxes.
#include "widgets/meldung.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

namespace {
TMeldungsAnzeige &Anzeige() {
  static TMeldungsAnzeige anzeige;
  return anzeige;
}

TFragenAntwort &FragenAntwort() {
  static TFragenAntwort antwort;
  return antwort;
}

// Without a visible owner a box is centred on the screen.
void Zentriere(QMessageBox &box, QWidget *eltern) {
  if (eltern && eltern->isVisible())
    return;
  box.adjustSize();
  if (QScreen *schirm = QGuiApplication::primaryScreen())
    box.move(schirm->availableGeometry().center() - box.rect().center());
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
  Zentriere(box, eltern);
  box.exec();
}

void SetzeFragenAntwort(TFragenAntwort antwort) { FragenAntwort() = std::move(antwort); }

bool FrageJaNein(QWidget *eltern, const QString &text) {
  if (FragenAntwort())
    return FragenAntwort()(text);
  QMessageBox box(QMessageBox::Question, QStringLiteral("Frage"), text, QMessageBox::NoButton, eltern);
  // Set by hand: Qt's own captions follow the system's language, the program's are German.
  QPushButton *ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
  QPushButton *nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
  box.setDefaultButton(nein);
  box.setEscapeButton(nein);
  Zentriere(box, eltern);
  box.exec();
  return box.clickedButton() == ja;
}
