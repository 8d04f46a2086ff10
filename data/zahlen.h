// Whole numbers in text, read the way the classic conversion read them.
#pragma once

#include <QString>
#include <optional>

// A whole decimal number, or no value. Blanks in front are skipped; anything after the digits fails.
std::optional<int> LiesGanzzahl(const QString &wert);
