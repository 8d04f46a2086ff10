// Accessibility interfaces for the stand-in widgets that Qt knows nothing about.
#include "app/zugang.h"

#include "app/bausteine.h"

#include <QAccessibleWidget>

namespace {

std::function<void(QObject *, QAccessible::Event)> &AnsageZeuge() {
  static std::function<void(QObject *, QAccessible::Event)> zeuge;
  return zeuge;
}

// The status bar paints its text itself; a screen reader reads it as the bar's name.
class TStatusBarZugang : public QAccessibleWidget {
public:
  explicit TStatusBarZugang(TStatusBar *leiste) : QAccessibleWidget(leiste, QAccessible::StatusBar) {}

  QString text(QAccessible::Text art) const override {
    if ((art == QAccessible::Name || art == QAccessible::Value) && widget()->accessibleName().isEmpty())
      return static_cast<const TStatusBar *>(widget())->SimpleText();
    return QAccessibleWidget::text(art);
  }
};

QAccessibleInterface *BausteinZugang(const QString &klasse, QObject *objekt) {
  if (klasse == QLatin1String("TStatusBar"))
    return new TStatusBarZugang(static_cast<TStatusBar *>(objekt));
  // Pictures carry meaning (the judgement, the plate) only through the names the window gives them.
  if (klasse == QLatin1String("TBild"))
    return new QAccessibleWidget(static_cast<QWidget *>(objekt), QAccessible::Graphic);
  return nullptr;
}

} // namespace

void ZugangEinrichten() {
  static const bool eingerichtet = [] {
    QAccessible::installFactory(BausteinZugang);
    return true;
  }();
  Q_UNUSED(eingerichtet);
}

void SageAn(QObject *objekt, QAccessible::Event art) {
  if (AnsageZeuge())
    AnsageZeuge()(objekt, art);
  QAccessibleEvent ereignis(objekt, art);
  QAccessible::updateAccessibility(&ereignis);
}

void SetzeAnsageZeuge(std::function<void(QObject *, QAccessible::Event)> zeuge) { AnsageZeuge() = std::move(zeuge); }
