// Scrolling the gallery with the mouse wheel; the position reached is the one to come back to.
#include "app/tmainform.h"

#include "gallery/galerieregeln.h"
#include "search/tscrollbox.h"

// One wheel notch moves the gallery by one row of tiles.
void TMainForm::FormMouseWheelDown() {
  if (!GalerieSichtbar())
    return;
  ScrollBox1->SetzePosition(ScrollBox1->Position() + KachelRaster);
  ScrollBoxPosition = ScrollBox1->Position();
}

void TMainForm::FormMouseWheelUp() {
  if (!GalerieSichtbar())
    return;
  ScrollBox1->SetzePosition(ScrollBox1->Position() - KachelRaster);
  ScrollBoxPosition = ScrollBox1->Position();
}
