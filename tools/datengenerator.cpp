// Builds the runtime folder from the facts in assets/: plate pictures, range text files, templates,
// state plates and the help document. Same facts, same bytes.
#include "data/ansi.h"
#include "data/datenordner.h"
#include "data/textdatei.h"
#include "data/vorlagen.h"
#include "tools/hilfedokument.h"
#include "tools/schilder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHashSeed>
#include <QImageWriter>
#include <QMap>
#include <QSet>
#include <QTextStream>
#include <cstdio>

namespace {

constexpr int JpegQualitaet = 90;

struct TDeutscherFakt {
  QString code, beschreibung, bundesland;
  bool optional = false;
};

struct TOesterreichFakt {
  QString code;
  QChar land;
  QString beschreibung;
};

enum class TKodierung { Utf8MitMarke, Utf16LE, Utf16BE, Ansi };

struct TTextDateiArt {
  TKodierung kodierung;
  bool crlf;
};

// Every accepted encoding and both line ends occur in the shipped files, so the program's decoder
// meets each of its paths with real data.
TTextDateiArt TextDateiArt(TBereich bereich) {
  switch (bereich) {
  case TBereich::A_E: return {TKodierung::Utf8MitMarke, true};
  case TBereich::F_J: return {TKodierung::Ansi, true};
  case TBereich::K_O: return {TKodierung::Utf16LE, true};
  case TBereich::P_T: return {TKodierung::Ansi, false};
  case TBereich::U_Z: return {TKodierung::Utf16BE, false};
  case TBereich::Oesterreich: return {TKodierung::Ansi, true};
  }
  return {TKodierung::Ansi, true};
}

[[noreturn]] void Abbruch(const QString &text) {
  std::fprintf(stderr, "nf_datengenerator: %s\n", qPrintable(text));
  std::exit(1);
}

// Rows of a TAB-separated UTF-8 file without its header line; every row must have `spalten` fields.
QList<QStringList> LeseTabelle(const QString &pfad, int spalten) {
  QFile datei(pfad);
  if (!datei.open(QIODevice::ReadOnly))
    Abbruch(QStringLiteral("cannot read %1").arg(pfad));
  const QStringList zeilen = QString::fromUtf8(datei.readAll()).split(QLatin1Char('\n'));
  QList<QStringList> zeilenFelder;
  for (int i = 1; i < zeilen.size(); ++i) {
    QString zeile = zeilen.at(i);
    if (zeile.endsWith(QLatin1Char('\r')))
      zeile.chop(1);
    if (zeile.trimmed().isEmpty())
      continue;
    const QStringList felder = zeile.split(QLatin1Char('\t'));
    if (felder.size() != spalten)
      Abbruch(
          QStringLiteral("%1 line %2: %3 fields, expected %4").arg(pfad).arg(i + 1).arg(felder.size()).arg(spalten));
    zeilenFelder.append(felder);
  }
  return zeilenFelder;
}

QList<TDeutscherFakt> LeseDeutscheFakten(const QString &pfad) {
  QList<TDeutscherFakt> fakten;
  for (const QStringList &f : LeseTabelle(pfad, 4)) {
    if (f[0].isEmpty() || f[0].size() > 3 || (f[3] != QLatin1String("0") && f[3] != QLatin1String("1")))
      Abbruch(QStringLiteral("%1: bad row for code \"%2\"").arg(pfad, f[0]));
    fakten.append({f[0], f[1], f[2], f[3] == QLatin1String("1")});
  }
  return fakten;
}

QList<TOesterreichFakt> LeseOesterreichFakten(const QString &pfad) {
  QList<TOesterreichFakt> fakten;
  for (const QStringList &f : LeseTabelle(pfad, 3)) {
    // The picture-name rule of the program allows two characters before the "_".
    if (f[0].isEmpty() || f[0].size() > 2 || f[1].size() != 1 || !QStringLiteral("0123456789-").contains(f[1]))
      Abbruch(QStringLiteral("%1: bad row for code \"%2\"").arg(pfad, f[0]));
    fakten.append({f[0], f[1].at(0), f[2]});
  }
  return fakten;
}

// The bracket after an Austrian description: the state, or who the plate belongs to.
QString LandName(QChar land) {
  static const QMap<QChar, QString> namen{
      {u'0', QStringLiteral("Bund")},
      {u'1', QStringLiteral("Burgenland")},
      {u'2', QStringLiteral("Kärnten")},
      {u'3', QStringLiteral("Niederösterreich")},
      {u'4', QStringLiteral("Oberösterreich")},
      {u'5', QStringLiteral("Salzburg")},
      {u'6', QStringLiteral("Steiermark")},
      {u'7', QStringLiteral("Tirol")},
      {u'8', QStringLiteral("Vorarlberg")},
      {u'9', QStringLiteral("Wien")},
      {u'-', QStringLiteral("ohne Landeswappen")},
  };
  return namen.value(land);
}

QByteArray Kodiere(const QString &text, TKodierung kodierung) {
  switch (kodierung) {
  case TKodierung::Utf8MitMarke: return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
  case TKodierung::Ansi: return NachAnsi(text);
  case TKodierung::Utf16LE:
  case TKodierung::Utf16BE: {
    const bool le = kodierung == TKodierung::Utf16LE;
    QByteArray bytes(le ? "\xFF\xFE" : "\xFE\xFF", 2);
    bytes.reserve(2 + 2 * text.size());
    for (const QChar c : text) {
      const char hoch = char(c.unicode() >> 8), tief = char(c.unicode() & 0xFF);
      bytes.append(le ? tief : hoch);
      bytes.append(le ? hoch : tief);
    }
    return bytes;
  }
  }
  return {};
}

void SchreibeDatei(const QString &pfad, const QByteArray &inhalt) {
  QDir().mkpath(QFileInfo(pfad).absolutePath());
  QFile datei(pfad);
  if (!datei.open(QIODevice::WriteOnly | QIODevice::Truncate) || datei.write(inhalt) != inhalt.size())
    Abbruch(QStringLiteral("cannot write %1").arg(pfad));
}

void SchreibeTextDatei(const TDatenOrdner &ziel, TBereich bereich, const QStringList &zeilen) {
  const QString name = BereichsTextDatei(bereich);
  const TTextDateiArt art = TextDateiArt(bereich);
  const QString ende = art.crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
  QString text;
  for (const QString &zeile : zeilen)
    text += zeile + ende;
  TKodierung kodierung = art.kodierung;
  // A character the code page lacks would come back as "?": such a file is written as UTF-8 instead.
  if (kodierung == TKodierung::Ansi && AnsiText(text) != text) {
    std::fprintf(stderr, "nf_datengenerator: %s needs UTF-8, not Windows-1252\n", qPrintable(name));
    kodierung = TKodierung::Utf8MitMarke;
  }
  SchreibeDatei(ziel.Ordner(bereich) + QLatin1Char('/') + name, Kodiere(text, kodierung));
}

void SpeichereBild(const QImage &bild, const QString &pfad, const char *format) {
  QDir().mkpath(QFileInfo(pfad).absolutePath());
  QImageWriter schreiber(pfad, format);
  if (qstrcmp(format, "jpeg") == 0)
    schreiber.setQuality(JpegQualitaet);
  if (!schreiber.write(bild))
    Abbruch(QStringLiteral("cannot write %1: %2").arg(pfad, schreiber.errorString()));
}

// The range a German code belongs in, by the same table the program uses for its text file.
TBereich DeutscherBereich(const QString &code) {
  const std::optional<TBereich> bereich = BereichFuerZeichen(0, code.at(0));
  if (!bereich)
    Abbruch(QStringLiteral("no letter range for the code \"%1\"").arg(code));
  return *bereich;
}

void ErzeugeDeutschland(const TDatenOrdner &ziel, const QList<TDeutscherFakt> &fakten) {
  QMap<TBereich, QStringList> zeilenJeBereich;
  QSet<QString> gezeichnet;
  for (const TDeutscherFakt &f : fakten) {
    const TBereich bereich = DeutscherBereich(f.code);
    const QString ordner = ziel.Ordner(bereich);
    const QString bild = f.code + QStringLiteral(".jpg");
    // The marker ", (optional)" is what the program spells out in its answer list.
    const QString beschreibung = f.beschreibung + (f.optional ? QStringLiteral(", (optional)") : QString()) +
                                 QStringLiteral(" [") + f.bundesland + QLatin1Char(']');
    zeilenJeBereich[bereich].append(bild + QLatin1Char('\t') + beschreibung);
    if (!gezeichnet.contains(f.code)) {
      gezeichnet.insert(f.code);
      SpeichereBild(ZeichneKennzeichen(f.code, false), ordner + QLatin1Char('/') + bild, "jpeg");
    }
  }
  for (auto it = zeilenJeBereich.cbegin(); it != zeilenJeBereich.cend(); ++it)
    SchreibeTextDatei(ziel, it.key(), it.value());
  std::printf("Germany: %lld lines, %lld pictures\n", qlonglong(fakten.size()), qlonglong(gezeichnet.size()));
}

void ErzeugeOesterreich(const TDatenOrdner &ziel, const QList<TOesterreichFakt> &fakten) {
  const QString ordner = ziel.Ordner(TBereich::Oesterreich);
  QStringList zeilen;
  QSet<QString> gezeichnet;
  for (const TOesterreichFakt &f : fakten) {
    const QString bild = f.code + QLatin1Char('_') + f.land + QStringLiteral(".jpg");
    if (WaehleTextDatei(1, ordner, bild).isEmpty())
      Abbruch(QStringLiteral("the Austrian code \"%1\" has no text file").arg(f.code));
    zeilen.append(bild + QLatin1Char('\t') + f.beschreibung + QStringLiteral(" [") + LandName(f.land) +
                  QLatin1Char(']'));
    if (!gezeichnet.contains(bild)) {
      gezeichnet.insert(bild);
      SpeichereBild(ZeichneKennzeichen(f.code, true), ordner + QLatin1Char('/') + bild, "jpeg");
    }
  }
  SchreibeTextDatei(ziel, TBereich::Oesterreich, zeilen);
  std::printf("Austria: %lld lines, %lld pictures\n", qlonglong(fakten.size()), qlonglong(gezeichnet.size()));
}

void ErzeugeVorlagen(const TDatenOrdner &ziel) {
  const QString d = QStringLiteral("Bilder/Deutschland/");
  SpeichereBild(ZeichneLeeresSchild(TSchildArt::Deutsch, SchildBreite), ziel.Datei(GruppenVorlageGross(0)), "bmp");
  SpeichereBild(ZeichneLeeresSchild(TSchildArt::Deutsch, KleinBreite), ziel.Datei(GruppenVorlageKlein(0)), "bmp");
  SpeichereBild(ZeichneLeeresSchild(TSchildArt::Bundeswehr, SchildBreite), ziel.Datei(GrosseVorlage(0, "Y.jpg")),
                "bmp");
  SpeichereBild(ZeichneLeeresSchild(TSchildArt::Bundeswehr, KleinBreite), ziel.Datei(KleineVorlage(0, "Y.jpg")), "bmp");
  SpeichereBild(ZeichneLeeresSchild(TSchildArt::Oesterreich, SchildBreite), ziel.Datei(GruppenVorlageGross(1)), "bmp");
  SpeichereBild(ZeichneLeeresSchild(TSchildArt::Oesterreich, KleinBreite), ziel.Datei(GruppenVorlageKlein(1)), "bmp");
  // The state plates are named by the program's own rule, so every suffix finds its picture.
  for (const QChar land : QStringLiteral("0123456789-"))
    SpeichereBild(ZeichneStaatsSchild(land),
                  ziel.Datei(GrosseVorlage(1, QStringLiteral("X_") + land + QStringLiteral(".jpg"))), "jpeg");
}

} // namespace

