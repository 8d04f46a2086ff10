// The quiz: list entries of a text file, the question, judging answers, the answer box and the map
// button, first as rules, then in the real window.
#include "widgets/bausteine.h"
#include "data/einstellungen.h"
#include "data/lernstanddatei.h"
#include "widgets/meldung.h"
#include "app/tmainform.h"
#include "gallery/galerie.h"
#include "quiz/frage.h"
#include "quiz/katalog.h"
#include "quiz/rueckfrage.h"
#include "quiz/uebungsfenster.h"
#include "quiz/ueben.h"
#include "search/suche.h"
#include "widgets/zugang.h"
#include "data/ansi.h"
#include "data/dateilesen.h"
#include "data/eintrag.h"
#include "data/jpegbild.h"
#include "data/textdatei.h"
#include "fixturbaum.h"
#include "tests/zeugen.h"
#include "gallery/galerieansicht.h"
#include "quiz/quizregeln.h"
#include "quiz/uebungsregeln.h"
#include "search/tscrollbox.h"
#include "widgets/Machpaus.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

#include <cmath>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString De = QStringLiteral("Bilder/Deutschland/");
const QString At = QStringLiteral("Bilder/Österreich/");

// Every picture gets its own size, so a test can tell which one a picture control shows.
struct TBildDatei {
  const char *Pfad;
  QSize Groesse;
};
const TBildDatei Bilder[] = {
    {"Bilder/Deutschland/A-E/A.jpg", {41, 30}},
    {"Bilder/Deutschland/A-E/AB.jpg", {42, 30}},
    {"Bilder/Deutschland/A-E/B.jpg", {43, 30}},
    {"Bilder/Deutschland/A-E/BA.jpg", {44, 30}},
    {"Bilder/Deutschland/A-E/C.jpg", {45, 30}},
    {"Bilder/Deutschland/A-E/EN.jpg", {46, 30}},
    {"Bilder/Deutschland/U-Z/W.jpg", {47, 30}},
    {"Bilder/Deutschland/U-Z/Y.jpg", {48, 30}},
    {"Bilder/Deutschland/P-T/P.jpg", {49, 30}},
    {"Bilder/Österreich/A-Z/W_9.jpg", {50, 30}},
    {"Bilder/Österreich/A-Z/S_5.jpg", {51, 30}},
    {"Bilder/Österreich/A-Z/BP_0.jpg", {52, 30}},
    {"Bilder/Österreich/A-Z/K.jpg", {53, 30}},
    {"Bilder/Österreich/A-Z/C_9.jpg", {54, 30}},
    {"Bilder/Österreich/Ö_Kennzeichen_Wien.jpg", {320, 70}},
    {"Bilder/Österreich/Ö_Kennzeichen_Salzburg.jpg", {321, 70}},
    {"Bilder/Österreich/Ö_Kennzeichen_Oberste Organe.jpg", {322, 70}},
    {"Bilder/Deutschland/D_Kennzeichen.bmp", {313, 67}},
    {"Bilder/Deutschland/D_Kennzeichen_klein.bmp", {136, 67}},
    {"Bilder/Deutschland/D_Kennzeichen_Bundeswehr.bmp", {311, 65}},
    {"Bilder/Deutschland/D_Kennzeichen_Bundeswehr_klein.bmp", {130, 60}},
    {"Bilder/Österreich/Ö_Kennzeichen_leer.bmp", {314, 68}},
    {"Bilder/Österreich/Ö_Kennzeichen_klein.bmp", {137, 66}},
};

QSize GroesseVon(const QString &pfad) {
  for (const TBildDatei &bild : Bilder)
    if (QString::fromUtf8(bild.Pfad) == pfad)
      return bild.Groesse;
  return {};
}

// The six folders, templates, state plates, plate pictures and three text files in three
// encodings; the range P-T has no text file on purpose.
void BaueBaum(const QString &basis) {
  QVERIFY(Fixturbaum::LegeOrdnerAn(basis));
  for (const TBildDatei &bild : Bilder)
    QVERIFY(Fixturbaum::SchreibeBild(basis + QString::fromUtf8(bild.Pfad), bild.Groesse));
  QVERIFY(Fixturbaum::KopiereTextDateien(basis, QFINDTESTDATA("fixtures/quiz")));
}

// Adds lines to a range's text file (the file is read again on every press).
void ErgaenzeZeilen(const QString &pfad, const QStringList &zeilen) {
  QFile datei(pfad);
  QVERIFY(datei.open(QIODevice::Append));
  datei.write(QStringLiteral("\r\n").toUtf8() + zeilen.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
}

// A text that wraps to about that many lines at the answer box's width.
QString TextFuerZeilen(const QTextEdit *memo, double zeilen) {
  const QFontMetrics masse(memo->font());
  const int breite = memo->contentsRect().width();
  QString text;
  for (int wort = 1; masse.horizontalAdvance(text) < breite * zeilen; ++wort)
    text += QStringLiteral("Kreis%1 ").arg(wort);
  return text.trimmed();
}

// A press and a release as the window system delivers them: the window picks the receiver and
// gives the focus by its policy, and the release goes where the press went.
void DrueckeUndLasse(QWidget *steuer, QPoint wo = {}) {
  QWidget *fenster = steuer->window();
  const QPoint imFenster = steuer->mapTo(fenster, wo.isNull() ? steuer->rect().center() : wo);
  QTest::mousePress(fenster->windowHandle(), Qt::LeftButton, {}, imFenster);
  QTest::mouseRelease(fenster->windowHandle(), Qt::LeftButton, {}, imFenster);
}

// A key as the keyboard delivers it: press and release each go to the control that has the focus.
void Taste(QWidget *fenster, Qt::Key taste, Qt::KeyboardModifiers zusatz = Qt::NoModifier) {
  QTest::keyClick(fenster->windowHandle(), taste, zusatz);
}

} // namespace

class TestQuiz : public QObject {
  Q_OBJECT

private slots:
  void initTestCase() { Fixturbaum::EigenerCache(); }
  void kastenFarbeKontrast_data();
  void kastenFarbeKontrast();
  void init();
  void cleanup();

  // rules
  void listenEintrag_data();
  void listenEintrag();
  void code_data();
  void code();
  void kartenName_data();
  void kartenName();
  void bildname_data();
  void bildname();
  void istRichtig_data();
  void istRichtig();
  void frageText_data();
  void frageText();
  void frageListe_data();
  void frageListe();
  void sortierung_data();
  void sortierung();
  void zerlegeAntwort_data();
  void zerlegeAntwort();
  void karteBtnText_data();
  void karteBtnText();
  void angezeigteZeilen();
  void kartenUrl_data();
  void kartenUrl();
  void kastenNachErsterWahl_data();
  void kastenNachErsterWahl();
  void lernstandLesen_data();
  void lernstandLesen();
  void lernstandDatei();

  // the window
  void oeffnenMitKnopf_data();
  void oeffnenMitKnopf();
  void listeOhneLeerzeilenUndVerdeckt();
  void zeileOhneTabNieRichtig();
  void zweiZeilenEinBild();
  void richtigeAntwort();
  void falscheAntwort();
  void bundeswehr();
  void oesterreich();
  void ohneZeileBleibtFrageOffen();
  void ohneTextDateiLeereListe();
  void fehlendeTextDateiIstFatal();
  void feindlicheDateien_data();
  void feindlicheDateien();
  void grosseTextDatei();
  void fehlendesBildWirdGemeldet();
  void memo2HoeheNachZeilen();
  void riesigeZeile();
  void karteBtnBeschriftung_data();
  void karteBtnBeschriftung();
  void kartenKnopf_data();
  void kartenKnopf();
  void fehlendesProgramm_data();
  void fehlendesProgramm();
  void kartenAdresseNurImNetz_data();
  void kartenAdresseNurImNetz();
  void echteKachelUndFokusNachKarte();
  void zweiFragenNacheinander_data();
  void zweiFragenNacheinander();
  void enterEnterZeigtDieAntwort_data();
  void enterEnterZeigtDieAntwort();
  void tasteErreichtDieListe_data();
  void tasteErreichtDieListe();
  void listeVerraetKeinBild();
  void urteilWirdAngesagt();
  void kennzeichenBeimPixelVerhaeltnis();
  void frageInKleinemFenster_data();
  void frageInKleinemFenster();
  void groesseAufDerFrage();
  void bildBeimPixelVerhaeltnis_data();
  void bildBeimPixelVerhaeltnis();
  void grossesBildBleibtEinfach();
  void uebenAblauf();
  void uebenReise();
  void lernstandNichtSpeicherbar_data();
  void lernstandNichtSpeicherbar();
  void datensatzEigeneZeile_data();
  void datensatzEigeneZeile();

  // practice rules
  void planeNaechsteFrage_data();
  void planeNaechsteFrage();
  void waehleAntworten_data();
  void waehleAntworten();
  void katalogAuswahl_data();
  void katalogAuswahl();

private:
  TMainForm &Form();
  // Opens a picture of the data folder as if its tile had been pressed.
  void Oeffne(const QString &relativ, Qt::MouseButton knopf = Qt::LeftButton);
  // Chooses the entry with that description as the user does (the selection changes).
  void Waehle(const QString &beschreibung);
  int Zeile(const QString &beschreibung);
  QString Beschreibung() const;
  QColor Hintergrund();
  // The shown window with its gallery of the first German range.
  TMainForm &GezeigteForm();

  std::unique_ptr<QTemporaryDir> Ordner;
  QString Basis;
  std::unique_ptr<TMainForm> FForm;
  std::unique_ptr<TZeugen> Zeugen;
};

void TestQuiz::init() {
  Ordner = std::make_unique<QTemporaryDir>();
  QVERIFY(Ordner->isValid());
  Basis = Ordner->path() + QLatin1Char('/');
  BaueBaum(Basis);
  Zeugen = std::make_unique<TZeugen>();
}

void TestQuiz::cleanup() {
  FForm.reset();
  Zeugen.reset();
  // A test that failed while its folder was read-only would otherwise leave it behind for good.
  Fixturbaum::MachSchreibbar(Ordner->path());
  Ordner.reset();
}

TMainForm &TestQuiz::Form() {
  if (!FForm)
    FForm = std::make_unique<TMainForm>(Ordner->path());
  return *FForm;
}

void TestQuiz::Oeffne(const QString &relativ, Qt::MouseButton knopf) {
  TMainForm &form = Form();
  const bool oesterreich = relativ.startsWith(At);
  // The range the gallery would be showing for that picture.
  if (form.ComboBox1->currentIndex() != (oesterreich ? 1 : 0))
    form.ComboBox1->setCurrentIndex(oesterreich ? 1 : 0);
  form.Galerie()->SetzeOrdner(Basis + relativ.left(relativ.lastIndexOf(QLatin1Char('/'))));
  form.OeffneFrage(Basis + relativ, knopf);
}

int TestQuiz::Zeile(const QString &beschreibung) {
  for (int i = 0; i < Form().Listbox1->count(); ++i)
    if (SichtbarerText(Form().Listbox1->item(i)->text()) == beschreibung)
      return i;
  return -1;
}

void TestQuiz::Waehle(const QString &beschreibung) {
  const int zeile = Zeile(beschreibung);
  QVERIFY2(zeile >= 0, qPrintable(beschreibung));
  Form().Listbox1->setCurrentRow(zeile);
}

QString TestQuiz::Beschreibung() const {
  const QListWidgetItem *eintrag = FForm->Listbox1->currentItem();
  return eintrag && eintrag->isSelected() ? SichtbarerText(eintrag->text()) : QString();
}

QColor TestQuiz::Hintergrund() { return Form().Memo2->palette().color(QPalette::Base); }

TMainForm &TestQuiz::GezeigteForm() {
  TMainForm &form = Form();
  form.show();
  form.activateWindow();
  if (!QTest::qWaitForWindowActive(&form))
    qWarning("window did not become active");
  // The gallery shows the first German range, sorted by name: A, AB, B, BA, C, EN.
  if (!QTest::qWaitFor([&form] { return form.Galerie()->Kacheln().size() == 6; }))
    qWarning("gallery not loaded");
  return form;
}

// ---- rules -------------------------------------------------------------------------------------

void TestQuiz::listenEintrag_data() {
  QTest::addColumn<QString>("zeile");
  QTest::addColumn<QString>("eintrag");
  QTest::newRow("plain") << "AB.jpg\tAschaffenburg"
                         << "Aschaffenburg\t\tAB.jpg";
  QTest::newRow("name_comma_remark_note") << "XY.jpg\tIrgendwo, Landkreis [Land]"
                                          << "Irgendwo, Landkreis [Land]\t\tXY.jpg";
  QTest::newRow("optional_expanded")
      << "AB.jpg\tAschaffenburg, (optional)"
      << "Aschaffenburg, (optionales Kennzeichen meistens wieder neu, als Wunschmöglichkeit)\t\tAB.jpg";
  QTest::newRow("only_first_optional")
      << "AB.jpg\tA, (optional), (optional)"
      << "A, (optionales Kennzeichen meistens wieder neu, als Wunschmöglichkeit), (optional)\t\tAB.jpg";
  QTest::newRow("austrian") << "W_9.jpg\tWien"
                            << "Wien\t\tW_9.jpg";
  QTest::newRow("line_without_tab") << "Hinweis, (optional)"
                                    << "Hinweis, (optional)";
  QTest::newRow("empty_field") << "\tNirgends"
                               << "Nirgends\t\t";
}

void TestQuiz::listenEintrag() {
  QFETCH(QString, zeile);
  QFETCH(QString, eintrag);
  QCOMPARE(KennzeichenEintrag::ListenEintrag(zeile), eintrag);
}

void TestQuiz::code_data() {
  QTest::addColumn<QString>("bildfeld");
  QTest::addColumn<QString>("code");
  QTest::newRow("german") << "XY.jpg"
                          << "XY";
  QTest::newRow("one_letter") << "Y.jpg"
                              << "Y";
  QTest::newRow("austrian_up_to_underscore") << "W_9.jpg"
                                             << "W";
  QTest::newRow("underscore_before_jpg_wins") << "AB_C.jpg"
                                              << "AB";
  QTest::newRow("no_extension") << "XY"
                                << "XY";
  QTest::newRow("capital_extension_kept") << "XY.JPG"
                                          << "XY.JPG";
  QTest::newRow("umlaut") << "ÖHR.jpg"
                          << "ÖHR";
}

void TestQuiz::code() {
  QFETCH(QString, bildfeld);
  QFETCH(QString, code);
  QCOMPARE(KennzeichenEintrag::Code(bildfeld), code);
}

void TestQuiz::kartenName_data() {
  QTest::addColumn<QString>("eintrag");
  QTest::addColumn<int>("gruppe");
  QTest::addColumn<QString>("name");
  QTest::newRow("plain") << "Bamberg\t\tBA.jpg" << 0 << "Bamberg";
  QTest::newRow("comma_first") << "Augsburg, Stadt [Bayern]\t\tA.jpg" << 0 << "Augsburg";
  QTest::newRow("bracket_keeps_blank") << "Berlin [Hauptstadt]\t\tB.jpg" << 0 << "Berlin ";
  QTest::newRow("bracket_before_comma") << "Hof [Saale], Stadt\t\tHO.jpg" << 0 << "Hof ";
  QTest::newRow("armed_forces") << "Dienstfahrzeug der Bundeswehr\t\tY.jpg" << 0 << "Bundeswehr";
  QTest::newRow("armed_forces_only_germany")
      << "Dienstfahrzeug der Bundeswehr\t\tY_1.jpg" << 1 << "Dienstfahrzeug der Bundeswehr";
  QTest::newRow("top_bodies") << "Oberste Organe der Republik, Präsident\t\tBP_0.jpg" << 1 << "Oberste Organe";
  QTest::newRow("top_bodies_only_austria")
      << "Oberste Organe der Republik\t\tBP.jpg" << 0 << "Oberste Organe der Republik";
  QTest::newRow("armed_forces_after_comma_lost")
      << "Fahrzeug, Dienstfahrzeug der Bundeswehr\t\tY.jpg" << 0 << "Fahrzeug";
}

void TestQuiz::kartenName() {
  QFETCH(QString, eintrag);
  QFETCH(int, gruppe);
  QFETCH(QString, name);
  QCOMPARE(KennzeichenEintrag::KartenName(eintrag, gruppe), name);
}

