#pragma once
// The status line's panel. A job's summary lists every count with runs of
// blanks between them and can be wider than the panel at the window's design
// size; a plain label would cut its end off, and the last counts (the failed
// deletions) never show. So when the whole text does not fit, the panel shows
// it with each run of blanks made one blank; when even that does not fit, it
// ends in "…" and the whole text is its tool tip. text() stays the text
// written.

#include <QLabel>

class StatusLineLabel : public QLabel {
 public:
  explicit StatusLineLabel(const QString& text, QWidget* parent = nullptr);

  // What the panel shows at its present width.
  QString ShownText() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
};
