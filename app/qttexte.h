// Qt's own texts (context menus, dialog buttons) in the program's language.
#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

// Installs Qt's German translation from `ordner` on `app` and returns it (owned by `app`). Without the
// file the texts stay English and nothing is reported: the program works the same, only less uniform.
QTranslator *LadeQtTexte(QCoreApplication &app, const QString &ordner);

// The folder Qt was built to look in (Debian: /usr/share/qt6/translations).
QString QtUebersetzungsOrdner();
