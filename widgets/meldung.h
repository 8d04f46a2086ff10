// Every message box of the program goes through here, so that tests can record instead of showing.
#pragma once

#include <QString>
#include <functional>

class QWidget;

// Shows a modal information box: title "Information", information icon, one "OK" button.
void ZeigeInformation(QWidget *eltern, const QString &text);

// Replaces the box by a recorder (tests); an empty function restores the real box.
using TMeldungsAnzeige = std::function<void(const QString &text)>;
void SetzeMeldungsAnzeige(TMeldungsAnzeige anzeige);

// Asks a yes/no question in a modal box: title "Frage", buttons "Ja" and "Nein", "Nein" the default
// and the answer to Escape, since the questions guard against losing something. True for "Ja".
bool FrageJaNein(QWidget *eltern, const QString &text);

// Replaces the question box by an answer (tests); an empty function restores the real box.
using TFragenAntwort = std::function<bool(const QString &text)>;
void SetzeFragenAntwort(TFragenAntwort antwort);
