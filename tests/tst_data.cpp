// Rules of the data folder: text-file choice, decoding, line splitting, templates, and the generated data set.
#include "data/datenordner.h"
#include "data/textdatei.h"
#include "data/vorlagen.h"

#include <QTemporaryDir>
#include <QtTest>

class TestData : public QObject {
  Q_OBJECT

private slots:
  void TextDateiNamen_data();
  void TextDateiNamen();
  void TextDateiPfad();
  void Vorlagen_data();
  void Vorlagen();
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

QTEST_GUILESS_MAIN(TestData)
#include "tst_data.moc"
