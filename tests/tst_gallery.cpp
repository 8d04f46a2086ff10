// The gallery: grid and frame rules, the folder listing, JPEG decoding of good and hostile files,
// the thumbnail cache, and the real window loading, framing and switching groups and ranges.
#include "app/bausteine.h"
#include "app/meldung.h"
#include "app/tmainform.h"
#include "data/jpegbild.h"
#include "fixturbaum.h"
#include "gallery/galerieregeln.h"
#include "gallery/vorschaucache.h"
#include "search/tscrollbox.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QRgb Weiss = qRgb(255, 255, 255);
const QRgb Gelb = qRgb(255, 255, 0);
const QRgb Grau = qRgb(128, 128, 128);

QByteArray JpegBytes(QSize groesse, QColor farbe, bool progressiv = false) {
  QImage bild(groesse, QImage::Format_RGB32);
  bild.fill(farbe);
  QByteArray daten;
  QBuffer puffer(&daten);
  puffer.open(QIODevice::WriteOnly);
  QImageWriter schreiber(&puffer, "jpg");
  schreiber.setQuality(95);
  schreiber.setProgressiveScanWrite(progressiv);
  schreiber.write(bild);
  return daten;
}

bool Schreibe(const QString &pfad, const QByteArray &daten) {
  QDir().mkpath(QFileInfo(pfad).absolutePath());
  QFile datei(pfad);
  return datei.open(QIODevice::WriteOnly) && datei.write(daten) == daten.size();
}

// A valid JPEG whose frame header claims another size.
QByteArray MitBehaupteterGroesse(QByteArray daten, quint16 breite, quint16 hoehe) {
  for (int i = 0; i + 8 < daten.size(); ++i)
    if (uchar(daten[i]) == 0xFF && (uchar(daten[i + 1]) == 0xC0 || uchar(daten[i + 1]) == 0xC2)) {
      daten[i + 5] = char(hoehe >> 8);
      daten[i + 6] = char(hoehe & 0xFF);
      daten[i + 7] = char(breite >> 8);
      daten[i + 8] = char(breite & 0xFF);
      break;
    }
  return daten;
}

bool HatFarbe(const QImage &bild, QRgb farbe) {
  for (int y = 0; y < bild.height(); ++y)
    for (int x = 0; x < bild.width(); ++x)
      if ((bild.pixel(x, y) & 0xFFFFFF) == (farbe & 0xFFFFFF))
        return true;
  return false;
}

bool Nahe(QRgb a, QRgb b, int toleranz = 12) {
  return qAbs(qRed(a) - qRed(b)) <= toleranz && qAbs(qGreen(a) - qGreen(b)) <= toleranz &&
         qAbs(qBlue(a) - qBlue(b)) <= toleranz;
}

// The data folder as the program finds it at start: six gallery folders and four templates.
struct TBaum {
  QTemporaryDir Dir;
  QString Basis;

  TBaum() : Basis(Dir.path() + QLatin1Char('/')) {
    Fixturbaum::LegeOrdnerAn(Basis);
    Fixturbaum::LegeVorlagenAn(Basis, Qt::blue, Qt::red);
  }
  QString Pfad(const QString &relativ) const { return Basis + relativ; }
  void Jpeg(const QString &relativ, QSize groesse = QSize(60, 30), QColor farbe = Qt::black) {
    Schreibe(Pfad(relativ), JpegBytes(groesse, farbe));
  }
  void Einstellung(const QString &auswahl) {
    Schreibe(Pfad(QStringLiteral("Kennzeichen.ini")), "[Einstellung]\r\nAuswahl=" + auswahl.toUtf8() + "\r\n");
  }
};

const QString AE = QStringLiteral("Bilder/Deutschland/A-E/");
const QString KO = QStringLiteral("Bilder/Deutschland/K-O/");
const QString AT = QStringLiteral("Bilder/Österreich/A-Z/");

// Counts how often a widget is shown (also while its window is not on screen).
class TZeigZaehler : public QObject {
public:
  int Anzahl = 0;
  bool eventFilter(QObject *, QEvent *ereignis) override {
    if (ereignis->type() == QEvent::ShowToParent)
      ++Anzahl;
    return false;
  }
};

} // namespace

class TstGallery : public QObject {
  Q_OBJECT

  QStringList FMeldungen;
  std::unique_ptr<TBaum> FBaum;
  std::unique_ptr<TMainForm> FForm;

  // Builds the window in the tree and runs its first paint.
  TMainForm *Starte(bool zeichnen = true) {
    QDir::setCurrent(FBaum->Dir.path());
    FForm = std::make_unique<TMainForm>();
    if (zeichnen)
      FForm->FormPaint();
    return FForm.get();
  }

  static int IndexVon(const TMainForm *form, const QString &name) {
    for (int i = 0; i < form->BildPfade.size(); ++i)
      if (DateiName(form->BildPfade.at(i)) == name)
        return i;
    return -1;
  }
  static QImage KachelVon(const TMainForm *form, const QString &name) {
    const int i = IndexVon(form, name);
    return i < 0 ? QImage() : form->Kacheln.at(i)->Bild();
  }

private slots:
  void initTestCase() {
    SetzeMeldungsAnzeige([this](const QString &text) { FMeldungen.append(text); });
  }
  void init() {
    FMeldungen.clear();
    FBaum = std::make_unique<TBaum>();
  }
  void cleanup() {
    FForm.reset();
    FBaum.reset();
  }

  // ---- rules ---------------------------------------------------------------------------------

