// Text files of the ranges: which one a picture needs, and turning its bytes into lines.
#include "data/textdatei.h"

#include "data/ansi.h"
#include "data/dateilesen.h"
#include "data/datenordner.h"

#include <QFileInfo>
#include <QtEndian>

QString TextDateiName(int gruppe, QChar ersterBuchstabe) {
  const std::optional<TBereich> bereich = BereichFuerZeichen(gruppe, ersterBuchstabe);
  return bereich ? BereichsTextDatei(*bereich) : QString();
}

QString WaehleTextDatei(int gruppe, const QString &ordner, const QString &bildDatei) {
  if (bildDatei.isEmpty())
    return {};
  const QString name = TextDateiName(gruppe, bildDatei.at(0));
  if (name.isEmpty())
    return {};
  return ordner + QLatin1Char('/') + name;
}

namespace {

// A dangling last byte of an odd-length file is dropped: it cannot be half a character.
QString VonUtf16(const char *daten, qsizetype laenge, bool kleinesEnde) {
  const qsizetype anzahl = laenge / 2;
  QString text(anzahl, Qt::Uninitialized);
  char16_t *ziel = reinterpret_cast<char16_t *>(text.data());
  for (qsizetype i = 0; i < anzahl; ++i) {
    const char *p = daten + 2 * i;
    ziel[i] = kleinesEnde ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
  }
  return text;
}

bool BeginntMit(const QByteArray &bytes, std::initializer_list<unsigned char> marke) {
  if (bytes.size() < qsizetype(marke.size()))
    return false;
  qsizetype i = 0;
  for (unsigned char b : marke)
    if (static_cast<unsigned char>(bytes.at(i++)) != b)
      return false;
  return true;
}

} // namespace

QString DekodiereText(const QByteArray &bytes) {
  if (BeginntMit(bytes, {0xFF, 0xFE}))
    return VonUtf16(bytes.constData() + 2, bytes.size() - 2, true);
  if (BeginntMit(bytes, {0xFE, 0xFF}))
    return VonUtf16(bytes.constData() + 2, bytes.size() - 2, false);
  if (BeginntMit(bytes, {0xEF, 0xBB, 0xBF}))
    // Invalid sequences become U+FFFD; embedded NUL bytes stay part of the text.
    return QString::fromUtf8(QByteArrayView(bytes).sliced(3));
  return VonAnsi(bytes);
}

namespace {

// The lines ZerlegeZeilen would make, counted without making them.
qsizetype ZaehleZeilen(const QString &text) {
  qsizetype zeilen = 0;
  const QChar *const daten = text.constData();
  const qsizetype laenge = text.size();
  qsizetype anfang = 0;
  for (qsizetype i = 0; i < laenge;) {
    const char16_t c = daten[i++].unicode();
    if (c != u'\r' && c != u'\n' && c != u'\u2028')
      continue;
    if (c == u'\r' && i < laenge && daten[i] == u'\n')
      ++i;
    ++zeilen;
    anfang = i;
  }
  return zeilen + (anfang < laenge ? 1 : 0);
}

} // namespace

// A line break at the very end closes the last line and opens no empty one, as the classic memo did:
// "a\r\n" gives one line, "a\r\n\r\n" gives "a" and "".
QStringList ZerlegeZeilen(const QString &text) {
  QStringList zeilen;
  const QChar *const daten = text.constData();
  const qsizetype laenge = text.size();
  qsizetype anfang = 0;
  qsizetype i = 0;
  while (i < laenge) {
    const char16_t c = daten[i].unicode();
    if (c != u'\r' && c != u'\n' && c != u'\u2028') {
      ++i;
      continue;
    }
    zeilen.append(QString(daten + anfang, i - anfang));
    ++i;
    if (c == u'\r' && i < laenge && daten[i] == u'\n')
      ++i;
    anfang = i;
  }
  if (anfang < laenge)
    zeilen.append(QString(daten + anfang, laenge - anfang));
  return zeilen;
}

std::optional<QStringList> LadeZeilen(const QString &pfad) {
  QString text;
  {
    // The raw bytes go before splitting, so a large file never holds bytes, text and lines at once.
    const TDateiInhalt inhalt = LiesRegulaereDatei(pfad, GroessteTextDatei);
    if (inhalt.Zustand != TDateiZustand::Gelesen)
      return std::nullopt;
    text = DekodiereText(inhalt.Daten);
  }
  // Counted before the lines are made: a file of line breaks alone costs a list entry a byte.
  if (ZaehleZeilen(text) > GroessteZeilenzahl)
    return std::nullopt;
  return ZerlegeZeilen(text);
}

QString TextDateiFehltMeldung(const QString &pfad) {
  if (QFileInfo(pfad).fileName() == BereichsTextDatei(TBereich::Oesterreich))
    return FehltMeldung(QStringLiteral("Datei: "), pfad, QStringLiteral("!!!ist nicht vorhanden!"));
  return FehltMeldung(QStringLiteral("Datei: "), pfad);
}
