// The help PDF, set with Qt's text layout; its creation date is fixed so that a rebuild gives the same bytes.
#include "tools/hilfedokument.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>

namespace {

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
    schreiber.setTitle(QStringLiteral("Nummernfibel – Hilfe"));
    schreiber.setCreator(QStringLiteral("Nummernfibel"));
    schreiber.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                        QPageLayout::Millimeter));
    schreiber.setResolution(300);

    QTextDocument dokument;
    QFont schrift(QStringLiteral("DejaVu Sans"));
    schrift.setPointSizeF(10.5);
    dokument.setDefaultFont(schrift);
    dokument.setDefaultStyleSheet(QStringLiteral("h1 { color: #003399; } h2 { color: #003399; margin-top: 14px; }"
                                                 "td, th { padding: 4px; }"));
    dokument.setHtml(html);
    // Without a page size of its own the document is laid out again at the writer's resolution and paginated.
    dokument.print(&schreiber);
  }
  if (!FesteZeit(pdf))
    return false;
  QFile ziel(pdfPfad);
  return ziel.open(QIODevice::WriteOnly | QIODevice::Truncate) && ziel.write(pdf) == pdf.size();
}
