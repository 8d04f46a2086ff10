// Where everything lies: the base folder and every path of the data folder, built in this one place.
#pragma once

#include <QString>
#include <QVector>
#include <optional>

// The six gallery folders, in the order of the start-up check.
enum class TBereich { Oesterreich, A_E, F_J, K_O, P_T, U_Z };

struct TDatenOrdner {
  QString Basis; // always ends in "/"

  // The base folder is the working directory at start with a trailing separator.
  static TDatenOrdner Aus(const QString &arbeitsverzeichnis);

  QString Datei(const QString &relativ) const { return Basis + relativ; }
  QString Einstellungen() const { return Datei(QStringLiteral("Kennzeichen.ini")); }
  // The learner's progress in practice mode, a file of its own beside the settings.
  QString Lernstand() const { return Datei(QStringLiteral("Nummernfibel-Lernstand.txt")); }
  QString Hilfe() const { return Datei(QStringLiteral("Nummernfibel-Hilfe.pdf")); }
  // Full folder path of a range, without a trailing separator.
  QString Ordner(TBereich bereich) const;
};

// Relative paths of the folders below the base folder.
QString RelativerOrdner(TBereich bereich);
// A range as its button names it: "A - E" … "U - Z"; "Österreich" for the Austrian one.
QString BereichsName(TBereich bereich);
// The group (0 German, 1 Austrian) a range belongs to.
int BereichsGruppe(TBereich bereich);
// Every range: the German ones in the order of their buttons, then the Austrian one.
QVector<TBereich> JederBereich();
// The name of a range's text file in its folder ("A-E.txt" ..., "Ö-Kfz.txt").
QString BereichsTextDatei(TBereich bereich);
// The range of a group (0 German, 1 Austrian) that holds the codes beginning with this character;
// none when no range of the group does.
std::optional<TBereich> BereichFuerZeichen(int gruppe, QChar erstes);

// The fatal message for a missing folder or file:
// art is "Verzeichnis: " or "Datei: ", pfad what is missing, mitte the middle line.
QString FehltMeldung(const QString &art, const QString &pfad,
                     const QString &mitte = QStringLiteral("ist nicht vorhanden!"));
