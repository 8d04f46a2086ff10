// The window where the learner sets what practice asks (Länder, a route, the day's new plates, the
// handful of answers, the direction) and sees the overview of the boxes as a bar chart.
#pragma once

#include "data/uebungsdaten.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;

// What the chart's rows count, in words: "Bayern: 80 neu, Kasten 1: 3, …, 2 heute fällig".
QString UebersichtZeilenText(const TUebersichtZeile &zeile);
// The counts as drawn beside the bar: "12 neu · 3 · 5 · 0 · 1 · 0 · 2 heute fällig".
QString UebersichtZahlenText(const TUebersichtZeile &zeile);

class TUebungsFenster : public QDialog {
  Q_OBJECT
public:
  explicit TUebungsFenster(QWidget *eltern);

  // The Länder the learner can choose (German first, then Austrian), already sorted; before
  // SetzeEinstellung, whose Länder are ticked in this list.
  void SetzeLaender(const QStringList &laender);
  // Shows a setting without emitting EinstellungGeaendert.
  void SetzeEinstellung(const TUebungsEinstellung &e);
  TUebungsEinstellung Einstellung() const;
  // The overview's rows and the line above the chart that says what the rows count; shown as given.
  // anzahl is how many plates a reset would forget; a plate of two Länder stands in two rows. Without it,
  // the rows' sum.
  void SetzeUebersicht(const QVector<TUebersichtZeile> &zeilen, const QString &titel, int anzahl = -1);
  // The overview's grouping chosen: per Land (true) or per letter range.
  bool NachLand() const;

signals:
  void EinstellungGeaendert(const TUebungsEinstellung &e);
  void GruppierungGeaendert(bool nachLand);
  void ZuruecksetzenBestaetigt();

private:
  void Geaendert();
  void ZuruecksetzenBtnClick();

  QListWidget *FLaenderListe = nullptr;
  QLineEdit *FRoutenEdit = nullptr;
  QSpinBox *FNeueSpinBox = nullptr;
  QCheckBox *FAlleAntwortenBox = nullptr;
  QRadioButton *FVorwaertsKnopf = nullptr;
  QRadioButton *FUmgekehrtKnopf = nullptr;
  QComboBox *FGruppierungBox = nullptr;
  QLabel *FTitelLabel = nullptr;
  QListWidget *FUebersichtListe = nullptr;
  QPushButton *FZuruecksetzenBtn = nullptr;
  QVector<TUebersichtZeile> FZeilen;
  int FAnzahl = -1;
  // What the window showed or reported last: a change is reported once.
  TUebungsEinstellung FLetzte;
  // Set while the program itself fills the controls: nothing of that is the learner's change.
  bool FDurchProgramm = false;
};
