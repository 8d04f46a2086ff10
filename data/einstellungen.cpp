// Kennzeichen.ini, read and written with the classic profile semantics. A file without a byte-order mark
// is Windows-1252; one with a mark (UTF-8, UTF-16 LE or BE) is read and written in its own encoding.
#include "data/einstellungen.h"

#include "data/dateizugriff.h"
#include "data/ansi.h"
#include "data/dateilesen.h"
#include "data/textdatei.h"
#include "data/zahlen.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <QVector>

namespace {

constexpr int WertGrenze = 254; // the classic read buffer holds 255 characters with the terminator
// Far more than any settings file holds; bounds what a stray large file could cost.
constexpr qint64 DateiGrenze = 1024 * 1024;

enum class TKodierung { Ansi, Utf8, Utf16LE, Utf16BE };

struct TZeile {
  QByteArray Text; // without its line end, in the file's encoding
  QByteArray Ende; // "\r\n", "\n", "\r" or empty for the last line
};

// The file as lines of raw bytes: whatever is not rewritten goes back exactly as it came.
struct TProfil {
  TKodierung Kodierung = TKodierung::Ansi;
  QByteArray Marke;
  QVector<TZeile> Zeilen;

  bool Utf16() const { return Kodierung == TKodierung::Utf16LE || Kodierung == TKodierung::Utf16BE; }

  // One code unit at byte position i: a byte, or two of them in UTF-16.
  char16_t Einheit(const QByteArray &daten, qsizetype i) const {
    const auto b = [&daten](qsizetype k) { return char16_t(uchar(daten[k])); };
    if (Kodierung == TKodierung::Utf16LE)
      return char16_t(b(i) | b(i + 1) << 8);
    if (Kodierung == TKodierung::Utf16BE)
      return char16_t(b(i) << 8 | b(i + 1));
    return b(i);
  }

  QString Text(const QByteArray &bytes) const {
    switch (Kodierung) {
    case TKodierung::Ansi: return VonAnsi(bytes);
    case TKodierung::Utf8: return QString::fromUtf8(bytes);
    case TKodierung::Utf16LE: return QStringDecoder(QStringDecoder::Utf16LE, QStringDecoder::Flag::Stateless)(bytes);
    case TKodierung::Utf16BE: return QStringDecoder(QStringDecoder::Utf16BE, QStringDecoder::Flag::Stateless)(bytes);
    }
    return {};
  }

  QByteArray Kodiert(const QString &text) const {
    switch (Kodierung) {
    case TKodierung::Ansi: return NachAnsi(text);
    case TKodierung::Utf8: return text.toUtf8();
    case TKodierung::Utf16LE: return QStringEncoder(QStringEncoder::Utf16LE)(text);
    case TKodierung::Utf16BE: return QStringEncoder(QStringEncoder::Utf16BE)(text);
    }
    return {};
  }

