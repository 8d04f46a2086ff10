// The pause component: how long it waits, what runs meanwhile, nested waits and a window closed
// in the middle of a wait; the practice window and the reverse question.
#include "widgets/Machpaus.h"

#include "quiz/rueckfrage.h"
#include "quiz/uebungsfenster.h"
#include "widgets/zugang.h"
#include "zeugen.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <climits>

namespace {
// A timer tick is never early, but the clock that measures it may round a millisecond down.
constexpr qint64 Toleranz = 2;

QTimer *UhrVon(TMachPause &pause) { return pause.findChild<QTimer *>(QStringLiteral("FTimer")); }
} // namespace

class TestWidgets : public QObject {
  Q_OBJECT

private slots:
  void neueKomponente();
  void pauseForWartet_data();
  void pauseForWartet();
  void nichtPositivKehrtSofortZurueck_data();
  void nichtPositivKehrtSofortZurueck();
  void ereignisseLaufenWaehrendDerPause();
  void verschachtelteWarteZeiten();
  void fensterGeschlossenWaehrendDerPause();
  void uebungsFenster();
  void kleinesKennzeichen_data();
  void kleinesKennzeichen();
  void rueckfrage();
};

void TestWidgets::neueKomponente() {
  QObject besitzer;
  auto *pause = new TMachPause(&besitzer);
  QCOMPARE(pause->Interval(), 1000);
  QVERIFY(UhrVon(*pause));
  QVERIFY(!UhrVon(*pause)->isActive());
  pause->SetInterval(250);
  QCOMPARE(pause->Interval(), 250);
}

void TestWidgets::pauseForWartet_data() {
  QTest::addColumn<int>("vorher");
  QTest::addColumn<int>("dauer");
  QTest::newRow("shorter_than_layout") << 1000 << 100;
  QTest::newRow("same_as_current") << 100 << 100;
  QTest::newRow("longer_than_current") << 40 << 150;
}

void TestWidgets::pauseForWartet() {
  QFETCH(int, vorher);
  QFETCH(int, dauer);
  TMachPause pause;
  pause.SetInterval(vorher);

  QElapsedTimer uhr;
  uhr.start();
  pause.PauseFor(dauer);
  const qint64 erste = uhr.elapsed();
  QVERIFY2(erste >= dauer - Toleranz, qPrintable(QString::number(erste)));
  QVERIFY2(erste < 1000, qPrintable(QString::number(erste)));
  // The interval stays after the wait, and the timer is off again: no tick comes later.
  QCOMPARE(pause.Interval(), dauer);
  QVERIFY(!UhrVon(pause)->isActive());

  uhr.restart();
  pause.Pause();
  QVERIFY(uhr.elapsed() >= dauer - Toleranz);
  QVERIFY(!UhrVon(pause)->isActive());
}

void TestWidgets::nichtPositivKehrtSofortZurueck_data() {
  QTest::addColumn<int>("dauer");
  QTest::newRow("zero") << 0;
  QTest::newRow("minus_one") << -1;
  QTest::newRow("int_min") << INT_MIN;
}

void TestWidgets::nichtPositivKehrtSofortZurueck() {
  QFETCH(int, dauer);
  TMachPause pause;
  QElapsedTimer uhr;
  uhr.start();
  pause.PauseFor(dauer);
  // Such a wait could never end; it must not start and must not touch the interval.
  QVERIFY(uhr.elapsed() < 500);
  QCOMPARE(pause.Interval(), 1000);
  QVERIFY(!UhrVon(pause)->isActive());

  // The same holds for a plain wait on such an interval.
  pause.SetInterval(dauer);
  pause.Pause();
  QVERIFY(uhr.elapsed() < 500);
  QVERIFY(!UhrVon(pause)->isActive());
}

void TestWidgets::ereignisseLaufenWaehrendDerPause() {
  TMachPause pause;
  bool gelaufen = false;
  qint64 gelaufenNach = -1;
  QElapsedTimer uhr;
  uhr.start();
  QTimer::singleShot(10, &pause, [&] {
    gelaufen = true;
    gelaufenNach = uhr.elapsed();
  });
  pause.PauseFor(120);
  QVERIFY(gelaufen);
  QVERIFY(gelaufenNach < uhr.elapsed());
  QVERIFY(uhr.elapsed() >= 120 - Toleranz);
}

