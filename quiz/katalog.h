// Every plate of the data set with its descriptions and Länder: what practice chooses from by Land or
// route, what the overview counts and where the reverse question finds its codes.
#pragma once

#include "data/datenordner.h"
#include "data/lernstand.h"
#include "data/uebungsdaten.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

struct TKatalogEintrag {
  int Gruppe = 0; // 0 German, 1 Austrian
  TBereich Bereich = TBereich::A_E;
  QString Ordner;             // the range's folder
  QString Bild;               // "AB.jpg", "W_9.jpg"
  QString Code;               // "AB", "W"
  QStringList Beschreibungen; // visible descriptions of its lines ("Aschaffenburg, Landkreis [Bayern]")
  QStringList Laender;        // the Länder in their brackets, each once ("Bayern")
  QString Pfad() const { return Ordner + QLatin1Char('/') + Bild; }
};

class TKatalog {
public:
  // Every range of both groups: the pictures liste gives for the range's folder (full paths or names)
  // joined with the lines of its text file. A range whose folder or text file is missing or unreadable
  // is left out.
  static TKatalog Lies(const TDatenOrdner &pfade, const std::function<QStringList(const QString &ordner)> &liste);

  const QVector<TKatalogEintrag> &Eintraege() const { return FEintraege; }
  // Every Land named, the German ones first, each part sorted; "bundesweit", "Bund" and brackets that
  // name no Land left out.
  QStringList Laender() const;
  const TKatalogEintrag *Finde(int gruppe, const QString &bild) const;
  // The plates practice asks: with no Land and no route every plate of gruppe; else the plates of those
  // Länder and the route's codes, of either group, in the catalogue's order.
  QVector<const TKatalogEintrag *> Auswahl(const TUebungsEinstellung &e, int gruppe) const;
  // Rows per Land (nachLand) or per letter range ("A - E" … "U - Z", "Österreich") for the plates, in
  // one direction; due means due before the end of jetzt's local day.
  QVector<TUebersichtZeile> Uebersicht(const QVector<const TKatalogEintrag *> &platten, const TLernstand &stand,
                                       bool nachLand, bool umgekehrt, const QDateTime &jetzt) const;

private:
  QVector<TKatalogEintrag> FEintraege;
};

// A route as typed → its codes upper-cased, split at blanks, commas and semicolons, each once, in
// typed order.
QStringList RoutenCodes(const QString &route);
// The Land in the bracket that ends a description ("Bayern"); empty when it ends in none.
QString BeschreibungsLand(const QString &beschreibung);
