// The window's life cycle and its screens: start-up checks and settings, the key hook, maximise
// tracking, help, shutdown, the first paint's set-up, the relayout on resize, the way back to the
// gallery, the plate groups and the letter ranges.
#include "app/tmainform.h"

#include "data/dateizugriff.h"
#include "data/einstellungen.h"
#include "data/gruppen.h"
#include "data/vorlagen.h"
#include "gallery/galerie.h"
#include "gallery/galerieregeln.h"
#include "quiz/quizregeln.h"
#include "quiz/rueckfrage.h"
#include "quiz/ueben.h"
#include "search/suche.h"
#include "search/tscrollbox.h"
#include "widgets/anker.h"
#include "widgets/bausteine.h"
#include "widgets/meldung.h"
#include "widgets/oeffnen.h"
#include "widgets/zugang.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextEdit>
#include <QUrl>
#include <QWheelEvent>

namespace {
const QString Abschnitt = QStringLiteral("Einstellung");

void SetzeFett(QAbstractButton *knopf, bool fett) {
  QFont schrift = knopf->font();
  if (schrift.bold() == fett)
    return;
  schrift.setBold(fett);
  knopf->setFont(schrift);
  // The bold range button is the pressed one for assistive tools.
  QAccessible::State geaendert;
  geaendert.checked = true;
  QAccessibleStateChangeEvent ereignis(knopf, geaendert);
  SageAn(ereignis);
}

void Verschiebe(QWidget *steuer, int links, int oben) {
  // Moving to the same place would still post events; on every paint that becomes a loop.
  if (steuer->pos() != QPoint(links, oben))
    steuer->move(links, oben);
}
constexpr int Zeilenschritt = KachelRaster;     // one row of tiles
constexpr int Seitenschritt = 2 * KachelRaster; // two rows
constexpr int RadSchritt = 120;                 // wheel delta of one notch
} // namespace

void TMainForm::FormCreate() {
  KarteBtn->setEnabled(false);
  qApp->installEventFilter(this);
  RaeumeReste(FPfade.Einstellungen());

  const QString groesse = LiesProfil(FPfade.Einstellungen(), Abschnitt, QStringLiteral("Groesse"));
  // A value that is not two whole numbers, or one without a client area, keeps the layout size. That
  // size must fit the screen as well as a stored one: at 150 % a screen 1024 pixels high has room for
  // fewer than 734.
  std::optional<TGroesse> gewuenscht = groesse.isEmpty() ? std::nullopt : LiesGroesse(groesse);
  if (!gewuenscht || !PassendeGroesse(*gewuenscht, Rahmen(), FreieFlaeche().size()))
    gewuenscht = TGroesse{Breite(), Hoehe()};
  if (const std::optional<TGroesse> passend = PassendeGroesse(*gewuenscht, Rahmen(), FreieFlaeche().size())) {
    SetzeBreite(passend->Breite);
    SetzeHoehe(passend->Hoehe);
  }

  FKartenAdresse = LiesProfil(FPfade.Einstellungen(), Abschnitt, QStringLiteral("KartenAdresse"));
  if (FKartenAdresse.isEmpty())
    FKartenAdresse = StandardKartenAdresse();

  for (TBereich bereich :
       {TBereich::Oesterreich, TBereich::A_E, TBereich::F_J, TBereich::K_O, TBereich::P_T, TBereich::U_Z}) {
    if (QAbstractButton *knopf = Bereichsknoepfe->button(int(bereich)); knopf && bereich == TBereich::A_E)
      SetzeFett(knopf, true);
    const QString ordner = FPfade.Ordner(bereich);
    if (!QFileInfo(ordner).isDir()) {
      FatalerFehler(FehltMeldung(QStringLiteral("Verzeichnis: "), ordner + QLatin1Char('/')));
      return;
    }
  }

  FUebung->LadeLernstand(FPfade.Lernstand());
  ZeigeUebungsteile();
  FGalerie->ErzeugeArbeitsobjekte();
}

void TMainForm::FormDestroy() {
  if (FZerstoert)
    return;
  FZerstoert = true;
  qApp->removeEventFilter(this);
  BilderFreigeben();
  FGalerie->FreigebenArbeitsobjekte();
  // After a fatal message the program ends without touching the settings.
  if (FAbgebrochen)
    return;
  // A progress write that failed during the run (a full disk) gets one more chance.
  FUebung->SichereAmEnde();
  SchreibeProfil(FPfade.Einstellungen(), Abschnitt, QStringLiteral("Auswahl"),
                 QString::number(ComboBox1->currentIndex()));
  // Only a size with a client area that fits the screen is stored: the next start takes it as it is.
  if (!FMaximiertPerBefehl)
    if (const std::optional<TGroesse> g = PassendeGroesse({Breite(), Hoehe()}, Rahmen(), FreieFlaeche().size()))
      SchreibeProfil(FPfade.Einstellungen(), Abschnitt, QStringLiteral("Groesse"),
                     QStringLiteral("%1x%2").arg(g->Breite).arg(g->Hoehe));
}