void TestWidgets::verschachtelteWarteZeiten() {
  // A handler that runs during a wait starts a second wait on the same component.
  TMachPause pause;
  QStringList reihenfolge;
  qint64 innenBeginn = -1;
  qint64 innenEnde = -1;
  QElapsedTimer uhr;
  uhr.start();
  QTimer::singleShot(40, &pause, [&] {
    innenBeginn = uhr.elapsed();
    pause.PauseFor(100);
    innenEnde = uhr.elapsed();
    reihenfolge << QStringLiteral("innen");
  });
  pause.PauseFor(100);
  const qint64 aussenEnde = uhr.elapsed();
  reihenfolge << QStringLiteral("aussen");

  QCOMPARE(reihenfolge, QStringList({QStringLiteral("innen"), QStringLiteral("aussen")}));
  QVERIFY(innenBeginn >= 40 - Toleranz);
  // The inner wait restarted the timer: its full interval counts from its own start, and the
  // outer wait ended with that same tick, not with its own first one at 100.
  QVERIFY2(innenEnde - innenBeginn >= 100 - Toleranz, qPrintable(QString::number(innenEnde - innenBeginn)));
  QVERIFY2(aussenEnde >= innenBeginn + 100 - Toleranz, qPrintable(QString::number(aussenEnde)));
  QVERIFY(aussenEnde >= innenEnde);
  QVERIFY(!UhrVon(pause)->isActive());
}

void TestWidgets::fensterGeschlossenWaehrendDerPause() {
  QWidget fenster;
  fenster.show();
  QVERIFY(QTest::qWaitForWindowExposed(&fenster));
  TMachPause pause(&fenster);
  bool fertig = false;
  qint64 gewartet = -1;
  bool sichtbarNachWarten = true;

  QTimer::singleShot(0, &fenster, [&] {
    QTimer::singleShot(20, &fenster, [&] { fenster.close(); });
    QElapsedTimer uhr;
    uhr.start();
    pause.PauseFor(150);
    gewartet = uhr.elapsed();
    sichtbarNachWarten = fenster.isVisible();
    fertig = true; // the rest of the caller's work, done after the window has gone
  });
  // Ends the loop only if the program failed to end by itself.
  QTimer notbremse;
  notbremse.setSingleShot(true);
  connect(&notbremse, &QTimer::timeout, this, [] { QCoreApplication::exit(7); });
  notbremse.start(10000);

  const int ergebnis = QApplication::exec();
  notbremse.stop();
  QCOMPARE(ergebnis, 0);
  QVERIFY(fertig);
  QVERIFY(!sichtbarNachWarten);
  QVERIFY2(gewartet >= 150 - Toleranz, qPrintable(QString::number(gewartet)));
}

// Every setting the learner changes is reported once, none that the program shows; the chart speaks
// its rows; the reset asks first.
void TestWidgets::uebungsFenster() {
  TZeugen zeugen;
  TUebungsFenster fenster(nullptr);
  fenster.SetzeLaender({QStringLiteral("Bayern"), QStringLiteral("Hessen"), QStringLiteral("Tirol")});
  TUebungsEinstellung gezeigt;
  gezeigt.Laender = QStringList{QStringLiteral("Tirol")};
  gezeigt.Route = QStringLiteral("M FS");
  gezeigt.NeueJeTag = 7;
  gezeigt.Umgekehrt = true;
  QSignalSpy geaendert(&fenster, &TUebungsFenster::EinstellungGeaendert);
  QSignalSpy gruppierung(&fenster, &TUebungsFenster::GruppierungGeaendert);
  QSignalSpy zurueck(&fenster, &TUebungsFenster::ZuruecksetzenBestaetigt);
  fenster.SetzeEinstellung(gezeigt);
  QCOMPARE(fenster.Einstellung(), gezeigt);
  fenster.show();
  QVERIFY(QTest::qWaitForWindowActive(&fenster));

  auto *laender = fenster.findChild<QListWidget *>(QStringLiteral("LaenderListe"));
  laender->setFocus();
  laender->setCurrentRow(0);
  QTest::keyClick(laender, Qt::Key_Space);
  QCOMPARE(geaendert.count(), 1);
  QCOMPARE(fenster.Einstellung().Laender, (QStringList{QStringLiteral("Bayern"), QStringLiteral("Tirol")}));
  QCOMPARE(laender->item(0)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("Bayern, ausgewählt"));

  // The route counts at Enter, once, and Enter closes nothing.
  auto *route = fenster.findChild<QLineEdit *>(QStringLiteral("RoutenEdit"));
  route->setFocus();
  QTest::keyClicks(route, QStringLiteral(" LA"));
  QCOMPARE(geaendert.count(), 1);
  QTest::keyClick(route, Qt::Key_Return);
  QCOMPARE(geaendert.count(), 2);
  QCOMPARE(geaendert.last().at(0).value<TUebungsEinstellung>().Route, QStringLiteral("M FS LA"));
  QVERIFY(fenster.isVisible());
  auto *neue = fenster.findChild<QSpinBox *>(QStringLiteral("NeueSpinBox"));
  neue->setFocus(); // the route's editing ends with no change
  QTest::keyClick(neue, Qt::Key_Up);
  fenster.findChild<QRadioButton *>(QStringLiteral("VorwaertsKnopf"))->click();
  QCOMPARE(geaendert.count(), 4);
  QCOMPARE(fenster.Einstellung().NeueJeTag, 8);
  QVERIFY(!fenster.Einstellung().Umgekehrt);

  fenster.findChild<QComboBox *>(QStringLiteral("GruppierungBox"))->setCurrentIndex(1);
  QCOMPARE(gruppierung.count(), 1);
  QVERIFY(!fenster.NachLand());

  TUebersichtZeile bayern{QStringLiteral("Bayern"), 80, {3, 5, 0, 1, 0}, 2};
  fenster.SetzeUebersicht({bayern, TUebersichtZeile{QStringLiteral("Tirol"), 2, {}, 0}}, QStringLiteral("Auswahl"));
  auto *uebersicht = fenster.findChild<QListWidget *>(QStringLiteral("UebersichtListe"));
  QCOMPARE(uebersicht->item(0)->data(Qt::AccessibleTextRole).toString(),
           QStringLiteral("Bayern: 80 neu, Kasten 1: 3, Kasten 2: 5, Kasten 3: 0, Kasten 4: 1, Kasten 5: 0, "
                          "2 heute fällig"));
  QCOMPARE(UebersichtZahlenText(bayern), QStringLiteral("80 neu · 3 · 5 · 0 · 1 · 0 · 2 heute fällig"));
  QVERIFY(!uebersicht->grab().isNull());

  auto *zuruecksetzen = fenster.findChild<QPushButton *>(QStringLiteral("ZuruecksetzenBtn"));
  zeugen.FragenAntwort = false;
  zuruecksetzen->click();
  QCOMPARE(zurueck.count(), 0);
  QVERIFY2(zeugen.Fragen.value(0).contains(QStringLiteral("(91 Kennzeichen)")), qPrintable(zeugen.Fragen.value(0)));
  zeugen.FragenAntwort = true;
  zuruecksetzen->click();
  QCOMPARE(zurueck.count(), 1);
  QCOMPARE(geaendert.count(), 4);
  QTest::keyClick(uebersicht, Qt::Key_Escape);
  QVERIFY(!fenster.isVisible());
}

// The code's picture lies inside the template in every group; a missing picture shows the code.
void TestWidgets::kleinesKennzeichen_data() {
  QTest::addColumn<int>("gruppe");
  QTest::newRow("deutsch") << 0;
  QTest::newRow("oesterreich") << 1;
  QTest::newRow("keine_gruppe") << 7;
}

void TestWidgets::kleinesKennzeichen() {
  QFETCH(int, gruppe);
  const TRueckWahl wahl = RueckWahlFuer(gruppe, QStringLiteral("AB"), QStringLiteral("/fehlt.jpg"), QString());
  const QRect feld(wahl.Versatz, wahl.BildGroesse);
  QVERIFY(QRect(0, 0, 136, 67).contains(feld));
  QVERIFY(feld.width() > 60 && feld.height() > 40);
  const QImage platte = ZeichneKleinesKennzeichen(wahl);
  QCOMPARE(platte.size(), QSize(136, 67));
  int dunkel = 0;
  for (int y = feld.top(); y <= feld.bottom(); ++y)
    for (int x = feld.left(); x <= feld.right(); ++x)
      dunkel += qGray(platte.pixel(x, y)) < 100;
  QVERIFY(dunkel > 20);
}

