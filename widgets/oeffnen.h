// Addresses handed to the desktop (the help document, the map), and a word to the user when the desktop
// has no program for them: xdg-open then fails with a note on its error output, which nobody sees.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class QWidget;

// Opens the address as QDesktopServices does and, once the desktop has answered, says in a message box
// what is missing when nothing can show it.
void OeffneAdresse(QWidget *eltern, const QUrl &url);

// The MIME type the desktop needs a program for: the file's type, or "x-scheme-handler/<scheme>".
QString AdressTyp(const QUrl &url);
// The message for a missing program: a PDF viewer, a web browser, xdg-open itself ("xdg-open"), or a
// program for the type.
QString FehltProgrammText(const QUrl &url, const QString &typ);

// Whether the desktop has a program for a MIME type. Tests answer in place of the desktop; an empty
// function asks it again (xdg-mime, in the background).
using TProgrammPruefung = std::function<bool(const QString &typ)>;
void SetzeProgrammPruefung(TProgrammPruefung pruefung);
