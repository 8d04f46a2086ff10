// What the program would have shown or handed to the desktop, recorded instead: while a witness lives,
// no test opens a message box, a browser or a PDF viewer.
#pragma once

#include "widgets/meldung.h"
#include "widgets/oeffnen.h"

#include <QDesktopServices>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

class TZeugen : public QObject {
  Q_OBJECT
public:
  TZeugen() {
    for (const char *schema : Schemata)
      QDesktopServices::setUrlHandler(QLatin1String(schema), this, "OeffneUrl");
    NimmMeldungenAuf();
    SetzeFragenAntwort([this](const QString &text) {
      Fragen << text;
      return FragenAntwort;
    });
    // The desktop counts as having a program for everything, unless a test says otherwise.
    SetzeProgrammPruefung([](const QString &) { return true; });
  }
  ~TZeugen() override {
    for (const char *schema : Schemata)
      QDesktopServices::unsetUrlHandler(QLatin1String(schema));
    SetzeMeldungsAnzeige({});
    SetzeFragenAntwort({});
    SetzeProgrammPruefung({});
  }
  TZeugen(const TZeugen &) = delete;
  TZeugen &operator=(const TZeugen &) = delete;

  // The message boxes go to Meldungen again, after a test had them shown otherwise.
  void NimmMeldungenAuf() {
    SetzeMeldungsAnzeige([this](const QString &text) { Meldungen << text; });
  }

  QStringList Meldungen;
  // The yes/no questions asked, each answered with FragenAntwort.
  QStringList Fragen;
  bool FragenAntwort = true;
  QList<QUrl> Geoeffnet;

public slots:
  void OeffneUrl(const QUrl &url) { Geoeffnet << url; }

private:
  static constexpr const char *Schemata[] = {"http", "https", "file", "mailto"};
};
