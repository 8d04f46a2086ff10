// Qt's German translation: the program speaks German whatever the user's locale, so Qt's own texts do too.
#include "app/qttexte.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QTranslator *LadeQtTexte(QCoreApplication &app, const QString &ordner) {
  auto *uebersetzung = new QTranslator(&app);
  if (!uebersetzung->load(QStringLiteral("qtbase_de"), ordner) || !QCoreApplication::installTranslator(uebersetzung)) {
    delete uebersetzung;
    return nullptr;
  }
  return uebersetzung;
}

QString QtUebersetzungsOrdner() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }
