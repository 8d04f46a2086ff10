// What the user waits for when the gallery loads: the shown window (offscreen) from the load until its
// event queue is idle, cold (empty thumbnail cache) and warm (unchanged files), for 165, 2 000 and
// 20 000 plate pictures and 2 000 photos. Beside it, in the same run: the decode floor (the DCT-scaled
// decoding alone) with as many threads as the load uses and with one thread, a plain Qt gallery
// (QImageReader::setScaledSize into one painted view, same threads, no cache), and the peak memory per
// tile above the empty window. "Neustart" is the program started again with the folder's thumbnail
// pack on disk: a new process per run, its load timed in wall and CPU time.
#include "app/tmainform.h"
#include "gallery/galerie.h"
#include "quiz/frage.h"
#include "quiz/ueben.h"
#include "search/suche.h"
#include "data/jpegbild.h"
#include "gallery/galerieregeln.h"
#include "gallery/vorschaucache.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QPaintEvent>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#ifdef Q_OS_LINUX
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

constexpr int PlattenMuster = 165; // distinct plate pictures; larger folders repeat them as hard links
constexpr int FotoMuster = 4;

// CPU time of the whole process (every thread) in nanoseconds.
qint64 CpuZeit() {
#ifdef Q_OS_LINUX
  rusage nutzung{};
  getrusage(RUSAGE_SELF, &nutzung);
  return (qint64(nutzung.ru_utime.tv_sec) + nutzung.ru_stime.tv_sec) * 1000000000 +
         (qint64(nutzung.ru_utime.tv_usec) + nutzung.ru_stime.tv_usec) * 1000;
#else
  return 0;
#endif
}

struct TUmgebung {
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
  QString Leer;
  QMap<int, QString> Platten; // by number of files
  QString Fotos;
};
TUmgebung *Umgebung = nullptr;

// How many threads the gallery's load decodes with, and so the fair floor and peer.
int LadeThreads() { return VorschauThreads(); }

QByteArray AlsJpeg(const QImage &bild) {
  QByteArray daten;
  QBuffer puffer(&daten);
  puffer.open(QIODevice::WriteOnly);
  bild.save(&puffer, "JPG", 90);
  return daten;
}

// Black letters on white with a border, about the size of the generated plate pictures.
QByteArray Platte(int i) {
  QImage bild(180, 60, QImage::Format_RGB32);
  bild.fill(Qt::white);
  QPainter maler(&bild);
  maler.setPen(QPen(Qt::black, 3));
  maler.drawRect(2, 2, 175, 55);
  QFont schrift = maler.font();
  schrift.setPixelSize(40);
  schrift.setBold(true);
  maler.setFont(schrift);
  maler.drawText(bild.rect(), Qt::AlignCenter, QStringLiteral("%1%2").arg(QChar('A' + i % 26)).arg(i));
  maler.end();
  return AlsJpeg(bild);
}

// A photo-like picture: gradients and many soft shapes, so that it compresses like a photo.
QByteArray Foto(int saat) {
  QImage bild(1600, 1200, QImage::Format_RGB32);
  QPainter maler(&bild);
  QLinearGradient verlauf(0, 0, 1600, 1200);
  verlauf.setColorAt(0, QColor(40, 90, 160));
  verlauf.setColorAt(1, QColor(220, 180, 90));
  maler.fillRect(bild.rect(), verlauf);
  maler.setRenderHint(QPainter::Antialiasing);
  QRandomGenerator zufall(static_cast<quint32>(saat));
  for (int i = 0; i < 400; ++i) {
    maler.setBrush(QColor(zufall.bounded(256), zufall.bounded(256), zufall.bounded(256), 120));
    maler.setPen(Qt::NoPen);
    maler.drawEllipse(zufall.bounded(1600), zufall.bounded(1200), 20 + zufall.bounded(200), 20 + zufall.bounded(200));
  }
  maler.end();
  return AlsJpeg(bild);
}

void Schreibe(const QString &pfad, const QByteArray &daten) {
  QFile datei(pfad);
  if (datei.open(QIODevice::WriteOnly))
    datei.write(daten);
}

