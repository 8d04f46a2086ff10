// TMainForm: building the window's components as the layout places them, and the Qt overrides,
// which only forward to the handlers.
#include "app/tmainform.h"

#include "gallery/galerie.h"

#include "app/aussehen.h"
#include "app/layoutbilder.h"
#include "quiz/katalog.h"
#include "quiz/rueckfrage.h"
#include "search/tscrollbox.h"
#include "widgets/Machpaus.h"
#include "widgets/anker.h"
#include "widgets/bausteine.h"
#include "widgets/zugang.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int LayoutClientBreite = 754;
constexpr int LayoutClientHoehe = 695;
constexpr int ComboZeilenHoehe = 20;     // item height of the group list's drop-down
constexpr int NaechsteFrageBreite = 140; // fits beside the answer button down to the narrowest window
constexpr int PunkteBreite = 140;        // "999 von 999 richtig"
constexpr int StatusRand = 6;            // between the status bar's right-hand items and its edge
const QColor Silber(192, 192, 192);
const QColor Grau(128, 128, 128);

QFont Schrift(int pixel, bool fett) {
  QFont schrift(QStringLiteral("DejaVu Sans"));
  schrift.setStyleHint(QFont::SansSerif);
  schrift.setPixelSize(pixel);
  schrift.setBold(fett);
  return schrift;
}

void SetzeTextFarbe(QWidget *steuer, const QColor &farbe) {
  QPalette palette = steuer->palette();
  palette.setColor(QPalette::WindowText, farbe);
  palette.setColor(QPalette::ButtonText, farbe);
  palette.setColor(QPalette::Text, farbe);
  steuer->setPalette(palette);
}

// A caption wider than its button, centred, loses both ends; drawn from the left it keeps the end
// that matters, the head of the back button's arrow "<------". A caption that fits stays centred.
class TPfeilStil : public QProxyStyle {
public:
  // On the application's style, not on the desktop's that a bare proxy would load.
  TPfeilStil() : QProxyStyle(QApplication::style()->name()) {}

  void drawItemText(QPainter *maler, const QRect &rechteck, int ausrichtung, const QPalette &palette, bool aktiv,
                    const QString &text, QPalette::ColorRole rolle) const override {
    if ((ausrichtung & Qt::AlignHCenter) && maler->fontMetrics().horizontalAdvance(text) > rechteck.width())
      ausrichtung = (ausrichtung & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
    QProxyStyle::drawItemText(maler, rechteck, ausrichtung, palette, aktiv, text, rolle);
  }
};

template <typename T> T *Neu(QWidget *eltern, const char *name, QRect geometrie) {
  auto *steuer = new T(eltern);
  steuer->setObjectName(QLatin1String(name));
  steuer->setGeometry(geometrie);
  return steuer;
}

} // namespace

TMainForm::TMainForm(const QString &basisOrdner, QWidget *parent)
    : QWidget(parent), FPfade(TDatenOrdner::Aus(basisOrdner)), Anker(new TAnker(this)) {
  RichteAussehenEin();
  ZugangEinrichten();
  setObjectName(QStringLiteral("TMainForm"));
  setWindowTitle(QStringLiteral("Nummernfibel  - V. 1.0"));
  setWindowIcon(QIcon(QPixmap::fromImage(LayoutBilder::Symbol())));
  setFont(Schrift(13, false));
  // Set before any component exists, so that every one of them inherits the whole fixed palette and
  // none takes a colour from the desktop's theme.
  QPalette palette = FestePalette();
  palette.setColor(QPalette::Window, Silber);
  setPalette(palette);
  setAutoFillBackground(true);
  resize(LayoutClientBreite, LayoutClientHoehe);
  ErzeugeKomponenten();
  VerbindeHandler();
  ErzeugeTeile();
  FormCreate();
  // After the key hook: the watcher of the Alt key must see the key before the hook takes it.
  ZugriffEinrichten();
}

TMainForm::~TMainForm() { FormDestroy(); }

