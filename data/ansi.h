// Windows-1252 ("ANSI") conversion, upper-casing and trimming, as the plate codes and file names use them.
#pragma once

#include <QByteArray>
#include <QString>

// Every character that Windows-1252 cannot hold becomes "?".
QByteArray NachAnsi(const QString &text);
QString VonAnsi(const QByteArray &bytes);

// The text as it comes back from a round trip through Windows-1252 ("?" for what the code page lacks).
QString AnsiText(const QString &text);

// Upper-casing of the Windows-1252 range: a-z, and the accented letters (ä becomes Ä, é becomes É ...).
QString AnsiGross(const QString &text);

// Removes characters with codes up to 32 at both ends.
QString AnsiTrim(const QString &text);
