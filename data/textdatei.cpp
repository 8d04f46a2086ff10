// Text files of the ranges: which one a picture needs, and turning its bytes into lines.
#include "data/textdatei.h"

#include "data/ansi.h"
#include "data/dateilesen.h"
#include "data/datenordner.h"

#include <QFileInfo>
#include <QStringDecoder>

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

std::optional<QStringConverter::Encoding> MarkenKodierung(QByteArrayView bytes) {
  const std::optional<QStringConverter::Encoding> kodierung = QStringConverter::encodingForData(bytes);
  // The classic reader knew no UTF-32: the little-endian mark begins with UTF-16's, the big-endian one
  // with a NUL byte, which is no mark at all.
  if (kodierung == QStringConverter::Utf32LE)
    return QStringConverter::Utf16LE;
  if (kodierung == QStringConverter::Utf32BE)
    return std::nullopt;
  return kodierung;
}

QString DekodiereText(const QByteArray &bytes) {
  const std::optional<QStringConverter::Encoding> kodierung = MarkenKodierung(bytes);
  if (!kodierung)
    return VonAnsi(bytes);
  // The decoder skips the mark. A cut UTF-8 sequence at the end becomes U+FFFD, while a dangling last
  // byte of UTF-16 stays in the decoder's state and is dropped: it cannot be half a character.
  const auto art =
      *kodierung == QStringConverter::Utf8 ? QStringDecoder::Flag::Stateless : QStringDecoder::Flag::Default;
  return QStringDecoder(*kodierung, art)(bytes);
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