  void gitter_data() {
    QTest::addColumn<int>("anzahl");
    QTest::addColumn<int>("clientBreite");
    QTest::addColumn<int>("spalten");
    QTest::addColumn<int>("zeilen");
    QTest::newRow("57_in_700") << 57 << 700 << 7 << 9;
    QTest::newRow("row_exactly_full") << 14 << 700 << 7 << 2;
    QTest::newRow("one_past_a_row") << 8 << 700 << 7 << 2;
    QTest::newRow("fewer_than_room") << 3 << 700 << 3 << 1;
    QTest::newRow("one_column_minimum_103") << 5 << 103 << 1 << 5;
    QTest::newRow("narrower_than_a_tile") << 5 << 50 << 1 << 5;
    QTest::newRow("nothing") << 0 << 700 << 0 << 0;
  }
  void gitter() {
    QFETCH(int, anzahl);
    QFETCH(int, clientBreite);
    const TGitter g = BerechneGitter(anzahl, clientBreite);
    QTEST(g.Spalten, "spalten");
    QTEST(g.Zeilen, "zeilen");
  }

  void positionen() {
    QCOMPARE(KachelPosition(0, 7), QPoint(4, 4));
    QCOMPARE(KachelPosition(8, 7), QPoint(103, 103));
    QCOMPARE(KachelPosition(56, 7), QPoint(4, 796));
    QCOMPARE(ScrollBereich(0, 7), 99);
    QCOMPARE(ScrollBereich(57, 7), 891);
    QCOMPARE(FundPosition(20, 7), 198);
    QCOMPARE(FundPosition(6, 7), 0);
    // A box narrower than 100 pixels counts as one column instead of dividing by zero.
    QCOMPARE(SichtSpalten(99), 1);
    QCOMPARE(SichtSpalten(716), 7);
    QCOMPARE(ScrollBereich(3, SichtSpalten(40)), 4 * 99);
  }

  void zwischenGroesse_data() {
    QTest::addColumn<QSize>("original");
    QTest::addColumn<QSize>("erwartet");
    QTest::newRow("wide_200x100") << QSize(200, 100) << QSize(93, 45);
    QTest::newRow("tall_100x200") << QSize(100, 200) << QSize(45, 93);
    QTest::newRow("square") << QSize(50, 50) << QSize(93, 93);
    QTest::newRow("even_quotient_500x100") << QSize(500, 100) << QSize(93, 17);
    QTest::newRow("plate_250x60") << QSize(250, 60) << QSize(93, 20);
    QTest::newRow("hair_thin_2000x10") << QSize(2000, 10) << QSize(93, 1);
    QTest::newRow("hair_thin_tall") << QSize(3, 900) << QSize(1, 93);
    // The double quotient lies just below the exact one: a pixel less than whole-number arithmetic.
    QTest::newRow("double_below_95x53") << QSize(95, 53) << QSize(93, 50);
    QTest::newRow("double_below_tall_53x95") << QSize(53, 95) << QSize(50, 93);
    QTest::newRow("double_below_95x7") << QSize(95, 7) << QSize(93, 4);
    QTest::newRow("double_below_190x112") << QSize(190, 112) << QSize(93, 53);
    QTest::newRow("double_below_285x84") << QSize(285, 84) << QSize(93, 25);
    // Neighbours whose quotient is not hit: the exact value stands.
    QTest::newRow("exact_95x54") << QSize(95, 54) << QSize(93, 52);
    QTest::newRow("exact_190x100") << QSize(190, 100) << QSize(93, 48);
    QTest::newRow("one_pixel_less_wide") << QSize(96, 95) << QSize(93, 92);
  }
  void zwischenGroesse() {
    QFETCH(QSize, original);
    QTEST(ZwischenGroesse(original), "erwartet");
  }