void TestQuiz::bildname_data() {
  QTest::addColumn<QString>("eintrag");
  QTest::addColumn<QString>("bildname");
  QTest::newRow("one_letter") << "Berlin\t\tB.jpg"
                              << "B.jpg";
  QTest::newRow("three_letters") << "Dillingen\t\tDLG.jpg"
                                 << "DLG.jpg";
  QTest::newRow("austrian_one_letter") << "Wien\t\tW_9.jpg"
                                       << "W_9.jpg";
  QTest::newRow("austrian_two_letters") << "Amstetten\t\tAM_3.jpg"
                                        << "AM_3.jpg";
  QTest::newRow("short_entry") << "B.jpg"
                               << "B.jpg";
  QTest::newRow("no_jpg") << "Berlin\t\tB"
                          << "";
  QTest::newRow("capital_extension") << "Berlin\t\tB.JPG"
                                     << "";
}

void TestQuiz::bildname() {
  QFETCH(QString, eintrag);
  QFETCH(QString, bildname);
  QCOMPARE(KennzeichenEintrag::Bildname(eintrag), bildname);
}

void TestQuiz::istRichtig_data() {
  QTest::addColumn<QString>("bildfeld");
  QTest::addColumn<QString>("bildDatei");
  QTest::addColumn<bool>("richtig");
  QTest::newRow("same") << "AB.jpg"
                        << "AB.jpg" << true;
  QTest::newRow("austrian") << "W_9.jpg"
                            << "W_9.jpg" << true;
  QTest::newRow("near_miss_shorter_code") << "A.jpg"
                                          << "AB.jpg" << false;
  QTest::newRow("near_miss_longer_code") << "AB.jpg"
                                         << "A.jpg" << false;
  QTest::newRow("case_differs") << "ab.jpg"
                                << "AB.jpg" << false;
  QTest::newRow("empty_field") << ""
                               << "AB.jpg" << false;
  QTest::newRow("prefix_without_extension") << "AB"
                                            << "AB.jpg" << true;
}

void TestQuiz::istRichtig() {
  QFETCH(QString, bildfeld);
  QFETCH(QString, bildDatei);
  QFETCH(bool, richtig);
  QCOMPARE(KennzeichenEintrag::IstRichtig(bildfeld, bildDatei), richtig);
}

void TestQuiz::frageText_data() {
  QTest::addColumn<int>("gruppe");
  QTest::addColumn<QString>("bild");
  QTest::addColumn<QString>("frage");
  QTest::newRow("german") << 0 << "AB.jpg"
                          << "Für welchen Landkreis / kreisfreie Stadt steht:  AB  am Anfang ?";
  QTest::newRow("austrian_keeps_state") << 1 << "W_9.jpg"
                                        << "Für welchen Bezirk steht:  W_9  am Anfang ?";
  QTest::newRow("capital_extension") << 0 << "AB.JPG"
                                     << "Für welchen Landkreis / kreisfreie Stadt steht:  AB  am Anfang ?";
  QTest::newRow("only_first_jpg") << 0 << "A.jpg.jpg"
                                  << "Für welchen Landkreis / kreisfreie Stadt steht:  A.jpg  am Anfang ?";
  QTest::newRow("no_group") << -1 << "AB.jpg"
                            << "";
}

void TestQuiz::frageText() {
  QFETCH(int, gruppe);
  QFETCH(QString, bild);
  QFETCH(QString, frage);
  QCOMPARE(FrageText(gruppe, bild), frage);
}

void TestQuiz::frageListe_data() {
  QTest::addColumn<QStringList>("zeilen");
  QTest::addColumn<QString>("bild");
  QTest::addColumn<QStringList>("eintraege");
  QTest::addColumn<QString>("richtig");
  QTest::newRow("blank_lines_dropped") << QStringList{"",         "A.jpg\tAugsburg", "   ", "\t",
                                                      "\x01\x02", "B.jpg\tBerlin",   "",    ""}
                                       << "B.jpg" << QStringList{"Augsburg\t\tA.jpg", "Berlin\t\tB.jpg"}
                                       << "Berlin\t\tB.jpg";
  QTest::newRow("line_without_tab_listed_never_right")
      << QStringList{"B.jpg", "A.jpg\tAugsburg"} << "B.jpg" << QStringList{"B.jpg", "Augsburg\t\tA.jpg"} << "";
  QTest::newRow("two_lines_later_is_right")
      << QStringList{"EN.jpg\tEnnepe", "A.jpg\tAugsburg", "EN.jpg\tEnnepetal"} << "EN.jpg"
      << QStringList{"Ennepe\t\tEN.jpg", "Augsburg\t\tA.jpg", "Ennepetal\t\tEN.jpg"} << "Ennepetal\t\tEN.jpg";
  QTest::newRow("no_line_for_picture") << QStringList{"A.jpg\tAugsburg"} << "C.jpg" << QStringList{"Augsburg\t\tA.jpg"}
                                       << "";
  QTest::newRow("near_miss_not_right") << QStringList{"A.jpg\tAugsburg", "AB.jpg\tAschaffenburg"} << "A.jpg"
                                       << QStringList{"Augsburg\t\tA.jpg", "Aschaffenburg\t\tAB.jpg"}
                                       << "Augsburg\t\tA.jpg";
  QTest::newRow("empty_file") << QStringList{} << "A.jpg" << QStringList{} << "";
}

void TestQuiz::frageListe() {
  QFETCH(QStringList, zeilen);
  QFETCH(QString, bild);
  QFETCH(QStringList, eintraege);
  QFETCH(QString, richtig);
  const TFrageListe liste = BaueFrageListe(zeilen, bild);
  QCOMPARE(liste.Eintraege, eintraege);
  QCOMPARE(liste.RichtigeZeile, richtig);
}

void TestQuiz::sortierung_data() {
  QTest::addColumn<QStringList>("eintraege");
  QTest::addColumn<QStringList>("sortiert");
  QTest::newRow("case_ignored") << QStringList{"bamberg\t\tBA.jpg", "Augsburg\t\tA.jpg", "Berlin\t\tB.jpg"}
                                << QStringList{"Augsburg\t\tA.jpg", "bamberg\t\tBA.jpg", "Berlin\t\tB.jpg"};
  QTest::newRow("umlaut_with_base_letter") << QStringList{"Zwickau", "Öhringen", "Offenbach", "Passau"}
                                           << QStringList{"Offenbach", "Öhringen", "Passau", "Zwickau"};
  QTest::newRow("line_without_tab_among_others") << QStringList{"Wien\t\tW_9.jpg", "Hinweis", "Amstetten\t\tAM_3.jpg"}
                                                 << QStringList{"Amstetten\t\tAM_3.jpg", "Hinweis", "Wien\t\tW_9.jpg"};
}

void TestQuiz::sortierung() {
  QFETCH(QStringList, eintraege);
  QFETCH(QStringList, sortiert);
  QCOMPARE(SortiereEintraege(eintraege), sortiert);
}

void TestQuiz::zerlegeAntwort_data() {
  QTest::addColumn<QString>("eintrag");
  QTest::addColumn<bool>("antwort");
  QTest::addColumn<QString>("bildfeld");
  QTest::addColumn<QString>("code");
  QTest::addColumn<QString>("bildname");
  QTest::addColumn<QString>("text");
  QTest::newRow("german") << "Augsburg, Stadt [Bayern]\t\tA.jpg" << true << "A.jpg"
                          << "A"
                          << "A.jpg"
                          << "Augsburg, Stadt [Bayern]";
  QTest::newRow("german_three") << "Dillingen an der Donau\t\tDLG.jpg" << true << "DLG.jpg"
                                << "DLG"
                                << "DLG.jpg"
                                << "Dillingen an der Donau";
  QTest::newRow("austrian") << "Wien\t\tW_9.jpg" << true << "W_9.jpg"
                            << "W"
                            << "W_9.jpg"
                            << "Wien";
  QTest::newRow("austrian_two") << "Amstetten\t\tAM_3.jpg" << true << "AM_3.jpg"
                                << "AM"
                                << "AM_3.jpg"
                                << "Amstetten";
  QTest::newRow("no_jpg") << "Irgendwo\t\tIW" << true << "IW"
                          << "IW"
                          << ""
                          << "Irgendwo\t\tIW";
  QTest::newRow("line_without_tab") << "Hinweis ohne Tabulator" << false << ""
                                    << ""
                                    << ""
                                    << "";
}

void TestQuiz::zerlegeAntwort() {
  QFETCH(QString, eintrag);
  QFETCH(bool, antwort);
  const std::optional<TAntwort> teile = ZerlegeAntwort(eintrag);
  QCOMPARE(teile.has_value(), antwort);
  if (!teile)
    return;
  QTEST(teile->Bildfeld, "bildfeld");
  QTEST(teile->Code, "code");
  QTEST(teile->Bildname, "bildname");
  QTEST(teile->Text, "text");
}

void TestQuiz::karteBtnText_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<int>("breite");
  QTest::addColumn<QString>("text");
  const QString n21 = QStringLiteral("Dillingen an der Dona");
  const QString n22 = QStringLiteral("Dillingen an der Donau");
  const QString n30 = QStringLiteral("Dahme-Spreewald und Oder-Spree");
  const QString n31 = n30 + QLatin1Char('s');
  QTest::newRow("narrow_21") << n21 << 580 << n21 + " auf Karte anzeigen";
  QTest::newRow("narrow_22") << n22 << 580 << n22;
  QTest::newRow("narrower_22") << n22 << 500 << n22;
  QTest::newRow("wide_22") << n22 << 581 << n22 + " auf Karte anzeigen";
  QTest::newRow("wide_30") << n30 << 770 << n30 + " auf Karte anzeigen";
  QTest::newRow("wide_31") << n31 << 770 << n31;
  QTest::newRow("trailing_blank_trimmed") << "Berlin " << 770 << "Berlin auf Karte anzeigen";
  QTest::newRow("blank_counts_toward_length") << n21 + " " << 580 << n21;
}

void TestQuiz::karteBtnText() {
  QFETCH(QString, name);
  QFETCH(int, breite);
  QFETCH(QString, text);
  QCOMPARE(KarteBtnText(name, breite), text);
}

void TestQuiz::angezeigteZeilen() {
  QFont schrift(QStringLiteral("DejaVu Sans"));
  schrift.setPixelSize(16);
  schrift.setBold(true);
  const QFontMetrics masse(schrift);
  const int breite = 400;
  auto text = [&](double zeilen) {
    QString t;
    for (int wort = 1; masse.horizontalAdvance(t) < (breite - 8) * zeilen; ++wort)
      t += QStringLiteral("Wort%1 ").arg(wort);
    return t.trimmed();
  };
  QCOMPARE(AngezeigteZeilen(QStringLiteral("Bamberg"), schrift, breite, 4), 1);
  QCOMPARE(AngezeigteZeilen(text(1.5), schrift, breite, 4), 2);
  QCOMPARE(AngezeigteZeilen(text(2.5), schrift, breite, 4), 3);
  // The same text wraps to fewer lines in a wider box.
  QCOMPARE(AngezeigteZeilen(text(2.5), schrift, breite * 3, 4), 1);
  QCOMPARE(AngezeigteZeilen(QString(), schrift, breite, 4), 1);
}

void TestQuiz::kartenUrl_data() {
  QTest::addColumn<QString>("adresse");
  QTest::addColumn<QByteArray>("geoeffnet");
  const QByteArray standard = StandardKartenAdresse().toUtf8();
  QTest::newRow("https") << "https://karte.example/" << QByteArray("https://karte.example/");
  QTest::newRow("http") << "http://karte.example/suche" << QByteArray("http://karte.example/suche");
  QTest::newRow("scheme_upper_case") << "HTTPS://karte.example/" << QByteArray("https://karte.example/");
  QTest::newRow("blank_and_umlaut_encoded") << QStringLiteral("https://karte.example/suche?q=Bad Tölz")
                                            << QByteArray("https://karte.example/suche?q=Bad%20T%C3%B6lz");
  QTest::newRow("percent_alone") << "https://karte.example/?q=100%" << QByteArray("https://karte.example/?q=100%25");
  QTest::newRow("already_encoded_kept") << "https://karte.example/?q=Bad%20T%C3%B6lz"
                                        << QByteArray("https://karte.example/?q=Bad%20T%C3%B6lz");
  QTest::newRow("surrounding_blanks") << "  https://karte.example/  " << QByteArray("https://karte.example/");
  QTest::newRow("www_without_scheme") << "www.karte.example/suche?q=Ulm"
                                      << QByteArray("https://www.karte.example/suche?q=Ulm");
  QTest::newRow("host_without_www") << "karte.example/suche" << standard;
  QTest::newRow("local_program") << "/usr/bin/xterm" << standard;
  QTest::newRow("file_url") << "file:///bin/sh" << standard;
  QTest::newRow("windows_program") << "C:\\Windows\\System32\\calc.exe" << standard;
  QTest::newRow("script") << "javascript:alert(1)" << standard;
  QTest::newRow("no_host") << "https://" << standard;
  QTest::newRow("empty") << "" << standard;
}

void TestQuiz::kartenUrl() {
  QFETCH(QString, adresse);
  QFETCH(QByteArray, geoeffnet);
  QCOMPARE(KartenUrl(adresse).toEncoded(), geoeffnet);
}

// ---- practice mode: boxes, the next question, the progress file -------------------------------

namespace {
const QDateTime Jetzt = QDateTime(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);

// A progress line for the tables, due that many hours from now.
QString LernZeile(const char *bild, int kasten, int stunden, const char *gruppe = "Deutschland") {
  return QStringLiteral("%1\t%2\t%3\t%4\t0\t0\n")
      .arg(QLatin1String(gruppe) == QLatin1String("Ö") ? QStringLiteral("Österreich") : QString::fromUtf8(gruppe),
           QLatin1String(bild))
      .arg(kasten)
      .arg(Jetzt.addSecs(qint64(stunden) * 3600).toString(Qt::ISODate));
}

// An entry as one comparable text: group, picture, box, due, counts and the extra fields.
QString AlsText(const TLernEintrag &e) {
  return QStringList{e.Gruppe,
                     e.Bild,
                     QString::number(e.Kasten),
                     e.Faellig.toString(Qt::ISODate),
                     QString::number(e.Richtig),
                     QString::number(e.Falsch)}
             .join(QLatin1Char('|')) +
         (e.Zusatz.isEmpty() ? QString() : QLatin1Char('|') + e.Zusatz.join(QLatin1Char('|')));
}

QStringList AlsTexte(const TLernstand &stand) {
  QStringList texte;
  for (const TLernEintrag &e : stand.Eintraege())
    texte << AlsText(e);
  return texte;
}
} // namespace

void TestQuiz::kastenNachErsterWahl_data() {
  QTest::addColumn<int>("kasten"); // 0: a plate never asked; below 0: in box -kasten, due in two days
  QTest::addColumn<bool>("richtig");
  QTest::addColumn<int>("neuerKasten");
  QTest::addColumn<int>("tage");
  QTest::newRow("new_right_to_box_2") << 0 << true << 2 << 1;
  QTest::newRow("new_wrong_stays_in_box_1_due_at_once") << 0 << false << 1 << 0;
  QTest::newRow("box_2_right") << 2 << true << 3 << 3;
  QTest::newRow("box_4_right_to_last") << 4 << true << 5 << 21;
  QTest::newRow("last_box_right_stays") << 5 << true << 5 << 21;
  QTest::newRow("last_box_wrong_back_to_1") << 5 << false << 1 << 0;
  QTest::newRow("box_3_wrong_back_to_1") << 3 << false << 1 << 0;
  QTest::newRow("ahead_right_keeps_box_and_date") << -3 << true << 3 << 2;
  QTest::newRow("ahead_wrong_back_to_1") << -3 << false << 1 << 0;
}

