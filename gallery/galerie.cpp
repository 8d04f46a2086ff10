// Gallery loading, tile layout and the first-paint set-up of the window.
#include "app/tmainform.h"

#include "widgets/bausteine.h"
#include "data/einstellungen.h"
#include "data/ansi.h"
#include "gallery/galerieansicht.h"
#include "gallery/galerieregeln.h"
#include "gallery/vorschaucache.h"
#include "search/tscrollbox.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <memory>
#include <utility>
#include <vector>

namespace {

// Holds the user's input to the program's windows back while a load waits, and hands it on in its
// order once the load is over, as if the load had held the thread. The close request, which some
// window systems deliver as input too, is let through: it ends the load.
class TEingabeAufschub : public QObject {
public:
  TEingabeAufschub() { qApp->installEventFilter(this); }
  ~TEingabeAufschub() override { qApp->removeEventFilter(this); }
  TEingabeAufschub(const TEingabeAufschub &) = delete;
  TEingabeAufschub &operator=(const TEingabeAufschub &) = delete;

  // Queues what was held for the event loop the load returns to; after a close it is dropped.
  void GibWeiter() {
    qApp->removeEventFilter(this);
    for (auto &[fenster, ereignis] : FGehalten)
      if (fenster)
        QCoreApplication::postEvent(fenster, ereignis.release());
    FGehalten.clear();
  }

protected:
  bool eventFilter(QObject *ziel, QEvent *ereignis) override {
    // A shortcut would act at once, before its key reaches the window: it waits with the key.
    if (ereignis->type() == QEvent::ShortcutOverride) {
      ereignis->accept();
      return true;
    }
    if (!ziel->isWindowType() || !IstEingabe(ereignis->type()))
      return false;
    FGehalten.emplace_back(static_cast<QWindow *>(ziel), std::unique_ptr<QEvent>(ereignis->clone()));
    return true;
  }

private:
  static bool IstEingabe(QEvent::Type art) {
    switch (art) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::NativeGesture: return true;
    default: return false;
    }
  }

  std::vector<std::pair<QPointer<QWindow>, std::unique_ptr<QEvent>>> FGehalten;
};

void Verschiebe(QWidget *steuer, int links, int oben) {
  // Moving to the same place would still post events; on every paint that becomes a loop.
  if (steuer->pos() != QPoint(links, oben))
    steuer->move(links, oben);
}
} // namespace

void TMainForm::LadeDieBilder() {
  // A load asked for while one waits for its thumbnails (a resize by the window system) follows it.
  if (LaedtBilder()) {
    FNochmalLaden = true;
    return;
  }
  if (FGeschlossen)
    return;
  Gefunden = false;
  if (AnsiTrim(AktuellerOrdner).isEmpty())
    return;
  ScrollBox1->SetzePosition(0);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  BilderFreigeben();
  // The folder goes as it is: a round trip through the code page would break any path outside it.
  SucheBilder(AktuellerOrdner, BilderEndungen);
  const int anzahl = BildPfade.size();

  if (anzahl > 0) {
    ProgressBar1->show();
    Kacheln.reserve(anzahl);
    ProgressBar1->setMaximum(anzahl);
    const TGitter gitter = BerechneGitter(anzahl, ScrollBox1->ClientBreite());
    const int gruppe = Gruppe();
    const qreal verhaeltnis = Galerie->devicePixelRatioF();
    if (!Vorschauen)
      ErzeugeArbeitsobjekte();
    Galerie->SetzeGitter(gitter.Spalten, anzahl);
    const std::unique_ptr<TVorschauLadung> ladung = Vorschauen->Starte(BildPfade, verhaeltnis);
    // Records are made here, in list order, as their thumbnails come in, and shown at once.
    const auto uebernimm = [&] {
      const int vorher = Kacheln.size();
      ladung->Uebernimm([&](int i, const QImage &vorschau) {
        const TRahmen rahmen = BestimmeRahmen(DateiName(BildPfade.at(i)), Suchtext, gruppe);
        if (rahmen == TRahmen::Treffer) {
          Gefunden = true;
          GefundenIndex = i;
        }
        Kacheln.append(TKachel(i, QRect(KachelPosition(i, gitter.Spalten), QSize(KachelGroesse, KachelGroesse)),
                               vorschau, rahmen, verhaeltnis, ladung->Ausgelagert(i) ? ladung->Nachlader() : nullptr));
      });
      if (Kacheln.size() > vorher) {
        Galerie->ZeigeKacheln(vorher, Kacheln.size());
        ProgressBar1->setValue(Kacheln.size());
      }
    };
    uebernimm();
    if (!ladung->Fertig() && !WarteAufVorschauen(*ladung, uebernimm)) {
      // The window is closing: what is decoded stays in the cache, the rest is of no use any more.
      FNochmalLaden = false;
      ProgressBar1->hide();
      QApplication::restoreOverrideCursor();
      return;
    }
    uebernimm();
    // A resize during the wait has sized the box for the window as it is now, and its load follows:
    // a box fitted to this load's columns would hand that load the old width.
    if (!FNochmalLaden)
      ScrollBox1->SetzeClientBreite(KachelRaster * gitter.Spalten + KachelAbstand);
  }

  ProgressBar1->setValue(0);
  const int sicht = SichtSpalten(ScrollBox1->width());
  ScrollBox1->SetzeBereich(ScrollBereich(anzahl, sicht));
  ProgressBar1->hide();
  QApplication::restoreOverrideCursor();
  StatusBar1->SetzeSimpleText(QStringLiteral("      ") + QString::number(anzahl) + QStringLiteral(" Nummernfibel "));

  if (!Suchtext.isEmpty()) {
    ScrollBox1->SetzePosition(FundPosition(GefundenIndex, sicht));
    if (ScrollBox1->Position() <= FundSchwelle)
      ScrollBox1->SetzePosition(0);
  }

  if (FNochmalLaden) {
    FNochmalLaden = false;
    LadeDieBilder();
  }
}

