// Rules of the data folder: text-file choice, decoding, line splitting, templates; the generated data set and its help.
#include "data/dateilesen.h"
#include "data/dateizugriff.h"
#include "data/datenordner.h"
#include "data/jpegbild.h"
#include "data/lernstanddatei.h"
#include "data/textdatei.h"
#include "data/vorlagen.h"
#include "data/zahlen.h"
#include "fixturbaum.h"
#include "quiz/quizregeln.h"

#include <QDirIterator>
#include <QImageReader>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <climits>
#include <sys/stat.h>

namespace {

QByteArray AlsUtf16(const QString &text, bool kleinesEnde) {
  QByteArray bytes(kleinesEnde ? "\xFF\xFE" : "\xFE\xFF", 2);
  for (const QChar c : text) {
    const char hoch = char(c.unicode() >> 8), tief = char(c.unicode() & 0xFF);
    bytes.append(kleinesEnde ? tief : hoch);
    bytes.append(kleinesEnde ? hoch : tief);
  }
  return bytes;
}

QByteArray AlsUtf8MitMarke(const QString &text) { return QByteArray("\xEF\xBB\xBF") + text.toUtf8(); }

// Windows-1252 by hand, for the few characters the fixtures use, so the test does not lean on the code under test.
QByteArray AlsCp1252(const QString &text) {
  QByteArray bytes;
  for (const QChar c : text) {
    switch (c.unicode()) {
    case 0x20AC: bytes.append('\x80'); break;
    case 0x201E: bytes.append('\x84'); break;
    case 0x201C: bytes.append('\x93'); break;
    case 0x2013: bytes.append('\x96'); break;
    default: Q_ASSERT(c.unicode() < 0x100); bytes.append(char(c.unicode()));
    }
  }
  return bytes;
}

// Lines as the program's files hold them: umlauts, sharp s, and the 1252 characters that Latin-1 lacks.
const QStringList BeispielZeilen{
    QStringLiteral("ÖHR.jpg\tÖhringen, Altkennzeichen im Hohenlohekreis, (optional) [Baden-Württemberg]"),
    QStringLiteral("WÜ.jpg\tWürzburg, kreisfreie Stadt [Bayern]"),
    QStringLiteral("SÄK.jpg\tBad Säckingen – „Altkennzeichen“ für 5 €"),
    QStringLiteral("GS.jpg\tGoslar, Landkreis [Niedersachsen] ß"),
};

QString MitEnden(const QStringList &zeilen, const QString &ende) {
  QString text;
  for (const QString &zeile : zeilen)
    text += zeile + ende;
  return text;
}

void SchreibeDatei(const QString &pfad, const QByteArray &inhalt) {
  QFile datei(pfad);
  QVERIFY(datei.open(QIODevice::WriteOnly));
  QCOMPARE(datei.write(inhalt), inhalt.size());
}

// Rows of a facts file without its header, split at TABs.
QList<QStringList> LeseFakten(const QString &name) {
  QFile datei(QStringLiteral(NF_FAKTEN "/") + name);
  if (!datei.open(QIODevice::ReadOnly))
    return {};
  QList<QStringList> zeilen;
  const QStringList alle = QString::fromUtf8(datei.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  for (qsizetype i = 1; i < alle.size(); ++i)
    zeilen.append(alle.at(i).split(QLatin1Char('\t')));
  return zeilen;
}

const TDatenOrdner &Laufzeit() {
  static const TDatenOrdner ordner = TDatenOrdner::Aus(QStringLiteral(NF_LAUFZEIT));
  return ordner;
}

struct TBereichTest {
  int gruppe;
  TBereich bereich;
  QString textDatei;
};

const QList<TBereichTest> &AlleBereiche() {
  static const QList<TBereichTest> bereiche{
      {0, TBereich::A_E, QStringLiteral("A-E.txt")}, {0, TBereich::F_J, QStringLiteral("F-J.txt")},
      {0, TBereich::K_O, QStringLiteral("K-O.txt")}, {0, TBereich::P_T, QStringLiteral("P-T.txt")},
      {0, TBereich::U_Z, QStringLiteral("U-Z.txt")}, {1, TBereich::Oesterreich, QStringLiteral("Ö-Kfz.txt")},
  };
  return bereiche;
}

QStringList BilderIn(const QString &ordner) {
  return QDir(ordner).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
}

QStringList AlleZeilen(int gruppe) {
  QStringList zeilen;
  for (const TBereichTest &b : AlleBereiche())
    if (b.gruppe == gruppe)
      zeilen += LadeZeilen(Laufzeit().Ordner(b.bereich) + QLatin1Char('/') + b.textDatei).value_or(QStringList());
  return zeilen;
}

// Runs a command-line tool of poppler-utils; the answer is what went wrong, empty when it ran. A missing tool
// is a failure, since the setup script installs it.
QString Aufruf(const QString &programm, const QStringList &argumente, QByteArray &ausgabe,
               QByteArray *fehler = nullptr) {
  const QString pfad = QStandardPaths::findExecutable(programm);
  if (pfad.isEmpty())
    return programm + QStringLiteral(" is missing: scripts/einrichten.sh installs it");
  QProcess prozess;
  prozess.start(pfad, argumente);
  if (!prozess.waitForFinished(60000) || prozess.exitCode() != 0)
    return programm + QStringLiteral(" failed: ") + QString::fromLocal8Bit(prozess.readAllStandardError());
  ausgabe = prozess.readAllStandardOutput();
  if (fehler)
    *fehler = prozess.readAllStandardError();
  return {};
}

QStringList PdfText(const QStringList &seitenwahl) {
  return seitenwahl +
         QStringList{QStringLiteral("-enc"), QStringLiteral("UTF-8"), Laufzeit().Hilfe(), QStringLiteral("-")};
}

// Text without any white space: line breaks of the layout are then no difference.
QString OhneLeerraum(QString text) { return text.remove(QRegularExpression(QStringLiteral("\\s+"))); }

// The text of every paragraph, heading, list item and table cell of the help's source, read without
// the code under test.
QStringList Absaetze() {
  QFile datei(QStringLiteral(NF_FAKTEN "/hilfe.html"));
  if (!datei.open(QIODevice::ReadOnly))
    return {};
  const QString html = QString::fromUtf8(datei.readAll());
  static const QRegularExpression absatz(QStringLiteral("<(h1|h2|h3|p|li|td|th)\\b[^>]*>(.*?)</\\1>"),
                                         QRegularExpression::DotMatchesEverythingOption);
  static const QRegularExpression marke(QStringLiteral("<[^>]*>"));
  QStringList texte;
  for (auto treffer = absatz.globalMatch(html); treffer.hasNext();) {
    QString text = treffer.next().captured(2).replace(marke, QStringLiteral(" "));
    // The word joiner only holds a letter range together on its line; it has no glyph.
    text.replace(QStringLiteral("&#x2060;"), QString())
        .replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"))
        .replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    // A tag closed right before a stop or a bracket leaves no gap in the set text: "<i>xdg-utils</i>)".
    static const QRegularExpression vorZeichen(QStringLiteral("\\s+(?=[).,:;!?])"));
    texte.append(text.simplified().remove(vorZeichen));
  }
  return texte;
}

} // namespace

class TestData : public QObject {
  Q_OBJECT

private slots:
  void TextDateiNamen_data();
  void TextDateiNamen();
  void TextDateiPfad();
  void Ganzzahl_data();
  void Ganzzahl();
  void Vorlagen_data();
  void Vorlagen();
  void Kodierungen_data();
  void Kodierungen();
  void Cp1252IstNichtLatin1();
  void Robustheit_data();
  void Robustheit();
  void Zerlegen_data();
  void Zerlegen();
  void UnlesbareDatei();
  void GrosseDatei();
  void ZeilenGrenze_data();
  void ZeilenGrenze();
  void KeineGewoehnlicheDatei_data();
  void KeineGewoehnlicheDatei();
  void GrenzeDerTextDatei();
  void FuellungEinesAbbruchs_data();
  void FuellungEinesAbbruchs();
  void ZufallsEingaben();
  void Datensatz_data();
  void Datensatz();
  void DatensatzGegenFakten();
  void DatensatzKodierungen();
  void DatensatzVorlagen();
  void DatensatzReproduzierbar();
  void FaktenWieGeprueft();
  void GepruefteZeilen_data();
  void GepruefteZeilen();
  void HilfeText();
  void HilfeMetadaten();
  void HilfeSeitenumbrueche();
  void LernstandVereinen_data();
  void LernstandVereinen();
  void LernstandEinstellungen_data();
  void LernstandEinstellungen();
  void LernstandZweiKopien();
};

void TestData::TextDateiNamen_data() {
  QTest::addColumn<int>("gruppe");
  QTest::addColumn<QString>("zeichen");
  QTest::addColumn<QString>("name");

  QTest::newRow("diplomats_zero") << 0 << "0"
                                  << "A-E.txt";
  QTest::newRow("first_a") << 0 << "A"
                           << "A-E.txt";
  QTest::newRow("last_e") << 0 << "E"
                          << "A-E.txt";
  QTest::newRow("first_f") << 0 << "F"
                           << "F-J.txt";
  QTest::newRow("last_j") << 0 << "J"
                          << "F-J.txt";
  QTest::newRow("first_k") << 0 << "K"
                           << "K-O.txt";
  QTest::newRow("last_o") << 0 << "O"
                          << "K-O.txt";
  QTest::newRow("umlaut_oe_upper") << 0 << "Ö"
                                   << "K-O.txt";
  QTest::newRow("umlaut_oe_lower") << 0 << "ö"
                                   << "";
  QTest::newRow("first_p") << 0 << "P"
                           << "P-T.txt";
  QTest::newRow("last_t") << 0 << "T"
                          << "P-T.txt";
  QTest::newRow("first_u") << 0 << "U"
                           << "U-Z.txt";
  QTest::newRow("last_z") << 0 << "Z"
                          << "U-Z.txt";
  QTest::newRow("umlaut_ue_upper") << 0 << "Ü"
                                   << "U-Z.txt";
  QTest::newRow("umlaut_ae_upper") << 0 << "Ä"
                                   << "";
  QTest::newRow("lower_case_a") << 0 << "a"
                                << "";
  QTest::newRow("digit_one") << 0 << "1"
                             << "";
  QTest::newRow("underscore") << 0 << "_"
                              << "";
  QTest::newRow("at_a") << 1 << "A"
                        << "Ö-Kfz.txt";
  QTest::newRow("at_b") << 1 << "B"
                        << "Ö-Kfz.txt";
  QTest::newRow("at_c_none") << 1 << "C"
                             << "";
  QTest::newRow("at_d") << 1 << "D"
                        << "Ö-Kfz.txt";
  QTest::newRow("at_p") << 1 << "P"
                        << "Ö-Kfz.txt";
  QTest::newRow("at_q_none") << 1 << "Q"
                             << "";
  QTest::newRow("at_r") << 1 << "R"
                        << "Ö-Kfz.txt";
  QTest::newRow("at_w") << 1 << "W"
                        << "Ö-Kfz.txt";
  QTest::newRow("at_x_none") << 1 << "X"
                             << "";
  QTest::newRow("at_y_none") << 1 << "Y"
                             << "";
  QTest::newRow("at_z") << 1 << "Z"
                        << "Ö-Kfz.txt";
  QTest::newRow("at_zero_none") << 1 << "0"
                                << "";
  QTest::newRow("at_umlaut_none") << 1 << "Ö"
                                  << "";
  QTest::newRow("no_group") << -1 << "A"
                            << "";
  QTest::newRow("group_two") << 2 << "A"
                             << "";
}

void TestData::TextDateiNamen() {
  QFETCH(int, gruppe);
  QFETCH(QString, zeichen);
  QFETCH(QString, name);
  QCOMPARE(TextDateiName(gruppe, zeichen.at(0)), name);
}

void TestData::TextDateiPfad() {
  const QString ordner = QStringLiteral("/basis/Bilder/Deutschland/K-O");
  QCOMPARE(WaehleTextDatei(0, ordner, QStringLiteral("M.jpg")), ordner + QStringLiteral("/K-O.txt"));
  QCOMPARE(WaehleTextDatei(0, ordner, QStringLiteral("ÖHR.jpg")), ordner + QStringLiteral("/K-O.txt"));
  QCOMPARE(WaehleTextDatei(1, QStringLiteral("/b/Bilder/Österreich/A-Z"), QStringLiteral("W_9.jpg")),
           QStringLiteral("/b/Bilder/Österreich/A-Z/Ö-Kfz.txt"));
  QVERIFY(WaehleTextDatei(1, ordner, QStringLiteral("C_1.jpg")).isEmpty());
  QVERIFY(WaehleTextDatei(0, ordner, QString()).isEmpty());

  const QString meldung = TextDateiFehltMeldung(ordner + QStringLiteral("/K-O.txt"));
  QCOMPARE(meldung, QStringLiteral("Datei: /basis/Bilder/Deutschland/K-O/K-O.txt\r\nist nicht vorhanden!\r\n\t\t"
                                   "Das Programm wird beendet."));
  QCOMPARE(TextDateiFehltMeldung(QStringLiteral("/b/Bilder/Österreich/A-Z/Ö-Kfz.txt")),
           QStringLiteral("Datei: /b/Bilder/Österreich/A-Z/Ö-Kfz.txt\r\n!!!ist nicht vorhanden!\r\n\t\t"
                          "Das Programm wird beendet."));
}

void TestData::Ganzzahl_data() {
  QTest::addColumn<QString>("wert");
  QTest::addColumn<bool>("gueltig");
  QTest::addColumn<int>("zahl");
  QTest::newRow("plain") << "42" << true << 42;
  QTest::newRow("leading_blanks") << "  42" << true << 42;
  QTest::newRow("trailing_blank") << "42 " << false << 0;
  QTest::newRow("blank_inside") << "4 2" << false << 0;
  QTest::newRow("leading_tab") << "\t42" << false << 0;
  QTest::newRow("minus") << "-1" << true << -1;
  QTest::newRow("plus") << "+7" << true << 7;
  QTest::newRow("blank_after_sign") << "- 1" << false << 0;
  QTest::newRow("sign_only") << "-" << false << 0;
  QTest::newRow("blanks_only") << "  " << false << 0;
  QTest::newRow("empty") << "" << false << 0;
  QTest::newRow("int_max") << "2147483647" << true << INT_MAX;
  QTest::newRow("int_min") << "-2147483648" << true << INT_MIN;
  QTest::newRow("above_int_max") << "2147483648" << false << 0;
  QTest::newRow("twenty_digits") << "99999999999999999999" << false << 0;
  QTest::newRow("hex") << "0x10" << false << 0;
  QTest::newRow("arabic_indic_digit") << QString::fromUtf8("\u0663") << false << 0;
}

void TestData::Ganzzahl() {
  QFETCH(QString, wert);
  QFETCH(bool, gueltig);
  const std::optional<int> zahl = LiesGanzzahl(wert);
  QCOMPARE(zahl.has_value(), gueltig);
  if (gueltig)
    QTEST(*zahl, "zahl");
}

void TestData::Vorlagen_data() {
  QTest::addColumn<int>("gruppe");
  QTest::addColumn<QString>("bild");
  QTest::addColumn<QString>("gross");
  QTest::addColumn<QString>("klein");

  const QString d = QStringLiteral("Bilder/Deutschland/D_Kennzeichen");
  const QString at = QStringLiteral("Bilder/Österreich/Ö_Kennzeichen_");
  const QString atKlein = at + QStringLiteral("klein.bmp");
  QTest::newRow("de_plain") << 0 << "XA.jpg" << d + ".bmp" << d + "_klein.bmp";
  QTest::newRow("de_armed_forces") << 0 << "Y.jpg" << d + "_Bundeswehr.bmp" << d + "_Bundeswehr_klein.bmp";
  // Codes that end in Y are ordinary districts, not the armed forces.
  QTest::newRow("de_ending_in_y") << 0 << "HY.jpg" << d + ".bmp" << d + "_klein.bmp";
  QTest::newRow("de_three_ending_in_y") << 0 << "ABY.jpg" << d + ".bmp" << d + "_klein.bmp";
  QTest::newRow("de_armed_forces_path") << 0 << "U-Z/Y.jpg" << d + "_Bundeswehr.bmp" << d + "_Bundeswehr_klein.bmp";
  QTest::newRow("de_y_upper_ext") << 0 << "Y.JPG" << d + ".bmp" << d + "_klein.bmp";
  QTest::newRow("de_y_lower") << 0 << "y.jpg" << d + ".bmp" << d + "_klein.bmp";
  QTest::newRow("at_top_bodies") << 1 << "A_0.jpg" << at + "Oberste Organe.jpg" << atKlein;
  QTest::newRow("at_burgenland") << 1 << "E_1.jpg" << at + "Burgenland.jpg" << atKlein;
  QTest::newRow("at_kaernten") << 1 << "K_2.jpg" << at + "Kärnten.jpg" << atKlein;
  QTest::newRow("at_lower_austria") << 1 << "AM_3.jpg" << at + "Niederösterreich.jpg" << atKlein;
  QTest::newRow("at_upper_austria") << 1 << "L_4.jpg" << at + "Oberösterreich.jpg" << atKlein;
  QTest::newRow("at_salzburg") << 1 << "S_5.jpg" << at + "Salzburg.jpg" << atKlein;
  QTest::newRow("at_styria") << 1 << "G_6.jpg" << at + "Steiermark.jpg" << atKlein;
  QTest::newRow("at_tyrol") << 1 << "I_7.jpg" << at + "Tirol.jpg" << atKlein;
  QTest::newRow("at_vorarlberg") << 1 << "B_8.jpg" << at + "Vorarlberg.jpg" << atKlein;
  QTest::newRow("at_vienna") << 1 << "W_9.jpg" << at + "Wien.jpg" << atKlein;
  QTest::newRow("at_no_arms") << 1 << "BD_-.jpg" << at + "ohne Wappen.jpg" << atKlein;
  QTest::newRow("at_no_suffix") << 1 << "W.jpg"
                                << "" << atKlein;
  QTest::newRow("at_upper_ext") << 1 << "W_9.JPG"
                                << "" << atKlein;
  // Both suffixes present: the one tested later (Wien after Burgenland) is what stays loaded.
  QTest::newRow("at_two_suffixes") << 1 << "W_9.jpg_1.jpg" << at + "Wien.jpg" << atKlein;
  QTest::newRow("at_dash_beats_zero") << 1 << "X_0.jpg_-.jpg" << at + "ohne Wappen.jpg" << atKlein;
  QTest::newRow("no_group") << -1 << "Y.jpg"
                            << ""
                            << "";
}

void TestData::Vorlagen() {
  QFETCH(int, gruppe);
  QFETCH(QString, bild);
  QFETCH(QString, gross);
  QFETCH(QString, klein);
  QCOMPARE(GrosseVorlage(gruppe, bild), gross);
  QCOMPARE(KleineVorlage(gruppe, bild), klein);
}

void TestData::Kodierungen_data() {
  QTest::addColumn<QByteArray>("bytes");

  QTest::newRow("bom_utf8_crlf") << AlsUtf8MitMarke(MitEnden(BeispielZeilen, "\r\n"));
  QTest::newRow("bom_utf16le_crlf") << AlsUtf16(MitEnden(BeispielZeilen, "\r\n"), true);
  QTest::newRow("bom_utf16be_crlf") << AlsUtf16(MitEnden(BeispielZeilen, "\r\n"), false);
  QTest::newRow("cp1252_no_bom_crlf") << AlsCp1252(MitEnden(BeispielZeilen, "\r\n"));
  QTest::newRow("cp1252_lf_only") << AlsCp1252(MitEnden(BeispielZeilen, "\n"));
  QTest::newRow("bom_utf8_lf_only") << AlsUtf8MitMarke(MitEnden(BeispielZeilen, "\n"));
  QTest::newRow("bom_utf16be_lf_only") << AlsUtf16(MitEnden(BeispielZeilen, "\n"), false);
  QTest::newRow("cp1252_cr_only") << AlsCp1252(MitEnden(BeispielZeilen, "\r"));
  QTest::newRow("bom_utf16le_line_separator") << AlsUtf16(MitEnden(BeispielZeilen, QString(QChar(0x2028))), true);
  QTest::newRow("cp1252_no_final_break") << AlsCp1252(BeispielZeilen.join("\r\n"));
}

void TestData::Kodierungen() {
  QFETCH(QByteArray, bytes);
  QTemporaryDir ordner;
  QVERIFY(ordner.isValid());
  const QString pfad = ordner.filePath(QStringLiteral("K-O.txt"));
  SchreibeDatei(pfad, bytes);
  const std::optional<QStringList> zeilen = LadeZeilen(pfad);
  QVERIFY(zeilen.has_value());
  QCOMPARE(*zeilen, BeispielZeilen);
}

void TestData::Cp1252IstNichtLatin1() {
  // 0x80-0x9F hold typographic characters; 0x81 is undefined and stays its control character.
  QCOMPARE(DekodiereText(QByteArray("\x80\x84\x93\x94\x96\x81\xD6\xFC")),
           QStringLiteral("€„“”–") + QChar(0x81) + QStringLiteral("Öü"));
}

void TestData::Robustheit_data() {
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<QString>("text");

  QTest::newRow("empty") << QByteArray() << QString();
  QTest::newRow("bom_utf8_alone") << QByteArray("\xEF\xBB\xBF") << QString();
  QTest::newRow("bom_utf16le_alone") << QByteArray("\xFF\xFE") << QString();
  QTest::newRow("bom_utf16be_alone") << QByteArray("\xFE\xFF") << QString();
  QTest::newRow("odd_utf16le") << QByteArray("\xFF\xFE"
                                             "A\0B",
                                             5)
                               << QStringLiteral("A");
  QTest::newRow("odd_utf16be") << QByteArray("\xFE\xFF\0A\0", 5) << QStringLiteral("A");
  QTest::newRow("utf16le_one_byte") << QByteArray("\xFF\xFE"
                                                  "A",
                                                  3)
                                    << QString();
  QTest::newRow("invalid_utf8") << QByteArray("\xEF\xBB\xBF"
                                              "A\xFF"
                                              "B")
                                << QStringLiteral("A\uFFFDB");
  QTest::newRow("truncated_utf8") << QByteArray("\xEF\xBB\xBF"
                                                "W\xC3")
                                  << QStringLiteral("W\uFFFD");
  QTest::newRow("utf8_without_bom_is_cp1252") << QByteArray("W\xC3\xBC") << QStringLiteral("WÃ¼");
  QTest::newRow("nul_bytes_cp1252") << QByteArray("A\0B\0", 4) << QString::fromLatin1("A\0B\0", 4);
  QTest::newRow("nul_bytes_utf8") << QByteArray("\xEF\xBB\xBF"
                                                "A\0B",
                                                6)
                                  << QString::fromLatin1("A\0B", 3);
  QTest::newRow("nul_bytes_utf16le") << QByteArray("\xFF\xFE\0\0"
                                                   "A\0",
                                                   6)
                                     << QString::fromLatin1("\0A", 2);
  // A UTF-32 mark is none here: the little-endian one reads as UTF-16 (nul_bytes_utf16le), this one as bytes.
  QTest::newRow("utf32be_mark") << QByteArray("\0\0\xFE\xFF", 4) << QString::fromLatin1("\0\0\xFE\xFF", 4);
  QTest::newRow("lone_surrogate_utf16le") << QByteArray("\xFF\xFE\x00\xD8"
                                                        "A\0",
                                                        6)
                                          << QString(QChar(0xD800)) + QLatin1Char('A');
  QTest::newRow("second_bom_utf8_stays") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF"
                                                       "A")
                                         << QString(QChar(0xFEFF)) + QLatin1Char('A');
  QTest::newRow("lone_ff") << QByteArray("\xFF") << QStringLiteral("ÿ");
  QTest::newRow("half_utf8_bom") << QByteArray("\xEF\xBB") << QStringLiteral("ï»");
  QTest::newRow("bom_in_wrong_order") << QByteArray("\xBB\xEF\xBF") << QStringLiteral("»ï¿");
}