// A folder of anzahl pictures that repeat the given ones. Hard links keep the disk and the page cache
// small; every name is still a file of its own to the gallery.
QString Ordner(const QString &name, int anzahl, const QStringList &muster) {
  const QString ordner = Umgebung->Dir.path() + QLatin1Char('/') + name;
  QDir().mkpath(ordner);
  for (int i = 0; i < anzahl; ++i) {
    const QString ziel = ordner + QStringLiteral("/%1%2.jpg").arg(name.left(1)).arg(i, 5, 10, QLatin1Char('0'));
    const QString quelle = muster.at(i % muster.size());
#ifdef Q_OS_UNIX
    if (::link(QFile::encodeName(quelle).constData(), QFile::encodeName(ziel).constData()) == 0)
      continue;
#endif
    QFile::copy(quelle, ziel);
  }
  return ordner;
}

// Runs the window's events until none is left: the load has ended for the user when its result is painted.
void Leerlauf() {
  QAbstractEventDispatcher *verteiler = QAbstractEventDispatcher::instance();
  do
    QCoreApplication::sendPostedEvents();
  while (verteiler->processEvents(QEventLoop::AllEvents));
}

void Baue(TUmgebung &u) {
  const QString basis = u.Dir.path() + QLatin1Char('/');
  for (const char *ordner : {"Bilder/Deutschland/A-E", "Bilder/Deutschland/F-J", "Bilder/Deutschland/K-O",
                             "Bilder/Deutschland/P-T", "Bilder/Deutschland/U-Z", "Bilder/Österreich/A-Z"})
    QDir().mkpath(basis + QString::fromUtf8(ordner));
  QImage vorlage(313, 67, QImage::Format_RGB32);
  vorlage.fill(Qt::white);
  for (const char *name : {"Bilder/Deutschland/D_Kennzeichen.bmp", "Bilder/Deutschland/D_Kennzeichen_klein.bmp",
                           "Bilder/Österreich/Ö_Kennzeichen_leer.bmp", "Bilder/Österreich/Ö_Kennzeichen_klein.bmp"})
    vorlage.save(basis + QString::fromUtf8(name), "BMP");

  QDir().mkpath(basis + QStringLiteral("muster"));
  QStringList platten, fotos;
  for (int i = 0; i < PlattenMuster; ++i) {
    platten.append(basis + QStringLiteral("muster/P%1.jpg").arg(i));
    Schreibe(platten.last(), Platte(i));
  }
  for (int i = 0; i < FotoMuster; ++i) {
    fotos.append(basis + QStringLiteral("muster/F%1.jpg").arg(i));
    Schreibe(fotos.last(), Foto(i));
  }
  u.Leer = basis + QStringLiteral("leer");
  QDir().mkpath(u.Leer);
  for (int anzahl : {165, 2000, 20000})
    u.Platten.insert(anzahl, Ordner(QStringLiteral("Platten%1").arg(anzahl), anzahl, platten));
  u.Fotos = Ordner(QStringLiteral("Fotos2000"), 2000, fotos);

  u.Form = std::make_unique<TMainForm>(u.Dir.path());
  u.Form->show();
  Leerlauf();
}

// Argument 0 is the kind (0 plates, 1 photos), argument 1 the number of files.
QString OrdnerVon(const benchmark::State &state) {
  return state.range(0) == 0 ? Umgebung->Platten.value(static_cast<int>(state.range(1))) : Umgebung->Fotos;
}

void Lade(TMainForm *form, const QString &ordner) {
  form->Galerie()->SetzeOrdner(ordner);
  form->LadeDieBilder();
  Leerlauf();
}

// The packs on disk, kept in the benchmark's own folder.
QString PaketOrdner() { return Umgebung->Dir.path() + QStringLiteral("/cache/nummernfibel"); }

// Nothing of an earlier load is left, neither in memory nor on disk.
void VergissAlles(TMainForm *form) {
  Lade(form, Umgebung->Leer);
  form->Galerie()->FreigebenArbeitsobjekte();
  QDir(PaketOrdner()).removeRecursively();
  form->Galerie()->ErzeugeArbeitsobjekte();
}

void Kalt(benchmark::State &state) {
  TMainForm *form = Umgebung->Form.get();
  const QString ordner = OrdnerVon(state);
  for (auto _ : state) {
    state.PauseTiming();
    VergissAlles(form);
    const int vorher = form->Galerie()->Dekodierungen();
    state.ResumeTiming();
    Lade(form, ordner);
    state.counters["Dekodierungen"] = form->Galerie()->Dekodierungen() - vorher;
  }
}

