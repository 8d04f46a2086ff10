// The practice settings window and its overview chart.
#include "quiz/uebungsfenster.h"

#include "quiz/uebungsregeln.h"
#include "widgets/meldung.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

const QColor NeuFarbe(211, 211, 211);
constexpr int ZeilenRand = 3;
constexpr int BalkenHoehe = 14;
constexpr int HoechsteNeue = 999;

int Gesamt(const TUebersichtZeile &zeile) {
  int summe = zeile.Neu;
  for (int anzahl : zeile.Kaesten)
    summe += anzahl;
  return summe;
}

// Each row: the name and the counts on one line, the stacked bar under them. The bars share one
// scale, the largest row's total, so rows compare at a glance.
class TBalkenDelegate : public QStyledItemDelegate {
public:
  TBalkenDelegate(QObject *eltern, const QVector<TUebersichtZeile> &zeilen)
      : QStyledItemDelegate(eltern), FZeilen(zeilen) {}

  QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const override {
    return QSize(300, option.fontMetrics.height() + BalkenHoehe + 3 * ZeilenRand);
  }

  void paint(QPainter *maler, const QStyleOptionViewItem &option, const QModelIndex &index) const override {
    if (index.row() >= FZeilen.size())
      return;
    const TUebersichtZeile &zeile = FZeilen[index.row()];
    QStyleOptionViewItem hinten = option;
    initStyleOption(&hinten, index);
    hinten.text.clear();
    const QWidget *liste = option.widget;
    QStyle *stil = liste ? liste->style() : QApplication::style();
    stil->drawControl(QStyle::CE_ItemViewItem, &hinten, maler, liste);

    maler->save();
    const QRect innen = option.rect.adjusted(ZeilenRand, ZeilenRand, -ZeilenRand, -ZeilenRand);
    const bool gewaehlt = option.state & QStyle::State_Selected;
    maler->setPen(option.palette.color(gewaehlt ? QPalette::HighlightedText : QPalette::Text));
    const QRect schrift(innen.left(), innen.top(), innen.width(), option.fontMetrics.height());
    const QString zahlen = UebersichtZahlenText(zeile);
    const int zahlenBreite = option.fontMetrics.horizontalAdvance(zahlen);
    maler->drawText(schrift, Qt::AlignRight | Qt::AlignVCenter, zahlen);
    const QRect namensFeld = schrift.adjusted(0, 0, -zahlenBreite - 2 * ZeilenRand, 0);
    maler->drawText(namensFeld, Qt::AlignLeft | Qt::AlignVCenter,
                    option.fontMetrics.elidedText(zeile.Name, Qt::ElideRight, namensFeld.width()));

    int hoechste = 1;
    for (const TUebersichtZeile &andere : FZeilen)
      hoechste = qMax(hoechste, Gesamt(andere));
    int links = innen.left();
    const int oben = schrift.bottom() + ZeilenRand;
    // Drawn from the running sum, so that rounding never lets a row's bar outgrow the largest.
    int summe = 0;
    auto stueck = [&](int anzahl, const QColor &farbe) {
      summe += anzahl;
      const int rechts = innen.left() + int(qint64(summe) * innen.width() / hoechste);
      maler->fillRect(QRect(links, oben, rechts - links, BalkenHoehe), farbe);
      links = rechts;
    };
    stueck(zeile.Neu, NeuFarbe);
    for (int k = 1; k <= KastenAnzahl; ++k)
      stueck(zeile.Kaesten[k - 1], KastenFarbe(k));
    maler->restore();
  }

private:
  const QVector<TUebersichtZeile> &FZeilen;
};

// The legend under the chart: a swatch of each colour and what it stands for.
QString LegendeHtml() {
  auto feld = [](const QColor &farbe, const QString &text) {
    return QStringLiteral("<span style=\"color:%1\">&#9632;</span>&nbsp;%2").arg(farbe.name(), text);
  };
  QStringList teile{feld(NeuFarbe, QStringLiteral("neu"))};
  for (int k = 1; k <= KastenAnzahl; ++k)
    teile << feld(KastenFarbe(k), QStringLiteral("Kasten %1").arg(k));
  return teile.join(QStringLiteral(" &nbsp; "));
}