void TestQuiz::kastenNachErsterWahl() {
  QFETCH(int, kasten);
  QFETCH(bool, richtig);
  QFETCH(int, neuerKasten);
  QFETCH(int, tage);
  TLernstand stand;
  if (kasten != 0)
    stand = LiesLernstand(LernZeile("A.jpg", qAbs(kasten), kasten < 0 ? 48 : -5).toUtf8());
  TLernEintrag &eintrag = stand.Hole(QStringLiteral("Deutschland"), QStringLiteral("A.jpg"));
  const int richtigVorher = eintrag.Richtig;
  const int falschVorher = eintrag.Falsch;
  WerteErsteWahlAus(eintrag, richtig, Jetzt);
  QCOMPARE(eintrag.Kasten, neuerKasten);
  QCOMPARE(eintrag.Faellig, Jetzt.addDays(tage));
  QCOMPARE(eintrag.Richtig, richtigVorher + (richtig ? 1 : 0));
  QCOMPARE(eintrag.Falsch, falschVorher + (richtig ? 0 : 1));
  QCOMPARE(eintrag.Zuletzt, Jetzt);
  QCOMPARE(eintrag.Erstmals, Jetzt);
  QCOMPARE(KastenText(eintrag.Kasten), QStringLiteral("Kasten %1 von 5").arg(neuerKasten));
}

void TestQuiz::lernstandLesen_data() {
  QTest::addColumn<QByteArray>("inhalt");
  QTest::addColumn<bool>("ueben");
  QTest::addColumn<QStringList>("eintraege");
  const QString a = QStringLiteral("Deutschland|A.jpg|2|2026-12-08T12:00:00Z|1|0");
  const QString w = QStringLiteral("Österreich|W_9.jpg|1|2026-12-07T12:00:00Z|0|2");
  const QByteArray gut = "Deutschland\tA.jpg\t2\t2026-12-08T12:00:00Z\t1\t0\n"
                         "\xc3\x96sterreich\tW_9.jpg\t1\t2026-12-07T12:00:00Z\t0\t2\n";
  QTest::newRow("empty") << QByteArray() << false << QStringList{};
  QTest::newRow("mode_on") << QByteArray("# Kommentar\n\xc3\x9c"
                                         "ben\tan\n") +
                                  gut
                           << true << QStringList{a, w};
  QTest::newRow("bom_crlf") << QByteArray("\xef\xbb\xbf\xc3\x9c"
                                          "ben\tan\r\n") +
                                   QByteArray(gut).replace("\n", "\r\n")
                            << true << QStringList{a, w};
  QTest::newRow("garbage_lines_skipped") << QByteArray("\xc3\x9c"
                                                       "ben\tvielleicht\nMüll ohne Tabulator\n") +
                                                "Deutschland\tB.jpg\tzwei\t2026-12-08T12:00:00Z\t1\t0\n" +
                                                "Deutschland\tC.jpg\t2\tmorgen\t1\t0\n" +
                                                "Deutschland\tD.jpg\t2\t2026-12-08T12:00:00Z\t1\n" +
                                                "Deutschland\tE.jpg\t0\t2026-12-08T12:00:00Z\t1\t0\n" +
                                                "Deutschland\tF.jpg\t2\t2026-12-08T12:00:00Z\t-1\t0\n" +
                                                "\t\tG.jpg\t1\t2026-12-08T12:00:00Z\t1\t0\n" +
                                                QByteArray("\x00\xff\xfe\n", 4) + gut +
                                                "Deutschland\t\t2\t2026-12-08T12:00:00Z\t1\t0"
                                         << false << QStringList{"Deutschland|E.jpg|0|2026-12-08T12:00:00Z|1|0", a, w};
  QTest::newRow("newer_version_extra_fields")
      << QByteArray("Deutschland\tA.jpg\t2\t2026-12-08T12:00:00Z\t1\t0\t\t\tschwer\t\t17\n") << false
      << QStringList{a + "|schwer||17"};
  QTest::newRow("more_boxes_than_ours") << QByteArray("Deutschland\tA.jpg\t9\t2026-12-08T12:00:00Z\t1\t0\n") << false
                                        << QStringList{"Deutschland|A.jpg|5|2026-12-08T12:00:00Z|1|0"};
  QTest::newRow("same_plate_twice_later_counts")
      << QByteArray("Deutschland\tA.jpg\t4\t2026-12-09T12:00:00Z\t3\t0\n") + gut << false << QStringList{a, w};
  QTest::newRow("unknown_group_kept") << QByteArray("Schweiz\tZH.jpg\t3\t2026-12-08T12:00:00Z\t2\t0\n") << false
                                      << QStringList{"Schweiz|ZH.jpg|3|2026-12-08T12:00:00Z|2|0"};
  QTest::newRow("time_zone_to_utc") << QByteArray("Deutschland\tA.jpg\t2\t2026-12-08T13:00:00+01:00\t1\t0\n") << false
                                    << QStringList{a};
}

void TestQuiz::lernstandLesen() {
  QFETCH(QByteArray, inhalt);
  QFETCH(bool, ueben);
  QFETCH(QStringList, eintraege);
  const TLernstand stand = LiesLernstand(inhalt);
  QCOMPARE(stand.Ueben, ueben);
  QCOMPARE(AlsTexte(stand), eintraege);
  // Written and read again, nothing changes, the extra fields of a newer version included.
  const QByteArray geschrieben = SchreibeLernstand(stand);
  const TLernstand wieder = LiesLernstand(geschrieben);
  QCOMPARE(wieder.Ueben, ueben);
  QCOMPARE(AlsTexte(wieder), eintraege);
  QCOMPARE(SchreibeLernstand(wieder), geschrieben);
  QVERIFY(geschrieben.contains(ueben ? "\xc3\x9c"
                                       "ben\tan\n"
                                     : "\xc3\x9c"
                                       "ben\taus\n"));
}

// The file on disk: made when missing, rewritten whole, left alone when it cannot be read or written.
void TestQuiz::lernstandDatei() {
  const QString pfad = Basis + QStringLiteral("Nummernfibel-Lernstand.txt");
  TLernstandDatei datei(pfad);
  TLernstand stand = datei.Lade();
  QVERIFY(stand.Eintraege().isEmpty());
  stand.Ueben = true;
  WerteErsteWahlAus(stand.Hole(QStringLiteral("Österreich"), QStringLiteral("W_9.jpg")), false, Jetzt);
  // A name that would break its line is not written; the rest is.
  stand.Hole(QStringLiteral("Deutschland"), QStringLiteral("A\tB.jpg"));
  QVERIFY(datei.Speichere(stand));
  QFile gelesen(pfad);
  QVERIFY(gelesen.open(QIODevice::ReadOnly));
  const QByteArray inhalt = gelesen.readAll();
  gelesen.close();
  QVERIFY(inhalt.contains("\xc3\x96sterreich\tW_9.jpg\t1\t2026-12-07T12:00:00Z\t0\t1\t"));
  QVERIFY(!inhalt.contains("A\tB.jpg"));
  TLernstandDatei nochmal(pfad);
  QCOMPARE(AlsTexte(nochmal.Lade()).size(), 1);

  // A read-only folder: the write fails and the file keeps what it held.
  QVERIFY(QFile::setPermissions(Basis, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
  QFile::setPermissions(pfad, QFileDevice::ReadOwner);
  stand.Ueben = false;
  if (::geteuid() != 0)
    QVERIFY(!nochmal.Speichere(stand));
  QFile::setPermissions(Basis, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QFile::setPermissions(pfad, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  if (::geteuid() != 0) {
    QVERIFY(gelesen.open(QIODevice::ReadOnly));
    QCOMPARE(gelesen.readAll(), inhalt);
    gelesen.close();
  }

  // A folder under the file's name is nobody's progress to replace.
  QVERIFY(QFile::remove(pfad));
  QVERIFY(QDir(Basis).mkdir(QStringLiteral("Nummernfibel-Lernstand.txt")));
  TLernstandDatei ordner(pfad);
  QVERIFY(ordner.Lade().Eintraege().isEmpty());
  QVERIFY(!ordner.Schreibbar());
  QVERIFY(!ordner.Speichere(stand));
  QVERIFY(QFileInfo(pfad).isDir());
}

// ---- the window --------------------------------------------------------------------------------

void TestQuiz::oeffnenMitKnopf_data() {
  QTest::addColumn<Qt::MouseButton>("knopf");
  QTest::addColumn<bool>("frageSichtbar");
  QTest::newRow("left") << Qt::LeftButton << true;
  QTest::newRow("right") << Qt::RightButton << true;
  QTest::newRow("middle") << Qt::MiddleButton << false;
}

void TestQuiz::oeffnenMitKnopf() {
  QFETCH(Qt::MouseButton, knopf);
  QFETCH(bool, frageSichtbar);
  TMainForm &form = Form();
  form.ScrollBox1->SetzeBereich(5000);
  form.ScrollBox1->SetzePosition(198);
  const int position = form.ScrollBox1->Position();
  QVERIFY(position > 0);
  form.Galerie()->SetzeScrollBoxPosition(0);
  form.A_E_Button->show();
  form.SuchEdit->show();

  Oeffne(De + QStringLiteral("A-E/B.jpg"), knopf);

  QCOMPARE(form.ScrollBox1->isHidden(), frageSichtbar);
  QCOMPARE(form.Panel1->isHidden(), !frageSichtbar);
  QCOMPARE(form.Panel2->isHidden(), !frageSichtbar);
  QCOMPARE(form.A_E_Button->isHidden(), frageSichtbar);
  QCOMPARE(form.SuchEdit->isHidden(), frageSichtbar);
  QCOMPARE(form.Galerie()->ScrollBoxPosition(), frageSichtbar ? position : 0);
  // The plate's picture is loaded only when the screen switches.
  QCOMPARE(form.Image1->Bild().size(), frageSichtbar ? GroesseVon(De + "A-E/B.jpg") : QSize(0, 0));
  // The question itself is set up in every case, and with it the plate the gallery marks next.
  QCOMPARE(form.Frage()->BildDatei(), QStringLiteral("B.jpg"));
  QCOMPARE(form.Label1->text(), QStringLiteral("Für welchen Landkreis / kreisfreie Stadt steht:  B  am Anfang ?"));
  QVERIFY(form.Label1->width() >= form.Label1->sizeHint().width());
  QCOMPARE(form.Image2->Bild().size(), GroesseVon(De + "D_Kennzeichen.bmp"));
  QCOMPARE(Beschreibung(), QStringLiteral("Berlin [Hauptstadt]"));
  QCOMPARE(form.Suche()->Suchtext(), QStringLiteral("B"));
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

void TestQuiz::listeOhneLeerzeilenUndVerdeckt() {
  Oeffne(De + QStringLiteral("A-E/A.jpg"));
  QListWidget *liste = Form().Listbox1;
  QStringList sichtbar;
  for (int i = 0; i < liste->count(); ++i) {
    QVERIFY2(!AnsiTrim(liste->item(i)->text()).isEmpty(), qPrintable(QString::number(i)));
    sichtbar << SichtbarerText(liste->item(i)->text());
  }
  QCOMPARE(sichtbar, QStringList({"Aschaffenburg, (optionales Kennzeichen meistens wieder neu, als Wunschmöglichkeit)",
                                  "Augsburg, kreisfreie Stadt [Bayern]", "Bamberg", "Berlin [Hauptstadt]",
                                  "Dahme-Spreewald und Oder-Spree", "Dillingen an der Donau", "Ennepe-Ruhr-Kreis",
                                  "Ennepetal (Altkreis)", "Hinweis ohne Tabulator"}));
  // The drawn text is the description only: the picture field would give the answer away.
  QStyleOptionViewItem option;
  option.initFrom(liste);
  const QModelIndex index = liste->model()->index(Zeile(QStringLiteral("Bamberg")), 0);
  QCOMPARE(liste->itemDelegate()->sizeHint(option, index), QSize(1700, 20));
  QCOMPARE(liste->item(index.row())->text(), QStringLiteral("Bamberg"));
  QCOMPARE(liste->item(index.row())->data(EintragRolle).toString(), QStringLiteral("Bamberg\t\tBA.jpg"));
}

void TestQuiz::zeileOhneTabNieRichtig() {
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("A-E/A.jpg"));
  const QString karte = form.KarteBtn->text();
  Waehle(QStringLiteral("Hinweis ohne Tabulator"));
  // Not an answer: the result pictures go, the "?" goes, the answer box keeps the last answer.
  QVERIFY(form.RichtigImage->isHidden());
  QVERIFY(form.FalschImage->isHidden());
  QCOMPARE(form.Panel2->Caption(), QString());
  QCOMPARE(form.Memo2->toPlainText(), QStringLiteral("Augsburg, kreisfreie Stadt [Bayern]"));
  QCOMPARE(form.KarteBtn->text(), karte);
}

void TestQuiz::zweiZeilenEinBild() {
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("A-E/EN.jpg"));
  QCOMPARE(Beschreibung(), QStringLiteral("Ennepetal (Altkreis)"));
  QVERIFY(form.RichtigImage->isVisibleTo(form.Panel2));
  Waehle(QStringLiteral("Ennepe-Ruhr-Kreis"));
  QVERIFY(form.RichtigImage->isVisibleTo(form.Panel2));
  QVERIFY(form.FalschImage->isHidden());
  QCOMPARE(Hintergrund(), QColor(198, 255, 198));
}

void TestQuiz::richtigeAntwort() {
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  QCOMPARE(form.Panel2->Caption(), QString());
  QCOMPARE(Hintergrund(), QColor(198, 255, 198));
  QVERIFY(form.RichtigImage->isVisibleTo(form.Panel2));
  QVERIFY(form.FalschImage->isHidden());
  QVERIFY(form.Image3->isHidden());
  QVERIFY(form.Image4->isHidden());
  QCOMPARE(form.Memo2->toPlainText(), QStringLiteral("Berlin [Hauptstadt]"));
  QVERIFY(form.Memo2->isVisibleTo(form.Panel2));
  QCOMPARE(form.Suche()->Suchtext(), QStringLiteral("B"));
  QCOMPARE(form.Frage()->RichtigeZeile(), QStringLiteral("Berlin [Hauptstadt]\t\tB.jpg"));
  QVERIFY(form.KarteBtn->isEnabled());
  QVERIFY(form.KarteBtn->isVisibleTo(form.Panel1));
  QCOMPARE(form.KarteBtn->text(), QStringLiteral("Berlin auf Karte anzeigen"));
  QCOMPARE(form.KarteBtn->y(), form.Listbox1->y() + form.Listbox1->height() + 10);
}

void TestQuiz::falscheAntwort() {
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  Waehle(QStringLiteral("Bamberg"));
  QCOMPARE(Hintergrund(), QColor(249, 84, 43));
  QVERIFY(form.FalschImage->isVisibleTo(form.Panel2));
  QVERIFY(form.RichtigImage->isHidden());
  QCOMPARE(form.Memo2->toPlainText(), QStringLiteral("Bamberg"));
  // The small plate with the chosen code's own picture on it.
  QVERIFY(form.Image4->isVisibleTo(form.Panel1));
  QVERIFY(form.Image3->isVisibleTo(form.Panel1));
  QCOMPARE(form.Image4->Bild().size(), GroesseVon(De + "D_Kennzeichen_klein.bmp"));
  QCOMPARE(form.Image3->Bild().size(), GroesseVon(De + "A-E/BA.jpg"));
  const int unten = form.Listbox1->y() + form.Listbox1->height();
  QCOMPARE(form.Image3->geometry(), QRect(23, unten + 14, 40, 34));
  QCOMPARE(form.Image4->y(), unten + 12);
  // A wrong answer does not move the gallery's mark.
  QCOMPARE(form.Suche()->Suchtext(), QStringLiteral("B"));
  QCOMPARE(form.KarteBtn->text(), QStringLiteral("Bamberg auf Karte anzeigen"));

  // A code whose picture is not in the folder: wrong, but no small plate.
  Waehle(QStringLiteral("Dillingen an der Donau"));
  QVERIFY(form.FalschImage->isVisibleTo(form.Panel2));
  QVERIFY(form.Image3->isHidden());
  QVERIFY(form.Image4->isHidden());

  // Ctrl+click on the chosen entry must not leave the list without a choice.
  const QListWidgetItem *gewaehlt = form.Listbox1->currentItem();
  QTest::mouseClick(form.Listbox1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                    form.Listbox1->visualItemRect(gewaehlt).center());
  QCOMPARE(form.Listbox1->selectedItems(), QList<QListWidgetItem *>{form.Listbox1->currentItem()});
  QVERIFY(form.FalschImage->isVisibleTo(form.Panel2));

  // The button brings back the right entry, judged right.
  form.ZeigDieAntwortBtn->click();
  QCOMPARE(Beschreibung(), QStringLiteral("Berlin [Hauptstadt]"));
  QCOMPARE(Hintergrund(), QColor(198, 255, 198));
  QVERIFY(form.RichtigImage->isVisibleTo(form.Panel2));
  QVERIFY(form.FalschImage->isHidden());
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

void TestQuiz::bundeswehr() {
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("U-Z/Y.jpg"));
  QCOMPARE(form.Image2->Bild().size(), GroesseVon(De + "D_Kennzeichen_Bundeswehr.bmp"));
  QCOMPARE(form.Frage()->KartenName(), QStringLiteral("Bundeswehr"));
  QCOMPARE(form.KarteBtn->text(), QStringLiteral("Bundeswehr auf Karte anzeigen"));
  form.KarteBtnClick();
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Bundeswehr"));

  // Any other plate of the range lies on the ordinary template; "Y" chosen wrongly shows the
  // small armed-forces plate with its picture.
  Oeffne(De + QStringLiteral("U-Z/W.jpg"));
  QCOMPARE(form.Image2->Bild().size(), GroesseVon(De + "D_Kennzeichen.bmp"));
  QCOMPARE(Beschreibung(), QStringLiteral("Wuppertal"));
  Waehle(QStringLiteral("Dienstfahrzeug der Bundeswehr"));
  QVERIFY(form.FalschImage->isVisibleTo(form.Panel2));
  QCOMPARE(form.Image4->Bild().size(), GroesseVon(De + "D_Kennzeichen_Bundeswehr_klein.bmp"));
  QCOMPARE(form.Image3->Bild().size(), GroesseVon(De + "U-Z/Y.jpg"));
  QVERIFY(form.Image4->isVisibleTo(form.Panel1));
  // The Windows-1252 file without a mark keeps its umlaut.
  QVERIFY(Zeile(QStringLiteral("Würzburg")) >= 0);
}

void TestQuiz::oesterreich() {
  TMainForm &form = Form();
  Oeffne(At + QStringLiteral("A-Z/W_9.jpg"));
  QCOMPARE(form.Label1->text(), QStringLiteral("Für welchen Bezirk steht:  W_9  am Anfang ?"));
  QCOMPARE(form.Image2->Bild().size(), GroesseVon(At + "Ö_Kennzeichen_Wien.jpg"));
  QCOMPARE(Beschreibung(), QStringLiteral("Wien"));
  QCOMPARE(form.Suche()->Suchtext(), QStringLiteral("W"));

  Waehle(QStringLiteral("Salzburg Stadt"));
  QCOMPARE(form.Image4->Bild().size(), GroesseVon(At + "Ö_Kennzeichen_klein.bmp"));
  QCOMPARE(form.Image3->Bild().size(), GroesseVon(At + "A-Z/S_5.jpg"));
  const int unten = form.Listbox1->y() + form.Listbox1->height();
  QCOMPARE(form.Image3->geometry(), QRect(25, unten + 16, 40, 28));

  Waehle(QStringLiteral("Oberste Organe der Republik, Bundespräsident"));
  QCOMPARE(form.KarteBtn->text(), QStringLiteral("Oberste Organe auf Karte anzeigen"));
  form.KarteBtnClick();
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Oberste Organe"));

  // A picture without a state suffix keeps the plate shown before.
  Oeffne(At + QStringLiteral("A-Z/K.jpg"));
  QCOMPARE(form.Image2->Bild().size(), GroesseVon(At + "Ö_Kennzeichen_Wien.jpg"));
  QCOMPARE(form.Label1->text(), QStringLiteral("Für welchen Bezirk steht:  K  am Anfang ?"));
  QVERIFY(Zeugen->Meldungen.isEmpty());
}

void TestQuiz::ohneZeileBleibtFrageOffen() {
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  QCOMPARE(form.Suche()->Suchtext(), QStringLiteral("B"));
  // C has no line; the right entry of B stands in the same list and must not be judged for C.
  Oeffne(De + QStringLiteral("A-E/C.jpg"));
  QCOMPARE(form.Frage()->RichtigeZeile(), QString());
  QCOMPARE(form.Panel2->Caption(), QStringLiteral("?"));
  QVERIFY(form.RichtigImage->isHidden());
  QVERIFY(form.FalschImage->isHidden());
  QVERIFY(form.Memo2->isHidden());
  QCOMPARE(Beschreibung(), QString());
  QVERIFY(form.Listbox1->count() > 0);
  QCOMPARE(form.Suche()->Suchtext(), QStringLiteral("B"));
}

void TestQuiz::ohneTextDateiLeereListe() {
  TMainForm &form = Form();
  Oeffne(At + QStringLiteral("A-Z/W_9.jpg"));
  QVERIFY(form.Listbox1->count() > 0);
  // "C" names no Austrian text file: nothing to ask, rather than the districts asked before.
  Oeffne(At + QStringLiteral("A-Z/C_9.jpg"));
  QCOMPARE(form.Listbox1->count(), 0);
  QCOMPARE(form.Panel2->Caption(), QStringLiteral("?"));
  QCOMPARE(form.Label1->text(), QStringLiteral("Für welchen Bezirk steht:  C_9  am Anfang ?"));
  QVERIFY(Zeugen->Meldungen.isEmpty());
  QVERIFY(!form.Abgebrochen());
}

void TestQuiz::fehlendeTextDateiIstFatal() {
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("P-T/P.jpg"));
  const QString pfad = Basis + De + QStringLiteral("P-T/P-T.txt");
  QCOMPARE(Zeugen->Meldungen, QStringList{TextDateiFehltMeldung(pfad)});
  QVERIFY(Zeugen->Meldungen.first().contains(QStringLiteral("P-T.txt\r\nist nicht vorhanden!")));
  QVERIFY(form.Abgebrochen());
}

// A pipe, a device or a huge file in place of the text file or of the plate picture: the press ends
// with a message at once instead of waiting for a writer or reading without end.
void TestQuiz::feindlicheDateien_data() {
  QTest::addColumn<QString>("relativ");
  QTest::addColumn<QString>("art");
  QTest::addColumn<QString>("meldung");
  const QString text = De + QStringLiteral("A-E/A-E.txt");
  const QString bild = De + QStringLiteral("A-E/B.jpg");
  QTest::newRow("text_named_pipe") << text << "fifo"
                                   << "fehlt";
  QTest::newRow("text_link_to_dev_zero") << text << "zero"
                                         << "fehlt";
  // Beyond either bound the file is as good as missing: the program ends rather than ask half a question.
  QTest::newRow("text_over_the_limit") << text << "gross"
                                       << "fehlt";
  QTest::newRow("text_too_many_lines") << text << "zeilen"
                                       << "fehlt";
  QTest::newRow("picture_named_pipe") << bild << "fifo"
                                      << "bild";
  QTest::newRow("picture_link_to_dev_zero") << bild << "zero"
                                            << "bild";
  QTest::newRow("picture_over_the_limit") << bild << "gross"
                                          << "bild";
}

void TestQuiz::feindlicheDateien() {
  QFETCH(QString, relativ);
  QFETCH(QString, art);
  QFETCH(QString, meldung);
  const QString pfad = Basis + relativ;
  QVERIFY(QFile::remove(pfad));
  if (art == QLatin1String("fifo")) {
    QCOMPARE(::mkfifo(QFile::encodeName(pfad).constData(), 0600), 0);
  } else if (art == QLatin1String("zero")) {
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), pfad));
  } else {
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    if (art == QLatin1String("zeilen"))
      QVERIFY(datei.write(QByteArray("A.jpg\tAugsburg\r\n").repeated(GroessteZeilenzahl + 1)) > 0);
    else
      QVERIFY(datei.resize(qMax(GroessteTextDatei, GroessteDatenDatei) + 1));
  }
  QElapsedTimer uhr;
  uhr.start();
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  const QString erwartet = meldung == QLatin1String("fehlt") ? TextDateiFehltMeldung(pfad) : BildFehlerMeldung(pfad);
  QCOMPARE(Zeugen->Meldungen, QStringList{erwartet});
  QCOMPARE(Form().Abgebrochen(), meldung == QLatin1String("fehlt"));
  QVERIFY2(uhr.elapsed() < 5000, qPrintable(QString::number(uhr.elapsed())));
}

