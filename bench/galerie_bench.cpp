// Gallery load times on generated folders: 200 plate-sized pictures and 200 photos of 1600 x 1200.
// Cold is a load with an empty thumbnail cache, the floor is the DCT-scaled decoding of the same
// files alone, warm is the reload of unchanged files; for the photos also the full-size decode
// with smooth scaling that the DCT scaling replaces.
#include "app/tmainform.h"
#include "data/jpegbild.h"
#include "gallery/galerieregeln.h"
#include "gallery/vorschaucache.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Anzahl = 200;

struct TUmgebung {
  QTemporaryDir Dir;
  std::unique_ptr<TMainForm> Form;
  QString Platten;
  QString Fotos;
  QStringList PlattenPfade;
  QStringList FotoPfade;
};
TUmgebung *Umgebung = nullptr;

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

  u.Platten = basis + QStringLiteral("Bilder/Deutschland/A-E");
  u.Fotos = basis + QStringLiteral("Bilder/Deutschland/K-O");
  QVector<QByteArray> fotos;
  for (int i = 0; i < 4; ++i)
    fotos.append(Foto(i));
  for (int i = 0; i < Anzahl; ++i) {
    Schreibe(u.Platten + QStringLiteral("/P%1.jpg").arg(i, 3, 10, QLatin1Char('0')), Platte(i));
    Schreibe(u.Fotos + QStringLiteral("/F%1.jpg").arg(i, 3, 10, QLatin1Char('0')), fotos.at(i % fotos.size()));
  }
  u.PlattenPfade = ListeBilder(u.Platten, BilderEndungen);
  u.FotoPfade = ListeBilder(u.Fotos, BilderEndungen);

  QDir::setCurrent(u.Dir.path());
  u.Form = std::make_unique<TMainForm>();
  u.Form->FormPaint();
}

QString Ordner(int art) { return art == 0 ? Umgebung->Platten : Umgebung->Fotos; }
const QStringList &Pfade(int art) { return art == 0 ? Umgebung->PlattenPfade : Umgebung->FotoPfade; }

void Kalt(benchmark::State &state) {
  TMainForm *form = Umgebung->Form.get();
  form->AktuellerOrdner = Ordner(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    QCoreApplication::processEvents();
    form->FreigebenArbeitsobjekte();
    form->ErzeugeArbeitsobjekte();
    state.ResumeTiming();
    form->LadeDieBilder();
  }
  state.counters["Dekodierungen"] = form->Dekodierungen();
}

void Boden(benchmark::State &state) {
  const QStringList &pfade = Pfade(static_cast<int>(state.range(0)));
  for (auto _ : state)
    for (const QString &pfad : pfade)
      benchmark::DoNotOptimize(LadeVerkleinert(pfad, KachelGroesse - 2));
}

void Warm(benchmark::State &state) {
  TMainForm *form = Umgebung->Form.get();
  form->AktuellerOrdner = Ordner(static_cast<int>(state.range(0)));
  form->LadeDieBilder();
  const int vorher = form->Dekodierungen();
  for (auto _ : state) {
    form->LadeDieBilder();
    // The window's events are handled after each load, as the running program does.
    state.PauseTiming();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["Dekodierungen"] = form->Dekodierungen() - vorher;
}

// The tile pictures of a warm reload alone, without widgets and file queries.
void Kacheln(benchmark::State &state) {
  QVector<QImage> vorschauen;
  for (const QString &pfad : Umgebung->PlattenPfade)
    vorschauen.append(ErzeugeVorschau(pfad));
  for (auto _ : state)
    for (int i = 0; i < vorschauen.size(); ++i)
      benchmark::DoNotOptimize(ZeichneKachel(vorschauen.at(i), DateiName(Umgebung->PlattenPfade.at(i)), QString(), 0));
}

// What a gallery without DCT scaling would pay: the whole photo decoded, then scaled smoothly.
void VollUndGlatt(benchmark::State &state) {
  for (auto _ : state)
    for (const QString &pfad : Umgebung->FotoPfade) {
      const std::optional<QImage> bild = LadeBildDatei(pfad);
      if (bild)
        benchmark::DoNotOptimize(
            bild->scaled(ZwischenGroesse(bild->size()), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
}

} // namespace

// Argument 0: plate pictures; 1: photos.
BENCHMARK(Kalt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Boden)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Warm)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Kacheln)->Unit(benchmark::kMillisecond);
BENCHMARK(VollUndGlatt)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char **argv) {
  // Headless unless a display is asked for explicitly.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  TUmgebung umgebung;
  Umgebung = &umgebung;
  Baue(umgebung);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Umgebung = nullptr;
  return 0;
}