QString LandName(const QListWidgetItem *eintrag) {
  return eintrag->text() +
         (eintrag->checkState() == Qt::Checked ? QStringLiteral(", ausgewählt") : QStringLiteral(", nicht ausgewählt"));
}

} // namespace

QString UebersichtZeilenText(const TUebersichtZeile &zeile) {
  QStringList teile{QStringLiteral("%1 neu").arg(zeile.Neu)};
  for (int k = 1; k <= KastenAnzahl; ++k)
    teile << QStringLiteral("Kasten %1: %2").arg(k).arg(zeile.Kaesten[k - 1]);
  teile << QStringLiteral("%1 heute fällig").arg(zeile.Faellig);
  return zeile.Name + QStringLiteral(": ") + teile.join(QStringLiteral(", "));
}

QString UebersichtZahlenText(const TUebersichtZeile &zeile) {
  QStringList teile{QStringLiteral("%1 neu").arg(zeile.Neu)};
  for (int anzahl : zeile.Kaesten)
    teile << QString::number(anzahl);
  teile << QStringLiteral("%1 heute fällig").arg(zeile.Faellig);
  return teile.join(QStringLiteral(" · "));
}

TUebungsFenster::TUebungsFenster(QWidget *eltern) : QDialog(eltern) {
  setObjectName(QStringLiteral("UebungsFenster"));
  setWindowTitle(QStringLiteral("Üben einrichten"));
  setModal(false);
  auto *spalten = new QHBoxLayout(this);
  auto *links = new QVBoxLayout;
  auto *rechts = new QVBoxLayout;
  spalten->addLayout(links, 2);
  spalten->addLayout(rechts, 3);

  // Created in the order the Tab key should visit them: the settings top to bottom, then the overview.
  auto *laenderLabel = new QLabel(QStringLiteral("&Bundesländer und Länder"), this);
  FLaenderListe = new QListWidget(this);
  FLaenderListe->setObjectName(QStringLiteral("LaenderListe"));
  FLaenderListe->setAccessibleName(QStringLiteral("Bundesländer und Länder"));
  FLaenderListe->setAccessibleDescription(QStringLiteral("Leertaste wählt aus; keines gewählt: alle"));
  laenderLabel->setBuddy(FLaenderListe);
  links->addWidget(laenderLabel);
  links->addWidget(FLaenderListe, 1);
  connect(FLaenderListe, &QListWidget::itemChanged, this, [this](QListWidgetItem *eintrag) {
    eintrag->setData(Qt::AccessibleTextRole, LandName(eintrag));
    Geaendert();
  });

  auto *routenLabel = new QLabel(QStringLiteral("&Route (Kennzeichen, durch Leerzeichen getrennt)"), this);
  routenLabel->setWordWrap(true);
  FRoutenEdit = new QLineEdit(this);
  FRoutenEdit->setObjectName(QStringLiteral("RoutenEdit"));
  FRoutenEdit->setAccessibleName(QStringLiteral("Route (Kennzeichen, durch Leerzeichen getrennt)"));
  FRoutenEdit->setPlaceholderText(QStringLiteral("M FS LA DEG PA"));
  routenLabel->setBuddy(FRoutenEdit);
  links->addWidget(routenLabel);
  links->addWidget(FRoutenEdit);
  // A route counts once it is typed out, not at each letter on the way.
  connect(FRoutenEdit, &QLineEdit::editingFinished, this, &TUebungsFenster::Geaendert);

  auto *formular = new QFormLayout;
  FNeueSpinBox = new QSpinBox(this);
  FNeueSpinBox->setObjectName(QStringLiteral("NeueSpinBox"));
  FNeueSpinBox->setRange(1, HoechsteNeue);
  FNeueSpinBox->setKeyboardTracking(false);
  FNeueSpinBox->setAccessibleName(QStringLiteral("Neue Kennzeichen am Tag"));
  formular->addRow(QStringLiteral("&Neue Kennzeichen am Tag"), FNeueSpinBox);
  links->addLayout(formular);
  connect(FNeueSpinBox, qOverload<int>(&QSpinBox::valueChanged), this, &TUebungsFenster::Geaendert);

  FAlleAntwortenBox = new QCheckBox(QStringLiteral("&Alle Antworten zur Wahl statt sechs"), this);
  FAlleAntwortenBox->setObjectName(QStringLiteral("AlleAntwortenBox"));
  links->addWidget(FAlleAntwortenBox);
  connect(FAlleAntwortenBox, &QCheckBox::toggled, this, &TUebungsFenster::Geaendert);

  auto *richtung = new QGroupBox(QStringLiteral("Richtung"), this);
  auto *richtungSpalte = new QVBoxLayout(richtung);
  FVorwaertsKnopf = new QRadioButton(QStringLiteral("&Kennzeichen → Kreis"), richtung);
  FVorwaertsKnopf->setObjectName(QStringLiteral("VorwaertsKnopf"));
  FVorwaertsKnopf->setAccessibleName(QStringLiteral("Kennzeichen nach Kreis"));
  // Alt+R is the route's already.
  FUmgekehrtKnopf = new QRadioButton(QStringLiteral("Kr&eis → Kennzeichen"), richtung);
  FUmgekehrtKnopf->setObjectName(QStringLiteral("UmgekehrtKnopf"));
  FUmgekehrtKnopf->setAccessibleName(QStringLiteral("Kreis nach Kennzeichen"));
  FVorwaertsKnopf->setChecked(true);
  richtungSpalte->addWidget(FVorwaertsKnopf);
  richtungSpalte->addWidget(FUmgekehrtKnopf);
  links->addWidget(richtung);
  connect(FUmgekehrtKnopf, &QRadioButton::toggled, this, &TUebungsFenster::Geaendert);

  auto *ueberFormular = new QFormLayout;
  FGruppierungBox = new QComboBox(this);
  FGruppierungBox->setObjectName(QStringLiteral("GruppierungBox"));
  FGruppierungBox->addItems({QStringLiteral("Bundesland"), QStringLiteral("Bereich")});
  FGruppierungBox->setAccessibleName(QStringLiteral("Übersicht nach"));
  ueberFormular->addRow(QStringLiteral("&Übersicht nach"), FGruppierungBox);
  rechts->addLayout(ueberFormular);
  connect(FGruppierungBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
          [this] { emit GruppierungGeaendert(NachLand()); });

  FTitelLabel = new QLabel(this);
  FTitelLabel->setObjectName(QStringLiteral("UebersichtTitel"));
  FTitelLabel->setWordWrap(true);
  rechts->addWidget(FTitelLabel);
  FUebersichtListe = new QListWidget(this);
  FUebersichtListe->setObjectName(QStringLiteral("UebersichtListe"));
  FUebersichtListe->setAccessibleName(QStringLiteral("Übersicht"));
  FUebersichtListe->setItemDelegate(new TBalkenDelegate(FUebersichtListe, FZeilen));
  FUebersichtListe->setMinimumWidth(360);
  FTitelLabel->setBuddy(FUebersichtListe);
  rechts->addWidget(FUebersichtListe, 1);
  auto *legende = new QLabel(LegendeHtml(), this);
  legende->setObjectName(QStringLiteral("Legende"));
  legende->setWordWrap(true);
  legende->setAccessibleName(QStringLiteral("Grau: neu; Kasten 1 rot bis Kasten %1 grün").arg(KastenAnzahl));
  rechts->addWidget(legende);

  auto *knoepfe = new QHBoxLayout;
  FZuruecksetzenBtn = new QPushButton(QStringLiteral("Lernstand &zurücksetzen …"), this);
  FZuruecksetzenBtn->setObjectName(QStringLiteral("ZuruecksetzenBtn"));
  auto *schliessen = new QPushButton(QStringLiteral("&Schließen"), this);
  schliessen->setObjectName(QStringLiteral("SchliessenBtn"));
  // No button is the default: Enter in the route or the spin box only ends that entry.
  FZuruecksetzenBtn->setAutoDefault(false);
  schliessen->setAutoDefault(false);
  knoepfe->addWidget(FZuruecksetzenBtn);
  knoepfe->addStretch(1);
  knoepfe->addWidget(schliessen);
  rechts->addLayout(knoepfe);
  connect(FZuruecksetzenBtn, &QPushButton::clicked, this, &TUebungsFenster::ZuruecksetzenBtnClick);
  connect(schliessen, &QPushButton::clicked, this, &QDialog::close);

  FLetzte = Einstellung();
}