namespace {
// With a screen reader running, Qt first hands every key to it and delivers the key afterwards, as an
// event of the program's own sent straight to the control, which the hold on the window system's input
// does not catch: a letter's release would start a search in the middle of the load, which finds
// nothing. An input method hands its text to the control the same way. Such keys and texts wait here
// for the load's end, in their order.
class TTastenStau : public QObject {
public:
  explicit TTastenStau(QWidget *fenster) : FFenster(fenster) { qApp->installEventFilter(this); }
  ~TTastenStau() override {
    qApp->removeEventFilter(this);
    for (auto &[ziel, taste] : FTasten)
      if (ziel)
        QCoreApplication::postEvent(ziel, taste.release());
  }

protected:
  bool eventFilter(QObject *ziel, QEvent *ereignis) override {
    const QEvent::Type art = ereignis->type();
    if (art != QEvent::KeyPress && art != QEvent::KeyRelease && art != QEvent::InputMethod)
      return false;
    auto *steuer = qobject_cast<QWidget *>(ziel);
    if (!steuer || steuer->window() != FFenster)
      return false;
    FTasten.emplace_back(QPointer<QObject>(ziel), std::unique_ptr<QEvent>(ereignis->clone()));
    return true;
  }

private:
  QWidget *FFenster;
  std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> FTasten;
};
} // namespace

// The thumbnails are decoded by worker threads. Meanwhile this thread runs an event loop that keeps
// the user's input waiting, just as a load that held the thread did, so that nothing the user does
// can act in the middle of a load; what does run (paints, the window system's resizes and closes,
// timers) is harmless, and a further load waits for this one. The loop is not told to exclude user
// input: X11 and Wayland count the close request as such, and it would wait for the whole load. A timer hands the
// finished thumbnails on every 50 ms, so the progress bar and the tiles advance without a round trip per file, and the
// last worker ends the wait at once.
bool TMainForm::WarteAufVorschauen(TVorschauLadung &ladung, const std::function<void()> &uebernimm) {
  constexpr int Fortschrittstakt = 50; // ms
  const TTastenStau stau(this);
  QEventLoop schleife;
  QTimer takt;
  takt.setInterval(Fortschrittstakt);
  connect(&takt, &QTimer::timeout, &schleife, [&uebernimm] { uebernimm(); });
  // The message goes to the window, which outlives every load; the number keeps a late message of
  // an earlier load from ending this one.
  const quint64 nummer = ++FLadungNummer;
  ladung.BeimEnde([this, nummer] {
    QMetaObject::invokeMethod(
        this,
        [this, nummer] {
          if (FWarteSchleife && FLadungNummer == nummer)
            FWarteSchleife->quit();
        },
        Qt::QueuedConnection);
  });
  // A resize locks the window's updates for its relayout; a wait for decoding shows its progress all the same.
  const bool gesperrt = !updatesEnabled();
  if (gesperrt)
    setUpdatesEnabled(true);
  FWarteSchleife = &schleife;
  takt.start();
  TEingabeAufschub aufschub;
  if (!ladung.Fertig())
    schleife.exec();
  FWarteSchleife = nullptr;
  if (!FGeschlossen)
    aufschub.GibWeiter();
  if (gesperrt)
    setUpdatesEnabled(false);
  // Left early because the window was closed: the load ends here.
  if (FGeschlossen) {
    ladung.Abbrechen();
    return false;
  }
  // Left early for another reason (the application was told to quit, so that no event loop runs any
  // more): the load still runs to its end, the plain way.
  ladung.Warte();
  return true;
}

