// The plate pictures that lie behind a plate's letters: German templates and Austrian state plates.
#include "data/vorlagen.h"

#include <algorithm>

namespace {

struct TStaatsPlatte {
  const char *endung;
  const char *staat;
};

// In the order they are tested; when a name holds several suffixes the last found wins,
// because each found one replaced the picture loaded before it.
constexpr TStaatsPlatte StaatsPlatten[] = {
    {"_0.jpg", "Oberste Organe"}, {"_1.jpg", "Burgenland"}, {"_2.jpg", "Kärnten"},     {"_3.jpg", "Niederösterreich"},
    {"_4.jpg", "Oberösterreich"}, {"_5.jpg", "Salzburg"},   {"_6.jpg", "Steiermark"},  {"_7.jpg", "Tirol"},
    {"_8.jpg", "Vorarlberg"},     {"_9.jpg", "Wien"},       {"_-.jpg", "ohne Wappen"},
};

// Only the picture of the code "Y" itself: a test for "contains Y.jpg" would also give HY, KY, MY, NY and SY
// (codes in use again since 2012) the armed-forces plate.
bool IstBundeswehr(const QString &name) {
  const qsizetype trenner = std::max(name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')));
  return QStringView(name).sliced(trenner + 1) == u"Y.jpg";
}

} // namespace

QString GruppenVorlageGross(int gruppe) {
  if (gruppe == 0)
    return QStringLiteral("Bilder/Deutschland/D_Kennzeichen.bmp");
  if (gruppe == 1)
    return QStringLiteral("Bilder/Österreich/Ö_Kennzeichen_leer.bmp");
  return {};
}

QString GruppenVorlageKlein(int gruppe) {
  if (gruppe == 0)
    return QStringLiteral("Bilder/Deutschland/D_Kennzeichen_klein.bmp");
  if (gruppe == 1)
    return QStringLiteral("Bilder/Österreich/Ö_Kennzeichen_klein.bmp");
  return {};
}

QString GrosseVorlage(int gruppe, const QString &bildDatei) {
  if (gruppe == 0)
    return IstBundeswehr(bildDatei) ? QStringLiteral("Bilder/Deutschland/D_Kennzeichen_Bundeswehr.bmp")
                                    : GruppenVorlageGross(gruppe);
  if (gruppe != 1)
    return {};
  QString vorlage;
  for (const TStaatsPlatte &platte : StaatsPlatten)
    if (bildDatei.contains(QLatin1String(platte.endung)))
      vorlage =
          QStringLiteral("Bilder/Österreich/Ö_Kennzeichen_") + QString::fromUtf8(platte.staat) + QStringLiteral(".jpg");
  return vorlage;
}

QString KleineVorlage(int gruppe, const QString &bildname) {
  if (gruppe == 0 && IstBundeswehr(bildname))
    return QStringLiteral("Bilder/Deutschland/D_Kennzeichen_Bundeswehr_klein.bmp");
  return GruppenVorlageKlein(gruppe);
}
