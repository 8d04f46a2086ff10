// The reverse question's plates, keys and judgement.
#include "quiz/rueckfrage.h"

#include "data/gruppen.h"
#include "data/jpegbild.h"
#include "quiz/quizregeln.h"
#include "widgets/zugang.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The small template's own size, at which the plates are drawn here.
constexpr QSize KleineVorlage(136, 67);
// The question screen draws that template shrunk to this size, this far from the left, and the code's
// picture over it this wide: the plates here scale those numbers up to the template's pixels.
constexpr QSize FrageSchirmPlatte(70, 38);
constexpr int FrageSchirmPlatteLinks = 8;
constexpr int FrageSchirmCodeBreite = 40;

constexpr int HoechstePlatten = 6;
constexpr int RahmenBreite = 3;
constexpr int Abstand = 4;
const QColor RichtigRahmen(0, 150, 0);
const QColor FalschRahmen(220, 0, 0);

int Skaliere(int wert, int nach, int von) { return (wert * nach + von / 2) / von; }

// A plate whose template is missing: white with a black edge, so the code still reads as a plate.
QImage LeerePlatte(qreal verhaeltnis) {
  QImage platte(KleineVorlage * verhaeltnis, QImage::Format_RGB32);
  platte.setDevicePixelRatio(verhaeltnis);
  platte.fill(Qt::white);
  QPainter maler(&platte);
  maler.setPen(QPen(Qt::black, 2));
  maler.drawRect(QRect(QPoint(1, 1), KleineVorlage - QSize(2, 2)));
  return platte;
}

} // namespace

TRueckWahl RueckWahlFuer(int gruppe, const QString &code, const QString &bildPfad, const QString &vorlagePfad) {
  // The same numbers that place the question screen's small plate and its code under the list.
  const TPlatzierung platz = PlatzierungUnterListe(0, gruppe);
  const QPoint aufPlatte(platz.Image3Links - FrageSchirmPlatteLinks, platz.Image3Oben - platz.Image4Oben);
  const int breite = KleineVorlage.width(), hoehe = KleineVorlage.height();
  const int schirmBreite = FrageSchirmPlatte.width(), schirmHoehe = FrageSchirmPlatte.height();
  TRueckWahl wahl{code, bildPfad, vorlagePfad, {}, {}};
  wahl.Versatz = QPoint(Skaliere(aufPlatte.x(), breite, schirmBreite), Skaliere(aufPlatte.y(), hoehe, schirmHoehe));
  wahl.BildGroesse =
      QSize(Skaliere(FrageSchirmCodeBreite, breite, schirmBreite), Skaliere(platz.Image3Hoehe, hoehe, schirmHoehe));
  return wahl;
}

QImage ZeichneKleinesKennzeichen(const TRueckWahl &wahl, qreal pixelVerhaeltnis) {
  const std::optional<QImage> vorlage = LadeBildDatei(wahl.VorlagePfad, pixelVerhaeltnis);
  QImage platte = vorlage ? vorlage->convertToFormat(QImage::Format_RGB32) : LeerePlatte(pixelVerhaeltnis);
  platte.setDevicePixelRatio(vorlage ? vorlage->devicePixelRatio() : pixelVerhaeltnis);
  const QSize groesse = platte.deviceIndependentSize().toSize();
  // A code without a place of its own lies in the middle of the plate.
  const QRect feld = wahl.BildGroesse.isEmpty() ? QRect(QPoint(0, 0), groesse) : QRect(wahl.Versatz, wahl.BildGroesse);

  QPainter maler(&platte);
  maler.setRenderHint(QPainter::SmoothPixmapTransform);
  const std::optional<QImage> code = LadeBildDatei(wahl.BildPfad, pixelVerhaeltnis);
  if (code) {
    // Black letters on white: multiplied, the white takes the plate's own colour, as the question
    // screen's see-through picture does, without the speckles a JPEG's near-white leaves.
    maler.setCompositionMode(QPainter::CompositionMode_Multiply);
    maler.drawImage(feld, *code);
    return platte;
  }
  QFont schrift(QStringLiteral("DejaVu Sans"));
  schrift.setBold(true);
  schrift.setPixelSize(qMax(8, feld.height() * 2 / 3));
  maler.setFont(schrift);
  maler.setPen(Qt::black);
  maler.drawText(feld, Qt::AlignCenter, wahl.Code);
  return platte;
}

