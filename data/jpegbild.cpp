// JPEG decoding through libjpeg with an error manager that jumps back instead of ending the
// process, plus DCT-scaled decoding for thumbnails; bitmaps through Qt.
#include "data/jpegbild.h"

#include "data/dateilesen.h"

#include <QBuffer>
#include <QImageReader>

#include <cmath>
#include <condition_variable>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include <jpeglib.h>

namespace {

constexpr int DctNenner = 8;
// libjpeg's row buffers and tables besides the coefficients: a little per pixel of width, plus a
// fixed part for everything else.
constexpr qint64 ZeilenpufferJeSpalte = 64;
constexpr qint64 FesterArbeitsspeicher = 2LL * 1024 * 1024;
// One coefficient block: 64 coefficients of two bytes.
constexpr qint64 BlockBytes = DCTSIZE2 * qint64(sizeof(JCOEF));
constexpr size_t LesePuffer = 64 * 1024;

// The shares of DekodierSpeicher that decodes hold at the moment. A decode waits until its share is
// free, so that eight threads on a folder of huge headers take turns instead of each taking gigabytes.
class TSpeicherKonto {
public:
  bool Belege(qint64 bytes) {
    if (bytes > DekodierSpeicher)
      return false;
    std::unique_lock<std::mutex> sperre(FSchutz);
    FFrei.wait(sperre, [&] { return FBelegt + bytes <= DekodierSpeicher; });
    FBelegt += bytes;
    FSpitze = qMax(FSpitze, FBelegt);
    return true;
  }
  void Gib(qint64 bytes) {
    {
      std::lock_guard<std::mutex> sperre(FSchutz);
      FBelegt -= bytes;
    }
    FFrei.notify_all();
  }
  qint64 Spitze() {
    std::lock_guard<std::mutex> sperre(FSchutz);
    return FSpitze;
  }

private:
  std::mutex FSchutz;
  std::condition_variable FFrei;
  qint64 FBelegt = 0;
  qint64 FSpitze = 0;
};

TSpeicherKonto &Konto() {
  static TSpeicherKonto konto;
  return konto;
}

// A share of the account, given back when it goes out of scope.
class TBelegung {
public:
  TBelegung() = default;
  TBelegung(const TBelegung &) = delete;
  TBelegung &operator=(const TBelegung &) = delete;
  ~TBelegung() {
    if (FBytes > 0)
      Konto().Gib(FBytes);
  }
  bool Belege(qint64 bytes) {
    if (!Konto().Belege(bytes))
      return false;
    FBytes = bytes;
    return true;
  }

private:
  qint64 FBytes = 0;
};

struct TFehlerVerwalter {
  jpeg_error_mgr Basis;
  std::jmp_buf Ruecksprung;
};

// Reads the compressed data from an open file in blocks, so a large file is never held whole.
struct TDateiQuelle {
  jpeg_source_mgr Basis{};
  TLeseDatei *Datei = nullptr;
  std::vector<JOCTET> Puffer;
};

// Everything that must survive a jump back from deep inside libjpeg lives here, on the heap, so
// that no C++ object of the decoding frame is skipped or left with an indeterminate value.
struct TDekoder {
  jpeg_decompress_struct Info{};
  TFehlerVerwalter Fehler{};
  jpeg_progress_mgr Fortschritt{};
  int LetzterScan = 0;
  int ScanKomponenten = 0;
  qint64 ScanBloecke = 0;
  qint64 BlockGrenze = 0;
  bool Mehrfach = false; // several scans, with the whole picture's coefficients kept between them
  TDateiQuelle Quelle;
  TBelegung Speicher;
  bool Angelegt = false;
  QImage Bild;
  std::vector<JSAMPROW> Zeilen;

