#pragma once
// A caption without background that reports the left mouse button going down.
// The window's links ("说明", "软件网站") and the keyword panel's close marks
// react on the press, not on the release, so a quick click always counts.

#include <QLabel>

class ClickableLabel : public QLabel {
  Q_OBJECT
 public:
  explicit ClickableLabel(QWidget* parent = nullptr);

 signals:
  void leftButtonDown();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};
