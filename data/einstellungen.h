// Kennzeichen.ini: a small profile (INI) reader and writer with the behaviour of the classic
// Windows profile functions. QSettings rewrites and escapes whole files, so it does not fit.
#pragma once

#include <QRect>
#include <QString>
#include <optional>

// Value of a key (at most 254 characters), or the default when the file, section or key is missing.
// Section and key names match regardless of case.
QString LiesProfil(const QString &datei, const QString &abschnitt, const QString &schluessel,
                   const QString &vorgabe = QString());

// Replaces the key's value or adds the key, creating the section and the file when needed;
// every other line stays as it was. False when the file cannot be written.
bool SchreibeProfil(const QString &datei, const QString &abschnitt, const QString &schluessel, const QString &wert);

// "900x700" as width and height; no value for anything that is not two whole numbers
// joined by the first lower-case "x" (the height is taken from at most five characters).
struct TGroesse {
  int Breite = 0;
  int Hoehe = 0;
};
std::optional<TGroesse> LiesGroesse(const QString &wert);

// The outer size a window opens with, or is stored with: no value when it leaves no client area inside
// the frame (or the screen has none), otherwise cut to the free area of the screen.
std::optional<TGroesse> PassendeGroesse(TGroesse groesse, QSize rahmen, QSize frei);

// Top-left corner of a window of this outer size: centred in the free area, never above or left of it.
QPoint FensterPosition(QSize aussen, const QRect &frei);