void TMainForm::SucheBilder(const QString &Ordner, const QString &Endungen) {
  BildPfade = ListeBilder(Ordner, Endungen);
}

void TMainForm::FormPaint() {
  if (FAbgebrochen)
    return;
  if (ErstesZeichnen) {
    if (EinrichtungLaeuft)
      return;
    EinrichtungLaeuft = true;
    ComboBox1->setCurrentIndex(0);
    const QString auswahl = LiesProfil(Pfade.Einstellungen(), QStringLiteral("Einstellung"), QStringLiteral("Auswahl"));
    if (!auswahl.isEmpty())
      ComboBox1->setCurrentIndex(GruppeAusAuswahl(auswahl));
    if (!GruppeEinrichten(Gruppe()))
      return; // the fatal message has ended the program; the set-up stays undone
    // The controls of the gallery screen come first: the window is on the screen during the load.
    ZurueckBtn->hide();
    ZeigDieAntwortBtn->hide();
    const int gruppe = Gruppe();
    if (gruppe == 0 || gruppe == 1) {
      for (QPushButton *knopf : {A_E_Button, F_J_Button, K_O_Button, P_T_Button, U_Z_Button})
        knopf->setVisible(gruppe == 0);
      SuchEdit->show();
    }
    LadeDieBilder();
    ScrollBox1->resize(Breite() - GalerieRand, ScrollBox1->height());
    GespeicherteTrennerBreite = Trenner->width();
    ErstesZeichnen = false;
    EinrichtungLaeuft = false;
  }

  Verschiebe(Label1, ZentrierteLinks(Panel2->x(), Panel2->width(), Label1->width()), Label1->y());
  Verschiebe(Image2, ZentrierteLinks(Panel2->x(), Panel2->width(), Image2->width()), Image2->y());
  if (const std::optional<QPoint> versatz = KennzeichenVersatz(Gruppe()))
    Verschiebe(Image1, Image2->x() + versatz->x(), Image2->y() + versatz->y());
  Verschiebe(Label2, ZentrierteLinks(Panel2->x(), Panel2->width(), Label2->width()), Label2->y());
  // A pressed button repaints the window under it: taking its focus then would cancel the click.
  if (!GalerieSichtbar() && !Listbox1->isHidden() && !Listbox1->hasFocus() &&
      QGuiApplication::mouseButtons() == Qt::NoButton)
    Listbox1->setFocus();
}

void TMainForm::GalerieEinrichten() {
  Galerie = new TGalerieAnsicht(Kacheln, BildPfade, ScrollBox1->Inhalt());
  Galerie->setObjectName(QStringLiteral("Galerie"));
  Galerie->setGeometry(0, 0, 0, 0);
  connect(Galerie, &TGalerieAnsicht::KachelGedrueckt, this, [this](int index, Qt::MouseButton knopf) {
    // The mouse waits for a load's end; an accessible press that comes in meanwhile is dropped.
    if (LaedtBilder() || index < 0 || index >= Kacheln.size())
      return;
    TKachel kachel = Kacheln.at(index);
    BildMouseDown(&kachel, knopf);
  });
}

void TMainForm::ErsteEinrichtung() {
  if (!ErstesZeichnen || FAbgebrochen || FGeschlossen)
    return;
  // The window as built reaches the screen first; the load that follows keeps it painted.
  repaint();
  FormPaint();
}

int TMainForm::Dekodierungen() const { return Vorschauen ? Vorschauen->Dekodierungen() : 0; }

void TMainForm::ErzeugeArbeitsobjekte() {
  if (!Vorschauen)
    Vorschauen = new TVorschauCache;
}

void TMainForm::FreigebenArbeitsobjekte() {
  delete Vorschauen;
  Vorschauen = nullptr;
}
