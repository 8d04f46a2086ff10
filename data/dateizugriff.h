// Replacing writes for the settings file: a write that fails or is killed never leaves a damaged file behind.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Gives the file the content `neu`. `alt` is its content as read before, or no value when it does not
// exist yet. True only when every byte reached the disk; on false the old file is still there byte for
// byte (or, as before, none). Where no new file can be made beside it, the file is rewritten in place.
// A process killed at any moment leaves the old file or the new one (in place, a shorter one may
// keep blank lines up to the old length, which read as nothing) and never an empty one where there
// was none.
bool ErsetzeDatei(const QString &pfad, const std::optional<QByteArray> &alt, const QByteArray &neu);

// Removes what killed writes left beside the file: our own temporary copies, "<name>.XXXXXX".
// One another instance is writing right now stays.
void RaeumeReste(const QString &pfad);

// The steps of a write, in order, at which a test can stop the process.
enum class TSchreibSchritt { KopieAngelegt, KopieGeschrieben, Ersetzt, AnOrtGeschrieben, AnOrtGekuerzt };
void SetzeSchreibHaken(void (*haken)(TSchreibSchritt));
