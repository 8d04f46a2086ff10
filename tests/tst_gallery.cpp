// The gallery: grid and frame rules, the folder listing, JPEG decoding of good and hostile files,
// the thumbnail cache, and the real window loading, framing and switching groups and ranges.
#include "app/tmainform.h"
#include "data/jpegbild.h"
#include "fixturbaum.h"
#include "gallery/galerie.h"
#include "gallery/galerieansicht.h"
#include "gallery/galerieregeln.h"
#include "gallery/vorschaucache.h"
#include "quiz/frage.h"
#include "quiz/quizregeln.h"
#include "quiz/ueben.h"
#include "search/suche.h"
#include "search/tscrollbox.h"
#include "tests/schleuse.h"
#include "widgets/bausteine.h"
#include "widgets/meldung.h"

#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
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
#include <QTimer>
#include <QtEndian>

#include <QRegularExpression>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

const QRgb Weiss = qRgb(255, 255, 255);
const QRgb Gelb = qRgb(255, 255, 0);
const QRgb Grau = qRgb(128, 128, 128);

QByteArray JpegBytes(QSize groesse, QColor farbe, bool progressiv = false) {
  QImage bild(groesse, QImage::Format_RGB32);
  bild.fill(farbe);
  return Fixturbaum::JpegBytes(bild, 95, progressiv);
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

// A progressive picture that claims seite x seite pixels in three components and repeats its first
// scan (the DC of all three, without data) n times: tiny on disk, a full pass over the picture per scan.
QByteArray ScanBombe(int scans, quint16 seite = 8192) {
  const char hoch = char(seite >> 8), tief = char(seite & 0xFF);
  QByteArray d("\xFF\xD8", 2);
  d += QByteArray("\xFF\xDB\x00\x43\x00", 5) + QByteArray(64, '\x01');
  d += QByteArray("\xFF\xC2\x00\x11\x08", 5) + hoch + tief + hoch + tief;
  d += QByteArray("\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00", 10);
  // One Huffman code, a single bit, for "no change" of the DC value.
  d += QByteArray("\xFF\xC4\x00\x14\x00\x01", 6) + QByteArray(16, '\0');
  const QByteArray scan("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x00\x03\x00\x00\x00\x00\x00", 15);
  d += scan.repeated(scans);
  d += QByteArray("\xFF\xD9", 2);
  return d;
}

#ifndef NF_SANITIZER
// The peak resident memory of this process so far, from the kernel's account.
qint64 SpitzeDesProzesses() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return 0;
  for (const QByteArray &zeile : status.readAll().split('\n'))
    if (zeile.startsWith("VmHWM:"))
      return zeile.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
  return 0;
}
#endif

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

// A plate as the data set draws it: bold black letters on white, 180 x 59 (German) or 74 x 53.
QImage Schild(QSize groesse, const QString &code) {
  QImage bild(groesse, QImage::Format_RGB32);
  bild.fill(Qt::white);
  QPainter maler(&bild);
  maler.setRenderHint(QPainter::Antialiasing);
  QFont schrift = maler.font();
  schrift.setPixelSize(groesse.height() * 2 / 3);
  schrift.setBold(true);
  maler.setFont(schrift);
  maler.drawText(bild.rect(), Qt::AlignCenter, code);
  return bild;
}

// A camera-size picture that compresses like a photo: a gradient under many soft shapes.
QImage Foto(QSize groesse) {
  QImage bild(groesse, QImage::Format_RGB32);
  QPainter maler(&bild);
  QLinearGradient verlauf(0, 0, groesse.width(), groesse.height());
  verlauf.setColorAt(0, QColor(40, 90, 160));
  verlauf.setColorAt(1, QColor(220, 180, 90));
  maler.fillRect(bild.rect(), verlauf);
  maler.setRenderHint(QPainter::Antialiasing);
  QRandomGenerator zufall(7);
  for (int i = 0; i < 300; ++i) {
    maler.setBrush(QColor(zufall.bounded(256), zufall.bounded(256), zufall.bounded(256), 120));
    maler.setPen(Qt::NoPen);
    maler.drawEllipse(zufall.bounded(groesse.width()), zufall.bounded(groesse.height()), 30 + zufall.bounded(400),
                      30 + zufall.bounded(400));
  }
  return bild;
}

// The thumbnails as they used to be made: the smallest DCT scale reaching the tile, then Qt's
// smooth scale, through 32 bits to RGB888.
QImage BisherigeVorschau(const QString &pfad, qreal verhaeltnis) {
  const auto geladen = LadeVerkleinert(pfad, GeraetePunkte(KachelGroesse - 2, verhaeltnis));
  if (!geladen)
    return {};
  const QSize logisch = ZwischenGroesse(geladen->Original);
  const QSize ziel(GeraetePunkte(logisch.width(), verhaeltnis), GeraetePunkte(logisch.height(), verhaeltnis));
  QImage bild = geladen->Bild.scaled(ziel, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  bild = bild.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_RGB888);
  bild.setDevicePixelRatio(verhaeltnis);
  return bild;
}

// Mean difference per channel of two pictures of one size, and how much their neighbouring pixels
// differ in all (a blurred copy differs less).
double MittlereAbweichung(const QImage &a, const QImage &b) {
  double summe = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      summe += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
    }
  return summe / (3.0 * a.width() * a.height());
}
double Schaerfe(const QImage &bild) {
  double summe = 0;
  for (int y = 0; y < bild.height(); ++y)
    for (int x = 1; x < bild.width(); ++x)
      summe += qAbs(qGray(bild.pixel(x, y)) - qGray(bild.pixel(x - 1, y)));
  return summe;
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

// A tile as the gallery composes it from its name and the search.
struct TKachelBild {
  QImage Bild;
  bool Treffer = false;
};
TKachelBild ZeichneKachel(const QImage &vorschau, const QString &name, const QString &suchtext, int gruppe) {
  const TRahmen rahmen = BestimmeRahmen(name, suchtext, gruppe);
  return {ZeichneKachel(vorschau, rahmen), rahmen == TRahmen::Treffer};
}

// All thumbnails of a folder's listing, handed on in list order once every one is decoded.
void HoleAlle(TVorschauCache &cache, const QStringList &pfade, const std::function<void(int, const QImage &)> &nimm,
              qreal verhaeltnis = 1.0) {
  const std::unique_ptr<TVorschauLadung> ladung = cache.Starte(pfade, verhaeltnis);
  ladung->Warte();
  // What a tile would draw: a thumbnail left in the pack is read when its tile is painted.
  ladung->Uebernimm(
      [&](int i, const QImage &bild) { nimm(i, ladung->Ausgelagert(i) ? ladung->Nachlader()->Hole(i) : bild); });
}

QVector<QImage> HoleBilder(TVorschauCache &cache, const QStringList &pfade, qreal verhaeltnis = 1.0) {
  QVector<QImage> bilder;
  HoleAlle(
      cache, pfade, [&bilder](int, const QImage &bild) { bilder.append(bild); }, verhaeltnis);
  return bilder;
}

// Size and modification time of a file, to put back after a change.
struct stat StandVon(const QString &pfad) {
  struct stat info {};
  ::stat(QFile::encodeName(pfad).constData(), &info);
  return info;
}
void SetzeZeit(const QString &pfad, const timespec &zeit) {
  const timespec zeiten[2] = {zeit, zeit};
  ::utimensat(AT_FDCWD, QFile::encodeName(pfad).constData(), zeiten, 0);
}

// What a pack folder holds besides packs: a writer that failed must leave nothing behind.
QStringList Reste(const QString &ordner) {
  return QDir(ordner)
      .entryList(QDir::Files | QDir::Hidden | QDir::System)
      .filter(QRegularExpression(QStringLiteral("\\.vorschau\\.")));
}

} // namespace

class TstGallery : public QObject {
  Q_OBJECT

  QStringList FMeldungen;
  std::unique_ptr<TBaum> FBaum;
  std::unique_ptr<TMainForm> FForm;

  // Builds the window in the tree and runs its first paint.
  TMainForm *Starte(bool zeichnen = true) {
    FForm = std::make_unique<TMainForm>(FBaum->Dir.path());
    if (zeichnen)
      FForm->FormPaint();
    return FForm.get();
  }

  // The columns a gallery of that many tiles has in a box as wide as the window leaves it.
  static int SpaltenFuerDasFenster(const TMainForm *form, int anzahl) {
    const TScrollBox *box = form->ScrollBox1;
    return BerechneGitter(anzahl, form->Breite() - GalerieRand - (box->width() - box->ClientBreite())).Spalten;
  }

  static int IndexVon(const TMainForm *form, const QString &name) {
    for (int i = 0; i < form->Galerie()->BildPfade().size(); ++i)
      if (DateiName(form->Galerie()->BildPfade().at(i)) == name)
        return i;
    return -1;
  }
  static QImage KachelVon(const TMainForm *form, const QString &name) {
    const int i = IndexVon(form, name);
    return i < 0 ? QImage() : form->Galerie()->Kacheln().at(i).Bild();
  }