  ~TDekoder() {
    if (Angelegt)
      jpeg_destroy_decompress(&Info);
  }
};

[[noreturn]] void FehlerBeenden(j_common_ptr info) {
  auto *fehler = reinterpret_cast<TFehlerVerwalter *>(info->err);
  std::longjmp(fehler->Ruecksprung, 1);
}

// Called at least once in every scan (and often more), so each new scan is counted once.
void PruefeScans(j_common_ptr info) {
  const auto *dekomp = reinterpret_cast<j_decompress_ptr>(info);
  auto *dekoder = static_cast<TDekoder *>(dekomp->client_data);
  if (dekomp->input_scan_number == dekoder->LetzterScan)
    return;
  dekoder->LetzterScan = dekomp->input_scan_number;
  dekoder->ScanKomponenten += dekomp->comps_in_scan;
  for (int k = 0; k < dekomp->comps_in_scan; ++k)
    dekoder->ScanBloecke +=
        qint64(dekomp->cur_comp_info[k]->width_in_blocks) * dekomp->cur_comp_info[k]->height_in_blocks;
  if (dekoder->ScanKomponenten > GroessteScanKomponenten ||
      (dekoder->Mehrfach && dekoder->ScanBloecke > dekoder->BlockGrenze))
    FehlerBeenden(info);
}

void QuelleBeginnen(j_decompress_ptr) {}
void QuelleBeenden(j_decompress_ptr) {}

boolean QuelleFuellen(j_decompress_ptr info) {
  auto *quelle = reinterpret_cast<TDateiQuelle *>(info->src);
  const qint64 n = quelle->Datei->Lies(reinterpret_cast<char *>(quelle->Puffer.data()), qint64(quelle->Puffer.size()));
  if (n <= 0) {
    // The end of the file ends the picture, as libjpeg's own sources do: what is missing stays grey.
    static const JOCTET Ende[] = {0xFF, JPEG_EOI};
    info->src->next_input_byte = Ende;
    info->src->bytes_in_buffer = sizeof Ende;
    return TRUE;
  }
  info->src->next_input_byte = quelle->Puffer.data();
  info->src->bytes_in_buffer = static_cast<size_t>(n);
  return TRUE;
}

void QuelleUeberspringen(j_decompress_ptr info, long anzahl) {
  while (anzahl > 0) {
    if (anzahl <= long(info->src->bytes_in_buffer)) {
      info->src->next_input_byte += anzahl;
      info->src->bytes_in_buffer -= size_t(anzahl);
      return;
    }
    anzahl -= long(info->src->bytes_in_buffer);
    info->src->bytes_in_buffer = 0;
    QuelleFuellen(info);
  }
}

// What libjpeg will allocate for this decode (output size already worked out): the coefficients of
// the whole picture when it comes in several scans (they are kept until the last one), and row buffers.
qint64 Arbeitsspeicher(const jpeg_decompress_struct &info) {
  qint64 bytes = FesterArbeitsspeicher + qint64(qMax(info.image_width, info.output_width)) * ZeilenpufferJeSpalte;
  if (info.progressive_mode || info.comps_in_scan < info.num_components)
    for (int k = 0; k < info.num_components; ++k) {
      const jpeg_component_info &komponente = info.comp_info[k];
      const qint64 h = komponente.h_samp_factor, v = komponente.v_samp_factor;
      bytes += (qint64(komponente.width_in_blocks) + h - 1) / h * h *
               ((qint64(komponente.height_in_blocks) + v - 1) / v * v) * BlockBytes;
    }
  return bytes;
}

// Warnings (corrupt data, a premature end) are no failure: libjpeg fills in what is missing.
void MeldungStumm(j_common_ptr) {}

QString KleineEndung(const QString &pfad) {
  const int punkt = pfad.lastIndexOf(QLatin1Char('.'));
  const int trenner = pfad.lastIndexOf(QLatin1Char('/'));
  if (punkt < 0 || punkt < trenner)
    return {};
  return pfad.mid(punkt).toLower();
}

bool IstJpegEndung(const QString &endung) {
  return endung == QLatin1String(".jpg") || endung == QLatin1String(".jpeg");
}

// CMYK from Adobe's encoder is stored inverted; plain CMYK is not.
void WandleCmyk(QImage &bild, const QImage &cmyk, bool invertiert) {
  for (int y = 0; y < cmyk.height(); ++y) {
    const uchar *ein = cmyk.constScanLine(y);
    auto *aus = reinterpret_cast<QRgb *>(bild.scanLine(y));
    for (int x = 0; x < bild.width(); ++x, ein += 4) {
      int c = ein[0], m = ein[1], g = ein[2], k = ein[3];
      if (!invertiert) {
        c = 255 - c;
        m = 255 - m;
        g = 255 - g;
        k = 255 - k;
      }
      aus[x] = qRgb(c * k / 255, m * k / 255, g * k / 255);
    }
  }
}

// Where a thumbnail's decode puts its pixels: RGB888 rows without padding, in a buffer the thread
// keeps from one file to the next.
struct TRohBild {
  std::vector<uchar> Pixel;
  int Breite = 0;
  int Hoehe = 0;
  std::function<QSize(QSize)> Ziel; // the thumbnail's size for the file's own size
};

// The decode itself, from bytes in memory or from an open file. laengsteSeite <= 0 decodes at full
// size, enlarged by the given whole factor. With roh the pixels go there, on the fast DCT scales,
// and the result's picture stays null.
std::optional<TVerkleinert> Dekodiere(const QByteArray *daten, TLeseDatei *datei, int laengsteSeite,
                                      int vergroesserung = 1, TRohBild *roh = nullptr) {
  if (daten ? daten->isEmpty() : datei->Groesse() == 0)
    return std::nullopt;
  auto dekoder = std::make_unique<TDekoder>();
  TDekoder *d = dekoder.get();
  d->Info.err = jpeg_std_error(&d->Fehler.Basis);
  d->Fehler.Basis.error_exit = FehlerBeenden;
  d->Fehler.Basis.output_message = MeldungStumm;
  d->Fortschritt.progress_monitor = PruefeScans;
  d->BlockGrenze = FreieScanBloecke + BloeckeJeByte * (daten ? qint64(daten->size()) : datei->Groesse());

  if (setjmp(d->Fehler.Ruecksprung))
    return std::nullopt;

  jpeg_create_decompress(&d->Info);
  d->Angelegt = true;
  d->Info.progress = &d->Fortschritt;
  d->Info.client_data = d;
  if (daten) {
    jpeg_mem_src(&d->Info, reinterpret_cast<const unsigned char *>(daten->constData()),
                 static_cast<unsigned long>(daten->size()));
  } else {
    d->Quelle.Datei = datei;
    d->Quelle.Puffer.resize(size_t(qMin<qint64>(qint64(LesePuffer), datei->Groesse() + 2)));
    d->Quelle.Basis.init_source = QuelleBeginnen;
    d->Quelle.Basis.fill_input_buffer = QuelleFuellen;
    d->Quelle.Basis.skip_input_data = QuelleUeberspringen;
    d->Quelle.Basis.resync_to_restart = jpeg_resync_to_restart;
    d->Quelle.Basis.term_source = QuelleBeenden;
    d->Info.src = &d->Quelle.Basis;
  }
  jpeg_read_header(&d->Info, TRUE);
  d->Mehrfach = d->Info.progressive_mode || d->Info.comps_in_scan < d->Info.num_components;

  const qint64 breite = d->Info.image_width;
  const qint64 hoehe = d->Info.image_height;
  if (breite <= 0 || hoehe <= 0 || breite * hoehe > GroessteBildpunkte)
    return std::nullopt;
  // A picture that would grow past the limit is shown at its own size: coarse, but shown.
  if (breite * hoehe * vergroesserung * vergroesserung > GroessteAnzeigeBildpunkte)
    vergroesserung = 1;
  // A full-size picture larger than the display bound (a camera photo) is decoded reduced in the
  // inverse DCT instead of refused; the caller keeps its size in logical pixels.
  unsigned int vollZaehler = DctNenner * static_cast<unsigned int>(vergroesserung);
  while (laengsteSeite <= 0 && vollZaehler > 1 &&
         breite * hoehe * vollZaehler * vollZaehler > GroessteAnzeigeBildpunkte * DctNenner * DctNenner)
    --vollZaehler;

  const J_COLOR_SPACE quelle = d->Info.jpeg_color_space;
  const bool cmyk = quelle == JCS_CMYK || quelle == JCS_YCCK;
  const bool grau = quelle == JCS_GRAYSCALE;
  if (cmyk)
    d->Info.out_color_space = JCS_CMYK;
  else if (roh)
    // libjpeg-turbo widens grey to RGB itself, so a thumbnail is converted once, while decoding.
    d->Info.out_color_space = JCS_EXT_RGB;
  else if (grau)
    d->Info.out_color_space = JCS_GRAYSCALE;
  else
    // Straight into the layout of QImage::Format_RGB32 (0xffRRGGBB as a native word).
    d->Info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
  const bool direkt = roh && !cmyk;

  d->Info.scale_denom = DctNenner;
  // Enlarging in the inverse DCT interpolates from the coded frequencies, smoother than a doubling
  // of pixels and without a second pass over the picture.
  d->Info.scale_num = vollZaehler;
  if (laengsteSeite > 0 && roh) {
    const QSize ziel = roh->Ziel(QSize(int(breite), int(hoehe)));
    d->Info.scale_num =
        static_cast<unsigned int>(VorschauDctZaehler(int(qMax(breite, hoehe)), qMax(ziel.width(), ziel.height())));
    jpeg_calc_output_dimensions(&d->Info);
  } else if (laengsteSeite > 0) {
    for (unsigned int zaehler = 1; zaehler <= DctNenner; ++zaehler) {
      d->Info.scale_num = zaehler;
      jpeg_calc_output_dimensions(&d->Info);
      if (static_cast<int>(qMax(d->Info.output_width, d->Info.output_height)) >= laengsteSeite)
        break;
    }
  } else {
    jpeg_calc_output_dimensions(&d->Info);
  }
  d->Info.dct_method = JDCT_ISLOW;

  // The whole decode's memory is reserved before libjpeg allocates any of it; libjpeg itself is held
  // to its part, so a picture that would need more fails instead of taking it.
  const qint64 arbeit = Arbeitsspeicher(d->Info);
  const qint64 bildBytes =
      qint64(d->Info.output_width) * d->Info.output_height * (direkt ? 3 : (grau ? 1 : 4) * (cmyk ? 2 : 1));
  if (!d->Speicher.Belege(arbeit + bildBytes))
    return std::nullopt;
  d->Info.mem->max_memory_to_use = long(arbeit);
  jpeg_start_decompress(&d->Info);

  const int ausBreite = static_cast<int>(d->Info.output_width);
  const int ausHoehe = static_cast<int>(d->Info.output_height);
  d->Zeilen.resize(static_cast<size_t>(ausHoehe));
  if (direkt) {
    roh->Breite = ausBreite;
    roh->Hoehe = ausHoehe;
    roh->Pixel.resize(size_t(ausBreite) * size_t(ausHoehe) * 3);
    for (int y = 0; y < ausHoehe; ++y)
      d->Zeilen[static_cast<size_t>(y)] = roh->Pixel.data() + size_t(y) * size_t(ausBreite) * 3;
  } else {
    const QImage::Format format =
        cmyk ? QImage::Format_RGBA8888 : (grau ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    d->Bild = QImage(ausBreite, ausHoehe, format);
    if (d->Bild.isNull())
      return std::nullopt;
    for (int y = 0; y < ausHoehe; ++y)
      d->Zeilen[static_cast<size_t>(y)] = d->Bild.scanLine(y);
  }
  while (d->Info.output_scanline < d->Info.output_height) {
    const JDIMENSION gelesen = jpeg_read_scanlines(&d->Info, d->Zeilen.data() + d->Info.output_scanline,
                                                   d->Info.output_height - d->Info.output_scanline);
    if (gelesen == 0)
      break;
  }
  jpeg_finish_decompress(&d->Info);

  TVerkleinert ergebnis;
  ergebnis.Original = QSize(static_cast<int>(breite), static_cast<int>(hoehe));
  if (direkt)
    return ergebnis;
  if (cmyk) {
    ergebnis.Bild = QImage(ausBreite, ausHoehe, QImage::Format_RGB32);
    if (ergebnis.Bild.isNull())
      return std::nullopt;
    WandleCmyk(ergebnis.Bild, d->Bild, d->Info.saw_Adobe_marker);
  } else {
    ergebnis.Bild = d->Bild;
  }
  return ergebnis;
}

std::optional<QImage> LadeBitmap(const QString &pfad) {
  QByteArray daten = LiesRegulaereDatei(pfad, GroessteDatenDatei).Daten;
  QBuffer puffer(&daten);
  puffer.open(QIODevice::ReadOnly);
  QImageReader leser(&puffer, "bmp");
  // The header's size is checked before the pixels are allocated. A negative height is a valid bitmap
  // stored top row first.
  const QSize kopf = leser.size();
  const qint64 hoehe = qAbs(qint64(kopf.height()));
  if (kopf.width() <= 0 || hoehe == 0 || qint64(kopf.width()) * hoehe > GroessteAnzeigeBildpunkte)
    return std::nullopt;
  const QSize groesse(kopf.width(), int(hoehe));
  TBelegung speicher;
  if (!speicher.Belege(daten.size() + qint64(groesse.width()) * groesse.height() * 4))
    return std::nullopt;
  QImage bild;
  if (!leser.read(&bild) || bild.isNull())
    return std::nullopt;
  return bild;
}

std::optional<TVerkleinert> LadeJpeg(const QString &pfad, int laengsteSeite, int vergroesserung = 1,
                                     TDateiStand *stand = nullptr, TRohBild *roh = nullptr) {
  TLeseDatei datei(pfad, GroessteDatenDatei, stand != nullptr);
  if (stand)
    *stand = datei.Stand();
  if (!datei.Offen())
    return std::nullopt;
  return Dekodiere(nullptr, &datei, laengsteSeite, vergroesserung, roh);
}

// A picture's RGB888 copy in the thread's buffer, for the pictures that are not decoded there.
void NachRoh(const QImage &bild, TRohBild &roh) {
  const QImage rgb = bild.convertToFormat(QImage::Format_RGB888);
  roh.Breite = rgb.width();
  roh.Hoehe = rgb.height();
  const size_t zeile = size_t(rgb.width()) * 3;
  roh.Pixel.resize(zeile * size_t(rgb.height()));
  for (int y = 0; y < rgb.height(); ++y)
    std::memcpy(roh.Pixel.data() + zeile * size_t(y), rgb.constScanLine(y), zeile);
}

// One axis of an area-average resize: for each target pixel the source pixels it covers, from
// Erster on, with their shares in 1/FlaechenEins (summing to exactly FlaechenEins).
constexpr int FlaechenEins = 1 << 12;
struct TAchse {
  std::vector<int> Erster;
  std::vector<int> Anzahl;
  std::vector<int> Anteile; // MaxAnzahl per target pixel
  int MaxAnzahl = 1;
};

TAchse Achse(int quelle, int ziel) {
  TAchse achse;
  const double schritt = double(quelle) / double(ziel);
  achse.MaxAnzahl = int(std::ceil(schritt)) + 1;
  achse.Erster.resize(size_t(ziel));
  achse.Anzahl.resize(size_t(ziel));
  achse.Anteile.assign(size_t(ziel) * size_t(achse.MaxAnzahl), 0);
  for (int i = 0; i < ziel; ++i) {
    int *anteile = &achse.Anteile[size_t(i) * size_t(achse.MaxAnzahl)];
    if (schritt < 1.0) {
      // Widened: each pixel is interpolated between its two nearest, as a smooth enlargement does.
      const double mitte = qBound(0.0, (i + 0.5) * schritt - 0.5, double(quelle - 1));
      const int erster = qMin(quelle - 1, int(mitte));
      const int zweiter = int(std::lround((mitte - erster) * FlaechenEins));
      achse.Erster[size_t(i)] = erster;
      achse.Anzahl[size_t(i)] = erster + 1 < quelle ? 2 : 1;
      anteile[0] = FlaechenEins - (achse.Anzahl[size_t(i)] == 2 ? zweiter : 0);
      anteile[1] = achse.Anzahl[size_t(i)] == 2 ? zweiter : 0;
      continue;
    }
    const double von = i * schritt, bis = qMin(double(quelle), (i + 1) * schritt);
    const int erster = qMin(quelle - 1, int(von));
    int summe = 0, anzahl = 0, groesster = 0;
    for (int q = erster; q < quelle && q < bis && anzahl < achse.MaxAnzahl; ++q, ++anzahl) {
      const double deckung = qMin(bis, double(q + 1)) - qMax(von, double(q));
      anteile[anzahl] = int(deckung / schritt * FlaechenEins + 0.5);
      summe += anteile[anzahl];
      if (anteile[anzahl] > anteile[groesster])
        groesster = anzahl;
    }
    // Rounding leaves the shares a little off their whole: the largest takes the difference.
    anteile[groesster] += FlaechenEins - summe;
    achse.Erster[size_t(i)] = erster;
    achse.Anzahl[size_t(i)] = qMax(1, anzahl);
  }
  return achse;
}

// Buffers a worker keeps between its thumbnails.
struct TVorschauPuffer {
  TRohBild Roh;
  std::vector<quint32> Zwischen; // the rows after the horizontal pass
};

TVorschauPuffer &ThreadPuffer() {
  thread_local TVorschauPuffer puffer;
  return puffer;
}

QImage SkaliereMitPuffer(const uchar *daten, int breite, int hoehe, qsizetype zeilenBytes, QSize ziel,
                         std::vector<quint32> &zwischen) {
  if (breite <= 0 || hoehe <= 0 || ziel.isEmpty())
    return {};
  QImage bild(ziel, QImage::Format_RGB888);
  if (bild.isNull())
    return {};
  const TAchse x = Achse(breite, ziel.width());
  const TAchse y = Achse(hoehe, ziel.height());
  const size_t zwischenZeile = size_t(ziel.width()) * 3;
  zwischen.resize(zwischenZeile * size_t(hoehe));
  // Horizontal first, over every source row: each is used by one or two target rows.
  for (int q = 0; q < hoehe; ++q) {
    const uchar *ein = daten + q * zeilenBytes;
    quint32 *aus = zwischen.data() + zwischenZeile * size_t(q);
    for (int i = 0; i < ziel.width(); ++i, aus += 3) {
      const int *anteile = &x.Anteile[size_t(i) * size_t(x.MaxAnzahl)];
      const uchar *p = ein + 3 * x.Erster[size_t(i)];
      quint32 r = 0, g = 0, b = 0;
      for (int k = 0; k < x.Anzahl[size_t(i)]; ++k, p += 3) {
        r += quint32(anteile[k]) * p[0];
        g += quint32(anteile[k]) * p[1];
        b += quint32(anteile[k]) * p[2];
      }
      aus[0] = r;
      aus[1] = g;
      aus[2] = b;
    }
  }
  constexpr quint64 Rundung = quint64(FlaechenEins) * FlaechenEins / 2;
  for (int j = 0; j < ziel.height(); ++j) {
    const int *anteile = &y.Anteile[size_t(j) * size_t(y.MaxAnzahl)];
    const quint32 *erste = zwischen.data() + zwischenZeile * size_t(y.Erster[size_t(j)]);
    uchar *aus = bild.scanLine(j);
    for (size_t s = 0; s < zwischenZeile; ++s) {
      quint64 summe = Rundung;
      const quint32 *p = erste + s;
      for (int k = 0; k < y.Anzahl[size_t(j)]; ++k, p += zwischenZeile)
        summe += quint64(anteile[k]) * *p;
      aus[s] = uchar(qMin<quint64>(255, summe / (quint64(FlaechenEins) * FlaechenEins)));
    }
  }
  return bild;
}

} // namespace

qint64 DekodierSpeicherSpitze() { return Konto().Spitze(); }

std::optional<QImage> DekodiereJpeg(const QByteArray &daten) {
  if (auto ergebnis = Dekodiere(&daten, nullptr, 0))
    return ergebnis->Bild;
  return std::nullopt;
}

std::optional<TVerkleinert> DekodiereJpegVerkleinert(const QByteArray &daten, int laengsteSeite) {
  return Dekodiere(&daten, nullptr, qMax(1, laengsteSeite));
}

std::optional<QImage> LadeBildDatei(const QString &pfad, qreal pixelVerhaeltnis) {
  const int faktor = Vergroesserung(pixelVerhaeltnis);
  const QString endung = KleineEndung(pfad);
  std::optional<TVerkleinert> ergebnis;
  if (IstJpegEndung(endung)) {
    ergebnis = LadeJpeg(pfad, 0, faktor);
  } else if (endung == QLatin1String(".bmp")) {
    if (const auto bild = LadeBitmap(pfad)) {
      ergebnis = TVerkleinert{*bild, bild->size()};
      if (faktor > 1 && qint64(bild->width()) * bild->height() * faktor * faktor <= GroessteAnzeigeBildpunkte)
        ergebnis->Bild = bild->scaled(bild->size() * faktor, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
  }
  if (!ergebnis)
    return std::nullopt;
  // The factor actually used: a very large picture keeps its own size, and one decoded reduced
  // carries a ratio below 1, so it is still laid out at the size its file declares.
  ergebnis->Bild.setDevicePixelRatio(qreal(ergebnis->Bild.width()) / ergebnis->Original.width());
  return ergebnis->Bild;
}

int Vergroesserung(qreal pixelVerhaeltnis) {
  // A ratio a hair above a whole number is a rounding of that number, not a reason to enlarge.
  return qBound(1, static_cast<int>(std::ceil(pixelVerhaeltnis - 0.01)), GroessteVergroesserung);
}

std::optional<TVerkleinert> LadeVerkleinert(const QString &pfad, int laengsteSeite, TDateiStand *stand) {
  const QString endung = KleineEndung(pfad);
  if (IstJpegEndung(endung))
    return LadeJpeg(pfad, qMax(1, laengsteSeite), 1, stand);
  if (stand) {
    // Bitmaps are read whole by Qt's reader; their size and time come from an open of their own.
    *stand = TLeseDatei(pfad, GroessteDatenDatei, true).Stand();
  }
  if (endung == QLatin1String(".bmp")) {
    if (auto bild = LadeBitmap(pfad))
      return TVerkleinert{*bild, bild->size()};
  }
  return std::nullopt;
}

int VorschauDctZaehler(int quellSeite, int laengsteSeite) {
  const auto seite = [&](int zaehler) { return (qint64(quellSeite) * zaehler + DctNenner - 1) / DctNenner; };
  int zaehler = 1;
  while (zaehler < DctNenner && seite(zaehler) < laengsteSeite)
    ++zaehler;
  if ((zaehler & (zaehler - 1)) == 0)
    return zaehler;
  int darunter = 1;
  while (darunter * 2 < zaehler)
    darunter *= 2;
  return seite(darunter) * 100 >= qint64(laengsteSeite) * (100 - VorschauUnterschreitung) ? darunter : zaehler;
}

QImage SkaliereFlaechig(const uchar *daten, int breite, int hoehe, qsizetype zeilenBytes, QSize ziel) {
  std::vector<quint32> zwischen;
  return SkaliereMitPuffer(daten, breite, hoehe, zeilenBytes, ziel, zwischen);
}

std::optional<TVerkleinert> LadeVorschau(const QString &pfad, const std::function<QSize(QSize)> &zielGroesse,
                                         TDateiStand *stand) {
  TVorschauPuffer &puffer = ThreadPuffer();
  TRohBild &roh = puffer.Roh;
  std::optional<TVerkleinert> ergebnis;
  if (IstJpegEndung(KleineEndung(pfad))) {
    roh.Ziel = zielGroesse;
    ergebnis = LadeJpeg(pfad, 1, 1, stand, &roh);
  } else {
    ergebnis = LadeVerkleinert(pfad, 1, stand);
  }
  if (!ergebnis)
    return std::nullopt;
  // CMYK pictures and bitmaps come as pictures of their own.
  if (!ergebnis->Bild.isNull())
    NachRoh(ergebnis->Bild, roh);
  const QSize ziel = zielGroesse(ergebnis->Original);
  const qsizetype zeile = qsizetype(roh.Breite) * 3;
  const bool nahe = roh.Breite * 100 >= ziel.width() * (100 - VorschauUnterschreitung) &&
                    roh.Hoehe * 100 >= ziel.height() * (100 - VorschauUnterschreitung);
  if (nahe) {
    ergebnis->Bild = SkaliereMitPuffer(roh.Pixel.data(), roh.Breite, roh.Hoehe, zeile, ziel, puffer.Zwischen);
  } else {
    // Enlarged much further: Qt's smooth scale interpolates, as the thumbnails always did.
    const QImage quelle(roh.Pixel.data(), roh.Breite, roh.Hoehe, zeile, QImage::Format_RGB888);
    ergebnis->Bild =
        quelle.scaled(ziel, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB888);
  }
  if (ergebnis->Bild.isNull())
    return std::nullopt;
  return ergebnis;
}