QRect TMainForm::FreieFlaeche() const {
  const QScreen *schirm = screen();
  return schirm ? schirm->availableGeometry() : QRect();
}

void TMainForm::ZentriereAufDemSchirm() {
  const QRect frei = FreieFlaeche();
  if (!frei.isEmpty())
    move(FensterPosition(QSize(Breite(), Hoehe()), frei));
}

void TMainForm::FatalerFehler(const QString &text) {
  if (FAbgebrochen)
    return;
  FAbgebrochen = true;
  ZeigeInformation(nullptr, text);
  hide();
  // Ends every running event loop; the program then returns with status 0.
  QCoreApplication::exit(0);
}

void TMainForm::BilderFreigeben() { FGalerie->BilderFreigeben(); }

void TMainForm::FormClose() { FGalerie->Schliesse(); }

bool TMainForm::AppMessage(QObject *ziel, QEvent *ereignis) {
  if (!FSchonGezeigt || FAbgebrochen)
    return false;
  auto *steuer = qobject_cast<QWidget *>(ziel);
  // Only what is addressed to this window: a message box runs its own keys.
  if (!steuer || steuer->window() != this)
    return false;

  if (ereignis->type() == QEvent::Wheel) {
    if (!GalerieSichtbar()) {
      // The list scrolls itself; elsewhere on a question panel that scrolls, the wheel moves the panel.
      if (FFrageVerlegt && (steuer == Panel1 || Panel1->isAncestorOf(steuer)) && steuer != Listbox1 &&
          !Listbox1->isAncestorOf(steuer)) {
        QCoreApplication::sendEvent(FrageScrollBar, ereignis);
        return true;
      }
      return false;
    }
    auto *rad = static_cast<QWheelEvent *>(ereignis);
    FRadRest += rad->angleDelta().y();
    while (FRadRest <= -RadSchritt) {
      FRadRest += RadSchritt;
      FormMouseWheelDown();
    }
    while (FRadRest >= RadSchritt) {
      FRadRest -= RadSchritt;
      FormMouseWheelUp();
    }
    return true;
  }

  if (ereignis->type() != QEvent::KeyPress)
    return false;
  auto *taste = static_cast<QKeyEvent *>(ereignis);
  // A key that its first receiver ignored travels on to the parents: look at it only once.
  QWidget *fokus = QApplication::focusWidget();
  if (fokus ? steuer != fokus : steuer != this)
    return false;
  // The Alt key's own press carries no Alt modifier yet, but it is a system key like every key with Alt.
  if ((taste->modifiers() & Qt::AltModifier) || taste->key() == Qt::Key_Alt)
    return false;

  if (GalerieSichtbar()) {
    if (SuchEdit->hasFocus())
      return false;
    ScrollBox1->setFocus();
    const int position = ScrollBox1->Position();
    switch (taste->key()) {
    case Qt::Key_Up: ScrollBox1->SetzePosition(position - Zeilenschritt); break;
    case Qt::Key_Down: ScrollBox1->SetzePosition(position + Zeilenschritt); break;
    case Qt::Key_PageUp: ScrollBox1->SetzePosition(position - Seitenschritt); break;
    case Qt::Key_PageDown: ScrollBox1->SetzePosition(position + Seitenschritt); break;
    case Qt::Key_Home: ScrollBox1->SetzePosition(0); break;
    case Qt::Key_End: ScrollBox1->SetzePosition(ScrollBox1->Bereich()); break;
    default: break;
    }
    // On the gallery screen no key outside the search field reaches a control.
    return true;
  }

  // A practice board has no answer list for the keys to go to: its controls take their own keys, a
  // typed code or the numbers of its plates.
  if (SichtbareTafel())
    return false;
  const int key = taste->key();
  if (steuer == Listbox1 && FUebung->UebungsTaste(key, taste->text()))
    return true;
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
    ZeigDieAntwortBtn->setFocus();
    return false;
  }
  Listbox1->setFocus();
  if (key == Qt::Key_F1)
    HilfeBtnClick();
  else if (key == Qt::Key_Backspace)
    ZurueckBtnClick();
  else if (steuer != Listbox1 && Listbox1->hasFocus()) {
    // The key belongs to the list it moved the focus to: left with its first receiver, Up on a button
    // would walk on to the next button. The copy passes this hook again, now addressed to the list.
    QKeyEvent kopie(taste->type(), key, taste->modifiers(), taste->nativeScanCode(), taste->nativeVirtualKey(),
                    taste->nativeModifiers(), taste->text(), taste->isAutoRepeat(), taste->count());
    QApplication::sendEvent(Listbox1, &kopie);
    return true;
  }
  return false;
}