  // The shown window at its first range, with 500 pictures in K-O.
  TMainForm *ZeigeMitGrossemBereich() {
    const QByteArray bild = JpegBytes(QSize(60, 30), Qt::black);
    for (int i = 0; i < 500; ++i)
      if (!Schreibe(FBaum->Pfad(KO + QStringLiteral("K%1.jpg").arg(i, 3, 10, QLatin1Char('0'))), bild))
        return nullptr;
    FBaum->Jpeg(AE + "A.jpg");
    // An earlier test's fatal message told the application to quit, and so no event loop would run
    // any more: one run of the application's own loop clears that.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    FForm = std::make_unique<TMainForm>(FBaum->Dir.path());
    FForm->show();
    if (!QTest::qWaitForWindowExposed(FForm.get()) || !QTest::qWaitFor([this] { return FForm->Eingerichtet(); }))
      return nullptr;
    return FForm.get();
  }

private slots:
  // The keyboard's tile in a grid of 7 tiles in 3 columns (rows 0-2, 3-5, 6).
  void kachelCursor_data() {
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("anzahl");
    QTest::addColumn<int>("taste");
    QTest::addColumn<int>("neu");
    QTest::newRow("none_right_lands_on_first") << -1 << 7 << int(Qt::Key_Right) << 0;
    QTest::newRow("none_end_lands_on_last") << -1 << 7 << int(Qt::Key_End) << 6;
    QTest::newRow("stale_beyond_the_tiles") << 9 << 7 << int(Qt::Key_Down) << 0;
    QTest::newRow("no_tiles") << 0 << 0 << int(Qt::Key_Right) << -1;
    QTest::newRow("left_stops_at_first") << 0 << 7 << int(Qt::Key_Left) << 0;
    QTest::newRow("right_wraps_to_next_row") << 2 << 7 << int(Qt::Key_Right) << 3;
    QTest::newRow("right_stops_at_last") << 6 << 7 << int(Qt::Key_Right) << 6;
    QTest::newRow("up_in_first_row_stays") << 1 << 7 << int(Qt::Key_Up) << 1;
    QTest::newRow("up_a_row") << 4 << 7 << int(Qt::Key_Up) << 1;
    QTest::newRow("down_a_row") << 1 << 7 << int(Qt::Key_Down) << 4;
    QTest::newRow("down_into_short_last_row") << 5 << 7 << int(Qt::Key_Down) << 6;
    QTest::newRow("down_in_last_row_stays") << 6 << 7 << int(Qt::Key_Down) << 6;
    QTest::newRow("home") << 5 << 7 << int(Qt::Key_Home) << 0;
    QTest::newRow("other_key_stays") << 5 << 7 << int(Qt::Key_A) << 5;
  }
  void kachelCursor() {
    QFETCH(int, cursor);
    QFETCH(int, anzahl);
    QFETCH(int, taste);
    QFETCH(int, neu);
    QCOMPARE(NaechsterKachelCursor(cursor, anzahl, 3, taste), neu);
  }

