// Accessibility interfaces for the stand-in widgets that Qt knows nothing about.
#include "widgets/zugang.h"

#include "widgets/bausteine.h"

#include <QAccessibleWidget>
#include <QFrame>

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

class TAnsageZugang : public QAccessibleWidget {
public:
  explicit TAnsageZugang(TAnsage *ansage) : QAccessibleWidget(ansage, QAccessible::Notification) {}
  QString text(QAccessible::Text art) const override {
    return art == QAccessible::Name ? static_cast<const TAnsage *>(widget())->Text() : QString();
  }
};

QAccessibleInterface *BausteinZugang(const QString &klasse, QObject *objekt) {
  if (klasse == QLatin1String("TAnsage"))
    return new TAnsageZugang(static_cast<TAnsage *>(objekt));
  // A plain widget would be a "frame" to AT-SPI, which a screen reader takes for a window of its own
  // and, since it is never active, ignores everything focused inside it. The panels only group.
  if (klasse == QLatin1String("TPanel"))
    return new QAccessibleWidget(static_cast<QWidget *>(objekt), QAccessible::Pane);
  if (klasse == QLatin1String("TToolBar"))
    return new QAccessibleWidget(static_cast<QWidget *>(objekt), QAccessible::ToolBar);
  // The bevels: lines and a box that only draw.
  if (klasse == QLatin1String("QFrame") && objekt->isWidgetType() && !static_cast<QWidget *>(objekt)->isWindow()) {
    auto *rahmen = static_cast<QFrame *>(objekt);
    const bool linie = rahmen->frameShape() == QFrame::HLine || rahmen->frameShape() == QFrame::VLine;
    return new QAccessibleWidget(rahmen, linie ? QAccessible::Separator : QAccessible::Pane);
  }
  if (klasse == QLatin1String("QWidget") && objekt->isWidgetType() && !static_cast<QWidget *>(objekt)->isWindow()) {
    auto *steuer = static_cast<QWidget *>(objekt);
    const bool trenner = steuer->parentWidget() && steuer->parentWidget()->inherits("TToolBar");
    return new QAccessibleWidget(steuer, trenner ? QAccessible::Separator : QAccessible::Pane);
  }
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
  QAccessibleEvent ereignis(objekt, art);
  SageAn(ereignis);
}

void SageAn(QAccessibleEvent &ereignis) {
  if (AnsageZeuge())
    AnsageZeuge()(ereignis.object(), ereignis.type());
  QAccessible::updateAccessibility(&ereignis);
}

void SetzeAnsageZeuge(std::function<void(QObject *, QAccessible::Event)> zeuge) { AnsageZeuge() = std::move(zeuge); }

TAnsage::TAnsage(QWidget *parent) : QWidget(parent) {
  setObjectName(QStringLiteral("Ansage"));
  setGeometry(0, 0, 0, 0);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
}

void TAnsage::Sage(const QString &text) {
  FText = text;
  if (AnsageZeuge())
    AnsageZeuge()(this, QAccessible::ObjectShow);
  // Showing it is what a screen reader hears of.
  hide();
  show();
}
