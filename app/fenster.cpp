// The window's life cycle and its screens: start-up checks and settings, the key hook, maximise
// tracking, help, shutdown, the relayout on resize and the way back to the gallery.
#include "app/tmainform.h"

#include "widgets/bausteine.h"
#include "data/dateizugriff.h"
#include "data/einstellungen.h"
#include "widgets/meldung.h"
#include "gallery/galerieansicht.h"
#include "gallery/galerieregeln.h"
#include "quiz/quizregeln.h"
#include "search/tscrollbox.h"

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QUrl>
#include <QWheelEvent>

namespace {
const QString Abschnitt = QStringLiteral("Einstellung");
constexpr int Zeilenschritt = KachelRaster;     // one row of tiles
constexpr int Seitenschritt = 2 * KachelRaster; // two rows
constexpr int RadSchritt = 120;                 // wheel delta of one notch
} // namespace

void TMainForm::FormCreate() {
  KarteBtn->setEnabled(false);
  qApp->installEventFilter(this);
  RaeumeReste(Pfade.Einstellungen());

  const QString groesse = LiesProfil(Pfade.Einstellungen(), Abschnitt, QStringLiteral("Groesse"));
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

  KartenAdresse = LiesProfil(Pfade.Einstellungen(), Abschnitt, QStringLiteral("KartenAdresse"));
  if (KartenAdresse.isEmpty())
    KartenAdresse = StandardKartenAdresse();

  for (TBereich bereich :
       {TBereich::Oesterreich, TBereich::A_E, TBereich::F_J, TBereich::K_O, TBereich::P_T, TBereich::U_Z}) {
    if (bereich == TBereich::A_E) {
      QFont fett = A_E_Button->font();
      fett.setBold(true);
      A_E_Button->setFont(fett);
    }
    const QString ordner = Pfade.Ordner(bereich);
    if (!QFileInfo(ordner).isDir()) {
      FatalerFehler(FehltMeldung(QStringLiteral("Verzeichnis: "), ordner + QLatin1Char('/')));
      return;
    }
  }

  LadeLernstand();
  ErzeugeArbeitsobjekte();
}