TRueckfrage::TRueckfrage(QWidget *eltern) : QWidget(eltern) {
  setObjectName(QStringLiteral("Rueckfrage"));
  auto *spalte = new QVBoxLayout(this);
  // Tight, so that the six plates fit a question area of 500 pixels.
  spalte->setContentsMargins(Abstand, Abstand, Abstand, Abstand);

  FFrageLabel = new QLabel(this);
  FFrageLabel->setObjectName(QStringLiteral("RueckFrageLabel"));
  FFrageLabel->setWordWrap(true);
  QFont fett = FFrageLabel->font();
  fett.setBold(true);
  fett.setPixelSize(16);
  FFrageLabel->setFont(fett);
  spalte->addWidget(FFrageLabel);

  // Not exclusive: the group only lets the arrows move the focus from plate to plate as they lie.
  auto *gruppe = new QButtonGroup(this);
  gruppe->setExclusive(false);
  auto *gitter = new QGridLayout;
  gitter->setHorizontalSpacing(2 * Abstand);
  for (int i = 0; i < HoechstePlatten; ++i) {
    auto *ziffer = new QLabel(QString::number(i + 1), this);
    ziffer->setFont(fett);
    auto *knopf = new QPushButton(this);
    knopf->setObjectName(QStringLiteral("RueckWahl%1").arg(i + 1));
    knopf->setIconSize(KleineVorlage);
    // Enter chooses the focused plate as Space does.
    knopf->setAutoDefault(true);
    ziffer->setBuddy(knopf);
    gruppe->addButton(knopf, i);
    // The digit hugs its own plate, the plates keep apart: each digit reads as its plate's.
    auto *feld = new QHBoxLayout;
    feld->setSpacing(Abstand / 2);
    feld->addWidget(ziffer);
    feld->addWidget(knopf);
    gitter->addLayout(feld, i / 3, i % 3);
    FKnoepfe << knopf;
    FZiffern << ziffer;
  }
  connect(gruppe, &QButtonGroup::idClicked, this, &TRueckfrage::Waehle);
  // The focus given to the question lands on its first plate, where digits and arrows work.
  setFocusProxy(FKnoepfe.first());
  spalte->addLayout(gitter);

  auto *zeile = new QHBoxLayout;
  auto *eintippen = new QLabel(QStringLiteral("&Oder eintippen:"), this);
  FRueckEdit = new QLineEdit(this);
  FRueckEdit->setObjectName(QStringLiteral("RueckEdit"));
  FRueckEdit->setAccessibleName(QStringLiteral("Oder eintippen"));
  FRueckEdit->setMaxLength(8);
  eintippen->setBuddy(FRueckEdit);
  zeile->addWidget(eintippen);
  zeile->addWidget(FRueckEdit, 1);
  connect(FRueckEdit, &QLineEdit::returnPressed, this, &TRueckfrage::RueckEditReturn);
  spalte->addLayout(zeile);

  FErgebnisLabel = new QLabel(this);
  FErgebnisLabel->setObjectName(QStringLiteral("RueckErgebnis"));
  FErgebnisLabel->setFont(fett);
  spalte->addWidget(FErgebnisLabel);
  spalte->addStretch(1);

  FAnsage = new TAnsage(this);
  FAnsage->setObjectName(QStringLiteral("RueckAnsage"));
}