  void rahmen_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("suchtext");
    QTest::addColumn<int>("gruppe");
    QTest::addColumn<int>("rahmen");
    const int duenn = int(TRahmen::Duenn), treffer = int(TRahmen::Treffer), keiner = int(TRahmen::Keiner);
    QTest::newRow("de_exact") << "HH.jpg"
                              << "HH" << 0 << treffer;
    QTest::newRow("de_contains_only") << "AHH.jpg"
                                      << "HH" << 0 << keiner;
    QTest::newRow("de_prefix_not_code") << "HHX.jpg"
                                        << "HH" << 0 << keiner;
    QTest::newRow("de_other") << "B.jpg"
                              << "HH" << 0 << duenn;
    QTest::newRow("de_lower_case_file") << "hh.jpg"
                                        << "HH" << 0 << treffer;
    QTest::newRow("de_umlaut_file") << QString::fromUtf8("öhr.jpg") << QString::fromUtf8("ÖHR") << 0 << treffer;
    QTest::newRow("de_G_in_extension") << "B.jpg"
                                       << "G" << 0 << keiner;
    QTest::newRow("de_G_itself") << "G.jpg"
                                 << "G" << 0 << treffer;
    QTest::newRow("de_no_search") << "HH.jpg"
                                  << "" << 0 << duenn;
    QTest::newRow("at_code") << "W_9.jpg"
                             << "W" << 1 << treffer;
    QTest::newRow("at_longer_code") << "WB_9.jpg"
                                    << "W" << 1 << keiner;
    QTest::newRow("at_rule_in_de") << "W_9.jpg"
                                   << "W" << 0 << keiner;
    QTest::newRow("de_rule_in_at") << "W.jpg"
                                   << "W" << 1 << keiner;
    QTest::newRow("no_group") << "HH.jpg"
                              << "HH" << -1 << keiner;
  }
  void rahmen() {
    QFETCH(QString, name);
    QFETCH(QString, suchtext);
    QFETCH(int, gruppe);
    QTEST(int(BestimmeRahmen(name, suchtext, gruppe)), "rahmen");
  }

  void kachelLage_data() {
    QTest::addColumn<QSize>("vorschau");
    QTest::addColumn<QPoint>("lage");
    QTest::newRow("wide_93x45") << QSize(93, 45) << QPoint(1, 25);
    QTest::newRow("tall_45x93") << QSize(45, 93) << QPoint(25, 1);
    QTest::newRow("odd_92x20") << QSize(92, 20) << QPoint(1, 37);
  }
  void kachelLage() {
    QFETCH(QSize, vorschau);
    QFETCH(QPoint, lage);
    QImage bild(vorschau, QImage::Format_RGB32);
    bild.fill(Qt::black);
    const TKachelBild k = ZeichneKachel(bild, QStringLiteral("X.jpg"), QString(), 0);
    QCOMPARE(k.Bild.size(), QSize(95, 95));
    QVERIFY(!k.Treffer);
    const QRect innen(lage, vorschau);
    // Corners of the thumbnail (inside the thin frame) are black, the pixels just outside white.
    QCOMPARE(k.Bild.pixel(innen.topLeft() + QPoint(1, 1)), qRgb(0, 0, 0));
    QCOMPARE(k.Bild.pixel(innen.bottomRight() - QPoint(1, 1)), qRgb(0, 0, 0));
    if (innen.top() > 2)
      QCOMPARE(k.Bild.pixel(innen.left() + 1, innen.top() - 1), Weiss);
    if (innen.bottom() < 93)
      QCOMPARE(k.Bild.pixel(innen.left() + 1, innen.bottom() + 1), Weiss);
    if (innen.right() < 93)
      QCOMPARE(k.Bild.pixel(innen.right() + 1, innen.top() + 1), Weiss);
  }

  // The thin frame runs along x, y = 1 and 94; row and column 0 stay white.
  void duennerRahmen() {
    const TKachelBild k = ZeichneKachel(QImage(), QStringLiteral("X.jpg"), QStringLiteral("HH"), 0);
    QCOMPARE(k.Bild.pixel(0, 0), Weiss);
    QCOMPARE(k.Bild.pixel(1, 1), Grau);
    QCOMPARE(k.Bild.pixel(94, 94), Grau);
    QCOMPARE(k.Bild.pixel(94, 0), Weiss);
    QCOMPARE(k.Bild.pixel(50, 1), Grau);
    QCOMPARE(k.Bild.pixel(1, 50), Grau);
    QCOMPARE(k.Bild.pixel(2, 50), Weiss);
    QCOMPARE(k.Bild.pixel(93, 50), Weiss);
    // Over a picture the not-xor mix inverts pen XOR picture: grey over black gives 127.
    QImage schwarz(93, 93, QImage::Format_RGB32);
    schwarz.fill(Qt::black);
    const TKachelBild ueber = ZeichneKachel(schwarz, QStringLiteral("X.jpg"), QString(), 0);
    QCOMPARE(ueber.Bild.pixel(1, 50), qRgb(127, 127, 127));
    QCOMPARE(ueber.Bild.pixel(2, 50), qRgb(0, 0, 0));
  }

  // The 14-wide pen is centred on the lines at 0 and 94: bands 0..6 and 87..94.
  void gelberRahmen_data() {
    QTest::addColumn<QPoint>("punkt");
    QTest::addColumn<bool>("gelb");
    QTest::newRow("outer_corner") << QPoint(0, 0) << true;
    QTest::newRow("left_band_inner_edge") << QPoint(6, 50) << true;
    QTest::newRow("left_band_past") << QPoint(7, 50) << false;
    QTest::newRow("top_band_inner_edge") << QPoint(50, 6) << true;
    QTest::newRow("top_band_past") << QPoint(50, 7) << false;
    QTest::newRow("right_band_inner_edge") << QPoint(87, 50) << true;
    QTest::newRow("right_band_past") << QPoint(86, 50) << false;
    QTest::newRow("bottom_band_inner_edge") << QPoint(50, 87) << true;
    QTest::newRow("bottom_band_past") << QPoint(50, 86) << false;
    QTest::newRow("inner_corner_past") << QPoint(7, 7) << false;
    QTest::newRow("bottom_right") << QPoint(94, 94) << true;
    QTest::newRow("middle") << QPoint(47, 47) << false;
  }
  void gelberRahmen() {
    QFETCH(QPoint, punkt);
    QFETCH(bool, gelb);
    const TKachelBild k = ZeichneKachel(QImage(), QStringLiteral("HH.jpg"), QStringLiteral("HH"), 0);
    QVERIFY(k.Treffer);
    if (gelb)
      QCOMPARE(k.Bild.pixel(punkt), Gelb);
    else
      QVERIFY(k.Bild.pixel(punkt) != Gelb);
  }

  // Over the picture yellow keeps red and green and inverts blue; each pixel is mixed once, also
  // where two sides overlap.
  void gelbUeberBild() {
    QImage rot(93, 93, QImage::Format_RGB32);
    rot.fill(qRgb(255, 0, 0));
    const TKachelBild k = ZeichneKachel(rot, QStringLiteral("W_9.jpg"), QStringLiteral("W"), 1);
    QVERIFY(k.Treffer);
    QCOMPARE(k.Bild.pixel(3, 50), qRgb(255, 0, 255));
    QCOMPARE(k.Bild.pixel(3, 3), qRgb(255, 0, 255));
    QCOMPARE(k.Bild.pixel(90, 90), qRgb(255, 0, 255));
    QCOMPARE(k.Bild.pixel(50, 50), qRgb(255, 0, 0));
  }

  void keinRahmen() {
    const TKachelBild k = ZeichneKachel(QImage(), QStringLiteral("AHH.jpg"), QStringLiteral("HH"), 0);
    QVERIFY(!k.Treffer);
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(94, 94), QPoint(3, 50)})
      QCOMPARE(k.Bild.pixel(p), Weiss);
  }

  void fehlerKachel() {
    const TKachelBild k = ZeichneKachel(QImage(), QStringLiteral("X.jp"), QString(), 0);
    QVERIFY(HatFarbe(k.Bild, qRgb(255, 0, 0)));
    // The word sits in the middle: nothing red near the edges.
    QVERIFY(!HatFarbe(k.Bild.copy(0, 0, 95, 20), qRgb(255, 0, 0)));
    QVERIFY(!HatFarbe(k.Bild.copy(0, 75, 95, 20), qRgb(255, 0, 0)));
  }

  void auswahl_data() {
    QTest::addColumn<QString>("wert");
    QTest::addColumn<int>("gruppe");
    QTest::newRow("austria") << "1" << 1;
    QTest::newRow("germany") << "0" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("other_number") << "5" << -1;
    QTest::newRow("none_written_back") << "-1" << -1;
    QTest::newRow("not_a_number") << "eins" << 0;
  }
  void auswahl() {
    QFETCH(QString, wert);
    QTEST(GruppeAusAuswahl(wert), "gruppe");
  }

  void listing() {
    const QString ordner = FBaum->Pfad(AE);
    for (const char *name : {"b.jpg", "A.JPG", "Z.jp", "C.j", "D.jpeg", "E.png", "ohne", ".versteckt.jpg"})
      Schreibe(ordner + QLatin1String(name), "x");
    Schreibe(ordner + QString::fromUtf8("Öd.jpg"), "x");
    QDir().mkpath(ordner + QStringLiteral("Ordner.jpg"));
    QStringList namen;
    for (const QString &pfad : ListeBilder(ordner, BilderEndungen))
      namen.append(DateiName(pfad));
    // Ordered by the upper-cased name: "." before letters, Ö after Z.
    QCOMPARE(namen, QStringList({".versteckt.jpg", "A.JPG", "b.jpg", "C.j", "Z.jp", QString::fromUtf8("Öd.jpg")}));
    QCOMPARE(ListeBilder(ordner, BilderEndungen).first(), ordner + QStringLiteral(".versteckt.jpg"));
    QVERIFY(ListeBilder(FBaum->Pfad(QStringLiteral("fehlt")), BilderEndungen).isEmpty());
  }

  // ---- decoding ------------------------------------------------------------------------------

  void jpegFarbe_data() {
    QTest::addColumn<bool>("progressiv");
    QTest::newRow("baseline") << false;
    QTest::newRow("progressive") << true;
  }
  void jpegFarbe() {
    QFETCH(bool, progressiv);
    const auto bild = DekodiereJpeg(JpegBytes(QSize(200, 100), QColor(200, 30, 40), progressiv));
    QVERIFY(bild);
    QCOMPARE(bild->size(), QSize(200, 100));
    QVERIFY2(Nahe(bild->pixel(100, 50), qRgb(200, 30, 40)), qPrintable(QColor(bild->pixel(100, 50)).name()));
  }

  void jpegGrauUndCmyk() {
    QImage grau(40, 20, QImage::Format_Grayscale8);
    grau.fill(100);
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    QVERIFY(grau.save(&puffer, "JPG", 95));
    const auto g = DekodiereJpeg(daten);
    QVERIFY(g);
    QVERIFY(Nahe(g->pixel(20, 10), qRgb(100, 100, 100)));

    const auto cmyk = LadeBildDatei(QStringLiteral(NF_GALERIE_FIXTURES "/rot-cmyk.jpg"));
    QVERIFY(cmyk);
    QCOMPARE(cmyk->size(), QSize(40, 20));
    QVERIFY2(Nahe(cmyk->pixel(20, 10), qRgb(200, 30, 40), 20), qPrintable(QColor(cmyk->pixel(20, 10)).name()));
  }

  // The DCT scale is the smallest that still gives the longer side at least the thumbnail's size.
  void verkleinert_data() {
    QTest::addColumn<QSize>("original");
    QTest::addColumn<QSize>("dekodiert");
    QTest::newRow("photo_eighth") << QSize(1600, 1200) << QSize(200, 150);
    QTest::newRow("800_eighth") << QSize(800, 400) << QSize(100, 50);
    QTest::newRow("plate_three_eighths") << QSize(250, 60) << QSize(94, 23);
    QTest::newRow("small_full") << QSize(60, 30) << QSize(60, 30);
  }
  void verkleinert() {
    QFETCH(QSize, original);
    const auto v = DekodiereJpegVerkleinert(JpegBytes(original, Qt::gray), 93);
    QVERIFY(v);
    QCOMPARE(v->Original, original);
    QTEST(v->Bild.size(), "dekodiert");
  }

  void feindlich_data() {
    const QByteArray gut = JpegBytes(QSize(200, 100), Qt::darkGreen);
    QTest::addColumn<QByteArray>("daten");
    QTest::addColumn<bool>("lesbar");
    QTest::newRow("zero_bytes") << QByteArray() << false;
    QByteArray zufall(4096, '\0');
    QRandomGenerator zahlen(7);
    for (char &c : zufall)
      c = char(zahlen.bounded(256));
    QTest::newRow("random_bytes") << zufall << false;
    QTest::newRow("only_start_marker") << gut.left(2) << false;
    QTest::newRow("header_cut") << gut.left(100) << false;
    // libjpeg fills in a picture that ends early; that is a picture, not a failure.
    QTest::newRow("truncated_data") << gut.left(gut.size() - 200) << true;
    QTest::newRow("claims_60000x60000") << MitBehaupteterGroesse(gut, 60000, 60000) << false;
    QTest::newRow("claims_zero_width") << MitBehaupteterGroesse(gut, 0, 100) << false;
  }
  void feindlich() {
    QFETCH(QByteArray, daten);
    QFETCH(bool, lesbar);
    QCOMPARE(DekodiereJpeg(daten).has_value(), lesbar);
    QCOMPARE(DekodiereJpegVerkleinert(daten, 93).has_value(), lesbar);
  }

  void dateiEndungen() {
    const QString ordner = FBaum->Pfad(QStringLiteral("x/"));
    const QByteArray jpeg = JpegBytes(QSize(20, 10), Qt::black);
    Schreibe(ordner + "a.JPG", jpeg);
    Schreibe(ordner + "a.jpeg", jpeg);
    Schreibe(ordner + "a.jp", jpeg);
    QImage bmp(20, 10, QImage::Format_RGB32);
    bmp.fill(Qt::red);
    bmp.save(ordner + "a.bmp", "BMP");
    QByteArray kaputt = QByteArray("BM") + QByteArray(60, '\xff');
    Schreibe(ordner + "kaputt.bmp", kaputt);
    QVERIFY(LadeBildDatei(ordner + "a.JPG"));
    QVERIFY(LadeBildDatei(ordner + "a.jpeg"));
    // No decoder belongs to ".jp", whatever the bytes are.
    QVERIFY(!LadeBildDatei(ordner + "a.jp"));
    QCOMPARE(LadeBildDatei(ordner + "a.bmp")->size(), QSize(20, 10));
    QVERIFY(!LadeBildDatei(ordner + "kaputt.bmp"));
    QVERIFY(!LadeBildDatei(ordner + "fehlt.jpg"));
  }

  // ---- the cache ------------------------------------------------------------------------------

  void cacheDekodiertEinmal() {
    const QString pfad = FBaum->Pfad(AE + "A.jpg");
    FBaum->Jpeg(AE + "A.jpg", QSize(200, 100));
    TVorschauCache cache;
    const QImage erst = cache.Vorschau(pfad);
    QCOMPARE(erst.size(), QSize(93, 45));
    QCOMPARE(cache.Dekodierungen(), 1);
    QCOMPARE(cache.Vorschau(pfad), erst);
    QCOMPARE(cache.Dekodierungen(), 1);

    // Same size, new time: decoded again.
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::ReadWrite));
    QVERIFY(datei.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime));
    datei.close();
    cache.Vorschau(pfad);
    QCOMPARE(cache.Dekodierungen(), 2);

    // New content of another size: decoded again, and the new picture is the one shown.
    FBaum->Jpeg(AE + "A.jpg", QSize(100, 200));
    QCOMPARE(cache.Vorschau(pfad).size(), QSize(45, 93));
    QCOMPARE(cache.Dekodierungen(), 3);

    // A failure is remembered too.
    Schreibe(FBaum->Pfad(AE + "B.jpg"), "kaputt");
    QVERIFY(cache.Vorschau(FBaum->Pfad(AE + "B.jpg")).isNull());
    QVERIFY(cache.Vorschau(FBaum->Pfad(AE + "B.jpg")).isNull());
    QCOMPARE(cache.Dekodierungen(), 4);
  }

  // Many files at once: handed out in list order, each thumbnail the one of its own file, and only
  // the new ones decoded.
  void cacheAlleInReihe() {
    QStringList pfade;
    for (int i = 0; i < 30; ++i) {
      const QString name = AE + QStringLiteral("%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
      FBaum->Jpeg(name, QSize(100 + 10 * i, 100));
      pfade.append(FBaum->Pfad(name));
    }
    Schreibe(pfade.at(7), "kaputt");
    TVorschauCache cache;
    cache.Vorschau(pfade.at(3));
    cache.Vorschau(pfade.at(20));
    QVector<int> reihe;
    QVector<QImage> bilder;
    cache.HoleAlle(pfade, [&](int i, const QImage &bild) {
      reihe.append(i);
      bilder.append(bild);
    });
    QCOMPARE(reihe.size(), 30);
    for (int i = 0; i < 30; ++i) {
      QCOMPARE(reihe.at(i), i);
      if (i != 7)
        QCOMPARE(bilder.at(i).size(), ZwischenGroesse(QSize(100 + 10 * i, 100)));
    }
    QVERIFY(bilder.at(7).isNull());
    QCOMPARE(cache.Dekodierungen(), 30);
    cache.HoleAlle(pfade, [](int, const QImage &) {});
    QCOMPARE(cache.Dekodierungen(), 30);
  }

  void cacheBegrenzt() {
    for (int i = 0; i < 10; ++i)
      FBaum->Jpeg(AE + QStringLiteral("%1.jpg").arg(i), QSize(100, 100));
    // Room for about four 93 x 93 thumbnails.
    TVorschauCache cache(KachelGroesse, 4 * (93 * 93 * 4 + 256));
    for (int i = 0; i < 10; ++i)
      cache.Vorschau(FBaum->Pfad(AE + QStringLiteral("%1.jpg").arg(i)));
    QVERIFY(cache.Bytes() <= 4 * (93 * 93 * 4 + 256));
    QVERIFY(cache.Eintraege() >= 2 && cache.Eintraege() <= 4);
    // The most recent one stayed; the first went.
    const int vorher = cache.Dekodierungen();
    cache.Vorschau(FBaum->Pfad(AE + "9.jpg"));
    QCOMPARE(cache.Dekodierungen(), vorher);
    cache.Vorschau(FBaum->Pfad(AE + "0.jpg"));
    QCOMPARE(cache.Dekodierungen(), vorher + 1);
  }

  // ---- the window -----------------------------------------------------------------------------

  void resizeVorDemErstenZeichnen() {
    FBaum->Jpeg(AE + "A.jpg");
    TMainForm *form = Starte(false);
    form->resize(900, 800);
    form->FormResize();
    QVERIFY(form->AktuellerOrdner.isEmpty());
    QVERIFY(form->Kacheln.isEmpty());
    QVERIFY(form->StatusBar1->SimpleText().isEmpty());
    form->FormPaint();
    QCOMPARE(form->Kacheln.size(), 1);
    // A folder of blanks only: nothing at all changes, not even the status text.
    form->AktuellerOrdner = QStringLiteral("  ");
    form->StatusBar1->SetzeSimpleText(QStringLiteral("x"));
    form->LadeDieBilder();
    QCOMPARE(form->Kacheln.size(), 1);
    QCOMPARE(form->StatusBar1->SimpleText(), QStringLiteral("x"));
  }

  void leererOrdner() {
    TMainForm *form = Starte(false);
    TZeigZaehler zaehler;
    form->ProgressBar1->installEventFilter(&zaehler);
    form->FormPaint();
    QCOMPARE(form->AktuellerOrdner, form->Pfade.Ordner(TBereich::A_E));
    QVERIFY(form->Kacheln.isEmpty());
    QCOMPARE(form->ScrollBox1->Bereich(), 99);
    QCOMPARE(form->StatusBar1->SimpleText(), QStringLiteral("      0 Nummernfibel "));
    QCOMPARE(zaehler.Anzahl, 0);
    QVERIFY(form->ProgressBar1->isHidden());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void siebenundfuenfzig() {
    for (int i = 0; i < 57; ++i)
      FBaum->Jpeg(KO + QStringLiteral("K%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
    TMainForm *form = Starte();
    TZeigZaehler zaehler;
    form->ProgressBar1->installEventFilter(&zaehler);
    form->ScrollBox1->SetzeClientBreite(700);
    form->K_O_ButtonClick();
    QCOMPARE(form->Kacheln.size(), 57);
    QCOMPARE(form->Kacheln.at(8)->geometry(), QRect(103, 103, 95, 95));
    QCOMPARE(form->Kacheln.at(56)->pos(), QPoint(4, 8 * 99 + 4));
    QCOMPARE(form->Kacheln.at(8)->Tag(), 8);
    QCOMPARE(form->Kacheln.at(8)->parentWidget(), form->ScrollBox1->Inhalt());
    QCOMPARE(form->ScrollBox1->ClientBreite(), 697);
    QCOMPARE(form->StatusBar1->SimpleText(), QStringLiteral("      57 Nummernfibel "));
    QCOMPARE(zaehler.Anzahl, 1);
    QVERIFY(form->ProgressBar1->isHidden());
    QCOMPARE(form->ProgressBar1->value(), 0);
    QCOMPARE(form->ProgressBar1->maximum(), 57);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  void dreiBilderVerengen() {
    for (const char *name : {"A.jpg", "B.jpg", "C.jpg"})
      FBaum->Jpeg(AE + QLatin1String(name));
    TMainForm *form = Starte();
    form->ScrollBox1->SetzeClientBreite(700);
    form->A_E_ButtonClick();
    QCOMPARE(form->ScrollBox1->ClientBreite(), 301);
    QCOMPARE(form->Kacheln.at(2)->pos(), QPoint(202, 4));
  }

  void vorschauImFenster() {
    FBaum->Jpeg(AE + "Breit.jpg", QSize(200, 100));
    FBaum->Jpeg(AE + "Hoch.jpg", QSize(100, 200));
    TMainForm *form = Starte();
    const QImage breit = KachelVon(form, "Breit.jpg");
    const QImage hoch = KachelVon(form, "Hoch.jpg");
    QVERIFY(Nahe(breit.pixel(2, 26), qRgb(0, 0, 0), 30));
    QVERIFY(Nahe(breit.pixel(92, 68), qRgb(0, 0, 0), 30));
    QCOMPARE(breit.pixel(2, 24), Weiss);
    QCOMPARE(breit.pixel(2, 70), Weiss);
    QVERIFY(Nahe(hoch.pixel(26, 2), qRgb(0, 0, 0), 30));
    QCOMPARE(hoch.pixel(24, 2), Weiss);
    QCOMPARE(hoch.pixel(70, 2), Weiss);
  }

  void fehlerKachelnImFenster() {
    FBaum->Jpeg(AE + "A.jpg");
    Schreibe(FBaum->Pfad(AE + "Kaputt.jpg"), "kein JPEG");
    Schreibe(FBaum->Pfad(AE + "Kurz.jp"), JpegBytes(QSize(60, 30), Qt::black));
    TMainForm *form = Starte();
    QCOMPARE(form->Kacheln.size(), 3);
    QVERIFY(HatFarbe(KachelVon(form, "Kaputt.jpg"), qRgb(255, 0, 0)));
    QVERIFY(HatFarbe(KachelVon(form, "Kurz.jp"), qRgb(255, 0, 0)));
    QVERIFY(!HatFarbe(KachelVon(form, "A.jpg"), qRgb(255, 0, 0)));
    // A failed tile is framed like any other.
    QCOMPARE(KachelVon(form, "Kaputt.jpg").pixel(1, 1), Grau);
  }

  void feindlicheBilderImFenster() {
    const QByteArray gut = JpegBytes(QSize(200, 100), Qt::black);
    Schreibe(FBaum->Pfad(AE + "A_gut.jpg"), gut);
    Schreibe(FBaum->Pfad(AE + "B_kurz.jpg"), gut.left(gut.size() / 2));
    Schreibe(FBaum->Pfad(AE + "C_leer.jpg"), QByteArray());
    QByteArray zufall(2000, '\0');
    QRandomGenerator zahlen(11);
    for (char &c : zufall)
      c = char(zahlen.bounded(256));
    Schreibe(FBaum->Pfad(AE + "D_zufall.jpg"), zufall);
    Schreibe(FBaum->Pfad(AE + "E_riesig.jpg"), MitBehaupteterGroesse(gut, 60000, 60000));
    // A template with a broken header keeps the window's picture and stops nothing.
    Schreibe(FBaum->Pfad(QStringLiteral("Bilder/Deutschland/D_Kennzeichen.bmp")),
             QByteArray("BM") + QByteArray(100, '\x7f'));
    TMainForm *form = Starte();
    QVERIFY(!form->Abgebrochen());
    QVERIFY(FMeldungen.isEmpty());
    QCOMPARE(form->Kacheln.size(), 5);
    for (const char *name : {"C_leer.jpg", "D_zufall.jpg", "E_riesig.jpg"})
      QVERIFY2(HatFarbe(KachelVon(form, QLatin1String(name)), qRgb(255, 0, 0)), name);
    QVERIFY(!HatFarbe(KachelVon(form, "A_gut.jpg"), qRgb(255, 0, 0)));
    QCOMPARE(form->Image2->Bild().size(), QSize(313, 67));
  }

  void suchtextRahmen_data() {
    QTest::addColumn<int>("gruppe");
    QTest::addColumn<QString>("suchtext");
    QTest::addColumn<QStringList>("dateien");
    QTest::addColumn<QStringList>("gelb");
    QTest::addColumn<QStringList>("ohne");
    QTest::addColumn<QString>("gefunden");
    QTest::newRow("HH") << 0 << "HH" << QStringList{"AHH.jpg", "B.jpg", "HH.jpg"} << QStringList{"HH.jpg"}
                        << QStringList{"AHH.jpg"} << "HH.jpg";
    QTest::newRow("G_in_every_name") << 0 << "G" << QStringList{"B.jpg", "G.jpg", "GL.jpg"} << QStringList{"G.jpg"}
                                     << QStringList{"B.jpg", "GL.jpg"} << "G.jpg";
    QTest::newRow("W_austria") << 1 << "W" << QStringList{"W_9.jpg", "WB_9.jpg", "L_4.jpg"} << QStringList{"W_9.jpg"}
                               << QStringList{"WB_9.jpg"} << "W_9.jpg";
    QTest::newRow("two_matches") << 1 << "W" << QStringList{"W_1.jpg", "W_9.jpg", "WB_9.jpg"}
                                 << QStringList{"W_1.jpg", "W_9.jpg"} << QStringList{"WB_9.jpg"} << "W_9.jpg";
  }
  void suchtextRahmen() {
    QFETCH(int, gruppe);
    QFETCH(QString, suchtext);
    QFETCH(QStringList, dateien);
    QFETCH(QStringList, gelb);
    QFETCH(QStringList, ohne);
    QFETCH(QString, gefunden);
    const QString ordner = gruppe == 0 ? AE : AT;
    for (const QString &name : dateien)
      FBaum->Jpeg(ordner + name, QSize(200, 100));
    FBaum->Einstellung(QString::number(gruppe));
    TMainForm *form = Starte();
    form->Suchtext = suchtext;
    form->LadeDieBilder();
    QVERIFY(form->Gefunden);
    QCOMPARE(form->GefundenIndex, IndexVon(form, gefunden));
    for (const QString &name : dateien) {
      const QImage bild = KachelVon(form, name);
      // Pixel (3, 10) lies in the white margin above the thumbnail: the frame's pure colour.
      if (gelb.contains(name))
        QCOMPARE(bild.pixel(3, 10), Gelb);
      else if (ohne.contains(name))
        QCOMPARE(bild.pixel(1, 10), Weiss);
      else
        QCOMPARE(bild.pixel(1, 10), Grau);
    }
    // The next load without a match keeps the index but clears the flag.
    form->Suchtext = QStringLiteral("QQ");
    form->LadeDieBilder();
    QVERIFY(!form->Gefunden);
    QCOMPARE(form->GefundenIndex, IndexVon(form, gefunden));
  }

  void sprungZumFund() {
    for (int i = 0; i < 120; ++i)
      FBaum->Jpeg(AE + QStringLiteral("A%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    TMainForm *form = Starte();
    QCOMPARE(form->ScrollBox1->width() / 100, 7);
    form->Suchtext = QStringLiteral("A020");
    form->LadeDieBilder();
    QCOMPARE(form->GefundenIndex, 20);
    QCOMPARE(form->ScrollBox1->Bereich(), (120 / 7 + 1) * 99);
    QCOMPARE(form->ScrollBox1->Position(), 198);
    // A match in the first row stands at the top.
    form->Suchtext = QStringLiteral("A003");
    form->LadeDieBilder();
    QCOMPARE(form->ScrollBox1->Position(), 0);
  }

  void startGruppe_data() {
    QTest::addColumn<QString>("auswahl");
    QTest::addColumn<int>("gruppe");
    QTest::newRow("austria") << "1" << 1;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("no_group") << "5" << -1;
  }
  void startGruppe() {
    QFETCH(QString, auswahl);
    QFETCH(int, gruppe);
    FBaum->Jpeg(AE + "A.jpg");
    FBaum->Jpeg(AT + "W_9.jpg");
    FBaum->Einstellung(auswahl);
    TMainForm *form = Starte();
    QCOMPARE(form->ComboBox1->currentIndex(), gruppe);
    QVERIFY(!form->ErstesZeichnen);
    QVERIFY(form->ZurueckBtn->isHidden());
    QVERIFY(form->ZeigDieAntwortBtn->isHidden());
    QCOMPARE(form->A_E_Button->isHidden(), gruppe != 0);
    QCOMPARE(form->U_Z_Button->isHidden(), gruppe != 0);
    QCOMPARE(form->SuchEdit->isHidden(), gruppe == -1);
    QCOMPARE(form->ScrollBox1->width(), form->Breite() - 55);
    QCOMPARE(form->GespeicherteTrennerBreite, form->Trenner->width());
    if (gruppe == 1) {
      QCOMPARE(form->AktuellerOrdner, form->Pfade.Ordner(TBereich::Oesterreich));
      QCOMPARE(form->Kacheln.size(), 1);
      QCOMPARE(form->Image2->Bild().pixel(5, 5), qRgb(255, 0, 0));
    } else if (gruppe == 0) {
      QCOMPARE(form->AktuellerOrdner, form->Pfade.Ordner(TBereich::A_E));
      QCOMPARE(form->Image2->Bild().pixel(5, 5), qRgb(0, 0, 255));
    } else {
      QVERIFY(form->AktuellerOrdner.isEmpty());
      QVERIFY(form->Kacheln.isEmpty());
    }
  }

  void fehlendeVorlage() {
    QFile::remove(FBaum->Pfad(QString::fromUtf8("Bilder/Österreich/Ö_Kennzeichen_klein.bmp")));
    FBaum->Einstellung(QStringLiteral("1"));
    // The box of the fatal message lets paints through; none may run the set-up again.
    SetzeMeldungsAnzeige([this](const QString &text) {
      FMeldungen.append(text);
      FForm->FormPaint();
    });
    TMainForm *form = Starte(false);
    form->FormPaint();
    SetzeMeldungsAnzeige([this](const QString &text) { FMeldungen.append(text); });
    QVERIFY(form->Abgebrochen());
    QCOMPARE(FMeldungen.size(), 1);
    QCOMPARE(FMeldungen.first(), QStringLiteral("Datei: ") +
                                     FBaum->Pfad(QString::fromUtf8("Bilder/Österreich/Ö_Kennzeichen_klein.bmp")) +
                                     QStringLiteral("\r\nist nicht vorhanden!\r\n\t\tDas Programm wird beendet."));
    QVERIFY(form->Kacheln.isEmpty());
    // Later paints do nothing more.
    form->FormPaint();
    QCOMPARE(FMeldungen.size(), 1);
  }

  void jedesZeichnenZentriert() {
    TMainForm *form = Starte();
    QCOMPARE(form->Label1->x(), 20 + 717 / 2 - form->Label1->width() / 2 - 20);
    QCOMPARE(form->Image2->x(), 20 + 717 / 2 - 313 / 2 - 20);
    QCOMPARE(form->Image1->pos(), form->Image2->pos() + QPoint(30, 4));
    form->Panel2->resize(917, form->Panel2->height());
    form->FormPaint();
    QCOMPARE(form->Label2->x(), 20 + 917 / 2 - form->Label2->width() / 2 - 20);
    QCOMPARE(form->Image1->pos(), form->Image2->pos() + QPoint(30, 4));
  }

  void bereicheUndGruppen() {
    FBaum->Jpeg(AE + "A.jpg");
    FBaum->Jpeg(KO + "K.jpg");
    FBaum->Jpeg(KO + "L.jpg");
    FBaum->Jpeg(AT + "W_9.jpg");
    TMainForm *form = Starte();
    QPushButton *knoepfe[] = {form->A_E_Button, form->F_J_Button, form->K_O_Button, form->P_T_Button, form->U_Z_Button};
    auto fette = [&] {
      QStringList namen;
      for (QPushButton *k : knoepfe)
        if (k->font().bold())
          namen.append(k->text());
      return namen;
    };
    QCOMPARE(fette(), QStringList{"A - E"});
    form->K_O_ButtonClick();
    QCOMPARE(fette(), QStringList{"K - O"});
    QCOMPARE(form->AktuellerOrdner, form->Pfade.Ordner(TBereich::K_O));
    QCOMPARE(form->Kacheln.size(), 2);

    form->ComboBox1->setCurrentIndex(1);
    form->ComboBox1Change();
    QCOMPARE(form->AktuellerOrdner, form->Pfade.Ordner(TBereich::Oesterreich));
    QVERIFY(form->K_O_Button->isHidden());
    QVERIFY(!form->SuchEdit->isHidden());
    QCOMPARE(form->Image2->Bild().pixel(5, 5), qRgb(255, 0, 0));

    form->ComboBox1->setCurrentIndex(0);
    form->ComboBox1Change();
    QCOMPARE(form->AktuellerOrdner, form->Pfade.Ordner(TBereich::A_E));
    QCOMPARE(fette(), QStringList{"A - E"});
    QCOMPARE(form->Kacheln.size(), 1);
    QVERIFY(!form->K_O_Button->isHidden());
    QCOMPARE(form->Image2->Bild().pixel(5, 5), qRgb(0, 0, 255));
  }

  void gruppeWechselnAufFrageschirm() {
    for (int i = 0; i < 60; ++i)
      FBaum->Jpeg(AE + QStringLiteral("A%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
    FBaum->Jpeg(AT + "W_9.jpg");
    TMainForm *form = Starte();
    // The question screen as a tile click leaves it, scrolled down before.
    form->ScrollBox1->SetzePosition(300);
    form->ScrollBoxPosition = form->ScrollBox1->Position();
    form->ScrollBox1->hide();
    form->Panel1->show();
    form->Panel2->show();
    form->ZurueckBtn->show();
    form->ComboBox1->setCurrentIndex(1);
    form->ComboBox1Change();
    QVERIFY(form->Panel1->isHidden());
    QVERIFY(form->Panel2->isHidden());
    QVERIFY(!form->ScrollBox1->isHidden());
    QCOMPARE(form->ScrollBoxPosition, 0);
    QCOMPARE(form->ScrollBox1->Position(), 0);
    QCOMPARE(form->Kacheln.size(), 1);
    QCOMPARE(form->ScrollBox1->width(), form->Breite() - 55);
  }

  void nachladenDekodiertNichts() {
    for (int i = 0; i < 12; ++i)
      FBaum->Jpeg(AE + QStringLiteral("A%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
    FBaum->Jpeg(KO + "K.jpg");
    TMainForm *form = Starte();
    QCOMPARE(form->Dekodierungen(), 12);
    form->resize(form->width() + 50, form->height());
    form->FormResize();
    form->Suchtext = QStringLiteral("A03");
    form->LadeDieBilder();
    form->K_O_ButtonClick();
    form->A_E_ButtonClick();
    QCOMPARE(form->Dekodierungen(), 13);
    // Tiles are still rebuilt: the frame follows the search text.
    QCOMPARE(form->Kacheln.at(3)->Bild().pixel(3, 10), Gelb);

    FBaum->Jpeg(AE + "A05.jpg", QSize(80, 30), Qt::red);
    form->LadeDieBilder();
    QCOMPARE(form->Dekodierungen(), 14);
  }
};

QTEST_MAIN(TstGallery)
#include "tst_gallery.moc"
