// The question screen's state: the plate asked, the right entry of its answer list, the district the
// map button names, and the judging of each entry chosen. It fills the widgets it is handed and tells
// of every judgement; which screen is shown is the window's business.
#pragma once

#include "data/datenordner.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QTextEdit;
class QWidget;
class TBild;
class TPanel;

// The widgets of the question screen, as the window built them.
struct TFrageSteuer {
  TPanel *Panel2 = nullptr;
  QLabel *Label1 = nullptr;
  TBild *Image1 = nullptr;
  TBild *Image2 = nullptr;
  TBild *Image3 = nullptr;
  TBild *Image4 = nullptr;
  QPushButton *KarteBtn = nullptr;
  QListWidget *Listbox1 = nullptr;
  QTextEdit *Memo2 = nullptr;
  TBild *RichtigImage = nullptr;
  TBild *FalschImage = nullptr;
  // Practice: the right answer beside a wrong first choice.
  QLabel *RichtigLabel = nullptr;
};

class TFrage : public QObject {
  Q_OBJECT
public:
  // fenster owns the message boxes; fensterBreite gives its outer width, which the map button's caption depends on.
  TFrage(QWidget *fenster, const TFrageSteuer &steuer, const TDatenOrdner &pfade, std::function<int()> fensterBreite);

  // Sets up the question for a picture of the folder: the plate (into Image1 too when zeigen), the
  // question, the answer list. With ohneAntwort nothing of the answer shows until the learner has
  // chosen; otherwise the right entry is chosen at once. A handful above 0 offers that many entries, the
  // right one among them, instead of the range's whole list. False when a picture could not be loaded
  // (its message has been shown) or the fatal message was raised.
  bool Oeffne(const QString &bildPfad, bool zeigen, bool ohneAntwort, int gruppe, const QString &ordner,
              int handvoll = 0);

  // Judges the list's current entry.
  void ListBox1Click();
  // Chooses and judges the right entry.
  void ZeigDieAntwortBtnClick();
  // After a wrong choice that counted: the right entry is marked in the list and named beside the
  // judgement, so that the mistake teaches at once.
  void ZeigeRichtigeDazu();
  // Puts the district's name on the clipboard.
  void KopiereKartenName() const;
  // Keeps the result pictures centred and hands the keys back to the answers after the map button.
  void Takt();

  const QString &BildDatei() const { return FBildDatei; }
  const QString &RichtigeZeile() const { return FRichtigeZeile; }
  // The right entry as the answer list shows it.
  QString RichtigeAntwort() const;
  const QString &KartenName() const { return FKartenName; }
  const QString &LetzterBildname() const { return FLetzterBildname; }
  // The hidden working list: the range's lines, then the question's entries; kept from one question to the next.
  const QStringList &Memo1() const { return FMemo1; }

signals:
  // Each judged entry: right or wrong, and the code of the chosen entry.
  void Beurteilt(bool richtig, const QString &code);
  // The right answer was asked for, before it is chosen.
  void AntwortVerlangt();
  // A text file the question needs cannot be read: the program cannot go on.
  void Fatal(const QString &text);

private:
  void ZeigeBild(TBild *bild, const QString &pfad, bool &gut);
  // The list row of the right entry, -1 when the list has none.
  int RichtigeReihe() const;
  // Beside the result picture, which the timer keeps centred.
  void PlatziereRichtigLabel();

  QWidget *FFenster;
  TFrageSteuer S;
  TDatenOrdner FPfade;
  std::function<int()> FFensterBreite;

  int FGruppe = -1;
  QString FOrdner;
  QString FBildDatei;
  QString FRichtigeZeile;
  QString FKartenName;
  QString FLetzterBildname; // picture name of the last chosen entry, kept between choices
  QStringList FMemo1{QStringLiteral("Memo1")};
  bool FListeDurchProgramm = false; // the program fills or selects the list: only the user's choice is a click
};
