// Judging a chosen answer, the right answer on request, the map button and the placement timer.
#include "app/tmainform.h"

#include "widgets/bausteine.h"
#include "widgets/meldung.h"
#include "widgets/zugang.h"
#include "data/eintrag.h"
#include "data/vorlagen.h"
#include "quiz/quizregeln.h"
#include "widgets/Machpaus.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTextEdit>
#include <QUrl>

namespace {
const QColor RichtigFarbe(198, 255, 198);
const QColor FalschFarbe(249, 84, 43);
constexpr int KartenPause = 100;   // lets the clipboard settle before the browser starts
constexpr int ErgebnisAbstand = 5; // between the answer box and the result picture

void SetzeHintergrund(QTextEdit *memo, const QColor &farbe) {
  QPalette palette = memo->palette();
  palette.setColor(QPalette::Base, farbe);
  memo->setPalette(palette);
}

// The judgement is otherwise only a colour and a picture. The answer box and the shown picture
// carry it as text (the picture's own name, "Richtig" or "Falsch"), and an alert makes a screen
// reader speak it at once rather than when the user happens to reach the box.
void MeldeUrteil(QTextEdit *memo, TBild *bild, const QString &text) {
  const QString beschreibung = AnzeigeText(text);
  memo->setAccessibleName(bild->accessibleName());
  memo->setAccessibleDescription(beschreibung);
  bild->setAccessibleDescription(beschreibung);
  SageAn(bild, QAccessible::Alert);
}

// A screen reader speaks what has the focus, and the focus stays on the answers: the chosen entry's
// own name carries the judgement ("Richtig: Hamburg"), and only that entry's, so that the next
// entry the arrows reach is read plainly until it is judged in its turn.
void NenneUrteil(QListWidget *liste, const QString &urteil) {
  const QListWidgetItem *gewaehlt = liste->currentItem();
  for (int i = 0; i < liste->count(); ++i) {
    QListWidgetItem *eintrag = liste->item(i);
    const QString name = eintrag == gewaehlt ? urteil + QStringLiteral(": ") + eintrag->text() : QString();
    if (eintrag->data(Qt::AccessibleTextRole).toString() == name)
      continue;
    eintrag->setData(Qt::AccessibleTextRole, name.isEmpty() ? QVariant() : QVariant(name));
    QAccessibleEvent geaendert(liste, QAccessible::NameChanged);
    geaendert.setChild(i);
    SageAn(geaendert);
  }
}
} // namespace