// Keys 1–6 and the typed code judge, only the first judgement of a question counts, the right plate
// shows beside a wrong one; a plate without its picture still shows.
void TestWidgets::rueckfrage() {
  QTemporaryDir ordner;
  QImage vorlage(136, 67, QImage::Format_RGB32);
  vorlage.fill(Qt::white);
  QVERIFY(vorlage.save(ordner.filePath(QStringLiteral("klein.bmp"))));
  QImage code(180, 59, QImage::Format_RGB32);
  code.fill(Qt::black);
  QVERIFY(code.save(ordner.filePath(QStringLiteral("AB.jpg"))));
  QVector<TRueckWahl> wahl;
  for (const char *name : {"AB", "AC", "AA", "AE"})
    wahl << RueckWahlFuer(0, QLatin1String(name), ordner.filePath(QLatin1String(name) + QStringLiteral(".jpg")),
                          ordner.filePath(QStringLiteral("klein.bmp")));

  TRueckfrage frage(nullptr);
  QSignalSpy urteile(&frage, &TRueckfrage::Beurteilt);
  frage.Stelle(QStringLiteral("Aachen"), wahl, QStringLiteral("AC"));
  frage.show();
  QVERIFY(QTest::qWaitForWindowActive(&frage));
  QVERIFY(frage.Offen());
  auto knopf = [&](int n) { return frage.findChild<QPushButton *>(QStringLiteral("RueckWahl%1").arg(n)); };
  QVERIFY(knopf(4)->isVisible() && !knopf(5)->isVisible());
  QCOMPARE(knopf(1)->accessibleName(), QStringLiteral("Kennzeichen AB"));
  QCOMPARE(knopf(1)->icon().availableSizes().value(0), QSize(136, 67));

  frage.setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  QCOMPARE(QApplication::focusWidget(), knopf(2));
  QTest::keyClick(knopf(2), Qt::Key_6); // no sixth plate
  QCOMPARE(urteile.count(), 0);
  QTest::keyClick(knopf(2), Qt::Key_1);
  QCOMPARE(knopf(1)->property("rahmen").toString(), QColor(220, 0, 0).name());
  QCOMPARE(knopf(2)->property("rahmen").toString(), QColor(0, 150, 0).name());
  QTest::keyClick(knopf(2), Qt::Key_Space);
  QCOMPARE(urteile.count(), 2);
  QCOMPARE(urteile.at(0), (QVariantList{false, QStringLiteral("AB"), true}));
  QCOMPARE(urteile.at(1), (QVariantList{true, QStringLiteral("AC"), false}));
  QVERIFY(!frage.Offen());
  QCOMPARE(frage.findChild<TAnsage *>(QStringLiteral("RueckAnsage"))->Text(), QStringLiteral("Richtig: AC"));

  frage.Stelle(QStringLiteral("Aachen"), wahl, QStringLiteral("AC"));
  auto *feld = frage.findChild<QLineEdit *>(QStringLiteral("RueckEdit"));
  feld->setFocus();
  QTest::keyClick(feld, Qt::Key_Return);
  QTest::keyClicks(feld, QStringLiteral(" 1ab "));
  QTest::keyClick(feld, Qt::Key_Return);
  QCOMPARE(urteile.count(), 3);
  QCOMPARE(urteile.at(2), (QVariantList{false, QStringLiteral("1AB"), true}));
  QCOMPARE(frage.findChild<QLabel *>(QStringLiteral("RueckErgebnis"))->text(),
           QStringLiteral("Falsch: 1AB. Richtig wäre AC"));
  QCOMPARE(knopf(2)->property("rahmen").toString(), QColor(0, 150, 0).name());
  feld->setText(QStringLiteral(" ac"));
  QTest::keyClick(feld, Qt::Key_Return);
  QCOMPARE(urteile.at(3), (QVariantList{true, QStringLiteral("AC"), false}));
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
