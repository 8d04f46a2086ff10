// Scrolling the gallery with the mouse wheel; the position reached is the one to come back to.
#include "app/tmainform.h"

#include "search/tscrollbox.h"

namespace {
constexpr int RadZeile = 99; // one wheel notch moves the gallery by one row of tiles
}

void TMainForm::FormMouseWheelDown() {
  if (!GalerieSichtbar())
    return;
  ScrollBox1->SetzePosition(ScrollBox1->Position() + RadZeile);
  ScrollBoxPosition = ScrollBox1->Position();
}

void TMainForm::FormMouseWheelUp() {
  if (!GalerieSichtbar())
    return;
  ScrollBox1->SetzePosition(ScrollBox1->Position() - RadZeile);
  ScrollBoxPosition = ScrollBox1->Position();
}
