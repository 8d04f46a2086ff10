// The plate pictures that lie behind a plate's letters: German templates and Austrian state plates.
#include "data/vorlagen.h"

#include "data/gruppen.h"

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
  const TGruppe *g = GruppeNr(gruppe);
  return g ? QString::fromUtf16(g->VorlageGross) : QString();
}

QString GruppenVorlageKlein(int gruppe) {
  const TGruppe *g = GruppeNr(gruppe);
  return g ? QString::fromUtf16(g->VorlageKlein) : QString();
}

QString GrosseVorlage(int gruppe, const QString &bildDatei) {
  const TGruppe *g = GruppeNr(gruppe);
  if (!g)
    return {};
  if (!g->Landesplatten)
    return g->SonderVorlageGross && IstBundeswehr(bildDatei) ? QString::fromUtf16(g->SonderVorlageGross)
                                                             : QString::fromUtf16(g->VorlageGross);
  QString vorlage;
  for (const TStaatsPlatte &platte : StaatsPlatten)
    if (bildDatei.contains(QLatin1String(platte.endung)))
      vorlage =
          QStringLiteral("Bilder/Österreich/Ö_Kennzeichen_") + QString::fromUtf8(platte.staat) + QStringLiteral(".jpg");
  return vorlage;
}

QString KleineVorlage(int gruppe, const QString &bildname) {
  const TGruppe *g = GruppeNr(gruppe);
  if (g && g->SonderVorlageKlein && IstBundeswehr(bildname))
    return QString::fromUtf16(g->SonderVorlageKlein);
  return GruppenVorlageKlein(gruppe);
}