void TMainForm::FormDestroy() {
  if (FZerstoert)
    return;
  FZerstoert = true;
  qApp->removeEventFilter(this);
  BilderFreigeben();
  FreigebenArbeitsobjekte();
  // After a fatal message the program ends without touching the settings.
  if (FAbgebrochen)
    return;
  // A progress write that failed during the run (a full disk) gets one more chance.
  if (LernstandGeaendert)
    LernstandDatei.Speichere(Lernstand);
  SchreibeProfil(Pfade.Einstellungen(), Abschnitt, QStringLiteral("Auswahl"),
                 QString::number(ComboBox1->currentIndex()));
  // Only a size with a client area that fits the screen is stored: the next start takes it as it is.
  if (!MaximiertPerBefehl)
    if (const std::optional<TGroesse> g = PassendeGroesse({Breite(), Hoehe()}, Rahmen(), FreieFlaeche().size()))
      SchreibeProfil(Pfade.Einstellungen(), Abschnitt, QStringLiteral("Groesse"),
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

void TMainForm::BilderFreigeben() {
  // Assigned, not cleared: a gallery of 20 000 tiles should not keep its room until the next load.
  Kacheln = QVector<TKachel>();
  if (Galerie)
    Galerie->update();
}

void TMainForm::FormClose() {
  FGeschlossen = true;
  if (FWarteSchleife)
    FWarteSchleife->quit();
}

bool TMainForm::AppMessage(QObject *ziel, QEvent *ereignis) {
  if (!FSchonGezeigt || FAbgebrochen)
    return false;
  auto *steuer = qobject_cast<QWidget *>(ziel);
  // Only what is addressed to this window: a message box runs its own keys.
  if (!steuer || steuer->window() != this)
    return false;

  if (ereignis->type() == QEvent::Wheel) {
    if (!GalerieSichtbar())
      return false;
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

  const int key = taste->key();
  if (steuer == Listbox1 && UebungsTaste(key))
    return true;
  if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
    ZeigDieAntwortBtn->setFocus();
  else
    Listbox1->setFocus();
  if (key == Qt::Key_F1)
    HilfeBtnClick();
  else if (key == Qt::Key_Backspace)
    ZurueckBtnClick();
  return false;
}

void TMainForm::FensterBefehl(Qt::WindowStates alt, Qt::WindowStates neu) {
  const bool warMaximiert = alt & Qt::WindowMaximized;
  const bool istMaximiert = neu & Qt::WindowMaximized;
  const bool warMinimiert = alt & Qt::WindowMinimized;
  const bool istMinimiert = neu & Qt::WindowMinimized;
  if (istMaximiert && !warMaximiert) {
    MaximiertPerBefehl = true;
    FormResize();
  } else if ((warMaximiert && !istMaximiert) || (warMinimiert && !istMinimiert)) {
    // Coming back from the task bar is a restore too, as the classic restore command was.
    Trenner->resize(GespeicherteTrennerBreite, Trenner->height());
    MaximiertPerBefehl = false;
  }
}

void TMainForm::GroesseGeaendert() { GroesseMaximiert = isMaximized(); }

void TMainForm::HilfeBtnClick() {
  // Nothing is reported when the file or a viewer is missing.
  QDesktopServices::openUrl(QUrl::fromLocalFile(Pfade.Hilfe()));
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
  if (GalerieSichtbar() || MaximiertPerBefehl) {
    LadeDieBilder();
    ScrollBox1->resize(Breite() - GalerieRand, ScrollBox1->height());
    ComboBox1->resize(Panel1->width() - 60, ComboBox1->height());
    Panel1->move(Panel1->x(), Panel2->y() + Panel2->height() + 5);
    ScrollBox1->update();
  }
  if (!GroesseMaximiert) {
    FalschImage->move(ErgebnisBildLinks(Panel2->x(), Panel2->width(), FalschImage->width()), FalschImage->y());
    RichtigImage->move(ErgebnisBildLinks(Panel2->x(), Panel2->width(), RichtigImage->width()), RichtigImage->y());
  }
  if (Trenner->width() > 20 && Panel2->width() > 440)
    Trenner->resize(Panel2->width() / 2 - ToolButton4->width() - ZurueckBtn->width() - ZeigDieAntwortBtn->width() / 2 +
                        30,
                    Trenner->height());
  if (Trenner->width() <= 20)
    Trenner->resize(30, Trenner->height());
  setUpdatesEnabled(true);
}

void TMainForm::ZurScrollBoxUmschalten() {
  // Hiding the focused control hands the focus along the tab chain, to the group list, where the
  // next question's first key would switch the group; the gallery takes it, as after a click.
  const QWidget *fokus = focusWidget();
  const bool fokusGeht = fokus && (Panel1->isAncestorOf(fokus) || Panel2->isAncestorOf(fokus) || fokus == ZurueckBtn ||
                                   fokus == ZeigDieAntwortBtn || fokus == NaechsteFrageBtn);
  Memo2->clear();
  FrageOffen = false;
  for (QWidget *w : {static_cast<QWidget *>(Image1), static_cast<QWidget *>(Panel1), static_cast<QWidget *>(Panel2),
                     static_cast<QWidget *>(ZurueckBtn), static_cast<QWidget *>(ZeigDieAntwortBtn),
                     static_cast<QWidget *>(KarteBtn), static_cast<QWidget *>(NaechsteFrageBtn)})
    w->hide();
  ScrollBox1->show();
  if (fokusGeht)
    ScrollBox1->setFocus();
  FormResize();
  if (Gruppe() == 0)
    for (QPushButton *knopf : {A_E_Button, F_J_Button, K_O_Button, P_T_Button, U_Z_Button})
      knopf->show();
  SuchEdit->show();
  // Whoever opened the question from the search field goes on typing there.
  if (fokusGeht && FFokusVorFrage == SuchEdit)
    SuchEdit->setFocus();
  ScrollBox1->SetzePosition(ScrollBoxPosition);
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
