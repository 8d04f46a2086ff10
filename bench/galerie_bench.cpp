// What the user waits for when the gallery loads: the shown window (offscreen) from the load until its
// event queue is idle, cold (empty thumbnail cache) and warm (unchanged files), for 165, 2 000 and
// 20 000 plate pictures and 200 camera-size photos (3000 x 2000). Beside it, in the same run: the
// floor (each file read, decoded at the DCT scale the program chooses and area-averaged to the
// thumbnail, nothing else) with as many threads as the load uses and with one, a plain Qt gallery
// (QImageReader::setScaledSize into one painted view, same threads, no cache), and the peak memory
// per tile above the empty window. CPU is the whole process's, every thread. "Neustart" is the
// program started again with the folder's thumbnail pack on disk, from the process's start to the
// first painted gallery, against an empty Qt window from its process's start to its first paint.
#include "app/tmainform.h"
#include "data/jpegbild.h"
#include "gallery/galerie.h"
#include "gallery/galerieregeln.h"
#include "gallery/vorschaucache.h"
#include "quiz/frage.h"
#include "quiz/ueben.h"
#include "search/suche.h"

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
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#ifdef Q_OS_LINUX
#include <malloc.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>
#endif

namespace {

constexpr int PlattenMuster = 165; // distinct plate pictures; larger folders repeat them as hard links
constexpr int FotoMuster = 4;
constexpr int FotoZahl = 200; // camera-size photos take milliseconds each; 200 keep a run short
constexpr int WinzigZahl = 60000;

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

// The monotonic clock in nanoseconds: the same clock in every process, so a child's moments can be
// set against its parent's.
qint64 Uhrzeit() {
  timespec jetzt{};
  clock_gettime(CLOCK_MONOTONIC, &jetzt);
  return qint64(jetzt.tv_sec) * 1000000000 + jetzt.tv_nsec;
}

struct TUmgebung {
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
  QString Leer;
  QMap<int, QString> Platten; // by number of files
  QString Fotos;
  QString Winzig;
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

// A camera-size photo-like picture: gradients, many soft shapes and grain, so that it compresses
// like a photo.
QByteArray Foto(int saat) {
  QImage bild(3000, 2000, QImage::Format_RGB32);
  QPainter maler(&bild);
  QLinearGradient verlauf(0, 0, 3000, 2000);
  verlauf.setColorAt(0, QColor(40, 90, 160));
  verlauf.setColorAt(1, QColor(220, 180, 90));
  maler.fillRect(bild.rect(), verlauf);
  maler.setRenderHint(QPainter::Antialiasing);
  QRandomGenerator zufall(static_cast<quint32>(saat));
  for (int i = 0; i < 400; ++i) {
    maler.setBrush(QColor(zufall.bounded(256), zufall.bounded(256), zufall.bounded(256), 120));
    maler.setPen(Qt::NoPen);
    maler.drawEllipse(zufall.bounded(3000), zufall.bounded(2000), 40 + zufall.bounded(400), 40 + zufall.bounded(400));
  }
  maler.end();
  for (int y = 0; y < bild.height(); ++y) {
    auto *zeile = reinterpret_cast<QRgb *>(bild.scanLine(y));
    for (int x = 0; x < bild.width(); ++x) {
      const int rauschen = int(zufall.bounded(17)) - 8;
      const QRgb p = zeile[x];
      zeile[x] = qRgb(qBound(0, qRed(p) + rauschen, 255), qBound(0, qGreen(p) + rauschen, 255),
                      qBound(0, qBlue(p) + rauschen, 255));
    }
  }
  return AlsJpeg(bild);
}

void Schreibe(const QString &pfad, const QByteArray &daten) {
  QFile datei(pfad);
  if (datei.open(QIODevice::WriteOnly))
    datei.write(daten);
}

// A data folder of its own, as the program finds it at start: six gallery folders and the templates.
void BaueBasis(const QString &basis) {
  for (const char *ordner : {"Bilder/Deutschland/A-E", "Bilder/Deutschland/F-J", "Bilder/Deutschland/K-O",
                             "Bilder/Deutschland/P-T", "Bilder/Deutschland/U-Z", "Bilder/Österreich/A-Z"})
    QDir().mkpath(basis + QString::fromUtf8(ordner));
  QImage vorlage(313, 67, QImage::Format_RGB32);
  vorlage.fill(Qt::white);
  for (const char *name : {"Bilder/Deutschland/D_Kennzeichen.bmp", "Bilder/Deutschland/D_Kennzeichen_klein.bmp",
                           "Bilder/Österreich/Ö_Kennzeichen_leer.bmp", "Bilder/Österreich/Ö_Kennzeichen_klein.bmp"})
    vorlage.save(basis + QString::fromUtf8(name), "BMP");
}

// The data folder whose first range (the folder a start shows) is the given gallery folder.
QString BasisVon(const QString &ordner) { return QDir::cleanPath(ordner + QStringLiteral("/../../..")); }

// A folder of anzahl pictures that repeat the given ones, as the first range of a data folder of its
// own, so that a start of the program shows it. Hard links keep the disk and the page cache small;
// every name is still a file of its own to the gallery.
QString Ordner(const QString &name, int anzahl, const QStringList &muster) {
  const QString basis = Umgebung->Dir.path() + QLatin1Char('/') + name + QLatin1Char('/');
  BaueBasis(basis);
  const QString ordner = basis + QStringLiteral("Bilder/Deutschland/A-E");
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
  BaueBasis(basis);

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
  u.Fotos = Ordner(QStringLiteral("Fotos"), FotoZahl, fotos);
  // Tiny pictures: one pixel block of a plate, many thousands of them.
  const QString winzig = basis + QStringLiteral("muster/W.jpg");
  QImage klein(16, 16, QImage::Format_RGB32);
  klein.fill(QColor(200, 40, 40));
  Schreibe(winzig, AlsJpeg(klein));
  u.Winzig = Ordner(QStringLiteral("Winzig"), WinzigZahl, {winzig});

  u.Form = std::make_unique<TMainForm>(u.Dir.path());
  u.Form->show();
  Leerlauf();
}

// Argument 0 is the kind (0 plates, 1 photos, 2 tiny pictures), argument 1 the number of plates.
QString OrdnerVon(const benchmark::State &state) {
  switch (state.range(0)) {
  case 0: return Umgebung->Platten.value(static_cast<int>(state.range(1)));
  case 1: return Umgebung->Fotos;
  default: return Umgebung->Winzig;
  }
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

// The floor for one file: read it whole, decode it with libjpeg at the DCT scale the program
// chooses, straight to RGB, and area-average it to the thumbnail's size. No cache, no pack, no
// checks beyond libjpeg's own: what any thumbnail needs at the least.
QImage BodenVorschau(const QString &pfad, qreal verhaeltnis = 1.0) {
  QFile datei(pfad);
  if (!datei.open(QIODevice::ReadOnly))
    return {};
  const QByteArray daten = datei.readAll();
  datei.close();
  jpeg_decompress_struct info{};
  jpeg_error_mgr fehler{};
  info.err = jpeg_std_error(&fehler);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(daten.constData()),
               static_cast<unsigned long>(daten.size()));
  jpeg_read_header(&info, TRUE);
  const QSize original(int(info.image_width), int(info.image_height));
  const QSize ziel = VorschauZiel(original, KachelGroesse, verhaeltnis);
  info.out_color_space = JCS_EXT_RGB;
  info.scale_denom = 8;
  info.scale_num = static_cast<unsigned int>(
      VorschauDctZaehler(qMax(original.width(), original.height()), qMax(ziel.width(), ziel.height())));
  jpeg_start_decompress(&info);
  const int breite = int(info.output_width);
  thread_local std::vector<uchar> pixel;
  pixel.resize(size_t(breite) * info.output_height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW zeile = pixel.data() + size_t(info.output_scanline) * size_t(breite) * 3;
    jpeg_read_scanlines(&info, &zeile, 1);
  }
  const int hoehe = int(info.output_height);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return SkaliereFlaechig(pixel.data(), breite, hoehe, qsizetype(breite) * 3, ziel);
}

// At the screen's device-pixel ratio, as the window's load (QT_SCALE_FACTOR=2 for scale 2).
void BodenLauf(const QStringList &pfade, int threads) {
  const qreal verhaeltnis = qApp->devicePixelRatio();
  Verteile(pfade, threads, [&](int i) { benchmark::DoNotOptimize(BodenVorschau(pfade.at(i), verhaeltnis)); });
}

// The floor alone. Argument 2: threads (0 means as many as the load uses).
void Boden(benchmark::State &state) {
  const QStringList pfade = ListeBilder(OrdnerVon(state), BilderEndungen);
  const int threads = state.range(2) == 0 ? LadeThreads() : static_cast<int>(state.range(2));
  qint64 cpu = 0;
  for (auto _ : state) {
    const qint64 vorher = CpuZeit();
    BodenLauf(pfade, threads);
    cpu += CpuZeit() - vorher;
  }
  state.counters["Threads"] = threads;
  state.counters["CPU_ms"] = double(cpu) / 1e6 / double(state.iterations());
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

// The middle of the rounds' values: a shared machine's disturbances fall on single rounds.
double Median(std::vector<double> werte) {
  std::sort(werte.begin(), werte.end());
  return werte.empty() ? 0.0 : werte[werte.size() / 2];
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
  std::vector<double> kalt, kaltCpu, bodenCpu, zuBoden, zuBodenCpu, zuPeer;
  QElapsedTimer uhr;
  for (auto _ : state) {
    VergissAlles(form);
    qint64 cpu = CpuZeit();
    uhr.start();
    Lade(form, ordner);
    const double k = double(uhr.nsecsElapsed()), kc = double(CpuZeit() - cpu);
    cpu = CpuZeit();
    uhr.start();
    BodenLauf(pfade, LadeThreads());
    const double b = double(uhr.nsecsElapsed()), bc = double(CpuZeit() - cpu);
    uhr.start();
    PeerLade(fenster, ansicht, ordner);
    const double p = double(uhr.nsecsElapsed());
    kalt.push_back(k / 1e6);
    kaltCpu.push_back(kc / 1e6);
    bodenCpu.push_back(bc / 1e6);
    zuBoden.push_back(k / b);
    zuBodenCpu.push_back(kc / bc);
    zuPeer.push_back(k / p);
  }
  state.counters["Kalt_ms"] = Median(kalt);
  state.counters["Kalt_CPU_ms"] = Median(kaltCpu);
  state.counters["Boden_CPU_ms"] = Median(bodenCpu);
  state.counters["Kalt_zu_Boden"] = Median(zuBoden);
  state.counters["Kalt_zu_Boden_CPU"] = Median(zuBodenCpu);
  state.counters["Kalt_zu_Peer"] = Median(zuPeer);
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

// One start in a new process (this benchmark, started with --neustart or --leer): the program in a
// data folder, or an empty Qt window of the same size. Measured from just before the process is
// started to the end of the first paint that shows the gallery's tiles (or the empty window), with
// the CPU the child used by then, and how many pictures the program decoded by the end of its load.
struct TNeustart {
  qint64 Wand = 0, Cpu = 0, NachAbbildung = 0;
  int Dekodiert = -1;
};
TNeustart StarteNeu(const QStringList &argumente, int skala) {
  QProcess prozess;
  QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
  umgebung.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(skala));
  prozess.setProcessEnvironment(umgebung);
  const qint64 anfang = Uhrzeit();
  prozess.start(QCoreApplication::applicationFilePath(), argumente);
  prozess.waitForFinished(-1);
  TNeustart ergebnis;
  const QList<QByteArray> teile = prozess.readAllStandardOutput().trimmed().split(' ');
  if (teile.size() == 4) {
    ergebnis.Wand = teile.at(0).toLongLong() - anfang;
    ergebnis.NachAbbildung = teile.at(0).toLongLong() - teile.at(3).toLongLong();
    ergebnis.Cpu = teile.at(1).toLongLong();
    ergebnis.Dekodiert = teile.at(2).toInt();
  }
  return ergebnis;
}

// Argument 2: the screen's scale factor. The first start, untimed, leaves the pack (if it is not
// there yet); each timed start finds it, and an empty window is started in turn with it.
void Neustart(benchmark::State &state) {
  const QString basis = BasisVon(OrdnerVon(state));
  const int skala = static_cast<int>(state.range(2));
  const QStringList programm{QStringLiteral("--neustart"), basis};
  const QSize groesse = Umgebung->Form->size();
  const QStringList leer{QStringLiteral("--leer"), QString::number(groesse.width()), QString::number(groesse.height())};
  StarteNeu(programm, skala);
  std::vector<double> wand, cpu, leerWand, verhaeltnis, nachAbbildung;
  int dekodiert = 0;
  for (auto _ : state) {
    const TNeustart lauf = StarteNeu(programm, skala);
    const TNeustart fenster = StarteNeu(leer, skala);
    if (lauf.Dekodiert < 0 || fenster.Dekodiert < 0) {
      state.SkipWithError("the new process reported nothing");
      return;
    }
    wand.push_back(double(lauf.Wand) / 1e6);
    cpu.push_back(double(lauf.Cpu) / 1e6);
    leerWand.push_back(double(fenster.Wand) / 1e6);
    verhaeltnis.push_back(double(lauf.Wand) / double(fenster.Wand));
    nachAbbildung.push_back(double(lauf.NachAbbildung) / 1e6);
    dekodiert += lauf.Dekodiert;
  }
  state.counters["Gemalt_ms"] = Median(wand);
  state.counters["CPU_ms"] = Median(cpu);
  state.counters["Leer_ms"] = Median(leerWand);
  state.counters["Zu_Leer"] = Median(verhaeltnis);
  // From the window's first exposure to its first painted gallery (0 where no exposure comes first).
  state.counters["Gezeigt_bis_Bild_ms"] = Median(nachAbbildung);
  state.counters["Dekodierungen"] = dekodiert / double(state.iterations());
}

// Reports, once the window has painted what it waits for, the moment and the CPU so far; with a
// program window, after its load's end also the decodes.
class TErstesBild : public QObject {
public:
  TErstesBild(QWidget *ziel, std::function<bool()> bereit, std::function<int()> dekodiert)
      : FBereit(std::move(bereit)), FDekodiert(std::move(dekodiert)) {
    ziel->installEventFilter(this);
  }

protected:
  bool eventFilter(QObject *, QEvent *ereignis) override {
    // The window system shows the window: from here on the user looks at it.
    if (ereignis->type() == QEvent::Expose && FGezeigt == 0)
      FGezeigt = Uhrzeit();
    if (ereignis->type() == QEvent::Paint && FMoment == 0 && FBereit())
      // Taken right after this paint is done, from the event loop.
      QMetaObject::invokeMethod(
          this, [this] { Gemalt(); }, Qt::QueuedConnection);
    return false;
  }

private:
  void Gemalt() {
    if (FMoment != 0)
      return;
    FMoment = Uhrzeit();
    FCpu = CpuZeit();
    Ende();
  }
  void Ende() {
    const int dekodiert = FDekodiert();
    if (dekodiert < 0) {
      QTimer::singleShot(10, this, [this] { Ende(); });
      return;
    }
    std::printf("%lld %lld %d %lld\n", static_cast<long long>(FMoment), static_cast<long long>(FCpu), dekodiert,
                static_cast<long long>(FGezeigt == 0 ? FMoment : FGezeigt));
    std::fflush(stdout);
    QCoreApplication::exit(0);
  }
  std::function<bool()> FBereit;
  std::function<int()> FDekodiert;
  qint64 FMoment = 0, FCpu = 0, FGezeigt = 0;
};

// The new process of Neustart: the program in the data folder, as a user starts it.
int NeustartProzess(const QString &basis) {
  TMainForm form(basis);
  QWidget *galerie = form.findChild<QWidget *>(QStringLiteral("Galerie"));
  TErstesBild bild(
      galerie, [&form] { return !form.Galerie()->Kacheln().isEmpty(); },
      [&form] { return form.Eingerichtet() && !form.LaedtBilder() ? form.Galerie()->Dekodierungen() : -1; });
  form.show();
  form.windowHandle()->installEventFilter(&bild);
  return QCoreApplication::exec();
}

// The same for an empty Qt window of the program window's size.
int LeerProzess(int breite, int hoehe) {
  QWidget fenster;
  fenster.resize(breite, hoehe);
  const TErstesBild bild(
      &fenster, [] { return true; }, [] { return 0; });
  fenster.show();
  return QCoreApplication::exec();
}

void Groessen(benchmark::internal::Benchmark *b, bool mitFotos) {
  b->Args({0, 165})->Args({0, 2000})->Args({0, 20000});
  if (mitFotos)
    b->Args({1, 0});
}

} // namespace

BENCHMARK(Kalt)->Apply([](auto *b) { Groessen(b, true); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);
BENCHMARK(Warm)->Apply([](auto *b) { Groessen(b, true); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);
BENCHMARK(Boden)
    ->Args({0, 165, 0})
    ->Args({0, 2000, 0})
    ->Args({0, 20000, 0})
    ->Args({1, 0, 0})
    ->Args({0, 2000, 1})
    ->Args({1, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(Peer)->Apply([](auto *b) { Groessen(b, true); }) -> Unit(benchmark::kMillisecond) -> Iterations(3);
BENCHMARK(Vergleich)->Apply([](auto *b) { Groessen(b, true); }) -> Args({2, 0}) -> Unit(benchmark::kMillisecond)
    -> Iterations(5);
BENCHMARK(Linear)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Neustart)
    ->Args({0, 165, 1})
    ->Args({0, 2000, 1})
    ->Args({0, 20000, 1})
    ->Args({1, 0, 1})
    ->Args({0, 2000, 2})
    ->Args({0, 20000, 2})
    ->Args({1, 0, 2})
    ->Args({2, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(Speicher)->Args({0, 2000})->Args({0, 20000})->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv) {
  // Headless unless a display is asked for explicitly.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 3 && qstrcmp(argv[1], "--neustart") == 0)
    return NeustartProzess(QString::fromLocal8Bit(argv[2]));
  if (argc == 4 && qstrcmp(argv[1], "--leer") == 0)
    return LeerProzess(QByteArray(argv[2]).toInt(), QByteArray(argv[3]).toInt());
  TUmgebung umgebung;
  // NF_BENCH_BEHALTEN keeps the folders, for a profiler's run of one start.
  umgebung.Dir.setAutoRemove(qEnvironmentVariableIsEmpty("NF_BENCH_BEHALTEN"));
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