void Warm(benchmark::State &state) {
  TMainForm *form = Umgebung->Form.get();
  const QString ordner = OrdnerVon(state);
  Lade(form, ordner);
  const int vorher = form->Galerie()->Dekodierungen();
  for (auto _ : state)
    Lade(form, ordner);
  state.counters["Dekodierungen"] = form->Galerie()->Dekodierungen() - vorher;
}

// Hands the files out to this many threads, one at a time, as a load does.
template <typename F> void Verteile(const QStringList &pfade, int threads, F arbeit) {
  std::atomic<int> naechster{0};
  auto schleife = [&] {
    for (int i = naechster++; i < pfade.size(); i = naechster++)
      arbeit(i);
  };
  std::vector<std::thread> helfer;
  for (int t = 1; t < threads; ++t)
    helfer.emplace_back(schleife);
  schleife();
  for (std::thread &t : helfer)
    t.join();
}

// The decode floor: the DCT-scaled decoding of the same files and nothing else. Argument 2: threads
// (0 means as many as the load uses).
void Boden(benchmark::State &state) {
  const QStringList pfade = ListeBilder(OrdnerVon(state), BilderEndungen);
  const int threads = state.range(2) == 0 ? LadeThreads() : static_cast<int>(state.range(2));
  for (auto _ : state)
    Verteile(pfade, threads, [&](int i) { benchmark::DoNotOptimize(LadeVerkleinert(pfade.at(i), KachelGroesse - 2)); });
  state.counters["Threads"] = threads;
}

// A plain Qt gallery as the peer: one view that paints the visible thumbnails, each decoded again
// on every load by QImageReader at its scaled size, on as many threads as the load uses.
class TPeerAnsicht : public QWidget {
public:
  explicit TPeerAnsicht(QWidget *eltern) : QWidget(eltern) {}
  QVector<QImage> Bilder;
  int Spalten = 1;

protected:
  void paintEvent(QPaintEvent *event) override {
    QPainter maler(this);
    const QRect r = event->rect();
    const int erste = qMax(0, r.top() / KachelRaster) * Spalten;
    const int letzte = qMin(int(Bilder.size()), (r.bottom() / KachelRaster + 1) * Spalten);
    for (int i = erste; i < letzte; ++i) {
      const QRect kachel(KachelPosition(i, Spalten), QSize(KachelGroesse, KachelGroesse));
      maler.fillRect(kachel, Qt::white);
      const QImage &bild = Bilder.at(i);
      maler.drawImage(kachel.x() + (KachelGroesse - bild.width()) / 2, kachel.y() + (KachelGroesse - bild.height()) / 2,
                      bild);
    }
  }
};

// One load of the peer: every file decoded again, then painted, until the window is idle.
void PeerLade(QWidget &fenster, TPeerAnsicht *ansicht, const QString &ordner) {
  const QStringList namen = QDir(ordner).entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
  QVector<QImage> bilder(namen.size());
  Verteile(namen, LadeThreads(), [&](int i) {
    QImageReader leser(ordner + QLatin1Char('/') + namen.at(i));
    leser.setScaledSize(ZwischenGroesse(leser.size()));
    bilder[i] = leser.read();
  });
  ansicht->Spalten = qMax(1, (fenster.width() - KachelAbstand) / KachelRaster);
  ansicht->Bilder = bilder;
  ansicht->setGeometry(0, 0, fenster.width(),
                       qMin(fenster.height(), KachelPosition(namen.size(), ansicht->Spalten).y()));
  ansicht->update();
  Leerlauf();
}

void Peer(benchmark::State &state) {
  QWidget fenster;
  fenster.resize(Umgebung->Form->size());
  auto *ansicht = new TPeerAnsicht(&fenster);
  fenster.show();
  Leerlauf();
  const QString ordner = OrdnerVon(state);
  for (auto _ : state)
    PeerLade(fenster, ansicht, ordner);
}

