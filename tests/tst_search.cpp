// The plate search and the gallery's scrolling: the rules, the scroll box, and the window driven
// through its search field, its wheel and its scroll bar.
#include "widgets/bausteine.h"
#include "widgets/meldung.h"
#include "app/tmainform.h"
#include "data/lernstand.h"
#include "gallery/galerie.h"
#include "quiz/frage.h"
#include "quiz/ueben.h"
#include "search/suche.h"
#include "widgets/zugang.h"
#include "fixturbaum.h"
#include "gallery/galerieansicht.h"
#include "search/suchregeln.h"
#include "search/tscrollbox.h"
#include "tests/schleuse.h"
#include "tests/zeugen.h"

#include <QAccessible>
#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(std::optional<TBereich>)

namespace {

constexpr int Zeile = 99;

QString Nicht(const QString &code) { return QStringLiteral("Das Kennzeichen ") + code + " wurde nicht gefunden!"; }
const QString KeinText = QStringLiteral("Sie haben kein Suchtext eingegeben!");

// A plate picture twice as wide as high: its thumbnail leaves the tile's top-left pixel white, so that
// pixel shows the frame's colour unmixed.
void SchreibePlatte(const QString &pfad) {
  QImage bild(60, 30, QImage::Format_RGB32);
  bild.fill(Qt::white);
  QPainter(&bild).fillRect(20, 10, 20, 10, Qt::black);
  QVERIFY2(bild.save(pfad, "JPG"), qPrintable(pfad));
}

void Haenge(const QString &pfad, const QString &zeilen) {
  QFile datei(pfad);
  QVERIFY(datei.open(QIODevice::Append));
  datei.write(zeilen.toUtf8());
}

bool Gerahmt(const TKachel &kachel) { return kachel.Bild().pixel(0, 0) == qRgb(255, 255, 0); }

// The thumb, arrows and trough of a vertical bar, as its style lays them out.
QRect Teil(QScrollBar *leiste, QStyle::SubControl teil) {
  QStyleOptionSlider opt;
  opt.initFrom(leiste);
  opt.orientation = leiste->orientation();
  opt.minimum = leiste->minimum();
  opt.maximum = leiste->maximum();
  opt.sliderPosition = leiste->sliderPosition();
  opt.sliderValue = leiste->value();
  opt.singleStep = leiste->singleStep();
  opt.pageStep = leiste->pageStep();
  opt.upsideDown = leiste->invertedAppearance();
  return leiste->style()->subControlRect(QStyle::CC_ScrollBar, &opt, teil, leiste);
}

void Maus(QWidget *ziel, QEvent::Type art, QPoint wo, Qt::MouseButtons gedrueckt) {
  const Qt::MouseButton knopf = art == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
  QMouseEvent ereignis(art, QPointF(wo), QPointF(ziel->mapToGlobal(wo)), knopf, gedrueckt, Qt::NoModifier);
  QApplication::sendEvent(ziel, &ereignis);
}

// Drags the thumb of a vertical bar by this many pixels.
void ZieheDaumen(QScrollBar *leiste, int pixel) {
  const QPoint von = Teil(leiste, QStyle::SC_ScrollBarSlider).center();
  const QPoint nach = von + QPoint(0, pixel);
  Maus(leiste, QEvent::MouseButtonPress, von, Qt::LeftButton);
  Maus(leiste, QEvent::MouseMove, von + QPoint(0, pixel / 2), Qt::LeftButton);
  Maus(leiste, QEvent::MouseMove, nach, Qt::LeftButton);
  Maus(leiste, QEvent::MouseButtonRelease, nach, Qt::NoButton);
}

// One wheel notch: negative towards the user.
void Rad(QWidget *ziel, int delta) {
  const QPointF mitte(ziel->width() / 2.0, ziel->height() / 2.0);
  QWheelEvent ereignis(mitte, ziel->mapToGlobal(mitte), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                       Qt::NoScrollPhase, false);
  QApplication::sendEvent(ziel, &ereignis);
}

// The data folder of the search tests: the six folders with their text files (from the fixture
// folder), the four group templates, the state plates, a few plates per range, and enough plates in
// P-T and in the Austrian folder to scroll.
void BaueDaten(const QString &basis) {
  const QString deutsch = basis + "/Bilder/Deutschland/";
  const QString oesterreich = basis + "/Bilder/Österreich/";
  QVERIFY(Fixturbaum::LegeOrdnerAn(basis));
  QVERIFY(Fixturbaum::LegeVorlagenAn(basis));
  for (const char *land : {"Oberste Organe", "Burgenland", "Kärnten", "Niederösterreich", "Oberösterreich", "Salzburg",
                           "Steiermark", "Tirol", "Vorarlberg", "Wien", "ohne Wappen"})
    SchreibePlatte(oesterreich + "Ö_Kennzeichen_" + QString::fromUtf8(land) + ".jpg");

  const QString vorlagen = QFINDTESTDATA("fixtures/search");
  QVERIFY(!vorlagen.isEmpty());
  QVERIFY(Fixturbaum::KopiereTextDateien(basis, vorlagen));

  const QList<std::pair<QString, QStringList>> platten = {
      {deutsch + "A-E/", {"A", "B", "AA"}},  {deutsch + "F-J/", {"F", "H", "HH", "HB"}},
      {deutsch + "K-O/", {"K", "M", "ÖHR", "MU", "MUC", "MÜ", "MÜL"}}, {deutsch + "P-T/", {"S"}},
      {deutsch + "U-Z/", {"W", "ÜB"}},       {oesterreich + "A-Z/", {"W_9", "WB_9", "WU_3", "B_8", "B_-"}}};
  for (const auto &[ordner, codes] : platten)
    for (const QString &code : codes)
      SchreibePlatte(ordner + code + ".jpg");

  QString zeilenDe, zeilenAt;
  for (char erstes : {'P', 'R', 'T'})
    for (char zweites = 'A'; zweites <= 'Z'; ++zweites) {
      const QString code = QString(QLatin1Char(erstes)) + QLatin1Char(zweites);
      SchreibePlatte(deutsch + "P-T/" + code + ".jpg");
      zeilenDe += code + ".jpg\tLandkreis " + code + "\r\n";
    }
  for (const char *paar : {"K1", "L4", "S5"})
    for (char zweites = 'A'; zweites <= 'Z'; ++zweites) {
      const QString name = QString(QLatin1Char(paar[0])) + QLatin1Char(zweites) + "_" + QLatin1Char(paar[1]);
      SchreibePlatte(oesterreich + "A-Z/" + name + ".jpg");
      zeilenAt += name + ".jpg\tBezirk " + name + "\r\n";
    }
  Haenge(deutsch + "P-T/P-T.txt", zeilenDe);
  Haenge(oesterreich + "A-Z/Ö-Kfz.txt", zeilenAt);
}

// Every load with tiles ends by setting the progress bar back to 0.
int Ladungen(const QSignalSpy &fortschritt) {
  int anzahl = 0;
  for (const QList<QVariant> &signal : fortschritt)
    anzahl += signal.at(0).toInt() == 0;
  return anzahl;
}

int Index(const TMainForm *fenster, const QString &name) {
  for (int i = 0; i < fenster->Galerie()->BildPfade().size(); ++i)
    if (fenster->Galerie()->BildPfade().at(i).endsWith("/" + name))
      return i;
  return -1;
}

QStringList Gerahmte(const TMainForm *fenster) {
  QStringList namen;
  for (const TKachel &kachel : fenster->Galerie()->Kacheln())
    if (Gerahmt(kachel))
      namen << fenster->Galerie()->BildPfade().at(kachel.Tag()).section('/', -1);
  return namen;
}

QString FetterKnopf(const TMainForm *fenster) {
  QString name;
  for (const QPushButton *knopf :
       {fenster->A_E_Button, fenster->F_J_Button, fenster->K_O_Button, fenster->P_T_Button, fenster->U_Z_Button})
    if (knopf->font().bold())
      name += knopf->objectName();
  return name;
}

// Types one character into the field, press and release, as a keyboard would deliver it.
void Tippe(QLineEdit *feld, QChar zeichen) {
  if (zeichen == '\r') {
    QTest::keyClick(feld, Qt::Key_Return);
    return;
  }
  const auto taste = Qt::Key(zeichen.toUpper().unicode());
  QTest::sendKeyEvent(QTest::Click, feld, taste, QString(zeichen), Qt::NoModifier);
}

// The first tile that lies fully in the visible part of the gallery.
const TKachel *SichtbareKachel(TMainForm *fenster) {
  QWidget *sicht = fenster->ScrollBox1->viewport();
  for (const TKachel &kachel : fenster->Galerie()->Kacheln()) {
    const int oben = fenster->Galerie()->Ansicht()->mapTo(sicht, kachel.Feld().topLeft()).y();
    if (oben >= 0 && oben + kachel.Feld().height() <= sicht->height())
      return &kachel;
  }
  return nullptr;
}

// A press on the middle of the tile's square, as the mouse delivers it to the gallery view.
void Druecke(TMainForm *fenster, const TKachel &kachel) {
  QTest::mousePress(fenster->Galerie()->Ansicht(), Qt::LeftButton, {}, kachel.Feld().center());
}

} // namespace

