// Replacing writes for the settings file: a write that fails never leaves a damaged file behind.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Gives the file the content `neu`. `alt` is its content as read before, or no value when it does not
// exist yet. True only when every byte reached the disk; on false the old file is still there byte for
// byte (or, as before, none). Where no new file can be made beside it, the file is rewritten in place.
bool ErsetzeDatei(const QString &pfad, const std::optional<QByteArray> &alt, const QByteArray &neu);
