// The question screen for one plate: opened by a press on a tile, filled from the range's text file.
#include "app/tmainform.h"

#include "widgets/bausteine.h"
#include "widgets/meldung.h"
#include "data/textdatei.h"
#include "data/vorlagen.h"
#include "quiz/quizregeln.h"
#include "search/tscrollbox.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTextEdit>

namespace {

constexpr int ListenZeilenHoehe = 20;
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

} // namespace

void TMainForm::QuizEinrichten() {
  Listbox1->setItemDelegate(new TEintragDelegate(Listbox1));
  Listbox1->setUniformItemSizes(true);
  // Long descriptions are read by scrolling sideways, not cut short.
  Listbox1->setTextElideMode(Qt::ElideNone);
  Listbox1->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  Listbox1->setSelectionMode(QAbstractItemView::SingleSelection);
  // A change of the selection by mouse or keyboard judges the entry; a focus change alone does not.
  connect(Listbox1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    QListWidgetItem *aktuell = Listbox1->currentItem();
    if (ListeDurchProgramm || !aktuell)
      return;
    if (!aktuell->isSelected()) {
      // Ctrl+click would empty the list's selection while the answer box still judges the entry; a
      // single-choice list keeps its choice.
      if (Listbox1->selectedItems().isEmpty()) {
        ListeDurchProgramm = true;
        aktuell->setSelected(true);
        ListeDurchProgramm = false;
      }
      return;
    }
    ListBox1Click();
  });
  Memo2->setReadOnly(true);
  Memo2->setLineWrapMode(QTextEdit::WidgetWidth);
  // The classic answer box has no scroll bars; its height follows the number of wrapped lines.
  Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TMainForm::BildMouseDown(TKachel *Sender, Qt::MouseButton Button) {
  // A tile outside the current gallery (freed or stale) has no picture to ask for.
  if (!Sender || Sender->Tag() < 0 || Sender->Tag() >= BildPfade.size())
    return;
  const QString bildPfad = BildPfade.at(Sender->Tag());
  // Only a question the learner sees is a practice question; a new one ends the last unanswered.
  const bool uebung = Ueben() && (Button == Qt::LeftButton || Button == Qt::RightButton);
  FrageOffen = false;

  // The middle button sets up the question (and so the plate the gallery marks) without leaving it.
  if (Button == Qt::LeftButton || Button == Qt::RightButton) {
    if (GalerieSichtbar())
      FFokusVorFrage = focusWidget();
    for (QWidget *w :
         {static_cast<QWidget *>(A_E_Button), static_cast<QWidget *>(F_J_Button), static_cast<QWidget *>(K_O_Button),
          static_cast<QWidget *>(P_T_Button), static_cast<QWidget *>(U_Z_Button), static_cast<QWidget *>(SuchEdit)})
      w->hide();
    ScrollBoxPosition = ScrollBox1->Position();
    ScrollBox1->hide();
    Memo2->hide();
    Image1->show();
    Panel1->show();
    Panel2->show();
    Panel2->SetzeCaption(QStringLiteral("?"));
    ZurueckBtn->show();
    ZeigDieAntwortBtn->show();
    FalschImage->hide();
    RichtigImage->hide();
    // The arrow keys belong to the answers from the start. The question opens on the press, so the
    // paint's focus rule, which waits for the buttons to be up, cannot be relied on; and hiding the
    // gallery has just handed the focus along the tab chain to the group list.
    Listbox1->setFocus();
    if (!Image1->LadeDatei(bildPfad)) {
      ZeigeInformation(this, BildFehlerMeldung(bildPfad));
      return;
    }
  }

  BildDatei = QFileInfo(bildPfad).fileName();
  const int gruppe = Gruppe();
  if (gruppe == 0 || gruppe == 1) {
    // An Austrian name without a state suffix keeps the plate shown before.
    const QString vorlage = GrosseVorlage(gruppe, BildDatei);
    if (!vorlage.isEmpty() && !Image2->LadeDatei(Pfade.Datei(vorlage))) {
      ZeigeInformation(this, BildFehlerMeldung(Pfade.Datei(vorlage)));
      return;
    }
    const QString textDatei = WaehleTextDatei(gruppe, AktuellerOrdner, BildDatei);
    if (textDatei.isEmpty()) {
      // Without a text file there is nothing to ask: the previous range's districts would mislead.
      Memo1.clear();
    } else if (const std::optional<QStringList> zeilen = LadeZeilen(textDatei)) {
      Memo1 = *zeilen;
    } else {
      // A file that cannot be read whole (beyond the bounds, unreadable, no regular file) is as good as
      // missing: the question screen is never left half built.
      FatalerFehler(TextDateiFehltMeldung(textDatei));
      return;
    }
  }

  const TFrageListe liste = BaueFrageListe(Memo1, BildDatei);
  Memo1 = liste.Eintraege;
  // A new question never judges the entry of an earlier one.
  RichtigeZeile = liste.RichtigeZeile;
  // An item's text is the description alone, which is also what a screen reader reads: the picture
  // field would give the answer away. The whole entry, which the answer check takes apart, stays
  // in the item's data.
  const QStringList eintraege = SortiereEintraege(liste.Eintraege);
  QStringList beschreibungen;
  beschreibungen.reserve(eintraege.size());
  for (const QString &eintrag : eintraege)
    beschreibungen.append(AnzeigeText(SichtbarerText(eintrag)));
  ListeDurchProgramm = true;
  Listbox1->clear();
  Listbox1->addItems(beschreibungen);
  for (int i = 0; i < eintraege.size(); ++i)
    Listbox1->item(i)->setData(EintragRolle, eintraege.at(i));
  ListeDurchProgramm = false;

  const QString frage = FrageText(gruppe, BildDatei);
  if (!frage.isEmpty()) {
    Label1->setText(frage);
    Label1->adjustSize();
  }

  if (!uebung) {
    ZeigDieAntwortBtnClick();
    return;
  }
  // Nothing of the answer until the learner has chosen: no entry selected, the "?" stays, no map.
  ListeDurchProgramm = true;
  Listbox1->clearSelection();
  ListeDurchProgramm = false;
  Memo2->clear();
  KarteBtn->hide();
  Image3->hide();
  Image4->hide();
  FrageOffen = true;
  NeuesZuletzt = !Lernstand.Finde(LernGruppe(gruppe), BildDatei);
  UebungsBild = BildDatei;
  ZeigeUebungsteile();
}
