// The reverse question: a district is named, and the learner picks its code among small plates or
// types it in.
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QVector>
#include <QWidget>

#include <functional>

class QColor;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class TAnsage;

// One plate to choose from.
struct TRueckWahl {
  QString Code;        // "AB"
  QString BildPfad;    // the code's picture (JPEG; black letters on white)
  QString VorlagePfad; // the small plate template (BMP, 136×67) the code picture lies on
  QPoint Versatz;      // where the code picture goes on the small template
  QSize BildGroesse;   // the size the code picture is drawn at on the template
};

// A choice for a code of the group, its picture laid on the small template where the question
// screen lays it.
TRueckWahl RueckWahlFuer(int gruppe, const QString &code, const QString &bildPfad, const QString &vorlagePfad);

// The small plate of a choice as the plate buttons show it, at the template's own pixel size (for the
// screen's device-pixel ratio). A picture that cannot be loaded gives the code as text instead.
QImage ZeichneKleinesKennzeichen(const TRueckWahl &wahl, qreal pixelVerhaeltnis = 1.0);

class TRueckfrage : public QWidget {
  Q_OBJECT
public:
  explicit TRueckfrage(QWidget *eltern);

  // Asks for the code of a district and offers the choices (up to six, in the given order) as small
  // plates; richtig is the right code.
  void Stelle(const QString &beschreibung, const QVector<TRueckWahl> &wahl, const QString &richtig);
  // True until the first choice or typed answer.
  bool Offen() const { return FOffen; }
  // What is said after the judgement of a first choice, as the caller counts it (the score).
  void SetzeNachErsterWahl(std::function<QString()> text) { FNachErsterWahl = std::move(text); }

signals:
  // Every judged choice; erste is true only for the first of a question (which alone counts).
  void Beurteilt(bool richtig, const QString &code, bool erste);

protected:
  void keyPressEvent(QKeyEvent *event) override;

private:
  void Waehle(int nummer);
  void RueckEditReturn();
  void Beurteile(const QString &code);
  void Rahmen(QPushButton *knopf, const QColor &farbe);

  QLabel *FFrageLabel = nullptr;
  QVector<QPushButton *> FKnoepfe;
  QVector<QLabel *> FZiffern;
  QLineEdit *FRueckEdit = nullptr;
  QLabel *FErgebnisLabel = nullptr;
  TAnsage *FAnsage = nullptr;
  QVector<TRueckWahl> FWahl;
  QString FRichtig;
  bool FOffen = false;
  std::function<QString()> FNachErsterWahl;
};