// The ratios of the goals, from measurements taken in turn within each iteration, so that the load
// of a shared machine falls on all of them alike: the cold load against the floor with as many
// threads and against the peer.
void Vergleich(benchmark::State &state) {
  TMainForm *form = Umgebung->Form.get();
  const QString ordner = OrdnerVon(state);
  const QStringList pfade = ListeBilder(ordner, BilderEndungen);
  QWidget fenster;
  fenster.resize(form->size());
  auto *ansicht = new TPeerAnsicht(&fenster);
  fenster.show();
  Leerlauf();
  qint64 kalt = 0, boden = 0, peer = 0;
  QElapsedTimer uhr;
  qint64 kaltCpu = 0, bodenCpu = 0;
  for (auto _ : state) {
    VergissAlles(form);
    qint64 cpu = CpuZeit();
    uhr.start();
    Lade(form, ordner);
    kalt += uhr.nsecsElapsed();
    kaltCpu += CpuZeit() - cpu;
    cpu = CpuZeit();
    uhr.start();
    Verteile(pfade, LadeThreads(),
             [&](int i) { benchmark::DoNotOptimize(LadeVerkleinert(pfade.at(i), KachelGroesse - 2)); });
    boden += uhr.nsecsElapsed();
    bodenCpu += CpuZeit() - cpu;
    uhr.start();
    PeerLade(fenster, ansicht, ordner);
    peer += uhr.nsecsElapsed();
  }
  state.counters["Kalt_ms"] = double(kalt) / 1e6 / double(state.iterations());
  state.counters["Kalt_zu_Boden"] = double(kalt) / double(boden);
  state.counters["Kalt_zu_Boden_CPU"] = double(kaltCpu) / double(bodenCpu);
  state.counters["Kalt_zu_Peer"] = double(kalt) / double(peer);
}

// Warm reloads of 2 000 and 20 000 plates in turn, and of 165 plates against their cold load.
void Linear(benchmark::State &state) {
  TMainForm *form = Umgebung->Form.get();
  qint64 klein = 0, gross = 0, warm165 = 0, kalt165 = 0;
  QElapsedTimer uhr;
  for (auto _ : state) {
    Lade(form, Umgebung->Platten.value(2000));
    uhr.start();
    Lade(form, Umgebung->Platten.value(2000));
    klein += uhr.nsecsElapsed();
    Lade(form, Umgebung->Platten.value(20000));
    uhr.start();
    Lade(form, Umgebung->Platten.value(20000));
    gross += uhr.nsecsElapsed();
    VergissAlles(form);
    uhr.start();
    Lade(form, Umgebung->Platten.value(165));
    kalt165 += uhr.nsecsElapsed();
    uhr.start();
    Lade(form, Umgebung->Platten.value(165));
    warm165 += uhr.nsecsElapsed();
  }
  state.counters["Warm20000_zu_Warm2000"] = double(gross) / double(klein);
  state.counters["Warm165_zu_Kalt165"] = double(warm165) / double(kalt165);
}

#ifdef Q_OS_LINUX
// Resident and peak resident memory in KB, from the kernel's view of this process.
qint64 Status(const char *schluessel) {
  QFile datei(QStringLiteral("/proc/self/status"));
  if (!datei.open(QIODevice::ReadOnly))
    return 0;
  for (const QByteArray &zeile : datei.readAll().split('\n'))
    if (zeile.startsWith(schluessel))
      return zeile.mid(qstrlen(schluessel)).trimmed().split(' ').value(0).toLongLong();
  return 0;
}
#endif

// Peak memory per tile above the empty window, for a cold load of plates (the cache included).
void Speicher(benchmark::State &state) {
#ifdef Q_OS_LINUX
  TMainForm *form = Umgebung->Form.get();
  const QString ordner = OrdnerVon(state);
  for (auto _ : state) {
    VergissAlles(form);
    Leerlauf();
    malloc_trim(0);
    const qint64 leer = Status("VmRSS:");
    {
      // Writing 5 resets the peak to the present size.
      QFile zuruecksetzen(QStringLiteral("/proc/self/clear_refs"));
      if (zuruecksetzen.open(QIODevice::WriteOnly))
        zuruecksetzen.write("5");
    }
    Lade(form, ordner);
    const qint64 spitze = Status("VmHWM:");
    state.counters["KB_je_Kachel"] = double(spitze - leer) / double(state.range(1));
    state.counters["KB_leer"] = double(leer);
  }
  Lade(form, Umgebung->Leer);
  form->Galerie()->FreigebenArbeitsobjekte();
  form->Galerie()->ErzeugeArbeitsobjekte();
#else
  state.SkipWithError("needs /proc");
#endif
}