void TestData::Robustheit() {
  QFETCH(QByteArray, bytes);
  QFETCH(QString, text);
  QCOMPARE(DekodiereText(bytes), text);
}

void TestData::Zerlegen_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QStringList>("zeilen");

  QTest::newRow("empty") << QString() << QStringList();
  QTest::newRow("no_break") << "a" << QStringList{"a"};
  QTest::newRow("crlf") << "a\r\nb" << QStringList{"a", "b"};
  QTest::newRow("lone_cr") << "a\rb" << QStringList{"a", "b"};
  QTest::newRow("lone_lf") << "a\nb" << QStringList{"a", "b"};
  QTest::newRow("line_separator") << QString("a") + QChar(0x2028) + "b" << QStringList{"a", "b"};
  QTest::newRow("paragraph_separator_stays")
      << QString("a") + QChar(0x2029) + "b" << QStringList{QString("a") + QChar(0x2029) + "b"};
  QTest::newRow("lf_cr_is_two_breaks") << "a\n\rb" << QStringList{"a", "", "b"};
  QTest::newRow("trailing_break_adds_nothing") << "a\r\n" << QStringList{"a"};
  QTest::newRow("two_trailing_breaks") << "a\r\n\r\n" << QStringList{"a", ""};
  QTest::newRow("break_alone") << "\n" << QStringList{""};
  QTest::newRow("empty_middle_line") << "a\n\nb" << QStringList{"a", "", "b"};
  QTest::newRow("mixed_ends") << "a\rb\nc\r\nd" << QStringList{"a", "b", "c", "d"};
  QTest::newRow("tabs_and_blanks_kept") << " a\tb \n" << QStringList{" a\tb "};
}

