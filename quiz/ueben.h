// Practice mode's state: the learner's progress and its file, the sitting's score, the question that
// waits for its first choice and the plate asked last. It hears of the question's judgements and picks
// the next plate; which question opens is the window's business.
#pragma once

#include "data/lernstand.h"
#include "data/lernstanddatei.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QShortcut;

// The practice controls, as the window built them, and the answer list whose keys practice takes over.
struct TUebenSteuer {
  QCheckBox *UebenCheckBox = nullptr;
  QLabel *PunkteLabel = nullptr;
  QPushButton *NaechsteFrageBtn = nullptr;
  QShortcut *NaechsteFrageTaste = nullptr;
  QListWidget *Listbox1 = nullptr;
};

class TUeben : public QObject {
  Q_OBJECT
public:
  TUeben(QObject *eltern, const TUebenSteuer &steuer);

  // Reads the progress file and restores the mode, at start-up.
  void LadeLernstand(const QString &pfad);
  bool Ueben() const;
  // The check box was clicked: the mode is stored. True when a question waited for its first choice,
  // which then must show its answer, as the question screen always did.
  bool UebenCheckBoxClick();
  // The controls and the score as the mode wants them; the button only on the question screen.
  void ZeigeUebungsteile(bool frageSchirm);

  // A practice question for the plate has opened and waits for the learner's first choice.
  void FrageGestellt(int gruppe, const QString &bild);
  // The question is left or replaced: a choice from now on does not count.
  void SchliesseFrage() { FFrageOffen = false; }
  bool FrageOffen() const { return FFrageOffen; }
  // A judged choice; only the first of a practice question counts.
  void Beurteilt(bool richtig);
  // The right answer was asked for: before any choice, the answer was not known.
  void AntwortVerlangt();
  // A key on the answer list before the first choice: true when it moved through the list or chose.
  bool UebungsTaste(int key);

  // Which plate of the range's pictures to ask next (an index into bilder), -1 for none.
  int WaehleNaechsteFrage(const QStringList &bilder, int gruppe);
  // The box of a plate, 0 when it was never asked.
  int Kasten(int gruppe, const QString &bild) const;

  // A progress write that failed during the run (a full disk) gets one more chance.
  void SichereAmEnde();

  const TLernstand &Lernstand() const { return FLernstand; }
  int PunkteRichtig() const { return FPunkteRichtig; }
  int PunkteGefragt() const { return FPunkteGefragt; }
  const QString &UebungsBild() const { return FUebungsBild; }

signals:
  // The first write of the run that did not reach the file, with the message for the learner. Once a
  // run: a box at every answer would make practice impossible.
  void NichtGespeichert(const QString &meldung);

private:
  void ZaehleErsteWahl(bool richtig);
  void Speichere();

  TUebenSteuer S;
  TLernstand FLernstand;
  TLernstandDatei FLernstandDatei;
  bool FLernstandGeaendert = false; // written again at the end if a write failed meanwhile
  bool FFehlerGemeldet = false;     // the learner was told that progress is not saved
  bool FFrageOffen = false;         // a practice question waits for its first choice
  QString FGruppe;                  // the group of the plate asked, as the progress file names it
  QString FUebungsBild;             // the plate asked last: never asked twice in a row
  bool FNeuesZuletzt = true;        // the last one had never been asked; due ones come first at start
  int FPunkteRichtig = 0;
  int FPunkteGefragt = 0;
};