// One start of the program in a new process (this benchmark, started with --neustart): it loads the
// folder once and reports its load's wall and CPU time, and how many pictures it decoded.
struct TNeustart {
  qint64 Wand = 0, Cpu = 0, Prozess = 0;
  int Dekodiert = -1;
};
TNeustart StarteNeu(const QString &ordner, int skala) {
  QProcess prozess;
  QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
  umgebung.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(skala));
  prozess.setProcessEnvironment(umgebung);
  QElapsedTimer uhr;
  uhr.start();
  prozess.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--neustart"), Umgebung->Dir.path(), ordner});
  prozess.waitForFinished(-1);
  TNeustart ergebnis;
  ergebnis.Prozess = uhr.nsecsElapsed();
  const QList<QByteArray> teile = prozess.readAllStandardOutput().trimmed().split(' ');
  if (teile.size() == 3) {
    ergebnis.Wand = teile.at(0).toLongLong();
    ergebnis.Cpu = teile.at(1).toLongLong();
    ergebnis.Dekodiert = teile.at(2).toInt();
  }
  return ergebnis;
}

// Argument 2: the screen's scale factor. The first start, untimed, leaves the pack (if it is not
// there yet); each timed start finds it.
void Neustart(benchmark::State &state) {
  const QString ordner = OrdnerVon(state);
  const int skala = static_cast<int>(state.range(2));
  StarteNeu(ordner, skala);
  qint64 wand = 0, cpu = 0, prozess = 0;
  int dekodiert = 0;
  for (auto _ : state) {
    const TNeustart lauf = StarteNeu(ordner, skala);
    if (lauf.Dekodiert < 0) {
      state.SkipWithError("the new process reported nothing");
      return;
    }
    wand += lauf.Wand;
    cpu += lauf.Cpu;
    prozess += lauf.Prozess;
    dekodiert += lauf.Dekodiert;
  }
  const double n = double(state.iterations());
  state.counters["Wand_ms"] = double(wand) / 1e6 / n;
  state.counters["CPU_ms"] = double(cpu) / 1e6 / n;
  state.counters["Prozess_ms"] = double(prozess) / 1e6 / n;
  state.counters["Dekodierungen"] = dekodiert / n;
}

// The new process of Neustart: the window in the benchmark's data folder, one load of the folder.
int NeustartProzess(const QString &basis, const QString &ordner) {
  TMainForm form(basis);
  form.show();
  Leerlauf();
  const qint64 cpu = CpuZeit();
  QElapsedTimer uhr;
  uhr.start();
  Lade(&form, ordner);
  const qint64 wand = uhr.nsecsElapsed();
  std::printf("%lld %lld %d\n", static_cast<long long>(wand), static_cast<long long>(CpuZeit() - cpu),
              form.Galerie()->Dekodierungen());
  return 0;
}

void Groessen(benchmark::internal::Benchmark *b, bool mitFotos) {
  b->Args({0, 165})->Args({0, 2000})->Args({0, 20000});
  if (mitFotos)
    b->Args({1, 2000});
}

} // namespace

BENCHMARK(Kalt)->Apply([](auto *b) { Groessen(b, true); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);
BENCHMARK(Warm)->Apply([](auto *b) { Groessen(b, true); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);
BENCHMARK(Boden)
    ->Args({0, 165, 0})
    ->Args({0, 2000, 0})
    ->Args({0, 20000, 0})
    ->Args({1, 2000, 0})
    ->Args({0, 2000, 1})
    ->Args({1, 2000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(Peer)->Apply([](auto *b) { Groessen(b, true); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);
BENCHMARK(Vergleich)->Apply([](auto *b) { Groessen(b, true); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);
BENCHMARK(Linear)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Neustart)
    ->Args({0, 2000, 1})
    ->Args({0, 20000, 1})
    ->Args({1, 2000, 1})
    ->Args({0, 2000, 2})
    ->Args({0, 20000, 2})
    ->Args({1, 2000, 2})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(Speicher)->Args({0, 2000})->Args({0, 20000})->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv) {
  // Headless unless a display is asked for explicitly.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 4 && qstrcmp(argv[1], "--neustart") == 0)
    return NeustartProzess(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
  TUmgebung umgebung;
  // Packs go to the benchmark's folder, never to the user's cache; the new processes inherit it.
  qputenv("XDG_CACHE_HOME", QFile::encodeName(umgebung.Dir.path() + QStringLiteral("/cache")));
  Umgebung = &umgebung;
  Baue(umgebung);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Umgebung->Form.reset();
  Umgebung = nullptr;
  return 0;
}