void TestData::Zerlegen() {
  QFETCH(QString, text);
  QFETCH(QStringList, zeilen);
  QCOMPARE(ZerlegeZeilen(text), zeilen);
}

void TestData::UnlesbareDatei() {
  QTemporaryDir ordner;
  QVERIFY(!LadeZeilen(ordner.filePath(QStringLiteral("fehlt.txt"))).has_value());
  QVERIFY(!LadeZeilen(ordner.path()).has_value());
  SchreibeDatei(ordner.filePath(QStringLiteral("leer.txt")), {});
  const auto leer = LadeZeilen(ordner.filePath(QStringLiteral("leer.txt")));
  QVERIFY(leer.has_value());
  QVERIFY(leer->isEmpty());
}

void TestData::GrosseDatei() {
  QTemporaryDir ordner;
  const QString pfad = ordner.filePath(QStringLiteral("gross.txt"));
  const QByteArray zeile = AlsCp1252(QStringLiteral("ÖHR.jpg\tÖhringen, Altkennzeichen des früheren Landkreises "
                                                    "Öhringen, heute Hohenlohekreis, wieder ausgegeben "
                                                    "[Baden-Württemberg]\r\n"));
  // Just under the bound: some 500 times the largest range file of the data set, in long lines.
  const qsizetype anzahl = (GroessteTextDatei - 1024) / zeile.size();
  {
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    const QByteArray block = zeile.repeated(1024);
    for (qsizetype i = 0; i < anzahl / 1024; ++i)
      QCOMPARE(datei.write(block), block.size());
    for (qsizetype i = 0; i < anzahl % 1024; ++i)
      datei.write(zeile);
  }
  QVERIFY(QFileInfo(pfad).size() >= GroessteTextDatei - 1024 * 2);
  const std::optional<QStringList> zeilen = LadeZeilen(pfad);
  QVERIFY(zeilen.has_value());
  QCOMPARE(zeilen->size(), anzahl);
  QCOMPARE(zeilen->last(), QStringLiteral("ÖHR.jpg\tÖhringen, Altkennzeichen des früheren Landkreises Öhringen, heute "
                                          "Hohenlohekreis, wieder ausgegeben [Baden-Württemberg]"));
}

