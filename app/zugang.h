// What assistive technology (a screen reader) learns about the window's own stand-in widgets.
#pragma once

#include <QAccessible>

#include <functional>

class QObject;

// Makes the status bar's text and the pictures' role known to the accessibility layer. Needed
// once per process, before the first of these widgets is asked for; repeating it is harmless.
void ZugangEinrichten();

// Tells assistive technology of a change it cannot see coming, such as a judgement to be spoken.
void SageAn(QObject *objekt, QAccessible::Event art);
// Tests watch the announcements here: without a screen reader running, Qt drops them unseen.
// An empty function ends the watching.
void SetzeAnsageZeuge(std::function<void(QObject *, QAccessible::Event)> zeuge);
