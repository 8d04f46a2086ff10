// Kennzeichen.ini, read and written with the classic profile semantics. The file is Windows-1252.
#include "app/einstellungen.h"

#include "data/ansi.h"

#include <QFile>
#include <QSaveFile>
#include <QVector>

namespace {

constexpr int WertGrenze = 254; // the classic read buffer holds 255 characters with the terminator

struct TZeile {
  QByteArray Text; // without its line end
  QByteArray Ende; // "\r\n", "\n", "\r" or empty for the last line
};

QVector<TZeile> Zeilen(const QByteArray &daten) {
  QVector<TZeile> zeilen;
  int anfang = 0;
  while (anfang < daten.size()) {
    int i = anfang;
    while (i < daten.size() && daten[i] != '\n' && daten[i] != '\r')
      ++i;
    TZeile zeile{daten.mid(anfang, i - anfang), {}};
    if (i < daten.size()) {
      const int laenge = (daten[i] == '\r' && i + 1 < daten.size() && daten[i + 1] == '\n') ? 2 : 1;
      zeile.Ende = daten.mid(i, laenge);
      i += laenge;
    }
    zeilen.append(zeile);
    anfang = i;
  }
  return zeilen;
}

// The name of a "[section]" line, or no value for any other line.
std::optional<QByteArray> AbschnittVon(const QByteArray &zeile) {
  const QByteArray t = zeile.trimmed();
  if (!t.startsWith('['))
    return std::nullopt;
  const int ende = t.indexOf(']');
  return (ende < 0 ? t.mid(1) : t.mid(1, ende - 1)).trimmed();
}

bool GleicherName(const QByteArray &a, const QString &b) { return VonAnsi(a).compare(b, Qt::CaseInsensitive) == 0; }

// The key of a "key=value" line; comment lines have none.
std::optional<QByteArray> SchluesselVon(const QByteArray &zeile) {
  const int gleich = zeile.indexOf('=');
  if (gleich < 0 || zeile.trimmed().startsWith(';'))
    return std::nullopt;
  return zeile.left(gleich).trimmed();
}

} // namespace

QString LiesProfil(const QString &datei, const QString &abschnitt, const QString &schluessel, const QString &vorgabe) {
  QFile file(datei);
  if (!file.open(QIODevice::ReadOnly))
    return vorgabe.left(WertGrenze);
  bool imAbschnitt = false;
  for (const TZeile &zeile : Zeilen(file.readAll())) {
    if (const auto name = AbschnittVon(zeile.Text)) {
      // Only the first section of that name counts, the one a write goes to.
      if (imAbschnitt)
        break;
      imAbschnitt = GleicherName(*name, abschnitt);
      continue;
    }
    if (!imAbschnitt)
      continue;
    const auto name = SchluesselVon(zeile.Text);
    if (!name || !GleicherName(*name, schluessel))
      continue;
    QByteArray wert = zeile.Text.mid(zeile.Text.indexOf('=') + 1).trimmed();
    // A value in matching quotes is read without them.
    if (wert.size() >= 2 &&
        ((wert.startsWith('"') && wert.endsWith('"')) || (wert.startsWith('\'') && wert.endsWith('\''))))
      wert = wert.mid(1, wert.size() - 2);
    return VonAnsi(wert.left(WertGrenze));
  }
  return vorgabe.left(WertGrenze);
}

bool SchreibeProfil(const QString &datei, const QString &abschnitt, const QString &schluessel, const QString &wert) {
  QByteArray alt;
  {
    QFile file(datei);
    if (file.exists()) {
      if (!file.open(QIODevice::ReadOnly))
        return false;
      alt = file.readAll();
    }
  }
  QVector<TZeile> zeilen = Zeilen(alt);
  const QByteArray neueZeile = NachAnsi(schluessel) + '=' + NachAnsi(wert);
  // Keep the file's own line ends for anything we add.
  const QByteArray ende = (!zeilen.isEmpty() && zeilen.first().Ende == "\n") ? QByteArray("\n") : QByteArray("\r\n");

  int abschnittZeile = -1;
  int letzteImAbschnitt = -1;
  bool erledigt = false;
  for (int i = 0; i < zeilen.size() && !erledigt; ++i) {
    if (const auto name = AbschnittVon(zeilen[i].Text)) {
      if (abschnittZeile >= 0)
        break; // the section ended without the key
      if (GleicherName(*name, abschnitt))
        abschnittZeile = letzteImAbschnitt = i;
      continue;
    }
    if (abschnittZeile < 0)
      continue;
    if (!zeilen[i].Text.trimmed().isEmpty())
      letzteImAbschnitt = i;
    const auto name = SchluesselVon(zeilen[i].Text);
    if (name && GleicherName(*name, schluessel)) {
      zeilen[i].Text = neueZeile;
      erledigt = true;
    }
  }
  if (!erledigt) {
    if (abschnittZeile >= 0) {
      if (zeilen[letzteImAbschnitt].Ende.isEmpty())
        zeilen[letzteImAbschnitt].Ende = ende;
      zeilen.insert(letzteImAbschnitt + 1, TZeile{neueZeile, ende});
    } else {
      if (!zeilen.isEmpty() && zeilen.last().Ende.isEmpty())
        zeilen.last().Ende = ende;
      zeilen.append(TZeile{'[' + NachAnsi(abschnitt) + ']', ende});
      zeilen.append(TZeile{neueZeile, ende});
    }
  }

  QByteArray neu;
  for (const TZeile &zeile : zeilen)
    neu += zeile.Text + zeile.Ende;
  QSaveFile file(datei);
  if (!file.open(QIODevice::WriteOnly))
    return false;
  file.write(neu);
  return file.commit();
}

std::optional<int> LiesGanzzahl(const QString &wert) {
  bool ok = false;
  const int zahl = wert.toInt(&ok, 10);
  return ok ? std::optional<int>(zahl) : std::nullopt;
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

QString StandardKartenAdresse() { return QStringLiteral("https://www.openstreetmap.org/"); }
