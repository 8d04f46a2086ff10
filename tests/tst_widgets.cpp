// The pause component: how long it waits, what runs meanwhile, nested waits and a window closed
// in the middle of a wait; the practice window and the reverse question.
#include "widgets/Machpaus.h"

#include "quiz/rueckfrage.h"
#include "quiz/uebungsfenster.h"
#include "widgets/zugang.h"
#include "zeugen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <climits>

namespace {
// A timer tick is never early, but the clock that measures it may round a millisecond down.
constexpr qint64 Toleranz = 2;

QTimer *UhrVon(TMachPause &pause) { return pause.findChild<QTimer *>(QStringLiteral("FTimer")); }
template <typename T> T *Kind(QWidget &eltern, const char *name) { return eltern.findChild<T *>(QLatin1String(name)); }
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
// its rows; the reset asks first; Enter ends an entry and closes nothing.
void TestWidgets::uebungsFenster() {
  TZeugen zeugen;
  TUebungsFenster fenster(nullptr);
  fenster.SetzeLaender({QStringLiteral("Bayern"), QStringLiteral("Hessen"), QStringLiteral("Tirol")});
  const TUebungsEinstellung gezeigt{{QStringLiteral("Tirol")}, QStringLiteral("M FS"), 7, false, true};
  QSignalSpy geaendert(&fenster, &TUebungsFenster::EinstellungGeaendert);
  QSignalSpy zurueck(&fenster, &TUebungsFenster::ZuruecksetzenBestaetigt);
  fenster.SetzeEinstellung(gezeigt);
  QCOMPARE(fenster.Einstellung(), gezeigt);
  fenster.show();
  QVERIFY(QTest::qWaitForWindowActive(&fenster));
  auto *laender = Kind<QListWidget>(fenster, "LaenderListe");
  laender->setCurrentRow(0);
  QTest::keyClick(laender, Qt::Key_Space);
  QCOMPARE(fenster.Einstellung().Laender, (QStringList{QStringLiteral("Bayern"), QStringLiteral("Tirol")}));
  QCOMPARE(laender->item(0)->data(Qt::AccessibleTextRole).toString(), QStringLiteral("Bayern, ausgewählt"));
  auto *route = Kind<QLineEdit>(fenster, "RoutenEdit");
  route->setFocus();
  QTest::keyClicks(route, QStringLiteral(" LA"));
  QCOMPARE(geaendert.count(), 1);
  QTest::keyClick(route, Qt::Key_Return);
  QCOMPARE(geaendert.last().at(0).value<TUebungsEinstellung>().Route, QStringLiteral("M FS LA"));
  Kind<QWidget>(fenster, "NeueSpinBox")->setFocus(); // leaves the route unchanged
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  Kind<QAbstractButton>(fenster, "VorwaertsKnopf")->click();
  QCOMPARE(geaendert.count(), 4);
  QCOMPARE(fenster.Einstellung().NeueJeTag, 8);
  QVERIFY(fenster.isVisible() && !fenster.Einstellung().Umgekehrt);
  const TUebersichtZeile bayern{QStringLiteral("Bayern"), 80, {3, 5, 0, 1, 0}, 2};
  fenster.SetzeUebersicht({bayern, {QStringLiteral("Tirol"), 2, {}, 0}}, QStringLiteral("Auswahl"));
  auto *uebersicht = Kind<QListWidget>(fenster, "UebersichtListe");
  QCOMPARE(uebersicht->item(0)->data(Qt::AccessibleTextRole).toString(),
           QStringLiteral("Bayern: 80 neu, Kasten 1: 3, Kasten 2: 5, Kasten 3: 0, Kasten 4: 1, Kasten 5: 0, "
                          "2 heute fällig"));
  zeugen.FragenAntwort = false;
  Kind<QAbstractButton>(fenster, "ZuruecksetzenBtn")->click();
  QVERIFY(zurueck.isEmpty() && zeugen.Fragen.value(0).contains(QStringLiteral("(91 Kennzeichen)")));
  zeugen.FragenAntwort = true;
  Kind<QAbstractButton>(fenster, "ZuruecksetzenBtn")->click();
  QCOMPARE(zurueck.count(), 1);
  QTest::keyClick(uebersicht, Qt::Key_Escape);
  QVERIFY(!fenster.isVisible());
}

// Keys 1–6 and the typed code judge, only a question's first judgement counts, the right plate shows
// beside a wrong one; plates without their picture show the code, inside the template in every group.
void TestWidgets::rueckfrage() {
  QVector<TRueckWahl> wahl;
  for (const auto &[gruppe, code] :
       std::initializer_list<std::pair<int, const char *>>{{7, "AB"}, {1, "AC"}, {0, "AA"}, {0, "AE"}}) {
    wahl << RueckWahlFuer(gruppe, QLatin1String(code), QStringLiteral(":/fehlt.jpg"), QString());
    const QRect feld(wahl.last().Versatz, wahl.last().BildGroesse);
    QVERIFY(QRect(0, 0, 136, 67).contains(feld));
    QImage leer(feld.size(), QImage::Format_RGB32);
    leer.fill(Qt::white);
    QVERIFY(ZeichneKleinesKennzeichen(wahl.last()).copy(feld) != leer); // the code as text
  }
  TRueckfrage frage(nullptr);
  QSignalSpy urteile(&frage, &TRueckfrage::Beurteilt);
  frage.Stelle(QStringLiteral("Aachen"), wahl, QStringLiteral("AC"));
  frage.show();
  QVERIFY(QTest::qWaitForWindowActive(&frage));
  auto knopf = [&](int n) { return Kind<QAbstractButton>(frage, qPrintable(QStringLiteral("RueckWahl%1").arg(n))); };
  QVERIFY(frage.Offen() && knopf(4)->isVisible() && !knopf(5)->isVisible());
  QCOMPARE(knopf(1)->accessibleName(), QStringLiteral("Kennzeichen AB"));
  QCOMPARE(knopf(1)->icon().availableSizes().value(0), QSize(136, 67));
  frage.setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
  QCOMPARE(QApplication::focusWidget(), knopf(2));
  QTest::keyClick(knopf(2), Qt::Key_6); // no sixth plate
  QTest::keyClick(knopf(2), Qt::Key_1);
  QVERIFY(knopf(1)->property("rahmen") == "#dc0000" && knopf(2)->property("rahmen") == "#009600");
  QTest::keyClick(knopf(2), Qt::Key_Space);
  QCOMPARE(urteile.at(0), (QVariantList{false, QStringLiteral("AB"), true}));
  QCOMPARE(urteile.at(1), (QVariantList{true, QStringLiteral("AC"), false}));
  QCOMPARE(Kind<TAnsage>(frage, "RueckAnsage")->Text(), QStringLiteral("Richtig: AC"));
  frage.Stelle(QStringLiteral("Aachen"), wahl, QStringLiteral("AC"));
  auto *feld = Kind<QLineEdit>(frage, "RueckEdit");
  feld->setFocus();
  QTest::keyClick(feld, Qt::Key_Return);
  QTest::keyClicks(feld, QStringLiteral(" 1ab "));
  QTest::keyClick(feld, Qt::Key_Return);
  QCOMPARE(urteile.at(2), (QVariantList{false, QStringLiteral("1AB"), true}));
  QCOMPARE(Kind<QWidget>(frage, "RueckErgebnis")->accessibleName(), QStringLiteral("Falsch: 1AB. Richtig wäre AC"));
  feld->setText(QStringLiteral(" ac"));
  QTest::keyClick(feld, Qt::Key_Return);
  QCOMPARE(urteile.at(3), (QVariantList{true, QStringLiteral("AC"), false}));
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
