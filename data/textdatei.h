// The text file of a range: which one belongs to a picture, how it is decoded and split into lines.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringConverter>
#include <QStringList>
#include <optional>

// Name of the text file chosen by the first character of a picture's file name ("A-E.txt" ...,
// "Ö-Kfz.txt"), or empty when the group has no file for that character.
QString TextDateiName(int gruppe, QChar ersterBuchstabe);

// Full path (folder + "/" + name) of the text file of a picture, or empty when none is chosen.
QString WaehleTextDatei(int gruppe, const QString &ordner, const QString &bildDatei);

// The encoding a byte-order mark at the start names: UTF-8, UTF-16 LE or BE; no value without one
// (Windows-1252).
std::optional<QStringConverter::Encoding> MarkenKodierung(QByteArrayView bytes);

// The whole file decoded by its byte-order mark (UTF-16 LE/BE, UTF-8), else as Windows-1252.
QString DekodiereText(const QByteArray &bytes);

// Splits at CR LF, lone CR, lone LF and U+2028.
QStringList ZerlegeZeilen(const QString &text);

// A range's text file is read whole and held as lines by the question screen (over again as list
// entries). The data set's largest has under 30 KB; at this bound even a file of one-character lines
// stays under 150 MB as lines and list.
constexpr qint64 GroessteTextDatei = 1024LL * 1024;

// Reads and decodes a file; no value when it cannot be read, is no regular file or is larger than
// GroessteTextDatei.
std::optional<QStringList> LadeZeilen(const QString &pfad);

// The fatal message for a missing text file (the Austrian file has its own middle line).
QString TextDateiFehltMeldung(const QString &pfad);