void TMainForm::FensterBefehl(Qt::WindowStates alt, Qt::WindowStates neu) {
  const bool warMaximiert = alt & Qt::WindowMaximized;
  const bool istMaximiert = neu & Qt::WindowMaximized;
  const bool warMinimiert = alt & Qt::WindowMinimized;
  const bool istMinimiert = neu & Qt::WindowMinimized;
  if (istMaximiert && !warMaximiert) {
    FMaximiertPerBefehl = true;
    FormResize();
  } else if ((warMaximiert && !istMaximiert) || (warMinimiert && !istMinimiert)) {
    // Coming back from the task bar is a restore too, as the classic restore command was.
    Trenner->resize(FGespeicherteTrennerBreite, Trenner->height());
    FMaximiertPerBefehl = false;
  }
}

void TMainForm::GroesseGeaendert() { FGroesseMaximiert = isMaximized(); }

void TMainForm::HilfeBtnClick() {
  // A missing file is not reported; a missing viewer is, once the desktop has answered.
  OeffneAdresse(this, QUrl::fromLocalFile(FPfade.Hilfe()));
}

bool TMainForm::GalerieSichtbar() const { return !ScrollBox1->isHidden(); }

void TMainForm::FormResize() {
  if (FAbgebrochen)
    return;
  if (Breite() < MindestFensterBreite) {
    SetzeBreite(MindestFensterBreite);
    return;
  }
  setUpdatesEnabled(false);
  // The rules below work on the panel's own place.
  if (FFrageVerlegt) {
    Anker->Zuruecksetzen(Panel1);
    Panel1->clearMask();
    FFrageVerlegt = false;
  }
  if (GalerieSichtbar() || FMaximiertPerBefehl) {
    LadeDieBilder();
    ScrollBox1->resize(Breite() - GalerieRand, ScrollBox1->height());
    ComboBox1->resize(Panel1->width() - 60, ComboBox1->height());
    Panel1->move(Panel1->x(), Panel2->y() + Panel2->height() + 5);
    ScrollBox1->update();
  }
  if (!FGroesseMaximiert) {
    FalschImage->move(ErgebnisBildLinks(Panel2->x(), Panel2->width(), FalschImage->width()), FalschImage->y());
    RichtigImage->move(ErgebnisBildLinks(Panel2->x(), Panel2->width(), RichtigImage->width()), RichtigImage->y());
  }
  if (Trenner->width() > 20 && Panel2->width() > 440)
    Trenner->resize(Panel2->width() / 2 - ToolButton4->width() - ZurueckBtn->width() - ZeigDieAntwortBtn->width() / 2 +
                        30,
                    Trenner->height());
  if (Trenner->width() <= 20)
    Trenner->resize(30, Trenner->height());
  PasseFrageAn();
  setUpdatesEnabled(true);
}

void TMainForm::PasseFrageAn() {
  if (FFrageVerlegt) {
    Anker->Zuruecksetzen(Panel1);
    Panel1->clearMask();
    FFrageVerlegt = false;
  }
  const int noetig = MindestZeilen * ListenZeilenHoehe + 2 * Listbox1->frameWidth() +
                     Listbox1->horizontalScrollBar()->sizeHint().height();
  // The list's height as its rule gives it, before a panel too low cuts it to nothing.
  constexpr int Weit = 10000;
  const int liste = Anker->Regelplatz(Listbox1, Panel1->size() + QSize(0, Weit)).height() - Weit;
  const int fehlt = noetig - liste;
  if (Panel1->isHidden() || fehlt <= 0) {
    FrageScrollBar->hide();
    return;
  }
  const QRect platz = Panel1->geometry();
  const QSignalBlocker still(FrageScrollBar);
  FrageScrollBar->setRange(0, fehlt);
  FrageScrollBar->setPageStep(platz.height());
  FrageScrollBar->setSingleStep(ListenZeilenHoehe);
  // In the margin right of the panel, which the layout keeps at every width.
  const int breite =
      qMin(style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FrageScrollBar), width() - platz.right() - 1);
  FrageScrollBar->setGeometry(platz.right() + 1, platz.y(), breite, platz.height());
  FrageScrollBar->show();
  FFrageVerlegt = true;
  LegeFrageVersatz();
}