void TRueckfrage::Stelle(const QString &beschreibung, const QVector<TRueckWahl> &wahl, const QString &richtig) {
  FWahl = wahl.mid(0, HoechstePlatten);
  FRichtig = richtig;
  FOffen = true;
  const QString frage = QStringLiteral("Welches Kennzeichen steht für: %1 ?").arg(beschreibung);
  FFrageLabel->setText(frage);
  // The group's name, which a screen reader says as the focus enters the plates.
  setAccessibleName(frage);
  FRueckEdit->clear();
  FErgebnisLabel->clear();
  const qreal verhaeltnis = devicePixelRatioF();
  for (int i = 0; i < FKnoepfe.size(); ++i) {
    QPushButton *knopf = FKnoepfe[i];
    Rahmen(knopf, QColor());
    const bool da = i < FWahl.size();
    knopf->setVisible(da);
    FZiffern[i]->setVisible(da);
    if (!da)
      continue;
    knopf->setIcon(QPixmap::fromImage(ZeichneKleinesKennzeichen(FWahl[i], verhaeltnis)));
    knopf->setAccessibleName(QStringLiteral("Kennzeichen ") + FWahl[i].Code);
    knopf->setAccessibleDescription(QStringLiteral("Taste %1").arg(i + 1));
  }
  FAnsage->Sage(frage);
}

void TRueckfrage::keyPressEvent(QKeyEvent *event) {
  // Digits reach here only from the plates (the line edit takes them as text): each chooses its plate.
  const int nummer = event->key() - Qt::Key_1;
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (nummer >= 0 && nummer < HoechstePlatten) {
      Waehle(nummer);
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void TRueckfrage::Waehle(int nummer) {
  if (nummer < 0 || nummer >= FWahl.size())
    return;
  Beurteile(FWahl[nummer].Code);
}

void TRueckfrage::RueckEditReturn() {
  const QString code = FRueckEdit->text().trimmed();
  // An empty Enter is a slip, not an answer.
  if (code.isEmpty())
    return;
  Beurteile(code.toUpper());
}

void TRueckfrage::Beurteile(const QString &code) {
  const bool richtig = code.compare(FRichtig, Qt::CaseInsensitive) == 0;
  const bool erste = FOffen;
  FOffen = false;
  for (int i = 0; i < FWahl.size(); ++i) {
    const bool gewaehlt = FWahl[i].Code.compare(code, Qt::CaseInsensitive) == 0;
    const bool istRichtig = FWahl[i].Code.compare(FRichtig, Qt::CaseInsensitive) == 0;
    // Each mistake shows the right plate beside it at once.
    if (istRichtig && (gewaehlt || !richtig))
      Rahmen(FKnoepfe[i], RichtigRahmen);
    else
      Rahmen(FKnoepfe[i], gewaehlt ? FalschRahmen : QColor());
  }
  const QString urteil = richtig ? QStringLiteral("Richtig: %1").arg(FRichtig)
                                 : QStringLiteral("Falsch: %1. Richtig wäre %2").arg(code, FRichtig);
  FErgebnisLabel->setText(urteil);
  FErgebnisLabel->setAccessibleName(urteil);
  SageAn(FErgebnisLabel, QAccessible::Alert);
  // Judged first, so that what is said after the first choice (the score) already counts it; one
  // announcement, since a second one would cut the first short.
  emit Beurteilt(richtig, code, erste);
  FAnsage->Sage(erste && FNachErsterWahl ? urteil + QStringLiteral(". ") + FNachErsterWahl() : urteil);
}

void TRueckfrage::Rahmen(QPushButton *knopf, const QColor &farbe) {
  knopf->setProperty("rahmen", farbe.isValid() ? farbe.name() : QString());
  // Every plate keeps a frame of the same width, so a judged one does not jump; the focused one is
  // tinted, since a style sheet takes the style's own focus mark away.
  knopf->setStyleSheet(QStringLiteral("QPushButton { border: %1px solid %2; padding: 0px; background: white; }"
                                      "QPushButton:focus { background: #bcd8ff; }")
                           .arg(RahmenBreite)
                           .arg(farbe.isValid() ? farbe.name() : QStringLiteral("#a0a0a0")));
}
