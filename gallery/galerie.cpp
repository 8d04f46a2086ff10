// The gallery: loading a folder's tiles through the thumbnail cache, and where the gallery stands.
#include "gallery/galerie.h"

#include "data/ansi.h"
#include "gallery/vorschaucache.h"
#include "search/tscrollbox.h"
#include "widgets/bausteine.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
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

} // namespace

TGalerie::TGalerie(QWidget *fenster, TScrollBox *scrollBox, QProgressBar *fortschritt, TStatusBar *status)
    : QObject(fenster), FFenster(fenster), FScrollBox(scrollBox), FFortschritt(fortschritt), FStatus(status) {
  FAnsicht = new TGalerieAnsicht(FKacheln, FBildPfade, FScrollBox->Inhalt());
  FAnsicht->setObjectName(QStringLiteral("Galerie"));
  FAnsicht->setGeometry(0, 0, 0, 0);
  connect(FAnsicht, &TGalerieAnsicht::KachelGedrueckt, this, [this](int index, Qt::MouseButton knopf) {
    // The mouse waits for a load's end; an accessible press that comes in meanwhile is dropped.
    if (LaedtBilder() || index < 0 || index >= FKacheln.size())
      return;
    const TKachel kachel = FKacheln.at(index);
    emit KachelGedrueckt(kachel, knopf);
  });
  connect(FScrollBox, &TScrollBox::PositionVorAktion, this, [this](int position) { FScrollBoxPosition = position; });
}

TGalerie::~TGalerie() { FreigebenArbeitsobjekte(); }

namespace {
constexpr int Zeitscheibe = 25; // ms, well below what a user notices
// The first hand-on is kept short: a few thousand tiles, more than any screen shows, and then the
// first screen is painted before the rest is handed on.
constexpr int ErsteZeitscheibe = 5; // ms
} // namespace