int TMainForm::Breite() const { return width() + RahmenBreite; }
int TMainForm::Hoehe() const { return height() + RahmenHoehe; }
void TMainForm::SetzeBreite(int aussenBreite) { resize(qMax(0, aussenBreite - RahmenBreite), height()); }
void TMainForm::SetzeHoehe(int aussenHoehe) { resize(width(), qMax(0, aussenHoehe - RahmenHoehe)); }

void TMainForm::ErzeugeKomponenten() {
  using K = TAnker;
  const QFont fett16 = Schrift(16, true);

  Bevel1 = Neu<QFrame>(this, "Bevel1", {20, 34, 715, 3});
  Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  Bevel2 = Neu<QFrame>(this, "Bevel2", {20, 71, 715, 3});
  Bevel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  Bevel3 = Neu<QFrame>(this, "Bevel3", {20, 76, 715, 33});
  Bevel3->setFrameStyle(QFrame::Box | QFrame::Sunken);

  ScrollBox1 = Neu<TScrollBox>(this, "ScrollBox1", {20, 110, 716, 555});
  ScrollBox1->setToolTip(QStringLiteral("Für die Bedeutung anzusehen, auf Buchstaben klicken."));
  ScrollBox1->setFocusPolicy(Qt::ClickFocus);

  Panel1 = Neu<TPanel>(this, "Panel1", {20, 213, 717, 441});
  Panel1->setFrameShadow(QFrame::Sunken);
  Panel1->SetzeFarbe(Qt::white);
  Panel1->hide();
  Label1 = Neu<QLabel>(Panel1, "Label1", {242, 5, 236, 20});
  Label1->setText(QStringLiteral("Welcher Landkreis bedeutet  "));
  Label1->setFont(fett16);
  SetzeTextFarbe(Label1, Grau);
  Label2 = Neu<QLabel>(Panel1, "Label2", {217, 143, 320, 20});
  Label2->setText(QStringLiteral("Klicken Sie hier auf die richtige Antwort:"));
  Label2->setFont(fett16);
  SetzeTextFarbe(Label2, Grau);
  // Labels size themselves to their text; the paint handler centres them.
  Label1->adjustSize();
  Label2->adjustSize();
  Image2 = Neu<TBild>(Panel1, "Image2", {224, 48, 313, 67});
  Image2->AutoSize = true;
  Image2->SetzeBild(LayoutBilder::GrossesKennzeichen(devicePixelRatioF()));
  Image1 = Neu<TBild>(Panel1, "Image1", {234, 70, 125, 105});
  Image1->AutoSize = true;
  Image1->Transparent = true;
  Image1->hide();
  Image4 = Neu<TBild>(Panel1, "Image4", {8, 376, 70, 38});
  Image4->Stretch = true;
  Image4->SetzeBild(LayoutBilder::KleinesKennzeichen(devicePixelRatioF()));
  Image4->hide();
  Image3 = Neu<TBild>(Panel1, "Image3", {23, 397, 40, 34});
  Image3->Stretch = true;
  Image3->Transparent = true;
  KarteBtn = Neu<QPushButton>(Panel1, "KarteBtn", {88, 380, 553, 40});
  KarteBtn->setText(QStringLiteral("Landkreis / kreisfreie Stadt anzeigen"));
  KarteBtn->setFont(fett16);
  KarteBtn->setFocusPolicy(Qt::ClickFocus); // skipped by the Tab key
  KarteBtn->setAccessibleDescription(QStringLiteral("Legt den Namen in die Zwischenablage und öffnet die Karte"));
  Listbox1 = Neu<QListWidget>(Panel1, "Listbox1", {8, 168, 705, 204});
  Listbox1->setFont(fett16);
  Listbox1->setAccessibleName(QStringLiteral("Mögliche Antworten"));

  ComboBox1 = Neu<QComboBox>(this, "ComboBox1", {79, 40, 656, 28});
  ComboBox1->setToolTip(QStringLiteral("Gruppe der Verkehrsschilder auswählen"));
  ComboBox1->addItems({QStringLiteral("Nummernfibel in Deutschland"), QStringLiteral("Nummernfibel in Österreich")});
  ComboBox1->setCurrentIndex(-1);
  // The list's own delegate sizes its items as menu entries and ignores the size hint.
  ComboBox1->setItemDelegate(new QStyledItemDelegate(ComboBox1));
  for (int i = 0; i < ComboBox1->count(); ++i)
    ComboBox1->setItemData(i, QSize(0, ComboZeilenHoehe), Qt::SizeHintRole);
  ComboBox1->setFont(fett16);
  ComboBox1->setAccessibleName(QStringLiteral("Gruppe der Kennzeichen"));

  Panel2 = Neu<TPanel>(this, "Panel2", {20, 84, 717, 125});
  Panel2->setFrameShadow(QFrame::Raised);
  Panel2->SetzeCaption(QStringLiteral("?"));
  Panel2->setFont(Schrift(40, true));
  SetzeTextFarbe(Panel2, Grau);
  Panel2->hide();
  RichtigImage = Neu<TBild>(Panel2, "RichtigImage", {377, 66, 206, 50});
  RichtigImage->AutoSize = true;
  RichtigImage->Transparent = true;
  RichtigImage->SetzeBild(LayoutBilder::Richtig(devicePixelRatioF()));
  RichtigImage->setAccessibleName(QStringLiteral("Richtig"));
  RichtigImage->hide();
  FalschImage = Neu<TBild>(Panel2, "FalschImage", {72, 66, 206, 50});
  FalschImage->AutoSize = true;
  FalschImage->Transparent = true;
  FalschImage->SetzeBild(LayoutBilder::Falsch(devicePixelRatioF()));
  FalschImage->setAccessibleName(QStringLiteral("Falsch"));
  FalschImage->hide();
  RichtigLabel = Neu<QLabel>(Panel2, "RichtigLabel", {0, 0, 0, 0});
  RichtigLabel->setWordWrap(true);
  RichtigLabel->setFont(Schrift(13, true));
  RichtigLabel->setMargin(3);
  RichtigLabel->setAutoFillBackground(true);
  SetzeTextFarbe(RichtigLabel, Qt::black);
  QPalette gruen = RichtigLabel->palette();
  gruen.setColor(QPalette::Window, QColor(198, 255, 198)); // the answer box's colour for a right answer
  RichtigLabel->setPalette(gruen);
  RichtigLabel->hide();
  Memo2 = Neu<QTextEdit>(Panel2, "Memo2", {1, 2, 713, 57});
  Memo2->setPlainText(QStringLiteral("Memo2"));
  Memo2->setFont(fett16);
  SetzeTextFarbe(Memo2, Qt::black);
  Memo2->setAccessibleName(QStringLiteral("Antwort"));

  // The practice boards take the place of both question panels.
  const QRect tafelPlatz = Panel2->geometry().united(Panel1->geometry());
  TagesendeTafel = Neu<QFrame>(this, "TagesendeTafel", tafelPlatz);
  static_cast<QFrame *>(TagesendeTafel)->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  QPalette weiss = TagesendeTafel->palette();
  weiss.setColor(QPalette::Window, Qt::white); // as the question's panel
  TagesendeTafel->setPalette(weiss);
  TagesendeLabel = new QLabel(TagesendeTafel);
  TagesendeLabel->setObjectName(QStringLiteral("TagesendeLabel"));
  TagesendeLabel->setFont(Schrift(16, false));
  TagesendeLabel->setTextFormat(Qt::RichText);
  TagesendeLabel->setWordWrap(true);
  TagesendeLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  TagesendeLabel->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  TagesendeLabel->setFocusPolicy(Qt::StrongFocus);
  VorausBtn = new QPushButton(QStringLiteral("Trotzdem &weiter üben"), TagesendeTafel);
  VorausBtn->setObjectName(QStringLiteral("VorausBtn"));
  VorausBtn->setFont(fett16);
  VorausBtn->setAccessibleDescription(QStringLiteral("Fragt Kennzeichen, die erst später wieder an der Reihe wären"));
  auto *tafelKnopfZeile = new QHBoxLayout;
  tafelKnopfZeile->addStretch();
  tafelKnopfZeile->addWidget(VorausBtn);
  tafelKnopfZeile->addStretch();
  auto *tafelAufbau = new QVBoxLayout(TagesendeTafel);
  tafelAufbau->setContentsMargins(30, 40, 30, 30);
  tafelAufbau->setSpacing(24);
  tafelAufbau->addWidget(TagesendeLabel);
  tafelAufbau->addLayout(tafelKnopfZeile);
  tafelAufbau->addStretch();
  TagesendeTafel->hide();
  Rueckfrage = new TRueckfrage(this);
  Rueckfrage->setObjectName(QStringLiteral("Rueckfrage"));
  Rueckfrage->setGeometry(tafelPlatz);
  Rueckfrage->setPalette(weiss);
  Rueckfrage->setAutoFillBackground(true);
  Rueckfrage->hide();

  ToolBar1 = Neu<TToolBar>(this, "ToolBar1", {0, 0, LayoutClientBreite, 36});
  ToolButton4 = Neu<QWidget>(ToolBar1, "ToolButton4", {0, 2, 20, 31});
  ZurueckBtn = Neu<QPushButton>(ToolBar1, "ZurueckBtn", {20, 2, 52, 31});
  ZurueckBtn->setText(QStringLiteral("<------"));
  ZurueckBtn->setToolTip(QStringLiteral("Zurück"));
  // The arrow of the caption means nothing read aloud.
  ZurueckBtn->setAccessibleName(QStringLiteral("Zurück zur Galerie"));
  ZurueckBtn->setFont(Schrift(16, false));
  auto *pfeilStil = new TPfeilStil;
  pfeilStil->setParent(ZurueckBtn);
  ZurueckBtn->setStyle(pfeilStil);
  SetzeTextFarbe(ZurueckBtn, Qt::black);
  Trenner = Neu<QWidget>(ToolBar1, "Trenner", {72, 2, 162, 31});
  ZeigDieAntwortBtn = Neu<QPushButton>(ToolBar1, "ZeigDieAntwortBtn", {234, 2, 241, 31});
  ZeigDieAntwortBtn->setIcon(QIcon(QPixmap::fromImage(LayoutBilder::AntwortGlyphe(devicePixelRatioF()))));
  ZeigDieAntwortBtn->setIconSize(QSize(240, 30));
  ZeigDieAntwortBtn->setFont(fett16);
  // Its label is only drawn in the glyph.
  ZeigDieAntwortBtn->setAccessibleName(QStringLiteral("Zeig mir die richtige Antwort"));
  // Hidden unless practising: the tool bar then lays out as it always did.
  NaechsteFrageBtn = Neu<QPushButton>(ToolBar1, "NaechsteFrageBtn", {475, 2, NaechsteFrageBreite, 31});
  NaechsteFrageBtn->setText(QStringLiteral("Nächste Frage"));
  NaechsteFrageBtn->setFont(fett16);
  SetzeTextFarbe(NaechsteFrageBtn, Qt::black);
  NaechsteFrageBtn->hide();
  ToolBar1->NeuAnordnen();

  StatusBar1 = Neu<TStatusBar>(this, "StatusBar1", {0, 671, LayoutClientBreite, 24});
  StatusBar1->setFont(QApplication::font()); // the system font, not the window's
  UebenCheckBox = new QCheckBox(QStringLiteral("Üben"), StatusBar1);
  UebenCheckBox->setObjectName(QStringLiteral("UebenCheckBox"));
  UebenCheckBox->setAccessibleName(QStringLiteral("Üben: Antwort erst nach der eigenen Wahl zeigen"));
  // Reached by Tab and Alt+Ü; a click leaves the focus with the gallery or the answers.
  UebenCheckBox->setFocusPolicy(Qt::TabFocus);
  UebenCheckBox->adjustSize();
  UebenCheckBox->move(StatusBar1->width() - UebenCheckBox->width() - StatusRand,
                      (StatusBar1->height() - UebenCheckBox->height()) / 2);
  PunkteLabel = new QLabel(StatusBar1);
  PunkteLabel->setObjectName(QStringLiteral("PunkteLabel"));
  PunkteLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  PunkteLabel->setGeometry(UebenCheckBox->x() - PunkteBreite - StatusRand, 0, PunkteBreite, StatusBar1->height());
  PunkteLabel->hide();
  EinrichtenBtn = new QPushButton(QStringLiteral("Einrichten …"), StatusBar1);
  EinrichtenBtn->setObjectName(QStringLiteral("EinrichtenBtn"));
  EinrichtenBtn->setAccessibleName(QStringLiteral("Üben einrichten und Übersicht"));
  EinrichtenBtn->setFocusPolicy(Qt::TabFocus);
  EinrichtenBtn->adjustSize();
  EinrichtenBtn->setGeometry(PunkteLabel->x() - EinrichtenBtn->width() - StatusRand, 1, EinrichtenBtn->width(),
                             StatusBar1->height() - 2);
  EinrichtenBtn->hide();
  FrageScrollBar = Neu<QScrollBar>(this, "FrageScrollBar", {0, 0, 0, 0});
  FrageScrollBar->setOrientation(Qt::Vertical);
  FrageScrollBar->setAccessibleName(QStringLiteral("Frage verschieben"));
  FrageScrollBar->hide();
  ProgressBar1 = Neu<QProgressBar>(this, "ProgressBar1", {4, 676, 150, 17});
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->hide();

  HilfeBtn = Neu<QPushButton>(this, "HilfeBtn", {20, 41, 52, 28});
  HilfeBtn->setText(QStringLiteral("?"));
  HilfeBtn->setToolTip(QStringLiteral("Hilfedatei öffnen"));
  HilfeBtn->setAccessibleName(QStringLiteral("Hilfe"));

  struct Bereichsknopf {
    QPushButton *&Knopf;
    TBereich Bereich;
    const char *Name;
    int Links;
    const char *Vorgelesen; // the caption's dash would be read as "minus"
  };
  const Bereichsknopf knoepfe[] = {{A_E_Button, TBereich::A_E, "A_E_Button", 80, "Bereich A bis E"},
                                   {F_J_Button, TBereich::F_J, "F_J_Button", 147, "Bereich F bis J"},
                                   {K_O_Button, TBereich::K_O, "K_O_Button", 216, "Bereich K bis O"},
                                   {P_T_Button, TBereich::P_T, "P_T_Button", 285, "Bereich P bis T"},
                                   {U_Z_Button, TBereich::U_Z, "U_Z_Button", 353, "Bereich U bis Z"}};
  // Buttons, not choices: none stays pressed, and the group only names each button's range.
  Bereichsknoepfe = new QButtonGroup(this);
  Bereichsknoepfe->setObjectName(QStringLiteral("Bereichsknoepfe"));
  Bereichsknoepfe->setExclusive(false);
  for (const Bereichsknopf &k : knoepfe) {
    k.Knopf = Neu<QPushButton>(this, k.Name, {k.Links, 80, 50, 25});
    k.Knopf->setText(BereichsName(k.Bereich));
    k.Knopf->setAccessibleName(QLatin1String(k.Vorgelesen));
    k.Knopf->setProperty(UmschalterEigenschaft, true);
    k.Knopf->hide();
    Bereichsknoepfe->addButton(k.Knopf, int(k.Bereich));
  }

  SucheButton = Neu<QPushButton>(this, "SucheButton", {455, 112, 31, 24});
  SucheButton->setText(QStringLiteral("S"));
  SucheButton->setToolTip(QStringLiteral("Suche starten"));
  SucheButton->setFont(Schrift(13, true));
  SucheButton->setAccessibleName(QStringLiteral("Kennzeichen suchen"));
  SucheButton->hide();
  SuchEdit = Neu<QLineEdit>(this, "SuchEdit", {682, 79, 50, 24});
  SuchEdit->setToolTip(QStringLiteral("Suchtext eingeben"));
  SuchEdit->setAccessibleName(QStringLiteral("Gesuchtes Kennzeichen"));
  SuchEdit->hide();

  MachPause1 = new TMachPause(this);
  MachPause1->setObjectName(QStringLiteral("MachPause1"));
  MachPause1->SetInterval(1000);
  Timer1 = new QTimer(this);
  Timer1->setObjectName(QStringLiteral("Timer1"));
  Timer1->setInterval(500);
  Timer1->start();

  // Every control paints its own background, so that a control's repaint is not a paint of the window
  // itself: the window's paint handler places widgets and moves the focus, which must not run in the
  // middle of a click on a button.
  for (QObject *kind : children())
    if (auto *steuer = qobject_cast<QWidget *>(kind))
      steuer->setAutoFillBackground(true);
  // A focused push button is pressed by Enter as well as by Space. Qt gives Enter only to auto-default
  // buttons, and makes a button that by itself only inside a dialog.
  for (QPushButton *knopf : findChildren<QPushButton *>())
    knopf->setAutoDefault(true);
  // Only F1 opens the help. On the question screen Enter moves the focus to the answer button and
  // then still reaches the button it was meant for: "?" would hand the help over a second time.
  HilfeBtn->setAutoDefault(false);
  // A press on a control without a click handler (a label, a bevel, the status bar) is no click on
  // the panel or the window beneath it.
  for (QWidget *eltern : {static_cast<QWidget *>(this), static_cast<QWidget *>(Panel1), static_cast<QWidget *>(Panel2),
                          static_cast<QWidget *>(ToolBar1)})
    for (QObject *kind : eltern->children())
      if (auto *steuer = qobject_cast<QWidget *>(kind))
        steuer->setAttribute(Qt::WA_NoMousePropagation);

  // Anchors, as the layout gives them; L, T is the default and needs no rule.
  Anker->Setze(Bevel1, K::L | K::T | K::R);
  Anker->Setze(Bevel2, K::L | K::T | K::R);
  Anker->Setze(Bevel3, K::L | K::T | K::R);
  Anker->Setze(ScrollBox1, K::L | K::T | K::R | K::B);
  Anker->Setze(Panel1, K::L | K::T | K::R | K::B);
  Anker->Setze(Label1, K::T);
  Anker->Setze(Label2, K::T);
  Anker->Setze(Image1, K::L | K::T | K::R);
  Anker->Setze(Image4, K::L | K::B);
  Anker->Setze(Image3, K::L | K::B);
  Anker->Setze(KarteBtn, K::L | K::R | K::B);
  Anker->Setze(Listbox1, K::L | K::T | K::R | K::B);
  Anker->Setze(ComboBox1, K::L | K::T | K::R);
  Anker->Setze(Panel2, K::L | K::T | K::R);
  Anker->Setze(Memo2, K::L | K::T | K::R);
  Anker->Setze(ProgressBar1, K::L | K::B);
  Anker->Setze(SuchEdit, K::T | K::R);
  Anker->Setze(UebenCheckBox, K::T | K::R);
  Anker->Setze(PunkteLabel, K::T | K::R);
  Anker->Setze(EinrichtenBtn, K::T | K::R);
  Anker->Setze(TagesendeTafel, K::L | K::T | K::R | K::B);
  Anker->Setze(Rueckfrage, K::L | K::T | K::R | K::B);

  // Tab order of the layout.
  QWidget::setTabOrder(ScrollBox1, ComboBox1);
  QWidget::setTabOrder(ComboBox1, HilfeBtn);
  QWidget::setTabOrder(HilfeBtn, Listbox1);
  QWidget::setTabOrder(Listbox1, Memo2);
  QWidget::setTabOrder(Memo2, ZeigDieAntwortBtn);
  QWidget::setTabOrder(ZeigDieAntwortBtn, NaechsteFrageBtn);
  QWidget::setTabOrder(NaechsteFrageBtn, ZurueckBtn);
  QWidgetList folge;
  for (QAbstractButton *knopf : Bereichsknoepfe->buttons())
    folge << knopf;
  folge << SucheButton << SuchEdit << EinrichtenBtn << UebenCheckBox;
  QWidget *vorher = ZurueckBtn;
  for (QWidget *w : std::as_const(folge)) {
    QWidget::setTabOrder(vorher, w);
    vorher = w;
  }
}

