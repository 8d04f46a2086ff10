// Handing addresses to the desktop, and noticing when it has no program for them.
#include "widgets/oeffnen.h"

#include "widgets/meldung.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QWidget>

namespace {
TProgrammPruefung &Pruefung() {
  static TProgrammPruefung pruefung;
  return pruefung;
}

// A look-up that hangs (a desktop service that does not answer) is given up, not reported.
constexpr int PruefZeit = 10000;

// Asked in the background: the click's own work is done by then, and only a missing program gets a box.
void FrageDenDesktop(QWidget *eltern, const QUrl &url, const QString &typ) {
  auto *prozess = new QProcess(eltern);
  QPointer<QWidget> fenster(eltern);
  QObject::connect(
      prozess, &QProcess::finished, prozess, [prozess, fenster, url, typ](int code, QProcess::ExitStatus art) {
        prozess->deleteLater();
        if (art != QProcess::NormalExit || (code == 0 && !prozess->readAllStandardOutput().trimmed().isEmpty()))
          return;
        // Where nothing is registered, xdg-open still tries the browser named in $BROWSER.
        if (typ.startsWith(QLatin1String("x-scheme-handler/http")) && !qEnvironmentVariableIsEmpty("BROWSER"))
          return;
        if (fenster)
          ZeigeInformation(fenster, FehltProgrammText(url, typ));
      });
  // Without xdg-mime there is nothing to ask: xdg-open, from the same package, has failed already.
  QObject::connect(prozess, &QProcess::errorOccurred, prozess, [prozess](QProcess::ProcessError fehler) {
    if (fehler == QProcess::FailedToStart)
      prozess->deleteLater();
  });
  QTimer::singleShot(PruefZeit, prozess, [prozess] {
    prozess->disconnect();
    prozess->kill();
    prozess->waitForFinished(100);
    prozess->deleteLater();
  });
  prozess->start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), typ},
                 QIODevice::ReadOnly);
}
} // namespace

void SetzeProgrammPruefung(TProgrammPruefung pruefung) { Pruefung() = std::move(pruefung); }

QString AdressTyp(const QUrl &url) {
  if (url.isLocalFile())
    return QMimeDatabase().mimeTypeForFile(url.toLocalFile(), QMimeDatabase::MatchExtension).name();
  return QStringLiteral("x-scheme-handler/") + url.scheme().toLower();
}

QString FehltProgrammText(const QUrl &url, const QString &typ) {
  QString was;
  if (typ == QLatin1String("xdg-open"))
    was = QStringLiteral("xdg-open aus dem Paket xdg-utils");
  else if (typ == QLatin1String("application/pdf"))
    was = QStringLiteral("ein Programm, das PDF-Dokumente zeigt (ein PDF-Betrachter)");
  else if (typ == QLatin1String("x-scheme-handler/http") || typ == QLatin1String("x-scheme-handler/https"))
    was = QStringLiteral("ein Webbrowser");
  else
    was = QStringLiteral("ein Programm für %1").arg(typ);
  return QStringLiteral("%1 kann nicht geöffnet werden: Auf diesem Rechner fehlt %2.")
      .arg(url.isLocalFile() ? QFileInfo(url.toLocalFile()).fileName() : url.toString(), was);
}

void OeffneAdresse(QWidget *eltern, const QUrl &url) {
  const QString typ = AdressTyp(url);
  if (!QDesktopServices::openUrl(url)) {
    ZeigeInformation(eltern, FehltProgrammText(url, QStringLiteral("xdg-open")));
    return;
  }
  if (Pruefung()) {
    if (!Pruefung()(typ))
      ZeigeInformation(eltern, FehltProgrammText(url, typ));
    return;
  }
  FrageDenDesktop(eltern, url, typ);
}
