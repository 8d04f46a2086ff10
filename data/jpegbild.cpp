// JPEG decoding through libjpeg with an error manager that jumps back instead of ending the
// process, plus DCT-scaled decoding for thumbnails; bitmaps through Qt.
#include "data/jpegbild.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace {

// Files above this size are no plate pictures; reading them whole would only waste memory.
constexpr qint64 GroessteDatei = 256LL * 1024 * 1024;
// libjpeg's own working memory (progressive coefficient buffers and the like).
constexpr long GroessterArbeitsspeicher = 512L * 1024 * 1024;
constexpr int DctNenner = 8;

struct TFehlerVerwalter {
  jpeg_error_mgr Basis;
  std::jmp_buf Ruecksprung;
};

// Everything that must survive a jump back from deep inside libjpeg lives here, on the heap, so
// that no C++ object of the decoding frame is skipped or left with an indeterminate value.
struct TDekoder {
  jpeg_decompress_struct Info{};
  TFehlerVerwalter Fehler{};
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

// Warnings (corrupt data, a premature end) are no failure: libjpeg fills in what is missing.
void MeldungStumm(j_common_ptr) {}

QString KleineEndung(const QString &pfad) {
  const int punkt = pfad.lastIndexOf(QLatin1Char('.'));
  const int trenner = pfad.lastIndexOf(QLatin1Char('/'));
  if (punkt < 0 || punkt < trenner)
    return {};
  return pfad.mid(punkt).toLower();
}

std::optional<QByteArray> LiesDatei(const QString &pfad) {
  QFile datei(pfad);
  if (!datei.open(QIODevice::ReadOnly) || datei.size() > GroessteDatei)
    return std::nullopt;
  return datei.readAll();
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

// The decode itself. laengsteSeite <= 0 decodes at full size, enlarged by the given whole factor.
std::optional<TVerkleinert> Dekodiere(const QByteArray &daten, int laengsteSeite, int vergroesserung = 1) {
  if (daten.isEmpty())
    return std::nullopt;
  auto dekoder = std::make_unique<TDekoder>();
  TDekoder *d = dekoder.get();
  d->Info.err = jpeg_std_error(&d->Fehler.Basis);
  d->Fehler.Basis.error_exit = FehlerBeenden;
  d->Fehler.Basis.output_message = MeldungStumm;

  if (setjmp(d->Fehler.Ruecksprung))
    return std::nullopt;

  jpeg_create_decompress(&d->Info);
  d->Angelegt = true;
  d->Info.mem->max_memory_to_use = GroessterArbeitsspeicher;
  jpeg_mem_src(&d->Info, reinterpret_cast<const unsigned char *>(daten.constData()),
               static_cast<unsigned long>(daten.size()));
  jpeg_read_header(&d->Info, TRUE);

  const qint64 breite = d->Info.image_width;
  const qint64 hoehe = d->Info.image_height;
  if (breite <= 0 || hoehe <= 0 || breite * hoehe > GroessteBildpunkte)
    return std::nullopt;
  // A picture that would grow past the limit is shown at its own size: coarse, but shown.
  if (breite * hoehe * vergroesserung * vergroesserung > GroessteBildpunkte)
    vergroesserung = 1;

  const J_COLOR_SPACE quelle = d->Info.jpeg_color_space;
  const bool cmyk = quelle == JCS_CMYK || quelle == JCS_YCCK;
  const bool grau = quelle == JCS_GRAYSCALE;
  if (cmyk)
    d->Info.out_color_space = JCS_CMYK;
  else if (grau)
    d->Info.out_color_space = JCS_GRAYSCALE;
  else
    // Straight into the layout of QImage::Format_RGB32 (0xffRRGGBB as a native word).
    d->Info.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

  d->Info.scale_denom = DctNenner;
  // Enlarging in the inverse DCT interpolates from the coded frequencies, smoother than a doubling
  // of pixels and without a second pass over the picture.
  d->Info.scale_num = DctNenner * static_cast<unsigned int>(vergroesserung);
  if (laengsteSeite > 0) {
    for (unsigned int zaehler = 1; zaehler <= DctNenner; ++zaehler) {
      d->Info.scale_num = zaehler;
      jpeg_calc_output_dimensions(&d->Info);
      if (static_cast<int>(qMax(d->Info.output_width, d->Info.output_height)) >= laengsteSeite)
        break;
    }
  }
  d->Info.dct_method = JDCT_ISLOW;
  jpeg_start_decompress(&d->Info);

  const int ausBreite = static_cast<int>(d->Info.output_width);
  const int ausHoehe = static_cast<int>(d->Info.output_height);
  const QImage::Format format =
      cmyk ? QImage::Format_RGBA8888 : (grau ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
  d->Bild = QImage(ausBreite, ausHoehe, format);
  if (d->Bild.isNull())
    return std::nullopt;
  d->Zeilen.resize(static_cast<size_t>(ausHoehe));
  for (int y = 0; y < ausHoehe; ++y)
    d->Zeilen[static_cast<size_t>(y)] = d->Bild.scanLine(y);
  while (d->Info.output_scanline < d->Info.output_height) {
    const JDIMENSION gelesen = jpeg_read_scanlines(&d->Info, d->Zeilen.data() + d->Info.output_scanline,
                                                   d->Info.output_height - d->Info.output_scanline);
    if (gelesen == 0)
      break;
  }
  jpeg_finish_decompress(&d->Info);

  TVerkleinert ergebnis;
  ergebnis.Original = QSize(static_cast<int>(breite), static_cast<int>(hoehe));
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
  QImageReader leser(pfad, "bmp");
  QImage bild;
  if (!leser.read(&bild) || bild.isNull())
    return std::nullopt;
  if (qint64(bild.width()) * bild.height() > GroessteBildpunkte)
    return std::nullopt;
  return bild;
}

} // namespace

std::optional<QImage> DekodiereJpeg(const QByteArray &daten) {
  if (auto ergebnis = Dekodiere(daten, 0))
    return ergebnis->Bild;
  return std::nullopt;
}

std::optional<TVerkleinert> DekodiereJpegVerkleinert(const QByteArray &daten, int laengsteSeite) {
  return Dekodiere(daten, qMax(1, laengsteSeite));
}

std::optional<QImage> LadeBildDatei(const QString &pfad, qreal pixelVerhaeltnis) {
  const int faktor = Vergroesserung(pixelVerhaeltnis);
  const QString endung = KleineEndung(pfad);
  std::optional<TVerkleinert> ergebnis;
  if (IstJpegEndung(endung)) {
    if (const auto daten = LiesDatei(pfad))
      ergebnis = Dekodiere(*daten, 0, faktor);
  } else if (endung == QLatin1String(".bmp")) {
    if (const auto bild = LadeBitmap(pfad)) {
      ergebnis = TVerkleinert{*bild, bild->size()};
      if (faktor > 1 && qint64(bild->width()) * bild->height() * faktor * faktor <= GroessteBildpunkte)
        ergebnis->Bild = bild->scaled(bild->size() * faktor, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
  }
  if (!ergebnis)
    return std::nullopt;
  // The factor actually used: a very large picture keeps its own size.
  ergebnis->Bild.setDevicePixelRatio(ergebnis->Bild.width() / ergebnis->Original.width());
  return ergebnis->Bild;
}

int Vergroesserung(qreal pixelVerhaeltnis) {
  // A ratio a hair above a whole number is a rounding of that number, not a reason to enlarge.
  return qBound(1, static_cast<int>(std::ceil(pixelVerhaeltnis - 0.01)), GroessteVergroesserung);
}

std::optional<TVerkleinert> LadeVerkleinert(const QString &pfad, int laengsteSeite) {
  const QString endung = KleineEndung(pfad);
  if (IstJpegEndung(endung)) {
    const auto daten = LiesDatei(pfad);
    return daten ? DekodiereJpegVerkleinert(*daten, laengsteSeite) : std::nullopt;
  }
  if (endung == QLatin1String(".bmp")) {
    if (auto bild = LadeBitmap(pfad))
      return TVerkleinert{*bild, bild->size()};
  }
  return std::nullopt;
}