void TMainForm::VerbindeHandler() {
  connect(Panel1, &TPanel::Klick, this, &TMainForm::Panel1Click);
  connect(Image1, &TBild::Klick, this, &TMainForm::Image1Click);
  connect(Image2, &TBild::Klick, this, &TMainForm::Image2Click);
  connect(ToolBar1, &TToolBar::Klick, this, &TMainForm::ToolBar1Click);
  connect(ZurueckBtn, &QPushButton::clicked, this, &TMainForm::ZurueckBtnClick);
  connect(ZeigDieAntwortBtn, &QPushButton::clicked, this, &TMainForm::ZeigDieAntwortBtnClick);
  connect(KarteBtn, &QPushButton::clicked, this, &TMainForm::KarteBtnClick);
  connect(HilfeBtn, &QPushButton::clicked, this, &TMainForm::HilfeBtnClick);
  connect(Bereichsknoepfe, &QButtonGroup::idClicked, this, [this](int bereich) { WaehleBereich(TBereich(bereich)); });
  connect(SucheButton, &QPushButton::clicked, this, &TMainForm::SucheButtonClick);
  // Only a choice by the user is a change; selecting from the program raises nothing.
  connect(ComboBox1, QOverload<int>::of(&QComboBox::activated), this, [this](int) { ComboBox1Change(); });
  connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
  connect(FrageScrollBar, &QScrollBar::valueChanged, this, &TMainForm::LegeFrageVersatz);
  connect(EinrichtenBtn, &QPushButton::clicked, this, &TMainForm::EinrichtenBtnClick);
  connect(VorausBtn, &QPushButton::clicked, this, &TMainForm::VorausBtnClick);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event) {
  if (AppMessage(watched, event))
    return true;
  return QWidget::eventFilter(watched, event);
}

