// The one window of the program: its components, its handlers, and the wiring of the parts that own the
// screens' state.
#pragma once

#include "data/datenordner.h"
#include "gallery/galerieregeln.h"

#include <QPointer>
#include <QVector>
#include <QString>
#include <QWidget>

#include <memory>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QShortcut;
class QTextEdit;
class QTimer;

class TAnker;
class TAnsage;
class TBild;
class TFokusRahmen;
class TFrage;
class TGalerie;
class TMachPause;
class TPanel;
class TScrollBox;
class TStatusBar;
class TSuche;
class TToolBar;
class TKatalog;
class TRueckfrage;
class TUeben;
class TUebungsFenster;
struct TKatalogEintrag;
struct TLernSchluessel;

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
  QLabel *RichtigLabel = nullptr; // practice: the right answer beside a wrong first choice
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
  // Practice's settings and overview, beside the score; the window itself is made when first asked for.
  QPushButton *EinrichtenBtn = nullptr;
  TUebungsFenster *UebungsFenster = nullptr;
  // In place of the question: the day's end, with the way to go on ahead, and the question that asks
  // for a district's plate.
  QWidget *TagesendeTafel = nullptr;
  QLabel *TagesendeLabel = nullptr;
  QPushButton *VorausBtn = nullptr;
  TRueckfrage *Rueckfrage = nullptr;
  // Scrolls the question panel where the window is too low for the answer list; hidden where it fits.
  QScrollBar *FrageScrollBar = nullptr;
  // The five range buttons, keyed by their range.
  QButtonGroup *Bereichsknoepfe = nullptr;
  TFokusRahmen *FokusRahmen = nullptr;
  TAnsage *Ansage = nullptr; // what a screen reader is to speak without a change of the focus

  // ---- the parts that own the screens' state ------------------------------------------------
  TGalerie *Galerie() const { return FGalerie; }
  TFrage *Frage() const { return FFrage; }
  TUeben *Uebung() const { return FUebung; }
  TSuche *Suche() const { return FSuche; }
  // Base folder and every path built from it.
  const TDatenOrdner &Pfade() const { return FPfade; }

  // ---- shell: start-up, settings, keys, help, shutdown ---------------------------------------
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
  // True once the first paint's set-up has run.
  bool Eingerichtet() const { return !FErstesZeichnen; }
  // Maximised by the window system's command, not by a size.
  bool MaximiertPerBefehl() const { return FMaximiertPerBefehl; }
  // The tool bar's spacer as the first paint left it: a restore gives it back.
  int GespeicherteTrennerBreite() const { return FGespeicherteTrennerBreite; }
  // The map base address, from the settings or built in.
  const QString &KartenAdresse() const { return FKartenAdresse; }

  // ---- main window and screens ---------------------------------------------------------------
  void FormResize();
  // Where the window leaves the answer list fewer than MindestZeilen rows, the question panel keeps the
  // height the list needs and scrolls in its place; where the layout fits, nothing changes.
  void PasseFrageAn();
  void FormPaint();
  void ZurScrollBoxUmschalten();
  void ZurueckBtnClick();
  void Panel1Click();
  void Image1Click();
  void Image2Click();
  void FormClick();
  void ToolBar1Click();
  bool GalerieSichtbar() const;

  // ---- gallery, groups and letter ranges -----------------------------------------------------
  void LadeDieBilder();
  // Loads the large and small template of a group; false after the fatal message for a missing one.
  bool GruppeEinrichten(int gruppe);
  void ComboBox1Change();
  void A_E_ButtonClick();
  void F_J_ButtonClick();
  void K_O_ButtonClick();
  void P_T_ButtonClick();
  void U_Z_ButtonClick();
  int Gruppe() const;
  // True while LadeDieBilder waits for its thumbnails.
  bool LaedtBilder() const;

  // ---- quiz ----------------------------------------------------------------------------------
  void BildMouseDown(TKachel *Sender, Qt::MouseButton Button);
  // The question for a picture, as a press of this button on its tile opens it.
  void OeffneFrage(const QString &bildPfad, Qt::MouseButton Button);
  void ListBox1Click();
  void ZeigDieAntwortBtnClick();
  void KarteBtnClick();
  void Timer1Timer();

  // ---- practice mode -------------------------------------------------------------------------
  void UebenCheckBoxClick();
  void NaechsteFrageBtnClick();
  bool Ueben() const;
  void EinrichtenBtnClick();
  void VorausBtnClick();
  // Every plate of the data set, read when practice first needs it.
  const TKatalog &Katalog();

  // ---- search and scrolling ------------------------------------------------------------------
  void SucheButtonClick();
  void SuchEditChange();
  void SuchEditKeyDown(int Key);
  void SuchEditKeyUp(int Key, const QString &TastenText);
  void FormMouseWheelDown();
  void FormMouseWheelUp();
  // The keyboard's way through the tiles: Alt+arrows, Alt+Home and Alt+End move the tile cursor, and
  // Alt+Enter opens its question, also of the tile a search framed.
  void BewegeKachelCursor(int taste);
  void OeffneKachelCursor();

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
  // The parts get their widgets and are wired to each other, once the components exist.
  void ErzeugeTeile();
  // The Alt+letter keys and the focus ring, set up once the key hook is in place.
  void ZugriffEinrichten();
  // The first paint's set-up, queued by the show so that the window is on the screen before it runs.
  void ErsteEinrichtung();
  // Shows the part of the question panel the scroll bar asks for.
  void LegeFrageVersatz();
  // A range button's work: it alone bold, its folder loaded.
  void WaehleBereich(TBereich bereich);
  // The practice controls, the score and the tiles' marks as the mode and the screen want them.
  void ZeigeUebungsteile();
  // What a screen reader is told of a counted practice choice, the score included.
  QString UebungsUrteil(bool richtig) const;
  // The tile cursor to the tile of a picture (a search's find), unseen until keys move it.
  void SetzeKachelCursorAufBild(int bild);
  // The gallery gives way to the question screen's tool bar; the question's panels or a practice
  // board take its place.
  void ZeigeFrageSchirm();
  void ZeigeTafel(QWidget *tafel);
  // The practice board on the screen, if any.
  QWidget *SichtbareTafel() const;
  // The plates practice asks from: the selection, or without one the gallery's range.
  QVector<const TKatalogEintrag *> UebungsPlatten();
  QVector<TLernSchluessel> LernSchluessel(const QVector<const TKatalogEintrag *> &platten) const;
  // The gallery shows the plate's group and range; false when it cannot.
  bool ZeigeBereichVon(const TKatalogEintrag &platte);
  void ZeigeTagesende(const QVector<TLernSchluessel> &platten);
  void StelleRueckfrage(const TKatalogEintrag &platte);
  // What the overview counts and a reset forgets: the selection, or without one the group's plates.
  QVector<const TKatalogEintrag *> UebersichtsPlatten();
  // The settings window's overview of those plates.
  void ZeigeUebersicht();

  TDatenOrdner FPfade;
  QString FKartenAdresse; // the map base address
  TAnker *Anker = nullptr;
  TGalerie *FGalerie = nullptr;
  TFrage *FFrage = nullptr;
  TUeben *FUebung = nullptr;
  TSuche *FSuche = nullptr;
  std::unique_ptr<TKatalog> FKatalog;
  bool FMaximiertPerBefehl = false;
  bool FGroesseMaximiert = false;
  int FGespeicherteTrennerBreite = 0;
  bool FErstesZeichnen = true;
  // True while the first paint's set-up runs: a paint from inside it (a message box) must not repeat it.
  bool FEinrichtungLaeuft = false;
  bool FAbgebrochen = false;
  bool FZerstoert = false;
  bool FSchonGezeigt = false;
  int FRadRest = 0;           // wheel delta not yet used up by whole steps
  bool FFrageVerlegt = false; // the question panel is taller than its place and scrolls
  // Where the focus was when the question opened: it goes back there when the gallery returns.
  QPointer<QWidget> FFokusVorFrage;
};
