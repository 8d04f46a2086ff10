// The parts that own the screens' state, wired to each other and to the window's components, and the
// window's handlers that forward to them.
#include "app/tmainform.h"

#include "gallery/galerie.h"
#include "quiz/frage.h"
#include "quiz/quizregeln.h"
#include "quiz/rueckfrage.h"
#include "quiz/ueben.h"
#include "quiz/uebungsregeln.h"
#include "search/suche.h"
#include "search/tscrollbox.h"
#include "widgets/Machpaus.h"
#include "widgets/bausteine.h"
#include "widgets/meldung.h"
#include "widgets/oeffnen.h"
#include "widgets/zugang.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QListWidgetItem>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextEdit>
#include <QUrl>

namespace {
constexpr int KartenPause = 100; // lets the clipboard settle before the browser starts
} // namespace

void TMainForm::ErzeugeTeile() {
  FFrage = new TFrage(
      this, {Panel2, Label1, Image1, Image2, Image3, Image4, KarteBtn, Listbox1, Memo2, RichtigImage, FalschImage,
       RichtigLabel},
      FPfade, [this] { return Breite(); });
  FSuche = new TSuche(this, SuchEdit,
                      {[this] { return Gruppe(); },
                       [this](TBereich bereich) -> std::optional<int> {
                         // A German range is brought up by its button's handler, which marks the button too.
                         if (Bereichsknoepfe->button(int(bereich)))
                           WaehleBereich(bereich);
                         else {
                           FGalerie->SetzeOrdner(FPfade.Ordner(bereich));
                           LadeDieBilder();
                         }
                         if (!FGalerie->Gefunden())
                           return std::nullopt;
                         SetzeKachelCursorAufBild(FGalerie->GefundenIndex());
                         return FGalerie->GefundenIndex();
                       },
                       [this] { return FAbgebrochen; }, [this](const QString &text) { Ansage->Sage(text); }});
  FGalerie = new TGalerie(this, ScrollBox1, ProgressBar1, StatusBar1);
  // The button is hidden on the gallery screen, where Alt+N starts all the same: one shortcut for
  // both screens, since a mnemonic of the button beside it would make the key ambiguous.
  NaechsteFrageTaste = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_N), this);
  NaechsteFrageTaste->setEnabled(false);
  FUebung = new TUeben(this, {UebenCheckBox, PunkteLabel, NaechsteFrageBtn, NaechsteFrageTaste, Listbox1});

  connect(FGalerie, &TGalerie::KachelGedrueckt, this, [this](const TKachel &kachel, Qt::MouseButton knopf) {
    TKachel gedrueckt = kachel;
    BildMouseDown(&gedrueckt, knopf);
  });
  connect(FFrage, &TFrage::AntwortVerlangt, this, [this] {
    const bool zaehlt = FUebung->FrageOffen();
    FUebung->AntwortVerlangt();
    if (zaehlt)
      Ansage->Sage(PunkteText(FUebung->PunkteRichtig(), FUebung->PunkteGefragt()));
  });
  connect(FFrage, &TFrage::Beurteilt, this, [this](bool richtig, const QString &code) {
    const bool zaehlt = FUebung->FrageOffen();
    FUebung->Beurteilt(richtig);
    // The focus stays on the answers, and a screen reader says no more than the key: the counted
    // choice, the right answer to a wrong one and the score are told.
    if (zaehlt && !richtig)
      FFrage->ZeigeRichtigeDazu();
    if (zaehlt)
      Ansage->Sage(UebungsUrteil(richtig));
    // The gallery frames the plate of a right answer when it comes back.
    if (richtig)
      FSuche->SetzeSuchtext(code);
  });
  connect(FFrage, &TFrage::Fatal, this, &TMainForm::FatalerFehler);
  connect(Rueckfrage, &TRueckfrage::Beurteilt, this, [this](bool richtig, const QString &, bool erste) {
    if (!erste || !FUebung->FrageOffen())
      return;
    FUebung->Beurteilt(richtig);
  });
  Rueckfrage->SetzeNachErsterWahl([this] { return PunkteText(FUebung->PunkteRichtig(), FUebung->PunkteGefragt()); });
  // Queued: the write happens inside a judgement or a click, which a modal box must not interrupt.
  connect(
      FUebung, &TUeben::NichtGespeichert, this,
      [this](const QString &meldung) {
        if (!FAbgebrochen)
          ZeigeInformation(this, meldung);
      },
      Qt::QueuedConnection);
  connect(UebenCheckBox, &QCheckBox::clicked, this, &TMainForm::UebenCheckBoxClick);
  connect(NaechsteFrageBtn, &QPushButton::clicked, this, &TMainForm::NaechsteFrageBtnClick);
  connect(NaechsteFrageTaste, &QShortcut::activated, this, &TMainForm::NaechsteFrageBtnClick);
}

