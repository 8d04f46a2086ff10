// Fuzz target: the bytes of a thumbnail pack, read as the gallery reads one it finds in the cache
// folder. Every thumbnail it hands out must be the size its entry claims.
#include "gallery/vorschaupaket.h"

#include <QtEndian>

#include <cstdint>
#include <cstdlib>

namespace {

// The folder and tile size the seed packs were written for.
const QString KorpusOrdner = QStringLiteral("/nf-fuzz/Bilder");
constexpr int KorpusGroesse = 95;

void Lies(const QByteArray &bytes) {
  TVorschauPaket paket;
  if (!paket.OeffneDaten(bytes, KorpusOrdner, KorpusGroesse, 1.0))
    return;
  for (const TPaketEintrag &eintrag : paket.Eintraege()) {
    const std::optional<QImage> bild = paket.Lies(eintrag);
    if (bild && (bild->width() != eintrag.Breite || bild->height() != eintrag.Hoehe))
      std::abort();
  }
}

// The same bytes with the head's and the table's checksums made to fit, so that mutations reach the
// table's parser behind them.
QByteArray MitPruefsummen(QByteArray bytes) {
  if (bytes.size() < PaketKopfLaenge)
    return bytes;
  const quint64 versatz = qFromLittleEndian<quint64>(bytes.constData() + PaketTabellenVersatzStelle);
  if (versatz <= quint64(bytes.size())) {
    const quint64 summe = PaketPruefsumme(bytes.constData() + versatz, bytes.size() - qint64(versatz));
    qToLittleEndian(summe, bytes.data() + PaketTabellenSummeStelle);
  }
  qToLittleEndian(PaketPruefsumme(bytes.constData(), PaketKopfSummeStelle), bytes.data() + PaketKopfSummeStelle);
  return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  const QByteArray bytes(reinterpret_cast<const char *>(daten), qsizetype(laenge));
  Lies(bytes);
  Lies(MitPruefsummen(bytes));
  return 0;
}