// The lines are counted as they are split: CR LF is one break, a last line needs none.
void TestData::ZeilenGrenze_data() {
  QTest::addColumn<QByteArray>("inhalt");
  QTest::addColumn<int>("zeilen"); // -1: refused
  const int n = int(GroessteZeilenzahl);
  QTest::newRow("lf_at_bound") << QByteArray("a\n").repeated(n) << n;
  QTest::newRow("lf_over_bound") << QByteArray("a\n").repeated(n + 1) << -1;
  QTest::newRow("crlf_at_bound") << QByteArray("a\r\n").repeated(n) << n;
  QTest::newRow("cr_over_bound") << QByteArray("a\r").repeated(n + 1) << -1;
  QTest::newRow("breaks_alone_over_bound") << QByteArray("\n").repeated(n + 1) << -1;
  QTest::newRow("last_line_unterminated_at_bound") << QByteArray("a\n").repeated(n - 1) + "a" << n;
  QTest::newRow("last_line_unterminated_over_bound") << QByteArray("a\n").repeated(n) + "a" << -1;
  QTest::newRow("utf16_crlf_at_bound") << QByteArray("\xFF\xFE") + QByteArray("a\0\r\0\n\0", 6).repeated(n) << n;
  QTest::newRow("utf8_u2028_over_bound") << QByteArray("\xEF\xBB\xBF") + QByteArray("a\xE2\x80\xA8").repeated(n + 1)
                                         << -1;
}

void TestData::ZeilenGrenze() {
  QFETCH(QByteArray, inhalt);
  QFETCH(int, zeilen);
  QTemporaryDir ordner;
  const QString pfad = ordner.filePath(QStringLiteral("A-E.txt"));
  SchreibeDatei(pfad, inhalt);
  const std::optional<QStringList> gelesen = LadeZeilen(pfad);
  QCOMPARE(gelesen.has_value(), zeilen >= 0);
  if (gelesen)
    QCOMPARE(gelesen->size(), zeilen);
}

// What lies where a text file or a template is expected need not be a file: none of it may block,
// fill the memory or end the program.
void TestData::KeineGewoehnlicheDatei_data() {
  QTest::addColumn<QString>("art");
  QTest::newRow("named_pipe") << "fifo";
  QTest::newRow("link_to_dev_zero") << "zero";
  QTest::newRow("dangling_link") << "weg";
  QTest::newRow("folder") << "ordner";
  QTest::newRow("over_the_size_limit") << "gross";
}

void TestData::KeineGewoehnlicheDatei() {
  QFETCH(QString, art);
  QTemporaryDir ordner;
  for (const QString &name : {QStringLiteral("A-E.txt"), QStringLiteral("D_Kennzeichen.bmp")}) {
    const QString pfad = ordner.filePath(name);
    const QByteArray roh = QFile::encodeName(pfad);
    if (art == QLatin1String("fifo"))
      QCOMPARE(::mkfifo(roh.constData(), 0600), 0);
    else if (art == QLatin1String("zero"))
      QVERIFY(QFile::link(QStringLiteral("/dev/zero"), pfad));
    else if (art == QLatin1String("weg"))
      QVERIFY(QFile::link(ordner.filePath(QStringLiteral("fehlt")), pfad));
    else if (art == QLatin1String("ordner"))
      QVERIFY(QDir(ordner.path()).mkdir(name));
    else {
      // A sparse file: its size costs no disk.
      QFile datei(pfad);
      QVERIFY(datei.open(QIODevice::WriteOnly));
      QVERIFY(datei.resize(qMax(GroessteTextDatei, GroessteDatenDatei) + 1));
    }
  }
  QElapsedTimer uhr;
  uhr.start();
  QVERIFY(!LadeZeilen(ordner.filePath(QStringLiteral("A-E.txt"))).has_value());
  QVERIFY(!LadeBildDatei(ordner.filePath(QStringLiteral("D_Kennzeichen.bmp"))).has_value());
  QVERIFY(LiesRegulaereDatei(ordner.filePath(QStringLiteral("A-E.txt")), GroessteDatenDatei).Zustand !=
          TDateiZustand::Gelesen);
  QVERIFY2(uhr.elapsed() < 5000, qPrintable(QString::number(uhr.elapsed())));
}

