// The help PDF, set with Qt's text layout and paged here, so that no paragraph is torn across two pages;
// its creation date is fixed so that a rebuild gives the same bytes.
#include "tools/hilfedokument.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

namespace {

constexpr int Aufloesung = 300;
// The layout measures margins in pixels of a 96-dpi screen and scales them to the writer.
constexpr qreal LayoutDpi = 96;
// Text margins inside the printable area, on top of the page's own 2 cm: a column of a comfortable
// line length, and room for the page number below it.
constexpr qreal RandSeite = 2 / 2.54 * LayoutDpi;
constexpr qreal RandOben = 0.5 / 2.54 * LayoutDpi;
constexpr qreal RandUnten = 1.2 / 2.54 * LayoutDpi;
const QString Autor = QStringLiteral("Nummernfibel-Projekt");
const QByteArray Sprache("de-DE");

// The PDF engine stamps the current time; overwrite it in place (same length) so the byte offsets stay valid.
bool FesteZeit(QByteArray &pdf) {
  const QByteArray kennung("/CreationDate (D:");
  const qsizetype anfang = pdf.indexOf(kennung);
  if (anfang < 0)
    return true;
  const qsizetype datum = anfang + kennung.size();
  const qsizetype ende = pdf.indexOf(')', datum);
  if (ende < 0)
    return false;
  QByteArray fest = QByteArray("20240101000000").leftJustified(ende - datum, '0', true);
  // Keep a time-zone suffix such as "Z" or "+01'00'" in the same shape: digits become zeros, marks stay.
  for (qsizetype i = 14; i < fest.size(); ++i)
    fest[i] = (pdf.at(datum + i) >= '0' && pdf.at(datum + i) <= '9') ? '0' : pdf.at(datum + i);
  pdf.replace(datum, ende - datum, fest);
  return true;
}

// Inserts bytes in front of the cross-reference table and moves every offset behind the insertion along,
// so the file stays valid without a rewrite by the engine.
bool FuegeEin(QByteArray &pdf, qsizetype stelle, const QByteArray &einschub) {
  const qsizetype xref = pdf.lastIndexOf("\nxref\n");
  const qsizetype start = pdf.lastIndexOf("\nstartxref\n");
  if (stelle < 0 || xref < stelle || start < xref)
    return false;
  pdf.insert(stelle, einschub);
  const qsizetype verschub = einschub.size();

  // Subsections: a line "first count", then count entries of exactly 20 bytes each.
  qsizetype pos = xref + verschub + 6;
  const qsizetype tabellenEnde = pdf.indexOf("trailer", pos);
  while (pos < tabellenEnde) {
    const qsizetype zeilenEnde = pdf.indexOf('\n', pos);
    const QList<QByteArray> kopf = pdf.mid(pos, zeilenEnde - pos).simplified().split(' ');
    bool ok = kopf.size() == 2;
    const int anzahl = ok ? kopf.at(1).toInt(&ok) : 0;
    if (!ok || zeilenEnde + 1 + qsizetype(anzahl) * 20 > tabellenEnde)
      return false;
    pos = zeilenEnde + 1;
    for (int i = 0; i < anzahl; ++i, pos += 20) {
      if (pdf.at(pos + 17) != 'n')
        continue;
      const qlonglong versatz = pdf.mid(pos, 10).toLongLong(&ok);
      if (!ok)
        return false;
      if (versatz >= stelle)
        pdf.replace(pos, 10, QByteArray::number(versatz + verschub).rightJustified(10, '0'));
    }
  }
  const qsizetype zahl = pdf.indexOf("startxref\n", start + verschub) + 10;
  const qsizetype zahlEnde = pdf.indexOf('\n', zahl);
  bool ok = false;
  const qlonglong alt = pdf.mid(zahl, zahlEnde - zahl).trimmed().toLongLong(&ok);
  if (!ok)
    return false;
  pdf.replace(zahl, zahlEnde - zahl, QByteArray::number(alt + verschub));
  return true;
}

// A text for a PDF dictionary as UTF-16 in hex, which needs no escaping.
QByteArray PdfText(const QString &text) {
  QByteArray hex("<FEFF");
  for (const QChar c : text)
    hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
  return hex + '>';
}

// Qt's writer knows no author and no document language; both go into its dictionaries afterwards.
bool ErgaenzeAutorUndSprache(QByteArray &pdf) {
  const qsizetype katalog = pdf.indexOf("/Type /Catalog\n");
  if (katalog < 0 || !FuegeEin(pdf, katalog, "/Lang (" + Sprache + ")\n"))
    return false;
  return FuegeEin(pdf, pdf.indexOf("/Creator "), "/Author " + PdfText(Autor) + '\n');
}

// A heading, and a paragraph that leads in with a colon, is kept with what follows it; everything else
// stands alone.
struct TEinheit {
  QTextBlock block;   // the block that takes a page break, if the unit starts with one
  QTextFrame *rahmen; // else the table that takes it
  qreal oben, unten;  // extent of its lines, in layout coordinates over all pages
};

QList<TEinheit> Einheiten(QTextDocument &dokument) {
  QAbstractTextDocumentLayout *layout = dokument.documentLayout();
  QList<TEinheit> einheiten;
  bool haengtAn = false;
  for (auto it = dokument.rootFrame()->begin(); !it.atEnd(); ++it) {
    QTextFrame *rahmen = it.currentFrame();
    const QTextBlock block = it.currentBlock();
    const QRectF flaeche = rahmen ? layout->frameBoundingRect(rahmen) : layout->blockBoundingRect(block);
    // An empty block (the one after a table) holds no line worth keeping anywhere.
    if (!rahmen && (block.text().isEmpty() || block.layout()->lineCount() == 0))
      continue;
    if (haengtAn)
      einheiten.last().unten = flaeche.bottom();
    else
      einheiten.append({rahmen ? QTextBlock() : block, rahmen, flaeche.top(), flaeche.bottom()});
    haengtAn = !rahmen && (block.blockFormat().headingLevel() > 0 || block.text().endsWith(QLatin1Char(':')));
  }
  return einheiten;
}

// Moves each unit that would straddle a page break to the next page, one at a time from the top, since
// each move shifts everything below it.
void HalteAbsaetzeZusammen(QTextDocument &dokument) {
  const qreal seitenHoehe = dokument.pageSize().height();
  QSet<int> verschoben;
  for (bool weiter = true; weiter;) {
    weiter = false;
    for (const TEinheit &e : Einheiten(dokument)) {
      if (int(e.oben / seitenHoehe) == int((e.unten - 1) / seitenHoehe))
        continue;
      const int position = e.rahmen ? e.rahmen->firstPosition() : e.block.position();
      // A unit taller than a page straddles wherever it starts: moving it once is all that helps.
      if (verschoben.contains(position))
        continue;
      verschoben.insert(position);
      if (e.rahmen) {
        QTextFrameFormat format = e.rahmen->frameFormat();
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        e.rahmen->setFrameFormat(format);
      } else {
        QTextCursor cursor(e.block);
        QTextBlockFormat format;
        format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        cursor.mergeBlockFormat(format);
      }
      weiter = true;
      break;
    }
  }
}

void ZeichneSeiten(QTextDocument &dokument, QPdfWriter &schreiber) {
  QPainter maler(&schreiber);
  const QSizeF seite = dokument.pageSize();
  const qreal skala = schreiber.logicalDpiY() / LayoutDpi;
  const QFontMetricsF masse(dokument.defaultFont(), &schreiber);
  for (int nummer = 0; nummer < dokument.pageCount(); ++nummer) {
    if (nummer > 0)
      schreiber.newPage();
    const QRectF sicht(QPointF(0, nummer * seite.height()), seite);
    maler.save();
    maler.translate(0, -sicht.top());
    maler.setClipRect(sicht);
    QAbstractTextDocumentLayout::PaintContext kontext;
    kontext.clip = sicht;
    kontext.palette.setColor(QPalette::Text, Qt::black);
    dokument.documentLayout()->draw(&maler, kontext);
    maler.restore();

    // The page number sits in the bottom margin, flush with the right edge of the text.
    const QString zahl = QString::number(nummer + 1);
    maler.setFont(dokument.defaultFont());
    maler.drawText(QPointF(seite.width() - RandSeite * skala - masse.horizontalAdvance(zahl),
                           seite.height() - RandUnten * skala / 2 + masse.ascent() / 2),
                   zahl);
  }
}

} // namespace

