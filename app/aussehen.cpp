// The fixed light look: Fusion with a palette that no desktop theme can change.
#include "app/aussehen.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QToolTip>

namespace {

const QLatin1String Stil("Fusion");

// One colour per role for the enabled groups (active and inactive look alike) and one for a
// disabled control, in the order of QPalette::ColorRole.
struct TRollenFarbe {
  QPalette::ColorRole Rolle;
  QRgb Aktiv;
  QRgb Gesperrt;
};

constexpr TRollenFarbe Farben[] = {
    {QPalette::WindowText, 0xff000000, 0xffbebebe},
    {QPalette::Button, 0xffefefef, 0xffefefef},
    {QPalette::Light, 0xffffffff, 0xffffffff},
    {QPalette::Midlight, 0xffcacaca, 0xffcacaca},
    {QPalette::Dark, 0xff9f9f9f, 0xffbebebe},
    {QPalette::Mid, 0xffb8b8b8, 0xffb8b8b8},
    {QPalette::Text, 0xff000000, 0xffbebebe},
    {QPalette::BrightText, 0xffffffff, 0xffffffff},
    {QPalette::ButtonText, 0xff000000, 0xffbebebe},
    {QPalette::Base, 0xffffffff, 0xffefefef},
    {QPalette::Window, 0xffefefef, 0xffefefef},
    {QPalette::Shadow, 0xff767676, 0xffb1b1b1},
    // White on it 5.4:1: the chosen answer stays readable.
    {QPalette::Highlight, 0xff2a6fa3, 0xff919191},
    {QPalette::HighlightedText, 0xffffffff, 0xffffffff},
    {QPalette::Link, 0xff0000ff, 0xff0000ff},
    {QPalette::LinkVisited, 0xffff00ff, 0xffff00ff},
    {QPalette::AlternateBase, 0xfff7f7f7, 0xfff7f7f7},
    {QPalette::NoRole, 0xff000000, 0xff000000},
    {QPalette::ToolTipBase, 0xffffffdc, 0xffffffdc},
    {QPalette::ToolTipText, 0xff000000, 0xff000000},
    {QPalette::PlaceholderText, 0x80000000, 0x80000000},
};

} // namespace

QPalette FestePalette() {
  QPalette palette;
  for (const TRollenFarbe &farbe : Farben) {
    const QColor aktiv = QColor::fromRgba(farbe.Aktiv);
    palette.setColor(QPalette::Active, farbe.Rolle, aktiv);
    palette.setColor(QPalette::Inactive, farbe.Rolle, aktiv);
    palette.setColor(QPalette::Disabled, farbe.Rolle, QColor::fromRgba(farbe.Gesperrt));
  }
  return palette;
}

void RichteAussehenEin() {
  // A desktop's own style (and its dark variant) would draw the controls in other colours and sizes.
  if (QApplication::style()->name().compare(Stil, Qt::CaseInsensitive) != 0)
    QApplication::setStyle(QStyleFactory::create(Stil));
  const QPalette palette = FestePalette();
  QApplication::setPalette(palette);
  QToolTip::setPalette(palette);
}