// A shrinking write in place that was killed before its cut leaves blank lines ("\n" in the file's
// encoding) up to the old length; the reader carries them into the next content. The next write drops
// those, and only those.
void TestData::FuellungEinesAbbruchs_data() {
  QTest::addColumn<QByteArray>("alt");
  QTest::addColumn<QByteArray>("neu");
  QTest::addColumn<QByteArray>("erwartet");
  const auto utf16 = [](const char *text) {
    return QByteArray("\xFF\xFE", 2) + QStringEncoder(QStringEncoder::Utf16LE)(QString::fromLatin1(text));
  };
  const QByteArray lf(5, '\n');
  QTest::newRow("crlf_filling_dropped") << QByteArray("[E]\r\nK=a\r\n" + lf) << QByteArray("[E]\r\nK=bb\r\n" + lf)
                                        << QByteArray("[E]\r\nK=bb\r\n");
  QTest::newRow("lf_filling_dropped") << QByteArray("[E]\nK=a\n" + lf) << QByteArray("[E]\nK=bb\n" + lf)
                                      << QByteArray("[E]\nK=bb\n");
  QTest::newRow("utf16le_filling_dropped")
      << utf16("[E]\r\nK=a\r\n\n\n\n") << utf16("[E]\r\nK=bb\r\n\n\n\n") << utf16("[E]\r\nK=bb\r\n");
  QTest::newRow("last_line_keeps_its_end") << QByteArray("K=a\n\n") << QByteArray("K=bb\n\n") << QByteArray("K=bb\n");
  QTest::newRow("crlf_blank_lines_kept") << QByteArray("[E]\r\nK=a\r\n\r\n\r\n")
                                         << QByteArray("[E]\r\nK=bb\r\n\r\n\r\n")
                                         << QByteArray("[E]\r\nK=bb\r\n\r\n\r\n");
  QTest::newRow("new_blank_lines_kept") << QByteArray("K=a\n") << QByteArray("K=bb\n\n\n") << QByteArray("K=bb\n\n\n");
  QTest::newRow("only_blank_lines_kept") << QByteArray("\n\n\n") << QByteArray("\n\n\n\n") << QByteArray("\n\n\n\n");
}

void TestData::FuellungEinesAbbruchs() {
  QFETCH(QByteArray, alt);
  QFETCH(QByteArray, neu);
  QFETCH(QByteArray, erwartet);
  QTemporaryDir ordner;
  const QString pfad = ordner.filePath(QStringLiteral("Kennzeichen.ini"));
  SchreibeDatei(pfad, alt);
  QVERIFY(ErsetzeDatei(pfad, alt, neu));
  QFile datei(pfad);
  QVERIFY(datei.open(QIODevice::ReadOnly));
  QCOMPARE(datei.readAll(), erwartet);
}

void TestData::GrenzeDerTextDatei() {
  QTemporaryDir ordner;
  const QString pfad = ordner.filePath(QStringLiteral("A-E.txt"));
  {
    QFile datei(pfad);
    QVERIFY(datei.open(QIODevice::WriteOnly));
    QVERIFY(datei.resize(GroessteTextDatei));
  }
  // Exactly at the bound the file still counts: NUL bytes, one line of them; one byte more does not.
  const std::optional<QStringList> zeilen = LadeZeilen(pfad);
  QVERIFY(zeilen.has_value());
  QCOMPARE(zeilen->size(), 1);
  QCOMPARE(zeilen->first().size(), GroessteTextDatei);
  QVERIFY(QFile::resize(pfad, GroessteTextDatei + 1));
  QVERIFY(!LadeZeilen(pfad).has_value());
}

void TestData::ZufallsEingaben() {
  QRandomGenerator zufall(20240607);
  // Bytes that steer the decoder: marks, line ends, NUL, UTF-8 lead and trail bytes, U+2028 in UTF-8.
  static const char alphabet[] = {'\xFF', '\xFE', '\xEF', '\xBB', '\xBF', '\r', '\n',   '\0',  '\xE2',
                                  '\x80', '\xA8', '\x20', '\x28', 'A',    '\t', '\xC3', '\xD6'};
  static const QByteArray marken[] = {"", "\xFF\xFE", "\xFE\xFF", "\xEF\xBB\xBF"};
  for (int runde = 0; runde < 12000; ++runde) {
    QByteArray bytes = marken[zufall.bounded(4)];
    const int laenge = zufall.bounded(300);
    for (int i = 0; i < laenge; ++i)
      bytes.append(zufall.bounded(4) == 0 ? char(zufall.bounded(256)) : alphabet[zufall.bounded(int(sizeof alphabet))]);

    const QString text = DekodiereText(bytes);
    QVERIFY2(text.size() <= bytes.size(), bytes.toHex().constData());
    const QStringList zeilen = ZerlegeZeilen(text);
    QVERIFY(zeilen.size() <= text.size());
    // Joined with LF, the lines give back the text with every break made an LF and one final break dropped.
    QVERIFY2(zeilen.join(QLatin1Char('\n')) == Fixturbaum::AlsZeilenText(text), bytes.toHex().constData());
  }
}

void TestData::Datensatz_data() {
  QTest::addColumn<int>("gruppe");
  QTest::addColumn<int>("bereich");
  QTest::addColumn<QString>("textDatei");
  for (const TBereichTest &b : AlleBereiche())
    QTest::newRow(qPrintable(b.textDatei)) << b.gruppe << int(b.bereich) << b.textDatei;
}

void TestData::Datensatz() {
  QFETCH(int, gruppe);
  QFETCH(int, bereich);
  QFETCH(QString, textDatei);
  const QString ordner = Laufzeit().Ordner(TBereich(bereich));
  const std::optional<QStringList> zeilen = LadeZeilen(ordner + QLatin1Char('/') + textDatei);
  QVERIFY2(zeilen.has_value(), qPrintable(textDatei));
  const QStringList bilder = BilderIn(ordner);
  QVERIFY(!bilder.isEmpty());

  QSet<QString> felder;
  for (const QString &zeile : *zeilen) {
    // One TAB, a picture field with no blanks around it, and a picture that exists.
    QCOMPARE(zeile.count(QLatin1Char('\t')), 1);
    const QString feld = zeile.section(QLatin1Char('\t'), 0, 0);
    QCOMPARE(feld.trimmed(), feld);
    QVERIFY2(bilder.contains(feld), qPrintable(zeile));
    QVERIFY(!zeile.section(QLatin1Char('\t'), 1).trimmed().isEmpty());
    felder.insert(feld);
  }
  // Where the generated pictures sit on the plates: German at +30,+4, Austrian at +34,+7 between the red edges.
  const QSize platz = gruppe == 0 ? QSize(313 - 30 - 2, 67 - 4 - 2) : QSize(313 - 34 - 2, 67 - 7 - 6);
  for (const QString &bild : bilder) {
    // Every code lies in the folder whose text file its first character chooses.
    QCOMPARE(WaehleTextDatei(gruppe, ordner, bild), ordner + QLatin1Char('/') + textDatei);
    const bool hatZeile = std::any_of(felder.cbegin(), felder.cend(), [&bild](const QString &feld) {
      return !feld.isEmpty() && bild.startsWith(feld);
    });
    QVERIFY2(hatZeile, qPrintable(bild));
    const QString vorlage = GrosseVorlage(gruppe, bild);
    QVERIFY2(QFileInfo::exists(Laufzeit().Datei(vorlage)), qPrintable(bild + QStringLiteral(" -> ") + vorlage));
    const QSize groesse = QImageReader(ordner + QLatin1Char('/') + bild).size();
    QVERIFY2(groesse.isValid() && groesse.width() <= platz.width() && groesse.height() <= platz.height(),
             qPrintable(bild));
  }
}