  void initTestCase() {
    Fixturbaum::EigenerCache();
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

  // The thumbnails are made on libjpeg-turbo's fast scales and resized without Qt's detours; they
  // must look as they did: at most one level per channel apart on average, and no less sharp.
  void vorschauWieBisher_data() {
    QTest::addColumn<QImage>("quelle");
    QTest::addColumn<bool>("grau");
    QTest::addColumn<qreal>("verhaeltnis");
    const QImage deutsch = Schild(QSize(180, 59), QStringLiteral("HH"));
    const QImage oesterreich = Schild(QSize(74, 53), QStringLiteral("W"));
    const QImage foto = Foto(QSize(3000, 2000));
    QTest::newRow("german_plate") << deutsch << false << 1.0;
    QTest::newRow("german_plate_2x") << deutsch << false << 2.0;
    QTest::newRow("german_plate_grey") << deutsch << true << 1.0;
    QTest::newRow("austrian_plate") << oesterreich << false << 1.0;
    QTest::newRow("austrian_plate_2x") << oesterreich << false << 2.0;
    QTest::newRow("plate_260_wide") << Schild(QSize(260, 60), QStringLiteral("BGL")) << false << 1.0;
    QTest::newRow("camera_photo") << foto << false << 1.0;
    QTest::newRow("camera_photo_2x") << foto << false << 2.0;
    QTest::newRow("tiny_16x16") << Schild(QSize(16, 16), QStringLiteral("A")) << false << 1.0;
  }
  void vorschauWieBisher() {
    QFETCH(QImage, quelle);
    QFETCH(bool, grau);
    QFETCH(qreal, verhaeltnis);
    QTemporaryDir ordner;
    const QString pfad = ordner.filePath(QStringLiteral("P.jpg"));
    QVERIFY(Schreibe(
        pfad, Fixturbaum::JpegBytes(grau ? quelle.convertToFormat(QImage::Format_Grayscale8) : quelle, 90, false)));
    // Compared as drawn on the tile: a small picture is kept at its own size and enlarged there.
    const QImage bisher = ZeichneKachel(BisherigeVorschau(pfad, verhaeltnis), TRahmen::Keiner, verhaeltnis);
    const QImage vorschau = ErzeugeVorschau(pfad, KachelGroesse, verhaeltnis);
    QCOMPARE(vorschau.size(), VorschauZiel(quelle.size(), KachelGroesse, verhaeltnis));
    const QImage neu = ZeichneKachel(vorschau, TRahmen::Keiner, verhaeltnis);
    QCOMPARE(neu.size(), bisher.size());
    // Measured on the thumbnail, not on the white around it.
    const QSize logisch = ZwischenGroesse(quelle.size());
    const QSize innen(GeraetePunkte(logisch.width(), verhaeltnis), GeraetePunkte(logisch.height(), verhaeltnis));
    const QRect feld(QPoint((neu.width() - innen.width()) / 2, (neu.height() - innen.height()) / 2), innen);
    const double abweichung = MittlereAbweichung(neu.copy(feld), bisher.copy(feld));
    QVERIFY2(abweichung <= 1.0, qPrintable(QString::number(abweichung)));
    QVERIFY2(Schaerfe(neu) >= 0.95 * Schaerfe(bisher),
             qPrintable(QStringLiteral("%1 < %2").arg(Schaerfe(neu)).arg(Schaerfe(bisher))));
  }

  // The DCT scale of a thumbnail: the smallest reaching the tile, or the fast one just below when it
  // falls at most 2 % short (the output side rounds up, as libjpeg's does).
  void dctZaehler_data() {
    QTest::addColumn<int>("quelle");
    QTest::addColumn<int>("ziel");
    QTest::addColumn<int>("zaehler");
    QTest::newRow("german_plate_5_of_8") << 180 << 93 << 5;
    QTest::newRow("half_reaches_exactly") << 186 << 93 << 4;
    QTest::newRow("half_rounds_up_to_it") << 185 << 93 << 4;
    QTest::newRow("half_one_percent_short") << 183 << 93 << 4;
    QTest::newRow("half_two_percent_short") << 182 << 93 << 5;
    QTest::newRow("three_eighths_no_fast_one") << 250 << 93 << 3;
    QTest::newRow("camera_photo_1_of_8") << 3000 << 186 << 1;
    QTest::newRow("smaller_than_tile") << 74 << 93 << 8;
  }
  void dctZaehler() {
    QFETCH(int, quelle);
    QFETCH(int, ziel);
    QTEST(VorschauDctZaehler(quelle, ziel), "zaehler");
  }

  // A pack that will pass the bound of all packs is given up as soon as that can be foreseen, before
  // its first block reaches the disk; a smaller one with the same thumbnails is written.
  void paketUeberDerGrenze_data() {
    QTest::addColumn<int>("erwartet");
    QTest::addColumn<bool>("zuGross");
    QTest::newRow("60000_full_tiles") << 60000 << true;
    QTest::newRow("64_full_tiles") << 64 << false;
  }
  void paketUeberDerGrenze() {
    QFETCH(int, erwartet);
    QFETCH(bool, zuGross);
    QTemporaryDir pakete;
    const QString pfad = pakete.filePath(QStringLiteral("0123456789abcdef0123456789abcdef.vorschau"));
    TPaketSchreiber schreiber(pfad, FBaum->Pfad(AE), KachelGroesse, 1.0, erwartet);
    QImage bild(93, 93, QImage::Format_RGB888);
    bild.fill(Qt::gray);
    TDateiStand stand;
    stand.Groesse = 1;
    for (int i = 0; i < 64; ++i)
      schreiber.Fuege(QStringLiteral("A%1.jpg").arg(i), stand, bild);
    QCOMPARE(schreiber.ZuGross(), zuGross);
    QCOMPARE(schreiber.Schliesse(), !zuGross);
    QCOMPARE(QDir(pakete.path()).entryList(QDir::Files | QDir::Hidden).size(), zuGross ? 0 : 1);
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
    // The same picture with a blue top row, stored top row first: a negative height in the header.
    QImage oben(20, 10, QImage::Format_RGB32);
    oben.fill(Qt::red);
    std::fill_n(reinterpret_cast<QRgb *>(oben.scanLine(0)), 20, qRgb(0, 0, 255));
    QByteArray umgedreht;
    QBuffer puffer(&umgedreht);
    puffer.open(QIODevice::WriteOnly);
    oben.save(&puffer, "BMP");
    const qint32 anfang = qFromLittleEndian<qint32>(umgedreht.constData() + 10);
    const int zeile = (20 * 3 + 3) / 4 * 4;
    QByteArray pixel = umgedreht.mid(anfang);
    for (int y = 0; y < 10; ++y)
      umgedreht.replace(anfang + y * zeile, zeile, pixel.mid((9 - y) * zeile, zeile));
    qToLittleEndian<qint32>(-10, umgedreht.data() + 22);
    Schreibe(ordner + "oben.bmp", umgedreht);
    const std::optional<QImage> vonOben = LadeBildDatei(ordner + "oben.bmp");
    QVERIFY(vonOben);
    QCOMPARE(vonOben->size(), QSize(20, 10));
    QCOMPARE(vonOben->pixel(5, 0), qRgb(0, 0, 255));
    QCOMPARE(vonOben->pixel(5, 9), qRgb(255, 0, 0));
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
    HoleAlle(cache, pfade, [&](int i, const QImage &bild) {
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
    // Kept compactly: three bytes a pixel, nothing for an alpha channel.
    QCOMPARE(bilder.at(0).format(), QImage::Format_RGB888);
    QCOMPARE(cache.Dekodierungen(), 30);
    HoleAlle(cache, pfade, [](int, const QImage &) {});
    QCOMPARE(cache.Dekodierungen(), 30);

    // A file gone from the folder is forgotten by the next complete listing.
    QVERIFY(QFile::remove(pfade.takeLast()));
    HoleAlle(cache, pfade, [](int, const QImage &) {});
    QCOMPARE(cache.Eintraege(), 29);
    QCOMPARE(cache.Dekodierungen(), 30);
  }

  // Whole folders leave the cache, the least recently used first; the folder in use never does.
  void cacheVerdraengtOrdner() {
    const QString ordner[] = {AE, KO, AT};
    QStringList pfade[3];
    for (int o = 0; o < 3; ++o)
      for (int i = 0; i < 4; ++i) {
        FBaum->Jpeg(ordner[o] + QStringLiteral("%1.jpg").arg(i), QSize(100, 100));
        pfade[o].append(FBaum->Pfad(ordner[o] + QStringLiteral("%1.jpg").arg(i)));
      }
    TVorschauCache unbegrenzt(KachelGroesse, 1LL << 30);
    const qint64 eintrag = unbegrenzt.Vorschau(pfade[0].first()).sizeInBytes() + 256;
    // Room for two folders of four.
    TVorschauCache cache(KachelGroesse, 9 * eintrag);
    const auto lade = [&cache](const QStringList &liste) {
      const int vorher = cache.Dekodierungen();
      HoleAlle(cache, liste, [](int, const QImage &) {});
      return cache.Dekodierungen() - vorher;
    };
    QCOMPARE(lade(pfade[0]), 4);
    QCOMPARE(lade(pfade[1]), 4);
    QCOMPARE(lade(pfade[0]), 0);
    QCOMPARE(lade(pfade[2]), 4); // pushes out the second folder, used longest ago, and all of it
    QCOMPARE(cache.Eintraege(), 8);
    QVERIFY(cache.Bytes() <= 9 * eintrag);
    QCOMPARE(lade(pfade[0]), 0);
    QCOMPARE(lade(pfade[2]), 0);
    // A folder pushed out comes back from its pack, not decoded again.
    const int ausPaketen = cache.AusPaketen();
    QCOMPARE(lade(pfade[1]), 0);
    QCOMPARE(cache.AusPaketen() - ausPaketen, 4);

    // A folder larger than the whole budget keeps what fits, and of the rest their size and time:
    // a reload decodes nothing.
    TVorschauCache klein(KachelGroesse, 3 * eintrag, QString());
    const int vorher = klein.Dekodierungen();
    HoleAlle(klein, pfade[0], [](int, const QImage &) {});
    HoleAlle(klein, pfade[0], [](int, const QImage &) {});
    QCOMPARE(klein.Dekodierungen() - vorher, 4);
    QVERIFY(klein.Bytes() <= 3 * eintrag + 256);
  }

  // On a screen of ratio 2 a thumbnail has twice the pixels each way and lies where it lies at
  // ratio 1; the two ratios are separate entries.
  void cacheJeVerhaeltnis() {
    const QString pfad = FBaum->Pfad(AE + "A.jpg");
    FBaum->Jpeg(AE + "A.jpg", QSize(400, 200));
    TVorschauCache cache;
    const QImage einfach = cache.Vorschau(pfad, 1.0);
    const QImage doppelt = cache.Vorschau(pfad, 2.0);
    QCOMPARE(einfach.size(), QSize(93, 45));
    QCOMPARE(doppelt.size(), QSize(186, 90));
    QCOMPARE(doppelt.devicePixelRatio(), 2.0);
    QCOMPARE(cache.Dekodierungen(), 2);
    cache.Vorschau(pfad, 2.0);
    QCOMPARE(cache.Dekodierungen(), 2);
  }

  // ---- the thumbnail pack on disk ------------------------------------------------------------

  // A new run (a new cache) takes the unchanged thumbnails from the folder's pack, pixel for pixel
  // and at either ratio, and decodes only what changed since: another modification time, another
  // size at the same time, a new file. The pack lies in the pack folder, never beside the pictures.
  void paketRundreise() {
    QTemporaryDir pakete;
    QStringList pfade;
    for (int i = 0; i < 5; ++i) {
      const QString name = AE + QStringLiteral("A%1.jpg").arg(i);
      FBaum->Jpeg(name, QSize(120 + 30 * i, 60), QColor(50 * i, 120, 200 - 40 * i));
      pfade.append(FBaum->Pfad(name));
    }
    Schreibe(pfade.at(2), "kaputt");
    const auto neuerLauf = [&pakete] {
      return std::make_unique<TVorschauCache>(KachelGroesse, TVorschauCache::StandardGrenze, pakete.path());
    };
    for (const qreal verhaeltnis : {1.0, 2.0}) {
      auto erster = neuerLauf();
      const QVector<QImage> erst = HoleBilder(*erster, pfade, verhaeltnis);
      QCOMPARE(erster->Dekodierungen(), 5);
      auto zweiter = neuerLauf();
      const QVector<QImage> zweit = HoleBilder(*zweiter, pfade, verhaeltnis);
      QCOMPARE(zweiter->Dekodierungen(), 0);
      QCOMPARE(zweiter->AusPaketen(), 5);
      QCOMPARE(zweit.size(), 5);
      for (int i = 0; i < 5; ++i) {
        QCOMPARE(zweit.at(i), erst.at(i));
        QCOMPARE(zweit.at(i).devicePixelRatio(), erst.at(i).devicePixelRatio());
      }
      QVERIFY(zweit.at(2).isNull());
    }
    QCOMPARE(QDir(pakete.path() + QStringLiteral("/")).entryList(QDir::Files).size(), 2);
    QCOMPARE(QDir(FBaum->Pfad(AE)).entryList(QDir::Files | QDir::Hidden).size(), 5);

    const struct stat vorher = StandVon(pfade.at(0));
    SetzeZeit(pfade.at(0), {vorher.st_mtim.tv_sec - 60, vorher.st_mtim.tv_nsec});
    const struct stat alt = StandVon(pfade.at(1));
    FBaum->Jpeg(AE + "A1.jpg", QSize(60, 60), Qt::red);
    SetzeZeit(pfade.at(1), alt.st_mtim);
    QVERIFY(StandVon(pfade.at(1)).st_size != alt.st_size);
    FBaum->Jpeg(AE + "A5.jpg", QSize(40, 80));
    pfade.append(FBaum->Pfad(AE + "A5.jpg"));
    auto dritter = neuerLauf();
    const QVector<QImage> dritt = HoleBilder(*dritter, pfade);
    QCOMPARE(dritter->Dekodierungen(), 3);
    QCOMPARE(dritt.at(1).size(), QSize(93, 93));
    QVERIFY(Nahe(dritt.at(1).pixel(40, 40), qRgb(255, 0, 0), 40));
    QCOMPARE(dritt.at(5).size(), ZwischenGroesse(QSize(40, 80)));
    // The pack holds the changes now.
    auto vierter = neuerLauf();
    QCOMPARE(HoleBilder(*vierter, pfade), dritt);
    QCOMPARE(vierter->Dekodierungen(), 0);
  }

  // A picture rewritten with the same size and given back its modification time (a coarse clock
  // makes that happen by itself) is another picture: neither the memory nor the pack may show the
  // old one.
  void gleicheGroesseUndZeit_data() {
    QTest::addColumn<bool>("neuerLauf");
    QTest::newRow("same_run_in_memory") << false;
    QTest::newRow("next_run_from_pack") << true;
  }
  void gleicheGroesseUndZeit() {
    QFETCH(bool, neuerLauf);
    QTemporaryDir pakete;
    const QString pfad = FBaum->Pfad(AE + "A0.bmp");
    QVERIFY(Fixturbaum::SchreibeBild(pfad, QSize(40, 20), Qt::red));
    auto cache = std::make_unique<TVorschauCache>(KachelGroesse, TVorschauCache::StandardGrenze, pakete.path());
    QVERIFY(Nahe(HoleBilder(*cache, {pfad}).at(0).pixel(20, 10), qRgb(255, 0, 0), 40));
    const struct stat alt = StandVon(pfad);
    QVERIFY(Fixturbaum::SchreibeBild(pfad, QSize(40, 20), Qt::blue));
    SetzeZeit(pfad, alt.st_mtim);
    QCOMPARE(StandVon(pfad).st_size, alt.st_size);
    if (neuerLauf)
      cache = std::make_unique<TVorschauCache>(KachelGroesse, TVorschauCache::StandardGrenze, pakete.path());
    QVERIFY(Nahe(HoleBilder(*cache, {pfad}).at(0).pixel(20, 10), qRgb(0, 0, 255), 40));
    QCOMPARE(cache->Dekodierungen(), neuerLauf ? 1 : 2);
  }

  // Writers killed in the middle of a pack leave their temporary files, young ones too; the next
  // start removes them all, but never the one a running writer fills.
  void paketResteBeimStart() {
    QTemporaryDir pakete;
    const QString ort = pakete.path() + QLatin1Char('/');
    for (const char *rest : {"Ab12Cd", "Xy34Zw", "000000"})
      QVERIFY(Schreibe(ort + QStringLiteral("11111111111111111111111111111111.vorschau.") + rest, "halb"));
    QVERIFY(Schreibe(ort + QStringLiteral("meins.vorschau.Ab12Cd"), "fremd"));
    {
      TPaketSchreiber laufend(ort + QStringLiteral("22222222222222222222222222222222.vorschau"), FBaum->Pfad(AE),
                              KachelGroesse, 1.0);
      QVERIFY(laufend.Gut());
      TVorschauCache waehrenddessen(KachelGroesse, TVorschauCache::StandardGrenze, pakete.path());
      QCOMPARE(Reste(pakete.path()).size(), 5);
    }
    TVorschauCache danach(KachelGroesse, TVorschauCache::StandardGrenze, pakete.path());
    QCOMPARE(QDir(pakete.path()).entryList(QDir::Files), QStringList({QStringLiteral("meins.vorschau.Ab12Cd")}));
  }

  // A pack that is not exactly what this program wrote for this folder is not trusted: its
  // thumbnails are decoded again and a sound pack takes its place. Damaged pixels are found when
  // their tile is first drawn, which decodes that one file instead.
  void paketKaputt_data() {
    QTest::addColumn<QString>("schaden");
    QTest::addColumn<int>("dekodiert");
    QTest::addColumn<bool>("erneuert");
    QTest::newRow("garbage") << "garbage" << 4 << true;
    QTest::newRow("empty") << "empty" << 4 << true;
    QTest::newRow("cut_in_half") << "half" << 4 << true;
    QTest::newRow("cut_by_one_byte") << "short" << 4 << true;
    QTest::newRow("head_byte") << "head" << 4 << true;
    QTest::newRow("table_byte") << "table" << 4 << true;
    QTest::newRow("pixel_byte") << "pixel" << 0 << false;
    QTest::newRow("other_folder") << "foreign" << 4 << true;
    QTest::newRow("other_ratio") << "ratio" << 4 << true;
    QTest::newRow("fifo_in_place") << "fifo" << 4 << true;
    QTest::newRow("folder_in_place") << "folder" << 4 << false;
  }
  void paketKaputt() {
    QFETCH(QString, schaden);
    QFETCH(int, dekodiert);
    QFETCH(bool, erneuert);
    QTemporaryDir pakete;
    QStringList pfade, andere;
    for (int i = 0; i < 4; ++i) {
      FBaum->Jpeg(AE + QStringLiteral("A%1.jpg").arg(i), QSize(100 + 40 * i, 50), QColor(60 * i, 0, 90));
      FBaum->Jpeg(KO + QStringLiteral("A%1.jpg").arg(i), QSize(100 + 40 * i, 50), QColor(60 * i, 0, 90));
      pfade.append(FBaum->Pfad(AE + QStringLiteral("A%1.jpg").arg(i)));
      andere.append(FBaum->Pfad(KO + QStringLiteral("A%1.jpg").arg(i)));
    }
    const auto neuerLauf = [&pakete] {
      return std::make_unique<TVorschauCache>(KachelGroesse, TVorschauCache::StandardGrenze, pakete.path());
    };
    const QVector<QImage> richtig = HoleBilder(*neuerLauf(), pfade);
    const QString paket = VorschauPaketPfad(pakete.path(), FBaum->Pfad(AE), KachelGroesse, 1.0);
    QFile datei(paket);
    QVERIFY(datei.open(QIODevice::ReadOnly));
    QByteArray bytes = datei.readAll();
    datei.close();
    QVERIFY(bytes.size() > 64 + 4 * 93 * 20 * 3);
    QVERIFY(QFile::remove(paket));
    if (schaden == "garbage") {
      QRandomGenerator zufall(7);
      for (char &c : bytes)
        c = char(zufall.bounded(256));
      // The magic stays, so that the checks behind it are reached.
      bytes.replace(0, 8, "NFVORSCH");
    } else if (schaden == "empty") {
      bytes.clear();
    } else if (schaden == "half") {
      bytes.truncate(bytes.size() / 2);
    } else if (schaden == "short") {
      bytes.chop(1);
    } else if (schaden == "head") {
      bytes[12] = char(bytes[12] ^ 1);
    } else if (schaden == "table") {
      bytes[bytes.size() - 3] = char(bytes[bytes.size() - 3] ^ 0x40);
    } else if (schaden == "pixel") {
      bytes[64 + 100] = char(bytes[64 + 100] ^ 0x10);
    } else if (schaden == "foreign") {
      HoleBilder(*neuerLauf(), andere);
      QFile fremd(VorschauPaketPfad(pakete.path(), FBaum->Pfad(KO), KachelGroesse, 1.0));
      QVERIFY(fremd.open(QIODevice::ReadOnly));
      bytes = fremd.readAll();
    } else if (schaden == "ratio") {
      HoleBilder(*neuerLauf(), pfade, 2.0);
      QFile doppelt(VorschauPaketPfad(pakete.path(), FBaum->Pfad(AE), KachelGroesse, 2.0));
      QVERIFY(doppelt.open(QIODevice::ReadOnly));
      bytes = doppelt.readAll();
    }
    if (schaden == "fifo") {
      QCOMPARE(::mkfifo(QFile::encodeName(paket).constData(), 0600), 0);
    } else if (schaden == "folder") {
      QVERIFY(QDir().mkpath(paket));
    } else {
      QVERIFY(Schreibe(paket, bytes));
    }

    auto lauf = neuerLauf();
    QCOMPARE(HoleBilder(*lauf, pfade), richtig);
    QCOMPARE(lauf->Dekodierungen(), dekodiert);
    auto danach = neuerLauf();
    QCOMPARE(HoleBilder(*danach, pfade), richtig);
    QCOMPARE(danach->Dekodierungen(), erneuert ? 0 : dekodiert);
    QVERIFY(Reste(pakete.path()).isEmpty());
  }

  // Where no pack can be written (the folder's place taken by a file, a full disk, a folder without
  // write permission) every load still shows every thumbnail, and nothing is left behind.
  void paketOrdnerUnbrauchbar_data() {
    QTest::addColumn<QString>("fall");
    QTest::newRow("file_in_place") << "file";
    QTest::newRow("disk_full") << "full";
    QTest::newRow("read_only") << "readonly";
  }
  void paketOrdnerUnbrauchbar() {
    QFETCH(QString, fall);
    QTemporaryDir cache;
    QString pakete = cache.path() + QStringLiteral("/nummernfibel");
    QStringList pfade;
    for (int i = 0; i < 3; ++i) {
      FBaum->Jpeg(AE + QStringLiteral("A%1.jpg").arg(i), QSize(90 + 50 * i, 60), QColor(0, 80 * i, 0));
      pfade.append(FBaum->Pfad(AE + QStringLiteral("A%1.jpg").arg(i)));
    }
    const QVector<QImage> richtig =
        HoleBilder(*std::make_unique<TVorschauCache>(KachelGroesse, TVorschauCache::StandardGrenze, QString()), pfade);
    rlimit vorher{};
    ::getrlimit(RLIMIT_FSIZE, &vorher);
    if (fall == "file") {
      QVERIFY(Schreibe(pakete, "kein Ordner"));
      pakete += QStringLiteral("/unter");
    } else if (fall == "full") {
      // Writes beyond a few bytes fail as on a full disk.
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit klein = vorher;
      klein.rlim_cur = 200;
      QCOMPARE(::setrlimit(RLIMIT_FSIZE, &klein), 0);
    } else {
      QVERIFY(QDir().mkpath(pakete));
      QVERIFY(QFile::setPermissions(pakete, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }
    for (int lauf = 0; lauf < 2; ++lauf) {
      TVorschauCache neu(KachelGroesse, TVorschauCache::StandardGrenze, pakete);
      QCOMPARE(HoleBilder(neu, pfade), richtig);
      // Root may write anyway; everyone else decodes again.
      if (fall != "readonly" || ::geteuid() != 0)
        QCOMPARE(neu.Dekodierungen(), 3);
    }
    ::setrlimit(RLIMIT_FSIZE, &vorher);
    QFile::setPermissions(pakete, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (fall != "file")
      QVERIFY(Reste(pakete).isEmpty());
  }

  // The packs together stay within their bound: the ones used longest ago go first, the one just
  // written stays, a killed writer's leftover goes once it is old, and other files are not touched.
  void paketGrenze() {
    QTemporaryDir pakete;
    const QString ort = pakete.path() + QLatin1Char('/');
    const QByteArray kilobyte(1024, 'x');
    const QString namen[] = {QStringLiteral("00000000000000000000000000000000.vorschau"),
                             QStringLiteral("11111111111111111111111111111111.vorschau"),
                             QStringLiteral("22222222222222222222222222222222.vorschau"),
                             QStringLiteral("33333333333333333333333333333333.vorschau")};
    const QString alterRest = QStringLiteral("11111111111111111111111111111111.vorschau.Ab12Cd");
    const QString neuerRest = QStringLiteral("22222222222222222222222222222222.vorschau.Xy34Zw");
    const QString fremd = QStringLiteral("meins.txt");
    for (const QString &name : namen)
      QVERIFY(Schreibe(ort + name, kilobyte.repeated(3)));
    QVERIFY(Schreibe(ort + alterRest, kilobyte));
    QVERIFY(Schreibe(ort + neuerRest, kilobyte));
    QVERIFY(Schreibe(ort + fremd, kilobyte.repeated(50)));
    const timespec jetzt = StandVon(ort + fremd).st_mtim;
    // Used in the order 2, 0, 3, 1; 1 is the pack just written, whatever its clock says.
    const int alter[] = {300, 3600, 60, 1800};
    for (int i = 0; i < 4; ++i)
      SetzeZeit(ort + namen[i], {jetzt.tv_sec - alter[i], 0});
    SetzeZeit(ort + alterRest, {jetzt.tv_sec - 3600, 0});
    BegrenzePakete(pakete.path(), ort + namen[1], 7 * 1024);
    QStringList uebrig = QDir(pakete.path()).entryList(QDir::Files);
    uebrig.sort();
    QCOMPARE(uebrig, QStringList({namen[1], namen[2], neuerRest, fremd}));
  }

  // Every thumbnail the program holds counts in the cache's one bound. A folder larger than the
  // bound hands on its first thumbnails, and of the rest only that they decode: their tiles fetch
  // them when drawn, from the pack or decoded again where there is none, and no reload or restart
  // decodes them again.
  void speicherGrenze_data() {
    QTest::addColumn<bool>("mitPaket");
    QTest::newRow("with_pack") << true;
    QTest::newRow("without_pack") << false;
  }
  void speicherGrenze() {
    QFETCH(bool, mitPaket);
    QTemporaryDir ordner;
    const QString pakete = mitPaket ? ordner.path() : QString();
    QStringList pfade;
    for (int i = 0; i < 10; ++i) {
      const QString name = AE + QStringLiteral("A%1.jpg").arg(i);
      FBaum->Jpeg(name, QSize(100, 50), QColor(25 * i, 100, 250 - 25 * i));
      pfade.append(FBaum->Pfad(name));
    }
    Schreibe(pfade.at(1), "kaputt");
    TVorschauCache gross(KachelGroesse, 1LL << 30, QString());
    const QVector<QImage> richtig = HoleBilder(gross, pfade);
    const qint64 eintrag = richtig.at(0).sizeInBytes() + 256;
    int nachgeladen = -1;
    const auto lade = [&](TVorschauCache &cache, int gehalten) {
      nachgeladen = -1;
      const std::unique_ptr<TVorschauLadung> ladung = cache.Starte(pfade);
      ladung->Warte();
      int gezeigt = 0;
      ladung->Uebernimm([&](int i, const QImage &bild) {
        QCOMPARE(ladung->Ausgelagert(i), bild.isNull() && i != 1);
        if (!bild.isNull()) {
          QCOMPARE(bild, richtig.at(i));
          ++gezeigt;
        }
      });
      QCOMPARE(gezeigt, gehalten);
      QVERIFY(cache.Bytes() <= 3 * eintrag + 10 * 256);
      QVERIFY(ladung->Nachlader());
      // The tile of a thumbnail beyond the bound draws it all the same.
      for (int i = gehalten + 1; i < 10; ++i)
        QCOMPARE(TKachel(i, QRect(), QImage(), TRahmen::Duenn, 1.0, ladung->Nachlader()).Bild(),
                 ZeichneKachel(richtig.at(i), TRahmen::Duenn));
      nachgeladen = ladung->Nachlader()->Dekodierungen();
    };
    // Room for three thumbnails and the broken file's entry.
    TVorschauCache klein(KachelGroesse, 3 * eintrag + 256, pakete);
    lade(klein, 3);
    QCOMPARE(nachgeladen, mitPaket ? 0 : 6);
    QCOMPARE(klein.Dekodierungen(), 10);
    // A return from a question decodes nothing of the overflow.
    lade(klein, 3);
    QCOMPARE(nachgeladen, mitPaket ? 0 : 6);
    QCOMPARE(klein.Dekodierungen(), 10);
    // A restart takes nothing from the pack until a tile is painted.
    TVorschauCache neu(KachelGroesse, 3 * eintrag + 256, pakete);
    lade(neu, mitPaket ? 0 : 3);
    QCOMPARE(nachgeladen, mitPaket ? 0 : 6);
    QCOMPARE(neu.Dekodierungen(), mitPaket ? 0 : 10);
  }

  // A second start of the program in the same data folder decodes nothing and shows the same tiles.
  void neustartDekodiertNichts() {
    for (int i = 0; i < 8; ++i)
      FBaum->Jpeg(AE + QStringLiteral("A%1.jpg").arg(i), QSize(70 + 20 * i, 40), QColor(30 * i, 30, 30));
    Schreibe(FBaum->Pfad(AE + "A3.jpg"), "kaputt");
    TMainForm *erster = Starte();
    QCOMPARE(erster->Galerie()->Dekodierungen(), 8);
    QVector<QImage> kacheln;
    for (const TKachel &kachel : erster->Galerie()->Kacheln())
      kacheln.append(kachel.Bild());
    FForm.reset();
    TMainForm *zweiter = Starte();
    QCOMPARE(zweiter->Galerie()->Dekodierungen(), 0);
    QCOMPARE(zweiter->Galerie()->Kacheln().size(), 8);
    for (int i = 0; i < 8; ++i)
      QCOMPARE(zweiter->Galerie()->Kacheln().at(i).Bild(), kacheln.at(i));
  }

  // At ratio 2 every logical pixel of a tile is a 2 x 2 block: the frames mix the same blocks that
  // the logical frames mix, and the tile is 190 x 190 device pixels for 95 x 95 logical ones.
  void kachelDoppelteDichte_data() {
    QTest::addColumn<int>("rahmen");
    QTest::newRow("thin_frame") << int(TRahmen::Duenn);
    QTest::newRow("yellow_frame") << int(TRahmen::Treffer);
    QTest::newRow("no_frame") << int(TRahmen::Keiner);
  }
  void kachelDoppelteDichte() {
    QFETCH(int, rahmen);
    QImage einfach(93, 45, QImage::Format_RGB888);
    einfach.fill(QColor(30, 160, 90));
    QImage doppelt = einfach.scaled(186, 90);
    doppelt.setDevicePixelRatio(2.0);
    const QImage klein = ZeichneKachel(einfach, TRahmen(rahmen), 1.0);
    const QImage gross = ZeichneKachel(doppelt, TRahmen(rahmen), 2.0);
    QCOMPARE(gross.size(), QSize(190, 190));
    QCOMPARE(gross.devicePixelRatio(), 2.0);
    QCOMPARE(gross.deviceIndependentSize(), QSizeF(95, 95));
    for (int y = 0; y < 190; ++y)
      for (int x = 0; x < 190; ++x)
        if (gross.pixel(x, y) != klein.pixel(x / 2, y / 2))
          QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
  }

  // ---- the window -----------------------------------------------------------------------------

  void resizeVorDemErstenZeichnen() {
    FBaum->Jpeg(AE + "A.jpg");
    TMainForm *form = Starte(false);
    form->resize(900, 800);
    form->FormResize();
    QVERIFY(form->Galerie()->AktuellerOrdner().isEmpty());
    QVERIFY(form->Galerie()->Kacheln().isEmpty());
    QVERIFY(form->StatusBar1->SimpleText().isEmpty());
    form->FormPaint();
    QCOMPARE(form->Galerie()->Kacheln().size(), 1);
    // A folder of blanks only: nothing at all changes, not even the status text.
    form->Galerie()->SetzeOrdner(QStringLiteral("  "));
    form->StatusBar1->SetzeSimpleText(QStringLiteral("x"));
    form->LadeDieBilder();
    QCOMPARE(form->Galerie()->Kacheln().size(), 1);
    QCOMPARE(form->StatusBar1->SimpleText(), QStringLiteral("x"));
  }

  void leererOrdner() {
    TMainForm *form = Starte(false);
    TZeigZaehler zaehler;
    form->ProgressBar1->installEventFilter(&zaehler);
    form->FormPaint();
    QCOMPARE(form->Galerie()->AktuellerOrdner(), form->Pfade().Ordner(TBereich::A_E));
    QVERIFY(form->Galerie()->Kacheln().isEmpty());
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
    QCOMPARE(form->Galerie()->Kacheln().size(), 57);
    QCOMPARE(form->Galerie()->Kacheln().at(8).Feld(), QRect(103, 103, 95, 95));
    QCOMPARE(form->Galerie()->Kacheln().at(56).Feld().topLeft(), QPoint(4, 8 * 99 + 4));
    QCOMPARE(form->Galerie()->Kacheln().at(8).Tag(), 8);
    QCOMPARE(form->Galerie()->Ansicht()->parentWidget(), form->ScrollBox1->Inhalt());
    QCOMPARE(form->Galerie()->Ansicht()->geometry(), QRect(0, 0, 7 * 99 + 4, 9 * 99 + 4));
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
    QCOMPARE(form->Galerie()->Kacheln().at(2).Feld().topLeft(), QPoint(202, 4));
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
    QCOMPARE(form->Galerie()->Kacheln().size(), 3);
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
    QCOMPARE(form->Galerie()->Kacheln().size(), 5);
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
    form->Suche()->SetzeSuchtext(suchtext);
    form->LadeDieBilder();
    QVERIFY(form->Galerie()->Gefunden());
    QCOMPARE(form->Galerie()->GefundenIndex(), IndexVon(form, gefunden));
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
    form->Suche()->SetzeSuchtext(QStringLiteral("QQ"));
    form->LadeDieBilder();
    QVERIFY(!form->Galerie()->Gefunden());
    QCOMPARE(form->Galerie()->GefundenIndex(), IndexVon(form, gefunden));
  }

  void sprungZumFund() {
    for (int i = 0; i < 120; ++i)
      FBaum->Jpeg(AE + QStringLiteral("A%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    TMainForm *form = Starte();
    QCOMPARE(form->ScrollBox1->width() / 100, 7);
    form->Suche()->SetzeSuchtext(QStringLiteral("A020"));
    form->LadeDieBilder();
    QCOMPARE(form->Galerie()->GefundenIndex(), 20);
    QCOMPARE(form->ScrollBox1->Bereich(), (120 / 7 + 1) * 99);
    QCOMPARE(form->ScrollBox1->Position(), 198);
    // A match in the first row stands at the top.
    form->Suche()->SetzeSuchtext(QStringLiteral("A003"));
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
    QVERIFY(form->Eingerichtet());
    QVERIFY(form->ZurueckBtn->isHidden());
    QVERIFY(form->ZeigDieAntwortBtn->isHidden());
    QCOMPARE(form->A_E_Button->isHidden(), gruppe != 0);
    QCOMPARE(form->U_Z_Button->isHidden(), gruppe != 0);
    QCOMPARE(form->SuchEdit->isHidden(), gruppe == -1);
    QCOMPARE(form->ScrollBox1->width(), form->Breite() - 55);
    QCOMPARE(form->GespeicherteTrennerBreite(), form->Trenner->width());
    if (gruppe == 1) {
      QCOMPARE(form->Galerie()->AktuellerOrdner(), form->Pfade().Ordner(TBereich::Oesterreich));
      QCOMPARE(form->Galerie()->Kacheln().size(), 1);
      QCOMPARE(form->Image2->Bild().pixel(5, 5), qRgb(255, 0, 0));
    } else if (gruppe == 0) {
      QCOMPARE(form->Galerie()->AktuellerOrdner(), form->Pfade().Ordner(TBereich::A_E));
      QCOMPARE(form->Image2->Bild().pixel(5, 5), qRgb(0, 0, 255));
    } else {
      QVERIFY(form->Galerie()->AktuellerOrdner().isEmpty());
      QVERIFY(form->Galerie()->Kacheln().isEmpty());
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
    QVERIFY(form->Galerie()->Kacheln().isEmpty());
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
    QCOMPARE(form->Galerie()->AktuellerOrdner(), form->Pfade().Ordner(TBereich::K_O));
    QCOMPARE(form->Galerie()->Kacheln().size(), 2);

    form->ComboBox1->setCurrentIndex(1);
    form->ComboBox1Change();
    QCOMPARE(form->Galerie()->AktuellerOrdner(), form->Pfade().Ordner(TBereich::Oesterreich));
    QVERIFY(form->K_O_Button->isHidden());
    QVERIFY(!form->SuchEdit->isHidden());
    QCOMPARE(form->Image2->Bild().pixel(5, 5), qRgb(255, 0, 0));

    form->ComboBox1->setCurrentIndex(0);
    form->ComboBox1Change();
    QCOMPARE(form->Galerie()->AktuellerOrdner(), form->Pfade().Ordner(TBereich::A_E));
    QCOMPARE(fette(), QStringList{"A - E"});
    QCOMPARE(form->Galerie()->Kacheln().size(), 1);
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
    form->Galerie()->SetzeScrollBoxPosition(form->ScrollBox1->Position());
    form->ScrollBox1->hide();
    form->Panel1->show();
    form->Panel2->show();
    form->ZurueckBtn->show();
    form->ComboBox1->setCurrentIndex(1);
    form->ComboBox1Change();
    QVERIFY(form->Panel1->isHidden());
    QVERIFY(form->Panel2->isHidden());
    QVERIFY(!form->ScrollBox1->isHidden());
    QCOMPARE(form->Galerie()->ScrollBoxPosition(), 0);
    QCOMPARE(form->ScrollBox1->Position(), 0);
    QCOMPARE(form->Galerie()->Kacheln().size(), 1);
    QCOMPARE(form->ScrollBox1->width(), form->Breite() - 55);
  }

  void nachladenDekodiertNichts() {
    for (int i = 0; i < 12; ++i)
      FBaum->Jpeg(AE + QStringLiteral("A%1.jpg").arg(i, 2, 10, QLatin1Char('0')));
    FBaum->Jpeg(KO + "K.jpg");
    TMainForm *form = Starte();
    QCOMPARE(form->Galerie()->Dekodierungen(), 12);
    form->resize(form->width() + 50, form->height());
    form->FormResize();
    form->Suche()->SetzeSuchtext(QStringLiteral("A03"));
    form->LadeDieBilder();
    form->K_O_ButtonClick();
    form->A_E_ButtonClick();
    QCOMPARE(form->Galerie()->Dekodierungen(), 13);
    // Tiles are still rebuilt: the frame follows the search text.
    QCOMPARE(form->Galerie()->Kacheln().at(3).Bild().pixel(3, 10), Gelb);

    FBaum->Jpeg(AE + "A05.jpg", QSize(80, 30), Qt::red);
    form->LadeDieBilder();
    QCOMPARE(form->Galerie()->Dekodierungen(), 14);
  }

  // ---- hostile files ---------------------------------------------------------------------------

  // Scans are bounded by their number and by the work they cost against the file's size: a
  // kilobyte that claims 64 megapixels gets one pass over them, not a hundred.
  void scanGrenze_data() {
    QTest::addColumn<int>("scans");
    QTest::addColumn<int>("seite");
    QTest::addColumn<bool>("lesbar");
    QTest::newRow("one_scan") << 1 << 64 << true;
    // Each scan of these carries three components.
    QTest::newRow("at_the_limit") << GroessteScanKomponenten / 3 << 64 << true;
    QTest::newRow("one_scan_over") << GroessteScanKomponenten / 3 + 1 << 64 << false;
    QTest::newRow("thousands") << 20000 << 64 << false;
    // 786 432 blocks a scan at 4096 x 4096: one fits the allowance of a small file, two do not.
    QTest::newRow("one_pass_over_16_megapixels") << 1 << 4096 << true;
    QTest::newRow("two_passes_over_16_megapixels") << 2 << 4096 << false;
    QTest::newRow("count_limit_over_64_megapixels") << GroessteScanKomponenten / 3 << 8192 << false;
  }
  void scanGrenze() {
    QFETCH(int, scans);
    QFETCH(int, seite);
    const QByteArray klein = ScanBombe(scans, quint16(seite));
    QTEST(DekodiereJpeg(klein).has_value(), "lesbar");
    QTEST(DekodiereJpegVerkleinert(klein, 93).has_value(), "lesbar");
  }

  // A thumbnail may come from a large photo; a picture shown at full size must fit the screen.
  void bildpunkteGrenze_data() {
    QTest::addColumn<int>("breite");
    QTest::addColumn<int>("hoehe");
    QTest::addColumn<bool>("kachel");
    QTest::addColumn<int>("vollBreite"); // width of the full-size decode in pixels, 0 for none
    QTest::newRow("8_megapixels") << 4096 << 2048 << true << 4096;
    QTest::newRow("one_row_more") << 4096 << 2049 << true << 3584;
    QTest::newRow("64_megapixels") << 8192 << 8192 << true << 2048;
    QTest::newRow("one_row_over_64") << 8192 << 8193 << false << 0;
  }
  void bildpunkteGrenze() {
    QFETCH(int, breite);
    QFETCH(int, hoehe);
    QFETCH(int, vollBreite);
    const QByteArray daten = MitBehaupteterGroesse(JpegBytes(QSize(64, 32), Qt::gray), quint16(breite), quint16(hoehe));
    QTEST(DekodiereJpegVerkleinert(daten, 93).has_value(), "kachel");
    const auto voll = DekodiereJpeg(daten);
    QCOMPARE(voll ? voll->width() : 0, vollBreite);
    QVERIFY(!voll || qint64(voll->width()) * voll->height() <= GroessteAnzeigeBildpunkte);
    // A camera photo beyond the display bound still opens on the question screen, reduced in its
    // pixels but laid out at the size its file declares.
    QTemporaryDir ordner;
    const QString pfad = ordner.filePath(QStringLiteral("foto.jpg"));
    Schreibe(pfad, daten);
    const std::optional<QImage> gezeigt = LadeBildDatei(pfad);
    QCOMPARE(gezeigt.has_value(), vollBreite > 0);
    if (gezeigt)
      QCOMPARE(gezeigt->deviceIndependentSize().toSize(), QSize(breite, hoehe));
  }

  // The memory reserved for a progressive picture covers what libjpeg then really takes, or the
  // decode would fail: real pictures at the limits, in colour and in grey.
  void grossProgressiv_data() {
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("colour_8_megapixels") << QImage::Format_RGB32;
    QTest::newRow("grey_8_megapixels") << QImage::Format_Grayscale8;
  }
  void grossProgressiv() {
    QFETCH(QImage::Format, format);
    QImage bild(4096, 2048, format);
    bild.fill(QColor(200, 30, 40));
    QByteArray daten;
    QBuffer puffer(&daten);
    puffer.open(QIODevice::WriteOnly);
    QImageWriter schreiber(&puffer, "jpg");
    schreiber.setProgressiveScanWrite(true);
    QVERIFY(schreiber.write(bild));
    const auto voll = DekodiereJpeg(daten);
    QVERIFY(voll);
    QCOMPARE(voll->size(), bild.size());
    QVERIFY(Nahe(voll->pixel(2000, 1000), bild.pixel(2000, 1000)));
    const auto klein = DekodiereJpegVerkleinert(daten, 93);
    QVERIFY(klein);
    QCOMPARE(klein->Bild.size(), QSize(512, 256));
  }

  void scanBombeImFenster() {
    FBaum->Jpeg(AE + "A.jpg");
    Schreibe(FBaum->Pfad(AE + "B_bombe.jpg"), ScanBombe(20000));
    // Under a second each (a hundred component passes over 64 megapixels) where it took minutes.
    QElapsedTimer uhr;
    uhr.start();
    TMainForm *form = Starte();
    QCOMPARE(form->Galerie()->Kacheln().size(), 2);
    QVERIFY(HatFarbe(KachelVon(form, "B_bombe.jpg"), qRgb(255, 0, 0)));
    QVERIFY(!HatFarbe(KachelVon(form, "A.jpg"), qRgb(255, 0, 0)));
    QVERIFY2(uhr.elapsed() < 30000, qPrintable(QString::number(uhr.elapsed())));
    uhr.restart();
    TKachel kachel = form->Galerie()->Kacheln().at(IndexVon(form, "B_bombe.jpg"));
    form->BildMouseDown(&kachel, Qt::LeftButton);
    QVERIFY2(uhr.elapsed() < 30000, qPrintable(QString::number(uhr.elapsed())));
    QCOMPARE(FMeldungen,
             QStringList{BildFehlerMeldung(form->Galerie()->BildPfade().at(IndexVon(form, "B_bombe.jpg")))});
  }

  // Eight threads on headers of 8192 x 8192 take turns rather than all taking their share at once.
  void grosseKoepfeGleichzeitig() {
    // Comments after the start marker give the file the size a scan over 64 megapixels needs, so
    // that each decode really runs and holds its share.
    QByteArray kopf = ScanBombe(1);
    for (int i = 0; i < 2; ++i)
      kopf.insert(2, QByteArray("\xFF\xFE\xFF\xFF", 4) + QByteArray(0xFFFF - 2, ' '));
    QVector<int> gelesen(8, 0);
    std::vector<std::thread> faeden;
    QElapsedTimer uhr;
    uhr.start();
    for (int f = 0; f < 8; ++f)
      faeden.emplace_back([&, f] { gelesen[f] = DekodiereJpegVerkleinert(kopf, 93).has_value(); });
    for (std::thread &t : faeden)
      t.join();
    QCOMPARE(gelesen, QVector<int>(8, 1));
    QVERIFY(DekodierSpeicherSpitze() > 0);
    QVERIFY(DekodierSpeicherSpitze() <= DekodierSpeicher);
    QVERIFY2(uhr.elapsed() < 90000, qPrintable(QString::number(uhr.elapsed())));
#ifndef NF_SANITIZER
    // Each decode holds some 390 MB; one at a time keeps the whole test process well below 1 GB.
    QVERIFY2(SpitzeDesProzesses() < 1024LL * 1024 * 1024, qPrintable(QString::number(SpitzeDesProzesses())));
#endif
  }

  // Whatever lies in a range folder under a picture's name gets a tile, except a folder: an entry
  // that cannot be read (a pipe, a device, a broken link) shows "FEHLER", and the gallery opens at
  // once all the same.
  void eintragImBereich_data() {
    QTest::addColumn<QString>("art");
    QTest::addColumn<bool>("kachel");
    QTest::addColumn<bool>("fehler");
    QTest::newRow("named_pipe") << "fifo" << true << true;
    QTest::newRow("link_to_dev_zero") << "zero" << true << true;
    QTest::newRow("dangling_link") << "weg" << true << true;
    QTest::newRow("link_to_picture") << "verweis" << true << false;
    QTest::newRow("folder") << "ordner" << false << false;
    QTest::newRow("link_to_folder") << "ordnerverweis" << false << false;
  }

  void eintragImBereich() {
    QFETCH(QString, art);
    QFETCH(bool, kachel);
    QFETCH(bool, fehler);
    FBaum->Jpeg(AE + "A.jpg");
    const QString ordner = FBaum->Pfad(AE);
    const QString eintrag = ordner + "B.jpg";
    if (art == QLatin1String("fifo"))
      QCOMPARE(::mkfifo(QFile::encodeName(eintrag).constData(), 0600), 0);
    else if (art == QLatin1String("zero"))
      QVERIFY(QFile::link(QStringLiteral("/dev/zero"), eintrag));
    else if (art == QLatin1String("weg"))
      QVERIFY(QFile::link(ordner + "fehlt.jpg", eintrag));
    else if (art == QLatin1String("verweis"))
      QVERIFY(QFile::link(ordner + "A.jpg", eintrag));
    else if (art == QLatin1String("ordner"))
      QVERIFY(QDir().mkpath(eintrag));
    else
      QVERIFY(QFile::link(FBaum->Pfad(KO), eintrag));
    QElapsedTimer uhr;
    uhr.start();
    TMainForm *form = Starte();
    QStringList namen;
    for (const QString &pfad : form->Galerie()->BildPfade())
      namen.append(DateiName(pfad));
    QCOMPARE(namen, kachel ? QStringList({"A.jpg", "B.jpg"}) : QStringList{"A.jpg"});
    QCOMPARE(form->Galerie()->Kacheln().size(), namen.size());
    QVERIFY(!HatFarbe(KachelVon(form, "A.jpg"), qRgb(255, 0, 0)));
    if (kachel)
      QCOMPARE(HatFarbe(KachelVon(form, "B.jpg"), qRgb(255, 0, 0)), fehler);
    QCOMPARE(form->StatusBar1->SimpleText(), QStringLiteral("      %1 Nummernfibel ").arg(namen.size()));
    if (fehler) {
      // Read directly, it is no picture either.
      QVERIFY(!LadeBildDatei(eintrag));
      QVERIFY(!LadeVerkleinert(eintrag, 93));
    }
    QVERIFY2(uhr.elapsed() < 10000, qPrintable(QString::number(uhr.elapsed())));
  }

  // A range of 3 000 pictures is decoded once: a reload, a resize and a visit to another range and
  // back decode nothing, and every tile keeps its place.
  void dreitausendNachladen() {
    const QByteArray bild = JpegBytes(QSize(60, 30), Qt::black);
    for (int i = 0; i < 3000; ++i)
      Schreibe(FBaum->Pfad(AE + QStringLiteral("A%1.jpg").arg(i, 4, 10, QLatin1Char('0'))), bild);
    FBaum->Jpeg(KO + "K.jpg");
    TMainForm *form = Starte();
    QCOMPARE(form->Galerie()->Kacheln().size(), 3000);
    QCOMPARE(form->Galerie()->Dekodierungen(), 3000);
    form->LadeDieBilder();
    form->resize(form->width() + 99, form->height());
    form->FormResize();
    form->K_O_ButtonClick();
    form->A_E_ButtonClick();
    QCOMPARE(form->Galerie()->Dekodierungen(), 3001);
    QCOMPARE(form->Galerie()->Kacheln().size(), 3000);
    const TKachel &letzte = form->Galerie()->Kacheln().last();
    QCOMPARE(letzte.Tag(), 2999);
    const int spalten = form->Galerie()->Ansicht()->Spalten();
    QCOMPARE(letzte.Feld().topLeft(), KachelPosition(2999, spalten));
    QCOMPARE(form->Galerie()->Ansicht()->KachelBei(letzte.Feld().center()), 2999);
    QCOMPARE(form->Galerie()->Ansicht()->KachelBei(letzte.Feld().topLeft() - QPoint(1, 1)), -1);
  }

  // The progress bar reaches the screen while a long load runs: its painted value advances step by
  // step, not only once at the end. Decodes go twenty-five at a time, the next ones as the bar moves.
  void fortschrittErreichtDenSchirm() {
    TMainForm *form = ZeigeMitGrossemBereich();
    QVERIFY(form);
    TSchleuse schleuse;
    connect(form->ProgressBar1, &QProgressBar::valueChanged, this, [&schleuse] { schleuse.Erlaube(25); });

    struct TGemalt : QObject {
      QProgressBar *Balken = nullptr;
      QVector<int> Werte;
      bool eventFilter(QObject *, QEvent *ereignis) override {
        if (ereignis->type() == QEvent::Paint && (Werte.isEmpty() || Werte.last() != Balken->value()))
          Werte.append(Balken->value());
        return false;
      }
    } gemalt;
    gemalt.Balken = form->ProgressBar1;
    form->ProgressBar1->installEventFilter(&gemalt);
    schleuse.Erlaube(25);
    form->K_O_ButtonClick();
    QCOMPARE(form->Galerie()->Kacheln().size(), 500);
    const QString werte = QDebug::toString(gemalt.Werte);
    QVERIFY2(gemalt.Werte.size() > 5, qPrintable(werte));
    // Up to the full bar, then back to 0 as the load ends.
    QCOMPARE(gemalt.Werte.takeLast(), 0);
    QCOMPARE(gemalt.Werte.last(), 500);
    for (int i = 1; i < gemalt.Werte.size(); ++i)
      QVERIFY2(gemalt.Werte.at(i) > gemalt.Werte.at(i - 1), qPrintable(werte));
    QVERIFY(form->ProgressBar1->isHidden());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
  }

  // What the user does during a load comes through the window system and waits for the load's end,
  // in its order; then it acts as usual.
  void eingabeWartetAufDieLadung_data() {
    QTest::addColumn<bool>("klick");
    QTest::newRow("page_down_twice") << false;
    QTest::newRow("click_on_a_tile") << true;
  }
  void eingabeWartetAufDieLadung() {
    QFETCH(bool, klick);
    TMainForm *form = ZeigeMitGrossemBereich();
    QVERIFY(form);
    TSchleuse schleuse;
    bool waehrend = false;
    int positionDanach = -1;
    schleuse.BeimErsten([&] {
      waehrend = form->LaedtBilder();
      QWindow *fenster = form->windowHandle();
      if (klick) {
        const QPoint ecke = form->Galerie()->Ansicht()->mapTo(form, QPoint(KachelAbstand + 10, KachelAbstand + 10));
        QTest::mouseClick(fenster, Qt::LeftButton, {}, ecke);
      } else {
        QTest::keyClick(fenster, Qt::Key_PageDown);
        QTest::keyClick(fenster, Qt::Key_PageDown);
      }
      positionDanach = form->ScrollBox1->Position();
      schleuse.Oeffne();
    });
    form->K_O_ButtonClick();
    QVERIFY(waehrend);
    QCOMPARE(positionDanach, 0);
    QVERIFY(form->GalerieSichtbar());
    QCOMPARE(form->Galerie()->Kacheln().size(), 500);
    if (klick) {
      QTRY_VERIFY(!form->GalerieSichtbar());
      QCOMPARE(form->Frage()->BildDatei(), QStringLiteral("K000.jpg"));
    } else {
      QTRY_COMPARE(form->ScrollBox1->Position(), 2 * 198);
    }
  }

  // A resize by the window system during a load asks for another load: it follows the running one
  // instead of starting inside it, and decodes nothing more.
  void ladungWaehrendDesLadens() {
    TMainForm *form = ZeigeMitGrossemBereich();
    QVERIFY(form);
    TSchleuse schleuse;
    bool waehrend = false;
    schleuse.BeimErsten([form, &waehrend, &schleuse] {
      waehrend = form->LaedtBilder();
      form->resize(form->width() + 99, form->height());
      schleuse.Oeffne();
    });
    form->K_O_ButtonClick();
    QVERIFY(waehrend);
    QVERIFY(!form->LaedtBilder());
    QCOMPARE(form->Galerie()->Kacheln().size(), 500);
    QCOMPARE(form->Galerie()->Dekodierungen(), 501);
    QCOMPARE(form->Galerie()->Ansicht()->Spalten(), BerechneGitter(500, form->ScrollBox1->ClientBreite()).Spalten);
    QCOMPARE(form->Galerie()->Ansicht()->Spalten(), SpaltenFuerDasFenster(form, 500));
  }

  // The window system's resize that comes while the first load runs (a tiling desktop's fit, right at
  // the start): the gallery ends laid out for the final width, as wide or narrow as it became.
  void groesseWaehrendDerErstenLadung_data() {
    QTest::addColumn<int>("breiter");
    QTest::newRow("wider") << 400;
    QTest::newRow("narrower") << -150;
  }
  void groesseWaehrendDerErstenLadung() {
    QFETCH(int, breiter);
    for (int i = 0; i < 300; ++i)
      FBaum->Jpeg(AE + QStringLiteral("R%1.jpg").arg(i, 3, 10, QLatin1Char('0')));
    // As in ZeigeMitGrossemBereich: a quit asked for by an earlier test would keep the load from waiting.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
    QDir::setCurrent(FBaum->Dir.path());
    FForm = std::make_unique<TMainForm>(FBaum->Dir.path());
    TMainForm *form = FForm.get();
    bool waehrend = false;
    // The resize comes from the event loop the load waits in, while its decodes are held.
    TSchleuse schleuse;
    schleuse.BeimErsten([&] {
      waehrend = form->LaedtBilder();
      form->resize(form->width() + breiter, form->height());
      schleuse.Oeffne();
    });
    form->show();
    QVERIFY(QTest::qWaitFor([form] { return form->Eingerichtet(); }, 120000));
    QVERIFY(waehrend);
    QCOMPARE(form->Galerie()->Kacheln().size(), 300);
    QCOMPARE(form->ScrollBox1->width(), form->Breite() - GalerieRand);
    QCOMPARE(form->Galerie()->Ansicht()->Spalten(), SpaltenFuerDasFenster(form, 300));
    QCOMPARE(form->Galerie()->Kacheln().last().Feld().topLeft(),
             KachelPosition(299, form->Galerie()->Ansicht()->Spalten()));
  }

  // Closing the window during a load ends the load at once, and no load starts after it.
  void schliessenBeendetDieLadung() {
    TMainForm *form = ZeigeMitGrossemBereich();
    QVERIFY(form);
    TSchleuse schleuse;
    schleuse.BeimErsten([form, &schleuse] {
      form->close();
      schleuse.Oeffne();
    });
    form->K_O_ButtonClick();
    QCOMPARE(form->Galerie()->Kacheln().size(), 0);
    QVERIFY(form->ProgressBar1->isHidden());
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(form->Galerie()->Dekodierungen(), 1);
    form->A_E_ButtonClick();
    QCOMPARE(form->Galerie()->AktuellerOrdner(), form->Pfade().Ordner(TBereich::A_E));
    QCOMPARE(form->Galerie()->Dekodierungen(), 1);
    QCOMPARE(form->Galerie()->Kacheln().size(), 0);
  }

  // Tiles follow the screen's device-pixel ratio (the suite also runs with QT_SCALE_FACTOR=2): the
  // picture has ratio times the pixels, the layout stays in logical pixels.
  void kachelBeiVerhaeltnis() {
    FBaum->Jpeg(AE + "A.jpg", QSize(200, 100));
    FBaum->Jpeg(AE + "B.jpg", QSize(200, 100));
    TMainForm *form = Starte();
    const qreal verhaeltnis = form->Galerie()->Ansicht()->devicePixelRatioF();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == QLatin1String("2"))
      QCOMPARE(verhaeltnis, 2.0);
    const QImage bild = form->Galerie()->Kacheln().at(1).Bild();
    QCOMPARE(bild.size(), QSize(GeraetePunkte(95, verhaeltnis), GeraetePunkte(95, verhaeltnis)));
    QCOMPARE(bild.devicePixelRatio(), verhaeltnis);
    QCOMPARE(form->Galerie()->Kacheln().at(1).Feld(), QRect(103, 4, 95, 95));
    // The thumbnail lies where it lies at ratio 1: black from logical (1, 25) to (93, 69).
    QVERIFY(Nahe(bild.pixel(GeraetePunkte(2, verhaeltnis), GeraetePunkte(26, verhaeltnis)), qRgb(0, 0, 0), 30));
    QCOMPARE(bild.pixel(GeraetePunkte(2, verhaeltnis), GeraetePunkte(24, verhaeltnis)), Weiss);
  }
};

QTEST_MAIN(TstGallery)
#include "tst_gallery.moc"