int main(int argc, char *argv[]) {
  // Hash order decides the order of objects in the PDF: a fixed seed keeps the output byte for byte.
  QHashSeed::setDeterministicGlobalSeed();
  QGuiApplication app(argc, argv);
  if (argc != 3)
    Abbruch(QStringLiteral("usage: nf_datengenerator <assets folder> <runtime folder>"));
  const QString quelle = QString::fromLocal8Bit(argv[1]);
  const TDatenOrdner ziel = TDatenOrdner::Aus(QDir(QString::fromLocal8Bit(argv[2])).absolutePath());
  if (!QImageWriter::supportedImageFormats().contains("jpeg"))
    Abbruch(QStringLiteral("Qt has no JPEG writer"));

  const QList<TDeutscherFakt> deutsch = LeseDeutscheFakten(quelle + QStringLiteral("/kennzeichen-de.tsv"));
  const QList<TOesterreichFakt> oesterreich = LeseOesterreichFakten(quelle + QStringLiteral("/kennzeichen-at.tsv"));

  // Start from an empty picture tree so no picture of a dropped code survives; the settings file stays.
  QDir(ziel.Datei(QStringLiteral("Bilder"))).removeRecursively();
  QDir().mkpath(ziel.Basis);
  ErzeugeDeutschland(ziel, deutsch);
  ErzeugeOesterreich(ziel, oesterreich);
  ErzeugeVorlagen(ziel);
  if (!SchreibeHilfe(quelle + QStringLiteral("/hilfe.html"), ziel.Hilfe()))
    Abbruch(QStringLiteral("cannot write %1").arg(ziel.Hilfe()));
  return 0;
}
