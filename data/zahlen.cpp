// Whole numbers in text, read the way the classic conversion read them.
#include "data/zahlen.h"

#include <climits>

std::optional<int> LiesGanzzahl(const QString &wert) {
  // As the classic conversion: blanks in front are skipped, a sign may follow, then digits and nothing
  // else (a blank after the number fails, which Qt's own conversion would accept).
  qsizetype i = 0;
  while (i < wert.size() && wert[i] == u' ')
    ++i;
  const bool negativ = i < wert.size() && wert[i] == u'-';
  if (i < wert.size() && (wert[i] == u'-' || wert[i] == u'+'))
    ++i;
  if (i == wert.size())
    return std::nullopt;
  qint64 betrag = 0;
  for (; i < wert.size(); ++i) {
    if (wert[i] < u'0' || wert[i] > u'9')
      return std::nullopt;
    betrag = betrag * 10 + (wert[i].unicode() - u'0');
    if (betrag > qint64(INT_MAX) + 1)
      return std::nullopt;
  }
  const qint64 zahl = negativ ? -betrag : betrag;
  if (zahl > INT_MAX)
    return std::nullopt;
  return int(zahl);
}
