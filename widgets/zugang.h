// What assistive technology (a screen reader) learns about the window's own stand-in widgets.
#pragma once

#include <QAccessible>
#include <QWidget>

#include <functional>

class QObject;

// Makes the status bar's text and the pictures' role known to the accessibility layer. Needed
// once per process, before the first of these widgets is asked for; repeating it is harmless.
void ZugangEinrichten();

// A push button with this property set to true is reported as pressed while its caption is bold.
constexpr const char *UmschalterEigenschaft = "zugangUmschalter";

// Tells assistive technology of a change it cannot see coming, such as a judgement to be spoken.
void SageAn(QObject *objekt, QAccessible::Event art);
// The same for a child of the object (a list's entry), which the event names.
void SageAn(QAccessibleEvent &ereignis);
// Tests watch the announcements here: without a screen reader running, Qt drops them unseen.
// An empty function ends the watching.
void SetzeAnsageZeuge(std::function<void(QObject *, QAccessible::Event)> zeuge);

// A notice for a screen reader, such as a search's result. It takes no room and draws nothing: each
// notice shows it anew as a notification, which a screen reader speaks wherever the focus is.
// Qt 6.4 hands a changed name or description to it without the text, so that is never spoken.
class TAnsage : public QWidget {
  Q_OBJECT
public:
  explicit TAnsage(QWidget *parent);
  void Sage(const QString &text);
  QString Text() const { return FText; }

private:
  QString FText;
};
