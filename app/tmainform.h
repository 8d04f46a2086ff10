// The one window of the program: its components, its handlers and the state they share.
#pragma once

#include "widgets/bausteine.h"
#include "data/lernstanddatei.h"
#include "data/datenordner.h"
#include "gallery/galerieregeln.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QEventLoop;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QShortcut;
class QTextEdit;
class QTimer;

class TAnker;
class TAnsage;
class TBild;
class TFokusRahmen;
class TGalerieAnsicht;
class TMachPause;
class TPanel;
class TScrollBox;
class TStatusBar;
class TToolBar;
class TVorschauCache;
class TVorschauLadung;

class TMainForm : public QWidget {
  Q_OBJECT

public:
  // basisOrdner holds the data folder and the settings file: the working directory the program was started in.
  explicit TMainForm(const QString &basisOrdner, QWidget *parent = nullptr);
  ~TMainForm() override;

  // The old platform measured the window with its frame; every size rule is written in that measure.
  static constexpr int RahmenBreite = 16;
  static constexpr int RahmenHoehe = 39;
  int Breite() const;
  int Hoehe() const;
  void SetzeBreite(int aussenBreite);
  void SetzeHoehe(int aussenHoehe);
  static QSize Rahmen() { return QSize(RahmenBreite, RahmenHoehe); }
  // The part of the window's screen that windows may use.
  QRect FreieFlaeche() const;
  // Centres the window on its screen, its top-left corner always on it.
  void ZentriereAufDemSchirm();

  // True once a fatal message ended the program; nothing may run or be written after it.
  bool Abgebrochen() const { return FAbgebrochen; }

  // ---- components, named as in the layout --------------------------------------------------
  QFrame *Bevel1 = nullptr;
  QFrame *Bevel2 = nullptr;
  QFrame *Bevel3 = nullptr;
  TScrollBox *ScrollBox1 = nullptr;
  TGalerieAnsicht *Galerie = nullptr; // the tiles, painted inside ScrollBox1
  TPanel *Panel1 = nullptr;
  QLabel *Label1 = nullptr;
  QLabel *Label2 = nullptr;
  TBild *Image2 = nullptr;
  TBild *Image1 = nullptr;
  TBild *Image4 = nullptr;
  TBild *Image3 = nullptr;
  QPushButton *KarteBtn = nullptr;
  QListWidget *Listbox1 = nullptr;
  QComboBox *ComboBox1 = nullptr;
  TPanel *Panel2 = nullptr;
  TBild *RichtigImage = nullptr;
  TBild *FalschImage = nullptr;
  QTextEdit *Memo2 = nullptr;
  TToolBar *ToolBar1 = nullptr;
  QWidget *ToolButton4 = nullptr;
  QPushButton *ZurueckBtn = nullptr;
  QWidget *Trenner = nullptr;
  QPushButton *ZeigDieAntwortBtn = nullptr;
  TStatusBar *StatusBar1 = nullptr;
  QProgressBar *ProgressBar1 = nullptr;
  QPushButton *HilfeBtn = nullptr;
  QPushButton *A_E_Button = nullptr;
  QPushButton *F_J_Button = nullptr;
  QPushButton *K_O_Button = nullptr;
  QPushButton *P_T_Button = nullptr;
  QPushButton *U_Z_Button = nullptr;
  QPushButton *SucheButton = nullptr;
  QLineEdit *SuchEdit = nullptr;
  TMachPause *MachPause1 = nullptr;
  QTimer *Timer1 = nullptr;
  // Practice mode: the check box and the score at the right end of the status bar, the button
  // beside "Zeig mir die richtige Antwort", and Alt+N, which also starts from the gallery.
  QCheckBox *UebenCheckBox = nullptr;
  QLabel *PunkteLabel = nullptr;
  QPushButton *NaechsteFrageBtn = nullptr;
  QShortcut *NaechsteFrageTaste = nullptr;

  // The hidden working list of the question screen; it keeps its lines from one question to the next.
  QStringList Memo1{QStringLiteral("Memo1")};

  // ---- shell: start-up, settings, keys, help, shutdown (app/) -------------------------------
  void FormCreate();
  void FormDestroy();
  // The window is being closed: a load in progress ends at once, and none starts any more.
  void FormClose();
  bool AppMessage(QObject *ziel, QEvent *ereignis);
  void FensterBefehl(Qt::WindowStates alt, Qt::WindowStates neu);
  void GroesseGeaendert();
  void HilfeBtnClick();
  void BilderFreigeben();
  // Shows the fatal message and ends the program; callers stop their work when it returns.
  void FatalerFehler(const QString &text);

  // ---- main window and screens (app/) --------------------------------------------------------
  void FormResize();
  void ZurScrollBoxUmschalten();
  void ZurueckBtnClick();
  void Panel1Click();
  void Image1Click();
  void Image2Click();
  void FormClick();
  void ToolBar1Click();
  bool GalerieSichtbar() const;
  // The Alt+letter keys and the focus ring, set up once the key hook is in place.
  void ZugriffEinrichten();
  TFokusRahmen *FokusRahmen = nullptr;
  TAnsage *Ansage = nullptr; // what a screen reader is to speak without a change of the focus

