// The data folder a test starts the program in, built in its temporary folder: the six gallery
// folders, the group templates, pictures and the range text files. Each suite chooses what goes in.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

namespace Fixturbaum {

// The six gallery folders below basis; the relative folders named in ohne are left out.
bool LegeOrdnerAn(const QString &basis, const QStringList &ohne = {});

// The large (313 x 67) and small (136 x 67) template of both groups, each group in one colour.
bool LegeVorlagenAn(const QString &basis, QColor deutsch = Qt::white, QColor oesterreich = Qt::white);

// A picture of one colour, JPEG or BMP by the name's extension; its folder is made when missing.
bool SchreibeBild(const QString &pfad, QSize groesse, QColor farbe = Qt::white);

// The bytes of a JPEG of bild, as a camera or an editor would write it.
QByteArray JpegBytes(const QImage &bild, int qualitaet = 95, bool progressiv = false);

// What a text's lines, joined with LF, must give: every line break made an LF, one final break dropped.
QString AlsZeilenText(QString text);

// Copies the range text files found in quelle ("A-E.txt" ... "U-Z.txt", "Ö-Kfz.txt") into their
// range folders; a range whose file quelle lacks gets none.
bool KopiereTextDateien(const QString &basis, const QString &quelle);

// Gives every folder from pfad down (links are not followed) back to its owner's writes, so that a
// test that failed half-way through making one read-only still leaves nothing behind.
void MachSchreibbar(const QString &pfad);

// Points XDG_CACHE_HOME at a temporary folder of this test process, so that the thumbnail packs of
// its galleries never reach the developer's own cache. Returns that folder.
QString EigenerCache();

} // namespace Fixturbaum
