// The search's state: the code searched for (Suchtext), the search field's keys and the search itself.
// Bringing up a range and framing its plate is the gallery's, which the window hands in as a way.
#pragma once

#include "data/datenordner.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QLineEdit;
class QWidget;

// What the search needs of the rest of the window.
struct TSuchWege {
  // The plate group shown.
  std::function<int()> Gruppe;
  // Brings up a range for the search term; the index of the picture whose tile it framed, none when
  // it framed none.
  std::function<std::optional<int>(TBereich)> LadeBereich;
  // True once a fatal message has ended the program.
  std::function<bool()> Abgebrochen;
  // Tells a screen reader, wherever the focus is.
  std::function<void(const QString &)> Sage;
};

class TSuche : public QObject {
  Q_OBJECT
public:
  TSuche(QWidget *fenster, QLineEdit *suchEdit, TSuchWege wege);

  // The upper-case code the gallery frames; empty for none.
  const QString &Suchtext() const { return FSuchtext; }
  void SetzeSuchtext(const QString &text) { FSuchtext = text; }

  // Searches the field's text: brings up its range and frames its tile, or says why not. The index
  // of the framed picture; none when nothing was loaded or found.
  std::optional<int> SucheButtonClick();
  void SuchEditChange();
  void SuchEditKeyDown(int Key);
  void SuchEditKeyUp(int Key, const QString &TastenText);
  // The field by its access key: focused, its text selected for a new code.
  void NimmFokus();
  // True from the access key until the field's first own key press.
  bool FokusPerTaste() const { return FFokusPerTaste; }
  void TasteImFeld() { FFokusPerTaste = false; }

private:
  // Tells a screen reader what the search found ("HH gefunden"); a search that finds nothing says so in its box.
  void MeldeSuchergebnis(bool gefunden);

  QWidget *FFenster;
  QLineEdit *FSuchEdit;
  TSuchWege FWege;
  QString FSuchtext;
  // Set by the access key: the releases of keys pressed before the field had the focus belong to the key.
  bool FFokusPerTaste = false;
};