bool SchreibeHilfe(const QString &htmlPfad, const QString &pdfPfad) {
  QFile quelle(htmlPfad);
  if (!quelle.open(QIODevice::ReadOnly))
    return false;
  const QString html = QString::fromUtf8(quelle.readAll());

  QByteArray pdf;
  {
    QBuffer puffer(&pdf);
    puffer.open(QIODevice::WriteOnly);
    QPdfWriter schreiber(&puffer);
    schreiber.setCreator(QStringLiteral("Nummernfibel " NF_VERSION));
    schreiber.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                        QPageLayout::Millimeter));
    schreiber.setResolution(Aufloesung);

    QTextDocument dokument;
    QFont schrift(QStringLiteral("DejaVu Sans"));
    schrift.setPointSizeF(10.5);
    // Shaping would join "fi" and "ff" into ligature glyphs, which copy and search as U+FB01 and U+FB00.
    schrift.setStyleStrategy(QFont::PreferNoShaping);
    dokument.setDefaultFont(schrift);
    dokument.setDefaultStyleSheet(QStringLiteral("h1 { color: #003399; } h2 { color: #003399; margin-top: 14px; }"
                                                 "td, th { padding: 4px; }"));
    dokument.setHtml(html);
    schreiber.setTitle(dokument.metaInformation(QTextDocument::DocumentTitle));

    // Laid out for the writer itself, so the pages measured here are the pages printed.
    dokument.documentLayout()->setPaintDevice(&schreiber);
    dokument.setPageSize(QSizeF(schreiber.width(), schreiber.height()));
    QTextFrameFormat rand = dokument.rootFrame()->frameFormat();
    rand.setLeftMargin(RandSeite);
    rand.setRightMargin(RandSeite);
    rand.setTopMargin(RandOben);
    rand.setBottomMargin(RandUnten);
    dokument.rootFrame()->setFrameFormat(rand);
    HalteAbsaetzeZusammen(dokument);
    ZeichneSeiten(dokument, schreiber);
  }
  if (!FesteZeit(pdf) || !ErgaenzeAutorUndSprache(pdf))
    return false;
  QFile ziel(pdfPfad);
  return ziel.open(QIODevice::WriteOnly | QIODevice::Truncate) && ziel.write(pdf) == pdf.size();
}