void TMainForm::ListBox1Click() {
  FalschImage->hide();
  RichtigImage->hide();
  Panel2->SetzeCaption(QString());

  const QListWidgetItem *gewaehlt = Listbox1->currentItem();
  if (!gewaehlt)
    return;
  const QString eintrag = gewaehlt->data(EintragRolle).toString();
  const std::optional<TAntwort> antwort = ZerlegeAntwort(eintrag);
  if (!antwort)
    return;
  if (FrageOffen)
    ZaehleErsteWahl(KennzeichenEintrag::IstRichtig(antwort->Bildfeld, BildDatei));
  // An entry without a picture name keeps the one chosen before.
  if (!antwort->Bildname.isEmpty())
    LetzterBildname = antwort->Bildname;

  Memo2->hide();
  Memo2->setPlainText(AntwortAnzeige(antwort->Text));
  QTextCursor anfang = Memo2->textCursor();
  anfang.movePosition(QTextCursor::Start);
  Memo2->setTextCursor(anfang);
  Memo2->show();
  KarteBtn->show();

  const int gruppe = Gruppe();
  KartenName = KennzeichenEintrag::KartenName(eintrag, gruppe);
  // The clipboard gets the whole name; the caption and the name read aloud a part that can be laid out.
  KarteBtn->setText(AnzeigeText(KarteBtnText(KartenName, Breite())));
  // The caption may drop what the button does; the name read aloud never does.
  KarteBtn->setAccessibleName(KarteBtnName(AnzeigeText(KartenName)));

  const TPlatzierung platz = PlatzierungUnterListe(Listbox1->y() + Listbox1->height(), gruppe);
  KarteBtn->move(KarteBtn->x(), platz.KarteBtnOben);
  Image4->move(Image4->x(), platz.Image4Oben);
  Image3->setGeometry(platz.Image3Links, platz.Image3Oben, Image3->width(), platz.Image3Hoehe);

  KarteBtn->setEnabled(true);
  Image3->hide();
  Image4->hide();

  if (KennzeichenEintrag::IstRichtig(antwort->Bildfeld, BildDatei)) {
    SetzeHintergrund(Memo2, RichtigFarbe);
    RichtigImage->show();
    MeldeUrteil(Memo2, RichtigImage, antwort->Text);
    NenneUrteil(Listbox1, RichtigImage->accessibleName());
    Suchtext = antwort->Code;
  } else {
    SetzeHintergrund(Memo2, FalschFarbe);
    FalschImage->show();
    MeldeUrteil(Memo2, FalschImage, antwort->Text);
    NenneUrteil(Listbox1, FalschImage->accessibleName());
    const QString vorlage = Pfade.Datei(KleineVorlage(gruppe, LetzterBildname));
    if (!Image4->LadeDatei(vorlage)) {
      ZeigeInformation(this, BildFehlerMeldung(vorlage));
      return;
    }
    // The chosen code's own picture lies over the small plate; without it neither is shown.
    const QString codeBild = AktuellerOrdner + QLatin1Char('/') + LetzterBildname;
    if (!LetzterBildname.isEmpty() && QFileInfo(codeBild).isFile()) {
      if (!Image3->LadeDatei(codeBild)) {
        ZeigeInformation(this, BildFehlerMeldung(codeBild));
        return;
      }
      Image3->show();
      Image4->show();
    }
  }

  const int zeilen = AngezeigteZeilen(Memo2->toPlainText(), Memo2->font(), Memo2->contentsRect().width(),
                                      Memo2->document()->documentMargin());
  Memo2->resize(Memo2->width(), Memo2Hoehe(zeilen, Memo2->height()));
  const int ergebnisOben = Memo2->y() + Memo2->height() + ErgebnisAbstand;
  FalschImage->move(FalschImage->x(), ergebnisOben);
  RichtigImage->move(RichtigImage->x(), ergebnisOben);
}

void TMainForm::ZeigDieAntwortBtnClick() {
  // Asked for before any choice, the answer was not known.
  if (FrageOffen)
    ZaehleErsteWahl(false);
  for (int i = 0; i < Listbox1->count(); ++i) {
    if (Listbox1->item(i)->data(EintragRolle).toString().compare(RichtigeZeile, Qt::CaseInsensitive) != 0)
      continue;
    ListeDurchProgramm = true;
    Listbox1->setCurrentRow(i);
    ListeDurchProgramm = false;
    Listbox1->scrollToItem(Listbox1->item(i));
    ListBox1Click();
    return;
  }
}

void TMainForm::KarteBtnClick() {
  QGuiApplication::clipboard()->setText(KartenName);
  MachPause1->PauseFor(KartenPause);
  // A fatal message during the wait ends the program: it opens nothing any more.
  if (Abgebrochen())
    return;
  QDesktopServices::openUrl(KartenUrl(KartenAdresse));
}

void TMainForm::Timer1Timer() {
  FalschImage->move(ErgebnisBildLinks(Panel2->x(), Panel2->width(), FalschImage->width()), FalschImage->y());
  RichtigImage->move(ErgebnisBildLinks(Panel2->x(), Panel2->width(), RichtigImage->width()), RichtigImage->y());
  // After the map button the arrow keys move through the answers again.
  if (KarteBtn->hasFocus())
    Listbox1->setFocus();
}