TFund TGalerie::LadeDieBilder(const QString &suchtext, int gruppe) {
  // A load asked for while one waits for its thumbnails (a resize by the window system) follows it.
  if (LaedtBilder()) {
    FNochmalLaden = true;
    FNochmalSuchtext = suchtext;
    FNochmalGruppe = gruppe;
    return {FGefunden, FGefundenIndex};
  }
  if (FGeschlossen)
    return {FGefunden, FGefundenIndex};
  FGefunden = false;
  if (AnsiTrim(FAktuellerOrdner).isEmpty())
    return {};
  FScrollBox->SetzePosition(0);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  BilderFreigeben();
  // The folder goes as it is: a round trip through the code page would break any path outside it.
  SucheBilder(FAktuellerOrdner, BilderEndungen);
  const int anzahl = FBildPfade.size();

  if (anzahl > 0) {
    FFortschritt->show();
    FKacheln.reserve(anzahl);
    FFortschritt->setMaximum(anzahl);
    const TGitter gitter = BerechneGitter(anzahl, FScrollBox->ClientBreite());
    const qreal verhaeltnis = FAnsicht->devicePixelRatioF();
    if (!FVorschauen)
      ErzeugeArbeitsobjekte();
    FAnsicht->SetzeGitter(gitter.Spalten, anzahl);
    const std::unique_ptr<TVorschauLadung> ladung = FVorschauen->Starte(FBildPfade, verhaeltnis);
    // Records are made here, in list order, as their thumbnails come in, and shown at once.
    // The tiles and the progress bar are shown anew at most every Anzeigetakt: the hand-on's slices
    // follow each other closely, and a repaint after each would take a good part of the load's time.
    constexpr int Anzeigetakt = 50; // ms
    int gezeigt = 0;
    QElapsedTimer anzeige;
    anzeige.start();
    const auto uebernimm = [&](int zeitscheibe) {
      ladung->Uebernimm(
          [&](int i, const QImage &vorschau) {
            const TRahmen rahmen = BestimmeRahmen(DateiName(FBildPfade.at(i)), suchtext, gruppe);
            if (rahmen == TRahmen::Treffer) {
              FGefunden = true;
              FGefundenIndex = i;
            }
            FKacheln.append(TKachel(i, QRect(KachelPosition(i, gitter.Spalten), QSize(KachelGroesse, KachelGroesse)),
                                    vorschau, rahmen, verhaeltnis,
                                    ladung->Ausgelagert(i) ? ladung->Nachlader() : nullptr));
          },
          zeitscheibe);
      if (FKacheln.size() > gezeigt && (zeitscheibe < 0 || gezeigt == 0 || anzeige.hasExpired(Anzeigetakt))) {
        FAnsicht->ZeigeKacheln(gezeigt, FKacheln.size());
        FFortschritt->setValue(FKacheln.size());
        gezeigt = FKacheln.size();
        anzeige.restart();
      }
    };
    // What is known already is there at once, without an event loop in between, unless there is so
    // much of it (a restart of 20 000 plates) that the first screen should be painted meanwhile.
    uebernimm(ErsteZeitscheibe);
    if (!ladung->AllesUebergeben() && !WarteAufVorschauen(*ladung, uebernimm)) {
      // The window is closing: what is decoded stays in the cache, the rest is of no use any more.
      FNochmalLaden = false;
      FFortschritt->hide();
      QApplication::restoreOverrideCursor();
      return {FGefunden, FGefundenIndex};
    }
    uebernimm(-1);
    // A resize during the wait has sized the box for the window as it is now, and its load follows:
    // a box fitted to this load's columns would hand that load the old width.
    if (!FNochmalLaden)
      FScrollBox->SetzeClientBreite(KachelRaster * gitter.Spalten + KachelAbstand);
  }

  FFortschritt->setValue(0);
  const int sicht = SichtSpalten(FScrollBox->width());
  FScrollBox->SetzeBereich(ScrollBereich(anzahl, sicht));
  FFortschritt->hide();
  QApplication::restoreOverrideCursor();
  FStatus->SetzeSimpleText(QStringLiteral("      ") + QString::number(anzahl) + QStringLiteral(" Nummernfibel "));

  if (!suchtext.isEmpty()) {
    FScrollBox->SetzePosition(FundPosition(FGefundenIndex, sicht));
    if (FScrollBox->Position() <= FundSchwelle)
      FScrollBox->SetzePosition(0);
  }

  if (FNochmalLaden) {
    FNochmalLaden = false;
    return LadeDieBilder(FNochmalSuchtext, FNochmalGruppe);
  }
  return {FGefunden, FGefundenIndex};
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
// input: X11 and Wayland count the close request as such, and it would wait for the whole load.
// A timer hands the finished thumbnails on every few milliseconds, so the progress bar and the
// tiles advance without a round trip per file. Each hand-on gets a slice of time: while more are
// ready, the next slice follows as soon as the window's events are seen to, so a folder of 60 000
// small pictures neither keeps the window from answering nor lets the workers pile up thumbnails.
// The loop ends when every thumbnail is handed on.
bool TGalerie::WarteAufVorschauen(TVorschauLadung &ladung, const std::function<void(int)> &uebernimm) {
  // How soon the workers are looked at again when the next thumbnail is not ready. Often: when
  // they wait for the hand-on to make room (large thumbnails at ratio 2), a long pause here idles
  // them too; the tiles and the progress bar are shown anew only every Anzeigetakt all the same.
  // Until the first tile is there more often still: on a restart the workers only check files
  // against the pack, and the first screen is what the user waits for.
  constexpr int Fortschrittstakt = 5; // ms
  constexpr int ErsterTakt = 2;       // ms
  const auto Takt = [this] { return FKacheln.isEmpty() ? ErsterTakt : Fortschrittstakt; };
  const TTastenStau stau(FFenster);
  QEventLoop schleife;
  QTimer takt;
  takt.setSingleShot(true);
  connect(&takt, &QTimer::timeout, &schleife, [&] {
    // A tick already due when the window closed hands nothing on: the load ends with the close.
    if (FGeschlossen) {
      schleife.quit();
      return;
    }
    uebernimm(Zeitscheibe);
    if (ladung.AllesUebergeben())
      schleife.quit();
    else
      takt.start(ladung.Bereit() ? 0 : Takt());
  });
  // The message goes to the gallery, which outlives every load; the number keeps a late message of
  // an earlier load from touching this one. The last file decoded is handed on at once.
  const quint64 nummer = ++FLadungNummer;
  ladung.BeimEnde([this, nummer] {
    QMetaObject::invokeMethod(
        this,
        [this, nummer] {
          if (FWarteTakt && FLadungNummer == nummer)
            FWarteTakt->start(0);
        },
        Qt::QueuedConnection);
  });
  // A resize locks the window's updates for its relayout; a wait for decoding shows its progress all the same.
  const bool gesperrt = !FFenster->updatesEnabled();
  if (gesperrt)
    FFenster->setUpdatesEnabled(true);
  FWarteSchleife = &schleife;
  FWarteTakt = &takt;
  takt.start(ladung.Bereit() ? 0 : Takt());
  TEingabeAufschub aufschub;
  if (!FGeschlossen)
    schleife.exec();
  FWarteSchleife = nullptr;
  FWarteTakt = nullptr;
  if (!FGeschlossen)
    aufschub.GibWeiter();
  if (gesperrt)
    FFenster->setUpdatesEnabled(false);
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

void TGalerie::SucheBilder(const QString &ordner, const QString &endungen) {
  FBildPfade = ListeBilder(ordner, endungen);
}

void TGalerie::MerkePosition() { FScrollBoxPosition = FScrollBox->Position(); }

void TGalerie::Scrolle(int schritt) {
  FScrollBox->SetzePosition(FScrollBox->Position() + schritt);
  FScrollBoxPosition = FScrollBox->Position();
}

void TGalerie::BilderFreigeben() {
  // Assigned, not cleared: a gallery of 20 000 tiles should not keep its room until the next load.
  FKacheln = QVector<TKachel>();
  FAnsicht->update();
}

void TGalerie::ErzeugeArbeitsobjekte() {
  if (!FVorschauen)
    FVorschauen = new TVorschauCache;
}

void TGalerie::FreigebenArbeitsobjekte() {
  delete FVorschauen;
  FVorschauen = nullptr;
}

int TGalerie::Dekodierungen() const { return FVorschauen ? FVorschauen->Dekodierungen() : 0; }

void TGalerie::Schliesse() {
  FGeschlossen = true;
  if (FWarteSchleife)
    FWarteSchleife->quit();
}

void TGalerie::SetzeMarkenQuelle(TMarkenQuelle quelle) { FAnsicht->SetzeMarkenQuelle(std::move(quelle)); }