  QByteArray Daten() const {
    QByteArray daten = Marke;
    for (const TZeile &zeile : Zeilen)
      daten += zeile.Text + zeile.Ende;
    return daten;
  }
};

TProfil ZerlegeProfil(const QByteArray &daten) {
  TProfil profil;
  switch (MarkenKodierung(daten).value_or(QStringConverter::System)) {
  case QStringConverter::Utf8: profil.Kodierung = TKodierung::Utf8; break;
  case QStringConverter::Utf16LE: profil.Kodierung = TKodierung::Utf16LE; break;
  case QStringConverter::Utf16BE: profil.Kodierung = TKodierung::Utf16BE; break;
  default: break;
  }
  profil.Marke = daten.left(profil.Kodierung == TKodierung::Utf8 ? 3 : profil.Utf16() ? 2 : 0);

  const qsizetype breite = profil.Utf16() ? 2 : 1;
  const auto istEnde = [&](qsizetype i) {
    const char16_t einheit = profil.Einheit(daten, i);
    return einheit == u'\n' || einheit == u'\r';
  };
  qsizetype anfang = profil.Marke.size();
  while (anfang < daten.size()) {
    qsizetype i = anfang;
    while (i + breite <= daten.size() && !istEnde(i))
      i += breite;
    // An odd byte at the end of a UTF-16 file stays with the last line's text.
    if (i + breite > daten.size())
      i = daten.size();
    TZeile zeile{daten.mid(anfang, i - anfang), {}};
    if (i < daten.size()) {
      const bool crlf = profil.Einheit(daten, i) == u'\r' && i + 2 * breite <= daten.size() &&
                        profil.Einheit(daten, i + breite) == u'\n';
      const qsizetype laenge = crlf ? 2 * breite : breite;
      zeile.Ende = daten.mid(i, laenge);
      i += laenge;
    }
    profil.Zeilen.append(zeile);
    anfang = i;
  }
  return profil;
}

// Trims blanks, tabs and line-end characters only, as the byte-wise classic functions did.
QString Beschnitten(const QString &text) {
  const auto leer = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
  qsizetype anfang = 0, ende = text.size();
  while (anfang < ende && leer(text[anfang]))
    ++anfang;
  while (ende > anfang && leer(text[ende - 1]))
    --ende;
  return text.mid(anfang, ende - anfang);
}

// The name of a "[section]" line, or no value for any other line.
std::optional<QString> AbschnittVon(const QString &zeile) {
  const QString t = Beschnitten(zeile);
  if (!t.startsWith(u'['))
    return std::nullopt;
  const qsizetype ende = t.indexOf(u']');
  return Beschnitten(ende < 0 ? t.mid(1) : t.mid(1, ende - 1));
}

bool GleicherName(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The key of a "key=value" line; comment lines have none.
std::optional<QString> SchluesselVon(const QString &zeile) {
  const qsizetype gleich = zeile.indexOf(u'=');
  if (gleich < 0 || Beschnitten(zeile).startsWith(u';'))
    return std::nullopt;
  return Beschnitten(zeile.left(gleich));
}

QString Begrenzt(const QString &wert) {
  QString teil = wert.left(WertGrenze);
  // Never half a character outside the basic plane.
  if (teil.size() == WertGrenze && teil.back().isHighSurrogate())
    teil.chop(1);
  return teil;
}

} // namespace

QString LiesProfil(const QString &datei, const QString &abschnitt, const QString &schluessel, const QString &vorgabe) {
  // A pipe, a device or an oversized file reads as a missing one.
  const TDateiInhalt inhalt = LiesRegulaereDatei(datei, DateiGrenze);
  if (inhalt.Zustand != TDateiZustand::Gelesen)
    return Begrenzt(vorgabe);
  const TProfil profil = ZerlegeProfil(inhalt.Daten);
  bool imAbschnitt = false;
  for (const TZeile &zeile : profil.Zeilen) {
    const QString text = profil.Text(zeile.Text);
    if (const auto name = AbschnittVon(text)) {
      // Only the first section of that name counts, the one a write goes to.
      if (imAbschnitt)
        break;
      imAbschnitt = GleicherName(*name, abschnitt);
      continue;
    }
    if (!imAbschnitt)
      continue;
    const auto name = SchluesselVon(text);
    if (!name || !GleicherName(*name, schluessel))
      continue;
    QString wert = Beschnitten(text.mid(text.indexOf(u'=') + 1));
    // A value in matching quotes is read without them.
    if (wert.size() >= 2 &&
        ((wert.startsWith(u'"') && wert.endsWith(u'"')) || (wert.startsWith(u'\'') && wert.endsWith(u'\''))))
      wert = wert.mid(1, wert.size() - 2);
    return Begrenzt(wert);
  }
  return Begrenzt(vorgabe);
}

bool SchreibeProfil(const QString &datei, const QString &abschnitt, const QString &schluessel, const QString &wert) {
  const TDateiInhalt inhalt = LiesRegulaereDatei(datei, DateiGrenze);
  // A pipe, a device or a file we cannot read whole was put there by someone on purpose: neither
  // written into nor replaced.
  if (inhalt.Zustand == TDateiZustand::Unbrauchbar)
    return false;
  TProfil profil = ZerlegeProfil(inhalt.Daten);
  QVector<TZeile> &zeilen = profil.Zeilen;
  const QByteArray neueZeile = profil.Kodiert(schluessel + u'=' + wert);
  // Keep the file's own line ends for anything we add.
  const QByteArray ende = profil.Kodiert(
      (!zeilen.isEmpty() && zeilen.first().Ende == profil.Kodiert(QStringLiteral("\n"))) ? QStringLiteral("\n")
                                                                                         : QStringLiteral("\r\n"));

  qsizetype abschnittZeile = -1;
  qsizetype letzteImAbschnitt = -1;
  bool erledigt = false;
  for (qsizetype i = 0; i < zeilen.size() && !erledigt; ++i) {
    const QString text = profil.Text(zeilen[i].Text);
    if (const auto name = AbschnittVon(text)) {
      if (abschnittZeile >= 0)
        break; // the section ended without the key
      if (GleicherName(*name, abschnitt))
        abschnittZeile = letzteImAbschnitt = i;
      continue;
    }
    if (abschnittZeile < 0)
      continue;
    if (!Beschnitten(text).isEmpty())
      letzteImAbschnitt = i;
    const auto name = SchluesselVon(text);
    if (name && GleicherName(*name, schluessel)) {
      zeilen[i].Text = neueZeile;
      erledigt = true;
    }
  }
  // The last line gets an end before anything follows it. A lone byte at the end of a UTF-16 file becomes
  // a whole character, or everything added after it would be read one byte askew.
  const auto beende = [&](TZeile &zeile) {
    if (!zeile.Ende.isEmpty())
      return;
    if (profil.Utf16() && zeile.Text.size() % 2 != 0)
      zeile.Text += '\0';
    zeile.Ende = ende;
  };
  if (!erledigt) {
    if (abschnittZeile >= 0) {
      beende(zeilen[letzteImAbschnitt]);
      zeilen.insert(letzteImAbschnitt + 1, TZeile{neueZeile, ende});
    } else {
      if (!zeilen.isEmpty())
        beende(zeilen.last());
      zeilen.append(TZeile{profil.Kodiert(u'[' + abschnitt + u']'), ende});
      zeilen.append(TZeile{neueZeile, ende});
    }
  }

  const QByteArray neu = profil.Daten();
  if (inhalt.Zustand == TDateiZustand::Gelesen) {
    // Nothing changed: the disk is left alone.
    if (neu == inhalt.Daten)
      return true;
    return ErsetzeDatei(datei, inhalt.Daten, neu);
  }
  return ErsetzeDatei(datei, std::nullopt, neu);
}

std::optional<TGroesse> LiesGroesse(const QString &wert) {
  const int x = wert.indexOf(QLatin1Char('x'));
  if (x < 0)
    return std::nullopt;
  const auto breite = LiesGanzzahl(wert.left(x));
  const auto hoehe = LiesGanzzahl(wert.mid(x + 1, 5));
  if (!breite || !hoehe)
    return std::nullopt;
  return TGroesse{*breite, *hoehe};
}

std::optional<TGroesse> PassendeGroesse(TGroesse groesse, QSize rahmen, QSize frei) {
  // Without a client area the window would be invisible, and a size beyond the free area of the screen
  // would put the tool bar out of reach.
  if (groesse.Breite <= rahmen.width() || groesse.Hoehe <= rahmen.height() || frei.width() <= rahmen.width() ||
      frei.height() <= rahmen.height())
    return std::nullopt;
  return TGroesse{qMin(groesse.Breite, frei.width()), qMin(groesse.Hoehe, frei.height())};
}

QPoint FensterPosition(QSize aussen, const QRect &frei) {
  return frei.topLeft() +
         QPoint(qMax(0, (frei.width() - aussen.width()) / 2), qMax(0, (frei.height() - aussen.height()) / 2));
}