void TestData::DatensatzGegenFakten() {
  const QList<QStringList> deutsch = LeseFakten(QStringLiteral("kennzeichen-de.tsv"));
  const QList<QStringList> oesterreich = LeseFakten(QStringLiteral("kennzeichen-at.tsv"));
  QVERIFY(!deutsch.isEmpty() && !oesterreich.isEmpty());

  // Each fact comes back, word for word, from whatever encoding its file was written in.
  QStringList erwartet;
  QSet<QString> codes;
  for (const QStringList &f : deutsch) {
    QCOMPARE(f.size(), 4);
    const QString optional = f[3] == QLatin1String("1") ? QStringLiteral(", (optional)") : QString();
    erwartet.append(f[0] + ".jpg\t" + f[1] + optional + " [" + f[2] + "]");
    codes.insert(f[0]);
  }
  QStringList deutscheZeilen = AlleZeilen(0);
  QCOMPARE(deutscheZeilen.size(), deutsch.size());
  deutscheZeilen.sort();
  erwartet.sort();
  QCOMPARE(deutscheZeilen, erwartet);
  qsizetype deutscheBilder = 0;
  for (const TBereichTest &b : AlleBereiche())
    if (b.gruppe == 0)
      deutscheBilder += BilderIn(Laufzeit().Ordner(b.bereich)).size();
  QCOMPARE(deutscheBilder, codes.size());
  QVERIFY(deutscheZeilen.filter(QStringLiteral(", (optional)")).size() >= 1);
  QVERIFY(
      deutscheZeilen.filter(QRegularExpression(QStringLiteral("^Y\\.jpg\t.*Dienstfahrzeug der Bundeswehr"))).size() ==
      1);

  QSet<QString> oesterreichBilder;
  for (const QStringList &f : oesterreich)
    oesterreichBilder.insert(f[0] + QLatin1Char('_') + f[1] + QStringLiteral(".jpg"));
  const QStringList oesterreichZeilen = AlleZeilen(1);
  QCOMPARE(oesterreichZeilen.size(), oesterreich.size());
  QCOMPARE(BilderIn(Laufzeit().Ordner(TBereich::Oesterreich)).size(), oesterreichBilder.size());
  QCOMPARE(
      oesterreichZeilen.filter(QRegularExpression(QStringLiteral("^A_0\\.jpg\t.*Oberste Organe der Republik"))).size(),
      1);
  for (const QStringList &f : oesterreich)
    QVERIFY2(oesterreichZeilen.filter(f[0] + QLatin1Char('_') + f[1] + ".jpg\t" + f[2] + " [").size() == 1,
             qPrintable(f.join(' ')));
}

void TestData::DatensatzKodierungen() {
  QSet<QByteArray> marken;
  bool crlf = false, nurLf = false;
  for (const TBereichTest &b : AlleBereiche()) {
    QFile datei(Laufzeit().Ordner(b.bereich) + QLatin1Char('/') + b.textDatei);
    QVERIFY(datei.open(QIODevice::ReadOnly));
    const QByteArray bytes = datei.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
      marken.insert(bytes.left(bytes.startsWith("\xEF") ? 3 : 2));
    else
      marken.insert("cp1252");
    const QString text = DekodiereText(bytes);
    if (text.contains(QStringLiteral("\r\n")))
      crlf = true;
    else if (text.contains(QLatin1Char('\n')))
      nurLf = true;
  }
  QCOMPARE(marken, (QSet<QByteArray>{"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF", "cp1252"}));
  QVERIFY(crlf);
  QVERIFY(nurLf);
}

void TestData::DatensatzVorlagen() {
  struct TVorlage {
    QString pfad;
    int breite;
  };
  const QList<TVorlage> vorlagen{
      {GruppenVorlageGross(0), 313},    {GruppenVorlageKlein(0), 136}, {GrosseVorlage(0, "Y.jpg"), 313},
      {KleineVorlage(0, "Y.jpg"), 136}, {GruppenVorlageGross(1), 313}, {GruppenVorlageKlein(1), 136},
  };
  for (const TVorlage &v : vorlagen) {
    QFile datei(Laufzeit().Datei(v.pfad));
    QVERIFY2(datei.open(QIODevice::ReadOnly), qPrintable(v.pfad));
    const QByteArray kopf = datei.read(54);
    QVERIFY(kopf.startsWith("BM"));
    QCOMPARE(qFromLittleEndian<qint32>(kopf.constData() + 18), v.breite);
    QCOMPARE(qAbs(qFromLittleEndian<qint32>(kopf.constData() + 22)), 67);
    QCOMPARE(qFromLittleEndian<quint16>(kopf.constData() + 28), quint16(24));
  }
  for (const QChar land : QStringLiteral("0123456789-")) {
    const QString pfad = Laufzeit().Datei(GrosseVorlage(1, QStringLiteral("W_") + land + QStringLiteral(".jpg")));
    QCOMPARE(QImageReader(pfad).size(), QSize(313, 67));
  }
  QFile hilfe(Laufzeit().Hilfe());
  QVERIFY(hilfe.open(QIODevice::ReadOnly));
  QVERIFY(hilfe.read(5) == "%PDF-");
  QVERIFY(hilfe.size() > 10000);
}

void TestData::DatensatzReproduzierbar() {
  QTemporaryDir ziel;
  QProcess generator;
  QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
  umgebung.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  generator.setProcessEnvironment(umgebung);
  generator.start(QStringLiteral(NF_GENERATOR), {QStringLiteral(NF_FAKTEN), ziel.path()});
  QVERIFY(generator.waitForFinished(120000));
  QCOMPARE(generator.exitCode(), 0);

  int dateien = 0;
  QDirIterator it(ziel.path(), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString neu = it.next();
    const QString relativ = QDir(ziel.path()).relativeFilePath(neu);
    QFile a(neu), b(Laufzeit().Datei(relativ));
    QVERIFY(a.open(QIODevice::ReadOnly));
    QVERIFY2(b.open(QIODevice::ReadOnly), qPrintable(relativ));
    QVERIFY2(a.readAll() == b.readAll(), qPrintable(relativ));
    ++dateien;
  }
  // 723 + 121 pictures, six text files, six templates, eleven state plates and the help.
  QVERIFY(dateien > 800);
}

void TestData::FaktenWieGeprueft() {
  const QDir geprueft(QStringLiteral(NF_GEPRUEFT));
  if (!geprueft.exists())
    QSKIP("no checked facts beside the source tree");
  const QStringList dateien = geprueft.entryList(QDir::Files, QDir::Name);
  QVERIFY(!dateien.isEmpty());
  for (const QString &name : dateien) {
    QFile pruefung(geprueft.filePath(name)), kopie(QStringLiteral(NF_FAKTEN "/") + name);
    QVERIFY(pruefung.open(QIODevice::ReadOnly));
    QVERIFY2(kopie.open(QIODevice::ReadOnly), qPrintable(QStringLiteral("assets/%1 is missing").arg(name)));
    const QList<QByteArray> soll = pruefung.readAll().split('\n'), ist = kopie.readAll().split('\n');
    // Name the first line that differs, so the message says what to take over.
    for (qsizetype i = 0; i < qMax(soll.size(), ist.size()); ++i)
      QVERIFY2(soll.value(i) == ist.value(i),
               qPrintable(QStringLiteral("assets/%1 line %2 differs from the checked facts: \"%3\"")
                              .arg(name)
                              .arg(i + 1)
                              .arg(QString::fromUtf8(soll.value(i)))));
  }
}