class TestSearch : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Fixturbaum::EigenerCache(); }
  void init();
  void cleanup();

  void suchbegriff_data();
  void suchbegriff();
  void feldText_data();
  void feldText();
  void bereich_data();
  void bereich();
  void tasteZuText_data();
  void tasteZuText();
  void tastencode_data();
  void tastencode();

  void leisteSchritte();
  void aktionMeldetPositionDavor_data();
  void aktionMeldetPositionDavor();
  void mausAufDerLeiste_data();
  void mausAufDerLeiste();
  void daumenZiehen();
  void boxDrehtNichtAmRad();

  void gleicherTextSuchtNicht();
  void kleinesH();
  void grossesH();
  void caretNachBuchstabe();
  void vierterBuchstabe();
  void tippen_data();
  void tippen();
  void eingefuegt();
  void enterSuchtNochmals();
  void enterSchliesstMeldung_data();
  void enterSchliesstMeldung();
  void loslassenNachKontextmenue();
  void tastenWaehrendDesLadens_data();
  void tastenWaehrendDesLadens();
  void oesterreich_data();
  void oesterreich();

  void passendeGalerie();
  void radAmEnde();
  void radZeilen();
  void radAufDerFrage();
  void daumenFrageZurueck();
  void gruppenwechselFrageZurueck();
  void kachelDruecken_data();
  void kachelDruecken();
  void kachelnFuerAssistenz();
  void kachelTooltip();
  void tastaturWeg();
  void enterOhneFundOeffnetNichts();
  void kachelCursor();

private:
  std::unique_ptr<TZeugen> Zeugen;
  // dazu adds to the data folder before the window starts.
  std::unique_ptr<TMainForm> Fenster(int gruppe = 0, const std::function<void(const QString &)> &dazu = {});
  QTemporaryDir *FOrdner = nullptr;
};

void TestSearch::init() {
  FOrdner = new QTemporaryDir;
  QVERIFY(FOrdner->isValid());
  Zeugen = std::make_unique<TZeugen>();
}

void TestSearch::cleanup() {
  Zeugen.reset();
  delete FOrdner;
  FOrdner = nullptr;
}

// ---- rules ----------------------------------------------------------------------------------------

void TestSearch::suchbegriff_data() {
  QTest::addColumn<QString>("feld");
  QTest::addColumn<QString>("begriff");
  QTest::newRow("lower_case") << "hh"
                              << "HH";
  QTest::newRow("umlaut_oe_lower") << "öhr"
                                   << "ÖHR";
  QTest::newRow("umlaut_ae_lower") << "ä"
                                   << "Ä";
  QTest::newRow("blanks_trimmed") << "  b  "
                                  << "B";
  QTest::newRow("blank_alone") << " "
                               << "";
  QTest::newRow("tab_and_control_trimmed") << "\tk\x01"
                                           << "K";
  QTest::newRow("inner_blank_kept") << "a b"
                                    << "A B";
  QTest::newRow("longer_than_three_kept") << "hhab"
                                          << "HHAB";
  QTest::newRow("outside_cp1252") << "łb"
                                  << "?B";
  QTest::newRow("surrogate_pair_one_mark") << QString::fromUtf8("\xF0\x9F\x98\x80") + "a"
                                           << "?A";
  QTest::newRow("euro_kept") << "€"
                             << "€";
}

void TestSearch::suchbegriff() {
  QFETCH(QString, feld);
  QFETCH(QString, begriff);
  QCOMPARE(Suchbegriff(feld), begriff);
}

void TestSearch::feldText_data() {
  QTest::addColumn<QString>("feld");
  QTest::addColumn<QString>("geschrieben");
  QTest::newRow("lower_to_upper") << "h"
                                  << "H";
  QTest::newRow("fourth_cut") << "HHXa"
                              << "HHX";
  QTest::newRow("umlaut_ue") << "üb"
                             << "ÜB";
  QTest::newRow("blanks_not_trimmed") << " h"
                                      << " H";
  QTest::newRow("outside_cp1252") << "ł"
                                  << "?";
  QTest::newRow("empty") << ""
                         << "";
  QTest::newRow("pasted_long") << "abcdef"
                               << "ABC";
}

void TestSearch::feldText() {
  QFETCH(QString, feld);
  QFETCH(QString, geschrieben);
  QCOMPARE(NormalisierterFeldText(feld), geschrieben);
}

void TestSearch::bereich_data() {
  QTest::addColumn<QString>("begriff");
  QTest::addColumn<std::optional<TBereich>>("bereich");
  QTest::newRow("A") << "A" << std::optional(TBereich::A_E);
  QTest::newRow("E_last_of_a_e") << "EB" << std::optional(TBereich::A_E);
  QTest::newRow("F_first_of_f_j") << "F" << std::optional(TBereich::F_J);
  QTest::newRow("J") << "J" << std::optional(TBereich::F_J);
  QTest::newRow("K") << "KA" << std::optional(TBereich::K_O);
  QTest::newRow("O") << "OB" << std::optional(TBereich::K_O);
  QTest::newRow("umlaut_oe_upper") << "ÖHR" << std::optional(TBereich::K_O);
  QTest::newRow("P") << "P" << std::optional(TBereich::P_T);
  QTest::newRow("T") << "TÜ" << std::optional(TBereich::P_T);
  QTest::newRow("U") << "U" << std::optional(TBereich::U_Z);
  QTest::newRow("Z") << "Z" << std::optional(TBereich::U_Z);
  QTest::newRow("umlaut_ue_upper") << "ÜB" << std::optional(TBereich::U_Z);
  QTest::newRow("umlaut_ae_upper") << "Ä" << std::optional<TBereich>();
  QTest::newRow("lower_case_is_no_code") << "h" << std::optional<TBereich>();
  QTest::newRow("digit") << "5" << std::optional<TBereich>();
  QTest::newRow("diplomats_zero") << "0" << std::optional(TBereich::A_E);
  QTest::newRow("question_mark") << "?" << std::optional<TBereich>();
  QTest::newRow("empty") << "" << std::optional<TBereich>();
  QTest::newRow("accent_e") << "É" << std::optional<TBereich>();
}

void TestSearch::bereich() {
  QFETCH(QString, begriff);
  QFETCH(std::optional<TBereich>, bereich);
  QCOMPARE(BereichFuerSuchbegriff(begriff), bereich);
}

void TestSearch::tasteZuText_data() {
  QTest::addColumn<QString>("ereignis");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("umlaut");
  QTest::newRow("umlaut_ae_lower") << "ä"
                                   << "ä" << true;
  QTest::newRow("umlaut_oe_lower") << "ö"
                                   << "ö" << true;
  QTest::newRow("umlaut_ue_lower") << "ü"
                                   << "ü" << true;
  QTest::newRow("umlaut_ae_upper") << "Ä"
                                   << "Ä" << true;
  QTest::newRow("umlaut_oe_upper") << "Ö"
                                   << "Ö" << true;
  QTest::newRow("umlaut_ue_upper") << "Ü"
                                   << "Ü" << true;
  QTest::newRow("sharp_s") << "ß"
                           << "ß" << false;
  QTest::newRow("letter") << "a"
                          << "a" << false;
  QTest::newRow("dead_key") << ""
                            << "" << false;
  QTest::newRow("enter") << "\r"
                         << "\r" << false;
  QTest::newRow("two_characters") << "´a"
                                  << "´a" << false;
  QTest::newRow("input_method_cut_to_two") << "äöü"
                                           << "äö" << false;
  QTest::newRow("outside_cp1252") << "ł"
                                  << "?" << false;
  QTest::newRow("decomposed_umlaut") << QString::fromUtf8("o\xCC\x88") << "o?" << false;
}

void TestSearch::tasteZuText() {
  QFETCH(QString, ereignis);
  QFETCH(QString, text);
  QFETCH(bool, umlaut);
  QCOMPARE(TasteZuText(ereignis), text);
  QCOMPARE(IstUmlaut(TasteZuText(ereignis)), umlaut);
}