void TMainForm::resizeEvent(QResizeEvent *event) {
  QWidget::resizeEvent(event);
  // The tool bar and the status bar are aligned to the top and the bottom edge.
  ToolBar1->setGeometry(0, 0, width(), ToolBar1->height());
  StatusBar1->setGeometry(0, height() - StatusBar1->height(), width(), StatusBar1->height());
  GroesseGeaendert();
  FormResize();
}

// Until the first paint's set-up has run (queued by the show) a paint only shows the window as built.
void TMainForm::paintEvent(QPaintEvent *) {
  if (!FErstesZeichnen)
    FormPaint();
}

void TMainForm::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  FSchonGezeigt = true;
  FGalerie->Oeffne();
  // The one-time set-up must be done before the user can act, not only when a paint arrives; it
  // runs from the event loop, right after the window has been painted once.
  if (FErstesZeichnen)
    QMetaObject::invokeMethod(this, &TMainForm::ErsteEinrichtung, Qt::QueuedConnection);
}

void TMainForm::closeEvent(QCloseEvent *event) {
  FormClose();
  QWidget::closeEvent(event);
}

void TMainForm::changeEvent(QEvent *event) {
  if (event->type() == QEvent::WindowStateChange)
    FensterBefehl(static_cast<QWindowStateChangeEvent *>(event)->oldState(), windowState());
  QWidget::changeEvent(event);
}

void TMainForm::mousePressEvent(QMouseEvent *event) { event->accept(); }

void TMainForm::mouseReleaseEvent(QMouseEvent *event) {
  if (IstKlick(this, event))
    FormClick();
}