void TestData::GepruefteZeilen_data() {
  QTest::addColumn<QString>("textDatei");
  QTest::addColumn<QString>("zeile");
  QTest::addColumn<bool>("vorhanden");
  QTest::addColumn<bool>("richtig");

  const QString ae = QStringLiteral("A-E.txt"), fj = QStringLiteral("F-J.txt"), ko = QStringLiteral("K-O.txt"),
                at = QStringLiteral("Ö-Kfz.txt");
  QTest::newRow("hu_city_since_2026") << fj << "HU.jpg\tHanau, kreisfreie Stadt (seit 2026) [Hessen]" << true << true;
  QTest::newRow("hu_old_code_stays_optional")
      << fj << "HU.jpg\tHanau, Altkennzeichen im Main-Kinzig-Kreis, (optional) [Hessen]" << true << false;
  QTest::newRow("hu_special_status_gone")
      << fj << "HU.jpg\tHanau, Sonderstatusstadt im Main-Kinzig-Kreis [Hessen]" << false << false;
  QTest::newRow("mkk_whole_district") << ko << "MKK.jpg\tMain-Kinzig-Kreis [Hessen]" << true << true;
  QTest::newRow("mkk_without_hanau_gone") << ko << "MKK.jpg\tMain-Kinzig-Kreis (ohne Hanau) [Hessen]" << false << false;
  // The codes issued since 2023: each in the range and encoding of its first letter.
  QTest::newRow("bel_utf8") << ae
                            << "BEL.jpg\tBad Belzig, Altkennzeichen im Landkreis Potsdam-Mittelmark, (optional) "
                               "[Brandenburg]"
                            << true << true;
  QTest::newRow("br_before_bra")
      << ae << "BR.jpg\tBruchsal, Altkennzeichen im Landkreis Karlsruhe, (optional) [Baden-Württemberg]" << true
      << true;
  QTest::newRow("ds_utf8")
      << ae << "DS.jpg\tDonaueschingen, Altkennzeichen im Schwarzwald-Baar-Kreis, (optional) [Baden-Württemberg]"
      << true << true;
  QTest::newRow("lk_utf16le") << ko
                              << "LK.jpg\tLübbecke, Altkennzeichen im Kreis Minden-Lübbecke, (optional) "
                                 "[Nordrhein-Westfalen]"
                              << true << true;
  QTest::newRow("mu_district_since_2026")
      << ko << "MU.jpg\tMünchen, Landkreis (zusätzliches Kennzeichen seit 2026), (optional) [Bayern]" << true << true;
  QTest::newRow("muc_city_since_2023")
      << ko << "MUC.jpg\tMünchen, kreisfreie Stadt (zusätzliches Kennzeichen seit 2023), (optional) [Bayern]" << true
      << true;
  QTest::newRow("mue_umlaut_in_k_o")
      << ko << "MÜL.jpg\tMüllheim, Altkennzeichen im Landkreis Breisgau-Hochschwarzwald, (optional) [Baden-Württemberg]"
      << true << true;
  QTest::newRow("neu_utf16le")
      << ko
      << "NEU.jpg\tTitisee-Neustadt, Altkennzeichen (ehemaliger Landkreis Hochschwarzwald) im Landkreis "
         "Breisgau-Hochschwarzwald, (optional) [Baden-Württemberg]"
      << true << true;
  QTest::newRow("at_ba_issued_again")
      << at << "BA_6.jpg\tBad Aussee, Ausseerland im Bezirk Liezen (eigenes Kennzeichen wieder seit 2025) [Steiermark]"
      << true << true;
  QTest::newRow("at_ba_no_longer_running_out")
      << at << "BA_6.jpg\tBad Aussee, auslaufend (ehemalige Politische Expositur, heute Bezirk Liezen) [Steiermark]"
      << false << false;
  QTest::newRow("at_gb_running_out")
      << at << "GB_6.jpg\tGröbming, auslaufend (ehemalige Politische Expositur, heute Bezirk Liezen) [Steiermark]"
      << true << true;
}

void TestData::GepruefteZeilen() {
  QFETCH(QString, textDatei);
  QFETCH(QString, zeile);
  QFETCH(bool, vorhanden);
  QFETCH(bool, richtig);
  const auto bereich = std::find_if(AlleBereiche().cbegin(), AlleBereiche().cend(),
                                    [&textDatei](const TBereichTest &b) { return b.textDatei == textDatei; });
  QVERIFY(bereich != AlleBereiche().cend());
  const QString ordner = Laufzeit().Ordner(bereich->bereich);
  QFile datei(ordner + QLatin1Char('/') + textDatei);
  QVERIFY(datei.open(QIODevice::ReadOnly));
  const QByteArray bytes = datei.readAll();

  // Decoded here in the encoding each file is shipped in, not by the program's own decoder.
  QString text;
  if (textDatei == QLatin1String("A-E.txt")) {
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    text = QString::fromUtf8(bytes.mid(3));
  } else if (textDatei == QLatin1String("K-O.txt")) {
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    text = QStringDecoder(QStringDecoder::Utf16LE).decode(bytes.mid(2));
  } else {
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF") && !bytes.startsWith("\xFF\xFE") && !bytes.startsWith("\xFE\xFF"));
    QStringDecoder cp1252("windows-1252");
    QVERIFY(cp1252.isValid());
    text = cp1252.decode(bytes);
  }
  const QStringList zeilen = text.split(QStringLiteral("\r\n"));
  QCOMPARE(zeilen.count(zeile), vorhanden ? 1 : 0);
  const QString bild = zeile.section(QLatin1Char('\t'), 0, 0);
  if (vorhanden)
    QVERIFY2(QFileInfo(ordner + QLatin1Char('/') + bild).isFile(), qPrintable(bild));
  if (richtig) {
    // The last line of a picture is the one the question selects by itself.
    const QString feld = bild + QLatin1Char('\t');
    QCOMPARE(zeilen.filter(QRegularExpression(QLatin1Char('^') + QRegularExpression::escape(feld))).last(), zeile);
  }
}

void TestData::HilfeText() {
  QByteArray ausgabe;
  const QString problem = Aufruf(QStringLiteral("pdftotext"), PdfText({}), ausgabe);
  QVERIFY2(problem.isEmpty(), qPrintable(problem));
  const QString text = QString::fromUtf8(ausgabe);
  QVERIFY(text.contains(QStringLiteral("Nummernfibel")));
  QVERIFY(text.contains(QStringLiteral("öffnen")));
  for (const QChar c : text)
    QVERIFY2(c.unicode() < 0xFB00 || c.unicode() > 0xFB06,
             qPrintable(QStringLiteral("ligature U+%1").arg(c.unicode(), 4, 16, QLatin1Char('0'))));
  // The examples of the question read as the program asks them.
  for (const auto &[gruppe, bild] : {std::pair{0, "M.jpg"}, std::pair{1, "W_9.jpg"}})
    QVERIFY2(text.simplified().contains(FrageText(gruppe, QString::fromLatin1(bild)).simplified()), bild);
  // Every paragraph arrives whole and in order: none is lost at a page break or cut by the page's clip.
  const QStringList absaetze = Absaetze();
  QVERIFY(absaetze.size() > 30);
  const QString ganz = OhneLeerraum(text);
  qsizetype ab = 0;
  for (const QString &absatz : absaetze) {
    const qsizetype stelle = ganz.indexOf(OhneLeerraum(absatz), ab);
    QVERIFY2(stelle >= 0, qPrintable(absatz));
    ab = stelle;
  }
}

void TestData::HilfeMetadaten() {
  QByteArray ausgabe, fehler;
  const QString problem = Aufruf(QStringLiteral("pdfinfo"), {Laufzeit().Hilfe()}, ausgabe, &fehler);
  QVERIFY2(problem.isEmpty(), qPrintable(problem));
  const QString info = QString::fromUtf8(ausgabe);
  // Nothing in the file that poppler finds worth a warning.
  QVERIFY2(fehler.isEmpty(), fehler.constData());
  const auto feld = [&info](const char *name) {
    return QRegularExpression(QStringLiteral("^%1: +(.*)$").arg(QLatin1String(name)),
                              QRegularExpression::MultilineOption)
        .match(info)
        .captured(1);
  };
  QCOMPARE(feld("Title"), QStringLiteral("Nummernfibel – Hilfe"));
  QVERIFY(!feld("Author").isEmpty());
  QVERIFY(feld("Creator").startsWith(QStringLiteral("Nummernfibel ")));

  QFile datei(Laufzeit().Hilfe());
  QVERIFY(datei.open(QIODevice::ReadOnly));
  const QByteArray pdf = datei.readAll();
  const qsizetype katalog = pdf.indexOf("/Type /Catalog");
  QVERIFY(katalog > 0);
  QCOMPARE(pdf.mid(pdf.lastIndexOf("<<", katalog), pdf.indexOf(">>", katalog) - pdf.lastIndexOf("<<", katalog))
               .count("/Lang (de-DE)"),
           1);
  // Every object the table lists starts where the table says; poppler would mend wrong offsets silently.
  const qsizetype xref = pdf.lastIndexOf("\nxref\n0 ");
  QVERIFY(xref > 0);
  const QList<QByteArray> kopf = pdf.mid(xref + 6, pdf.indexOf('\n', xref + 6) - xref - 6).split(' ');
  const int anzahl = kopf.value(1).toInt();
  QVERIFY(anzahl > 10);
  const qsizetype eintraege = pdf.indexOf('\n', xref + 6) + 1;
  for (int i = 1; i < anzahl; ++i) {
    const QByteArray eintrag = pdf.mid(eintraege + 20 * i, 20);
    if (eintrag.at(17) != 'n')
      continue;
    const QByteArray objekt = QByteArray::number(i) + " 0 obj";
    QVERIFY2(pdf.mid(eintrag.left(10).toLongLong(), objekt.size()) == objekt, objekt.constData());
  }
  const qsizetype start = pdf.lastIndexOf("startxref\n") + 10;
  QCOMPARE(pdf.mid(start, pdf.indexOf('\n', start) - start).trimmed().toLongLong(), xref + 1);
}

