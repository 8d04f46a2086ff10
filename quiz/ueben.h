// Practice mode's state: the learner's progress and its file, the sitting's score, the question that
// waits for its first choice and the plate asked last. It hears of the question's judgements and picks
// the next plate; which question opens is the window's business.
#pragma once

#include "data/lernstand.h"
#include "data/lernstanddatei.h"
#include "quiz/uebungsregeln.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

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
  void SchliesseFrage() { FFrageOffen = FFrageDa = false; }
  bool FrageOffen() const { return FFrageOffen; }
  // A judged choice; only the first of a practice question counts.
  void Beurteilt(bool richtig);
  // The right answer was asked for: before any choice, the answer was not known.
  void AntwortVerlangt();
  // A key on a practice question's answer list: true when practice took it (it moved through the list,
  // chose, or was kept from choosing).
  bool UebungsTaste(int key, const QString &text);

  // Which of the plates to ask next (an index), -1 when the day's work is done: due plates first, then
  // the day's new ones, then, once the learner chose to go on, plates ahead of their day.
  int PlaneNaechste(const QVector<TLernSchluessel> &platten);
  // The learner goes on after the day's end: plates come before they are due, until the day is over.
  void SetzeVoraus(bool voraus);
  bool Voraus() const;
  // What the day's end says of the sitting and of these plates.
  QString Tagesende(const QVector<TLernSchluessel> &platten) const;
  // Forgets the progress of these plates (after the learner confirmed it).
  void SetzeZurueck(const QVector<TLernSchluessel> &platten);

  // The box of a plate in the direction practised, 0 when it was never asked.
  int Kasten(int gruppe, const QString &bild) const;
  // The name the progress keeps a group's plates under, in the direction practised.
  QString LernName(int gruppe) const { return LernGruppe(gruppe, Umgekehrt()); }

  const TUebungsEinstellung &Einstellung() const { return FLernstand.Einstellung; }
  void SetzeEinstellung(const TUebungsEinstellung &einstellung);
  bool Umgekehrt() const { return FLernstand.Einstellung.Umgekehrt; }
  // How many answers a question offers: 0 for the range's whole list.
  int Handvoll() const { return FLernstand.Einstellung.AlleAntworten ? 0 : StandardHandvoll; }
  static constexpr int StandardHandvoll = 6;

  // Practice's clock; a test sets its own days.
  void SetzeUhr(std::function<QDateTime()> uhr) { FUhr = std::move(uhr); }
  QDateTime Jetzt() const { return FUhr ? FUhr() : QDateTime::currentDateTimeUtc(); }

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
  int NaechsterTreffer(const QString &text);

  TUebenSteuer S;
  TLernstand FLernstand;
  TLernstandDatei FLernstandDatei;
  bool FLernstandGeaendert = false; // written again at the end if a write failed meanwhile
  bool FFehlerGemeldet = false;     // the learner was told that progress is not saved
  bool FFrageOffen = false;         // a practice question waits for its first choice
  bool FFrageDa = false;            // a practice question is on the screen, answered or not
  QString FGetippt;                 // letters typed on the answer list in quick succession
  QElapsedTimer FTippUhr;
  QString FGruppe;                  // the group of the plate asked, as the progress file names it
  QString FUebungsBild;             // the plate asked last
  QVector<TLernSchluessel> FGefragt; // this sitting's plates, the last one asked at the end
  QDate FVorausTag; // the day on which the learner chose to go on ahead
  std::function<QDateTime()> FUhr;
  int FPunkteRichtig = 0;
  int FPunkteGefragt = 0;
};
