// Small widgets that stand in for the classic form components (picture, panel, tool bar, status bar).
#pragma once

#include <QFrame>
#include <QImage>
#include <QString>
#include <QWidget>

class QMouseEvent;

// A click: the left button released over the control it was pressed on. Handlers named "...Click"
// run on that release, as the classic controls did, not on the press.
bool IstKlick(const QWidget *steuer, const QMouseEvent *event);

// A picture control. It can size itself to its picture, stretch the picture to its own size, and
// treat the colour of the bottom-left pixel as see-through (for bitmaps).
class TBild : public QWidget {
  Q_OBJECT
public:
  explicit TBild(QWidget *parent = nullptr);

  void SetzeBild(const QImage &bild);
  // Loads a JPEG through our decoder or a bitmap through Qt, at the screen's device-pixel ratio;
  // false (picture unchanged) on failure.
  bool LadeDatei(const QString &pfad);
  const QImage &Bild() const { return FBild; }

  bool AutoSize = false;
  bool Stretch = false;
  bool Transparent = false;

signals:
  void Klick();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  QImage FBild;
  QImage FAnzeige; // the picture with its see-through colour made transparent
};

// A panel with a bevel and an optional caption drawn in its middle.
class TPanel : public QFrame {
  Q_OBJECT
public:
  explicit TPanel(QWidget *parent = nullptr);
  void SetzeCaption(const QString &text);
  QString Caption() const { return FCaption; }
  void SetzeFarbe(const QColor &farbe);

signals:
  void Klick();

protected:
  void paintEvent(QPaintEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;

private:
  QString FCaption;
};

// Lays out its visible children from left to right, each at top 2, in creation order.
class TToolBar : public QFrame {
  Q_OBJECT
public:
  explicit TToolBar(QWidget *parent = nullptr);
  void NeuAnordnen();

signals:
  void Klick();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void childEvent(QChildEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
};

// A status bar with one simple text.
class TStatusBar : public QFrame {
  Q_OBJECT
public:
  explicit TStatusBar(QWidget *parent = nullptr);
  void SetzeSimpleText(const QString &text);
  QString SimpleText() const { return FText; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QString FText;
};
