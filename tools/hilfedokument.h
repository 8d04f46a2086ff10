// The help document: a German HTML text set as a PDF.
#pragma once

#include <QString>

// Writes the PDF from the HTML file; false when either cannot be read or written.
bool SchreibeHilfe(const QString &htmlPfad, const QString &pdfPfad);