void TMainForm::BildMouseDown(TKachel *Sender, Qt::MouseButton Button) {
  // A tile outside the current gallery (freed or stale) has no picture to ask for.
  const QStringList &bildPfade = FGalerie->BildPfade();
  if (!Sender || Sender->Tag() < 0 || Sender->Tag() >= bildPfade.size())
    return;
  // A copy: a load during a message box of the question would replace the list.
  const QString bildPfad = bildPfade.at(Sender->Tag());
  OeffneFrage(bildPfad, Button);
}

void TMainForm::OeffneFrage(const QString &bildPfad, Qt::MouseButton Button) {
  // The middle button sets up the question (and so the plate the gallery marks) without leaving it.
  const bool zeigen = Button == Qt::LeftButton || Button == Qt::RightButton;
  // Only a question the learner sees is a practice question; a new one ends the last unanswered.
  const bool uebung = Ueben() && zeigen;
  FUebung->SchliesseFrage();

  if (zeigen) {
    ZeigeFrageSchirm();
    Memo2->hide();
    Image1->show();
    Panel1->show();
    Panel2->show();
    Panel2->SetzeCaption(QStringLiteral("?"));
    ZeigDieAntwortBtn->show();
    FalschImage->hide();
    RichtigImage->hide();
    // The arrow keys belong to the answers from the start. The question opens on the press, so the
    // paint's focus rule, which waits for the buttons to be up, cannot be relied on; and hiding the
    // gallery has just handed the focus along the tab chain to the group list.
    Listbox1->setFocus();
    PasseFrageAn();
    // Where the panel scrolls, the answers, which have the keys, come into sight, and above them as much
    // of the plate as fits.
    const QRect liste = Listbox1->geometry();
    FrageScrollBar->setValue(qMin(liste.top(), liste.bottom() + 1 - FrageScrollBar->pageStep()));
  }
  if (!FFrage->Oeffne(bildPfad, zeigen, uebung, Gruppe(), FGalerie->AktuellerOrdner(),
                      uebung ? FUebung->Handvoll() : 0) ||
      !uebung)
    return;
  FUebung->FrageGestellt(Gruppe(), FFrage->BildDatei());
  ZeigeUebungsteile();
  // The question is otherwise only painted: a screen reader hears the list take the focus.
  Ansage->Sage(Label1->text().simplified());
}

QString TMainForm::UebungsUrteil(bool richtig) const {
  const QListWidgetItem *gewaehlt = Listbox1->currentItem();
  const QString eintrag = gewaehlt ? gewaehlt->text() : QString();
  QString text = richtig ? QStringLiteral("Richtig: ") + eintrag : QStringLiteral("Falsch: ") + eintrag;
  if (!richtig)
    text += QStringLiteral(". Richtig wäre ") + FFrage->RichtigeAntwort();
  return text + QStringLiteral(". ") + PunkteText(FUebung->PunkteRichtig(), FUebung->PunkteGefragt());
}

void TMainForm::ListBox1Click() { FFrage->ListBox1Click(); }
void TMainForm::ZeigDieAntwortBtnClick() { FFrage->ZeigDieAntwortBtnClick(); }