void TestData::HilfeSeitenumbrueche() {
  QByteArray info;
  QString problem = Aufruf(QStringLiteral("pdfinfo"), {Laufzeit().Hilfe()}, info);
  QVERIFY2(problem.isEmpty(), qPrintable(problem));
  const int seiten = QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)$"), QRegularExpression::MultilineOption)
                         .match(QString::fromUtf8(info))
                         .captured(1)
                         .toInt();
  QVERIFY(seiten >= 2);
  const QStringList absaetze = Absaetze();
  QVERIFY(!absaetze.isEmpty());
  for (int seite = 1; seite <= seiten; ++seite) {
    const QString nummer = QString::number(seite);
    QByteArray text;
    problem = Aufruf(QStringLiteral("pdftotext"), PdfText({QStringLiteral("-f"), nummer, QStringLiteral("-l"), nummer}),
                     text);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    QStringList zeilen;
    for (const QString &zeile : QString::fromUtf8(text).split(QLatin1Char('\n')))
      if (!zeile.simplified().isEmpty())
        zeilen.append(zeile.simplified());
    QVERIFY(zeilen.size() > 1);
    QCOMPARE(zeilen.takeLast(), nummer);
    // A page opens with the start of a paragraph, never with its tail: no lone last line of the page before.
    const QString erste = zeilen.first();
    QVERIFY2(seite == 1 || std::any_of(absaetze.cbegin(), absaetze.cend(),
                                       [&erste](const QString &absatz) { return absatz.startsWith(erste); }),
             qPrintable(QStringLiteral("page %1 starts inside a paragraph: %2").arg(seite).arg(erste)));
    // Nor does it close with a paragraph's first line alone.
    const QString letzte = zeilen.last();
    QVERIFY2(seite == seiten || std::any_of(absaetze.cbegin(), absaetze.cend(),
                                            [&letzte](const QString &absatz) { return absatz.endsWith(letzte); }),
             qPrintable(QStringLiteral("page %1 ends inside a paragraph: %2").arg(seite).arg(letzte)));
  }
}

namespace {
// A progress line with every column: box, answered that many hours before 2026-12-07 12:00 UTC (none: unknown).
QByteArray LernZeile(const char *bild, int kasten, std::optional<int> vorStunden = std::nullopt) {
  const QDateTime mittag(QDate(2026, 12, 7), QTime(12, 0), Qt::UTC);
  const QString zeit = vorStunden ? mittag.addSecs(-3600 * *vorStunden).toString(Qt::ISODate) : QString();
  return QStringLiteral("Deutschland\t%1\t%2\t2026-12-08T12:00:00Z\t1\t0\t%3\t%3\n")
      .arg(QLatin1String(bild))
      .arg(kasten)
      .arg(zeit)
      .toUtf8();
}
} // namespace

void TestData::LernstandVereinen_data() {
  QTest::addColumn<QByteArray>("unser");
  QTest::addColumn<QByteArray>("platte");
  QTest::addColumn<QStringList>("erwartet"); // picture:box, in order
  QTest::newRow("only_on_disk_added") << LernZeile("A.jpg", 2, 1) << LernZeile("B.jpg", 3, 1)
                                      << QStringList{"A.jpg:2", "B.jpg:3"};
  QTest::newRow("later_on_disk_wins") << LernZeile("A.jpg", 2, 2) << LernZeile("A.jpg", 3, 1) << QStringList{"A.jpg:3"};
  QTest::newRow("ours_later_stays") << LernZeile("A.jpg", 2, 1) << LernZeile("A.jpg", 3, 2) << QStringList{"A.jpg:2"};
  QTest::newRow("reset_newer_wins") << LernZeile("A.jpg", 4, 2) << LernZeile("A.jpg", 0, 1) << QStringList{"A.jpg:0"};
  QTest::newRow("reset_older_loses") << LernZeile("A.jpg", 1, 1) << LernZeile("A.jpg", 0, 2) << QStringList{"A.jpg:1"};
  QTest::newRow("unknown_time_is_earliest")
      << LernZeile("A.jpg", 2) << LernZeile("A.jpg", 3, 9) << QStringList{"A.jpg:3"};
}

void TestData::LernstandVereinen() {
  QFETCH(QByteArray, unser);
  QFETCH(QByteArray, platte);
  QFETCH(QStringList, erwartet);
  TLernstand stand = LiesLernstand("Neue am Tag\t5\n" + unser);
  stand.Vereine(LiesLernstand("Neue am Tag\t9\nRichtung\tKreis zu Kennzeichen\n" + platte));
  QStringList kaesten;
  for (const TLernEintrag &e : stand.Eintraege())
    kaesten << e.Bild + QLatin1Char(':') + QString::number(e.Kasten);
  QCOMPARE(kaesten, erwartet);
  QCOMPARE(stand.Einstellung, LiesLernstand("Neue am Tag\t5\n").Einstellung);
  QCOMPARE(bool(stand.Finde(QStringLiteral("Deutschland"), QStringLiteral("A.jpg"))), !erwartet.contains("A.jpg:0"));
}

void TestData::LernstandEinstellungen_data() {
  QTest::addColumn<QByteArray>("inhalt");
  QTest::addColumn<QString>("einstellung"); // new per day|all answers|reverse|Länder|route
  QTest::newRow("old_six_columns") << QByteArray("Deutschland\tA.jpg\t2\t2026-12-08T12:00:00Z\t1\t0\n") << "20|0|0||";
  QTest::newRow("every_setting") << QByteArray("Neue am Tag\t7\nAntworten\talle\nRichtung\tKreis zu Kennzeichen\n"
                                               "L\xc3\xa4nder\tBayern;Tirol\nRoute\tM FS\n")
                                 << "7|1|1|Bayern;Tirol|M FS";
  QTest::newRow("garbage_keeps_defaults")
      << QByteArray("Neue am Tag\tviele\nAntworten\tzw\xc3\xb6lf\nRichtung\tquer\n") << "20|0|0||";
  QTest::newRow("bounded") << QByteArray("Neue am Tag\t5000\n") << "999|0|0||";
  QTest::newRow("unknown_date_column_and_newer_setting")
      << QByteArray("Farbe\tblau\nDeutschland\tA.jpg\t2\t2026-12-08T12:00:00Z\t1\t0\tgestern\t2026-12-01T10:00:00Z\n")
      << "20|0|0||";
}

void TestData::LernstandEinstellungen() {
  QFETCH(QByteArray, inhalt);
  QFETCH(QString, einstellung);
  const TLernstand stand = LiesLernstand(inhalt);
  const TUebungsEinstellung &e = stand.Einstellung;
  QCOMPARE(QStringList({QString::number(e.NeueJeTag), QString::number(e.AlleAntworten), QString::number(e.Umgekehrt),
                        e.Laender.join(QLatin1Char(';')), e.Route})
               .join(QLatin1Char('|')),
           einstellung);
  // Every line that held a plate still does; a newer version's setting goes back as it came.
  QCOMPARE(stand.Eintraege().size(), int(inhalt.count("A.jpg")));
  const QByteArray geschrieben = SchreibeLernstand(stand);
  QCOMPARE(geschrieben.contains("\nFarbe\tblau\n"), inhalt.contains("Farbe"));
  QCOMPARE(SchreibeLernstand(LiesLernstand(geschrieben)), geschrieben);
}

// Two copies of the program on one folder, each saving after the other: no answer is lost.
void TestData::LernstandZweiKopien() {
  QTemporaryDir ordner;
  const QString pfad = ordner.filePath(QStringLiteral("Nummernfibel-Lernstand.txt"));
  TLernstandDatei erste(pfad);
  TLernstandDatei zweite(pfad);
  TLernstand a = erste.Lade();
  TLernstand b = zweite.Lade();
  const QString d = QStringLiteral("Deutschland");
  a.Hole(d, QStringLiteral("A.jpg")).Zuletzt = QDateTime::currentDateTimeUtc();
  QVERIFY(erste.Speichere(a));
  b.Hole(d, QStringLiteral("B.jpg"));
  QVERIFY(zweite.Speichere(b));
  QVERIFY(b.Finde(d, QStringLiteral("A.jpg")));
  a.Hole(d, QStringLiteral("C.jpg"));
  QVERIFY(erste.Speichere(a));
  for (const TLernstand &stand : {a, TLernstandDatei(pfad).Lade()})
    QCOMPARE(stand.Eintraege().size(), 3);
}

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