// A range file far larger than the data set's (here over 2 MB in UTF-16) asks its question as any other.
void TestQuiz::grosseTextDatei() {
  TMainForm &form = Form();
  const QString pfad = Basis + De + QStringLiteral("A-E/A-E.txt");
  QStringList zeilen;
  for (int i = 0; i < 20000; ++i)
    zeilen << QStringLiteral("AX%1.jpg\tLandkreis Nummer %1, eine lange Beschreibung [Bayern]")
                  .arg(i, 5, 10, QLatin1Char('0'));
  zeilen << QStringLiteral("B.jpg\tBamberg, kreisfreie Stadt [Bayern]");
  QFile datei(pfad);
  QVERIFY(datei.open(QIODevice::WriteOnly | QIODevice::Truncate));
  const QString text = zeilen.join(QStringLiteral("\r\n"));
  datei.write("\xFF\xFE");
  datei.write(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
  datei.close();
  QVERIFY(datei.size() > 2 * 1024 * 1024);
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  QVERIFY(Zeugen->Meldungen.isEmpty());
  QVERIFY(!form.Abgebrochen());
  QCOMPARE(form.Listbox1->count(), zeilen.size());
  QCOMPARE(Beschreibung(), QStringLiteral("Bamberg, kreisfreie Stadt [Bayern]"));
  QCOMPARE(Hintergrund(), QColor(198, 255, 198));
}

void TestQuiz::fehlendesBildWirdGemeldet() {
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  const int eintraege = form.Listbox1->count();
  QVERIFY(QFile::remove(Basis + De + QStringLiteral("A-E/A.jpg")));
  Oeffne(De + QStringLiteral("A-E/A.jpg"));
  QCOMPARE(Zeugen->Meldungen, QStringList{BildFehlerMeldung(Basis + De + QStringLiteral("A-E/A.jpg"))});
  // The press ends there: the question still belongs to the plate before.
  QCOMPARE(form.Frage()->BildDatei(), QStringLiteral("B.jpg"));
  QCOMPARE(form.Listbox1->count(), eintraege);
  QVERIFY(!form.Abgebrochen());

  // A damaged template is reported too, and the list is not touched.
  Zeugen->Meldungen.clear();
  QFile vorlage(Basis + De + QStringLiteral("D_Kennzeichen.bmp"));
  QVERIFY(vorlage.open(QIODevice::WriteOnly | QIODevice::Truncate));
  vorlage.write("BM kaputt");
  vorlage.close();
  Oeffne(De + QStringLiteral("A-E/AB.jpg"));
  QCOMPARE(Zeugen->Meldungen, QStringList{BildFehlerMeldung(Basis + De + QStringLiteral("D_Kennzeichen.bmp"))});
  QCOMPARE(form.Frage()->BildDatei(), QStringLiteral("AB.jpg"));
  QCOMPARE(Beschreibung(), QStringLiteral("Berlin [Hauptstadt]"));
}

void TestQuiz::memo2HoeheNachZeilen() {
  TMainForm &form = Form();
  const QString zwei = TextFuerZeilen(form.Memo2, 1.5);
  const QString drei = TextFuerZeilen(form.Memo2, 2.5);
  const QString fuenf = TextFuerZeilen(form.Memo2, 4.5);
  ErgaenzeZeilen(
      Basis + De + QStringLiteral("A-E/A-E.txt"),
      {QStringLiteral("ZW.jpg\t") + zwei, QStringLiteral("DR.jpg\t") + drei, QStringLiteral("FU.jpg\t") + fuenf});
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  QCOMPARE(form.Memo2->height(), 30);
  QCOMPARE(form.RichtigImage->y(), form.Memo2->y() + 30 + 5);

  Waehle(zwei);
  QCOMPARE(form.Memo2->height(), 50);
  QCOMPARE(form.FalschImage->y(), form.Memo2->y() + 50 + 5);
  Waehle(drei);
  QCOMPARE(form.Memo2->height(), 70);
  QCOMPARE(form.FalschImage->y(), form.Memo2->y() + 70 + 5);
  // From four lines on the box keeps its height.
  Waehle(fuenf);
  QCOMPARE(form.Memo2->height(), 70);
  Waehle(QStringLiteral("Bamberg"));
  QCOMPARE(form.Memo2->height(), 30);
  QCOMPARE(form.FalschImage->y(), form.Memo2->y() + 35);
}

// A description of a megabyte without a blank (a damaged or hostile text file) opens, is judged and
// sized like any other, in milliseconds rather than minutes.
void TestQuiz::riesigeZeile() {
  TMainForm &form = Form();
  const QString riesig = QString(1000 * 1000, QLatin1Char('x'));
  ErgaenzeZeilen(Basis + De + QStringLiteral("A-E/A-E.txt"), {QStringLiteral("EN.jpg\t") + riesig});
  QElapsedTimer uhr;
  uhr.start();
  Oeffne(De + QStringLiteral("A-E/EN.jpg"));
  QVERIFY(Zeugen->Meldungen.isEmpty());
  // Every control lays out a part of it that no screen could show whole.
  QCOMPARE(Beschreibung(), riesig.left(GroessteAnzeigeLaenge));
  QCOMPARE(Hintergrund(), QColor(198, 255, 198));
  QCOMPARE(form.Memo2->toPlainText(), riesig.left(GroessteAntwortLaenge));
  QCOMPARE(form.KarteBtn->text(), riesig.left(GroessteAnzeigeLaenge));
  QCOMPARE(form.KarteBtn->accessibleName(), KarteBtnName(riesig.left(GroessteAnzeigeLaenge)));
  // The box holds at most three lines; the text beyond them is never shown.
  QCOMPARE(form.Memo2->height(), 57);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  form.grab();
  // The arrow keys move over it, to the neighbour and back, with the window painted each time.
  const int zeile = form.Listbox1->currentRow();
  const bool letzte = zeile + 1 == form.Listbox1->count();
  for (int mal = 0; mal < 4; ++mal) {
    QTest::keyClick(form.Listbox1, (mal % 2 == 0) == letzte ? Qt::Key_Up : Qt::Key_Down);
    form.grab();
  }
  QCOMPARE(form.Listbox1->currentRow(), zeile);
  QCOMPARE(form.KarteBtn->text(), riesig.left(GroessteAnzeigeLaenge));
  // The map still gets the whole name.
  form.KarteBtnClick();
  QCOMPARE(QGuiApplication::clipboard()->text().size(), riesig.size());
  Waehle(QStringLiteral("Bamberg"));
  QCOMPARE(form.Memo2->toPlainText(), QStringLiteral("Bamberg"));
  QVERIFY2(uhr.elapsed() < 10000, qPrintable(QString::number(uhr.elapsed())));
}

void TestQuiz::karteBtnBeschriftung_data() {
  QTest::addColumn<int>("breite");
  QTest::addColumn<QString>("name");
  QTest::addColumn<bool>("mitZusatz");
  QTest::newRow("580_22_chars") << 580 << "Dillingen an der Donau" << false;
  QTest::newRow("581_22_chars") << 581 << "Dillingen an der Donau" << true;
  QTest::newRow("770_30_chars") << 770 << "Dahme-Spreewald und Oder-Spree" << true;
  QTest::newRow("580_30_chars") << 580 << "Dahme-Spreewald und Oder-Spree" << false;
}

void TestQuiz::karteBtnBeschriftung() {
  QFETCH(int, breite);
  QFETCH(QString, name);
  QFETCH(bool, mitZusatz);
  TMainForm &form = Form();
  form.SetzeBreite(breite);
  QCOMPARE(form.Breite(), breite);
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  Waehle(name);
  QCOMPARE(form.KarteBtn->text(), mitZusatz ? name + QStringLiteral(" auf Karte anzeigen") : name);
  // Read aloud, the button always says what it does, even when its caption has no room for it.
  QCOMPARE(QAccessible::queryAccessibleInterface(form.KarteBtn)->text(QAccessible::Name),
           name + QStringLiteral(" auf Karte anzeigen"));
}

void TestQuiz::kartenKnopf_data() {
  QTest::addColumn<QString>("bild");
  QTest::addColumn<QString>("beschreibung");
  QTest::addColumn<QString>("ablage");
  QTest::addColumn<QString>("beschriftung");
  QTest::newRow("bracketed_note") << "A-E/B.jpg"
                                  << "Berlin [Hauptstadt]"
                                  << "Berlin "
                                  << "Berlin auf Karte anzeigen";
  QTest::newRow("comma") << "A-E/A.jpg"
                         << "Augsburg, kreisfreie Stadt [Bayern]"
                         << "Augsburg"
                         << "Augsburg auf Karte anzeigen";
  QTest::newRow("optional") << "A-E/AB.jpg"
                            << "Aschaffenburg, (optionales Kennzeichen meistens wieder neu, als Wunschmöglichkeit)"
                            << "Aschaffenburg"
                            << "Aschaffenburg auf Karte anzeigen";
}

void TestQuiz::kartenKnopf() {
  QFETCH(QString, bild);
  QFETCH(QString, beschreibung);
  QFETCH(QString, ablage);
  QFETCH(QString, beschriftung);
  QVERIFY(SchreibeProfil(Basis + QStringLiteral("Kennzeichen.ini"), QStringLiteral("Einstellung"),
                        QStringLiteral("KartenAdresse"), QStringLiteral("https://karte.example/")));
  TMainForm &form = Form();
  Oeffne(De + bild);
  QCOMPARE(Beschreibung(), beschreibung);
  QCOMPARE(form.KarteBtn->text(), beschriftung);
  QGuiApplication::clipboard()->clear();
  form.KarteBtn->click();
  QCOMPARE(QGuiApplication::clipboard()->text(), ablage);
  QCOMPARE(Zeugen->Geoeffnet, QList<QUrl>{QUrl(QStringLiteral("https://karte.example/"))});
  // The wait before the map opened went through the pause component, which keeps its interval.
  QCOMPARE(form.MachPause1->Interval(), 100);
}

// Without a program for the help or the map the click still hands the address on, and a box says
// what the desktop lacks.
void TestQuiz::fehlendesProgramm_data() {
  QTest::addColumn<bool>("karte");
  QTest::addColumn<QString>("typ");
  QTest::addColumn<QString>("fehlt");
  QTest::newRow("help_without_pdf_viewer") << false << "application/pdf" << "ein Programm, das PDF-Dokumente zeigt";
  QTest::newRow("map_without_browser") << true << "x-scheme-handler/https" << "ein Webbrowser";
}

void TestQuiz::fehlendesProgramm() {
  QFETCH(bool, karte);
  QFETCH(QString, typ);
  QFETCH(QString, fehlt);
  QStringList gefragt;
  SetzeProgrammPruefung([&gefragt](const QString &t) {
    gefragt << t;
    return false;
  });
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  QVERIFY(Zeugen->Meldungen.isEmpty());
  (karte ? form.KarteBtn : form.HilfeBtn)->click();
  QCOMPARE(Zeugen->Geoeffnet.size(), 1);
  QCOMPARE(gefragt, QStringList{typ});
  QCOMPARE(Zeugen->Meldungen.size(), 1);
  QVERIFY2(Zeugen->Meldungen.first().contains(fehlt), qPrintable(Zeugen->Meldungen.first()));
}

void TestQuiz::kartenAdresseNurImNetz_data() {
  QTest::addColumn<QString>("adresse");
  QTest::addColumn<QByteArray>("geoeffnet");
  QTest::newRow("own_web_map") << "http://karte.example/?q=" << QByteArray("http://karte.example/?q=");
  QTest::newRow("https_with_blank") << QStringLiteral("https://karte.example/suche?q=Bad Tölz")
                                    << QByteArray("https://karte.example/suche?q=Bad%20T%C3%B6lz");
  QTest::newRow("www_without_scheme") << "www.karte.example" << QByteArray("https://www.karte.example");
  QTest::newRow("local_file") << "file:///bin/sh" << StandardKartenAdresse().toUtf8();
  QTest::newRow("mail") << "mailto:jemand@example.org" << StandardKartenAdresse().toUtf8();
}

void TestQuiz::kartenAdresseNurImNetz() {
  QFETCH(QString, adresse);
  QFETCH(QByteArray, geoeffnet);
  // Read from the settings file, as the user writes it there.
  QFile ini(Basis + QStringLiteral("Kennzeichen.ini"));
  QVERIFY(ini.open(QIODevice::WriteOnly));
  ini.write("[Einstellung]\r\nKartenAdresse=" + NachAnsi(adresse) + "\r\n");
  ini.close();
  TMainForm &form = Form();
  Oeffne(De + QStringLiteral("A-E/BA.jpg"));
  QTest::mouseClick(form.KarteBtn, Qt::LeftButton);
  QCOMPARE(Zeugen->Geoeffnet.size(), 1);
  QCOMPARE(Zeugen->Geoeffnet.first().toEncoded(), geoeffnet);
}

void TestQuiz::echteKachelUndFokusNachKarte() {
  TMainForm &form = Form();
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  // The gallery shows the first German range, sorted by name: A, AB, B, BA, C, EN.
  QTRY_COMPARE(form.Galerie()->Kacheln().size(), 6);
  const TKachel kachel = form.Galerie()->Kacheln().at(2);
  QCOMPARE(QFileInfo(form.Galerie()->BildPfade().at(kachel.Tag())).fileName(), QStringLiteral("B.jpg"));
  QTest::mouseClick(form.Galerie()->Ansicht(), Qt::RightButton, {}, kachel.Feld().center());
  QVERIFY(form.Panel1->isVisible());
  QCOMPARE(Beschreibung(), QStringLiteral("Berlin [Hauptstadt]"));

  // A mouse click on another entry judges it.
  QListWidgetItem *bamberg = form.Listbox1->item(Zeile(QStringLiteral("Bamberg")));
  QTest::mouseClick(form.Listbox1->viewport(), Qt::LeftButton, {}, form.Listbox1->visualItemRect(bamberg).center());
  QCOMPARE(Beschreibung(), QStringLiteral("Bamberg"));
  QCOMPARE(Hintergrund(), QColor(249, 84, 43));

  QTest::mouseClick(form.KarteBtn, Qt::LeftButton);
  QCOMPARE(Zeugen->Geoeffnet.size(), 1);
  QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("Bamberg"));
  QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), static_cast<QWidget *>(form.Listbox1), 1000);
  // The tick itself hands the focus back, whatever a paint does.
  form.KarteBtn->setFocus();
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.KarteBtn));
  form.Timer1Timer();
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.Listbox1));

  // The timer keeps both result pictures centred over the answer panel.
  form.FalschImage->move(0, form.FalschImage->y());
  const int links = form.Panel2->x() + form.Panel2->width() / 2 - form.FalschImage->width() / 2 - 75;
  QTRY_COMPARE(form.FalschImage->x(), links);
  QCOMPARE(form.RichtigImage->x(), form.Panel2->x() + form.Panel2->width() / 2 - form.RichtigImage->width() / 2 - 75);

  // Back in the gallery the plate just learned is the one marked.
  form.ZurueckBtnClick();
  QVERIFY(form.ScrollBox1->isVisible());
  QCOMPARE(form.Suche()->Suchtext(), QStringLiteral("B"));
  QVERIFY(form.Galerie()->Gefunden());
  QCOMPARE(QFileInfo(form.Galerie()->BildPfade().at(form.Galerie()->GefundenIndex())).fileName(), QStringLiteral("B.jpg"));
}