void TMainForm::KarteBtnClick() {
  FFrage->KopiereKartenName();
  MachPause1->PauseFor(KartenPause);
  // A fatal message during the wait ends the program: it opens nothing any more.
  if (FAbgebrochen)
    return;
  OeffneAdresse(this, KartenUrl(FKartenAdresse));
}

void TMainForm::Timer1Timer() { FFrage->Takt(); }

bool TMainForm::Ueben() const { return FUebung->Ueben(); }

void TMainForm::UebenCheckBoxClick() {
  if (FUebung->UebenCheckBoxClick())
    ZeigDieAntwortBtnClick();
  // The day's end and the reverse question belong to practice alone: without it the gallery returns.
  if (!Ueben() && SichtbareTafel())
    ZurScrollBoxUmschalten();
  ZeigeUebungsteile();
  Ansage->Sage(Ueben() ? QStringLiteral("Üben eingeschaltet") : QStringLiteral("Üben ausgeschaltet"));
}

void TMainForm::ZeigeUebungsteile() {
  FUebung->ZeigeUebungsteile(!GalerieSichtbar() && !ZurueckBtn->isHidden());
  EinrichtenBtn->setVisible(Ueben());
  if (!Ueben()) {
    FGalerie->SetzeMarkenQuelle({});
    return;
  }
  FGalerie->SetzeMarkenQuelle([this](const QString &bild) {
    const int kasten = FUebung->Kasten(Gruppe(), bild);
    return TKachelMarke{kasten, KastenAnzahl, KastenFarbe(kasten), KastenText(kasten)};
  });
}

void TMainForm::SucheButtonClick() { FSuche->SucheButtonClick(); }
void TMainForm::SuchEditChange() { FSuche->SuchEditChange(); }
void TMainForm::SuchEditKeyDown(int Key) { FSuche->SuchEditKeyDown(Key); }
void TMainForm::SuchEditKeyUp(int Key, const QString &TastenText) { FSuche->SuchEditKeyUp(Key, TastenText); }

void TMainForm::SetzeKachelCursorAufBild(int bild) {
  const QVector<TKachel> &kacheln = FGalerie->Kacheln();
  for (int i = 0; i < kacheln.size(); ++i)
    if (kacheln.at(i).Tag() == bild) {
      FGalerie->Ansicht()->SetzeCursor(i);
      return;
    }
}

void TMainForm::OeffneKachelCursor() {
  // A load in progress owns the tile list.
  if (!GalerieSichtbar() || LaedtBilder() || FAbgebrochen)
    return;
  const int index = FGalerie->Ansicht()->Cursor();
  if (index < 0 || index >= FGalerie->Kacheln().size())
    return;
  // Opened as a left click on the tile would.
  TKachel kachel = FGalerie->Kacheln().at(index);
  BildMouseDown(&kachel, Qt::LeftButton);
}

void TMainForm::BewegeKachelCursor(int taste) {
  if (!GalerieSichtbar() || LaedtBilder() || FAbgebrochen)
    return;
  TGalerieAnsicht *ansicht = FGalerie->Ansicht();
  const int index = NaechsterKachelCursor(ansicht->Cursor(), ansicht->Anzahl(), ansicht->Spalten(), taste);
  if (index < 0)
    return;
  ansicht->SetzeCursor(index);
  ansicht->ZeigeCursor(true);
  ScrollBox1->setFocus();
  const int oben = KachelPosition(index, ansicht->Spalten()).y();
  const int position = ScrollBox1->Position();
  if (oben - KachelAbstand < position)
    ScrollBox1->SetzePosition(oben - KachelAbstand);
  else if (oben + KachelGroesse + KachelAbstand > position + ScrollBox1->ClientHoehe())
    ScrollBox1->SetzePosition(oben + KachelGroesse + KachelAbstand - ScrollBox1->ClientHoehe());
  // The tiles are painted: the screen reader hears the code, and in practice mode the box.
  const QString beschreibung = ansicht->KachelBeschreibung(index);
  Ansage->Sage(ansicht->KachelName(index) + (beschreibung.isEmpty() ? QString() : QStringLiteral(", ") + beschreibung));
}