void TUebungsFenster::SetzeLaender(const QStringList &laender) {
  const QStringList gewaehlt = Einstellung().Laender;
  FDurchProgramm = true;
  FLaenderListe->clear();
  for (const QString &land : laender) {
    auto *eintrag = new QListWidgetItem(land, FLaenderListe);
    eintrag->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    eintrag->setCheckState(gewaehlt.contains(land) ? Qt::Checked : Qt::Unchecked);
    eintrag->setData(Qt::AccessibleTextRole, LandName(eintrag));
  }
  FDurchProgramm = false;
  FLetzte = Einstellung();
}

void TUebungsFenster::SetzeEinstellung(const TUebungsEinstellung &e) {
  FDurchProgramm = true;
  for (int i = 0; i < FLaenderListe->count(); ++i) {
    QListWidgetItem *eintrag = FLaenderListe->item(i);
    eintrag->setCheckState(e.Laender.contains(eintrag->text()) ? Qt::Checked : Qt::Unchecked);
    eintrag->setData(Qt::AccessibleTextRole, LandName(eintrag));
  }
  FRoutenEdit->setText(e.Route);
  FNeueSpinBox->setValue(e.NeueJeTag);
  FAlleAntwortenBox->setChecked(e.AlleAntworten);
  (e.Umgekehrt ? FUmgekehrtKnopf : FVorwaertsKnopf)->setChecked(true);
  FDurchProgramm = false;
  FLetzte = Einstellung();
}