void TestQuiz::zweiFragenNacheinander_data() {
  QTest::addColumn<QString>("zurueck");
  QTest::addColumn<int>("taste");
  QTest::addColumn<QString>("gewaehlt");
  const QString danach = QStringLiteral("Berlin [Hauptstadt]");
  const QString letzte = QStringLiteral("Hinweis ohne Tabulator");
  QTest::newRow("backspace_then_down") << "Backspace" << int(Qt::Key_Down) << danach;
  QTest::newRow("back_button_then_down") << "ZurueckBtn" << int(Qt::Key_Down) << danach;
  QTest::newRow("back_button_by_enter_then_down") << "ZurueckBtnEnter" << int(Qt::Key_Down) << danach;
  QTest::newRow("panel_then_down") << "Panel1" << int(Qt::Key_Down) << danach;
  QTest::newRow("plate_then_down") << "Image2" << int(Qt::Key_Down) << danach;
  QTest::newRow("back_button_then_end") << "ZurueckBtn" << int(Qt::Key_End) << letzte;
  QTest::newRow("back_button_then_page_down") << "ZurueckBtn" << int(Qt::Key_PageDown) << letzte;
}

// However the first question was left, the second one, opened by a real press and release, has the
// keyboard in its answer list: the key moves through the answers and the group stays.
void TestQuiz::zweiFragenNacheinander() {
  QFETCH(QString, zurueck);
  QFETCH(int, taste);
  QFETCH(QString, gewaehlt);
  TMainForm &form = GezeigteForm();
  QCOMPARE(form.Galerie()->Kacheln().size(), 6);

  DrueckeUndLasse(form.Galerie()->Ansicht(), form.Galerie()->Kacheln().at(2).Feld().center()); // B
  QVERIFY(form.Panel1->isVisible());
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.Listbox1));
  Taste(&form, Qt::Key_Down);
  QCOMPARE(Beschreibung(), QStringLiteral("Dahme-Spreewald und Oder-Spree"));
  QCOMPARE(Hintergrund(), QColor(249, 84, 43));

  if (zurueck == QLatin1String("Backspace")) {
    Taste(&form, Qt::Key_Backspace);
  } else if (zurueck == QLatin1String("ZurueckBtn")) {
    DrueckeUndLasse(form.ZurueckBtn);
  } else if (zurueck == QLatin1String("ZurueckBtnEnter")) {
    form.ZurueckBtn->setFocus();
    Taste(&form, Qt::Key_Return);
  } else if (zurueck == QLatin1String("Panel1")) {
    DrueckeUndLasse(form.Panel1, QPoint(5, 400));
  } else {
    DrueckeUndLasse(form.Image2);
  }
  QVERIFY(form.ScrollBox1->isVisible());
  // Hiding the question's controls leaves the focus with the gallery, not with the group list.
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.ScrollBox1));
  QCOMPARE(form.Galerie()->Kacheln().size(), 6);

  DrueckeUndLasse(form.Galerie()->Ansicht(), form.Galerie()->Kacheln().at(3).Feld().center()); // BA
  QVERIFY(form.Panel1->isVisible());
  QCOMPARE(Beschreibung(), QStringLiteral("Bamberg"));
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.Listbox1));
  Taste(&form, Qt::Key(taste));
  QCOMPARE(form.ComboBox1->currentIndex(), 0);
  QVERIFY(form.Panel1->isVisible());
  QCOMPARE(Beschreibung(), gewaehlt);
}

void TestQuiz::enterEnterZeigtDieAntwort_data() {
  QTest::addColumn<int>("taste");
  QTest::addColumn<Qt::KeyboardModifiers>("zusatz");
  QTest::newRow("return") << int(Qt::Key_Return) << Qt::KeyboardModifiers();
  QTest::newRow("keypad_enter") << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier);
}

// The first Enter takes the focus to the answer button, the second presses it.
void TestQuiz::enterEnterZeigtDieAntwort() {
  QFETCH(int, taste);
  QFETCH(Qt::KeyboardModifiers, zusatz);
  TMainForm &form = GezeigteForm();
  DrueckeUndLasse(form.Galerie()->Ansicht(), form.Galerie()->Kacheln().at(2).Feld().center()); // B
  Taste(&form, Qt::Key_Down);
  QCOMPARE(Hintergrund(), QColor(249, 84, 43));

  Taste(&form, Qt::Key(taste), zusatz);
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.ZeigDieAntwortBtn));
  QCOMPARE(Beschreibung(), QStringLiteral("Dahme-Spreewald und Oder-Spree"));
  Taste(&form, Qt::Key(taste), zusatz);
  QCOMPARE(Beschreibung(), QStringLiteral("Berlin [Hauptstadt]"));
  QCOMPARE(Hintergrund(), QColor(198, 255, 198));
  QVERIFY(form.RichtigImage->isVisible());
  QVERIFY(form.FalschImage->isHidden());
}

namespace {
// Records what a screen reader would be told while it lives.
struct TZuhoerer {
  QList<QPair<QObject *, QAccessible::Event>> Ereignisse;
  TZuhoerer() {
    SetzeAnsageZeuge([this](QObject *objekt, QAccessible::Event art) { Ereignisse.append({objekt, art}); });
  }
  ~TZuhoerer() { SetzeAnsageZeuge({}); }
  int Anzahl(QObject *objekt, QAccessible::Event art) const { return Ereignisse.count(qMakePair(objekt, art)); }
};

// A fresh view of a widget, as a screen reader gets it after the change events that Qt sends only
// while one is running.
QAccessibleInterface *Zugang(QObject *objekt) {
  if (QAccessibleInterface *alt = QAccessible::queryAccessibleInterface(objekt))
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(alt));
  return QAccessible::queryAccessibleInterface(objekt);
}
} // namespace

void TestQuiz::listeVerraetKeinBild() {
  TMainForm &form = Form();
  // Austrian entries carry the longer picture field with the state's digit.
  for (const QString &bild : {De + QStringLiteral("A-E/A.jpg"), At + QStringLiteral("A-Z/W_9.jpg")}) {
    Oeffne(bild);
    QAccessibleInterface *liste = Zugang(form.Listbox1);
    QVERIFY(liste);
    QCOMPARE(liste->text(QAccessible::Name), QStringLiteral("Mögliche Antworten"));
    QCOMPARE(liste->childCount(), form.Listbox1->count());
    for (int i = 0; i < liste->childCount(); ++i) {
      const QString gelesen = liste->child(i)->text(QAccessible::Name);
      QVERIFY2(!gelesen.isEmpty() && !gelesen.contains(QLatin1Char('\t')) &&
                   !gelesen.contains(QLatin1String(".jpg"), Qt::CaseInsensitive),
               qPrintable(bild + QLatin1String(": ") + gelesen));
      // The entry the question has just judged carries the judgement before its text.
      const QString text = SichtbarerText(form.Listbox1->item(i)->data(EintragRolle).toString());
      QCOMPARE(gelesen, i == form.Listbox1->currentRow() ? QStringLiteral("Richtig: ") + text : text);
    }
  }
  // With only descriptions on show, the picture field still decides: the right entry is found and
  // judged, and a wrong one brings the small plate of its own code.
  QCOMPARE(Beschreibung(), QStringLiteral("Wien"));
  QVERIFY(form.RichtigImage->isVisibleTo(form.Panel2));
  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  Waehle(QStringLiteral("Bamberg"));
  QCOMPARE(form.Image3->Bild().size(), GroesseVon(De + "A-E/BA.jpg"));
  QCOMPARE(form.Frage()->KartenName(), QStringLiteral("Bamberg"));
}

void TestQuiz::urteilWirdAngesagt() {
  TMainForm &form = Form();
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  TZuhoerer zuhoerer;

  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  QAccessibleInterface *memo = Zugang(form.Memo2);
  QCOMPARE(memo->text(QAccessible::Name), QStringLiteral("Richtig"));
  QCOMPARE(memo->text(QAccessible::Description), QStringLiteral("Berlin [Hauptstadt]"));
  QAccessibleInterface *richtig = Zugang(form.RichtigImage);
  QCOMPARE(richtig->role(), QAccessible::Graphic);
  QCOMPARE(richtig->text(QAccessible::Name), QStringLiteral("Richtig"));
  QCOMPARE(richtig->text(QAccessible::Description), QStringLiteral("Berlin [Hauptstadt]"));
  QVERIFY(!richtig->state().invisible);
  QCOMPARE(zuhoerer.Anzahl(form.RichtigImage, QAccessible::Alert), 1);
  QCOMPARE(zuhoerer.Anzahl(form.FalschImage, QAccessible::Alert), 0);

  // The next entry by the arrow key, as a learner without a mouse chooses: wrong, and said so.
  zuhoerer.Ereignisse.clear();
  form.Listbox1->setFocus();
  QTest::keyClick(form.Listbox1, Qt::Key_Down);
  QCOMPARE(Beschreibung(), QStringLiteral("Dahme-Spreewald und Oder-Spree"));
  QCOMPARE(memo->text(QAccessible::Name), QStringLiteral("Falsch"));
  QCOMPARE(memo->text(QAccessible::Description), QStringLiteral("Dahme-Spreewald und Oder-Spree"));
  QAccessibleInterface *falsch = Zugang(form.FalschImage);
  QCOMPARE(falsch->text(QAccessible::Name), QStringLiteral("Falsch"));
  QCOMPARE(falsch->text(QAccessible::Description), QStringLiteral("Dahme-Spreewald und Oder-Spree"));
  QVERIFY(!falsch->state().invisible);
  QVERIFY(richtig->state().invisible);
  QCOMPARE(zuhoerer.Anzahl(form.FalschImage, QAccessible::Alert), 1);
  QCOMPARE(zuhoerer.Anzahl(form.RichtigImage, QAccessible::Alert), 0);

  // A second wrong answer keeps the name but is announced all the same.
  QTest::keyClick(form.Listbox1, Qt::Key_Down);
  QCOMPARE(memo->text(QAccessible::Description), QStringLiteral("Dillingen an der Donau"));
  QCOMPARE(zuhoerer.Anzahl(form.FalschImage, QAccessible::Alert), 2);

  // An entry that is no answer announces nothing.
  Waehle(QStringLiteral("Hinweis ohne Tabulator"));
  QCOMPARE(zuhoerer.Anzahl(form.FalschImage, QAccessible::Alert), 2);
}