  // ---- gallery (gallery/) --------------------------------------------------------------------
  void LadeDieBilder();
  // Sets up the painted gallery view inside ScrollBox1, run once at the end of the construction.
  void GalerieEinrichten();
  void SucheBilder(const QString &Ordner, const QString &Endungen);
  void FormPaint();
  // Loads the large and small template of a group; false after the fatal message for a missing one.
  bool GruppeEinrichten(int gruppe);
  void ComboBox1Change();
  void A_E_ButtonClick();
  void F_J_ButtonClick();
  void K_O_ButtonClick();
  void P_T_ButtonClick();
  void U_Z_ButtonClick();
  int Gruppe() const;
  // The gallery's working objects: made at the end of FormCreate, released in FormDestroy.
  void ErzeugeArbeitsobjekte();
  void FreigebenArbeitsobjekte();
  // Decodes done by the gallery since start: a reload of unchanged files must not add to it.
  int Dekodierungen() const;
  // True while the first paint's set-up runs: a paint from inside it (a message box) must not repeat it.
  bool EinrichtungLaeuft = false;
  // True while LadeDieBilder waits for its thumbnails.
  bool LaedtBilder() const { return FWarteSchleife != nullptr; }

  // ---- quiz (quiz/) --------------------------------------------------------------------------
  // Set-up of the quiz components (list, answer box), run once at the end of the construction.
  void QuizEinrichten();
  void BildMouseDown(TKachel *Sender, Qt::MouseButton Button);
  void ListBox1Click();
  void ZeigDieAntwortBtnClick();
  void KarteBtnClick();
  void Timer1Timer();
  // True while the program fills or selects Listbox1: only the user's choice is a click.
  bool ListeDurchProgramm = false;

  // ---- practice mode (quiz/) -----------------------------------------------------------------
  // Set-up of the practice controls, run once at the end of the construction.
  void UebenEinrichten();
  void UebenCheckBoxClick();
  void NaechsteFrageBtnClick();
  bool Ueben() const;
  // Reads the progress file and restores the mode, at start-up.
  void LadeLernstand();
  // The practice controls, the score and the tiles' marks as the mode and the screen want them.
  void ZeigeUebungsteile();
  // The first choice of a practice question (or the answer asked for before it) counts once.
  void ZaehleErsteWahl(bool richtig);
  // A key on the answer list before the first choice: true when it moved through the list or chose.
  bool UebungsTaste(int key);

  TLernstand Lernstand;
  TLernstandDatei LernstandDatei;
  bool LernstandGeaendert = false; // written again at the end if a write failed meanwhile
  bool FrageOffen = false;         // a practice question waits for its first choice
  QString UebungsBild;             // the plate asked last: never asked twice in a row
  bool NeuesZuletzt = true;        // the last one had never been asked; due ones come first at start
  int PunkteRichtig = 0;
  int PunkteGefragt = 0;

  // ---- search and scrolling (search/) --------------------------------------------------------
  // Connects the search field and the gallery's scroll bar, run once at the end of the construction.
  void SucheEinrichten();
  void SucheButtonClick();
  void SuchEditChange();
  void SuchEditKeyDown(int Key);
  void SuchEditKeyUp(int Key, const QString &TastenText);
  void FormMouseWheelDown();
  void FormMouseWheelUp();
  // Enter in the search field: the question for the plate the search framed.
  void OeffneGefundeneFrage();
  // Tells a screen reader what the search found ("HH gefunden"); a search that finds nothing says so in its box.
  void MeldeSuchergebnis(bool gefunden);

  // ---- shared state ----------------------------------------------------------------------------
  TDatenOrdner Pfade;    // base folder and every path built from it
  QString KartenAdresse; // the map base address
  bool MaximiertPerBefehl = false;
  bool GroesseMaximiert = false;
  int GespeicherteTrennerBreite = 0;

  QString AktuellerOrdner;
  QStringList BildPfade;
  QVector<TKachel> Kacheln;
  QString Suchtext;
  bool Gefunden = false;
  int GefundenIndex = 0;
  bool ErstesZeichnen = true;

  QString BildDatei;
  QString RichtigeZeile;
  QString KartenName;
  QString LetzterBildname; // picture name of the last chosen entry, kept between choices

  int ScrollBoxPosition = 0;

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void paintEvent(QPaintEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void closeEvent(QCloseEvent *event) override;
  void changeEvent(QEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  void ErzeugeKomponenten();
  void VerbindeHandler();
  // The first paint's set-up, queued by the show so that the window is on the screen before it runs.
  void ErsteEinrichtung();
  // Waits for the load's worker threads while the window stays alive; false when the load was ended.
  bool WarteAufVorschauen(TVorschauLadung &ladung, const std::function<void()> &uebernimm);

  TAnker *Anker = nullptr;
  TVorschauCache *Vorschauen = nullptr;
  bool FAbgebrochen = false;
  bool FZerstoert = false;
  bool FSchonGezeigt = false;
  bool FGeschlossen = false;  // closed by the user or a signal: no new load starts
  bool FNochmalLaden = false; // a load was asked for while one ran: it follows when that one ends
  QEventLoop *FWarteSchleife = nullptr;
  quint64 FLadungNummer = 0;
  int FRadRest = 0; // wheel delta not yet used up by whole steps
  // Where the focus was when the question opened: it goes back there when the gallery returns.
  QPointer<QWidget> FFokusVorFrage;
};
