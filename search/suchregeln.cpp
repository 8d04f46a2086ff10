// The search's rules: search term, field text, letter range, key translation.
#include "search/suchregeln.h"

#include "data/ansi.h"

#include <QStringList>

QString Suchbegriff(const QString &feldText) { return AnsiTrim(AnsiGross(AnsiText(feldText))); }

QString NormalisierterFeldText(const QString &feldText) {
  return AnsiGross(AnsiText(feldText)).left(HoechstensZeichen);
}

std::optional<TBereich> BereichFuerSuchbegriff(const QString &suchbegriff) {
  if (suchbegriff.isEmpty())
    return std::nullopt;
  return BereichFuerZeichen(0, suchbegriff.at(0));
}

QString TasteZuText(const QString &ereignisText) {
  // A dead key or a key that types nothing brings no text; an input method may bring more than the
  // two characters the classic translation could hand back.
  return AnsiText(ereignisText.left(2));
}

bool IstUmlaut(const QString &tastenText) {
  static const QStringList umlaute{QStringLiteral("ä"), QStringLiteral("ö"), QStringLiteral("ü"),
                                   QStringLiteral("Ä"), QStringLiteral("Ö"), QStringLiteral("Ü")};
  return umlaute.contains(tastenText);
}

int VirtuellerTastencode(int qtTaste) {
  // Letters and digits carry their ASCII code in both worlds.
  if ((qtTaste >= Qt::Key_A && qtTaste <= Qt::Key_Z) || (qtTaste >= Qt::Key_0 && qtTaste <= Qt::Key_9))
    return qtTaste;
  switch (qtTaste) {
  case Qt::Key_Return:
  case Qt::Key_Enter: return TasteEnter;
  case Qt::Key_Backspace: return 8;
  case Qt::Key_Tab: return 9;
  case Qt::Key_Shift: return 16;
  case Qt::Key_Control: return 17;
  case Qt::Key_Alt: return 18;
  case Qt::Key_Escape: return 27;
  case Qt::Key_Space: return 32;
  case Qt::Key_PageUp: return 33;
  case Qt::Key_PageDown: return 34;
  case Qt::Key_End: return 35;
  case Qt::Key_Home: return 36;
  case Qt::Key_Left: return 37;
  case Qt::Key_Up: return 38;
  case Qt::Key_Right: return 39;
  case Qt::Key_Down: return 40;
  case Qt::Key_Insert: return 45;
  case Qt::Key_Delete: return 46;
  default: return 0;
  }
}
