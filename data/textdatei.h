// The text file of a range: which one belongs to a picture, how it is decoded and split into lines.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// Name of the text file chosen by the first character of a picture's file name ("A-E.txt" ...,
// "Ö-Kfz.txt"), or empty when the group has no file for that character.
QString TextDateiName(int gruppe, QChar ersterBuchstabe);

// Full path (folder + "/" + name) of the text file of a picture, or empty when none is chosen.
QString WaehleTextDatei(int gruppe, const QString &ordner, const QString &bildDatei);

// The whole file decoded by its byte-order mark (UTF-16 LE/BE, UTF-8), else as Windows-1252.
QString DekodiereText(const QByteArray &bytes);

// Splits at CR LF, lone CR, lone LF and U+2028.
QStringList ZerlegeZeilen(const QString &text);

// A range's text file is read whole and held as lines by the question screen (over again as list
// entries). The data set's largest has under 30 KB and 200 lines; both bounds lie some 500 times
// above that. A question costs about 4.4 bytes per byte of the file and 380 bytes per line, so even
// a file at both bounds stays within 130 MB as lines and list.
constexpr qint64 GroessteTextDatei = 16LL * 1024 * 1024;
constexpr qsizetype GroessteZeilenzahl = 150000;

// Reads and decodes a file; no value when it cannot be read, is no regular file, is larger than
// GroessteTextDatei or has more lines than GroessteZeilenzahl.
std::optional<QStringList> LadeZeilen(const QString &pfad);

// The fatal message for a missing text file (the Austrian file has its own middle line).
QString TextDateiFehltMeldung(const QString &pfad);