// A resize with the question up leaves the plate whole: it looks as a question opened at that size.
void TestQuiz::groesseAufDerFrage() {
  TMainForm &form = Form();
  form.SetzeBreite(900);
  form.SetzeHoehe(800);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  const QString platte = De + QStringLiteral("A-E/B.jpg");
  Oeffne(platte);
  for (const QSize groesse : {QSize(770, 734), QSize(1000, 700), QSize(770, 734)}) {
    form.SetzeBreite(groesse.width());
    form.SetzeHoehe(groesse.height());
    QTRY_COMPARE(form.Breite(), groesse.width());
    QCOMPARE(form.Image1->size(), GroesseVon(platte));
  }
  QTest::qWait(50);
  const QImage nachher = form.Panel1->grab().toImage();
  form.ZurueckBtnClick();
  Oeffne(platte);
  QTest::qWait(50);
  QCOMPARE(form.Image1->size(), GroesseVon(platte));
  QCOMPARE(form.Image1->pos(), form.Image2->pos() + QPoint(30, 4));
  QCOMPARE(form.Panel1->grab().toImage(), nachher);
}

// A window too low for the layout (a small screen at a large scale) keeps the plate whole and the list
// MindestZeilen rows high: the question panel scrolls in its place. Where the layout fits, nothing moves.
void TestQuiz::frageInKleinemFenster_data() {
  QTest::addColumn<QSize>("aussen");
  QTest::addColumn<bool>("rollt");
  QTest::newRow("layout_size") << QSize(770, 734) << false;
  QTest::newRow("1920x1080_scale_2") << QSize(960, 540) << true;
  QTest::newRow("1366x768_scale_1.5") << QSize(910, 512) << true;
  QTest::newRow("1366x768_scale_2") << QSize(683, 384) << true;
}

void TestQuiz::frageInKleinemFenster() {
  QFETCH(QSize, aussen);
  QFETCH(bool, rollt);
  TMainForm &form = GezeigteForm();
  const QRect panel = form.Panel1->geometry();
  form.SetzeBreite(aussen.width());
  form.SetzeHoehe(aussen.height());
  const TKachel kachel = form.Galerie()->Kacheln().at(1);
  QTest::mouseClick(form.Galerie()->Ansicht(), Qt::LeftButton, {}, kachel.Feld().center());
  QTRY_VERIFY(!form.Panel1->isHidden());
  QScrollBar *leiste = form.FrageScrollBar;
  const int zeilen = (form.Listbox1->viewport()->height() + 1) / ListenZeilenHoehe;
  QVERIFY2(zeilen >= MindestZeilen, qPrintable(QString::number(zeilen)));
  QCOMPARE(leiste->isVisible(), rollt);
  if (!rollt) {
    QCOMPARE(form.Panel1->geometry(), panel);
    QVERIFY(form.Panel1->mask().isEmpty());
    return;
  }
  const int hoehe = leiste->height();
  // Opened with the answers, which have the keys, in sight.
  const QRect liste = form.Listbox1->geometry();
  QVERIFY(liste.top() >= leiste->value());
  QVERIFY(qMin(liste.bottom(), leiste->value() + hoehe - 1) - liste.top() + 1 >= qMin(liste.height(), hoehe));
  // The plate can be seen whole, and the map button below the list.
  leiste->setValue(form.Image2->y());
  QVERIFY(form.Panel1->mask().boundingRect().contains(form.Image2->geometry()));
  leiste->setValue(leiste->maximum());
  QVERIFY(form.Panel1->mask().boundingRect().contains(form.KarteBtn->geometry()));
  // Back at the layout size the panel is where it always was.
  form.SetzeBreite(770);
  form.SetzeHoehe(734);
  QTRY_VERIFY(leiste->isHidden());
  QCOMPARE(form.Panel1->geometry(), panel);
  QVERIFY(form.Panel1->mask().isEmpty());
}

void TestQuiz::kennzeichenBeimPixelVerhaeltnis() {
  // ctest runs this once more with QT_SCALE_FACTOR=2: the same checks hold at both ratios.
  const qreal verhaeltnis =
      qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble() : 1.0;
  TMainForm &form = Form();
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QCOMPARE(form.devicePixelRatioF(), verhaeltnis);
  const int faktor = Vergroesserung(verhaeltnis);

  Oeffne(De + QStringLiteral("A-E/B.jpg"));
  Waehle(QStringLiteral("Bamberg"));
  const struct {
    TBild *Bild;
    const char *Datei;
  } bilder[] = {{form.Image1, "A-E/B.jpg"},
                {form.Image2, "D_Kennzeichen.bmp"},
                {form.Image3, "A-E/BA.jpg"},
                {form.Image4, "D_Kennzeichen_klein.bmp"}};
  for (const auto &b : bilder) {
    const QSize datei = GroesseVon(De + QLatin1String(b.Datei));
    QCOMPARE(b.Bild->Bild().size(), datei * faktor);
    QCOMPARE(b.Bild->Bild().devicePixelRatio(), qreal(faktor));
  }
  // Layout arithmetic stays in logical pixels: sizes from the files, places from the layout.
  QCOMPARE(form.Image1->size(), GroesseVon(De + "A-E/B.jpg"));
  QCOMPARE(form.Image2->size(), GroesseVon(De + "D_Kennzeichen.bmp"));
  QCOMPARE(form.Image1->pos(), form.Image2->pos() + QPoint(30, 4));
  QCOMPARE(form.Image4->size(), QSize(70, 38));
  QCOMPARE(form.Image3->size(), QSize(40, 34));

  // The window's own pictures are drawn for the ratio as well.
  for (TBild *ergebnis : {form.RichtigImage, form.FalschImage}) {
    QCOMPARE(ergebnis->size(), QSize(206, 50));
    QCOMPARE(ergebnis->Bild().size(), QSize(206, 50) * faktor);
    QCOMPARE(ergebnis->Bild().devicePixelRatio(), qreal(faktor));
  }
  QCOMPARE(form.ZeigDieAntwortBtn->icon().availableSizes(), QList<QSize>{QSize(240, 30) * faktor});

  // On screen the plate fills the device pixels of its logical rectangle.
  const QImage bild = form.Image2->grab().toImage();
  QCOMPARE(bild.size(), GroesseVon(De + "D_Kennzeichen.bmp") * verhaeltnis);
}

void TestQuiz::bildBeimPixelVerhaeltnis_data() {
  QTest::addColumn<QString>("endung");
  QTest::addColumn<qreal>("verhaeltnis");
  QTest::addColumn<int>("faktor");
  QTest::newRow("jpeg_1") << "jpg" << 1.0 << 1;
  QTest::newRow("jpeg_fraction_rounds_up") << "jpg" << 1.25 << 2;
  QTest::newRow("jpeg_2") << "jpg" << 2.0 << 2;
  QTest::newRow("jpeg_3_capped") << "jpg" << 3.0 << 2;
  QTest::newRow("jpeg_hair_above_1") << "jpg" << 1.0001 << 1;
  QTest::newRow("jpeg_below_1") << "jpg" << 0.5 << 1;
  QTest::newRow("bmp_1") << "bmp" << 1.0 << 1;
  QTest::newRow("bmp_1_5") << "bmp" << 1.5 << 2;
  QTest::newRow("bmp_2") << "bmp" << 2.0 << 2;
}

void TestQuiz::bildBeimPixelVerhaeltnis() {
  QFETCH(QString, endung);
  QFETCH(qreal, verhaeltnis);
  QFETCH(int, faktor);
  // Black left half, white right half: enlarged, each half stays where it was.
  QImage vorlage(64, 24, QImage::Format_RGB32);
  vorlage.fill(Qt::white);
  for (int y = 0; y < vorlage.height(); ++y)
    for (int x = 0; x < vorlage.width() / 2; ++x)
      vorlage.setPixel(x, y, qRgb(0, 0, 0));
  const QString pfad = Basis + QStringLiteral("halb.") + endung;
  QVERIFY(vorlage.save(pfad, endung == QLatin1String("bmp") ? "BMP" : "JPG", 95));

  const std::optional<QImage> bild = LadeBildDatei(pfad, verhaeltnis);
  QVERIFY(bild);
  QCOMPARE(Vergroesserung(verhaeltnis), faktor);
  QCOMPARE(bild->size(), vorlage.size() * faktor);
  QCOMPARE(bild->devicePixelRatio(), qreal(faktor));
  QCOMPARE(bild->deviceIndependentSize(), QSizeF(vorlage.size()));
  for (int y : {2 * faktor, bild->height() / 2, bild->height() - 2 * faktor}) {
    QVERIFY(qGray(bild->pixel(bild->width() / 8, y)) < 40);
    QVERIFY(qGray(bild->pixel(bild->width() * 7 / 8, y)) > 215);
  }
  // A damaged file stays a failure at every ratio.
  QFile kaputt(Basis + QStringLiteral("kaputt.") + endung);
  QVERIFY(kaputt.open(QIODevice::WriteOnly));
  kaputt.write("\xFF\xD8\xFF\xE0 nichts");
  kaputt.close();
  QVERIFY(!LadeBildDatei(kaputt.fileName(), verhaeltnis));
}

void TestQuiz::grossesBildBleibtEinfach() {
  // Within the limit of a picture shown at full size, beyond it when doubled: shown, not doubled.
  const int seite = 2000;
  QVERIFY(qint64(seite) * seite <= GroessteAnzeigeBildpunkte && 4LL * seite * seite > GroessteAnzeigeBildpunkte);
  QImage gross(seite, seite, QImage::Format_Grayscale8);
  gross.fill(Qt::white);
  for (const char *endung : {"jpg", "bmp"}) {
    const QString pfad = Basis + QStringLiteral("gross.") + QLatin1String(endung);
    QVERIFY(gross.save(pfad, endung == QByteArray("bmp") ? "BMP" : "JPG"));
    const std::optional<QImage> bild = LadeBildDatei(pfad, 2.0);
    QVERIFY2(bild, endung);
    QCOMPARE(bild->size(), gross.size());
    QCOMPARE(bild->devicePixelRatio(), 1.0);
  }
}

// A progress file that cannot be written is said once, when practice first saves, with the file and
// why; one that cannot be read keeps its bytes.
void TestQuiz::lernstandNichtSpeicherbar_data() {
  QTest::addColumn<QString>("art");
  QTest::addColumn<QString>("grund");
  if (::geteuid() != 0)
    QTest::newRow("unreadable") << "chmod000" << "lässt sich nicht lesen und wird deshalb nicht überschrieben";
  QTest::newRow("dangling_link") << "link" << "ist ein Verweis auf eine Datei, die es nicht gibt";
  QTest::newRow("fifty_megabytes") << "gross" << "ist viel zu groß für einen Lernstand und wird deshalb nicht";
  QTest::newRow("folder") << "ordner" << "ist keine gewöhnliche Datei und wird deshalb nicht überschrieben";
}