TUebungsEinstellung TUebungsFenster::Einstellung() const {
  TUebungsEinstellung e;
  for (int i = 0; i < FLaenderListe->count(); ++i)
    if (FLaenderListe->item(i)->checkState() == Qt::Checked)
      e.Laender << FLaenderListe->item(i)->text();
  e.Route = FRoutenEdit->text().simplified();
  e.NeueJeTag = FNeueSpinBox->value();
  e.AlleAntworten = FAlleAntwortenBox->isChecked();
  e.Umgekehrt = FUmgekehrtKnopf->isChecked();
  return e;
}

void TUebungsFenster::SetzeUebersicht(const QVector<TUebersichtZeile> &zeilen, const QString &titel, int anzahl) {
  FAnzahl = anzahl;
  FZeilen = zeilen;
  FTitelLabel->setText(titel);
  FUebersichtListe->setAccessibleDescription(titel);
  const int aktuell = FUebersichtListe->currentRow();
  FUebersichtListe->clear();
  for (const TUebersichtZeile &zeile : FZeilen) {
    auto *eintrag = new QListWidgetItem(zeile.Name, FUebersichtListe);
    eintrag->setData(Qt::AccessibleTextRole, UebersichtZeilenText(zeile));
    eintrag->setToolTip(UebersichtZeilenText(zeile));
  }
  // A new count keeps the learner's place in the chart.
  if (aktuell >= 0 && aktuell < FUebersichtListe->count())
    FUebersichtListe->setCurrentRow(aktuell);
  FZuruecksetzenBtn->setEnabled(!FZeilen.isEmpty());
}

bool TUebungsFenster::NachLand() const { return FGruppierungBox->currentIndex() == 0; }

void TUebungsFenster::Geaendert() {
  if (FDurchProgramm)
    return;
  // The route's editing ends also when the focus merely leaves it: only a real change is reported.
  const TUebungsEinstellung jetzt = Einstellung();
  if (jetzt == FLetzte)
    return;
  FLetzte = jetzt;
  emit EinstellungGeaendert(jetzt);
}

void TUebungsFenster::ZuruecksetzenBtnClick() {
  int anzahl = FAnzahl;
  if (anzahl < 0) {
    anzahl = 0;
    for (const TUebersichtZeile &zeile : FZeilen)
      anzahl += Gesamt(zeile);
  }
  const QString frage =
      QStringLiteral("Den Lernstand der gezeigten Auswahl (%1 Kennzeichen) löschen? "
                     "Die Kennzeichen gelten danach wieder als neu; das lässt sich nicht rückgängig machen.")
          .arg(anzahl);
  if (FrageJaNein(this, frage))
    emit ZuruecksetzenBestaetigt();
}