void TMainForm::LegeFrageVersatz() {
  if (!FFrageVerlegt)
    return;
  const QRect platz = Anker->Regelplatz(Panel1);
  const int versatz = FrageScrollBar->value();
  Anker->Verlege(Panel1,
                 QRect(platz.x(), platz.y() - versatz, platz.width(), platz.height() + FrageScrollBar->maximum()));
  // Only the panel's own place shows; what lies beyond it is scrolled to.
  Panel1->setMask(QRegion(0, versatz, platz.width(), platz.height()));
}

void TMainForm::ZurScrollBoxUmschalten() {
  // Hiding the focused control hands the focus along the tab chain, to the group list, where the
  // next question's first key would switch the group; the gallery takes it, as after a click.
  const QWidget *fokus = focusWidget();
  const bool fokusGeht = fokus && (Panel1->isAncestorOf(fokus) || Panel2->isAncestorOf(fokus) || fokus == ZurueckBtn ||
                                   fokus == ZeigDieAntwortBtn || fokus == NaechsteFrageBtn ||
                                   TagesendeTafel->isAncestorOf(fokus) || Rueckfrage->isAncestorOf(fokus) ||
                                   fokus == Rueckfrage);
  Memo2->clear();
  FUebung->SchliesseFrage();
  for (QWidget *w : {static_cast<QWidget *>(Image1), static_cast<QWidget *>(Panel1), static_cast<QWidget *>(Panel2),
                     static_cast<QWidget *>(ZurueckBtn), static_cast<QWidget *>(ZeigDieAntwortBtn),
                     static_cast<QWidget *>(KarteBtn), static_cast<QWidget *>(NaechsteFrageBtn), TagesendeTafel,
                     static_cast<QWidget *>(Rueckfrage)})
    w->hide();
  ScrollBox1->show();
  if (fokusGeht)
    ScrollBox1->setFocus();
  FormResize();
  if (const TGruppe *gruppe = GruppeNr(Gruppe()); gruppe && gruppe->Bereichsknoepfe)
    for (QAbstractButton *knopf : Bereichsknoepfe->buttons())
      knopf->show();
  SuchEdit->show();
  // Whoever opened the question from the search field goes on typing there.
  if (fokusGeht && FFokusVorFrage == SuchEdit)
    SuchEdit->setFocus();
  ScrollBox1->SetzePosition(FGalerie->ScrollBoxPosition());
}

void TMainForm::ZurueckBtnClick() { ZurScrollBoxUmschalten(); }
void TMainForm::Panel1Click() { ZurScrollBoxUmschalten(); }
void TMainForm::Image1Click() { ZurScrollBoxUmschalten(); }
void TMainForm::Image2Click() { ZurScrollBoxUmschalten(); }

void TMainForm::FormClick() {
  if (GalerieSichtbar())
    ScrollBox1->setFocus();
}

void TMainForm::ToolBar1Click() { FormClick(); }

void TMainForm::FormPaint() {
  if (FAbgebrochen)
    return;
  if (FErstesZeichnen) {
    if (FEinrichtungLaeuft)
      return;
    FEinrichtungLaeuft = true;
    ComboBox1->setCurrentIndex(0);
    const QString auswahl = LiesProfil(FPfade.Einstellungen(), Abschnitt, QStringLiteral("Auswahl"));
    if (!auswahl.isEmpty())
      ComboBox1->setCurrentIndex(GruppeAusAuswahl(auswahl));
    if (!GruppeEinrichten(Gruppe()))
      return; // the fatal message has ended the program; the set-up stays undone
    // The controls of the gallery screen come first: the window is on the screen during the load.
    ZurueckBtn->hide();
    ZeigDieAntwortBtn->hide();
    if (const TGruppe *gruppe = GruppeNr(Gruppe())) {
      for (QAbstractButton *knopf : Bereichsknoepfe->buttons())
        knopf->setVisible(gruppe->Bereichsknoepfe);
      SuchEdit->show();
    }
    LadeDieBilder();
    ScrollBox1->resize(Breite() - GalerieRand, ScrollBox1->height());
    FGespeicherteTrennerBreite = Trenner->width();
    FErstesZeichnen = false;
    FEinrichtungLaeuft = false;
  }

  Verschiebe(Label1, ZentrierteLinks(Panel2->x(), Panel2->width(), Label1->width()), Label1->y());
  Verschiebe(Image2, ZentrierteLinks(Panel2->x(), Panel2->width(), Image2->width()), Image2->y());
  if (const std::optional<QPoint> versatz = KennzeichenVersatz(Gruppe()))
    Verschiebe(Image1, Image2->x() + versatz->x(), Image2->y() + versatz->y());
  Verschiebe(Label2, ZentrierteLinks(Panel2->x(), Panel2->width(), Label2->width()), Label2->y());
  // A pressed button repaints the window under it: taking its focus then would cancel the click.
  if (!GalerieSichtbar() && !Panel1->isHidden() && !Listbox1->isHidden() && !Listbox1->hasFocus() &&
      QGuiApplication::mouseButtons() == Qt::NoButton)
    Listbox1->setFocus();
}

