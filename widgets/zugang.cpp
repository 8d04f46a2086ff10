// Accessibility interfaces for the stand-in widgets that Qt knows nothing about.
#include "widgets/zugang.h"

#include "widgets/bausteine.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QFrame>
#include <QLineEdit>

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

// A range button: pressed for assistive tools while its range is shown (its caption bold). The button
// itself is never checkable, which would draw it sunken.
class TUmschalterZugang : public QAccessibleWidget {
public:
  explicit TUmschalterZugang(QAbstractButton *knopf) : QAccessibleWidget(knopf, QAccessible::Button) {}

  QAccessible::State state() const override {
    QAccessible::State zustand = QAccessibleWidget::state();
    zustand.checkable = true;
    zustand.checked = Knopf()->font().bold();
    return zustand;
  }
  QString text(QAccessible::Text art) const override {
    if (art == QAccessible::Accelerator)
      return Knopf()->shortcut().toString(QKeySequence::NativeText);
    return QAccessibleWidget::text(art);
  }
  QStringList actionNames() const override { return QStringList{pressAction()} + QAccessibleWidget::actionNames(); }
  void doAction(const QString &aktion) override {
    if (aktion == pressAction())
      Knopf()->click();
    else
      QAccessibleWidget::doAction(aktion);
  }

private:
  QAbstractButton *Knopf() const { return static_cast<QAbstractButton *>(widget()); }
};

// The search field's text as a screen reader reads it. Qt 6.4's own interface loops for ever on some
// requests at the end of the text; a field of one line has no other boundaries worth finding.
class TSuchfeldZugang : public QAccessibleWidget, public QAccessibleTextInterface {
public:
  explicit TSuchfeldZugang(QLineEdit *feld) : QAccessibleWidget(feld, QAccessible::EditableText) {}

  void *interface_cast(QAccessible::InterfaceType art) override {
    if (art == QAccessible::TextInterface)
      return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(art);
  }
  QAccessible::State state() const override {
    QAccessible::State zustand = QAccessibleWidget::state();
    zustand.editable = !Feld()->isReadOnly();
    zustand.selectableText = true;
    return zustand;
  }
  QString text(QAccessible::Text art) const override {
    if (art == QAccessible::Value)
      return Feld()->text();
    return QAccessibleWidget::text(art);
  }

  void selection(int nummer, int *anfang, int *ende) const override {
    *anfang = *ende = 0;
    if (nummer == 0 && Feld()->hasSelectedText()) {
      *anfang = Feld()->selectionStart();
      *ende = *anfang + int(Feld()->selectedText().size());
    }
  }
  int selectionCount() const override { return Feld()->hasSelectedText() ? 1 : 0; }
  void addSelection(int anfang, int ende) override { setSelection(0, anfang, ende); }
  void removeSelection(int) override { Feld()->deselect(); }
  void setSelection(int, int anfang, int ende) override { Feld()->setSelection(anfang, ende - anfang); }
  int cursorPosition() const override { return Feld()->cursorPosition(); }
  void setCursorPosition(int position) override { Feld()->setCursorPosition(position); }
  QString text(int anfang, int ende) const override { return Feld()->text().mid(anfang, ende - anfang); }
  int characterCount() const override { return int(Feld()->text().size()); }
  QRect characterRect(int) const override { return QRect(); }
  int offsetAtPoint(const QPoint &) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int *anfang, int *ende) const override {
    *anfang = qMax(0, offset);
    *ende = characterCount();
    return QString();
  }

  // A character is the one at the offset; every larger unit is the whole line.
  QString textAtOffset(int offset, QAccessible::TextBoundaryType art, int *anfang, int *ende) const override {
    return Stueck(offset, art, anfang, ende);
  }
  QString textBeforeOffset(int offset, QAccessible::TextBoundaryType art, int *anfang, int *ende) const override {
    if (art == QAccessible::CharBoundary && offset > 0)
      return Stueck(offset - 1, art, anfang, ende);
    *anfang = *ende = -1;
    return QString();
  }
  QString textAfterOffset(int offset, QAccessible::TextBoundaryType art, int *anfang, int *ende) const override {
    if (art == QAccessible::CharBoundary && offset >= 0)
      return Stueck(offset + 1, art, anfang, ende);
    *anfang = *ende = -1;
    return QString();
  }

private:
  QLineEdit *Feld() const { return static_cast<QLineEdit *>(widget()); }

  QString Stueck(int offset, QAccessible::TextBoundaryType art, int *anfang, int *ende) const {
    const QString text = Feld()->text();
    const int laenge = int(text.size());
    if (offset == -2)
      offset = Feld()->cursorPosition();
    if (offset == -1)
      offset = laenge;
    if (offset < 0 || offset > laenge) {
      *anfang = *ende = -1;
      return QString();
    }
    if (art == QAccessible::CharBoundary) {
      *anfang = offset;
      *ende = qMin(laenge, offset + 1);
      return text.mid(*anfang, *ende - *anfang);
    }
    *anfang = 0;
    *ende = laenge;
    return text;
  }
};

QAccessibleInterface *BausteinZugang(const QString &klasse, QObject *objekt) {
  if (klasse == QLatin1String("QLineEdit") && objekt->isWidgetType() &&
      static_cast<QLineEdit *>(objekt)->echoMode() == QLineEdit::Normal)
    return new TSuchfeldZugang(static_cast<QLineEdit *>(objekt));
  if (klasse == QLatin1String("QPushButton") && objekt->property(UmschalterEigenschaft).toBool())
    return new TUmschalterZugang(static_cast<QAbstractButton *>(objekt));
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
  // The program's own window: a "frame" to AT-SPI, as every application window is.
  if (klasse == QLatin1String("QWidget") && objekt->isWidgetType() && static_cast<QWidget *>(objekt)->isWindow())
    return new QAccessibleWidget(static_cast<QWidget *>(objekt), QAccessible::Window);
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
