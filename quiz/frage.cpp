// The question for one plate: filled from the range's text file, each chosen entry judged.
#include "quiz/frage.h"

#include "data/eintrag.h"
#include "data/gruppen.h"
#include "data/textdatei.h"
#include "data/vorlagen.h"
#include "quiz/quizregeln.h"
#include "quiz/uebungsregeln.h"
#include "widgets/bausteine.h"
#include "widgets/meldung.h"
#include "widgets/zugang.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStyledItemDelegate>
#include <QTextEdit>

namespace {

// The list scrolls sideways over this width, whatever the entries' lengths.
constexpr int ListenBreite = 1700;

// Every row is as wide as the sideways scroll range and as high as the layout's item height.
class TEintragDelegate : public QStyledItemDelegate {
public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const override {
    return {ListenBreite, ListenZeilenHoehe};
  }
};

const QColor RichtigFarbe(198, 255, 198);
const QColor FalschFarbe(249, 84, 43);
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

TFrage::TFrage(QWidget *fenster, const TFrageSteuer &steuer, const TDatenOrdner &pfade,
               std::function<int()> fensterBreite)
    : QObject(fenster), FFenster(fenster), S(steuer), FPfade(pfade), FFensterBreite(std::move(fensterBreite)) {
  S.Listbox1->setItemDelegate(new TEintragDelegate(S.Listbox1));
  S.Listbox1->setUniformItemSizes(true);
  // Long descriptions are read by scrolling sideways, not cut short.
  S.Listbox1->setTextElideMode(Qt::ElideNone);
  S.Listbox1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  S.Listbox1->setSelectionMode(QAbstractItemView::SingleSelection);
  // A change of the selection by mouse or keyboard judges the entry; a focus change alone does not.
  connect(S.Listbox1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    QListWidgetItem *aktuell = S.Listbox1->currentItem();
    if (FListeDurchProgramm || !aktuell)
      return;
    if (!aktuell->isSelected()) {
      // Ctrl+click would empty the list's selection while the answer box still judges the entry; a
      // single-choice list keeps its choice.
      if (S.Listbox1->selectedItems().isEmpty()) {
        FListeDurchProgramm = true;
        aktuell->setSelected(true);
        FListeDurchProgramm = false;
      }
      return;
    }
    ListBox1Click();
  });
  S.Memo2->setReadOnly(true);
  S.Memo2->setLineWrapMode(QTextEdit::WidgetWidth);
  // The classic answer box has no scroll bars; its height follows the number of wrapped lines.
  S.Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  S.Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

bool TFrage::Oeffne(const QString &bildPfad, bool zeigen, bool ohneAntwort, int gruppe, const QString &ordner,
                    int handvoll) {
  FGruppe = gruppe;
  if (S.RichtigLabel)
    S.RichtigLabel->hide();
  FOrdner = ordner;
  if (zeigen && !S.Image1->LadeDatei(bildPfad)) {
    ZeigeInformation(FFenster, BildFehlerMeldung(bildPfad));
    return false;
  }

  FBildDatei = QFileInfo(bildPfad).fileName();
  // The plate's picture is its code to whoever cannot see it.
  if (zeigen)
    S.Image1->setAccessibleName(QStringLiteral("Kennzeichen ") + FrageCode(FBildDatei));
  if (GruppeNr(gruppe)) {
    // An Austrian name without a state suffix keeps the plate shown before.
    const QString vorlage = GrosseVorlage(gruppe, FBildDatei);
    if (!vorlage.isEmpty() && !S.Image2->LadeDatei(FPfade.Datei(vorlage))) {
      ZeigeInformation(FFenster, BildFehlerMeldung(FPfade.Datei(vorlage)));
      return false;
    }
    const QString textDatei = WaehleTextDatei(gruppe, FOrdner, FBildDatei);
    if (textDatei.isEmpty()) {
      // Without a text file there is nothing to ask: the previous range's districts would mislead.
      FMemo1.clear();
    } else if (const std::optional<QStringList> zeilen = LadeZeilen(textDatei)) {
      FMemo1 = *zeilen;
    } else {
      // A file that cannot be read whole (beyond the bounds, unreadable, no regular file) is as good as
      // missing: the question screen is never left half built.
      emit Fatal(TextDateiFehltMeldung(textDatei));
      return false;
    }
  }

  const TFrageListe liste = BaueFrageListe(FMemo1, FBildDatei);
  FMemo1 = liste.Eintraege;
  // A new question never judges the entry of an earlier one.
  FRichtigeZeile = liste.RichtigeZeile;
  // An item's text is the description alone, which is also what a screen reader reads: the picture
  // field would give the answer away. The whole entry, which the answer check takes apart, stays
  // in the item's data.
  const QStringList eintraege =
      SortiereEintraege(handvoll > 0 && !liste.RichtigeZeile.isEmpty()
                            ? WaehleAntworten(liste.Eintraege, liste.RichtigeZeile, FBildDatei, handvoll,
                                              *QRandomGenerator::global())
                            : liste.Eintraege);
  QStringList beschreibungen;
  beschreibungen.reserve(eintraege.size());
  for (const QString &eintrag : eintraege)
    beschreibungen.append(AnzeigeText(SichtbarerText(eintrag)));
  FListeDurchProgramm = true;
  S.Listbox1->clear();
  S.Listbox1->addItems(beschreibungen);
  for (int i = 0; i < eintraege.size(); ++i)
    S.Listbox1->item(i)->setData(EintragRolle, eintraege.at(i));
  FListeDurchProgramm = false;

  const QString frage = FrageText(gruppe, FBildDatei);
  if (!frage.isEmpty()) {
    S.Label1->setText(frage);
    S.Label1->adjustSize();
  }

  if (!ohneAntwort) {
    ZeigDieAntwortBtnClick();
    return true;
  }
  // Nothing of the answer until the learner has chosen: no entry selected, the "?" stays, no map.
  FListeDurchProgramm = true;
  S.Listbox1->clearSelection();
  FListeDurchProgramm = false;
  S.Memo2->clear();
  S.KarteBtn->hide();
  S.Image3->hide();
  S.Image4->hide();
  return true;
}

void TFrage::ListBox1Click() {
  S.FalschImage->hide();
  S.RichtigImage->hide();
  S.Panel2->SetzeCaption(QString());

  const QListWidgetItem *gewaehlt = S.Listbox1->currentItem();
  if (!gewaehlt)
    return;
  const QString eintrag = gewaehlt->data(EintragRolle).toString();
  const std::optional<TAntwort> antwort = ZerlegeAntwort(eintrag);
  if (!antwort)
    return;
  const bool richtig = KennzeichenEintrag::IstRichtig(antwort->Bildfeld, FBildDatei);
  emit Beurteilt(richtig, antwort->Code);
  // An entry without a picture name keeps the one chosen before.
  if (!antwort->Bildname.isEmpty())
    FLetzterBildname = antwort->Bildname;

  S.Memo2->hide();
  S.Memo2->setPlainText(AntwortAnzeige(antwort->Text));
  QTextCursor anfang = S.Memo2->textCursor();
  anfang.movePosition(QTextCursor::Start);
  S.Memo2->setTextCursor(anfang);
  S.Memo2->show();
  S.KarteBtn->show();

  const int gruppe = FGruppe;
  FKartenName = KennzeichenEintrag::KartenName(eintrag, gruppe);
  // The clipboard gets the whole name; the caption and the name read aloud a part that can be laid out.
  S.KarteBtn->setText(AnzeigeText(KarteBtnText(FKartenName, FFensterBreite())));
  // The caption may drop what the button does; the name read aloud never does.
  S.KarteBtn->setAccessibleName(KarteBtnName(AnzeigeText(FKartenName)));

  const TPlatzierung platz = PlatzierungUnterListe(S.Listbox1->y() + S.Listbox1->height(), gruppe);
  S.KarteBtn->move(S.KarteBtn->x(), platz.KarteBtnOben);
  S.Image4->move(S.Image4->x(), platz.Image4Oben);
  S.Image3->setGeometry(platz.Image3Links, platz.Image3Oben, S.Image3->width(), platz.Image3Hoehe);

  S.KarteBtn->setEnabled(true);
  S.Image3->hide();
  S.Image4->hide();
  if (richtig && S.RichtigLabel)
    S.RichtigLabel->hide();

  if (richtig) {
    SetzeHintergrund(S.Memo2, RichtigFarbe);
    S.RichtigImage->show();
    MeldeUrteil(S.Memo2, S.RichtigImage, antwort->Text);
    NenneUrteil(S.Listbox1, S.RichtigImage->accessibleName());
  } else {
    SetzeHintergrund(S.Memo2, FalschFarbe);
    S.FalschImage->show();
    MeldeUrteil(S.Memo2, S.FalschImage, antwort->Text);
    NenneUrteil(S.Listbox1, S.FalschImage->accessibleName());
    const QString vorlage = FPfade.Datei(KleineVorlage(gruppe, FLetzterBildname));
    if (!S.Image4->LadeDatei(vorlage)) {
      ZeigeInformation(FFenster, BildFehlerMeldung(vorlage));
      return;
    }
    // The chosen code's own picture lies over the small plate; without it neither is shown.
    const QString codeBild = FOrdner + QLatin1Char('/') + FLetzterBildname;
    if (!FLetzterBildname.isEmpty() && QFileInfo(codeBild).isFile()) {
      if (!S.Image3->LadeDatei(codeBild)) {
        ZeigeInformation(FFenster, BildFehlerMeldung(codeBild));
        return;
      }
      S.Image3->show();
      S.Image4->show();
    }
  }

  const int zeilen = AngezeigteZeilen(S.Memo2->toPlainText(), S.Memo2->font(), S.Memo2->contentsRect().width(),
                                      S.Memo2->document()->documentMargin());
  S.Memo2->resize(S.Memo2->width(), Memo2Hoehe(zeilen, S.Memo2->height()));
  const int ergebnisOben = S.Memo2->y() + S.Memo2->height() + ErgebnisAbstand;
  S.FalschImage->move(S.FalschImage->x(), ergebnisOben);
  S.RichtigImage->move(S.RichtigImage->x(), ergebnisOben);
}

int TFrage::RichtigeReihe() const {
  for (int i = 0; i < S.Listbox1->count(); ++i)
    if (S.Listbox1->item(i)->data(EintragRolle).toString().compare(FRichtigeZeile, Qt::CaseInsensitive) == 0)
      return i;
  return -1;
}

void TFrage::ZeigDieAntwortBtnClick() {
  emit AntwortVerlangt();
  const int i = RichtigeReihe();
  if (i < 0)
    return;
  FListeDurchProgramm = true;
  S.Listbox1->setCurrentRow(i);
  FListeDurchProgramm = false;
  S.Listbox1->scrollToItem(S.Listbox1->item(i));
  ListBox1Click();
}

void TFrage::ZeigeRichtigeDazu() {
  const int i = RichtigeReihe();
  if (i < 0 || !S.RichtigLabel)
    return;
  QListWidgetItem *richtige = S.Listbox1->item(i);
  richtige->setBackground(RichtigFarbe);
  richtige->setForeground(Qt::black);
  S.Listbox1->scrollToItem(richtige);
  const QString text = QStringLiteral("Richtig wäre: ") + RichtigeAntwort();
  S.RichtigLabel->setText(text);
  S.RichtigLabel->setToolTip(text);
  S.RichtigLabel->setAccessibleName(text);
  PlatziereRichtigLabel();
  S.RichtigLabel->show();
  S.RichtigLabel->raise();
}

void TFrage::PlatziereRichtigLabel() {
  const int links = S.FalschImage->x() + S.FalschImage->width() + ErgebnisAbstand;
  S.RichtigLabel->setGeometry(links, S.FalschImage->y(), qMax(0, S.Panel2->width() - links - ErgebnisAbstand),
                              S.FalschImage->height());
}

QString TFrage::RichtigeAntwort() const { return AnzeigeText(SichtbarerText(FRichtigeZeile)); }

void TFrage::KopiereKartenName() const { QGuiApplication::clipboard()->setText(FKartenName); }

void TFrage::Takt() {
  S.FalschImage->move(ErgebnisBildLinks(S.Panel2->x(), S.Panel2->width(), S.FalschImage->width()), S.FalschImage->y());
  S.RichtigImage->move(ErgebnisBildLinks(S.Panel2->x(), S.Panel2->width(), S.RichtigImage->width()),
                       S.RichtigImage->y());
  if (S.RichtigLabel && S.RichtigLabel->isVisible())
    PlatziereRichtigLabel();
  // After the map button the arrow keys move through the answers again.
  if (S.KarteBtn->hasFocus())
    S.Listbox1->setFocus();
}