void TMainForm::ErsteEinrichtung() {
  if (!FErstesZeichnen || FAbgebrochen || FGalerie->Geschlossen())
    return;
  // The window as built reaches the screen first; the load that follows keeps it painted.
  repaint();
  FormPaint();
}

void TMainForm::LadeDieBilder() { FGalerie->LadeDieBilder(FSuche->Suchtext(), Gruppe()); }

bool TMainForm::LaedtBilder() const { return FGalerie->LaedtBilder(); }

bool TMainForm::GruppeEinrichten(int gruppe) {
  const TGruppe *g = GruppeNr(gruppe);
  if (!g)
    return true; // no group: no folder, and the window's own templates stay
  FGalerie->SetzeOrdner(FPfade.Ordner(g->ErsterBereich));
  for (const auto &[vorlage, bild] :
       {std::pair{GruppenVorlageGross(gruppe), Image2}, std::pair{GruppenVorlageKlein(gruppe), Image4}}) {
    const QString pfad = FPfade.Datei(vorlage);
    if (!QFileInfo(pfad).isFile()) {
      FatalerFehler(FehltMeldung(QStringLiteral("Datei: "), pfad));
      return false;
    }
    // A template that exists but cannot be decoded keeps the picture shown before; the classic
    // exception here would have cut the set-up short and repeated it on every paint.
    bild->LadeDatei(pfad);
  }
  return true;
}

void TMainForm::ComboBox1Change() {
  const TGruppe *gruppe = GruppeNr(Gruppe());
  if (!GruppeEinrichten(Gruppe()))
    return;
  if (gruppe && gruppe->Bereichsknoepfe) {
    for (QAbstractButton *knopf : Bereichsknoepfe->buttons())
      SetzeFett(knopf, false);
    SetzeFett(Bereichsknoepfe->button(int(gruppe->ErsterBereich)), true);
  }
  FGalerie->Ansicht()->SetzeCursor(-1);
  LadeDieBilder();
  if (!Panel1->isHidden())
    ZurueckBtnClick();
  ScrollBox1->resize(Breite() - GalerieRand, ScrollBox1->height());
  FGalerie->SetzeScrollBoxPosition(0);
  ScrollBox1->SetzePosition(0);
  if (gruppe) {
    for (QAbstractButton *knopf : Bereichsknoepfe->buttons())
      knopf->setVisible(gruppe->Bereichsknoepfe);
    SuchEdit->show();
  }
}

// The other four turn plain in the order of the range table, then the own one bold.
void TMainForm::WaehleBereich(TBereich bereich) {
  QAbstractButton *eigener = Bereichsknoepfe->button(int(bereich));
  for (QAbstractButton *knopf : Bereichsknoepfe->buttons())
    if (knopf != eigener)
      SetzeFett(knopf, false);
  SetzeFett(eigener, true);
  FGalerie->SetzeOrdner(FPfade.Ordner(bereich));
  // Another range: the keys start again from its first tile.
  FGalerie->Ansicht()->SetzeCursor(-1);
  LadeDieBilder();
}

void TMainForm::A_E_ButtonClick() { WaehleBereich(TBereich::A_E); }
void TMainForm::F_J_ButtonClick() { WaehleBereich(TBereich::F_J); }
void TMainForm::K_O_ButtonClick() { WaehleBereich(TBereich::K_O); }
void TMainForm::P_T_ButtonClick() { WaehleBereich(TBereich::P_T); }
void TMainForm::U_Z_ButtonClick() { WaehleBereich(TBereich::U_Z); }

int TMainForm::Gruppe() const { return ComboBox1->currentIndex(); }

// One wheel notch moves the gallery by one row of tiles.
void TMainForm::FormMouseWheelDown() {
  if (GalerieSichtbar())
    FGalerie->Scrolle(KachelRaster);
}

void TMainForm::FormMouseWheelUp() {
  if (GalerieSichtbar())
    FGalerie->Scrolle(-KachelRaster);
}
