// The keyboard focus made visible: a ring laid over the edge of whichever control of the window has it.
#pragma once

#include <QFocusFrame>
#include <QPointer>

// A focus frame, so that assistive technology does not list it among the control's children.
class TFokusRahmen : public QFocusFrame {
  Q_OBJECT
public:
  // Follows the focus among the controls of fenster; it never takes the focus or a click itself.
  explicit TFokusRahmen(QWidget *fenster);

  // The control the ring lies on, or nullptr while it is hidden.
  QWidget *Ziel() const { return isVisible() ? FZiel.data() : nullptr; }

  static constexpr int Breite = 2; // the dark ring; a light line of 1 px lies inside it
  static const QColor Farbe;
  static const QColor Innen;

protected:
  void paintEvent(QPaintEvent *event) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  void Folge();

  QWidget *FFenster;
  QPointer<QWidget> FZiel;
};
