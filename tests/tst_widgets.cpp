// The pause component: how long it waits, what runs meanwhile, nested waits and a window closed
// in the middle of a wait.
#include "widgets/Machpaus.h"

#include <QApplication>
#include <QElapsedTimer>
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

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