void TestSearch::tastencode_data() {
  QTest::addColumn<int>("qt");
  QTest::addColumn<int>("code");
  QTest::newRow("A") << int(Qt::Key_A) << 65;
  QTest::newRow("Z") << int(Qt::Key_Z) << 90;
  QTest::newRow("return") << int(Qt::Key_Return) << 13;
  QTest::newRow("keypad_enter") << int(Qt::Key_Enter) << 13;
  QTest::newRow("digit") << int(Qt::Key_5) << 53;
  QTest::newRow("shift") << int(Qt::Key_Shift) << 16;
  QTest::newRow("left") << int(Qt::Key_Left) << 37;
  QTest::newRow("umlaut_key_no_letter") << int(Qt::Key_Odiaeresis) << 0;
  QTest::newRow("bracket_below_a") << int(Qt::Key_At) << 0;
  QTest::newRow("bracket_above_z") << int(Qt::Key_BracketLeft) << 0;
  QTest::newRow("f1") << int(Qt::Key_F1) << 0;
}

void TestSearch::tastencode() {
  QFETCH(int, qt);
  QFETCH(int, code);
  QCOMPARE(VirtuellerTastencode(qt), code);
}

// ---- the scroll box on its own ----------------------------------------------------------------------

void TestSearch::leisteSchritte() {
  TScrollBox box;
  box.resize(300, 200);
  box.SetzeBereich(1000);
  QScrollBar *leiste = box.verticalScrollBar();
  QCOMPARE(leiste->singleStep(), 8);
  QCOMPARE(leiste->pageStep(), box.ClientHoehe());
  QVERIFY(leiste->hasTracking());
  QCOMPARE(box.GroesstePosition(), 1000 - box.ClientHoehe());
  // The page follows the visible height when the box is resized, also when that happened while it
  // was hidden behind the question screen.
  box.resize(300, 400);
  box.show();
  QCOMPARE(leiste->pageStep(), box.ClientHoehe());
  box.resize(300, 250);
  QCOMPARE(leiste->pageStep(), box.ClientHoehe());
  QCOMPARE(box.horizontalScrollBar()->maximum(), 0);
  // Nothing of the user's: a program's move is no action.
  QSignalSpy spy(&box, &TScrollBox::PositionVorAktion);
  box.SetzePosition(250);
  QCOMPARE(box.Position(), 250);
  box.SetzePosition(99999);
  QCOMPARE(box.Position(), box.GroesstePosition());
  QCOMPARE(spy.count(), 0);
}

void TestSearch::aktionMeldetPositionDavor_data() {
  QTest::addColumn<int>("aktion");
  QTest::addColumn<int>("danach"); // -1: the largest position
  QTest::newRow("arrow_down") << int(QAbstractSlider::SliderSingleStepAdd) << 108;
  QTest::newRow("arrow_up") << int(QAbstractSlider::SliderSingleStepSub) << 92;
  QTest::newRow("trough_up") << int(QAbstractSlider::SliderPageStepSub) << 0;
  QTest::newRow("top") << int(QAbstractSlider::SliderToMinimum) << 0;
  QTest::newRow("bottom") << int(QAbstractSlider::SliderToMaximum) << -1;
}

void TestSearch::aktionMeldetPositionDavor() {
  QFETCH(int, aktion);
  QFETCH(int, danach);
  TScrollBox box;
  box.resize(300, 200);
  box.SetzeBereich(1000);
  box.SetzePosition(100);
  QList<int> gemeldet;
  connect(&box, &TScrollBox::PositionVorAktion, [&](int p) { gemeldet << p; });
  box.verticalScrollBar()->triggerAction(QAbstractSlider::SliderAction(aktion));
  QCOMPARE(gemeldet, QList<int>{100});
  QCOMPARE(box.Position(), danach < 0 ? box.GroesstePosition() : danach);
}

void TestSearch::mausAufDerLeiste_data() {
  QTest::addColumn<int>("teil");
  QTest::addColumn<int>("schritt"); // 0: the step is the page
  QTest::newRow("arrow_down") << int(QStyle::SC_ScrollBarAddLine) << 8;
  QTest::newRow("arrow_up") << int(QStyle::SC_ScrollBarSubLine) << -8;
  QTest::newRow("trough_below_thumb") << int(QStyle::SC_ScrollBarAddPage) << 0;
}

// A click records the position before it and, when the button is let go, the position it reached.
void TestSearch::mausAufDerLeiste() {
  QFETCH(int, teil);
  QFETCH(int, schritt);
  TScrollBox box;
  box.resize(300, 200);
  box.SetzeBereich(1000);
  box.show();
  box.SetzePosition(40);
  if (schritt == 0)
    schritt = box.ClientHoehe();
  QScrollBar *leiste = box.verticalScrollBar();
  QList<int> gemeldet;
  connect(&box, &TScrollBox::PositionVorAktion, [&](int p) { gemeldet << p; });
  const QPoint wo = Teil(leiste, QStyle::SubControl(teil)).center();
  Maus(leiste, QEvent::MouseButtonPress, wo, Qt::LeftButton);
  Maus(leiste, QEvent::MouseButtonRelease, wo, Qt::NoButton);
  QCOMPARE(box.Position(), 40 + schritt);
  QCOMPARE(gemeldet.first(), 40);
  QCOMPARE(gemeldet.last(), 40 + schritt);
}

void TestSearch::daumenZiehen() {
  TScrollBox box;
  box.resize(300, 200);
  box.SetzeBereich(1000);
  box.show();
  box.SetzePosition(40);
  QList<int> gemeldet;
  connect(&box, &TScrollBox::PositionVorAktion, [&](int p) { gemeldet << p; });
  ZieheDaumen(box.verticalScrollBar(), 30);
  QVERIFY(box.Position() > 40);
  QCOMPARE(gemeldet.first(), 40);
  QCOMPARE(gemeldet.last(), box.Position());
}

void TestSearch::boxDrehtNichtAmRad() {
  TScrollBox box;
  box.resize(300, 200);
  box.SetzeBereich(1000);
  box.show();
  QSignalSpy spy(&box, &TScrollBox::PositionVorAktion);
  Rad(box.viewport(), -120);
  Rad(box.verticalScrollBar(), -120);
  QCOMPARE(box.Position(), 0);
  QCOMPARE(spy.count(), 0);
}

// ---- the window: searching ------------------------------------------------------------------------

std::unique_ptr<TMainForm> TestSearch::Fenster(int gruppe, const std::function<void(const QString &)> &dazu) {
  BaueDaten(FOrdner->path());
  if (dazu && !QTest::currentTestFailed())
    dazu(FOrdner->path());
  if (QTest::currentTestFailed())
    return nullptr;
  if (gruppe != 0) {
    QFile ini(FOrdner->filePath("Kennzeichen.ini"));
    if (ini.open(QIODevice::WriteOnly))
      ini.write("[Einstellung]\r\nAuswahl=" + QByteArray::number(gruppe) + "\r\n");
  }
  auto fenster = std::make_unique<TMainForm>(FOrdner->path());
  fenster->show();
  fenster->activateWindow();
  if (!QTest::qWaitForWindowActive(fenster.get()))
    qWarning("window did not become active");
  // Fixture faults are reported by the helpers; the test then stops at its check of the window.
  if (QTest::currentTestFailed() || !QTest::qWaitFor([&] { return fenster->Eingerichtet(); }))
    return nullptr;
  fenster->SuchEdit->setFocus();
  return fenster;
}

