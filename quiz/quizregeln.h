// The quiz's rules without widgets: the question, the candidate list, judging an entry, the answer
// box's height, the placements below the list and the map button's caption and address.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

// "Für welchen Landkreis / kreisfreie Stadt steht:  XY  am Anfang ?" (group 1: "Bezirk");
// empty for any other group.
QString FrageText(int gruppe, const QString &bildDatei);

// The lines of a text file as list entries, blank ones dropped, in file order, and the right
// entry for the picture (the last right one; empty when no line belongs to the picture).
struct TFrageListe {
  QStringList Eintraege;
  QString RichtigeZeile;
};
TFrageListe BaueFrageListe(const QStringList &zeilen, const QString &bildDatei);

// Sorted as a German reader expects: umlauts with their base letters, case ignored.
QStringList SortiereEintraege(QStringList eintraege);

// What the list shows of an entry: the description, without the picture field after the TABs.
QString SichtbarerText(const QString &eintrag);
// The height of one entry of the answer list; the list is never left fewer than MindestZeilen of them.
constexpr int ListenZeilenHoehe = 20;
constexpr int MindestZeilen = 5;
// The item data role of the answer list that holds the whole entry behind the description shown.
constexpr int EintragRolle = Qt::UserRole;

// A chosen list entry taken apart; no value for an entry without a TAB, which is no answer.
struct TAntwort {
  QString Bildfeld; // trimmed text after the first TAB
  QString Code;     // what the gallery marks after a right answer
  QString Bildname; // picture of the entry's code; empty when the entry names none
  QString Text;     // the answer box's text
};
std::optional<TAntwort> ZerlegeAntwort(const QString &eintrag);

// The window is never narrower; at this width the map button has the least room.
constexpr int MindestFensterBreite = 580;

// Caption of the map button: the name with " auf Karte anzeigen" unless the name is too long for
// the window (31 characters and more, or 22 at the window's minimum width of 580 and below).
QString KarteBtnText(const QString &kartenName, int fensterBreite);
// What a screen reader says of the map button: always the name and what the button does.
QString KarteBtnName(const QString &kartenName);

// The part of a text that a control lays out (an answer in the list, the map button's caption, the
// answer box). Laying out a line costs time that grows with its length, and wrapping one without
// blanks with the square of it; no control shows more of a line than even a screen ten thousand
// pixels wide fills with far fewer characters than this. Never half a character outside the basic
// plane.
constexpr int GroessteAnzeigeLaenge = 4096;
QString AnzeigeText(const QString &text);
constexpr int GroessteAntwortLaenge = GroessteAnzeigeLaenge;
QString AntwortAnzeige(const QString &text);

// Lines the answer box displays for its text after wrapping at the given text width.
int AngezeigteZeilen(const QString &text, const QFont &schrift, int textBreite, qreal dokumentRand);
// Height of the answer box for that many displayed lines; from four lines on it stays as it was.
int Memo2Hoehe(int zeilen, int bisherigeHoehe);

// Where the map button and the small plate of a wrong answer go below the list.
struct TPlatzierung {
  int KarteBtnOben = 0;
  int Image4Oben = 0;
  int Image3Links = 0;
  int Image3Oben = 0;
  int Image3Hoehe = 0;
};
TPlatzierung PlatzierungUnterListe(int listeUnten, int gruppe);

// Left of a result picture in the answer panel's parent measure (the panel's left is added).
int ErgebnisBildLinks(int panelLinks, int panelBreite, int bildBreite);

// The web map the map button opens when the settings name none.
QString StandardKartenAdresse();

// The address the map button opens: an http or https address (or one beginning with "www."),
// encoded as a browser encodes it; anything else gives the built-in one.
QUrl KartenUrl(const QString &adresse);

// The message for a picture of the question screen that cannot be loaded.
QString BildFehlerMeldung(const QString &pfad);
