// Fuzz target: the bytes of a range text file, through decoding (any byte-order mark or none), line
// splitting and the values the quiz takes from every line.
#include "data/eintrag.h"
#include "data/textdatei.h"
#include "quiz/quizregeln.h"
#include "tests/fixturbaum.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *daten, size_t laenge) {
  const QByteArray bytes(reinterpret_cast<const char *>(daten), qsizetype(laenge));
  const QString text = DekodiereText(bytes);
  // No encoding gives more characters than bytes.
  if (text.size() > bytes.size())
    std::abort();
  const QStringList zeilen = ZerlegeZeilen(text);
  if (zeilen.join(QLatin1Char('\n')) != Fixturbaum::AlsZeilenText(text))
    std::abort();

  for (const QString &zeile : zeilen) {
    const QString eintrag = KennzeichenEintrag::ListenEintrag(zeile);
    KennzeichenEintrag::Code(KennzeichenEintrag::Bildfeld(zeile));
    KennzeichenEintrag::KartenName(eintrag, 0);
    KennzeichenEintrag::KartenName(eintrag, 1);
    KennzeichenEintrag::Bildname(eintrag);
    if (const std::optional<TAntwort> antwort = ZerlegeAntwort(eintrag))
      AntwortAnzeige(antwort->Text);
  }
  const TFrageListe liste = BaueFrageListe(zeilen, QStringLiteral("A.jpg"));
  // The right line is always one the list offers.
  if (!liste.RichtigeZeile.isEmpty() && !liste.Eintraege.contains(liste.RichtigeZeile))
    std::abort();
  return 0;
}
