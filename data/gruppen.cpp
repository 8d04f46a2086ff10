// The table of the plate groups.
#include "data/gruppen.h"

#include "data/vorlagen.h"

namespace {

const TGruppe Gruppen[] = {
    {DeutscheGruppe, u"Nummernfibel in Deutschland", u"Deutschland",
     u"Für welchen Landkreis / kreisfreie Stadt steht:  ", u"Bilder/Deutschland/D_Kennzeichen.bmp",
     u"Bilder/Deutschland/D_Kennzeichen_klein.bmp", u"Bilder/Deutschland/D_Kennzeichen_Bundeswehr.bmp",
     u"Bilder/Deutschland/D_Kennzeichen_Bundeswehr_klein.bmp", false, DeutscherKennzeichenVersatz, QLatin1Char('.'),
     TBereich::A_E, true, u"Dienstfahrzeug der Bundeswehr", u"Bundeswehr", QPoint(23, 14), 34},
    // The Austrian codes sit on a flatter field of the small plate.
    {OesterreichischeGruppe, u"Nummernfibel in Österreich", u"Österreich", u"Für welchen Bezirk steht:  ",
     u"Bilder/Österreich/Ö_Kennzeichen_leer.bmp", u"Bilder/Österreich/Ö_Kennzeichen_klein.bmp", nullptr, nullptr, true,
     OesterreichischerKennzeichenVersatz, QLatin1Char('_'), TBereich::Oesterreich, false,
     u"Oberste Organe der Republik", u"Oberste Organe", QPoint(25, 16), 28},
};

} // namespace

const TGruppe *GruppeNr(int index) {
  for (const TGruppe &gruppe : Gruppen)
    if (gruppe.Index == index)
      return &gruppe;
  return nullptr;
}