// The field raises its change for every different text the program writes, and none for the same.
void TestSearch::gleicherTextSuchtNicht() {
  auto f = Fenster();
  QVERIFY(f);
  QSignalSpy fortschritt(f->ProgressBar1, &QProgressBar::valueChanged);
  f->SuchEdit->setText("HH");
  QCOMPARE(Ladungen(fortschritt), 1);
  f->SuchEdit->setText("HH");
  QCOMPARE(Ladungen(fortschritt), 1);
  f->SuchEdit->clear();
  QCOMPARE(Ladungen(fortschritt), 1);
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

void TestSearch::kleinesH() {
  auto f = Fenster();
  QVERIFY(f);
  QSignalSpy fortschritt(f->ProgressBar1, &QProgressBar::valueChanged);
  QTest::keyClick(f->SuchEdit, 'h');
  // Once for the typed "h", once more for the "H" that the release writes back.
  QCOMPARE(Ladungen(fortschritt), 2);
  QCOMPARE(f->SuchEdit->text(), QString("H"));
  QCOMPARE(f->Suche()->Suchtext(), QString("H"));
  QCOMPARE(f->Galerie()->AktuellerOrdner(), f->Pfade().Ordner(TBereich::F_J));
  QCOMPARE(FetterKnopf(f.get()), QString("F_J_Button"));
  QCOMPARE(Gerahmte(f.get()), QStringList{"H.jpg"});
  QCOMPARE(f->Galerie()->GefundenIndex(), Index(f.get(), "H.jpg"));
  QCOMPARE(f->SuchEdit->cursorPosition(), 1);
  QVERIFY(f->SuchEdit->hasFocus());
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

void TestSearch::grossesH() {
  auto f = Fenster();
  QVERIFY(f);
  QSignalSpy fortschritt(f->ProgressBar1, &QProgressBar::valueChanged);
  QTest::keyClick(f->SuchEdit, 'H');
  QCOMPARE(Ladungen(fortschritt), 1);
  QCOMPARE(f->SuchEdit->text(), QString("H"));
  // The release empties the term and writes nothing new, so no search sets it again.
  QCOMPARE(f->Suche()->Suchtext(), QString());
  QCOMPARE(Gerahmte(f.get()), QStringList{"H.jpg"});
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

// A letter puts the caret at the end even when the text stays as it is; other keys leave it.
void TestSearch::caretNachBuchstabe() {
  auto f = Fenster();
  QVERIFY(f);
  f->SuchEdit->setText("HB");
  f->SuchEdit->setCursorPosition(0);
  QTest::keyClick(f->SuchEdit, 'H');
  QCOMPARE(f->SuchEdit->text(), QString("HHB"));
  QCOMPARE(f->SuchEdit->cursorPosition(), 3);
  QTest::keyClick(f->SuchEdit, Qt::Key_Left);
  QCOMPARE(f->SuchEdit->cursorPosition(), 2);
  QCOMPARE(f->Suche()->Suchtext(), QString());
}

void TestSearch::vierterBuchstabe() {
  auto f = Fenster();
  QVERIFY(f);
  f->SuchEdit->setText("ÖHR");
  Zeugen->Meldungen.clear();
  QSignalSpy fortschritt(f->ProgressBar1, &QProgressBar::valueChanged);
  QTest::keyClick(f->SuchEdit, 'z');
  QCOMPARE(Ladungen(fortschritt), 2);
  QCOMPARE(Zeugen->Meldungen, QStringList{Nicht("ÖHRZ")});
  QCOMPARE(f->SuchEdit->text(), QString("ÖHR"));
  QCOMPARE(f->Suche()->Suchtext(), QString("ÖHR"));
  QCOMPARE(FetterKnopf(f.get()), QString("K_O_Button"));
  QCOMPARE(Gerahmte(f.get()), QStringList{"ÖHR.jpg"});
}

void TestSearch::tippen_data() {
  QTest::addColumn<QString>("tasten");
  QTest::addColumn<QString>("feld");
  QTest::addColumn<QStringList>("meldungen");
  QTest::addColumn<int>("ladungen");
  QTest::addColumn<QString>("knopf");
  QTest::addColumn<QStringList>("gerahmt");
  QTest::newRow("two_letters") << "hh"
                               << "HH" << QStringList{} << 4 << "F_J_Button" << QStringList{"HH.jpg"};
  QTest::newRow("umlaut_oe_lower") << "öhr"
                                   << "ÖHR" << QStringList{Nicht("Ö"), Nicht("Ö"), Nicht("ÖH"), Nicht("ÖH")} << 6
                                   << "K_O_Button" << QStringList{"ÖHR.jpg"};
  QTest::newRow("umlaut_ue_lower") << "üb"
                                   << "ÜB" << QStringList{Nicht("Ü"), Nicht("Ü")} << 4 << "U_Z_Button"
                                   << QStringList{"ÜB.jpg"};
  QTest::newRow("umlaut_ae_lower") << "ä"
                                   << "Ä" << QStringList{Nicht("Ä"), Nicht("Ä")} << 0 << "A_E_Button" << QStringList{};
  QTest::newRow("digit") << "1"
                         << "1" << QStringList{Nicht("1")} << 0 << "A_E_Button" << QStringList{};
  QTest::newRow("blank_alone") << " "
                               << " " << QStringList{KeinText} << 0 << "A_E_Button" << QStringList{};
  QTest::newRow("enter_in_empty_field") << "\r"
                                        << "" << QStringList{KeinText} << 0 << "A_E_Button" << QStringList{};
  QTest::newRow("outside_cp1252") << "ł"
                                  << "?" << QStringList{Nicht("?"), Nicht("?")} << 0 << "A_E_Button" << QStringList{};
  // Codes that begin longer ones: only the tile of the whole code is framed.
  QTest::newRow("prefix_mu_not_muc") << "mu"
                                     << "MU" << QStringList{} << 4 << "K_O_Button" << QStringList{"MU.jpg"};
  QTest::newRow("longer_muc") << "muc"
                              << "MUC" << QStringList{} << 6 << "K_O_Button" << QStringList{"MUC.jpg"};
  QTest::newRow("prefix_umlaut_mue_not_muel") << "mü"
                                              << "MÜ" << QStringList{} << 4 << "K_O_Button" << QStringList{"MÜ.jpg"};
  QTest::newRow("longer_muel") << "mül"
                               << "MÜL" << QStringList{} << 6 << "K_O_Button" << QStringList{"MÜL.jpg"};
  QTest::newRow("not_in_range") << "x"
                                << "X" << QStringList{Nicht("X"), Nicht("X")} << 2 << "U_Z_Button" << QStringList{};
}

void TestSearch::tippen() {
  QFETCH(QString, tasten);
  QFETCH(QString, feld);
  QFETCH(QStringList, meldungen);
  QFETCH(int, ladungen);
  QFETCH(QString, knopf);
  QFETCH(QStringList, gerahmt);
  auto f = Fenster();
  QVERIFY(f);
  QSignalSpy fortschritt(f->ProgressBar1, &QProgressBar::valueChanged);
  for (QChar zeichen : tasten)
    Tippe(f->SuchEdit, zeichen);
  QCOMPARE(f->SuchEdit->text(), feld);
  QCOMPARE(Zeugen->Meldungen, meldungen);
  QCOMPARE(Ladungen(fortschritt), ladungen);
  QCOMPARE(FetterKnopf(f.get()), knopf);
  QCOMPARE(Gerahmte(f.get()), gerahmt);
}

// Pasting raises only the change: the text is searched as a term but stays as it was pasted.
void TestSearch::eingefuegt() {
  auto f = Fenster();
  QVERIFY(f);
  QSignalSpy fortschritt(f->ProgressBar1, &QProgressBar::valueChanged);
  QGuiApplication::clipboard()->setText("hh");
  f->SuchEdit->paste();
  QCOMPARE(f->SuchEdit->text(), QString("hh"));
  QCOMPARE(f->Suche()->Suchtext(), QString("HH"));
  QCOMPARE(Ladungen(fortschritt), 1);
  QCOMPARE(Gerahmte(f.get()), QStringList{"HH.jpg"});
  QVERIFY(Zeugen->Meldungen.isEmpty());

  f->SuchEdit->clear();
  QGuiApplication::clipboard()->setText(" hbxy ");
  f->SuchEdit->paste();
  QCOMPARE(f->SuchEdit->text(), QString(" hbxy "));
  QCOMPARE(Zeugen->Meldungen, QStringList{Nicht("HBXY")});
}

// Enter searches once more with the text as it stands, and so keeps the term set.
void TestSearch::enterSuchtNochmals() {
  auto f = Fenster();
  QVERIFY(f);
  f->SuchEdit->setText("HB");
  QSignalSpy fortschritt(f->ProgressBar1, &QProgressBar::valueChanged);
  QTest::keyClick(f->SuchEdit, Qt::Key_Return);
  QCOMPARE(Ladungen(fortschritt), 1);
  QCOMPARE(f->Suche()->Suchtext(), QString("HB"));
  QCOMPARE(Gerahmte(f.get()), QStringList{"HB.jpg"});
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

void TestSearch::enterSchliesstMeldung_data() {
  QTest::addColumn<int>("taste");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("schliesser");
  QTest::addColumn<QStringList>("meldungen");
  QTest::addColumn<QString>("feld");
  // The message opens during the letter's press (through the change) or the Enter's release.
  QTest::newRow("letter_not_found") << int(Qt::Key_Q) << "q" << int(Qt::Key_Return) << QStringList{Nicht("Q")} << "q";
  QTest::newRow("enter_in_empty_field") << int(Qt::Key_Return) << "\r" << int(Qt::Key_Return) << QStringList{KeinText}
                                        << "";
  // Any other key that closes the box counts on its release: the field is written in upper case,
  // which searches once more.
  QTest::newRow("letter_not_found_escape")
      << int(Qt::Key_Q) << "q" << int(Qt::Key_Escape) << QStringList{Nicht("Q"), Nicht("Q")} << "Q";
  QTest::newRow("enter_in_empty_field_escape")
      << int(Qt::Key_Return) << "\r" << int(Qt::Key_Escape) << QStringList{KeinText} << "";
}

// A real modal box, closed by a key as the user closes it: the press goes to the box and closes it,
// the release then reaches the search field. The release of Enter must not search again; every
// release empties the term.
void TestSearch::enterSchliesstMeldung() {
  QFETCH(int, taste);
  QFETCH(QString, text);
  QFETCH(int, schliesser);
  QFETCH(QStringList, meldungen);
  QFETCH(QString, feld);
  const QString schliesserText = schliesser == Qt::Key_Return ? QStringLiteral("\r") : QStringLiteral("\x1b");
  SetzeMeldungsAnzeige({});
  auto f = Fenster();
  QVERIFY(f);
  QStringList gezeigt;
  QTimer schliesser_;
  schliesser_.setInterval(20);
  connect(&schliesser_, &QTimer::timeout, this, [&gezeigt, schliesser] {
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
      return;
    gezeigt << box->text();
    QTest::keyPress(box->focusWidget() ? box->focusWidget() : box, Qt::Key(schliesser));
  });
  schliesser_.start();

  QTest::sendKeyEvent(QTest::Press, f->SuchEdit, Qt::Key(taste), text, Qt::NoModifier);
  // A box opened by the press has the release of that key; one opened by the release does not.
  if (gezeigt.isEmpty())
    QTest::sendKeyEvent(QTest::Release, f->SuchEdit, Qt::Key(taste), text, Qt::NoModifier);
  QTRY_VERIFY_WITH_TIMEOUT(!gezeigt.isEmpty(), 5000);
  // The release of each key that closed a box; a box that this release opens is closed the same way.
  for (int losgelassen = 0; losgelassen < gezeigt.size() && losgelassen < 5; ++losgelassen)
    QTest::sendKeyEvent(QTest::Release, f->SuchEdit, Qt::Key(schliesser), schliesserText, Qt::NoModifier);
  QTest::qWait(200);
  schliesser_.stop();

  QCOMPARE(gezeigt, meldungen);
  QCOMPARE(f->SuchEdit->text(), feld);
  QCOMPARE(f->Suche()->Suchtext(), QString());
  QCOMPARE(QApplication::activeModalWidget(), nullptr);
  for (QWidget *fenster : QApplication::topLevelWidgets())
    QVERIFY2(!qobject_cast<QMessageBox *>(fenster) || !fenster->isVisible(), "a message box is still open");
  // The field still searches on an Enter of its own.
  schliesser_.start();
  QTest::keyClick(f->SuchEdit, Qt::Key_Return);
  QTRY_VERIFY_WITH_TIMEOUT(gezeigt.size() > meldungen.size(), 5000);
  schliesser_.stop();
}

// The field's context menu takes the press of Escape; its release in the field still empties the
// term, so the next range shows no frame.
void TestSearch::loslassenNachKontextmenue() {
  auto f = Fenster();
  QVERIFY(f);
  QWindow *fenster = f->windowHandle();
  QTest::keyClick(fenster, Qt::Key_B);
  QCOMPARE(Gerahmte(f.get()), QStringList{"B.jpg"});
  QCOMPARE(f->Suche()->Suchtext(), QString("B"));
  QTest::mouseClick(fenster, Qt::RightButton, {}, f->SuchEdit->mapTo(f.get(), f->SuchEdit->rect().center()));
  QTRY_VERIFY(QApplication::activePopupWidget());
  QTest::keyPress(fenster, Qt::Key_Escape);
  QTRY_VERIFY(!QApplication::activePopupWidget());
  QTest::keyRelease(fenster, Qt::Key_Escape);
  QCOMPARE(f->Suche()->Suchtext(), QString());
  QTest::mouseClick(f->K_O_Button, Qt::LeftButton);
  QTest::mouseClick(f->A_E_Button, Qt::LeftButton);
  QCOMPARE(FetterKnopf(f.get()), QString("A_E_Button"));
  QCOMPARE(Gerahmte(f.get()), QStringList{});
  QCOMPARE(f->ScrollBox1->Position(), 0);
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

void TestSearch::tastenWaehrendDesLadens_data() {
  QTest::addColumn<QString>("anfang");       // the key pressed to start the load; none: the range button
  QTest::addColumn<bool>("insFeld");         // sent to the field itself, as an input method hands on its text
  QTest::addColumn<QStringList>("waehrend"); // "x" press and release, "-x" release, "\r" Enter, "=x" text
  QTest::addColumn<QString>("feld");
  QTest::addColumn<QStringList>("meldungen");
  QTest::addColumn<QStringList>("gerahmt");
  QTest::newRow("code_typed_while_range_button_loads")
      << "" << false << QStringList{"x"} << "X" << QStringList{} << QStringList{"X.jpg"};
  QTest::newRow("release_and_enter_in_the_code_s_own_load")
      << "x" << false << QStringList{"-x", "\r"} << "X" << QStringList{} << QStringList{"X.jpg"};
  // Only the longer code is missing: the first search still reports on its own load.
  QTest::newRow("next_letter_in_the_code_s_own_load")
      << "x" << false << QStringList{"-x", "y"} << "XY" << QStringList{Nicht("XY"), Nicht("XY")} << QStringList{};
  QTest::newRow("keys_to_the_field_while_range_button_loads")
      << "" << true << QStringList{"x", "\r"} << "X" << QStringList{} << QStringList{"X.jpg"};
  QTest::newRow("input_method_text_while_range_button_loads")
      << "" << true << QStringList{"=x"} << "x" << QStringList{} << QStringList{"X.jpg"};
}

// Keys that reach the field while a range switch decodes its pictures (a real load, its decodes held
// until the keys are in): an existing code is framed and never reported missing.
void TestSearch::tastenWaehrendDesLadens() {
  QFETCH(QString, anfang);
  QFETCH(bool, insFeld);
  QFETCH(QStringList, waehrend);
  QFETCH(QString, feld);
  QFETCH(QStringList, meldungen);
  QFETCH(QStringList, gerahmt);
  auto f = Fenster();
  QVERIFY(f);
  const QString uz = FOrdner->path() + "/Bilder/Deutschland/U-Z";
  SchreibePlatte(uz + "/X.jpg");
  for (int i = 0; i < 60; ++i)
    SchreibePlatte(uz + QStringLiteral("/UR%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
  QWindow *fenster = f->windowHandle();
  QLineEdit *suchEdit = f->SuchEdit;

  bool gesendet = false;
  TSchleuse schleuse;
  schleuse.BeimErsten([&] {
    if (f->LaedtBilder() && f->Galerie()->AktuellerOrdner() == f->Pfade().Ordner(TBereich::U_Z)) {
      gesendet = true;
      for (const QString &taste : waehrend) {
        const auto code = Qt::Key(taste.back().toUpper().unicode());
        if (taste.startsWith('=')) {
          QInputMethodEvent text;
          text.setCommitString(taste.mid(1));
          QApplication::sendEvent(suchEdit, &text);
        } else if (taste == "\r") {
          insFeld ? QTest::keyClick(suchEdit, Qt::Key_Return) : QTest::keyClick(fenster, Qt::Key_Return);
        } else if (taste.startsWith('-')) {
          insFeld ? QTest::keyRelease(suchEdit, code) : QTest::keyRelease(fenster, code);
        } else {
          insFeld ? QTest::keyClick(suchEdit, code) : QTest::keyClick(fenster, code);
        }
      }
    }
    schleuse.Oeffne();
  });
  if (anfang.isEmpty())
    f->U_Z_Button->click();
  else
    QTest::keyPress(fenster, Qt::Key(anfang.at(0).toUpper().unicode()));
  QVERIFY2(gesendet, "the load ended before the keys were sent");
  QTRY_COMPARE(f->SuchEdit->text(), feld);
  QTRY_VERIFY(!f->LaedtBilder());
  QTRY_COMPARE(Zeugen->Meldungen, meldungen);
  QCOMPARE(FetterKnopf(f.get()), QString("U_Z_Button"));
  QCOMPARE(Gerahmte(f.get()), gerahmt);
  if (!gerahmt.isEmpty())
    QCOMPARE(f->Galerie()->GefundenIndex(), Index(f.get(), gerahmt.last()));
}

void TestSearch::oesterreich_data() {
  QTest::addColumn<QString>("tasten");
  QTest::addColumn<QStringList>("gerahmt");
  QTest::addColumn<QStringList>("meldungen");
  QTest::newRow("every_code_underscore_tile") << "B" << QStringList{"B_-.jpg", "B_8.jpg"} << QStringList{};
  QTest::newRow("code_not_a_prefix_of_longer") << "W" << QStringList{"W_9.jpg"} << QStringList{};
  QTest::newRow("german_code_searched_only_here") << "HH" << QStringList{} << QStringList{Nicht("H"), Nicht("HH")};
  QTest::newRow("enter_in_empty_field") << "\r" << QStringList{} << QStringList{KeinText};
}

void TestSearch::oesterreich() {
  QFETCH(QString, tasten);
  QFETCH(QStringList, gerahmt);
  QFETCH(QStringList, meldungen);
  auto f = Fenster(1);
  QVERIFY(f);
  QCOMPARE(f->ComboBox1->currentIndex(), 1);
  const int anzahl = f->Galerie()->Kacheln().size();
  for (QChar zeichen : tasten)
    Tippe(f->SuchEdit, zeichen);
  QCOMPARE(f->Galerie()->AktuellerOrdner(), f->Pfade().Ordner(TBereich::Oesterreich));
  QCOMPARE(f->Galerie()->Kacheln().size(), anzahl);
  QCOMPARE(FetterKnopf(f.get()), QString("A_E_Button"));
  QCOMPARE(Gerahmte(f.get()), gerahmt);
  QCOMPARE(Zeugen->Meldungen, meldungen);
  // Of several framed tiles the last one is the found one.
  if (!gerahmt.isEmpty())
    QCOMPARE(f->Galerie()->GefundenIndex(), Index(f.get(), gerahmt.last()));
}

// ---- the window: scrolling ------------------------------------------------------------------------

void TestSearch::passendeGalerie() {
  auto f = Fenster();
  QVERIFY(f);
  QCOMPARE(f->ScrollBox1->GroesstePosition(), 0);
  f->Galerie()->SetzeScrollBoxPosition(77);
  Rad(f->Galerie()->Ansicht(), -120);
  QCOMPARE(f->ScrollBox1->Position(), 0);
  QCOMPARE(f->Galerie()->ScrollBoxPosition(), 0);
  Rad(f->ScrollBox1->viewport(), 120);
  QCOMPARE(f->ScrollBox1->Position(), 0);
  QCOMPARE(f->Galerie()->ScrollBoxPosition(), 0);
}

void TestSearch::radAmEnde() {
  auto f = Fenster();
  QVERIFY(f);
  QTest::mouseClick(f->P_T_Button, Qt::LeftButton);
  const int ende = f->ScrollBox1->GroesstePosition();
  QVERIFY(ende > 3 * Zeile);
  for (int i = 0; i < 20; ++i)
    Rad(f->Galerie()->Ansicht(), -120);
  QCOMPARE(f->ScrollBox1->Position(), ende);
  QCOMPARE(f->Galerie()->ScrollBoxPosition(), ende);
  Rad(f->ScrollBox1->viewport(), 120);
  QCOMPARE(f->ScrollBox1->Position(), ende - Zeile);
  QCOMPARE(f->Galerie()->ScrollBoxPosition(), ende - Zeile);
}

// From the top, every notch brings the next row of tiles to the box's top edge.
void TestSearch::radZeilen() {
  auto f = Fenster();
  QVERIFY(f);
  QTest::mouseClick(f->P_T_Button, Qt::LeftButton);
  int spalten = 0;
  while (spalten < f->Galerie()->Kacheln().size() && f->Galerie()->Kacheln().at(spalten).Feld().y() == f->Galerie()->Kacheln().first().Feld().y())
    ++spalten;
  QVERIFY(spalten > 1);
  QWidget *sicht = f->ScrollBox1->viewport();
  for (int zeile = 1; zeile <= 3; ++zeile) {
    Rad(f->Galerie()->Ansicht(), -120);
    QCOMPARE(f->ScrollBox1->Position(), zeile * Zeile);
    QCOMPARE(f->Galerie()->Ansicht()->mapTo(sicht, f->Galerie()->Kacheln().at(zeile * spalten).Feld().topLeft()).y(), 4);
  }
  // Half notches add up; a single one scrolls nothing yet.
  Rad(sicht, -60);
  QCOMPARE(f->ScrollBox1->Position(), 3 * Zeile);
  Rad(sicht, -60);
  QCOMPARE(f->ScrollBox1->Position(), 4 * Zeile);
}

void TestSearch::radAufDerFrage() {
  auto f = Fenster();
  QVERIFY(f);
  QTest::mouseClick(f->P_T_Button, Qt::LeftButton);
  Rad(f->ScrollBox1->viewport(), -120);
  Rad(f->ScrollBox1->viewport(), -120);
  const TKachel *kachel = SichtbareKachel(f.get());
  QVERIFY(kachel);
  Druecke(f.get(), *kachel);
  QVERIFY(f->ScrollBox1->isHidden());
  QCOMPARE(f->Galerie()->ScrollBoxPosition(), 2 * Zeile);
  Rad(f->Listbox1, -120);
  f->FormMouseWheelDown();
  f->FormMouseWheelUp();
  QCOMPARE(f->Galerie()->ScrollBoxPosition(), 2 * Zeile);
  QCOMPARE(f->ScrollBox1->Position(), 2 * Zeile);
  f->ZurueckBtn->click();
  QVERIFY(!f->ScrollBox1->isHidden());
  QCOMPARE(f->ScrollBox1->Position(), 2 * Zeile);
}

void TestSearch::daumenFrageZurueck() {
  auto f = Fenster();
  QVERIFY(f);
  QTest::mouseClick(f->P_T_Button, Qt::LeftButton);
  ZieheDaumen(f->ScrollBox1->verticalScrollBar(), 50);
  const int position = f->ScrollBox1->Position();
  QVERIFY(position > 0);
  QCOMPARE(f->Galerie()->ScrollBoxPosition(), position);
  const TKachel *kachel = SichtbareKachel(f.get());
  QVERIFY(kachel);
  Druecke(f.get(), *kachel);
  QVERIFY(f->ScrollBox1->isHidden());
  f->ZurueckBtn->click();
  QVERIFY(!f->ScrollBox1->isHidden());
  QCOMPARE(f->ScrollBox1->Position(), position);
}

// After a group switch the way back leads to where the plate was opened, not to the old group's place.
void TestSearch::gruppenwechselFrageZurueck() {
  auto f = Fenster();
  QVERIFY(f);
  QTest::mouseClick(f->P_T_Button, Qt::LeftButton);
  for (int i = 0; i < 3; ++i)
    Rad(f->ScrollBox1->viewport(), -120);
  QCOMPARE(f->Galerie()->ScrollBoxPosition(), 3 * Zeile);
  f->ComboBox1->setCurrentIndex(1);
  emit f->ComboBox1->activated(1);
  QVERIFY(f->ScrollBox1->GroesstePosition() > 3 * Zeile);
  QCOMPARE(f->ScrollBox1->Position(), 0);
  Druecke(f.get(), f->Galerie()->Kacheln().first());
  QVERIFY(f->ScrollBox1->isHidden());
  f->ZurueckBtn->click();
  QVERIFY(!f->ScrollBox1->isHidden());
  QCOMPARE(f->ScrollBox1->Position(), 0);
}

// A press and release on a tile of the painted view opens that tile's question, wherever the gallery
// stands; the middle button sets the question up without leaving the gallery; a gap opens nothing.
void TestSearch::kachelDruecken_data() {
  QTest::addColumn<QString>("kachel"); // "first", "last" or "after_scrolling"
  QTest::addColumn<int>("knopf");
  QTest::addColumn<bool>("frage");
  QTest::newRow("first_tile") << "first" << int(Qt::LeftButton) << true;
  QTest::newRow("last_tile_scrolled_to_end") << "last" << int(Qt::LeftButton) << true;
  QTest::newRow("after_two_notches") << "after_scrolling" << int(Qt::LeftButton) << true;
  QTest::newRow("right_button") << "after_scrolling" << int(Qt::RightButton) << true;
  QTest::newRow("middle_button_stays") << "first" << int(Qt::MiddleButton) << false;
}

void TestSearch::kachelDruecken() {
  QFETCH(QString, kachel);
  QFETCH(int, knopf);
  QFETCH(bool, frage);
  auto f = Fenster();
  QVERIFY(f);
  QTest::mouseClick(f->P_T_Button, Qt::LeftButton);
  const TKachel *ziel = &f->Galerie()->Kacheln().first();
  if (kachel == "last") {
    f->ScrollBox1->SetzePosition(f->ScrollBox1->GroesstePosition());
    ziel = &f->Galerie()->Kacheln().last();
  } else if (kachel == "after_scrolling") {
    Rad(f->ScrollBox1->viewport(), -120);
    Rad(f->ScrollBox1->viewport(), -120);
    ziel = SichtbareKachel(f.get());
    QVERIFY(ziel);
    QVERIFY(ziel->Tag() > 0);
  }
  const QString name = f->Galerie()->BildPfade().at(ziel->Tag()).section('/', -1);
  const QPoint mitte = ziel->Feld().center();
  QWidget *sicht = f->ScrollBox1->viewport();
  QVERIFY(sicht->rect().contains(f->Galerie()->Ansicht()->mapTo(sicht, mitte)));

  // The gap left of the tile is no tile: the press and release go on to the box.
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not accepted"));
  QTest::ignoreMessage(QtWarningMsg, QRegularExpression("not accepted"));
  QTest::mouseClick(f->Galerie()->Ansicht(), Qt::LeftButton, {}, ziel->Feld().topLeft() - QPoint(2, 0));
  QVERIFY(!f->ScrollBox1->isHidden());
  QVERIFY(f->Frage()->BildDatei().isEmpty());

  QTest::mousePress(f->Galerie()->Ansicht(), Qt::MouseButton(knopf), {}, mitte);
  QTest::mouseRelease(f->Galerie()->Ansicht(), Qt::MouseButton(knopf), {}, mitte);
  QCOMPARE(f->Frage()->BildDatei(), name);
  QCOMPARE(f->ScrollBox1->isHidden(), frage);
  QCOMPARE(f->Listbox1->selectedItems().size(), 1);
  QCOMPARE(f->Listbox1->selectedItems().first()->text().section('\t', 0, 0),
           QStringLiteral("Landkreis ") + QFileInfo(name).completeBaseName());
}

// Screen readers see every tile as a button named after its plate, and its press action opens the
// question as the mouse does.
void TestSearch::kachelnFuerAssistenz() {
  auto f = Fenster();
  QVERIFY(f);
  QTest::mouseClick(f->P_T_Button, Qt::LeftButton);
  QAccessibleInterface *galerie = QAccessible::queryAccessibleInterface(f->Galerie()->Ansicht());
  QVERIFY(galerie);
  QCOMPARE(galerie->childCount(), f->Galerie()->Kacheln().size());
  const int index = Index(f.get(), "TA.jpg");
  QAccessibleInterface *kachel = galerie->child(index);
  QVERIFY(kachel && kachel->isValid());
  QCOMPARE(kachel->text(QAccessible::Name), QStringLiteral("Kennzeichen TA"));
  QCOMPARE(kachel->role(), QAccessible::Button);
  QCOMPARE(kachel->parent(), galerie);
  QCOMPARE(galerie->indexOfChild(kachel), index);
  QCOMPARE(galerie->child(index), kachel);
  const QRect feld = f->Galerie()->Kacheln().at(index).Feld();
  QCOMPARE(kachel->rect(), QRect(f->Galerie()->Ansicht()->mapToGlobal(feld.topLeft()), feld.size()));
  // Scrolled out of the box: there, but not on the screen.
  QVERIFY(kachel->state().offscreen);
  QVERIFY(!galerie->child(0)->state().offscreen);
  QCOMPARE(galerie->childAt(kachel->rect().center().x(), kachel->rect().center().y()), kachel);
  QCOMPARE(galerie->child(f->Galerie()->Kacheln().size()), nullptr);

  QAccessibleActionInterface *aktion = kachel->actionInterface();
  QVERIFY(aktion);
  QCOMPARE(aktion->actionNames(), QStringList{QAccessibleActionInterface::pressAction()});
  aktion->doAction(QAccessibleActionInterface::pressAction());
  QVERIFY(f->ScrollBox1->isHidden());
  QCOMPARE(f->Frage()->BildDatei(), QStringLiteral("TA.jpg"));

  // The Austrian gallery names its tiles as its questions do.
  f->ZurueckBtnClick();
  f->ComboBox1->setCurrentIndex(1);
  emit f->ComboBox1->activated(1);
  galerie = QAccessible::queryAccessibleInterface(f->Galerie()->Ansicht());
  QCOMPARE(galerie->child(Index(f.get(), "W_9.jpg"))->text(QAccessible::Name), QStringLiteral("Kennzeichen W_9"));
}

// A tile has no tooltip of its own: the gallery's tooltip shows over it, as over the gaps.
void TestSearch::kachelTooltip() {
  auto f = Fenster();
  QVERIFY(f);
  const QPoint mitte = f->Galerie()->Kacheln().first().Feld().center();
  QHelpEvent frage(QEvent::ToolTip, mitte, f->Galerie()->Ansicht()->mapToGlobal(mitte));
  QApplication::sendEvent(f->Galerie()->Ansicht(), &frage);
  QTRY_VERIFY(QToolTip::isVisible());
  QCOMPARE(QToolTip::text(), QStringLiteral("Für die Bedeutung anzusehen, auf Buchstaben klicken."));
  QToolTip::hideText();
}

QTEST_MAIN(TestSearch)
#include "tst_search.moc"

namespace {
// A key as the keyboard sends it: to the control that has the focus, through the window's key hook.
void Taste(int taste, Qt::KeyboardModifiers mit = Qt::NoModifier) {
  QWidget *fokus = QApplication::focusWidget();
  QVERIFY(fokus);
  QTest::keyClick(fokus, Qt::Key(taste), mit);
}

// What a screen reader hears for the focused entry of the answers.
QString FokussierterEintrag(QListWidget *liste) {
  QAccessibleInterface *zugang = QAccessible::queryAccessibleInterface(liste);
  QAccessibleInterface *eintrag = zugang ? zugang->focusChild() : nullptr;
  return eintrag ? eintrag->text(QAccessible::Name) : QString();
}

// Roles that AT-SPI reports as "frame": a screen reader takes each for a window of its own.
QStringList Rahmenrollen(QAccessibleInterface *objekt, int tiefe = 0) {
  QStringList gefunden;
  for (int i = 0; objekt && i < objekt->childCount() && tiefe < 12; ++i) {
    QAccessibleInterface *kind = objekt->child(i);
    if (!kind || kind->role() == QAccessible::Button)
      continue;
    if (kind->role() == QAccessible::Border || kind->role() == QAccessible::Window)
      gefunden << (kind->object() ? kind->object()->objectName() : kind->text(QAccessible::Name));
    gefunden += Rahmenrollen(kind, tiefe + 1);
  }
  return gefunden;
}
} // namespace

// The whole way without a mouse: Alt+S to the field, a code, Enter searches and stays, Alt+Enter
// opens its question with the focus on the answers, Down judges the next entry in its name, Alt+L
// the map, Backspace back.
void TestSearch::tastaturWeg() {
  auto f = Fenster();
  QVERIFY(f);
  f->ScrollBox1->setFocus();
  QVERIFY(Rahmenrollen(QAccessible::queryAccessibleInterface(f.get())).isEmpty());

  Taste(Qt::Key_S, Qt::AltModifier);
  QVERIFY(f->SuchEdit->hasFocus());
  Taste(Qt::Key_H);
  QCOMPARE(f->Ansage->Text(), QStringLiteral("H gefunden"));
  Taste(Qt::Key_H);
  QCOMPARE(f->Ansage->Text(), QStringLiteral("HH gefunden"));
  QCOMPARE(f->SuchEdit->text(), QStringLiteral("HH"));
  QVERIFY(f->GalerieSichtbar());

  Taste(Qt::Key_Return);
  QVERIFY(f->GalerieSichtbar());
  QVERIFY(f->SuchEdit->hasFocus());
  QCOMPARE(Gerahmte(f.get()), QStringList{"HH.jpg"});

  // A second Alt+S selects the code, and the next one replaces it.
  Taste(Qt::Key_S, Qt::AltModifier);
  QCOMPARE(f->SuchEdit->selectedText(), QStringLiteral("HH"));
  // An access key of the question screen does nothing here, not even type its letter.
  Taste(Qt::Key_R, Qt::AltModifier);
  Taste(Qt::Key_Z, Qt::AltModifier);
  QCOMPARE(f->SuchEdit->text(), QStringLiteral("HH"));
  QCOMPARE(f->SuchEdit->selectedText(), QStringLiteral("HH"));
  QVERIFY(Zeugen->Meldungen.isEmpty());
  Taste(Qt::Key_H);
  Taste(Qt::Key_H);
  QCOMPARE(f->SuchEdit->text(), QStringLiteral("HH"));
  // The text request that made Qt's own field loop for ever, at the end of the text.
  QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(f->SuchEdit)->textInterface();
  QVERIFY(text);
  for (QAccessible::TextBoundaryType art :
       {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary, QAccessible::LineBoundary}) {
    int anfang = -1, ende = -1;
    text->textAtOffset(2, art, &anfang, &ende);
    QCOMPARE(text->textAtOffset(0, art, &anfang, &ende), art == QAccessible::CharBoundary ? "H" : "HH");
  }

  Taste(Qt::Key_Return, Qt::AltModifier);
  QVERIFY(!f->GalerieSichtbar());
  QVERIFY(f->Listbox1->hasFocus());
  QCOMPARE(f->Frage()->BildDatei(), QStringLiteral("HH.jpg"));
  QCOMPARE(FokussierterEintrag(f->Listbox1), QStringLiteral("Richtig: Hamburg, Freie und Hansestadt"));
  const QStringList rahmen = Rahmenrollen(QAccessible::queryAccessibleInterface(f.get()));
  QVERIFY2(rahmen.isEmpty(), qPrintable(rahmen.join(QLatin1String(", "))));

  Taste(Qt::Key_Down);
  QVERIFY(f->FalschImage->isVisible());
  QCOMPARE(FokussierterEintrag(f->Listbox1), QStringLiteral("Falsch: ") + f->Listbox1->currentItem()->text());
  // Only the judged entry carries a judgement.
  QCOMPARE(f->Listbox1->item(f->Listbox1->currentRow() - 1)->data(Qt::AccessibleTextRole), QVariant());

  Taste(Qt::Key_L, Qt::AltModifier);
  QTRY_COMPARE(Zeugen->Geoeffnet.size(), 1);
  QVERIFY(Zeugen->Geoeffnet.first().scheme().startsWith(QLatin1String("http")));
  QVERIFY(!QGuiApplication::clipboard()->text().isEmpty());

  Taste(Qt::Key_Backspace);
  QVERIFY(f->GalerieSichtbar());
  QVERIFY(f->SuchEdit->hasFocus());
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

// Without a find, Enter keeps its old meaning: the message, and the gallery stays.
void TestSearch::enterOhneFundOeffnetNichts() {
  auto f = Fenster();
  QVERIFY(f);
  QTest::keyClicks(f->SuchEdit, "hh");
  f->SuchEdit->setText("HX");
  Zeugen->Meldungen.clear();
  QTest::keyClick(f->SuchEdit, Qt::Key_Return);
  QCOMPARE(Zeugen->Meldungen, QStringList{Nicht("HX")});
  QVERIFY(f->GalerieSichtbar());
  // A code with no range loads nothing: the find of the search before must not open.
  f->SuchEdit->setText("Ä");
  Zeugen->Meldungen.clear();
  QTest::keyClick(f->SuchEdit, Qt::Key_Return);
  QVERIFY(f->GalerieSichtbar());
  QVERIFY(f->SuchEdit->hasFocus());
}

namespace {
// A-E grown to eleven plates: at the narrowest window its rows of five wrap twice, the last one short.
const QStringList KachelwegCodes = {"A", "AA", "B", "BA", "BC", "D", "DA", "DE", "E", "EA", "EB"};

void Schreibe(const QString &pfad, const QByteArray &inhalt) {
  QFile datei(pfad);
  QVERIFY(datei.open(QIODevice::WriteOnly));
  datei.write(inhalt);
}

// That A-E, practice mode on with A in box 2; the other plates were never asked.
void BaueKachelweg(const QString &basis) {
  const QString ordner = basis + "/Bilder/Deutschland/A-E/";
  QString zeilen;
  for (const QString &code : KachelwegCodes)
    if (!QFileInfo::exists(ordner + code + ".jpg")) {
      SchreibePlatte(ordner + code + ".jpg");
      zeilen += code + ".jpg\tKreis " + code + "\r\n";
    }
  Haenge(ordner + "A-E.txt", zeilen);
  Schreibe(basis + "/Kennzeichen.ini", "[Einstellung]\r\nGroesse=580x700\r\n");
  TLernstand stand;
  stand.Ueben = true;
  stand.Hole(LernGruppe(0), "A.jpg").Kasten = 2;
  Schreibe(basis + "/Nummernfibel-Lernstand.txt", SchreibeLernstand(stand));
}

// The plate under the tile cursor, when its tile is wholly in sight.
QString SichtbarerCursor(TMainForm *fenster) {
  const int index = fenster->Galerie()->Ansicht()->Cursor();
  if (index < 0 || index >= fenster->Galerie()->Kacheln().size())
    return {};
  const TKachel &kachel = fenster->Galerie()->Kacheln().at(index);
  QWidget *sicht = fenster->ScrollBox1->viewport();
  if (!sicht->rect().contains(
          QRect(fenster->Galerie()->Ansicht()->mapTo(sicht, kachel.Feld().topLeft()), kachel.Feld().size())))
    return {};
  return DateiName(fenster->Galerie()->BildPfade().at(kachel.Tag())).section('.', 0, 0);
}
} // namespace

// Every tile by keyboard and its range by ear: Alt+Right from the search field walks every tile
// of a range, each scrolled into sight and heard by its code and box; a range switch by key or click is heard
// with its count, only its bold button is checked for assistive tools, and the cursor starts again at its
// first tile; Alt+Enter opens the question of the tile under the cursor.
void TestSearch::kachelCursor() {
  auto f = Fenster(0, BaueKachelweg);
  QVERIFY(f);
  QVERIFY(f->Ueben());
  QCOMPARE(QAccessible::queryAccessibleInterface(f.get())->role(), QAccessible::Window);
  f->SuchEdit->setFocus();
  QWindow *fenster = f->windowHandle();
  QList<QPair<QObject *, QAccessible::Event>> ereignisse;
  QStringList ansagen;
  SetzeAnsageZeuge([&](QObject *objekt, QAccessible::Event art) {
    ereignisse.append({objekt, art});
    if (objekt == f->Ansage)
      ansagen << f->Ansage->Text();
  });
  const auto geheDurch = [&](const QStringList &codes, const QString &kasten) {
    for (int i = 0; i < codes.size(); ++i) {
      ansagen.clear();
      // Without a cursor, the first key lands on the first tile.
      QTest::keyClick(fenster, Qt::Key_Right, Qt::AltModifier);
      const QString erwartet = "Kennzeichen " + codes.at(i) + ", " + (i == 0 ? kasten : "Noch nicht geübt");
      QCOMPARE(ansagen, QStringList{erwartet});
      QCOMPARE(SichtbarerCursor(f.get()), codes.at(i));
    }
  };
  geheDurch(KachelwegCodes, "Kasten 2 von 5");

  // P-T has more rows than the box shows: each step scrolls.
  QStringList langeCodes;
  for (const char *reihe : {"P", "R", "T"})
    for (char zweites = 'A'; zweites <= 'Z'; ++zweites)
      langeCodes << QLatin1String(reihe) + QLatin1Char(zweites);
  langeCodes.insert(52, "S");
  for (const auto &[knopf, taste, gesagt] :
       {std::tuple{f->F_J_Button, false, "Bereich F bis J, 4 Kennzeichen"},
        std::tuple{f->P_T_Button, true, "Bereich P bis T, 79 Kennzeichen"}}) {
    ansagen.clear();
    ereignisse.clear();
    if (taste)
      QTest::keyClick(fenster, Qt::Key(knopf->text().at(0).unicode()), Qt::AltModifier);
    else
      QTest::mouseClick(knopf, Qt::LeftButton);
    QTRY_COMPARE(ansagen, QStringList{gesagt});
    QVERIFY(ereignisse.contains(qMakePair(static_cast<QObject *>(knopf), QAccessible::StateChanged)));
    for (QAbstractButton *bereich : f->Bereichsknoepfe->buttons()) {
      const QAccessible::State zustand = QAccessible::queryAccessibleInterface(bereich)->state();
      QVERIFY2(zustand.checkable && zustand.checked == (bereich == knopf), qPrintable(bereich->objectName()));
    }
  }
  geheDurch(langeCodes, "Noch nicht geübt");
  SetzeAnsageZeuge({});
  QVERIFY(Zeugen->Meldungen.isEmpty());

  QTest::keyClick(fenster, Qt::Key_Return, Qt::AltModifier);
  QVERIFY(!f->GalerieSichtbar());
  QCOMPARE(f->Frage()->BildDatei(), QStringLiteral("TZ.jpg"));
  QVERIFY(f->Listbox1->hasFocus());
  // The plate's picture says which plate it is.
  QCOMPARE(QAccessible::queryAccessibleInterface(f->Image1)->text(QAccessible::Name), QStringLiteral("Kennzeichen TZ"));
}
