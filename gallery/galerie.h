// The gallery screen's state: the folder shown, its pictures and tiles, the thumbnail cache, the
// plate a search framed and the scroll position to come back to. It loads a folder into the scroll
// box it is handed and tells of a pressed tile; what follows a press is the window's business.
#pragma once

#include "gallery/galerieansicht.h"
#include "gallery/galerieregeln.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class QEventLoop;
class QProgressBar;
class QTimer;
class QWidget;
class TScrollBox;
class TStatusBar;
class TVorschauCache;
class TVorschauLadung;

// What a load framed: whether a tile matched the search, and the index of its picture.
struct TFund {
  bool Gefunden = false;
  int Index = 0;
};

class TGalerie : public QObject {
  Q_OBJECT
public:
  // fenster is the window the scroll box lies in: a load keeps its input waiting and its paints going.
  TGalerie(QWidget *fenster, TScrollBox *scrollBox, QProgressBar *fortschritt, TStatusBar *status);
  ~TGalerie() override;

  const QString &AktuellerOrdner() const { return FAktuellerOrdner; }
  void SetzeOrdner(const QString &ordner) { FAktuellerOrdner = ordner; }
  const QStringList &BildPfade() const { return FBildPfade; }
  const QVector<TKachel> &Kacheln() const { return FKacheln; }
  TGalerieAnsicht *Ansicht() const { return FAnsicht; }

  // Loads the tiles of the current folder, framing the plate of suchtext by the group's rules, and
  // scrolls to it. A load asked for while one waits for its thumbnails follows that one.
  TFund LadeDieBilder(const QString &suchtext, int gruppe);
  bool LaedtBilder() const { return FWarteSchleife != nullptr; }
  // The find of the last load.
  bool Gefunden() const { return FGefunden; }
  int GefundenIndex() const { return FGefundenIndex; }

  // The position the gallery comes back to from a question.
  int ScrollBoxPosition() const { return FScrollBoxPosition; }
  void SetzeScrollBoxPosition(int position) { FScrollBoxPosition = position; }
  // Takes the box's position as the one to come back to.
  void MerkePosition();
  // Scrolls by a number of pixels; the position reached is the one to come back to.
  void Scrolle(int schritt);

  void BilderFreigeben();
  // The thumbnail cache: made at start-up, released when the window goes.
  void ErzeugeArbeitsobjekte();
  void FreigebenArbeitsobjekte();
  // Decodes done since start: a reload of unchanged files must not add to it.
  int Dekodierungen() const;

  // The window is being closed: a load in progress ends at once, and none starts any more.
  void Schliesse();
  // Shown again after a close.
  void Oeffne() { FGeschlossen = false; }
  bool Geschlossen() const { return FGeschlossen; }

  // In practice mode each tile shows its plate's box; an empty function: no marks.
  void SetzeMarkenQuelle(TMarkenQuelle quelle);

signals:
  // A press of a mouse button on a tile, or the press action of its accessible child.
  void KachelGedrueckt(const TKachel &kachel, Qt::MouseButton knopf);

private:
  void SucheBilder(const QString &ordner, const QString &endungen);
  // Waits for the load's worker threads while the window stays alive; false when the load was ended.
  // uebernimm(zeitscheibe) hands on what is ready, for at most that many milliseconds.
  bool WarteAufVorschauen(TVorschauLadung &ladung, const std::function<void(int)> &uebernimm);

  QWidget *FFenster;
  TScrollBox *FScrollBox;
  QProgressBar *FFortschritt;
  TStatusBar *FStatus;
  TGalerieAnsicht *FAnsicht = nullptr;
  TVorschauCache *FVorschauen = nullptr;

  QString FAktuellerOrdner;
  QStringList FBildPfade;
  QVector<TKachel> FKacheln;
  bool FGefunden = false;
  int FGefundenIndex = 0;
  int FScrollBoxPosition = 0;

  bool FGeschlossen = false;  // closed by the user or a signal: no new load starts
  bool FNochmalLaden = false; // a load was asked for while one ran: it follows when that one ends
  QString FNochmalSuchtext;   // and what it was asked for
  int FNochmalGruppe = -1;
  QEventLoop *FWarteSchleife = nullptr;
  QTimer *FWarteTakt = nullptr; // hands the finished thumbnails on while FWarteSchleife runs
  quint64 FLadungNummer = 0;
};