void TestQuiz::lernstandNichtSpeicherbar() {
  QFETCH(QString, art);
  QFETCH(QString, grund);
  const QString pfad = Basis + QStringLiteral("Nummernfibel-Lernstand.txt");
  QFile datei(pfad);
  if (art == QLatin1String("link"))
    QVERIFY(QFile::link(Basis + QStringLiteral("weg/Lernstand.txt"), pfad));
  else if (art == QLatin1String("ordner"))
    QVERIFY(QDir(Basis).mkdir(QStringLiteral("Nummernfibel-Lernstand.txt")));
  else {
    QVERIFY(datei.open(QIODevice::WriteOnly));
    QVERIFY(datei.write("\xc3\x9c" "ben\tan\n") > 0);
    if (art == QLatin1String("gross"))
      QVERIFY(datei.resize(50LL * 1024 * 1024));
    datei.close();
    if (art == QLatin1String("chmod000"))
      QVERIFY(QFile::setPermissions(pfad, {}));
  }
  const QFileInfo vorher(pfad);

  TMainForm &form = GezeigteForm();
  QVERIFY(Zeugen->Meldungen.isEmpty());
  QTest::mouseClick(form.UebenCheckBox, Qt::LeftButton);
  QVERIFY(form.UebenCheckBox->isChecked());
  QTRY_COMPARE(Zeugen->Meldungen.size(), 1);
  QVERIFY2(Zeugen->Meldungen.first().contains(QDir::toNativeSeparators(pfad)), qPrintable(Zeugen->Meldungen.first()));
  QVERIFY2(Zeugen->Meldungen.first().contains(grund), qPrintable(Zeugen->Meldungen.first()));
  // An answer saves again and fails again, without a second box.
  const TKachel kachel = form.Galerie()->Kacheln().at(2);
  QTest::mouseClick(form.Galerie()->Ansicht(), Qt::LeftButton, {}, kachel.Feld().center());
  form.ZeigDieAntwortBtnClick();
  QCOMPARE(form.PunkteLabel->text(), QStringLiteral("0 von 1 richtig"));
  QVERIFY(form.close());
  FForm.reset();
  QCOMPARE(Zeugen->Meldungen.size(), 1);

  const QFileInfo nachher(pfad);
  QCOMPARE(nachher.isSymLink(), vorher.isSymLink());
  QCOMPARE(nachher.exists(), vorher.exists());
  QCOMPARE(nachher.size(), vorher.size());
  QCOMPARE(nachher.lastModified(), vorher.lastModified());
  QFile::setPermissions(pfad, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestQuiz::datensatzEigeneZeile_data() {
  QTest::addColumn<QString>("bild");
  QTest::addColumn<QString>("richtig");
  QTest::addColumn<QString>("nahDaneben");
  const QString optional = QStringLiteral(", (optionales Kennzeichen meistens wieder neu, als Wunschmöglichkeit)");
  const QString mu = "München, Landkreis (zusätzliches Kennzeichen seit 2026)" + optional + " [Bayern]";
  const QString muc = "München, kreisfreie Stadt (zusätzliches Kennzeichen seit 2023)" + optional + " [Bayern]";
  const QString mue = QStringLiteral("Mühldorf am Inn, Landkreis [Bayern]");
  const QString muel =
      "Müllheim, Altkennzeichen im Landkreis Breisgau-Hochschwarzwald" + optional + " [Baden-Württemberg]";
  // Of the two lines of M the later one is selected.
  QTest::newRow("m_shorter_than_mu") << "K-O/M.jpg"
                                     << "München, Landkreis [Bayern]" << mu;
  QTest::newRow("mu_prefix_of_muc") << "K-O/MU.jpg" << mu << muc;
  QTest::newRow("muc_longer_than_mu") << "K-O/MUC.jpg" << muc << mu;
  QTest::newRow("mue_prefix_of_muel") << "K-O/MÜ.jpg" << mue << muel;
  QTest::newRow("muel_longer_than_mue") << "K-O/MÜL.jpg" << muel << mue;
  QTest::newRow("mue_umlaut_not_u") << "K-O/MÜ.jpg" << mue << mu;
  QTest::newRow("at_b_burgenland") << "A-Z/B_1.jpg"
                                   << "Burgenland, Landesregierung [Burgenland]"
                                   << "Bregenz, Bezirk [Vorarlberg]";
  QTest::newRow("at_b_bregenz") << "A-Z/B_8.jpg"
                                << "Bregenz, Bezirk [Vorarlberg]"
                                << "Burgenland, Landesregierung [Burgenland]";
}

// The generated data set, whose codes include ones that begin other codes: each question selects its
// own line and judges the other code's line wrong.
void TestQuiz::datensatzEigeneZeile() {
  QFETCH(QString, bild);
  QFETCH(QString, richtig);
  QFETCH(QString, nahDaneben);
  const QString gruppe = bild.startsWith(QLatin1String("A-Z/")) ? At : De;
  const QString bereich = gruppe + bild.section(QLatin1Char('/'), 0, 0);
  // The range folder and the plates beside it, as the build generated them.
  for (const QString &ordner : {bereich, gruppe}) {
    QDirIterator it(QStringLiteral(NF_LAUFZEIT "/") + ordner, QDir::Files);
    while (it.hasNext()) {
      const QString quelle = it.next();
      const QString ziel = Basis + ordner + QLatin1Char('/') + it.fileName();
      QFile::remove(ziel);
      QVERIFY2(QFile::copy(quelle, ziel), qPrintable(quelle));
    }
  }
  TMainForm &form = Form();
  Oeffne(gruppe + bild);
  QVERIFY2(Zeugen->Meldungen.isEmpty(), qPrintable(Zeugen->Meldungen.join('\n')));
  QVERIFY(form.Label1->text().contains("  " + FrageCode(bild.section(QLatin1Char('/'), 1)) + "  am Anfang ?"));
  QCOMPARE(Beschreibung(), richtig);
  QCOMPARE(form.Memo2->toPlainText(), richtig);
  QCOMPARE(Hintergrund(), QColor(198, 255, 198));

  Waehle(nahDaneben);
  QCOMPARE(Hintergrund(), QColor(249, 84, 43));
  form.ZeigDieAntwortBtnClick();
  QCOMPARE(Beschreibung(), richtig);
  QCOMPARE(Hintergrund(), QColor(198, 255, 198));
}

// On the question screen a key on a button belongs to the answer list: it moves the focus there and
// then moves the list, instead of walking on along the buttons.
void TestQuiz::tasteErreichtDieListe_data() {
  QTest::addColumn<QString>("knopf");
  QTest::addColumn<int>("taste");
  QTest::addColumn<int>("zeile"); // the list's row after the key; it stood on row 2
  QTest::newRow("up_on_answer_button") << "ZeigDieAntwortBtn" << int(Qt::Key_Up) << 1;
  QTest::newRow("down_on_answer_button") << "ZeigDieAntwortBtn" << int(Qt::Key_Down) << 3;
  QTest::newRow("home_on_help_button") << "HilfeBtn" << int(Qt::Key_Home) << 0;
  QTest::newRow("up_on_back_button") << "ZurueckBtn" << int(Qt::Key_Up) << 1;
}

void TestQuiz::tasteErreichtDieListe() {
  QFETCH(QString, knopf);
  QFETCH(int, taste);
  QFETCH(int, zeile);
  TMainForm &form = GezeigteForm();
  const TKachel kachel = form.Galerie()->Kacheln().at(2);
  QTest::mouseClick(form.Galerie()->Ansicht(), Qt::LeftButton, {}, kachel.Feld().center());
  QVERIFY(form.Panel1->isVisible());
  QVERIFY(form.Listbox1->count() > 3);
  form.Listbox1->setCurrentRow(2);
  auto *ausgang = form.findChild<QPushButton *>(knopf);
  QVERIFY(ausgang && ausgang->isVisible());
  ausgang->setFocus();
  QVERIFY(ausgang->hasFocus());
  Taste(&form, Qt::Key(taste));
  QVERIFY(form.Listbox1->hasFocus());
  QCOMPARE(form.Listbox1->currentRow(), zeile);
}

// Practice mode from the user's side: switched on with Alt+Ü, a tile pressed, a wrong first choice,
// "Nächste Frage", a right one, then a restart that finds the mode, the progress file and the marks.
void TestQuiz::uebenAblauf() {
  const QString lernstand = Basis + QStringLiteral("Nummernfibel-Lernstand.txt");
  QStringList gefragt;
  {
    TMainForm &form = GezeigteForm();
    QVERIFY(!form.UebenCheckBox->isChecked());
    QVERIFY(!form.PunkteLabel->isVisible());
    // The access key presses the box as a click would, released a moment later.
    Taste(&form, Qt::Key_Udiaeresis, Qt::AltModifier);
    QTRY_VERIFY(form.UebenCheckBox->isChecked());
    QVERIFY(form.PunkteLabel->isVisible());
    QCOMPARE(form.PunkteLabel->text(), QStringLiteral("0 von 0 richtig"));
    // Every tile carries an empty mark: nothing was asked yet.
    QAccessibleInterface *galerie = QAccessible::queryAccessibleInterface(form.Galerie()->Ansicht());
    QCOMPARE(galerie->child(2)->text(QAccessible::Description), QStringLiteral("Noch nicht geübt"));

    const TKachel kachel = form.Galerie()->Kacheln().at(2);
    QTest::mouseClick(form.Galerie()->Ansicht(), Qt::LeftButton, {}, kachel.Feld().center());
    QVERIFY(form.Panel1->isVisible());
    QCOMPARE(form.Frage()->BildDatei(), QStringLiteral("B.jpg"));
    gefragt << form.Frage()->BildDatei();
    // Nothing of the answer: no entry chosen, the "?" waits, no answer text, picture or map button.
    QVERIFY(form.Listbox1->selectedItems().isEmpty());
    QCOMPARE(form.Panel2->Caption(), QStringLiteral("?"));
    QVERIFY(!form.Memo2->isVisible());
    QVERIFY(form.Memo2->toPlainText().isEmpty());
    QVERIFY(!form.RichtigImage->isVisible());
    QVERIFY(!form.FalschImage->isVisible());
    QVERIFY(!form.KarteBtn->isVisible());
    QVERIFY(form.NaechsteFrageBtn->isVisible());
    QCOMPARE(form.NaechsteFrageBtn->x(), form.ZeigDieAntwortBtn->x() + form.ZeigDieAntwortBtn->width());

    // A wrong first choice is judged red and counts; a second one is judged but does not count.
    QListWidgetItem *bamberg = form.Listbox1->item(Zeile(QStringLiteral("Bamberg")));
    QTest::mouseClick(form.Listbox1->viewport(), Qt::LeftButton, {}, form.Listbox1->visualItemRect(bamberg).center());
    QCOMPARE(Hintergrund(), QColor(249, 84, 43));
    QVERIFY(form.FalschImage->isVisible());
    QVERIFY(form.KarteBtn->isVisible());
    QCOMPARE(form.PunkteLabel->text(), QStringLiteral("0 von 1 richtig"));
    QListWidgetItem *berlin = form.Listbox1->item(Zeile(QStringLiteral("Berlin [Hauptstadt]")));
    QTest::mouseClick(form.Listbox1->viewport(), Qt::LeftButton, {}, form.Listbox1->visualItemRect(berlin).center());
    QCOMPARE(Hintergrund(), QColor(198, 255, 198));
    QCOMPARE(form.PunkteLabel->text(), QStringLiteral("0 von 1 richtig"));

    // The next plate opens without the gallery, again with nothing shown; then a right first choice.
    QTest::mouseClick(form.NaechsteFrageBtn, Qt::LeftButton);
    QVERIFY(form.Panel1->isVisible());
    QVERIFY(!form.ScrollBox1->isVisible());
    QVERIFY(form.Frage()->BildDatei() != gefragt.first());
    gefragt << form.Frage()->BildDatei();
    QVERIFY(form.Listbox1->selectedItems().isEmpty());
    QCOMPARE(form.Panel2->Caption(), QStringLiteral("?"));
    QVERIFY(!form.KarteBtn->isVisible());
    form.ZeigDieAntwortBtnClick(); // shows which entry is right; the plate counts as not known
    QCOMPARE(form.PunkteLabel->text(), QStringLiteral("0 von 2 richtig"));
    QTest::mouseClick(form.NaechsteFrageBtn, Qt::LeftButton);
    gefragt << form.Frage()->BildDatei();
    const int richtig = Zeile(SichtbarerText(form.Frage()->RichtigeZeile()));
    QVERIFY(richtig >= 0);
    // The keys move through the answers without choosing; Enter chooses the entry reached.
    Taste(&form, Qt::Key_Down);
    Taste(&form, Qt::Key_Down);
    QCOMPARE(form.Listbox1->currentRow(), 1);
    QVERIFY(form.Listbox1->selectedItems().isEmpty());
    QCOMPARE(form.Panel2->Caption(), QStringLiteral("?"));
    Taste(&form, Qt::Key_End);
    Taste(&form, Qt::Key_Home);
    for (int i = 0; i < richtig; ++i)
      Taste(&form, Qt::Key_Down);
    QCOMPARE(form.PunkteLabel->text(), QStringLiteral("0 von 2 richtig"));
    Taste(&form, Qt::Key_Return);
    QCOMPARE(form.Listbox1->currentRow(), richtig);
    QCOMPARE(Hintergrund(), QColor(198, 255, 198));
    QCOMPARE(form.PunkteLabel->text(), QStringLiteral("1 von 3 richtig"));
    QVERIFY(form.close());
    FForm.reset();
  }

  // B wrong, then the first new plate A, revealed; B, due in box 1, waits for a couple of others, so the
  // next new plate comes first.
  QCOMPARE(gefragt, QStringList({"B.jpg", "A.jpg", "AB.jpg"}));
  // The progress file: one line per plate asked, readable as it stands.
  QFile datei(lernstand);
  QVERIFY(datei.open(QIODevice::ReadOnly));
  const QString inhalt = QString::fromUtf8(datei.readAll());
  QVERIFY(inhalt.contains(QStringLiteral("\nÜben\tan\n")));
  const QString datum = QStringLiteral("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ");
  QVERIFY2(inhalt.contains(QRegularExpression(QStringLiteral("\nDeutschland\tB\\.jpg\t1\t%1\t0\t1\t%1\t%1\n").arg(datum))),
           qPrintable(inhalt));
  QVERIFY2(inhalt.contains(QRegularExpression(QStringLiteral("\nDeutschland\tA\\.jpg\t1\t%1\t0\t1\t%1\t%1\n").arg(datum))),
           qPrintable(inhalt));
  QVERIFY2(inhalt.contains(QRegularExpression(QStringLiteral("\nDeutschland\tAB\\.jpg\t2\t%1\t1\t0\t%1\t%1\n").arg(datum))),
           qPrintable(inhalt));

  // Started again: the mode is on, the score starts anew, and the tiles show their boxes.
  TMainForm &form = GezeigteForm();
  QVERIFY(form.UebenCheckBox->isChecked());
  QVERIFY(form.PunkteLabel->isVisible());
  QCOMPARE(form.PunkteLabel->text(), QStringLiteral("0 von 0 richtig"));
  QAccessibleInterface *galerie = QAccessible::queryAccessibleInterface(form.Galerie()->Ansicht());
  const QImage bild = form.Galerie()->Ansicht()->grab().toImage();
  for (int i = 0; i < form.Galerie()->Kacheln().size(); ++i) {
    const QString name = QFileInfo(form.Galerie()->BildPfade().at(form.Galerie()->Kacheln().at(i).Tag())).fileName();
    const TLernEintrag *eintrag = form.Uebung()->Lernstand().Finde(QStringLiteral("Deutschland"), name);
    const int kasten = eintrag ? eintrag->Kasten : 0;
    QCOMPARE(kasten > 0, gefragt.contains(name));
    QCOMPARE(galerie->child(i)->text(QAccessible::Description), KastenText(kasten));
    // The first segment of the mark in the tile's bottom-right corner: the box's colour, or empty.
    const QPoint segment = form.Galerie()->Kacheln().at(i).Feld().topLeft() + QPoint(46, 83);
    QCOMPARE(bild.pixel(segment * bild.devicePixelRatio()),
             (kasten > 0 ? KastenFarbe(kasten) : QColor(Qt::white)).rgb());
  }
  // Off again, the tiles are as they always were.
  QTest::mouseClick(form.UebenCheckBox, Qt::LeftButton);
  QVERIFY(!form.UebenCheckBox->isChecked());
  QVERIFY(!form.PunkteLabel->isVisible());
  QCOMPARE(galerie->child(0)->text(QAccessible::Description), QString());
  const QImage aus = form.Galerie()->Ansicht()->grab().toImage();
  const QPoint segment = form.Galerie()->Kacheln().at(0).Feld().topLeft() + QPoint(46, 83);
  QCOMPARE(aus.pixel(segment * aus.devicePixelRatio()), qRgb(255, 255, 255));
}

// A traveller's week on the real data set, by keyboard, the clock faked: Bayern, eight new plates a day, a
// learner who knows a plate from its second sight on. Reviews come before new plates every day, the new ones
// stop at the limit, the day ends with its summary, practising ahead promotes nothing; a route's plates open
// in their own ranges and groups; the reverse direction, the overview and its reset keep to their own boxes;
// a second copy's answers survive.
void TestQuiz::uebenReise() {
  QTemporaryDir ordner;
  const QString quellen = QStringLiteral(NF_LAUFZEIT "/Bilder");
  for (QDirIterator alles(quellen, QDir::Files, QDirIterator::Subdirectories); alles.hasNext();) {
    const QString ziel = ordner.path() + QStringLiteral("/Bilder") + alles.next().mid(quellen.size());
    QVERIFY(QDir().mkpath(QFileInfo(ziel).path()) && QFile::copy(alles.filePath(), ziel));
  }
  QDateTime jetzt(QDate(2026, 12, 1), QTime(9, 0));
  const auto uhr = [&jetzt] { return jetzt.toUTC(); };
  TMainForm form(ordner.path());
  form.Uebung()->SetzeUhr(uhr);
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QTRY_VERIFY(!form.Galerie()->Kacheln().isEmpty());
  Taste(&form, Qt::Key_Udiaeresis, Qt::AltModifier);
  QTRY_VERIFY(form.UebenCheckBox->isChecked());
  TUebungsEinstellung einstellung;
  einstellung.Laender = QStringList{QStringLiteral("Bayern")};
  einstellung.NeueJeTag = 8;
  form.Uebung()->SetzeEinstellung(einstellung);

  QSet<QString> gesehen;
  const auto eintrag = [&form](const QString &bild, bool umgekehrt = false) {
    return form.Uebung()->Lernstand().Finde(LernGruppe(0, umgekehrt), bild);
  };
  // One question by Alt+N, answered by its number: the plates asked are appended, new ones marked "+".
  const auto frage = [&](QStringList &folge) {
    Taste(&form, Qt::Key_N, Qt::AltModifier);
    if (form.TagesendeTafel->isVisible())
      return;
    const QString bild = form.Frage()->BildDatei();
    const TKatalogEintrag *platte = form.Katalog().Finde(form.Gruppe(), bild);
    QVERIFY2(platte, qPrintable(bild));
    QCOMPARE(form.Galerie()->AktuellerOrdner(), platte->Ordner);
    QCOMPARE(form.Listbox1->count(), TUeben::StandardHandvoll);
    // A typed letter, the arrows and Space with nothing reached never count.
    for (Qt::Key taste : {Qt::Key_E, Qt::Key_Down, Qt::Key_Up})
      Taste(&form, taste);
    QVERIFY(form.Uebung()->FrageOffen());
    int richtig = 0;
    while (form.Listbox1->item(richtig)->data(EintragRolle).toString() != form.Frage()->RichtigeZeile())
      ++richtig;
    const bool weiss = gesehen.contains(bild);
    Taste(&form, Qt::Key(Qt::Key_1 + (weiss ? richtig : (richtig + 1) % TUeben::StandardHandvoll)));
    QVERIFY(!form.Uebung()->FrageOffen());
    // A wrong choice shows the right answer beside it.
    QCOMPARE(form.RichtigLabel->isVisible(), !weiss);
    folge << (weiss ? QString() : QStringLiteral("+")) + platte->Code + QLatin1Char('@') + platte->Laender.join(',');
    gesehen.insert(bild);
  };
  const auto tag = [&](QStringList &folge) {
    for (int anzahl = -1; anzahl != folge.size() && folge.size() < 100;) {
      anzahl = folge.size();
      frage(folge);
    }
    QVERIFY(form.TagesendeTafel->isVisible());
    QVERIFY(form.TagesendeLabel->accessibleName().startsWith(QStringLiteral("Für heute geschafft.")));
    QVERIFY(form.Ansage->Text().startsWith(QStringLiteral("Für heute geschafft. ")));
    QCOMPARE(folge.filter(QRegularExpression(QStringLiteral("^\\+"))).size(), 8);
    QCOMPARE(folge.filter(QStringLiteral("@Bayern")).size(), folge.size());
  };

  // Day 0: eight new plates, each wrong at first and right when it comes back after a couple of others.
  QStringList tag0;
  tag(tag0);
  QCOMPARE(tag0.size(), 16);
  QVERIFY(!tag0.at(1).startsWith('+') || !tag0.at(2).startsWith('+') || tag0.at(3).startsWith('+'));
  // Ahead of its day a right answer keeps the plate in box 2.
  Taste(&form, Qt::Key_W, Qt::AltModifier);
  QTRY_VERIFY(form.Panel1->isVisible());
  const QString voraus = form.Frage()->BildDatei();
  QVERIFY(gesehen.contains(voraus));
  const QDateTime faellig = eintrag(voraus)->Faellig;
  QCOMPARE(eintrag(voraus)->Kasten, 2);
  int zeile = 0;
  while (form.Listbox1->item(zeile)->data(EintragRolle).toString() != form.Frage()->RichtigeZeile())
    ++zeile;
  Taste(&form, Qt::Key(Qt::Key_1 + zeile));
  QCOMPARE(eintrag(voraus)->Kasten, 2);
  QCOMPARE(eintrag(voraus)->Faellig, faellig);

  // Days +1 and +3: the due reviews first, then the day's new plates.
  for (int tage : {1, 2}) {
    jetzt = jetzt.addDays(tage);
    QStringList folge;
    tag(folge);
    for (int i = 0; i < 8; ++i)
      QVERIFY2(!folge.at(i).startsWith('+'), qPrintable(folge.join(' ')));
  }

  // A route across ranges and groups: each plate opens in its own.
  einstellung.Laender.clear();
  einstellung.Route = QStringLiteral("pa, LZ hh");
  form.Uebung()->SetzeEinstellung(einstellung);
  jetzt = jetzt.addDays(1);
  QStringList route;
  for (int i = 0; i < 3; ++i) {
    Taste(&form, Qt::Key_N, Qt::AltModifier);
    route << form.Frage()->BildDatei() + QLatin1Char('/') + QString::number(form.Gruppe());
    form.Frage()->ZeigDieAntwortBtnClick();
  }
  QCOMPARE(route, QStringList({"HH.jpg/0", "PA.jpg/0", "LZ_7.jpg/1"}));

  // A route of unknown codes has nothing to ask, and says so.
  einstellung.Route = QStringLiteral("XYZ");
  form.Uebung()->SetzeEinstellung(einstellung);
  Taste(&form, Qt::Key_N, Qt::AltModifier);
  QVERIFY(form.TagesendeLabel->accessibleName().startsWith(QStringLiteral("Nichts zu üben.")));

  // The other direction: the district is asked, a plate is chosen by its number, in boxes of its own.
  einstellung.Route = QStringLiteral("pa, LZ hh");
  einstellung.Umgekehrt = true;
  form.Uebung()->SetzeEinstellung(einstellung);
  for (int i = 0; i < 3; ++i) {
    Taste(&form, Qt::Key_N, Qt::AltModifier);
    QVERIFY(form.Rueckfrage->isVisible());
    const QString code = FrageCode(form.Uebung()->UebungsBild()).section('_', 0, 0);
    for (int n = 1; n <= TUeben::StandardHandvoll; ++n)
      if (auto *knopf = form.Rueckfrage->findChild<QPushButton *>(QStringLiteral("RueckWahl%1").arg(n));
          knopf && knopf->accessibleName() == QStringLiteral("Kennzeichen ") + code)
        QTest::keyClick(form.Rueckfrage, Qt::Key(Qt::Key_0 + n));
  }
  QCOMPARE(eintrag(QStringLiteral("HH.jpg"), true)->Kasten, 2);
  QCOMPARE(eintrag(QStringLiteral("HH.jpg"))->Kasten, 1);

  // The overview counts what the file holds; the reset forgets the selection in this direction only.
  Taste(&form, Qt::Key_E, Qt::AltModifier);
  QTRY_VERIFY(form.UebungsFenster && form.UebungsFenster->isVisible());
  auto *uebersicht = form.UebungsFenster->findChild<QListWidget *>(QStringLiteral("UebersichtListe"));
  QVERIFY(uebersicht);
  int imKasten2 = 0;
  for (int i = 0; i < uebersicht->count(); ++i) {
    const QString zeile = uebersicht->item(i)->data(Qt::AccessibleTextRole).toString();
    imKasten2 += QRegularExpression(QStringLiteral("Kasten 2: (\\d+)")).match(zeile).captured(1).toInt();
  }
  const QString lernstand = ordner.path() + QStringLiteral("/Nummernfibel-Lernstand.txt");
  const TLernstand inDerDatei = TLernstandDatei(lernstand).Lade();
  int imKasten2Datei = 0;
  for (const TLernEintrag &e : inDerDatei.Eintraege())
    imKasten2Datei += (e.Gruppe == LernGruppe(0, true) || e.Gruppe == LernGruppe(1, true)) && e.Kasten == 2;
  QCOMPARE(imKasten2, 3);
  QCOMPARE(imKasten2Datei, 3);
  QTest::mouseClick(form.UebungsFenster->findChild<QPushButton *>(QStringLiteral("ZuruecksetzenBtn")), Qt::LeftButton);
  QCOMPARE(Zeugen->Fragen.size(), 1);
  QVERIFY(!eintrag(QStringLiteral("HH.jpg"), true));
  QVERIFY(eintrag(QStringLiteral("HH.jpg")));
  form.UebungsFenster->close();

  // A second copy on the same folder answers meanwhile: neither loses the other's answer.
  TMainForm zweite(ordner.path());
  zweite.Uebung()->SetzeUhr(uhr);
  zweite.show();
  QTRY_VERIFY(!zweite.Galerie()->Kacheln().isEmpty());
  einstellung.Route = QStringLiteral("M");
  zweite.Uebung()->SetzeEinstellung(einstellung);
  zweite.NaechsteFrageBtnClick();
  const QString ihre = zweite.Uebung()->UebungsBild();
  QTest::keyClick(zweite.Rueckfrage, Qt::Key_1);
  form.NaechsteFrageBtnClick();
  const QString meine = form.Uebung()->UebungsBild();
  QVERIFY(!meine.isEmpty() && !ihre.isEmpty());
  QTest::keyClick(form.Rueckfrage, Qt::Key_1);
  const TLernstand gespeichert = TLernstandDatei(lernstand).Lade();
  QCOMPARE(ihre, QStringLiteral("M.jpg"));
  QCOMPARE(meine, QStringLiteral("HH.jpg"));
  for (const QString &bild : {ihre, meine})
    QVERIFY2(gespeichert.Finde(LernGruppe(0, true), bild), qPrintable(bild));
}

void TestQuiz::planeNaechsteFrage_data() {
  QTest::addColumn<QString>("stand");
  QTest::addColumn<QStringList>("zuletzt"); // most recent last
  QTest::addColumn<int>("neueHeute");       // of a limit of 2
  QTest::addColumn<bool>("voraus");
  QTest::addColumn<QString>("erwartet"); // empty: done for today
  const QString bDue = LernZeile("B.jpg", 2, -1);
  const QString cDue = LernZeile("C.jpg", 1, -1);
  QTest::newRow("due_before_new") << bDue << QStringList{} << 0 << false << "B.jpg";
  QTest::newRow("most_overdue_across_boxes")
      << LernZeile("B.jpg", 1, -1) + LernZeile("C.jpg", 4, -50) << QStringList{} << 0 << false << "C.jpg";
  QTest::newRow("equal_due_candidate_order")
      << LernZeile("C.jpg", 2, -3) + LernZeile("B.jpg", 3, -3) << QStringList{} << 0 << false << "B.jpg";
  QTest::newRow("new_in_order_when_none_due") << LernZeile("A.jpg", 2, 24) << QStringList{} << 1 << false << "B.jpg";
  QTest::newRow("limit_reached_done") << LernZeile("A.jpg", 2, 24) << QStringList{} << 2 << false << "";
  QTest::newRow("recent_wrong_waits_for_new") << bDue << QStringList{"B.jpg", "X.jpg"} << 0 << false << "A.jpg";
  QTest::newRow("recent_before_very_last") << bDue + cDue << QStringList{"B.jpg", "C.jpg"} << 2 << false << "B.jpg";
  QTest::newRow("very_last_only_when_alone") << cDue << QStringList{"C.jpg"} << 2 << false << "C.jpg";
  QTest::newRow("reset_is_new_under_limit")
      << LernZeile("A.jpg", 0, -9) + LernZeile("B.jpg", 2, 5) << QStringList{} << 0 << false << "A.jpg";
  QTest::newRow("ahead_soonest_never_last")
      << LernZeile("B.jpg", 2, 24) + LernZeile("C.jpg", 3, 5) << QStringList{"C.jpg"} << 2 << true << "B.jpg";
  QTest::newRow("ahead_new_beyond_limit") << LernZeile("B.jpg", 2, 24) << QStringList{"B.jpg"} << 2 << true << "A.jpg";
}

void TestQuiz::planeNaechsteFrage() {
  QFETCH(QString, stand);
  QFETCH(QStringList, zuletzt);
  QFETCH(int, neueHeute);
  QFETCH(bool, voraus);
  QFETCH(QString, erwartet);
  const auto schluessel = [](const QStringList &bilder) {
    QVector<TLernSchluessel> s;
    for (const QString &bild : bilder)
      s << TLernSchluessel{QStringLiteral("Deutschland"), bild};
    return s;
  };
  const QStringList kandidaten{"A.jpg", "B.jpg", "C.jpg", "D.jpg"};
  const int index = PlaneNaechsteFrage(schluessel(kandidaten), LiesLernstand(stand.toUtf8()), schluessel(zuletzt),
                                       neueHeute, 2, voraus, Jetzt);
  QCOMPARE(index < 0 ? QString() : kandidaten.at(index), erwartet);
}

void TestQuiz::waehleAntworten_data() {
  QTest::addColumn<int>("anzahl");
  QTest::addColumn<QStringList>("zuerst"); // codes that must fill the places after the right one
  QTest::newRow("six_of_five_codes") << 6 << QStringList{"AA", "AB", "B", "FFB"};
  QTest::newRow("same_land_first") << 3 << QStringList{"AB", "FFB"};
}

void TestQuiz::waehleAntworten() {
  QFETCH(int, anzahl);
  QFETCH(QStringList, zuerst);
  const TFrageListe liste =
      BaueFrageListe({"A.jpg\tAugsburg, kreisfreie Stadt [Bayern]", "A.jpg\tAugsburg, Landkreis [Bayern]",
                      "AB.jpg\tAschaffenburg, kreisfreie Stadt [Bayern]", "AB.jpg\tAschaffenburg, Landkreis [Bayern]",
                      "AA.jpg\tOstalbkreis [Baden-Württemberg]", "B.jpg\tBerlin [Berlin]",
                      "FFB.jpg\tFürstenfeldbruck [Bayern]", "Zeile ohne Tabulator"},
                     QStringLiteral("A.jpg"));
  for (quint32 saat = 1; saat <= 16; ++saat) {
    QRandomGenerator zufall(saat);
    const QStringList antworten =
        WaehleAntworten(liste.Eintraege, liste.RichtigeZeile, QStringLiteral("A.jpg"), anzahl, zufall);
    QVERIFY2(antworten.size() == zuerst.size() + 1, qPrintable(antworten.join('|')));
    QCOMPARE(antworten.count(liste.RichtigeZeile), 1);
    QStringList codes;
    for (const QString &a : antworten.mid(1))
      codes << KennzeichenEintrag::Code(a.section(QLatin1Char('\t'), -1));
    std::sort(codes.begin(), codes.end());
    QCOMPARE(codes, zuerst);
  }
}

void TestQuiz::katalogAuswahl_data() {
  QTest::addColumn<QStringList>("laender");
  QTest::addColumn<QString>("route");
  QTest::addColumn<int>("gruppe");
  QTest::addColumn<QStringList>("bilder");
  QTest::newRow("bayern_across_ranges") << QStringList{"Bayern"} << "" << 0
                                        << QStringList{"A.jpg", "AB.jpg", "FS.jpg", "M.jpg"};
  QTest::newRow("route_both_groups_any_separator")
      << QStringList{} << " m, i;;FS\tm" << 0 << QStringList{"FS.jpg", "M.jpg", "I_7.jpg"};
  QTest::newRow("land_and_route") << QStringList{"Tirol"} << "F" << 0 << QStringList{"F.jpg", "I_7.jpg"};
  QTest::newRow("no_selection_whole_group") << QStringList{} << "" << 1 << QStringList{"BD_0.jpg", "I_7.jpg"};
}

void TestQuiz::katalogAuswahl() {
  QFETCH(QStringList, laender);
  QFETCH(QString, route);
  QFETCH(int, gruppe);
  QFETCH(QStringList, bilder);
  const QTemporaryDir leer;
  const TDatenOrdner pfade = TDatenOrdner::Aus(leer.path());
  const auto schreibe = [&](TBereich bereich, const QStringList &zeilen) {
    const QString ordner = pfade.Ordner(bereich);
    QVERIFY(QDir().mkpath(ordner));
    QFile datei(ordner + QLatin1Char('/') + BereichsTextDatei(bereich));
    QVERIFY(datei.open(QIODevice::WriteOnly));
    datei.write("\xef\xbb\xbf" + zeilen.join(QLatin1Char('\n')).toUtf8());
    for (const QString &zeile : zeilen)
      QVERIFY(QFile(ordner + QLatin1Char('/') + zeile.section(QLatin1Char('\t'), 0, 0)).open(QIODevice::WriteOnly));
  };
  schreibe(TBereich::A_E, {"A.jpg\tAugsburg [Bayern]", "AB.jpg\tAschaffenburg [Bayern]", "B.jpg\tBerlin [Berlin]"});
  schreibe(TBereich::F_J, {"F.jpg\tFrankfurt [Hessen]", "FS.jpg\tFreising [Bayern]"});
  schreibe(TBereich::K_O, {"M.jpg\tMünchen [Bayern]"});
  schreibe(TBereich::Oesterreich, {"BD_0.jpg\tBundesdienst [Bund]", "I_7.jpg\tInnsbruck [Tirol]"});
  const TKatalog katalog = TKatalog::Lies(pfade, [](const QString &ordner) {
    return QDir(ordner).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
  });
  QCOMPARE(katalog.Laender(), QStringList({"Bayern", "Berlin", "Hessen", "Tirol"}));
  QStringList gewaehlt;
  for (const TKatalogEintrag *e : katalog.Auswahl(TUebungsEinstellung{laender, route}, gruppe))
    gewaehlt << e->Bild;
  QCOMPARE(gewaehlt, bilder);
}

QTEST_MAIN(TestQuiz)
void TestQuiz::kastenFarbeKontrast_data() {
  QTest::addColumn<int>("kasten");
  for (int kasten = 1; kasten <= KastenAnzahl; ++kasten)
    QTest::addRow("box_%d", kasten) << kasten;
}

// A filled segment of the box mark stands at least 3:1 apart from an empty (white) one.
void TestQuiz::kastenFarbeKontrast() {
  QFETCH(int, kasten);
  const auto leuchtdichte = [](const QColor &farbe) {
    const auto kanal = [](qreal v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * kanal(farbe.redF()) + 0.7152 * kanal(farbe.greenF()) + 0.0722 * kanal(farbe.blueF());
  };
  const qreal kontrast = (1.0 + 0.05) / (leuchtdichte(KastenFarbe(kasten)) + 0.05);
  QVERIFY2(kontrast >= 3.0, qPrintable(QString::number(kontrast)));
}

#include "tst_quiz.moc"
